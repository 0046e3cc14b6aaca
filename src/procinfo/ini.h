// remarks: the remark file.  ReadINI reads one value through the platform's
// profile reader, TrimNull drops one trailing NUL, LookupRemark maps a
// normalised executable path to its kind, level and remark: paths below the
// system directory are looked up in [sysdir], other paths below the Windows
// directory in [windir], under the path relative to that directory.
#pragma once

#include <optional>
#include <string>

#include "platform/directories.h"
#include "platform/profile_reader.h"

namespace kelvar {

struct Remark {
  std::string kind;    // always "系统"
  std::string level;   // the first two characters of the value
  std::string remark;  // the value from its fourth character on
};

namespace remarks {

std::string TrimNull(std::string s);
std::string ReadINI(const std::string& section, const std::string& key, const std::string& file,
                    ProfileReader& reader);

}  // namespace remarks

std::optional<Remark> LookupRemark(const std::string& path, const std::string& remark_file, Directories& dirs,
                                   ProfileReader& reader);

}  // namespace kelvar
