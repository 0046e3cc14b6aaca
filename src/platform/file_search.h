// File search: the name of the file at a path, in the letter case the file
// system stores it.  Normal, read-only, hidden and system files are found;
// directories are not.  It also tells which file is at a path, so a file
// action can check it is still the file a process runs.
#pragma once

#include <string>

#include "platform/file_identity.h"

namespace kelvar {

class FileSearch {
 public:
  virtual ~FileSearch() = default;
  // The file's own name (last component), or empty when no file is there.
  virtual std::string FindFileName(const std::string& path) = 0;
  // The file at `path` itself (a symbolic link there is the link, not what
  // it points to); unknown when nothing is there or the system cannot tell.
  virtual FileIdentity IdentityAt(const std::string& path) = 0;
};

}  // namespace kelvar
