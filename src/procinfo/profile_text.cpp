// The portable profile reader.  It answers as the Windows profile reader
// does (GetPrivateProfileString as Wine implements it), but works in one
// pass over the file's UTF-8 text: it keeps no copy of it, allocates
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
// which UTF-8 never uses inside a multi-byte character, so the text is
// searched byte-wise with the library's fast searches.
class LineScanner {
 public:
  explicit LineScanner(std::string_view text) : text_(text), lf_(text.find('\n')), cr_(text.find('\r')) {}

  bool Next(Line& line) {
    if (pos_ >= text_.size()) return false;
    line = Line{};
    Scan(line);
    return true;
  }

 private:
  // The first CR or LF from pos_ on.  Each kind is searched for again only
  // once it is passed, so a file with one kind of line end is read once.
  std::size_t NextLineEnd() {
    if (lf_ < pos_) lf_ = text_.find('\n', pos_);
    if (cr_ < pos_) cr_ = text_.find('\r', pos_);
    return lf_ < cr_ ? lf_ : cr_;
  }

  void Scan(Line& line) {
    const std::size_t found = NextLineEnd();
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

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t lf_, cr_;  // the next LF and CR at or after pos_, once searched for
};

// Names and values end at their first NUL character.
std::string_view UntilNul(std::string_view s) { return s.substr(0, s.find('\0')); }

std::string_view TrimBlanks(std::string_view s) {
  std::size_t begin = 0, end = s.size();
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

std::size_t LastCharBegin(std::string_view s) {
  std::size_t p = s.size() - 1;
  while (p > 0 && (static_cast<unsigned char>(s[p]) & 0xC0) == 0x80) --p;
  return p;
}

// A value of two characters or more that starts and ends with the same
// quotation mark loses both.  (The Windows reader drops the closing mark
// only when the value fits the buffer; when it does not, the mark lies past
// the cut anyway, so removing both before cutting gives the same text.)
std::string_view Unquote(std::string_view v) {
  if (v.size() < 2 || (v.front() != '"' && v.front() != '\'')) return v;
  const std::size_t last = LastCharBegin(v);
  if (last == 0 || v.size() - last != 1 || v[last] != v.front()) return v;
  return v.substr(1, last - 1);
}

std::string ValueOf(std::string_view text, const Line& line, std::size_t limit) {
  std::size_t begin = line.equals + 1;
  while (begin < line.end && IsBlank(text[begin])) ++begin;
  if (begin >= line.end) return std::string();
  std::string_view v = Unquote(UntilNul(text.substr(begin, line.end - begin)));
  return std::string(v.substr(0, WholeCharsWithin(v, limit, TextEncoding::kUtf8)));
}

bool IsHeader(std::string_view text, const Line& line) {
  return text[line.begin] == '[' && line.last_bracket != kNone && line.last_bracket > line.begin;
}

// The name between the brackets, without the blanks around it: "[ s ]" opens "s".
std::string_view HeaderName(std::string_view text, const Line& line) {
  return TrimBlanks(UntilNul(text.substr(line.begin + 1, line.last_bracket - line.begin - 1)));
}

std::string_view KeyName(std::string_view text, const Line& line) {
  const std::size_t end = line.equals == kNone ? line.end : line.name_end;
  return UntilNul(text.substr(line.begin, end - line.begin));
}

}  // namespace

std::string ProfileValue(std::string_view text, std::string_view section, std::string_view key,
                         std::size_t limit) {
  constexpr auto kUtf8 = TextEncoding::kUtf8;
  // An empty key name is a name like any other: it finds a line "=value".
  key = TrimBlanks(UntilNul(key));
  section = TrimBlanks(UntilNul(section));
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());

  // Lines before the first header belong to a section without a name.
  bool in_section = section.empty();
  LineScanner lines(text);
  for (Line line; lines.Next(line);) {
    if (line.begin == line.end) continue;
    if (IsHeader(text, line)) {
      if (in_section) return std::string();  // only the first such section counts
      in_section = SameCharsNoCase(HeaderName(text, line), section, kUtf8);
    } else if (in_section && SameCharsNoCase(KeyName(text, line), key, kUtf8)) {
      return line.equals == kNone ? std::string() : ValueOf(text, line, limit);
    }
  }
  return std::string();
}

}  // namespace kelvar
