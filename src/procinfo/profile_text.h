// The portable profile (INI) reader: the Windows profile reader's rules over
// the text of a file, decoded to UTF-8 as Windows decodes it (procinfo/
// profile_file.h), for the platforms that have no such reader.  It stops
// reading at the end of the first section of the asked name: only that one
// counts.  A line ends at every CR and every LF; lines are trimmed of
// blanks; "[name]" opens a section (the name is what stands between "[" and
// the last "]"); "key=value" is an entry of the last section; a line without
// "=" is a key without value; names and values end at a NUL (so "=value" is
// the entry of the empty key name); a value enclosed in matching quotes loses
// them; names match with ASCII letters folded, character by character; the
// first match wins.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvar {

// The longest value the Windows reader hands back through a 255-byte buffer.
inline constexpr std::size_t kProfileValueLimit = 254;

// The value of `key` in the first section named `section` of the UTF-8
// `text`, cut at the last whole character within `limit` bytes; empty when
// the section or key is missing.
std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key,
                         std::size_t limit = kProfileValueLimit);

}  // namespace kelvar
