// Character boundaries in the byte texts the procinfo rules work on: UTF-8
// inside the program, UTF-8 or a double-byte code page in a remark file.
// The rules count, cut and compare whole characters, and fold ASCII letters
// only: a byte that belongs to a multi-byte character is never a letter.
#pragma once

#include <cstddef>
#include <string_view>

#include "procinfo/profile_text.h"

namespace kelvar {

// The length in bytes of the character at `pos` (pos < text.size()).  UTF-8:
// a lead byte with the continuation bytes that follow it, up to the count it
// announces; any other byte stands alone.  Double-byte: a byte 0x81..0xFE
// takes the next byte, whatever it is, as its trail (as the code-page
// decoder does); any other byte stands alone.
std::size_t CharLength(std::string_view text, std::size_t pos, TextEncoding encoding);

// The byte offset of character `count` (0-based), or text.size() when the
// text has fewer characters.
std::size_t CharOffset(std::string_view text, std::size_t count, TextEncoding encoding);

// Whole-character comparison with ASCII letters folded.
bool SameCharsNoCase(std::string_view a, std::string_view b, TextEncoding encoding);

// The longest prefix of `text` made of whole characters within `limit` bytes.
std::size_t WholeCharsWithin(std::string_view text, std::size_t limit, TextEncoding encoding);

}  // namespace kelvar
