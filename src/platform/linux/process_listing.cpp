// The listing of /proc; see process_listing.h.
#include "platform/linux/process_listing.h"

#include <fcntl.h>
#include <mntent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

#include "platform/linux/procfs_stat.h"

namespace kelvar::procfs {
namespace {

constexpr int kWholeEvery = 10;                // passes
constexpr std::int64_t kMostHandedOut = 4096;  // PIDs a pass asks after, beyond which it reads the whole
constexpr std::int64_t kRecent = 32;           // PIDs handed out just before a whole read, asked after again

// A directory entry: all digits, not starting with 0, within a PID's range.
bool ParsePid(const char* name, Pid& pid) {
  if (name[0] < '1' || name[0] > '9') return false;
  const char* end = name + std::strlen(name);
  auto [ptr, ec] = std::from_chars(name, end, pid);
  return ec == std::errc() && ptr == end;
}

bool IsLeader(Pid pid) {
  const long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd < 0) return false;
  ::close(static_cast<int>(fd));
  return true;
}

// The number a /proc/sys file of `n` bytes holds, or -1.
std::int64_t NumberIn(const char* buf, long n) {
  std::int64_t value = -1;
  if (n > 0) std::from_chars(buf, buf + n, value);
  return value;
}

// /proc is this process's PID namespace's, and lists every process.
bool ListsOurNamespaceWhole(int proc_fd) {
  char self[32];
  const ssize_t n = ::readlinkat(proc_fd, "self", self, sizeof self);
  if (n <= 0 || std::string_view(self, static_cast<std::size_t>(n)) != std::to_string(::getpid()))
    return false;
  FILE* mounts = ::setmntent("/proc/self/mounts", "re");
  if (!mounts) return false;
  bool hides = false;
  while (const mntent* m = ::getmntent(mounts))
    if (std::strcmp(m->mnt_type, "proc") == 0 && std::strcmp(m->mnt_dir, "/proc") == 0)
      hides = hides || (std::strstr(m->mnt_opts, "hidepid=") && !std::strstr(m->mnt_opts, "hidepid=0") &&
                        !std::strstr(m->mnt_opts, "hidepid=off"));
  ::endmntent(mounts);
  return !hides;
}

}  // namespace

ProcessListing::ProcessListing(DIR* proc) : proc_(proc) {
  if (proc_ && ListsOurNamespaceWhole(::dirfd(proc_)))
    last_pid_.Reset(::openat(::dirfd(proc_), "sys/kernel/ns_last_pid", O_RDONLY | O_CLOEXEC));
}

void ProcessListing::List(std::vector<Pid>& pids, const std::function<bool(Pid)>& runs) {
  const std::int64_t last = LastPid();
  if (last < 0 || last_ < 0 || passes_ + 1 >= kWholeEvery || !Update(pids, last, runs)) ReadWhole(pids, last);
}

// The last PID is taken before the directory is read: a process that gets
// its PID meanwhile is asked after at the next pass, and so are the last
// few handed out before, which a fork may not yet have made visible.
void ProcessListing::ReadWhole(std::vector<Pid>& pids, std::int64_t last) {
  pids.clear();
  ::rewinddir(proc_);
  while (const dirent* entry = ::readdir(proc_)) {
    Pid pid = 0;
    if (ParsePid(entry->d_name, pid)) pids.push_back(pid);
  }
  std::sort(pids.begin(), pids.end());
  listed_ = pids;
  waiting_.clear();
  for (std::int64_t pid = std::max<std::int64_t>(1, last - kRecent + 1); pid <= last; ++pid)
    if (!std::binary_search(pids.begin(), pids.end(), static_cast<Pid>(pid)))
      waiting_.push_back(static_cast<Pid>(pid));
  last_ = last;
  passes_ = 0;
}

bool ProcessListing::Update(std::vector<Pid>& pids, std::int64_t last, const std::function<bool(Pid)>& runs) {
  std::vector<Pid> handed_out;
  if (!HandedOutSince(last, handed_out)) return false;
  fresh_.clear();
  for (Pid pid : waiting_)
    if (IsLeader(pid)) fresh_.push_back(pid);
  waiting_.clear();
  for (Pid pid : handed_out) (IsLeader(pid) ? fresh_ : waiting_).push_back(pid);
  std::sort(fresh_.begin(), fresh_.end());
  pids.clear();
  std::size_t next = 0;
  for (Pid pid : listed_) {
    for (; next < fresh_.size() && fresh_[next] < pid; ++next) pids.push_back(fresh_[next]);
    if (next < fresh_.size() && fresh_[next] == pid) ++next;
    if (runs(pid) || IsLeader(pid)) pids.push_back(pid);
  }
  pids.insert(pids.end(), fresh_.begin() + static_cast<std::ptrdiff_t>(next), fresh_.end());
  pids.erase(std::unique(pids.begin(), pids.end()), pids.end());
  listed_ = pids;
  last_ = last;
  ++passes_;
  return true;
}

// Past pid_max the PIDs start again low (from 300, or 1 in a namespace).
bool ProcessListing::HandedOutSince(std::int64_t last, std::vector<Pid>& out) const {
  if (last == last_) return true;
  std::int64_t first = last_ + 1, end = last + 1;
  if (last < last_) {
    char buf[32];
    const std::int64_t pid_max =
        NumberIn(buf, ReadSmallFile(::dirfd(proc_), "sys/kernel/pid_max", buf, sizeof buf));
    if (pid_max <= last_ || pid_max - last_ + last > kMostHandedOut) return false;
    for (std::int64_t pid = first; pid < pid_max; ++pid) out.push_back(static_cast<Pid>(pid));
    first = 1;
  }
  if (end - first > kMostHandedOut) return false;
  for (std::int64_t pid = first; pid < end; ++pid) out.push_back(static_cast<Pid>(pid));
  return true;
}

std::int64_t ProcessListing::LastPid() const {
  if (!last_pid_) return -1;
  char buf[32];
  return NumberIn(buf, ::pread(last_pid_.get(), buf, sizeof buf, 0));
}

}  // namespace kelvar::procfs
