// Writes the Linux program's code page 936 answers for every input of
// support/cp936_inputs.h to the file named by its argument, which the
// Windows tests compare with Windows' own conversions under Wine.
#include <fstream>

#include "platform/linux/linux_cp936_codec.h"
#include "support/cp936_inputs.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  kelvar::LinuxCp936Codec codec;
  std::string out;
  const auto sized = [](const std::string& bytes) { return static_cast<char>(bytes.size()) + bytes; };
  for (const std::string& input : kelvar::test::Cp936DecodeInputs()) out += sized(codec.Decode(input));
  for (const std::string& input : kelvar::test::Cp936EncodeInputs()) {
    const std::optional<std::string> bytes = codec.Encode(input);
    out += bytes ? sized(*bytes) : std::string(1, kelvar::test::kNoForm);
  }
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  return file.write(out.data(), static_cast<std::streamsize>(out.size())) ? 0 : 1;
}
