// A process name or a file path inside a message box text.  The list shows
// such a text on one line, with each control character as its visible
// control picture (a newline in a file name shows as U+240A); a message
// shows it the same way, so the name in a question is the name in the row.
// A message box cannot scroll sideways and a path is one long word: a field
// wider than a line is broken into lines, after a folder separator where one
// is near the end of the line, else inside the word.  The message keeps the
// whole field: a box too small for it shows the message's first and last
// lines, the file's name among them, with "…" for the lines between, and a
// box that can offer more (a details pane) offers the whole message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvar {

// Columns of one line of a field; a CJK or full-width character takes two.
// Fifty-six columns of the widest Latin letters fit a box on an 800-pixel
// screen.
inline constexpr int kMessageLineColumns = 56;
// Lines a box shows of a message at most, "…" included.
inline constexpr std::size_t kMessageFieldLines = 24;

// Columns a character takes on a line: 2 for CJK and full-width ones, else 1.
int DisplayColumns(char32_t c);

// `text` (UTF-8, or bytes that are not) with control characters as control
// pictures and "\r\n" between lines of at most kMessageLineColumns columns.
// Bytes that are not UTF-8 are kept for the display to show as it can.
std::string MessageField(std::string_view text);

// `message` as a box shows it: when it has more than kMessageFieldLines
// lines (each ended by "\n" or "\r\n"), its first and last ones with a line
// "…" between them.
std::string ShortenedMessage(std::string_view message);

}  // namespace kelvar
