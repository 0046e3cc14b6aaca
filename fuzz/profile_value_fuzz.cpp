// Fuzz target: the portable profile reader.  Any file, any asked names, both
// encodings, several limits: no crash, no undefined behaviour, an answer of
// whole characters within the limit, and the same answer as the
// Windows-shaped reference reader.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "profile_reference.h"
#include "procinfo/profile_text.h"
#include "procinfo/text_chars.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "profile_value: %s\n", what);
  std::abort();
}

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
  return 0;
}
