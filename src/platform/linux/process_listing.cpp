// The listing of /proc; see process_listing.h.
#include "platform/linux/process_listing.h"

#include <fcntl.h>
#include <mntent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/linux/unique_fd.h"

namespace kelvar::procfs {
namespace {

constexpr int kWholeEvery = 10;                // passes
constexpr std::int64_t kMostHandedOut = 4096;  // PIDs a pass asks after, beyond which it reads the whole
constexpr std::int64_t kRecent = 32;           // PIDs handed out just before a whole read, asked after again
constexpr std::int64_t kReservedPids = 300;    // where the counter starts again past pid_max
constexpr unsigned kPidfdThread = O_EXCL;      // PIDFD_THREAD, Linux 6.9; older headers lack it

// A directory entry: all digits, not starting with 0, within a PID's range.
bool ParsePid(const char* name, Pid& pid) {
  if (name[0] < '1' || name[0] > '9') return false;
  const char* end = name + std::strlen(name);
  auto [ptr, ec] = std::from_chars(name, end, pid);
  return ec == std::errc() && ptr == end;
}

// The number after `key` in `text`, or -1.
std::int64_t NumberAfter(std::string_view text, std::string_view key) {
  const std::size_t at = text.find(key);
  std::int64_t value = -1;
  if (at != std::string_view::npos)
    std::from_chars(text.data() + at + key.size(), text.data() + text.size(), value);
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

int OpenPidfd(Pid pid, unsigned flags) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, flags)); }

class ProcProbe final : public ListingProbe {
 public:
  explicit ProcProbe(DIR* proc) : proc_(proc) {
    const int dir = proc_ ? ::dirfd(proc_) : -1;
    if (dir < 0 || !ListsOurNamespaceWhole(dir)) return;
    lists_all_ = true;
    stat_.Reset(::openat(dir, "stat", O_RDONLY | O_CLOEXEC));
    loadavg_.Reset(::openat(dir, "loadavg", O_RDONLY | O_CLOEXEC));
    pid_max_.Reset(::openat(dir, "sys/kernel/pid_max", O_RDONLY | O_CLOEXEC));
    UniqueFd self(OpenPidfd(::getpid(), kPidfdThread));
    tells_threads_ = static_cast<bool>(self);
  }

  // loadavg ends "running/tasks last-pid".
  Counters Read() override {
    Counters c;
    if (!lists_all_) return c;
    c.forks = NumberAfter(ReadAll(stat_), "\nprocesses ");
    const std::string_view load = ReadAll(loadavg_);
    c.tasks = NumberAfter(load, "/");
    const std::size_t space = load.rfind(' ');
    if (space != std::string_view::npos) c.last_pid = NumberAfter(load.substr(space), " ");
    c.pid_max = NumberAfter(ReadAll(pid_max_), "");
    return c;
  }

  // A PID handed out but attached to no task yet is a fork under way; told
  // apart from a thread only where the kernel opens threads' pidfds.
  Kind KindOf(Pid pid) override {
    if (UniqueFd leader(OpenPidfd(pid, 0)); leader) return Kind::kLeader;
    if (errno == ESRCH) return Kind::kFree;
    if (!tells_threads_) return Kind::kForming;
    if (UniqueFd thread(OpenPidfd(pid, kPidfdThread)); thread) return Kind::kThread;
    return errno == ESRCH ? Kind::kFree : Kind::kForming;
  }

  void ReadDirectory(std::vector<Pid>& pids) override {
    ::rewinddir(proc_);
    while (const dirent* entry = ::readdir(proc_)) {
      Pid pid = 0;
      if (ParsePid(entry->d_name, pid)) pids.push_back(pid);
    }
  }

 private:
  // The file's text from its start, or empty; the buffer grows to hold it.
  std::string_view ReadAll(const UniqueFd& fd) {
    if (!fd) return {};
    if (buf_.empty()) buf_.resize(4096);
    for (;;) {
      const ssize_t n = ::pread(fd.get(), buf_.data(), buf_.size(), 0);
      if (n < 0) return {};
      if (static_cast<std::size_t>(n) < buf_.size()) return {buf_.data(), static_cast<std::size_t>(n)};
      buf_.resize(buf_.size() * 2);
    }
  }

  DIR* proc_;
  bool lists_all_ = false;
  bool tells_threads_ = false;
  UniqueFd stat_, loadavg_, pid_max_;
  std::string buf_;
};

}  // namespace

std::unique_ptr<ListingProbe> ProcListingProbe(DIR* proc) { return std::make_unique<ProcProbe>(proc); }

void ProcessListing::List(std::vector<Pid>& pids, const std::function<bool(Pid)>& runs) {
  const ListingProbe::Counters now = probe_->Read();
  const bool counted = now.forks >= 0 && now.tasks >= 0 && now.last_pid >= 0 && now.pid_max > 0;
  if (!counted || last_.last_pid < 0 || passes_ + 1 >= kWholeEvery || !NoWholeCycleSince(now) ||
      !Update(pids, now, runs))
    ReadWhole(pids, now);
  last_ = counted ? now : ListingProbe::Counters{};
}

// The counter is read before the directory: a PID handed out meanwhile is
// asked after at the next pass, and so are the last few handed out before,
// which a fork may not yet have made visible.
void ProcessListing::ReadWhole(std::vector<Pid>& pids, const ListingProbe::Counters& now) {
  pids.clear();
  probe_->ReadDirectory(pids);
  std::sort(pids.begin(), pids.end());
  listed_ = pids;
  waiting_.clear();
  for (std::int64_t pid = std::max<std::int64_t>(1, now.last_pid - kRecent + 1); pid <= now.last_pid; ++pid)
    if (!std::binary_search(pids.begin(), pids.end(), static_cast<Pid>(pid)))
      waiting_.push_back(static_cast<Pid>(pid));
  passes_ = 0;
}

bool ProcessListing::NoWholeCycleSince(const ListingProbe::Counters& now) const {
  const std::int64_t forks = now.forks - last_.forks, cycle = now.pid_max - kReservedPids;
  return forks >= 0 && forks <= cycle && 4 * forks + 3 * last_.tasks <= cycle;
}

bool ProcessListing::Update(std::vector<Pid>& pids, const ListingProbe::Counters& now,
                            const std::function<bool(Pid)>& runs) {
  asked_.clear();
  if (!HandedOutSince(now, asked_)) return false;
  fresh_.clear();
  forming_.clear();
  for (Pid pid : waiting_) Ask(pid);
  for (Pid pid : asked_) Ask(pid);
  waiting_.swap(forming_);
  std::sort(fresh_.begin(), fresh_.end());
  pids.clear();
  std::size_t next = 0;
  for (Pid pid : listed_) {
    for (; next < fresh_.size() && fresh_[next] < pid; ++next) pids.push_back(fresh_[next]);
    if (next < fresh_.size() && fresh_[next] == pid) ++next;
    if (runs(pid) || probe_->KindOf(pid) == ListingProbe::Kind::kLeader) pids.push_back(pid);
  }
  pids.insert(pids.end(), fresh_.begin() + static_cast<std::ptrdiff_t>(next), fresh_.end());
  pids.erase(std::unique(pids.begin(), pids.end()), pids.end());
  listed_ = pids;
  ++passes_;
  return true;
}

void ProcessListing::Ask(Pid pid) {
  const ListingProbe::Kind kind = probe_->KindOf(pid);
  if (kind == ListingProbe::Kind::kLeader) fresh_.push_back(pid);
  if (kind == ListingProbe::Kind::kForming) forming_.push_back(pid);
}

// Past pid_max the counter starts again at 300, or at 1 while it had not
// passed 300; a counter below where it starts again was set by hand.
bool ProcessListing::HandedOutSince(const ListingProbe::Counters& now, std::vector<Pid>& out) const {
  const std::int64_t from = last_.last_pid, to = now.last_pid;
  auto add = [&out](std::int64_t first, std::int64_t end) {
    for (std::int64_t pid = first; pid < end; ++pid) out.push_back(static_cast<Pid>(pid));
  };
  if (to >= from) {
    if (to - from > kMostHandedOut) return false;
    add(from + 1, to + 1);
    return true;
  }
  const std::int64_t low = from >= kReservedPids ? kReservedPids : 1;
  if (from >= now.pid_max || to < low || (now.pid_max - from - 1) + (to - low + 1) > kMostHandedOut)
    return false;
  add(from + 1, now.pid_max);
  add(low, to + 1);
  return true;
}

}  // namespace kelvar::procfs
