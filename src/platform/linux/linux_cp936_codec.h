// Cp936Codec on Linux: code page 936 exactly as Windows converts it, from a
// table made at build time (platform/linux/cp936_table.h).  glibc's iconv
// is no substitute: it rejects the user-defined areas that Windows maps to
// private use, and reads an invalid pair's second byte afresh where Windows
// takes both as one "?".  Encoding is the table read backwards, built once.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/cp936_codec.h"

namespace kelvar {

class LinuxCp936Codec final : public Cp936Codec {
 public:
  LinuxCp936Codec();
  std::optional<std::string> Encode(std::string_view utf8) override;
  std::string Decode(std::string_view cp936) override;

 private:
  // The code-page form of each UTF-16 unit: a byte (below 0x100) or a lead
  // and trail byte (lead << 8 | trail); 0 where there is none.
  std::vector<std::uint16_t> from_unit_;
};

}  // namespace kelvar
