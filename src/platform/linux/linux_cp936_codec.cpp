// Cp936Codec on Linux; see linux_cp936_codec.h.
#include "platform/linux/linux_cp936_codec.h"

#include "platform/linux/cp936_table.h"
#include "procinfo/text_chars.h"

namespace kelvar {
namespace {

using cp936::kFirstLead;
using cp936::kLastLead;

bool IsLead(unsigned char byte) { return byte >= kFirstLead && byte <= kLastLead; }

}  // namespace

LinuxCp936Codec::LinuxCp936Codec() : from_unit_(0x10000, 0) {
  for (int byte = 0x80; byte < 0x100; ++byte)
    if (const char16_t c = cp936::kHighBytes[byte - 0x80]) from_unit_[c] = static_cast<std::uint16_t>(byte);
  for (int lead = kFirstLead; lead <= kLastLead; ++lead)
    for (int trail = 0; trail < 0x100; ++trail)
      if (const char16_t c = cp936::kPairs[lead - kFirstLead][trail])
        from_unit_[c] = static_cast<std::uint16_t>(lead << 8 | trail);
}

std::optional<std::string> LinuxCp936Codec::Encode(std::string_view utf8) {
  std::string out;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const Utf8Step step = NextUtf8(utf8, pos);
    if (!step.well_formed) return std::nullopt;
    const char32_t c = CodePointOf(utf8.substr(pos, step.length));
    pos += step.length;
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const std::uint16_t form = c < 0x10000 ? from_unit_[c] : 0;
    if (form == 0) return std::nullopt;
    if (form > 0xFF) out += static_cast<char>(form >> 8);
    out += static_cast<char>(form & 0xFF);
  }
  return out;
}

// A lead byte takes the byte after it, whatever it is, except a NUL: Windows
// reads the pair as one character or, where it names none, as one "?".  A
// lead byte with nothing after it, or before a NUL, is one "?" alone.
std::string LinuxCp936Codec::Decode(std::string_view cp936) {
  std::string out;
  out.reserve(cp936.size() + cp936.size() / 2);
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(cp936[i]); };
  for (std::size_t pos = 0; pos < cp936.size();) {
    const unsigned char byte = at(pos);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++pos;
      continue;
    }
    char16_t c;
    if (IsLead(byte) && pos + 1 < cp936.size() && at(pos + 1) != 0) {
      c = cp936::kPairs[byte - kFirstLead][at(pos + 1)];
      pos += 2;
    } else {
      c = cp936::kHighBytes[byte - 0x80];
      ++pos;
    }
    AppendUtf8(c != 0 ? c : u'?', out);
  }
  return out;
}

}  // namespace kelvar
