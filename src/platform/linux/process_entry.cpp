// One process's entry; see process_entry.h.
#include "platform/linux/process_entry.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string_view>

#include "platform/linux/linux_files.h"
#include "platform/linux/proc_path.h"

namespace kelvar::procfs {
namespace {

constexpr std::size_t kLinkBuffer = 4096;      // the kernel's own limit for the link
constexpr std::size_t kLinkBufferMax = 65536;  // in case a kernel ever allows more

// The length of the link, read into `link`, through the descriptor kept on
// it or else by path; 0 when unreadable (a kernel thread, another user's
// process, one that has ended).
std::size_t ReadExeLink(int proc_dir, const ProcessEntry& entry, std::string& link) {
  if (link.size() < kLinkBuffer) link.resize(kLinkBuffer);
  const ProcPath path(entry.pid, "exe");
  const int dir = entry.exe_link ? entry.exe_link.get() : proc_dir;
  const char* name = entry.exe_link ? "" : path.c_str();
  for (;;) {
    const ssize_t n = ::readlinkat(dir, name, link.data(), link.size());
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
std::size_t WithoutDeletedMark(std::string_view link, const FileIdentity& image) {
  constexpr std::string_view kMark = " (deleted)";
  if (link.size() <= kMark.size() || !link.ends_with(kMark)) return link.size();
  // While a name is left, the mark is the kernel's unless the file so named
  // is the image itself.
  if (!image.unlinked && SameFile(IdentityOfLink(std::string(link)), image)) return link.size();
  return link.size() - kMark.size();
}

// Reads the image, then the link; false when either cannot be read.
bool ReadImage(int proc_dir, ProcessEntry& entry, std::string& scratch) {
  if (!StatImage(proc_dir, entry.pid, entry.image)) return false;
  const std::size_t n = ReadExeLink(proc_dir, entry, scratch);
  if (n == 0) return false;
  entry.link.assign(scratch.data(), n);
  entry.exe.assign(entry.link, 0, WithoutDeletedMark(entry.link, entry.image));
  return true;
}

}  // namespace

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

bool ProcessEntry::LinkReadsAsBefore(int proc_dir, std::string& scratch) const {
  const std::size_t n = ReadExeLink(proc_dir, *this, scratch);
  return n > 0 && std::string_view(scratch.data(), n) == link;
}

// Read by PID: once the process has ended, what was read may be another's.
FileIdentity ProcessEntry::RecheckImage(int proc_dir, std::string& scratch) {
  if (!readable) return {};
  if (!ReadImage(proc_dir, *this, scratch) || Exited()) MakeUnreadable();
  return image;
}

void ProcessEntry::MakeUnreadable() {
  readable = false;
  link.clear();
  exe.clear();
  image = {};
  statm.Reset();
  exe_link.Reset();
}

std::unique_ptr<ProcessEntry> ProbeProcess(int proc_dir, Pid pid, std::string& scratch) {
  UniqueFd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  ProcStat stat;
  if (!pidfd || !ReadStat(proc_dir, pid, stat)) return nullptr;
  auto entry = std::make_unique<ProcessEntry>();
  entry->pid = pid;
  entry->pidfd = std::move(pidfd);
  if (ReadImage(proc_dir, *entry, scratch)) {
    entry->readable = true;
    entry->statm.Reset(::openat(proc_dir, ProcPath(pid, "statm").c_str(), O_RDONLY | O_CLOEXEC));
    entry->exe_link.Reset(::openat(proc_dir, ProcPath(pid, "exe").c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
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
