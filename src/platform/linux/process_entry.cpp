// One process's entry; see process_entry.h.
#include "platform/linux/process_entry.h"

#include <fcntl.h>
#include <linux/kcmp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string_view>

#include "platform/linux/proc_path.h"
#include "platform/linux/procfs_stat.h"

namespace kelvar::procfs {
namespace {

// The kernel's struct pidfd_info as of Linux 6.16 (its second version):
// the installed headers may be older than the running kernel.
struct PidfdInfo {
  std::uint64_t mask;
  std::uint64_t cgroupid;
  std::uint32_t pid, tgid, ppid;
  std::uint32_t ruid, rgid, euid, egid, suid, sgid, fsuid, fsgid;
  std::int32_t exit_code;
  std::uint32_t coredump_mask;
  std::uint32_t spare;
};
static_assert(sizeof(PidfdInfo) == 72);

constexpr std::uint64_t kInfoCreds = 1u << 1;
constexpr std::uint64_t kInfoCoredump = 1u << 4;
constexpr unsigned long kGetInfo = _IOWR(0xFF, 11, PidfdInfo);

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

// The file the exe link leads to; the same access as reading the link.
bool StatImage(int proc_dir, Pid pid, FileIdentity& image) {
  struct stat st;
  if (::fstatat(proc_dir, ProcPath(pid, "exe").c_str(), &st, 0) != 0) return false;
  image = FileIdentity{true, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                       st.st_nlink == 0};
  return true;
}

// The link's length without the kernel's deletion mark, when it is one.
std::size_t WithoutDeletedMark(const std::string& link, std::size_t n, const FileIdentity& image) {
  constexpr std::string_view kMark = " (deleted)";
  const std::string_view text(link.data(), n);
  if (n <= kMark.size() || !text.ends_with(kMark)) return n;
  if (!image.unlinked) {
    // A name is left: the mark is the kernel's unless the file so named is
    // the image itself.
    const std::string marked(text);
    struct stat st;
    if (::lstat(marked.c_str(), &st) == 0 && static_cast<std::uint64_t>(st.st_dev) == image.device &&
        static_cast<std::uint64_t>(st.st_ino) == image.inode)
      return n;
  }
  return n - kMark.size();
}

// Reads the image, then the link; false when either cannot be read.
bool ReadImage(int proc_dir, ProcessEntry& entry, std::string& link) {
  if (!StatImage(proc_dir, entry.pid, entry.image)) return false;
  std::size_t n = ReadExeLink(proc_dir, entry.pid, link);
  if (n == 0) return false;
  entry.exe.assign(link.data(), WithoutDeletedMark(link, n, entry.image));
  return true;
}

// Opens the maps file, on memory that is the process's own: a child forked
// that has run no program since may share its parent's memory (vfork, or a
// clone of it), which would outlive the child's exec.
void ArmExecSignal(int proc_dir, ProcessEntry& entry, const ProcStat& stat) {
  entry.maps.Reset();
  if (!entry.watch_exec) return;
  if ((stat.flags & kForkedWithoutExec) && ::syscall(SYS_kcmp, entry.pid, stat.parent, KCMP_VM, 0, 0) <= 0)
    return;
  entry.maps.Reset(::openat(proc_dir, ProcPath(entry.pid, "maps").c_str(), O_RDONLY | O_CLOEXEC));
}

}  // namespace

bool ReadAccess(int pidfd, ProcessAccess& access) {
  PidfdInfo info{};
  info.mask = kInfoCreds | kInfoCoredump;
  if (::ioctl(pidfd, kGetInfo, &info) != 0) return false;
  if ((info.mask & (kInfoCreds | kInfoCoredump)) != (kInfoCreds | kInfoCoredump)) return false;
  access.ids = {info.ruid, info.euid, info.suid, info.fsuid, info.rgid, info.egid, info.sgid, info.fsgid};
  access.dump_mode = info.coredump_mask;
  return true;
}

// A pidfd turns readable when its process has exited.  A failed poll is
// taken as an end too: nothing read before it can then be vouched for.
bool ProcessEntry::Exited() const {
  if (ended) return true;
  pollfd p{pidfd.get(), POLLIN, 0};
  return ::poll(&p, 1, 0) != 0;
}

// A read by path answers for this process only while it has not ended, so
// the pidfd is asked after the read.
bool ProcessEntry::ReadMemory(int proc_dir, std::uint64_t& pages, bool& moved) {
  moved = false;
  char buf[256];
  long n = -1;
  if (statm) {
    n = ::pread(statm.get(), buf, sizeof buf, 0);
  } else if (readable) {
    n = ReadSmallFile(proc_dir, ProcPath(pid, "statm").c_str(), buf, sizeof buf);
    if (n > 0 && Exited()) n = -1;
  }
  MemoryLayout now;
  if (n <= 0 || !ParseStatm(std::string_view(buf, static_cast<std::size_t>(n)), pages, now)) return false;
  moved = now != layout && layout != MemoryLayout{};
  layout = now;
  return true;
}

bool ProcessEntry::MayHaveExeced() const {
  char c;
  return !maps || ::pread(maps.get(), &c, 1, 0) != 1;
}

// The exec signal is armed again, before the image is read, once it fired.
FileIdentity ProcessEntry::RecheckImage(int proc_dir, std::string& link) {
  if (!readable) return {};
  if (ProcStat stat; watch_exec && MayHaveExeced() && ReadStat(proc_dir, pid, stat))
    ArmExecSignal(proc_dir, *this, stat);
  access_known = ReadAccess(pidfd.get(), access);
  FileIdentity now;
  if (!StatImage(proc_dir, pid, now)) {
    MakeUnreadable();
    return {};
  }
  if (now == image) return image;
  // Read by PID: once the process has ended, what was read may be another's.
  if (!ReadImage(proc_dir, *this, link) || Exited()) MakeUnreadable();
  return image;
}

void ProcessEntry::MakeUnreadable() {
  readable = false;
  exe.clear();
  image = {};
  statm.Reset();
  maps.Reset();
}

std::unique_ptr<ProcessEntry> ProbeProcess(int proc_dir, Pid pid, std::string& link) {
  UniqueFd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  ProcStat stat;
  if (!pidfd || !ReadStat(proc_dir, pid, stat)) return nullptr;
  auto entry = std::make_unique<ProcessEntry>();
  entry->pid = pid;
  entry->pidfd = std::move(pidfd);
  ArmExecSignal(proc_dir, *entry, stat);
  entry->access_known = ReadAccess(entry->pidfd.get(), entry->access);
  if (ReadImage(proc_dir, *entry, link)) {
    entry->readable = true;
    entry->statm.Reset(::openat(proc_dir, ProcPath(pid, "statm").c_str(), O_RDONLY | O_CLOEXEC));
  } else {
    entry->MakeUnreadable();
  }
  if (entry->Exited()) {
    entry->ended = true;
    entry->MakeUnreadable();
  } else {
    entry->start_time = stat.start_time + 1;
  }
  return entry;
}

}  // namespace kelvar::procfs
