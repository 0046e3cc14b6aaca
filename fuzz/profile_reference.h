// A second profile reader for the fuzzer to compare against, written the way
// the Windows reader (as Wine implements it) is shaped rather than the way
// the real one is: decode the whole file into characters, split it into
// lines, build the list of sections and keys, then look the name up and copy
// the value into a 255-character buffer.  It is slow and allocates freely;
// it exists only to disagree with ProfileValue when one of them is wrong.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "procinfo/profile_text.h"

namespace kelvar::fuzz {

using Text = std::vector<std::string_view>;  // one entry per character

inline Text Decode(std::string_view bytes, TextEncoding encoding) {
  Text out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    std::size_t n = 1;
    if (encoding == TextEncoding::kDoubleByte) {
      if (b >= 0x81 && b != 0xFF && i + 1 < bytes.size()) n = 2;
    } else {
      const std::size_t want = b >= 0xF0 && b <= 0xF4   ? 4
                               : b >= 0xE0 && b <= 0xEF ? 3
                               : b >= 0xC2 && b <= 0xDF ? 2
                                                        : 1;
      while (n < want && i + n < bytes.size() && (static_cast<unsigned char>(bytes[i + n]) >> 6) == 2) ++n;
    }
    out.push_back(bytes.substr(i, n));
    i += n;
  }
  return out;
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

inline std::vector<RefSection> Load(std::string_view bytes, TextEncoding encoding) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const Text file = Decode(bytes, encoding);
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

inline std::string ReferenceProfileValue(std::string_view bytes, std::string_view section_bytes,
                                         std::string_view key_bytes, TextEncoding encoding,
                                         std::size_t limit) {
  const Text want_key = Trim(CString(Decode(key_bytes, encoding)));
  const Text want_section = Trim(CString(Decode(section_bytes, encoding)));
  for (const RefSection& s : Load(bytes, encoding)) {
    if (!EqualNoCase(s.name, want_section)) continue;
    for (const RefKey& k : s.keys) {
      if (!EqualNoCase(k.name, want_key)) continue;
      if (!k.value) return std::string();
      // The copy into a buffer of limit + 1 characters, quotes as the reader
      // treats them, then the cut to whole characters within `limit` bytes.
      Text v = *k.value;
      bool quoted = v.size() >= 2 && (Is(v[0], '"') || Is(v[0], '\'')) && v.back() == v.front();
      if (quoted) v.erase(v.begin());
      Text copied(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(std::min(v.size(), limit)));
      if (quoted && limit + 1 >= v.size()) copied.resize(v.size() - 1);
      std::string out;
      for (std::string_view ch : copied) {
        if (out.size() + ch.size() > limit) break;
        out += ch;
      }
      return out;
    }
    return std::string();  // only the first section of the name is searched
  }
  return std::string();
}

}  // namespace kelvar::fuzz
