// The desktop: what the program asks of it for a file or an address.  Each
// adapter does it the way its desktop offers: the Windows shell's calls and
// flags live in the Win32 adapter, the file manager, the home trash and the
// browser in the Linux one.  The adapter shows the desktop's own
// confirmations and errors.
#pragma once

#include <string>

#include "platform/file_identity.h"

namespace kelvar {

// What became of a move to the trash.
enum class TrashResult {
  kDone,        // moved, or declined or failed with the desktop's own word to the user
  kNotTheFile,  // another file was at the path when the move came: nothing moved
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // The desktop's properties sheet of a file.
  virtual void ShowProperties(const std::string& file) = 0;
  // The folder, shown by the desktop's file manager.
  virtual void OpenFolder(const std::string& folder) = 0;
  // A web address, in the desktop's browser.
  virtual void OpenAddress(const std::string& address) = 0;
  // The file, moved to the Recycle Bin / trash where it can be restored,
  // only while the file at the path is still `confirmed`: the desktop may
  // ask its own question first, and a path names whatever was put there
  // last, so the adapter checks at the move itself.  An unknown `confirmed`
  // (a system that cannot tell files apart) leaves the path all there is.
  virtual TrashResult MoveToTrash(const std::string& file, const FileIdentity& confirmed) = 0;
};

}  // namespace kelvar
