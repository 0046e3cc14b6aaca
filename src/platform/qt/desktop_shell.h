// The desktop on Linux:
//  - MoveToTrash sends the file to the home trash, after a confirmation
//    (which a test may turn off), only while it is the confirmed file, and
//    tells the user when it could not go there;
//  - ShowProperties asks the desktop's file manager over D-Bus
//    (org.freedesktop.FileManager1.ShowItemProperties) and, when none
//    answers, opens the program's own properties window;
//  - OpenFolder asks the file manager to show the folder (ShowFolders), else
//    hands its URI to the desktop; an address goes to the desktop's browser.
// Paths travel as bytes and become URIs by percent-encoding, never through a
// QString, so the file acted on is the file the row names.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

#include "platform/desktop.h"
#include "platform/linux/home_trash.h"

class QWidget;

namespace kelvar::qt {

class DesktopShell : public Desktop {
 public:
  DesktopShell(QWidget* parent, HomeTrash trash) : parent_(parent), trash_(std::move(trash)) {}

  void ShowProperties(const std::string& file) override;
  void OpenFolder(const std::string& folder) override;
  void OpenAddress(const std::string& address) override;
  TrashResult MoveToTrash(const std::string& file, const FileIdentity& confirmed) override;

  const HomeTrash& Trash() const { return trash_; }
  // Whether MoveToTrash asks first; tests turn it off.
  void SetConfirmTrash(bool confirm) { confirm_trash_ = confirm; }

 private:
  // Calls a FileManager1 method with one URI; `fallback` runs when no file
  // manager takes the call.
  void AskFileManager(const QString& method, const std::string& uri, std::function<void()> fallback);

  QPointer<QWidget> parent_;
  HomeTrash trash_;
  bool confirm_trash_ = true;
};

}  // namespace kelvar::qt
