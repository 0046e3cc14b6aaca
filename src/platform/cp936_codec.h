// Code page 936 (GBK), the Chinese ANSI code page the remark file is kept
// in: conversions between it and the UTF-8 texts of the core.  Each system
// brings its own converter; the remark file is read in this code page
// whatever the system's own code page is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvar {

class Cp936Codec {
 public:
  virtual ~Cp936Codec() = default;
  // The text in code page 936; nullopt when it is not valid UTF-8 or holds a
  // character the code page has no form for.
  virtual std::optional<std::string> Encode(std::string_view utf8) = 0;
  // The text of code-page bytes as UTF-8, exactly as Windows decodes them
  // (MultiByteToWideChar with code page 936): a lead byte takes the byte
  // after it unless that is a NUL, and a pair or a lone lead byte that names
  // no character is one "?".
  virtual std::string Decode(std::string_view cp936) = 0;
};

}  // namespace kelvar
