// The portable profile (INI) reader: the Windows profile reader's rules over
// the bytes of a file, for the platforms that have no such reader.  It works
// on the file's own bytes (UTF-8 or a double-byte code page such as GBK) so
// that it never decodes more than the one value asked for, and it stops
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

enum class TextEncoding {
  kUtf8,        // multi-byte sequences per UTF-8
  kDoubleByte,  // GBK / code page 936: a byte 0x81..0xFE leads a two-byte character
};

// The longest value the Windows reader hands back through a 255-byte buffer.
inline constexpr std::size_t kProfileValueLimit = 254;

// The value of `key` in the first section named `section`, in the file's own
// bytes, cut at the last whole character within `limit` bytes; empty when
// the section or key is missing.  `section` and `key` are in the file's
// encoding.
std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key,
                         TextEncoding encoding, std::size_t limit = kProfileValueLimit);

}  // namespace kelvar
