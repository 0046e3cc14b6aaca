// remarks: the remark file.  Known executables get a kind, a level and a
// remark from Comment\system.ini, keyed by their path relative to the system
// directory ([sysdir]) or, failing that, the Windows directory ([windir]).
// The file is read afresh on every call through the platform's profile
// reader; texts are UTF-8 here and counted in whole characters, so a Chinese
// level character counts as one.
#include "procinfo/ini.h"

#include <cstddef>
#include <string_view>

#include "procinfo/sys_path.h"
#include "procinfo/text_chars.h"

namespace kelvar {
namespace remarks {

std::string TrimNull(std::string s) {
  if (!s.empty() && s.back() == '\0') s.pop_back();
  return s;
}

std::string ReadINI(const std::string& section, const std::string& key, const std::string& file,
                    ProfileReader& reader) {
  return TrimNull(reader.GetString(section, key, file));
}

}  // namespace remarks

namespace {

constexpr auto kUtf8 = TextEncoding::kUtf8;

// The key of `path` below directory `dir`: the path without the directory's
// characters and the one character after them (the separator, whatever it
// is), or nullopt when the path does not begin with the directory.  Only
// characters are compared: "system32abc" counts as below "system32".  An
// empty directory is a prefix of every path.
std::optional<std::string> KeyBelow(std::string_view path, std::string_view dir) {
  std::size_t pos = 0;
  for (std::size_t d = 0; d < dir.size();) {
    if (pos >= path.size()) return std::nullopt;
    const std::size_t n = CharLength(path, pos, kUtf8);
    const std::size_t m = CharLength(dir, d, kUtf8);
    if (!SameCharsNoCase(path.substr(pos, n), dir.substr(d, m), kUtf8)) return std::nullopt;
    pos += n;
    d += m;
  }
  if (pos < path.size()) pos += CharLength(path, pos, kUtf8);
  return std::string(path.substr(pos));
}

Remark SplitValue(std::string_view value) {
  Remark r;
  r.kind = "系统";
  r.level = std::string(value.substr(0, CharOffset(value, 2, kUtf8)));
  r.remark = std::string(value.substr(CharOffset(value, 3, kUtf8)));
  return r;
}

}  // namespace

std::optional<Remark> LookupRemark(const std::string& path, const std::string& remark_file, Directories& dirs,
                                   ProfileReader& reader) {
  std::string value;
  if (auto key = KeyBelow(path, sys_path::GetSysDir(dirs))) {
    value = remarks::ReadINI("sysdir", *key, remark_file, reader);
  } else if (auto wkey = KeyBelow(path, sys_path::GetWinDir(dirs))) {
    value = remarks::ReadINI("windir", *wkey, remark_file, reader);
  }
  if (value.empty()) return std::nullopt;
  return SplitValue(value);
}

}  // namespace kelvar
