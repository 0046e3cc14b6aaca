// What the process control knows of one process, read when it first meets
// the process: a pidfd, which names this process and no other whatever
// becomes of its PID; the start time; the running image (the file its exe
// link leads to, by device and inode) and the bytes of the link; and, for a
// process it may read, its statm file held open, so the working set costs
// one pread a pass instead of an open, a read and a close.
//
// All of it is read after the pidfd is opened and before the pidfd is found
// not yet readable, that is while the process had not ended: a PID is not
// given to a newer process before the old one has ended, so every figure is
// this process's.  A process found ended by then keeps nothing that could be
// another's: no start time, and it may not be opened for reading.
//
// The image is what can change while the process lives: an exec runs
// another file, the file can be deleted or replaced under it, and the
// process can turn unreadable (an exec of a set-uid program, or it asks the
// kernel so).  RecheckImage, one stat of the exe link, notices each of these
// and reads the link again or makes the entry unreadable.  The image is
// stat'ed before the link is read, so an exec between the two leaves a
// stale identity that the next recheck sees, never a stale path under a
// fresh identity.  What the link was read against is kept with it, so that
// cheaper questions can tell when it must be read again: the process's
// access (process_access.h) and its memory layout, which an exec replaces
// and the refresh reads anyway with the working set.
//
// " (deleted)" is the kernel's mark on the link of an image whose name was
// removed, not part of the file's name: it is taken off when the image has
// no name left, or when the file at the marked path is not the image.  A
// live file whose name really ends so keeps its name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_identity.h"
#include "platform/linux/process_access.h"
#include "platform/linux/procfs_stat.h"
#include "platform/linux/unique_fd.h"
#include "platform/process_source.h"

namespace kelvar::procfs {

struct ProcessEntry {
  Pid pid = 0;
  UniqueFd pidfd;
  UniqueFd statm;                // open when `readable`, if it could be opened and the cache has room
  std::uint64_t start_time = 0;  // clock ticks after boot, plus one; 0 when unknown
  std::string exe;               // the link's exact bytes (without the mark), when `readable`
  FileIdentity image;            // the running image, when `readable`
  bool readable = false;         // the link could be read: an open to read succeeds
  bool ended = false;            // known to have exited (a zombie has)
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
  // Stats the image now and follows what changed (see above); answers the
  // image, unknown when the process cannot be read any more.  `link` is the
  // caller's scratch buffer; with `watch_access` the access is read first.
  FileIdentity RecheckImage(int proc_dir, std::string& link, bool watch_access);
  void MakeUnreadable();
};

// The entry of the process `pid` names now; nullptr when it names none (or a
// thread, which has no pidfd of its own).  `link` is a scratch buffer for
// the executable's link, kept by the caller so its room is reused; with
// `watch_access` the access is read before the image.
std::shared_ptr<ProcessEntry> ProbeProcess(int proc_dir, Pid pid, std::string& link, bool watch_access);

}  // namespace kelvar::procfs
