// Which file a path or a running process leads to, as the file system tells
// files apart (device and inode on Linux).  It lets a file action check that
// the file at a path is still the very file a process runs: a path names
// whatever was put there last, and an executable may be replaced or deleted
// while its process runs.  A system that cannot tell says "unknown", and an
// unknown identity means "cannot check".
#pragma once

#include <cstdint>

namespace kelvar {

struct FileIdentity {
  bool known = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  // No name leads to the file any more (a running image deleted or replaced).
  bool unlinked = false;

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Whether two known identities name one file, whatever became of its names.
inline bool SameFile(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.device == b.device && a.inode == b.inode;
}

}  // namespace kelvar
