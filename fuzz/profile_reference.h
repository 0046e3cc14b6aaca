// A second profile reader for the fuzzer to compare against, written the way
// the Windows reader (as Wine implements it) is shaped rather than the way
// the real one is: decode the whole file into characters, split it into
// lines, build the list of sections and keys, then look the name up, copy
// the value into a 255-character buffer and convert it to code page 936
// within 254 bytes.  It is slow and allocates freely; it exists only to
// disagree with the real reader when one of them is wrong.  Code page 936
// itself is the codec's (held to Windows' over every byte pair elsewhere).
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp936_codec.h"

namespace kelvar::fuzz {

using Text = std::vector<std::string_view>;  // one entry per character

// UTF-8 text cut into characters: a lead byte with the continuation bytes it
// announces, any other byte alone.
inline Text Chars(std::string_view bytes) {
  Text out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const std::size_t want = b >= 0xF0 && b <= 0xF4   ? 4
                             : b >= 0xE0 && b <= 0xEF ? 3
                             : b >= 0xC2 && b <= 0xDF ? 2
                                                      : 1;
    std::size_t n = 1;
    while (n < want && i + n < bytes.size() && (static_cast<unsigned char>(bytes[i + n]) >> 6) == 2) ++n;
    out.push_back(bytes.substr(i, n));
    i += n;
  }
  return out;
}

inline void PutUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
  } else if (c < 0x10000) {
    out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
            static_cast<char>(0x80 | (c & 0x3F))};
  } else {
    out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
            static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  }
}

// UTF-8 read by the ranges of the Unicode standard's table of well-formed
// sequences: the longest start of a sequence that breaks off is one U+FFFD.
inline std::string ReadUtf8(std::string_view s) {
  struct Form {
    unsigned char lead_low, lead_high, second_low, second_high;
    int size;
  };
  static constexpr Form kForms[] = {{0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3},
                                    {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3},
                                    {0xEE, 0xEF, 0x80, 0xBF, 3}, {0xF0, 0xF0, 0x90, 0xBF, 4},
                                    {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4}};
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const Form* form = nullptr;
    for (const Form& f : kForms)
      if (b(0) >= f.lead_low && b(0) <= f.lead_high) form = &f;
    if (!form) {
      if (b(0) < 0x80)
        out += s[i];
      else
        PutUtf8(0xFFFD, out);
      ++i;
      continue;
    }
    int taken = 1;
    char32_t c = b(0) & (0xFF >> (form->size + 1));
    for (; taken < form->size && i + taken < s.size(); ++taken) {
      const unsigned char x = b(taken);
      const bool fits = taken == 1 ? x >= form->second_low && x <= form->second_high : x >= 0x80 && x <= 0xBF;
      if (!fits) break;
      c = c << 6 | (x & 0x3F);
    }
    PutUtf8(taken == form->size ? c : 0xFFFD, out);
    i += static_cast<std::size_t>(taken);
  }
  return out;
}

inline std::string ReadUtf16(std::string_view s, bool big_endian) {
  std::vector<char32_t> units;
  for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
    const auto hi = static_cast<unsigned char>(s[big_endian ? i : i + 1]);
    const auto lo = static_cast<unsigned char>(s[big_endian ? i + 1 : i]);
    units.push_back(hi << 8 | lo);
  }
  std::string out;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const bool high = units[i] >= 0xD800 && units[i] < 0xDC00;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      PutUtf8(0x10000 + ((units[i] - 0xD800) << 10) + (units[i + 1] - 0xDC00), out);
      ++i;
    } else {
      PutUtf8(units[i] >= 0xD800 && units[i] < 0xE000 ? 0xFFFD : units[i], out);
    }
  }
  return out;
}

// The file's text as the Windows reader decodes it, by its byte-order mark.
inline std::string DecodeFile(std::string_view file, Cp936Codec& codec) {
  if (file.substr(0, 3) == "\xEF\xBB\xBF") return ReadUtf8(file.substr(3));
  if (file.substr(0, 2) == "\xFF\xFE") return ReadUtf16(file.substr(2), false);
  if (file.substr(0, 2) == "\xFE\xFF") return ReadUtf16(file.substr(2), true);
  return codec.Decode(file);
}

inline bool Is(std::string_view ch, char c) { return ch.size() == 1 && ch[0] == c; }

inline bool IsSpace(std::string_view ch) {
  return ch.size() == 1 && (ch[0] == ' ' || ch[0] == '\t' || ch[0] == '\n' || ch[0] == '\v' ||
                            ch[0] == '\f' || ch[0] == '\r' || ch[0] == '\x1a');
}

// A C string: the characters before the first NUL.
inline Text CString(Text t) {
  t.erase(std::find_if(t.begin(), t.end(), [](std::string_view ch) { return Is(ch, '\0'); }), t.end());
  return t;
}

inline Text Trim(Text t) {
  while (!t.empty() && IsSpace(t.front())) t.erase(t.begin());
  while (!t.empty() && IsSpace(t.back())) t.pop_back();
  return t;
}

inline bool EqualNoCase(const Text& a, const Text& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::string x(a[i]), y(b[i]);
    if (x.size() == 1 && x[0] >= 'A' && x[0] <= 'Z') x[0] = static_cast<char>(x[0] + 32);
    if (y.size() == 1 && y[0] >= 'A' && y[0] <= 'Z') y[0] = static_cast<char>(y[0] + 32);
    if (x != y) return false;
  }
  return true;
}

struct RefKey {
  Text name;
  std::optional<Text> value;
};
struct RefSection {
  Text name;
  std::vector<RefKey> keys;
};

inline std::vector<RefSection> Load(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const Text file = Chars(bytes);
  std::vector<RefSection> sections(1);  // the nameless one before any header
  std::size_t next = 0;
  while (next < file.size()) {
    const std::size_t start = next;
    const auto stop = std::find_if(file.begin() + static_cast<std::ptrdiff_t>(start), file.end(),
                                   [](std::string_view ch) { return Is(ch, '\n') || Is(ch, '\r'); });
    next = stop == file.end() ? file.size() : static_cast<std::size_t>(stop - file.begin()) + 1;
    const Text line = Trim(Text(file.begin() + static_cast<std::ptrdiff_t>(start),
                                file.begin() + static_cast<std::ptrdiff_t>(next)));
    if (line.empty()) continue;
    if (Is(line[0], '[')) {
      std::size_t close = line.size() - 1;
      while (close > 0 && !Is(line[close], ']')) --close;
      if (close > 0) {
        sections.push_back(
            {Trim(CString(Text(line.begin() + 1, line.begin() + static_cast<std::ptrdiff_t>(close)))), {}});
        continue;
      }
    }
    const auto eq = std::find_if(line.begin(), line.end(), [](std::string_view ch) { return Is(ch, '='); });
    RefKey key;
    if (eq == line.end()) {
      key.name = CString(line);
    } else {
      key.name = CString(Trim(Text(line.begin(), eq)));
      key.value = CString(Trim(Text(eq + 1, line.end())));
    }
    sections.back().keys.push_back(std::move(key));
  }
  return sections;
}

// The bytes a character takes where the value is handed back.
using Width = std::function<std::size_t(std::string_view)>;

// The value in UTF-8 text, copied into a buffer of limit + 1 characters and
// then cut to whole characters within `limit` bytes of `width`.
inline std::string ReferenceProfileValue(
    std::string_view text, std::string_view section_name, std::string_view key_name, std::size_t limit,
    const Width& width = [](std::string_view ch) { return ch.size(); }) {
  const Text want_key = Trim(CString(Chars(key_name)));
  const Text want_section = Trim(CString(Chars(section_name)));
  for (const RefSection& s : Load(text)) {
    if (!EqualNoCase(s.name, want_section)) continue;
    for (const RefKey& k : s.keys) {
      if (!EqualNoCase(k.name, want_key)) continue;
      if (!k.value) return std::string();
      Text v = *k.value;
      bool quoted = v.size() >= 2 && (Is(v[0], '"') || Is(v[0], '\'')) && v.back() == v.front();
      if (quoted) v.erase(v.begin());
      Text copied(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(std::min(v.size(), limit)));
      if (quoted && limit + 1 >= v.size()) copied.resize(v.size() - 1);
      std::string out;
      std::size_t used = 0;
      for (std::string_view ch : copied) {
        used += width(ch);
        if (used > limit) break;
        out += ch;
      }
      return out;
    }
    return std::string();  // only the first section of the name is searched
  }
  return std::string();
}

// The value of a whole file as the program hands it back: decoded, read,
// and cut to 254 bytes of code page 936, a character without a form there
// counting one byte per UTF-16 unit.
inline std::string ReferenceFileValue(std::string_view file, std::string_view section, std::string_view key,
                                      Cp936Codec& codec) {
  const Width cp936 = [&](std::string_view ch) -> std::size_t {
    if (auto bytes = codec.Encode(ch)) return bytes->size();
    return ch.size() == 4 ? 2 : 1;
  };
  return ReferenceProfileValue(DecodeFile(file, codec), section, key, 254, cp936);
}

}  // namespace kelvar::fuzz
