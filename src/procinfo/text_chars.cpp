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

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The bytes a second byte after `lead` may be: no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool SecondByteFits(unsigned char lead, unsigned char c) {
  if (lead == 0xE0) return c >= 0xA0 && c <= 0xBF;
  if (lead == 0xED) return c >= 0x80 && c <= 0x9F;
  if (lead == 0xF0) return c >= 0x90 && c <= 0xBF;
  if (lead == 0xF4) return c >= 0x80 && c <= 0x8F;
  return IsContinuation(c);
}

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t pos, TextEncoding) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  const std::size_t left = text.size() - pos;
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

Utf8Step NextUtf8(std::string_view text, std::size_t pos) {
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) return {1, true};
  const std::size_t expected = Utf8Expected(lead);
  if (expected == 1) return {1, false};
  std::size_t n = 1;
  while (n < expected && pos + n < text.size() &&
         (n == 1 ? SecondByteFits(lead, at(1)) : IsContinuation(at(n))))
    ++n;
  return {n, n == expected};
}

char32_t CodePointOf(std::string_view ch) {
  const auto lead = static_cast<unsigned char>(ch[0]);
  if (ch.size() == 1) return lead;
  char32_t c = lead & (0x7F >> ch.size());
  for (std::size_t i = 1; i < ch.size(); ++i) c = (c << 6) | (static_cast<unsigned char>(ch[i]) & 0x3F);
  return c;
}

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

}  // namespace kelvar
