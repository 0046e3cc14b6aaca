// Whether the sweep may trust what it knows of a kept process's image, or
// must look (a stat of /proc/PID/exe, a path walk through /proc).  It trusts
// it while every one of these signals is quiet (process_entry.h):
//  - no exec: the maps file, opened before the image was read, still reads;
//  - the same access: the credentials and core-dump mode that the pidfd
//    tells are as they were when the image was read, so the link would read
//    as it did (a kernel that tells none: look);
//  - the same file: the file at the image's path is still the image, which
//    a rename, a replacement or a deletion ends; a path is asked at most
//    once a millisecond, as many rows run one executable;
//  - not its turn: every Nth glance looks all the same, for the one exec the
//    maps file misses, of a process whose memory another process shares and
//    keeps (a clone with the memory, not a fork).
// The refresh follows an exec at once where the memory layout moved.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <unordered_map>

#include "platform/file_identity.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/process_entry.h"

namespace kelvar::procfs {

class ImageCheck {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // `look_every` 0 never looks for its turn alone.
  ImageCheck(unsigned look_every, Clock clock) : look_every_(look_every), clock_(std::move(clock)) {}

  bool MustLook(ProcessEntry& entry);

 private:
  struct Seen {
    FileIdentity at;
    std::chrono::steady_clock::time_point when;
  };

  // Whether `path` names `image`, a file that still has a name.
  bool StillNames(const std::string& path, const FileIdentity& image);

  unsigned look_every_;
  Clock clock_;
  LinuxFileSearch files_;
  std::unordered_map<std::string, Seen> seen_;
};

}  // namespace kelvar::procfs
