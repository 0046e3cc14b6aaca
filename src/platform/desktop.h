// The desktop: what the program asks of it for a file or an address.  Each
// adapter does it the way its desktop offers: the Windows shell's calls and
// flags live in the Win32 adapter, the file manager, the home trash and the
// browser in the Linux one.  The adapter shows the desktop's own
// confirmations and errors.
#pragma once

#include <string>

namespace kelvar {

class Desktop {
 public:
  virtual ~Desktop() = default;
  // The desktop's properties sheet of a file.
  virtual void ShowProperties(const std::string& file) = 0;
  // The folder, shown by the desktop's file manager.
  virtual void OpenFolder(const std::string& folder) = 0;
  // A web address, in the desktop's browser.
  virtual void OpenAddress(const std::string& address) = 0;
  // The file, moved to the Recycle Bin / trash where it can be restored.
  virtual void MoveToTrash(const std::string& file) = 0;
};

}  // namespace kelvar
