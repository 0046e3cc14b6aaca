// Modal message boxes with the Windows style flags: the buttons from the low
// four bits (OK, OK/Cancel, Yes/No), the icon from the next four, OK (or
// Yes) the default, Esc and the close button answering Cancel (or No).  The
// buttons carry the Chinese captions a Chinese Windows shows, whatever
// translations Qt has installed.  Boxes run with exec(), so the window's
// timers go on ticking while the user decides, as they do under Windows.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <cstdint>

#include "platform/message_box.h"

class QWidget;

namespace kelvar::qt {

// The Yes/No style the shell's own confirmations use.
inline constexpr std::uint32_t kYesNo = 0x04;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Shows a box over `parent` and answers kIdOk, kIdCancel, kIdYes or kIdNo.
int ShowBox(QWidget* parent, const QString& text, const QString& title, std::uint32_t style);

class QtMessageBox : public MessageBox {
 public:
  explicit QtMessageBox(QWidget* parent) : parent_(parent) {}
  int Show(const std::string& text, const std::string& title, std::uint32_t style) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace kelvar::qt
