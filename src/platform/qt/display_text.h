// Text at the Qt boundary.  The core keeps texts as UTF-8 std::string and
// Linux paths as the exact bytes the kernel gave; only what a person sees is
// converted, and that conversion may lose: bytes that are not UTF-8 show as
// U+FFFD and control characters as their visible control pictures, so a
// newline in a file name cannot break a row or a table line.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kelvar::qt {

// A cell or a path as shown in the list: lossy, one line.
QString DisplayText(std::string_view bytes);
// A message as shown in a box: lossy, CR LF becomes a line break, other
// control characters (except line breaks and tabs) become control pictures.
QString MessageText(std::string_view bytes);
// Text the user or Qt produced, back into the core's UTF-8.
std::string ToUtf8(const QString& text);
// Columns a text takes in a terminal: CJK and full-width characters take two.
int TerminalWidth(const QString& text);

}  // namespace kelvar::qt
