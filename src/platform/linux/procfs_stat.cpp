// Parsing of /proc/PID/stat and statm; see procfs_stat.h.
#include "platform/linux/procfs_stat.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>

#include "platform/linux/proc_path.h"
#include "platform/linux/unique_fd.h"

namespace kelvar::procfs {
namespace {

// The next field of `rest`, split at single spaces; empty at the end.
std::string_view NextField(std::string_view& rest) {
  const std::size_t space = rest.find(' ');
  const std::string_view field = rest.substr(0, space);
  rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
  return field;
}

template <typename T>
bool ToNumber(std::string_view field, T& out) {
  if (field.empty()) return false;
  auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), out);
  return ec == std::errc() && end == field.data() + field.size();
}

}  // namespace

bool ParseStat(std::string_view text, ProcStat& out) {
  while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  const std::size_t close = text.rfind(')');
  if (close == std::string_view::npos || text.find('(') > close) return false;
  std::string_view rest = text.substr(close + 1);
  if (!NextField(rest).empty()) return false;  // the space after ')'
  const std::string_view state = NextField(rest);
  ProcStat s;
  s.state = state.size() == 1 ? state[0] : '\0';
  bool ok = s.state != 0 && ToNumber(NextField(rest), s.parent);
  for (int field = 5; ok && field < 9; ++field) ok = !NextField(rest).empty();
  ok = ok && ToNumber(NextField(rest), s.flags);
  for (int field = 10; ok && field < 22; ++field) ok = !NextField(rest).empty();
  if (!ok || !ToNumber(NextField(rest), s.start_time)) return false;
  out = s;
  return true;
}

bool ParseStatm(std::string_view text, std::uint64_t& pages, MemoryLayout& layout) {
  std::string_view rest = text.substr(0, text.find('\n'));
  std::uint64_t shared = 0, lib = 0;
  return ToNumber(NextField(rest), layout.size) && ToNumber(NextField(rest), pages) &&
         ToNumber(NextField(rest), shared) && ToNumber(NextField(rest), layout.text) &&
         ToNumber(NextField(rest), lib) && ToNumber(NextField(rest), layout.data);
}

long ReadSmallFile(int proc_dir, const char* rel, char* buf, std::size_t cap) {
  UniqueFd fd(::openat(proc_dir, rel, O_RDONLY | O_CLOEXEC));
  if (!fd) return -1;
  // A /proc file of this kind is produced whole by its first read.
  ssize_t n = ::read(fd.get(), buf, cap);
  if (n < 0 || static_cast<std::size_t>(n) == cap) return -1;
  return static_cast<long>(n);
}

bool ReadStat(int proc_dir, Pid pid, ProcStat& out) {
  char buf[kStatBufferSize];
  long n = ReadSmallFile(proc_dir, ProcPath(pid, "stat").c_str(), buf, sizeof buf);
  return n > 0 && ParseStat(std::string_view(buf, static_cast<std::size_t>(n)), out);
}

}  // namespace kelvar::procfs
