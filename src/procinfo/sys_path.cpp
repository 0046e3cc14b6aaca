// sys_path: the directory services and the executable-path rules.
// Module paths from the Windows loader can come in the native form
// ("\??\C:\...", "\SystemRoot\..."); CheckPath turns them into ordinary drive
// paths.  The rules are Windows rules, so a POSIX path (the Linux program's
// readlink result) is passed through untouched: a Linux file name may contain
// "\??\" or end in a space, and rewriting it would name another file.
#include "procinfo/sys_path.h"

#include <cstddef>
#include <string_view>
#include <utility>

#include "procinfo/path_style.h"

namespace kelvar {
namespace sys_path {

std::string GetSysDir(Directories& dirs) { return dirs.SystemDirectory(); }

std::string GetWinDir(Directories& dirs) { return dirs.WindowsDirectory(); }

}  // namespace sys_path

namespace {

constexpr std::string_view kNativePrefix = "\\??\\";
constexpr std::string_view kSystemRoot = "\\SYSTEMROOT\\";

// One left-to-right pass; text joined by a removal is not searched again.
// A path without the sequence (every path, nearly) is returned as it is.
std::string RemoveAll(std::string text, std::string_view what) {
  if (text.find(what) == std::string::npos) return text;
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, from)) {
    out.append(text, from, at - from);
    from = at + what.size();
  }
  out.append(text, from, std::string::npos);
  return out;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The prefix is all ASCII, so a byte-wise comparison of the first twelve
// bytes is a comparison of the first twelve characters: any byte of a
// multi-byte character differs from every byte of the prefix.
bool StartsWithSystemRoot(std::string_view path) {
  if (path.size() < kSystemRoot.size()) return false;
  for (std::size_t i = 0; i < kSystemRoot.size(); ++i)
    if (UpperAscii(path[i]) != kSystemRoot[i]) return false;
  return true;
}

bool IsSpace(char c) { return c == ' '; }

}  // namespace

std::string CheckPath(std::string PathStr, Directories& dirs) {
  if (IsPosixPath(PathStr)) return PathStr;
  std::string path = RemoveAll(std::move(PathStr), kNativePrefix);
  // The closing backslash of the prefix stays and joins the directory to the rest.
  if (StartsWithSystemRoot(path)) path = sys_path::GetWinDir(dirs) + path.substr(kSystemRoot.size() - 1);
  return path;
}

void TrimModulePath(std::string& path) {
  if (IsPosixPath(path)) return;
  std::size_t begin = 0;
  while (begin < path.size() && IsSpace(path[begin])) ++begin;
  std::size_t end = path.size();
  while (end > begin && IsSpace(path[end - 1])) --end;
  path.erase(end);
  path.erase(0, begin);
}

}  // namespace kelvar
