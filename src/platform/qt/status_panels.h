// the status bar on Qt: a status bar with three sunken text panels, 96 and 150 pixels
// wide and fixed, the third taking the rest of the bar (at least 96).  It
// counts the panel writes, so the promise that a steady list writes nothing
// can be measured.  Each panel is announced by its text, an empty one as
// "空白".
#pragma once

#include <QStatusBar>
#include <array>

#include "platform/status_bar.h"

class QLabel;

namespace kelvar::qt {

class StatusPanels : public StatusBar {
 public:
  explicit StatusPanels(QStatusBar* bar);
  void SetPanelText(int panel, const std::string& text) override;
  QLabel* Panel(int panel) const;
  int Writes() const { return writes_; }

 private:
  static void Name(QLabel* label);

  std::array<QLabel*, 3> panels_{};
  int writes_ = 0;
};

}  // namespace kelvar::qt
