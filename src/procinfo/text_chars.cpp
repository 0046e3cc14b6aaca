// Character walking shared by the remark lookup and the profile reader.
#include "procinfo/text_chars.h"

namespace kelvar {
namespace {

std::size_t Utf8Expected(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

bool IsDoubleByteLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t pos, TextEncoding encoding) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  const std::size_t left = text.size() - pos;
  if (encoding == TextEncoding::kDoubleByte) return (IsDoubleByteLead(lead) && left > 1) ? 2 : 1;
  const std::size_t expected = Utf8Expected(lead);
  std::size_t n = 1;
  while (n < expected && n < left && IsContinuation(static_cast<unsigned char>(text[pos + n]))) ++n;
  return n;
}

std::size_t CharOffset(std::string_view text, std::size_t count, TextEncoding encoding) {
  std::size_t pos = 0;
  for (; count > 0 && pos < text.size(); --count) pos += CharLength(text, pos, encoding);
  return pos;
}

bool SameCharsNoCase(std::string_view a, std::string_view b, TextEncoding encoding) {
  if (a.size() != b.size()) return false;
  for (std::size_t pos = 0; pos < a.size();) {
    const std::size_t n = CharLength(a, pos, encoding);
    if (CharLength(b, pos, encoding) != n) return false;
    if (n == 1) {
      if (FoldAscii(a[pos]) != FoldAscii(b[pos])) return false;
    } else if (a.substr(pos, n) != b.substr(pos, n)) {
      return false;
    }
    pos += n;
  }
  return true;
}

std::size_t WholeCharsWithin(std::string_view text, std::size_t limit, TextEncoding encoding) {
  if (text.size() <= limit) return text.size();
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t next = pos + CharLength(text, pos, encoding);
    if (next > limit) break;
    pos = next;
  }
  return pos;
}

}  // namespace kelvar
