// Path style: the rules of the program were written for Windows paths
// ("C:\dir\a.exe", "\??\C:\...", "\SystemRoot\...").  On Linux every path the
// system reports is absolute and starts with "/"; such a path is never
// rewritten and its separator is "/".  No Windows path starts with "/".
#pragma once

#include <string>
#include <string_view>

namespace kelvar {

inline bool IsPosixPath(std::string_view path) { return !path.empty() && path.front() == '/'; }

// The separator of paths of the same style as `path`.
inline char PathSeparator(std::string_view path) { return IsPosixPath(path) ? '/' : '\\'; }

// The folder of a path: everything before its last separator, "/" for a
// file in the root of a POSIX tree, empty when there is no separator.
inline std::string FolderOf(const std::string& path) {
  const std::size_t last = path.rfind(PathSeparator(path));
  if (last == std::string::npos) return {};
  if (last == 0 && IsPosixPath(path)) return "/";
  return path.substr(0, last);
}

}  // namespace kelvar
