// Path style: the rules of the program were written for Windows paths
// ("C:\dir\a.exe", "\??\C:\...", "\SystemRoot\...").  On Linux every path the
// system reports is absolute and starts with "/"; such a path is never
// rewritten and its separator is "/".  No Windows path starts with "/".
#pragma once

#include <string_view>

namespace kelvar {

inline bool IsPosixPath(std::string_view path) { return !path.empty() && path.front() == '/'; }

// The separator of paths of the same style as `path`.
inline char PathSeparator(std::string_view path) { return IsPosixPath(path) ? '/' : '\\'; }

}  // namespace kelvar
