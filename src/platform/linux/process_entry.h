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
// the file can be renamed, deleted or replaced under it, and the process can
// turn unreadable (a set-uid exec, or it asks the kernel so).  The text of
// the exe link shows each of these: the kernel makes it anew at every read,
// from the file the process runs now, with " (deleted)" once the file has
// lost its name, and refuses it to a reader no longer allowed.  So while the
// link reads as it did, the row made from it still shows what runs; only an
// exec of another file at the very same path keeps the text, and the row's
// texts with it.  The link is read through a descriptor kept on it, which
// spares the walk through /proc.  RecheckImage stats the image and reads the
// link again.  The image is stat'ed before the link is read, so an exec
// between the two leaves a stale identity, never a stale path.
//
// " (deleted)" is the kernel's mark, not part of the file's name: it is taken
// off when the image has no name left, or when the file at the marked path
// is not the image.  A file whose name ends so keeps it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_identity.h"
#include "platform/linux/procfs_stat.h"
#include "platform/linux/unique_fd.h"
#include "platform/process_source.h"

namespace kelvar::procfs {

struct ProcessEntry {
  Pid pid = 0;
  UniqueFd pidfd;
  UniqueFd statm;                // open when `readable`, if it could be opened and the cache has room
  UniqueFd exe_link;             // on the exe link itself, when `readable` and the cache has room
  std::uint64_t start_time = 0;  // clock ticks after boot, plus one; 0 when unknown
  std::string link;              // the link's bytes as last read, when `readable`
  std::string exe;               // the same without the kernel's mark
  FileIdentity image;            // the running image, when `readable`
  bool readable = false;         // the link could be read: an open to read succeeds
  bool ended = false;            // known to have exited (a zombie has)
  MemoryLayout layout;           // at the last read of the working set

  // Whether the process has exited, asked of the pidfd now unless known.
  bool Exited() const;
  // The resident pages, read now (through the statm kept open, else by
  // path); false when they cannot be read.  `moved` tells whether the
  // memory layout differs from the last read's.
  bool ReadMemory(int proc_dir, std::uint64_t& pages, bool& moved);
  // Whether the exe link reads now as it did when the image was last read.
  // `scratch` is the caller's buffer.
  bool LinkReadsAsBefore(int proc_dir, std::string& scratch) const;
  // Stats the image and reads the link now (see above); answers the image,
  // unknown when the process cannot be read any more.
  FileIdentity RecheckImage(int proc_dir, std::string& scratch);
  void MakeUnreadable();
};

// The entry of the process `pid` names now; nullptr when it names none (or a
// thread, which has no pidfd of its own).  `scratch` is a buffer for the
// executable's link, kept by the caller so its room is reused.
std::unique_ptr<ProcessEntry> ProbeProcess(int proc_dir, Pid pid, std::string& scratch);

}  // namespace kelvar::procfs
