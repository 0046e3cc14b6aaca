// Modal message boxes; see message_box.h.
#include "platform/qt/message_box.h"

#include <QPushButton>
#include <QTextEdit>

#include "actions/commands.h"
#include "platform/qt/display_text.h"
#include "procinfo/message_field.h"

namespace kelvar::qt {
namespace {

struct ButtonPair {
  QMessageBox::StandardButton first, second;
  const char* first_text;
  const char* second_text;
};

ButtonPair PairOf(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOkCancel:
      return {QMessageBox::Ok, QMessageBox::Cancel, "确定", "取消"};
    case Buttons::kYesNo:
      return {QMessageBox::Yes, QMessageBox::No, "是(&Y)", "否(&N)"};
    case Buttons::kOk:
      break;
  }
  return {QMessageBox::Ok, QMessageBox::NoButton, "确定", nullptr};
}

QString Title() { return DisplayText(kAppTitle); }

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

bool ShowBox(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon,
             Buttons buttons) {
  ButtonPair b = PairOf(buttons);
  const QString shown = QString::fromStdString(ShortenedMessage(text.toStdString()));
  QMessageBox box(icon, title, shown, QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  if (shown != text) OfferWhole(box, text);
  QPushButton* first = box.addButton(b.first);
  first->setText(QString::fromUtf8(b.first_text));
  box.setDefaultButton(first);
  box.setEscapeButton(first);
  if (b.second != QMessageBox::NoButton) {
    QPushButton* second = box.addButton(b.second);
    second->setText(QString::fromUtf8(b.second_text));
    box.setEscapeButton(second);
  }
  box.exec();
  return box.clickedButton() == first;
}

bool QtMessageBox::Confirm(const std::string& text) {
  return ShowBox(parent_, MessageText(text), Title(), QMessageBox::Warning, Buttons::kOkCancel);
}

void QtMessageBox::Tell(const std::string& text, Notice notice) {
  const auto icon = notice == Notice::kError ? QMessageBox::Critical : QMessageBox::Information;
  ShowBox(parent_, MessageText(text), Title(), icon, Buttons::kOk);
}

}  // namespace kelvar::qt
