// One process's entry; see process_entry.h.
#include "platform/linux/process_entry.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/linux/proc_path.h"
#include "platform/linux/procfs_stat.h"

namespace kelvar::procfs {
namespace {

constexpr std::size_t kLinkBuffer = 4096;      // the kernel's own limit for the link
constexpr std::size_t kLinkBufferMax = 65536;  // in case a kernel ever allows more

// The length of the link /proc/PID/exe, read into `link`; 0 when unreadable
// (a kernel thread, another user's process, one that is ending).
std::size_t ReadExeLink(int proc_dir, Pid pid, std::string& link) {
  if (link.size() < kLinkBuffer) link.resize(kLinkBuffer);
  const ProcPath path(pid, "exe");
  for (;;) {
    const ssize_t n = ::readlinkat(proc_dir, path.c_str(), link.data(), link.size());
    if (n <= 0) return 0;
    if (static_cast<std::size_t>(n) < link.size()) return static_cast<std::size_t>(n);
    if (link.size() >= kLinkBufferMax) return 0;
    link.resize(link.size() * 2);
  }
}

}  // namespace

// A pidfd turns readable when its process has exited.  A failed poll is
// taken as an end too: nothing read before it can then be vouched for.
bool ProcessEntry::Exited() const {
  if (ended) return true;
  pollfd p{pidfd.get(), POLLIN, 0};
  return ::poll(&p, 1, 0) != 0;
}

bool ProcessEntry::ResidentPages(std::uint64_t& pages) const {
  if (!statm) return false;
  char buf[256];
  const ssize_t n = ::pread(statm.get(), buf, sizeof buf, 0);
  return n > 0 && ParseStatmResident(std::string_view(buf, static_cast<std::size_t>(n)), pages);
}

std::shared_ptr<ProcessEntry> ProbeProcess(int proc_dir, Pid pid, std::string& link) {
  UniqueFd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  ProcStat stat;
  if (!pidfd || !ReadStat(proc_dir, pid, stat)) return nullptr;
  auto entry = std::make_shared<ProcessEntry>();
  entry->pid = pid;
  entry->pidfd = std::move(pidfd);
  if (const std::size_t n = ReadExeLink(proc_dir, pid, link)) {
    entry->exe.assign(link.data(), n);
    entry->readable = true;
    entry->statm.Reset(::openat(proc_dir, ProcPath(pid, "statm").c_str(), O_RDONLY | O_CLOEXEC));
  }
  if (entry->Exited()) {
    entry->ended = true;
    entry->readable = false;
    entry->exe.clear();
    entry->statm.Reset();
  } else {
    entry->start_time = stat.start_time + 1;
  }
  return entry;
}

}  // namespace kelvar::procfs
