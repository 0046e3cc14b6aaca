// File search: the name of the file at a path, in the letter case the file
// system stores it.  Normal, read-only, hidden and system files are found;
// directories are not.
#pragma once

#include <string>

namespace kelvar {

class FileSearch {
 public:
  virtual ~FileSearch() = default;
  // The file's own name (last component), or empty when no file is there.
  virtual std::string FindFileName(const std::string& path) = 0;
};

}  // namespace kelvar
