// Cp936Codec on Windows: MultiByteToWideChar and WideCharToMultiByte with
// code page 936 named outright, so the remark file reads alike on a Windows
// of any ANSI code page.
#pragma once

#include "platform/cp936_codec.h"

namespace kelvar::win32 {

class Win32Cp936Codec final : public Cp936Codec {
 public:
  std::optional<std::string> Encode(std::string_view utf8) override;
  std::string Decode(std::string_view cp936) override;
};

}  // namespace kelvar::win32
