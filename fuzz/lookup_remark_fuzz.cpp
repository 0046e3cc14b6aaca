// Fuzz target: the remark lookup over a remark file made of the fuzz input,
// read by the portable profile reader, with fuzzed directories.  The result
// must be made of the value the reader gave: a level of at most two
// characters at its start and the remark at its end.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/directories.h"
#include "platform/profile_reader.h"
#include "procinfo/ini.h"
#include "procinfo/profile_text.h"
#include "procinfo/text_chars.h"

namespace {

class FuzzDirectories : public kelvar::Directories {
 public:
  std::string sys, win;
  std::string SystemDirectory() override { return sys; }
  std::string WindowsDirectory() override { return win; }
  std::string ProgramFolder() override { return "C:\\Tools"; }
};

// The remark file is the rest of the input, whatever file is asked for.
class FuzzProfile : public kelvar::ProfileReader {
 public:
  std::string text;
  int reads = 0;
  std::string last;
  std::string GetString(const std::string& section, const std::string& key, const std::string&) override {
    ++reads;
    if (section != "sysdir" && section != "windir") Fail("unexpected section");
    last = kelvar::ProfileValue(text, section, key);
    return last;
  }
  static void Fail(const char* what) {
    std::fprintf(stderr, "lookup_remark: %s\n", what);
    std::abort();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvar;
  FuzzedDataProvider in(data, size);
  FuzzDirectories dirs;
  FuzzProfile profile;
  dirs.sys = in.ConsumeRandomLengthString(40);
  dirs.win = in.ConsumeRandomLengthString(40);
  const std::string path = in.ConsumeRandomLengthString(80);
  profile.text = in.ConsumeRemainingBytesAsString();

  const std::optional<Remark> r = LookupRemark(path, "system.ini", dirs, profile);
  if (profile.reads > 1) FuzzProfile::Fail("the file was read twice");
  if (!r) {
    if (profile.reads == 1 && !profile.last.empty()) FuzzProfile::Fail("a value was dropped");
    return 0;
  }
  const std::string& v = profile.last;
  if (profile.reads != 1 || v.empty()) FuzzProfile::Fail("a result without a value");
  if (r->kind != "系统") FuzzProfile::Fail("wrong kind");
  if (v.compare(0, r->level.size(), r->level) != 0) FuzzProfile::Fail("level is not the value's start");
  if (CharOffset(r->level, 2, TextEncoding::kUtf8) != r->level.size()) FuzzProfile::Fail("level too long");
  if (r->remark.size() > v.size() || v.compare(v.size() - r->remark.size(), r->remark.size(), r->remark) != 0)
    FuzzProfile::Fail("remark is not the value's end");
  if (!r->remark.empty() && CharOffset(v, 3, TextEncoding::kUtf8) != v.size() - r->remark.size())
    FuzzProfile::Fail("remark does not start at the fourth character");
  return 0;
}
