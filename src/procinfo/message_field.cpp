// Names and paths in messages; see message_field.h.
#include "procinfo/message_field.h"

#include <vector>

#include "procinfo/text_chars.h"

namespace kelvar {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

// U+2400 + c is the control picture of control c; DEL has U+2421.
void AppendControlPicture(unsigned char c, std::string& line) {
  AppendUtf8(c == 0x7f ? 0x2421 : 0x2400 + c, line);
}

bool IsSeparator(std::string_view ch) { return ch == "\\" || ch == "/"; }

// The field on lines of at most kMessageLineColumns columns.
std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> out;
  std::string line;
  int columns = 0;
  std::size_t after_separator = 0;  // in `line`; 0 when it has none
  for (std::size_t pos = 0; pos < text.size();) {
    const std::string_view ch = text.substr(pos, CharLength(text, pos, TextEncoding::kUtf8));
    pos += ch.size();
    const int width = DisplayColumns(CodePointOf(ch));
    if (columns + width > kMessageLineColumns) {
      // Break after the last separator when it leaves at least half a line.
      const bool at_separator = after_separator * 2 > line.size();
      const std::size_t cut = at_separator ? after_separator : line.size();
      out.push_back(line.substr(0, cut));
      line.erase(0, cut);
      columns = 0;
      for (std::size_t i = 0; i < line.size(); i += CharLength(line, i, TextEncoding::kUtf8))
        columns += DisplayColumns(CodePointOf(line.substr(i, CharLength(line, i, TextEncoding::kUtf8))));
      after_separator = 0;
    }
    if (IsControl(static_cast<unsigned char>(ch[0])))
      AppendControlPicture(static_cast<unsigned char>(ch[0]), line);
    else
      line += ch;
    columns += width;
    if (IsSeparator(ch)) after_separator = line.size();
  }
  out.push_back(line);
  return out;
}

}  // namespace

int DisplayColumns(char32_t c) {
  const bool wide = (c >= 0x1100 && c <= 0x115f) || (c >= 0x2e80 && c <= 0xa4cf) ||
                    (c >= 0xac00 && c <= 0xd7a3) || (c >= 0xf900 && c <= 0xfaff) ||
                    (c >= 0xfe30 && c <= 0xfe4f) || (c >= 0xff00 && c <= 0xff60) ||
                    (c >= 0xffe0 && c <= 0xffe6) || (c >= 0x20000 && c <= 0x3fffd);
  return wide ? 2 : 1;
}

std::string MessageField(std::string_view text) {
  std::string out;
  for (const std::string& line : Lines(text)) out += (out.empty() ? "" : "\r\n") + line;
  return out;
}

std::string ShortenedMessage(std::string_view message) {
  std::vector<std::size_t> starts{0};  // where each line begins
  for (std::size_t i = message.find('\n'); i != std::string_view::npos; i = message.find('\n', i + 1))
    starts.push_back(i + 1);
  if (starts.size() <= kMessageFieldLines) return std::string(message);
  const std::size_t head = kMessageFieldLines / 2, tail = kMessageFieldLines - head - 1;
  // "…" ends with the break that comes before the first line of the tail.
  std::size_t cut = starts[starts.size() - tail] - 1;
  if (cut > 0 && message[cut - 1] == '\r') --cut;
  return std::string(message.substr(0, starts[head])) + "…" + std::string(message.substr(cut));
}

}  // namespace kelvar
