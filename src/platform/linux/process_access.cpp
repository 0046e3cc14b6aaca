// The access a pidfd tells; see process_access.h.
#include "platform/linux/process_access.h"

#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/linux/unique_fd.h"

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

bool KernelTellsAccess() {
  UniqueFd self(static_cast<int>(::syscall(SYS_pidfd_open, ::getpid(), 0)));
  ProcessAccess access;
  return self && ReadAccess(self.get(), access);
}

}  // namespace kelvar::procfs
