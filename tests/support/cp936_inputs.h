// The inputs on which the Linux program's code page 936 is held to
// Windows': every byte alone and every byte pair to decode, and every UTF-16
// unit but the surrogates (as UTF-8) to encode.  The Linux build writes its
// answers to a file (tests/linux/cp936_dump.cpp); the Windows tests read it
// under Wine and compare each answer with Windows' own.  An answer is one
// length byte and that many bytes, or kNoForm alone where there is no
// encoding.
#pragma once

#include <string>
#include <vector>

#include "procinfo/text_chars.h"

namespace kelvar::test {

inline constexpr unsigned char kNoForm = 0xFF;

inline std::vector<std::string> Cp936DecodeInputs() {
  std::vector<std::string> inputs;
  for (int a = 0; a < 0x100; ++a) inputs.push_back(std::string(1, static_cast<char>(a)));
  for (int a = 0; a < 0x100; ++a)
    for (int b = 0; b < 0x100; ++b) inputs.push_back({static_cast<char>(a), static_cast<char>(b)});
  return inputs;
}

inline std::vector<std::string> Cp936EncodeInputs() {
  std::vector<std::string> inputs;
  for (char32_t unit = 0; unit < 0x10000; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    inputs.emplace_back();
    AppendUtf8(unit, inputs.back());
  }
  return inputs;
}

}  // namespace kelvar::test
