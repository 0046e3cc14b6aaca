// The program's own properties window; see properties_dialog.h.
#include "platform/qt/properties_dialog.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMimeDatabase>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/display_text.h"

namespace kelvar::qt {
namespace {

QString Permissions(mode_t mode) {
  const char* bits = "rwxrwxrwx";
  QString text(S_ISDIR(mode) ? u'd' : u'-');
  for (int i = 0; i < 9; ++i) text += (mode & (0400 >> i)) ? QChar(bits[i]) : QChar(u'-');
  return text + QString::asprintf(" (%04o)", static_cast<unsigned>(mode & 07777));
}

QString Owner(uid_t uid, gid_t gid) {
  const passwd* pw = ::getpwuid(uid);
  QString user = pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(uid);
  const group* gr = ::getgrgid(gid);
  return user + u':' + (gr ? QString::fromLocal8Bit(gr->gr_name) : QString::number(gid));
}

QString Size(off_t bytes) {
  return QLocale::c().toString(static_cast<qlonglong>(bytes)) + QStringLiteral(" 字节");
}

// The type from the name and the first bytes, read through a descriptor
// opened on the exact path.
QString Type(const std::string& path, const QString& name) {
  QMimeDatabase db;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return db.mimeTypeForFile(name, QMimeDatabase::MatchExtension).comment();
  QFile file;
  file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
  return db.mimeTypeForFileNameAndData(name, &file).comment();
}

}  // namespace

FileFacts ReadFileFacts(const std::string& path) {
  FileFacts facts;
  std::size_t slash = path.rfind('/');
  facts.location = DisplayText(slash == std::string::npos ? "" : path.substr(0, slash ? slash : 1));
  facts.name = DisplayText(slash == std::string::npos ? path : path.substr(slash + 1));
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return facts;
  facts.found = true;
  facts.size = Size(st.st_size);
  facts.owner = Owner(st.st_uid, st.st_gid);
  facts.permissions = Permissions(st.st_mode);
  facts.modified =
      QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  facts.type = Type(path, facts.name);
  return facts;
}

QDialog* ShowPropertiesDialog(QWidget* parent, const std::string& path) {
  FileFacts facts = ReadFileFacts(path);
  if (!facts.found) return nullptr;
  auto* dialog = new QDialog(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(facts.name + QStringLiteral(" 属性"));
  auto* form = new QFormLayout;
  auto add = [&](const char* label, const QString& value) {
    auto* field = new QLineEdit(value, dialog);
    field->setReadOnly(true);
    field->setCursorPosition(0);
    form->addRow(QString::fromUtf8(label), field);
  };
  add("名称：", facts.name);
  add("位置：", facts.location);
  add("类型：", facts.type);
  add("大小：", facts.size);
  add("所有者：", facts.owner);
  add("权限：", facts.permissions);
  add("修改时间：", facts.modified);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(form);
  layout->addWidget(buttons);
  dialog->resize(420, dialog->sizeHint().height());
  dialog->show();
  return dialog;
}

}  // namespace kelvar::qt
