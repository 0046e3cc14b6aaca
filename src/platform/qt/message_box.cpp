// Modal message boxes; see message_box.h.
#include "platform/qt/message_box.h"

#include <QPushButton>
#include <QTextEdit>

#include "platform/qt/display_text.h"
#include "procinfo/message_field.h"

namespace kelvar::qt {
namespace {

QMessageBox::Icon IconOf(std::uint32_t style) {
  switch (style & 0xF0) {
    case 0x10:
      return QMessageBox::Critical;
    case 0x20:
      return QMessageBox::Question;
    case 0x30:
      return QMessageBox::Warning;
    case 0x40:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

struct Buttons {
  QMessageBox::StandardButton yes, no;
  const char* yes_text;
  const char* no_text;
  int yes_id, no_id;
};

Buttons ButtonsOf(std::uint32_t style) {
  switch (style & 0x0F) {
    case mb::kOkCancel:
      return {QMessageBox::Ok, QMessageBox::Cancel, "确定", "取消", mb::kIdOk, mb::kIdCancel};
    case kYesNo:
      return {QMessageBox::Yes, QMessageBox::No, "是(&Y)", "否(&N)", kIdYes, kIdNo};
    default:
      return {QMessageBox::Ok, QMessageBox::NoButton, "确定", nullptr, mb::kIdOk, mb::kIdOk};
  }
}

// The whole text, behind a details button captioned in Chinese as the other
// buttons are, in a pane that scrolls and that mouse and keyboard select in.
void OfferWhole(QMessageBox& box, const QString& whole) {
  box.setDetailedText(whole);
  auto* pane = box.findChild<QTextEdit*>();
  pane->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  pane->setFocusPolicy(Qt::StrongFocus);
  for (QAbstractButton* details : box.buttons()) {
    if (box.buttonRole(details) != QMessageBox::ActionRole) continue;
    auto caption = [details, pane, &box] {
      details->setText(pane->isVisibleTo(&box) ? QStringLiteral("隐藏详细信息(&D)")
                                               : QStringLiteral("显示详细信息(&D)"));
    };
    caption();
    // Queued: after the box's own handler has put back its English caption.
    QObject::connect(details, &QAbstractButton::clicked, &box, caption, Qt::QueuedConnection);
  }
}

}  // namespace

int ShowBox(QWidget* parent, const QString& text, const QString& title, std::uint32_t style) {
  Buttons b = ButtonsOf(style);
  const QString shown = QString::fromStdString(ShortenedMessage(text.toStdString()));
  QMessageBox box(IconOf(style), title, shown, QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  if (shown != text) OfferWhole(box, text);
  QPushButton* yes = box.addButton(b.yes);
  yes->setText(QString::fromUtf8(b.yes_text));
  box.setDefaultButton(yes);
  box.setEscapeButton(yes);
  if (b.no != QMessageBox::NoButton) {
    QPushButton* no = box.addButton(b.no);
    no->setText(QString::fromUtf8(b.no_text));
    box.setEscapeButton(no);
  }
  box.exec();
  return box.clickedButton() == yes ? b.yes_id : b.no_id;
}

int QtMessageBox::Show(const std::string& text, const std::string& title, std::uint32_t style) {
  return ShowBox(parent_, MessageText(text), DisplayText(title), style);
}

}  // namespace kelvar::qt
