// Fuzz target: CheckPath and TrimModulePath against a plain restatement of
// the path rules; a POSIX path must come back byte for byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/directories.h"
#include "procinfo/path_style.h"
#include "procinfo/sys_path.h"

namespace {

class FixedDirectories : public kelvar::Directories {
 public:
  explicit FixedDirectories(std::string win) : win_(std::move(win)) {}
  std::string SystemDirectory() override { return win_ + "\\system32"; }
  std::string WindowsDirectory() override { return win_; }
  std::string ProgramFolder() override { return "C:\\"; }

 private:
  std::string win_;
};

std::string Expected(const std::string& in, const std::string& win) {
  if (!in.empty() && in[0] == '/') return in;
  std::string out;
  for (std::size_t i = 0; i < in.size();) {
    if (in.compare(i, 4, "\\??\\") == 0) {
      i += 4;
    } else {
      out += in[i++];
    }
  }
  std::string head = out.substr(0, 12);
  for (char& c : head)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  if (head == "\\SYSTEMROOT\\") out = win + out.substr(11);
  return out;
}

void Fail(const char* what) {
  std::fprintf(stderr, "check_path: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string win = in.ConsumeRandomLengthString(32);
  const std::string path = in.ConsumeRemainingBytesAsString();
  FixedDirectories dirs(win);

  if (kelvar::CheckPath(path, dirs) != Expected(path, win)) Fail("CheckPath differs from the rules");

  std::string trimmed = path;
  kelvar::TrimModulePath(trimmed);
  if (kelvar::IsPosixPath(path)) {
    if (trimmed != path) Fail("a POSIX path was trimmed");
  } else if (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.back() == ' ')) {
    Fail("spaces left at an end");
  } else if (path.find(trimmed) == std::string::npos) {
    Fail("trimming changed the inside");
  }
  return 0;
}
