// The directories the path and remark rules are written against, on Linux:
// /usr/bin stands for the Windows system directory and /usr for the Windows
// directory (the remark file's [sysdir] and [windir] sections are keyed below
// them), and the program folder is the folder of the running executable.
#pragma once

#include <string>

#include "platform/directories.h"

namespace kelvar {

class LinuxDirectories final : public Directories {
 public:
  std::string SystemDirectory() override { return "/usr/bin"; }
  std::string WindowsDirectory() override { return "/usr"; }
  // The folder of /proc/self/exe, without a trailing "/" except at the root;
  // empty when the link cannot be read.
  std::string ProgramFolder() override;
};

}  // namespace kelvar
