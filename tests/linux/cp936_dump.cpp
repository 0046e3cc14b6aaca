// Writes the Linux program's code page 936 answers for every input of
// support/cp936_inputs.h to a file, which the Windows tests compare with
// Windows' own conversions under Wine.
//   kelvar_cp936_dump OUTPUT
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/linux/linux_cp936_codec.h"
#include "support/cp936_inputs.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  kelvar::LinuxCp936Codec codec;
  std::string out;
  const auto answer = [&](const std::string& bytes) { out += static_cast<char>(bytes.size()) + bytes; };
  for (const std::string& input : kelvar::test::Cp936DecodeInputs()) answer(codec.Decode(input));
  for (const std::string& input : kelvar::test::Cp936EncodeInputs()) {
    if (auto encoded = codec.Encode(input))
      answer(*encoded);
    else
      out += static_cast<char>(kelvar::test::kNoForm);
  }
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  file << out;
  return file.flush() ? 0 : 1;
}
