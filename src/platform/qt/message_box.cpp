// Modal message boxes; see message_box.h.
#include "platform/qt/message_box.h"

#include <QPushButton>
#include <string_view>

#include "actions/commands.h"
#include "platform/qt/display_text.h"

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

}  // namespace

bool ShowBox(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon,
             Buttons buttons) {
  ButtonPair b = PairOf(buttons);
  QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
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
