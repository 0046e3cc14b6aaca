// Text at the Qt boundary; see display_text.h.
#include "platform/qt/display_text.h"

#include <QList>

#include "procinfo/message_field.h"

namespace kelvar::qt {
namespace {

// U+2400 is the control picture of NUL, U+2400 + c that of control c; DEL
// has U+2421.
QChar ControlPicture(char16_t c) { return c == 0x7f ? QChar(0x2421) : QChar(char16_t(0x2400 + c)); }

bool IsControl(char16_t c) { return c < 0x20 || c == 0x7f; }

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
  for (uint c : text.toUcs4()) width += DisplayColumns(static_cast<char32_t>(c));
  return width;
}

}  // namespace kelvar::qt
