// Modal message boxes: a question with OK and Cancel (or Yes and No, as the
// desktop's own trash confirmation asks), or a notice with OK.  The first
// button is the default; Esc and the close button answer the last.  The
// buttons carry the Chinese captions a Chinese Windows shows, whatever
// translations Qt has installed.  Boxes run with exec(), so the window's
// timers go on ticking while the user decides, as they do under Windows.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

#include "platform/message_box.h"

class QWidget;

namespace kelvar::qt {

enum class Buttons { kOk, kOkCancel, kYesNo };

// Shows a box over `parent`; true when the first button was pressed.
bool ShowBox(QWidget* parent, const QString& text, const QString& title, QMessageBox::Icon icon,
             Buttons buttons);

class QtMessageBox : public MessageBox {
 public:
  explicit QtMessageBox(QWidget* parent) : parent_(parent) {}
  bool Confirm(const std::string& text) override;
  void Tell(const std::string& text, Notice notice) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace kelvar::qt
