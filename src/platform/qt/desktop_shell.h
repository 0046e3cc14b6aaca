// The shell on a Linux desktop.  The requests keep their Windows fields; each
// is carried out the way the desktop offers it:
//  - the delete with undo sends the file to the home trash (after the
//    confirmation the shell would ask, unless the request says not to ask)
//    and tells the user when the file could not go there;
//  - "properties" asks the desktop's file manager over D-Bus
//    (org.freedesktop.FileManager1.ShowItemProperties) and, when none
//    answers, opens the program's own properties window;
//  - "open" on a folder asks the file manager to show it (ShowFolders), else
//    hands its URI to the desktop; an address goes to the desktop's browser.
// Paths travel as bytes and become URIs by percent-encoding, never through a
// QString, so the file acted on is the file the row names.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "platform/linux/home_trash.h"
#include "platform/shell.h"

class QWidget;

namespace kelvar::qt {

class DesktopShell : public Shell {
 public:
  DesktopShell(QWidget* parent, HomeTrash trash) : parent_(parent), trash_(std::move(trash)) {}

  void ShellExecuteEx(const ShellExecuteInfo& info) override;
  void ShellExecute(std::uintptr_t hwnd, const std::string& verb, const std::string& file,
                    const std::string& parameters, const std::string& directory, int show) override;
  void SHFileOperation(const FileOperationRequest& request) override;

  const HomeTrash& Trash() const { return trash_; }

 private:
  void ShowProperties(const std::string& path);
  void OpenFolder(const std::string& folder);
  // Calls a FileManager1 method with one URI; `fallback` runs when no file
  // manager takes the call.
  void AskFileManager(const QString& method, const std::string& uri, std::function<void()> fallback);

  QPointer<QWidget> parent_;
  HomeTrash trash_;
};

}  // namespace kelvar::qt
