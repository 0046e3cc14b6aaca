// The remark file by its encoding; see profile_file.h.  A UTF-16 file is
// turned into UTF-8 first (its structural characters are all ASCII, so the
// UTF-8 rules read it as the Windows reader reads the UTF-16 text); the
// other files are read in their own bytes.
#include "procinfo/profile_file.h"

#include "procinfo/profile_text.h"
#include "procinfo/text_chars.h"

namespace kelvar {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// No character takes more than three UTF-8 bytes per byte it counts for in
// code page 936, so a value cut to this many UTF-8 bytes still holds all
// that the code-page cut keeps.
constexpr std::size_t kUtf8ValueBound = 3 * kProfileValueLimit;

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  const int tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[tail] | (c >> (6 * tail)));
  for (int i = tail - 1; i >= 0; --i) out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

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
    AppendUtf8(c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c, out);
  }
  return out;
}

// The length of the well-formed UTF-8 character at `pos`, or 0.
std::size_t WellFormedLength(std::string_view s, std::size_t pos) {
  const auto at = [&](std::size_t i) {
    return pos + i < s.size() ? static_cast<unsigned char>(s[pos + i]) : 0u;
  };
  const unsigned lead = at(0);
  if (lead < 0x80) return 1;
  std::size_t n = 0;
  unsigned low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    low = lead == 0xE0 ? 0xA0 : low;    // no overlong forms
    high = lead == 0xED ? 0x9F : high;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    low = lead == 0xF0 ? 0x90 : low;
    high = lead == 0xF4 ? 0x8F : high;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < n; ++i)
    if ((at(i) & 0xC0) != 0x80) return 0;
  return n;
}

// The text with each byte that is not part of a well-formed character
// replaced by U+FFFD.
std::string ValidUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t n = WellFormedLength(s, pos);
    if (n == 0) {
      out += kReplacement;
      ++pos;
    } else {
      out += s.substr(pos, n);
      pos += n;
    }
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

std::string Utf8FileValue(std::string_view text, std::string_view section, std::string_view key,
                          Cp936Codec& codec) {
  const std::string value = ValidUtf8(ProfileValue(text, section, key, TextEncoding::kUtf8, kUtf8ValueBound));
  return std::string(FitCp936(value, kProfileValueLimit, codec));
}

std::string Cp936FileValue(std::string_view text, std::string_view section, std::string_view key,
                           Cp936Codec& codec) {
  const std::optional<std::string> cp_section = codec.Encode(section), cp_key = codec.Encode(key);
  if (!cp_section || !cp_key) return std::string();
  const std::string value = ProfileValue(text, *cp_section, *cp_key, TextEncoding::kDoubleByte);
  return value.empty() ? std::string() : codec.Decode(value);
}

}  // namespace

std::string ProfileFileValue(std::string_view file, std::string_view section, std::string_view key,
                             Cp936Codec& codec) {
  if (file.starts_with(kUtf8Bom)) return Utf8FileValue(file, section, key, codec);
  if (file.starts_with(kUtf16LeBom))
    return Utf8FileValue(Utf16ToUtf8(file.substr(2), false), section, key, codec);
  if (file.starts_with(kUtf16BeBom))
    return Utf8FileValue(Utf16ToUtf8(file.substr(2), true), section, key, codec);
  return Cp936FileValue(file, section, key, codec);
}

}  // namespace kelvar
