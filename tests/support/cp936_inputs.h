// The inputs on which the Linux code page 936 is held to Windows': every byte
// and byte pair to decode, every UTF-16 unit but surrogates (as UTF-8) to
// encode.  tests/linux/cp936_dump.cpp writes the Linux answers, each a length
// byte and the bytes or kNoForm alone; the Windows tests compare under Wine.
#pragma once

#include <string>
#include <vector>

#include "procinfo/text_chars.h"

namespace kelvar::test {

inline constexpr unsigned char kNoForm = 0xFF;

inline std::vector<std::string> Cp936DecodeInputs() {
  std::vector<std::string> inputs;
  for (int a = 0; a < 0x100; ++a) inputs.push_back(std::string(1, static_cast<char>(a)));
  for (int ab = 0; ab < 0x10000; ++ab) inputs.push_back({static_cast<char>(ab >> 8), static_cast<char>(ab)});
  return inputs;
}

inline std::vector<std::string> Cp936EncodeInputs() {
  std::vector<std::string> inputs;
  for (char32_t unit = 0; unit < 0x10000; ++unit)
    if (unit < 0xD800 || unit > 0xDFFF) AppendUtf8(unit, inputs.emplace_back());
  return inputs;
}

}  // namespace kelvar::test
