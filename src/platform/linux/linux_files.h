// FileSearch on Linux: the name of the file at a path.  Paths are bytes, not
// text: a name may be invalid UTF-8, hold a newline or "\??\", or end in a
// space, and must come back exactly as it is.  Linux keeps a name's letter
// case as given, so the file's stored name is the path's last component.
// Which file is at a path is its device and inode, read without following a
// symbolic link in the last component: a link put where an executable was is
// another file.
#pragma once

#include <string>

#include "platform/file_search.h"

namespace kelvar {

// The identity of the file at `path` itself, a link in the last component not
// followed (lstat); unknown when nothing is there.
FileIdentity IdentityOfLink(const std::string& path);

class LinuxFileSearch final : public FileSearch {
 public:
  // The last component when something other than a directory is at `path`
  // (following symbolic links), else empty.
  std::string FindFileName(const std::string& path) override;
  // lstat's device and inode; unknown when lstat fails.
  FileIdentity IdentityAt(const std::string& path) override;
};

}  // namespace kelvar
