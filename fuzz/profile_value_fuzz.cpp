// Fuzz target: the portable profile reader.  Any file, any asked names, both
// encodings, several limits: no crash, no undefined behaviour, an answer of
// whole characters within the limit, and the same answer as the
// Windows-shaped reference reader.  The same file also goes through the
// byte-order-mark layer (UTF-16 decoding, the code-page cut) without fault.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "procinfo/profile_file.h"
#include "procinfo/profile_text.h"
#include "procinfo/text_chars.h"
#include "profile_reference.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "profile_value: %s\n", what);
  std::abort();
}

// Code page 936 as far as ASCII goes: enough to reach every step.
class AsciiCodec final : public kelvar::Cp936Codec {
 public:
  std::optional<std::string> Encode(std::string_view utf8) override {
    for (char c : utf8)
      if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    return std::string(utf8);
  }
  std::string Decode(std::string_view cp936) override { return std::string(cp936); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvar;
  FuzzedDataProvider in(data, size);
  const TextEncoding encoding = in.ConsumeBool() ? TextEncoding::kDoubleByte : TextEncoding::kUtf8;
  const std::size_t limits[] = {kProfileValueLimit, 0, 1, 2, 3, 7};
  const std::size_t limit = in.PickValueInArray(limits);
  const std::string section = in.ConsumeRandomLengthString(64);
  const std::string key = in.ConsumeRandomLengthString(64);
  const std::string text = in.ConsumeRemainingBytesAsString();

  const std::string value = ProfileValue(text, section, key, encoding, limit);
  if (value.size() > limit) Fail("value longer than the limit");
  if (WholeCharsWithin(value, value.size(), encoding) != value.size()) Fail("half a character");
  if (value != fuzz::ReferenceProfileValue(text, section, key, encoding, limit))
    Fail("differs from the reference reader");
  AsciiCodec codec;
  if (ProfileFileValue(text, section, key, codec).size() > 3 * kProfileValueLimit)
    Fail("file value longer than the code-page limit allows");
  return 0;
}
