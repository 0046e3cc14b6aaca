// Text at the Qt boundary; see display_text.h.
#include "platform/qt/display_text.h"

#include <QList>

namespace kelvar::qt {
namespace {

// U+2400 is the control picture of NUL, U+2400 + c that of control c; DEL
// has U+2421.
QChar ControlPicture(char16_t c) { return c == 0x7f ? QChar(0x2421) : QChar(char16_t(0x2400 + c)); }

bool IsControl(char16_t c) { return c < 0x20 || c == 0x7f; }

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115f) || (c >= 0x2e80 && c <= 0xa4cf) || (c >= 0xac00 && c <= 0xd7a3) ||
         (c >= 0xf900 && c <= 0xfaff) || (c >= 0xfe30 && c <= 0xfe4f) || (c >= 0xff00 && c <= 0xff60) ||
         (c >= 0xffe0 && c <= 0xffe6) || (c >= 0x20000 && c <= 0x3fffd);
}

}  // namespace

QString DisplayText(std::string_view bytes) {
  QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  for (QChar& c : text)
    if (IsControl(c.unicode())) c = ControlPicture(c.unicode());
  return text;
}

QString MessageText(std::string_view bytes) {
  QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  for (QChar& c : text)
    if (IsControl(c.unicode()) && c != u'\n' && c != u'\t') c = ControlPicture(c.unicode());
  return text;
}

std::string ToUtf8(const QString& text) { return text.toStdString(); }

int TerminalWidth(const QString& text) {
  int width = 0;
  for (uint c : text.toUcs4()) width += IsWide(c) ? 2 : 1;
  return width;
}

}  // namespace kelvar::qt
