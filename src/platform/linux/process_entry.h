// What the process control knows of one process, read when it first meets
// it: a pidfd, which names this process and no other whatever becomes of its
// PID; the start time; the running image (the file its exe link leads to,
// by device and inode) and the link's bytes; and, for a process it may read,
// its statm file held open, so the working set costs one pread a pass.  All
// of it is read after the pidfd is opened and before the pidfd is found not
// yet readable, while the process had not ended: a PID is not given to a
// newer process before then, so every figure is this process's.  One found
// ended keeps nothing that could be another's.
//
// The image can change while the process lives: an exec runs another file,
// the file can be deleted or replaced under it, and the process can turn
// unreadable (a set-uid exec, or it asks the kernel so).  RecheckImage, one
// stat of the exe link, notices each and reads the link again or makes the
// entry unreadable.  The image is stat'ed before the link is read, so an
// exec between the two leaves a stale identity that the next recheck sees,
// never a stale path under a fresh identity.  Kept with the image, for
// cheaper questions (image_check.h): the access, the memory layout, and the
// maps file, opened before the image is read, which belongs to the memory
// of the program the process ran then and reads empty once an exec has
// replaced that memory.
//
// " (deleted)" is the kernel's mark on the link of an image whose name was
// removed: it is taken off when the image has no name left, or when the file
// at the marked path is not the image.  A file whose name ends so keeps it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_identity.h"
#include "platform/linux/procfs_stat.h"
#include "platform/linux/unique_fd.h"
#include "platform/process_source.h"

namespace kelvar::procfs {

// Who a process runs as (real, effective, saved and file-system user IDs,
// then group IDs) and its core-dump mode (PR_SET_DUMPABLE, cleared by a
// change of credentials): what decides, short of an exec, whether another
// process may read its /proc entries.  Its pidfd tells them from Linux 6.16.
struct ProcessAccess {
  std::array<std::uint32_t, 8> ids{};
  std::uint32_t dump_mode = 0;

  friend bool operator==(const ProcessAccess&, const ProcessAccess&) = default;
};

// The access of the process `pidfd` names; false when the kernel cannot tell
// it (too old, or the process has been reaped).
bool ReadAccess(int pidfd, ProcessAccess& access);

struct ProcessEntry {
  Pid pid = 0;
  UniqueFd pidfd;
  UniqueFd statm;                // open when `readable`, if it could be opened and the cache has room
  UniqueFd maps;                 // open while the exec signal is armed
  std::uint64_t start_time = 0;  // clock ticks after boot, plus one; 0 when unknown
  std::string exe;               // the link's exact bytes (without the mark), when `readable`
  FileIdentity image;            // the running image, when `readable`
  bool readable = false;         // the link could be read: an open to read succeeds
  bool ended = false;            // known to have exited (a zombie has)
  bool watch_exec = true;        // the cache has room for the maps file
  ProcessAccess access;          // when the image was last read, if `access_known`
  bool access_known = false;
  MemoryLayout layout;   // at the last read of the working set
  unsigned glances = 0;  // sweeps that asked after the process

  // Whether the process has exited, asked of the pidfd now unless known.
  bool Exited() const;
  // The resident pages, read now (through the statm kept open, else by
  // path); false when they cannot be read.  `moved` tells whether the
  // memory layout differs from the last read's.
  bool ReadMemory(int proc_dir, std::uint64_t& pages, bool& moved);
  // Whether the process may have run another program since the maps file
  // was opened: it reads empty, or none is open.
  bool MayHaveExeced() const;
  // Stats the image now and follows what changed (see above); answers the
  // image, unknown when the process cannot be read any more.  `link` is the
  // caller's scratch buffer.  The access is read first.
  FileIdentity RecheckImage(int proc_dir, std::string& link);
  void MakeUnreadable();
};

// The entry of the process `pid` names now; nullptr when it names none (or a
// thread, which has no pidfd of its own).  `link` is a scratch buffer for
// the executable's link, kept by the caller so its room is reused.
std::unique_ptr<ProcessEntry> ProbeProcess(int proc_dir, Pid pid, std::string& link);

}  // namespace kelvar::procfs
