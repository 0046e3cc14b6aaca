// The program's own read-only file properties window, shown when no desktop
// file manager offers its properties sheet over D-Bus.  It reads the file by
// its exact bytes (lstat, open), so a name that is not UTF-8 still shows its
// size, owner, permissions, time and type.  The window is not modal, as a
// shell properties sheet is not.
#pragma once

#include <QString>
#include <string>

class QDialog;
class QWidget;

namespace kelvar::qt {

struct FileFacts {
  QString location, name, size, owner, permissions, modified, type;
  bool found = false;
};

FileFacts ReadFileFacts(const std::string& path);
// Opens the window (deleted when closed) and answers it; for a file that
// is not there it opens nothing and answers null, as a shell properties
// sheet shows nothing for a missing file.
QDialog* ShowPropertiesDialog(QWidget* parent, const std::string& path);

}  // namespace kelvar::qt
