// The shell on a Linux desktop; see desktop_shell.h.
#include "platform/qt/desktop_shell.h"

#include <fcntl.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QUrl>
#include <cstring>
#include <utility>

#include "platform/linux/file_uri.h"
#include "platform/linux/unique_fd.h"
#include "platform/qt/display_text.h"
#include "platform/qt/message_box.h"
#include "platform/qt/properties_dialog.h"
#include "procinfo/message_field.h"

namespace kelvar::qt {
namespace {

constexpr char kFileManager[] = "org.freedesktop.FileManager1";
constexpr char kFileManagerPath[] = "/org/freedesktop/FileManager1";

QUrl EncodedUrl(const std::string& uri) { return QUrl::fromEncoded(QByteArray::fromStdString(uri)); }

QString Reason(const TrashOutcome& outcome) {
  return QString::fromUtf8(outcome.step) + QStringLiteral("（") +
         QString::fromLocal8Bit(std::strerror(outcome.error)) + QStringLiteral("）");
}

}  // namespace

// The question comes first: the trash checks the file at the path against
// the confirmed one only after it has been answered.  A file that was swapped
// in is the command's to report; every other failure is told here.
TrashResult DesktopShell::MoveToTrash(const std::string& file, const FileIdentity& confirmed) {
  if (file.empty()) return TrashResult::kDone;
  QString shown = MessageText(MessageField(file));
  // Held while the question is open: the file at the path keeps its inode,
  // so a file made in its place after it is deleted cannot take its number
  // and pass for it.
  procfs::UniqueFd pin(::open(file.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
  if (confirm_trash_) {
    QString question = QStringLiteral("确实要把此文件放入回收站吗？\n\n") + shown;
    if (!ShowBox(parent_, question, QStringLiteral("删除文件"), QMessageBox::Warning, Buttons::kYesNo))
      return TrashResult::kDone;
  }
  TrashOutcome outcome = trash_.Move(file, confirmed);
  if (outcome.step.empty()) return outcome.not_the_file ? TrashResult::kNotTheFile : TrashResult::kDone;
  QString text = outcome.not_the_file ? QStringLiteral("此文件在移入回收站时被替换：\n\n")
                                      : QStringLiteral("无法把文件放入回收站，文件仍在原处：\n\n");
  text += shown + QStringLiteral("\n\n") + Reason(outcome);
  ShowBox(parent_, text, QStringLiteral("删除文件出错"), QMessageBox::Critical, Buttons::kOk);
  return TrashResult::kDone;
}

void DesktopShell::OpenAddress(const std::string& address) {
  QDesktopServices::openUrl(QUrl(QString::fromUtf8(address)));
}

void DesktopShell::ShowProperties(const std::string& path) {
  if (path.empty()) return;
  QPointer<QWidget> parent = parent_;
  AskFileManager(QStringLiteral("ShowItemProperties"), FileUri(path),
                 [parent, path] { ShowPropertiesDialog(parent, path); });
}

void DesktopShell::OpenFolder(const std::string& folder) {
  if (folder.empty()) return;
  std::string uri = FileUri(folder);
  AskFileManager(QStringLiteral("ShowFolders"), uri, [uri] { QDesktopServices::openUrl(EncodedUrl(uri)); });
}

void DesktopShell::AskFileManager(const QString& method, const std::string& uri,
                                  std::function<void()> fallback) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    fallback();
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QLatin1String(kFileManager), QLatin1String(kFileManagerPath), QLatin1String(kFileManager), method);
  call << QStringList{QString::fromLatin1(uri)} << QString();
  QObject* owner = parent_ ? static_cast<QObject*>(parent_) : QCoreApplication::instance();
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), owner);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                   [watcher, fallback = std::move(fallback)] {
                     if (watcher->isError()) fallback();
                     watcher->deleteLater();
                   });
}

}  // namespace kelvar::qt
