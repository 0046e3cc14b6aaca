// The directories the path and remark rules are written against.  Each call
// asks the system afresh; an empty text means the query failed.
#pragma once

#include <string>

namespace kelvar {

class Directories {
 public:
  virtual ~Directories() = default;
  // The system directory (Windows: GetSystemDirectory; Linux: /usr/bin).
  virtual std::string SystemDirectory() = 0;
  // The Windows directory (Windows: GetWindowsDirectory; Linux: /usr).
  virtual std::string WindowsDirectory() = 0;
  // The folder of the running program, without a trailing separator except
  // at a root ("C:\", "/").
  virtual std::string ProgramFolder() = 0;
};

}  // namespace kelvar
