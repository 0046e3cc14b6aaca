// Fuzz target: the portable profile reader.  Any file, any asked names,
// several limits: no crash, no undefined behaviour, an answer of whole
// characters within the limit, and the same answer as the Windows-shaped
// reference reader, both for the rules over UTF-8 text and for a whole file
// decoded by its byte-order mark or as code page 936, then cut.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/linux/linux_cp936_codec.h"
#include "procinfo/profile_file.h"
#include "procinfo/profile_text.h"
#include "procinfo/text_chars.h"
#include "profile_reference.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "profile_value: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvar;
  static LinuxCp936Codec codec;  // built once: its reverse table takes longer than a run
  FuzzedDataProvider in(data, size);
  const std::size_t limits[] = {kProfileValueLimit, 0, 1, 2, 3, 7};
  const std::size_t limit = in.PickValueInArray(limits);
  const std::string section = in.ConsumeRandomLengthString(64);
  const std::string key = in.ConsumeRandomLengthString(64);
  const std::string text = in.ConsumeRemainingBytesAsString();

  const std::string value = ProfileValue(text, section, key, limit);
  if (value.size() > limit) Fail("value longer than the limit");
  if (WholeCharsWithin(value, value.size(), TextEncoding::kUtf8) != value.size()) Fail("half a character");
  if (value != fuzz::ReferenceProfileValue(text, section, key, limit))
    Fail("differs from the reference reader");

  const std::string file_value = ProfileTextValue(ProfileFileText(text, codec), section, key, codec);
  if (file_value != fuzz::ReferenceFileValue(text, section, key, codec))
    Fail("file value differs from the reference reader");
  return 0;
}
