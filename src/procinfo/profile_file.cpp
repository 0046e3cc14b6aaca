// The remark file by its encoding; see profile_file.h.  The file is decoded
// before any rule looks at it, as Windows decodes it: a line break, a '|' or
// a '=' is what the decoded text holds, never a byte that a code-page
// character or a broken UTF-8 sequence swallowed or left over.
#include "procinfo/profile_file.h"

#include "procinfo/profile_text.h"
#include "procinfo/text_chars.h"

namespace kelvar {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

// No character takes more than three UTF-8 bytes per byte it counts for in
// code page 936, so a value cut to this many UTF-8 bytes still holds all
// that the code-page cut keeps.
constexpr std::size_t kUtf8ValueBound = 3 * kProfileValueLimit;

// UTF-16 bytes (after the mark) as UTF-8.  A surrogate without its partner
// becomes U+FFFD; an odd last byte is no character and is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool big_endian) {
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? (a << 8 | b) : (b << 8 | a);
  };
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(c >= 0xD800 && c <= 0xDFFF ? kReplacement : c, out);
  }
  return out;
}

// UTF-8 as Windows reads it: a sequence cut off is one U+FFFD, and the byte
// that cut it off is read afresh.
std::string WindowsUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t pos = 0; pos < bytes.size();) {
    const Utf8Step step = NextUtf8(bytes, pos);
    if (step.well_formed)
      out += bytes.substr(pos, step.length);
    else
      AppendUtf8(kReplacement, out);
    pos += step.length;
  }
  return out;
}

// The bytes one character counts for in code page 936.
std::size_t Cp936Width(std::string_view ch, Cp936Codec& codec) {
  if (ch.size() == 1) return 1;
  if (auto encoded = codec.Encode(ch)) return encoded->size();
  return ch.size() == 4 ? 2 : 1;  // one "?" per UTF-16 unit
}

// The head of valid UTF-8 text that fits `limit` bytes of code page 936,
// in whole characters.  No character counts more bytes there than it takes
// in UTF-8, so a text within the limit in UTF-8 fits as it is.
std::string_view FitCp936(std::string_view utf8, std::size_t limit, Cp936Codec& codec) {
  if (utf8.size() <= limit) return utf8;
  std::size_t pos = 0, used = 0;
  while (pos < utf8.size()) {
    const std::size_t n = CharLength(utf8, pos, TextEncoding::kUtf8);
    used += Cp936Width(utf8.substr(pos, n), codec);
    if (used > limit) break;
    pos += n;
  }
  return utf8.substr(0, pos);
}

}  // namespace

std::string ProfileFileText(std::string_view file, Cp936Codec& codec) {
  if (file.starts_with(kUtf8Bom)) return WindowsUtf8(file.substr(kUtf8Bom.size()));
  if (file.starts_with(kUtf16LeBom)) return Utf16ToUtf8(file.substr(2), false);
  if (file.starts_with(kUtf16BeBom)) return Utf16ToUtf8(file.substr(2), true);
  return codec.Decode(file);
}

std::string ProfileTextValue(std::string_view text, std::string_view section, std::string_view key,
                             Cp936Codec& codec) {
  const std::string value = ProfileValue(text, section, key, kUtf8ValueBound);
  return std::string(FitCp936(value, kProfileValueLimit, codec));
}

}  // namespace kelvar
