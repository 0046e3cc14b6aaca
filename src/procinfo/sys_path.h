// sys_path: the executable-path rules and the two directory services.
// CheckPath turns a Windows native path ("\??\C:\...", "\SystemRoot\...")
// into an ordinary drive path; POSIX paths pass unchanged, so a Linux file
// name that happens to hold "\??\" still names its own file.
#pragma once

#include <string>

#include "platform/directories.h"

namespace kelvar {
namespace sys_path {

std::string GetSysDir(Directories& dirs);
std::string GetWinDir(Directories& dirs);

}  // namespace sys_path

// Normalises a module path; an empty result means the process gets no row.
std::string CheckPath(std::string PathStr, Directories& dirs);

// The refresh trims leading and trailing spaces from a Windows module path;
// a POSIX path keeps them (a Linux file name may end in a space).
void TrimModulePath(std::string& path);

}  // namespace kelvar
