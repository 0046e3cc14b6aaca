// The status bar: panel texts, panels numbered from 1.
#pragma once

#include <string>

namespace kelvar {

class StatusBar {
 public:
  virtual ~StatusBar() = default;
  virtual void SetPanelText(int panel, const std::string& text) = 0;
};

}  // namespace kelvar
