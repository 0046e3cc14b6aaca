// Who a process runs as and whether it lets itself be dumped, as its pidfd
// tells (PIDFD_GET_INFO with credentials and the core-dump mode, Linux 6.16
// and later).  These are what decide, short of an exec, whether another
// process may read the process's /proc entries: its user and group IDs
// against the reader's, and its dumpable mode (PR_SET_DUMPABLE, or cleared
// by a change of credentials).  So while they stay as they were when its
// executable link was read, so does the answer to reading it, and one ioctl
// on a kept descriptor tells so where reading the link walks a path through
// /proc.  Older kernels tell nothing, and every look reads the link again.
#pragma once

#include <array>
#include <cstdint>

namespace kelvar::procfs {

struct ProcessAccess {
  std::array<std::uint32_t, 8> ids{};  // real, effective, saved and file-system user IDs, then group IDs
  std::uint32_t dump_mode = 0;         // the kernel's core-dump mask of the process

  friend bool operator==(const ProcessAccess&, const ProcessAccess&) = default;
};

// The access of the process `pidfd` names; false when the kernel cannot tell
// it (too old, or the process has been reaped).
bool ReadAccess(int pidfd, ProcessAccess& access);

// Whether this kernel tells the access of a process, asked once of a pidfd
// on the calling process.
bool KernelTellsAccess();

}  // namespace kelvar::procfs
