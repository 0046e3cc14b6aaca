// The program's modal message boxes, titled with its name: a question the
// user answers OK or Cancel (a warning; Esc and the close button answer
// Cancel), and a notice with only OK.  The adapters choose the native box
// and its flags.
#pragma once

#include <string>

namespace kelvar {

enum class Notice { kInformation, kError };

class MessageBox {
 public:
  virtual ~MessageBox() = default;
  // Asks and waits; true for OK.
  virtual bool Confirm(const std::string& text) = 0;
  // Tells and waits for OK.
  virtual void Tell(const std::string& text, Notice notice) = 0;
};

}  // namespace kelvar
