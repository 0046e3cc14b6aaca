// The portable profile reader.  It answers as the Windows profile reader
// does (GetPrivateProfileString as Wine implements it), but works in one
// pass over the file's own bytes: it keeps no copy of the file, allocates
// nothing but the value it returns, and stops at the first matching key or
// at the end of the first section of the asked name.  Every step is linear
// in the text it looks at, so hostile files (binary data, no line breaks,
// NUL bytes, very long lines) cost no more than reading them once.
#include "procinfo/profile_text.h"

#include "procinfo/text_chars.h"

namespace kelvar {
namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The reader's blanks: the C white-space characters and Ctrl-Z, the old
// end-of-file mark.
bool IsBlank(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u == ' ' || (u >= '\t' && u <= '\r') || u == 0x1A;
}

// One line of the file, as offsets into the text.  [begin, end) is the line
// without its leading and trailing blanks.
struct Line {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t equals = kNone;        // the first '='
  std::size_t name_end = 0;          // end of the last non-blank character before '='
  std::size_t last_bracket = kNone;  // the last ']' (at least in a line that starts with '[')
};

// Splits the text into lines as the Windows reader does: at every CR and at
// every LF, so "\r\n", a lone "\r" and a lone "\n" each end a line (the empty
// lines between them are skipped).  Structural characters are all ASCII,
// which UTF-8 never uses inside a multi-byte character, so UTF-8 is searched
// byte-wise with the library's fast searches; a double-byte code page is
// walked character by character, as a trail byte may look like any of them.
class LineScanner {
 public:
  LineScanner(std::string_view text, TextEncoding encoding) : text_(text), encoding_(encoding) {}

  bool Next(Line& line) {
    if (pos_ >= text_.size()) return false;
    line = Line{};
    if (encoding_ == TextEncoding::kUtf8)
      ScanBytes(line);
    else
      ScanChars(line);
    return true;
  }

 private:
  static bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

  void ScanBytes(Line& line) {
    const std::size_t found = text_.find_first_of("\r\n", pos_);
    std::size_t begin = pos_, end = found == kNone ? text_.size() : found;
    pos_ = found == kNone ? end : end + 1;
    while (begin < end && IsBlank(text_[begin])) ++begin;
    while (end > begin && IsBlank(text_[end - 1])) --end;
    line.begin = begin;
    line.end = end;
    if (begin == end) return;
    const std::string_view body = text_.substr(begin, end - begin);
    if (body.front() == '[') {
      const std::size_t close = body.rfind(']');
      if (close != kNone) line.last_bracket = begin + close;
    }
    const std::size_t equals = body.find('=');
    line.name_end = end;
    if (equals != kNone) {
      line.equals = begin + equals;
      line.name_end = line.equals;
      while (line.name_end > begin && IsBlank(text_[line.name_end - 1])) --line.name_end;
    }
  }

  // Double-byte text.  The loop sees every byte of the file, so it applies
  // CharLength's double-byte rule itself rather than calling it.
  void ScanChars(Line& line) {
    const char* bytes = text_.data();
    const std::size_t size = text_.size();
    bool seen = false;
    std::size_t p = pos_;
    while (p < size) {
      const char c = bytes[p];
      const auto u = static_cast<unsigned char>(c);
      const std::size_t n = (u >= 0x81 && u <= 0xFE && p + 1 < size) ? 2 : 1;
      if (n == 1 && IsLineEnd(c)) {
        pos_ = p + 1;
        return;
      }
      if (n > 1 || !IsBlank(c)) Mark(line, seen, p, n, c);
      p += n;
    }
    pos_ = p;
  }

  static void Mark(Line& line, bool& seen, std::size_t p, std::size_t n, char c) {
    if (!seen) {
      line.begin = line.name_end = p;
      seen = true;
    }
    line.end = p + n;
    if (n == 1 && c == ']') line.last_bracket = p;
    if (line.equals != kNone) return;
    if (n == 1 && c == '=')
      line.equals = p;
    else
      line.name_end = p + n;
  }

  std::string_view text_;
  TextEncoding encoding_;
  std::size_t pos_ = 0;
};

// Names and values end at their first NUL character.
std::string_view UntilNul(std::string_view s, TextEncoding encoding) {
  if (encoding == TextEncoding::kUtf8) return s.substr(0, s.find('\0'));
  for (std::size_t p = 0; p < s.size(); p += CharLength(s, p, encoding))
    if (s[p] == '\0') return s.substr(0, p);
  return s;
}

std::string_view TrimBlanks(std::string_view s, TextEncoding encoding) {
  std::size_t begin = 0;
  while (begin < s.size() && IsBlank(s[begin])) ++begin;
  std::size_t end = begin;
  for (std::size_t p = begin; p < s.size();) {
    const std::size_t n = CharLength(s, p, encoding);
    if (n > 1 || !IsBlank(s[p])) end = p + n;
    p += n;
  }
  return s.substr(begin, end - begin);
}

std::size_t LastCharBegin(std::string_view s, TextEncoding encoding) {
  if (encoding == TextEncoding::kUtf8) {
    std::size_t p = s.size() - 1;
    while (p > 0 && (static_cast<unsigned char>(s[p]) & 0xC0) == 0x80) --p;
    return p;
  }
  std::size_t last = 0;
  for (std::size_t p = 0; p < s.size(); p += CharLength(s, p, encoding)) last = p;
  return last;
}

// A value of two characters or more that starts and ends with the same
// quotation mark loses both.  (The Windows reader drops the closing mark
// only when the value fits the buffer; when it does not, the mark lies past
// the cut anyway, so removing both before cutting gives the same text.)
std::string_view Unquote(std::string_view v, TextEncoding encoding) {
  if (v.size() < 2 || (v.front() != '"' && v.front() != '\'')) return v;
  const std::size_t last = LastCharBegin(v, encoding);
  if (last == 0 || v.size() - last != 1 || v[last] != v.front()) return v;
  return v.substr(1, last - 1);
}

std::string ValueOf(std::string_view text, const Line& line, TextEncoding encoding, std::size_t limit) {
  std::size_t begin = line.equals + 1;
  while (begin < line.end && IsBlank(text[begin])) ++begin;
  if (begin >= line.end) return std::string();
  std::string_view v = Unquote(UntilNul(text.substr(begin, line.end - begin), encoding), encoding);
  return std::string(v.substr(0, WholeCharsWithin(v, limit, encoding)));
}

bool IsHeader(std::string_view text, const Line& line) {
  return text[line.begin] == '[' && line.last_bracket != kNone && line.last_bracket > line.begin;
}

// The name between the brackets, without the blanks around it: "[ s ]" opens "s".
std::string_view HeaderName(std::string_view text, const Line& line, TextEncoding encoding) {
  return TrimBlanks(UntilNul(text.substr(line.begin + 1, line.last_bracket - line.begin - 1), encoding),
                    encoding);
}

std::string_view KeyName(std::string_view text, const Line& line, TextEncoding encoding) {
  const std::size_t end = line.equals == kNone ? line.end : line.name_end;
  return UntilNul(text.substr(line.begin, end - line.begin), encoding);
}

}  // namespace

std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key,
                         TextEncoding encoding, std::size_t limit) {
  // An empty key name is a name like any other: it finds a line "=value".
  key = TrimBlanks(UntilNul(key, encoding), encoding);
  section = TrimBlanks(UntilNul(section, encoding), encoding);
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());

  // Lines before the first header belong to a section without a name.
  bool in_section = section.empty();
  LineScanner lines(text, encoding);
  for (Line line; lines.Next(line);) {
    if (line.begin == line.end) continue;
    if (IsHeader(text, line)) {
      if (in_section) return std::string();  // only the first such section counts
      in_section = SameCharsNoCase(HeaderName(text, line, encoding), section, encoding);
    } else if (in_section && SameCharsNoCase(KeyName(text, line, encoding), key, encoding)) {
      return line.equals == kNone ? std::string() : ValueOf(text, line, encoding, limit);
    }
  }
  return std::string();
}

}  // namespace kelvar
