// Whether the file at a path is still a process's image: a rename, a
// replacement (as a package upgrade makes) or a deletion shows as another
// file, or none, at the path the process's executable link gave.  The sweep
// meets the same executable in many rows, so the file system is asked once
// a millisecond per path, not once a row.
#pragma once

#include <chrono>
#include <string>
#include <unordered_map>

#include "platform/file_identity.h"
#include "platform/linux/linux_files.h"

namespace kelvar::procfs {

class ImageNames {
 public:
  // Whether `path` names `image`, a file that still has a name.
  bool StillNames(const std::string& path, const FileIdentity& image);

 private:
  struct Seen {
    FileIdentity at;
    std::chrono::steady_clock::time_point when;
  };

  LinuxFileSearch files_;
  std::unordered_map<std::string, Seen> seen_;
};

}  // namespace kelvar::procfs
