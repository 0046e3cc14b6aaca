// Character boundaries in the UTF-8 texts the procinfo rules work on (a
// remark file is decoded whole before its rules apply), UTF-8 as Windows
// reads it, and UTF-8 made from code points.  The rules count, cut and
// compare whole characters, and fold ASCII letters only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvar {

// The encoding of the texts the rules walk: UTF-8, valid or not.
enum class TextEncoding { kUtf8 };

// The length in bytes of the character at `pos` (pos < text.size()): a lead
// byte with the continuation bytes that follow it, up to the count it
// announces; any other byte stands alone.
std::size_t CharLength(std::string_view text, std::size_t pos, TextEncoding encoding);

// The byte offset of character `count` (0-based), or text.size() when the
// text has fewer characters.
std::size_t CharOffset(std::string_view text, std::size_t count, TextEncoding encoding);

// Whole-character comparison with ASCII letters folded.
bool SameCharsNoCase(std::string_view a, std::string_view b, TextEncoding encoding);

// The longest prefix of `text` made of whole characters within `limit` bytes.
std::size_t WholeCharsWithin(std::string_view text, std::size_t limit, TextEncoding encoding);

// One step of reading UTF-8 as Windows does: a well-formed character, or the
// longest start of one (a lead byte and the continuation bytes it may take)
// that another byte or the end cuts off, which reads as one U+FFFD; a byte
// that can start no character is one U+FFFD alone.
struct Utf8Step {
  std::size_t length;
  bool well_formed;
};
Utf8Step NextUtf8(std::string_view text, std::size_t pos);

// The code point of one UTF-8 character, from its lead byte and the
// continuation bytes CharLength gave it.
char32_t CodePointOf(std::string_view ch);

void AppendUtf8(char32_t c, std::string& out);

}  // namespace kelvar
