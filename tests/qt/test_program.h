// The real Qt program on the real procfs adapters or the fake system, its
// trash in a throw-away folder; child processes; a hand that answers boxes.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fake/fake_system.h"
#include "platform/linux/linux_directories.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_profile_reader.h"
#include "platform/linux/linux_size_formatter.h"
#include "platform/linux/procfs_process_source.h"
#include "platform/qt/main_window.h"
#include "platform/qt/menu_tree.h"
#include "platform/qt/process_list.h"
#include "platform/qt/program.h"
#include "platform/qt/row_model.h"
#include "platform/qt/status_panels.h"
#include "ui/main_form.h"

extern char** environ;

namespace kelvar::qt::test {

// Runs the event loop until `done` answers true or ten seconds pass.
template <typename Done>
bool PollUntil(Done done) {
  return QTest::qWaitFor(done, 10000);
}

// A process started from an exact path (bytes) with the argument 1000 (for
// sleep), killed and reaped when the object goes.
class Child {
 public:
  explicit Child(std::string path) {
    char* argv[] = {path.data(), const_cast<char*>("1000"), nullptr};
    reaped_ = posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0;
    EXPECT_FALSE(reaped_) << "cannot start " << path;
  }
  ~Child() {
    if (!Ended()) ::kill(pid_, SIGKILL), ::waitpid(pid_, nullptr, 0);
  }
  pid_t pid() const { return pid_; }
  bool Ended() { return reaped_ = reaped_ || ::waitpid(pid_, nullptr, WNOHANG) == pid_; }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
};

inline void CopyExecutable(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to);
  std::filesystem::permissions(to, std::filesystem::perms::owner_all);
}
inline std::string ReadFile(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}
inline bool Exists(const std::string& path) {
  return std::filesystem::exists(std::filesystem::symlink_status(path));
}

// What a modal box showed.
struct BoxSeen {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;  // captions in the order of the box
  QString default_button;
  bool fits = false;   // every line of the text within the label and the box within the screen
  QString selectable;  // what mouse and keyboard select in: the details pane, else the label
};

// Answers the modal boxes that open, in order, by clicking the button with
// the given caption; a box beyond the list is answered with Esc.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::deque<QString> answers) : answers_(std::move(answers)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Check(); });
    timer_.start(10);
  }
  std::vector<BoxSeen> seen;

 private:
  void Check() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    BoxSeen s{box->windowTitle(), box->text(), box->icon(), {}, {}, Fits(*box), Selectable(*box)};
    QAbstractButton* answer = nullptr;
    for (QAbstractButton* b : box->buttons()) {
      s.buttons << b->text();
      if (!answers_.empty() && b->text() == answers_.front()) answer = b;
    }
    if (auto* def = box->defaultButton()) s.default_button = def->text();
    seen.push_back(s);
    if (!answers_.empty()) answers_.pop_front();
    if (answer)
      answer->click();
    else
      QTest::keyClick(box, Qt::Key_Escape);
  }
  // The whole text shows: each of its lines fits in the label, the label's
  // lines in its height and the box in the screen.
  static bool Fits(const QMessageBox& box) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QRect screen = box.screen()->availableGeometry();
    if (!label || box.width() > screen.width() || box.height() > screen.height()) return false;
    for (const QString& line : box.text().split(u'\n'))
      if (label->fontMetrics().horizontalAdvance(line) > label->contentsRect().width()) return false;
    return label->heightForWidth(label->width()) <= label->height();
  }
  static QString Selectable(const QMessageBox& box) {
    const auto both = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    auto* pane = box.findChild<QTextEdit*>();
    if (pane) return (pane->textInteractionFlags() & both) == both ? pane->toPlainText() : QString();
    return (box.textInteractionFlags() & both) == both ? box.text() : QString();
  }
  std::deque<QString> answers_;
  QTimer timer_;
};

struct RealSystem {
  ProcfsProcessSource proc;
  LinuxFileSearch files;
  LinuxDirectories dirs;
  LinuxProfileReader profile;
  LinuxSizeFormatter sizes;
};

struct FakeSystem {
  fake::FakeProcessTable proc;
  fake::FakeFiles files;
  fake::FakeDirectories dirs;
  fake::FakeProfile profile;
  fake::FakeSizeFormatter sizes;
};

template <typename System>
class TestProgram {
 public:
  // The trash lives in `data_home`, by default in a throw-away folder.
  explicit TestProgram(std::string data_home = {})
      : program_(std::make_unique<QtProgram>(
            SystemPorts{system_.proc, system_.files, system_.dirs, system_.profile, system_.sizes},
            ProgramSettings{data_home.empty() ? home() + "/data" : data_home, {}})) {}

  System& system() { return system_; }
  MainForm& form() { return program_->Form(); }
  MainWindow& window() { return program_->Window(); }
  ProcessList& list() { return window().List(); }
  RowStore& rows() { return form().Rows(); }
  std::string home() const { return home_.path().toStdString(); }

  // OnLoad, show, and wait until the window is on screen and active.
  void Start() {
    program_->Load();
    program_->Show();
    window().activateWindow();
    PollUntil([this] { return window().isActiveWindow() && list().width() > 0; });
  }
  // The row of a PID, 0 when it has none.
  int RowOf(int pid) { return form().Monitor().RowOf(pid); }

 private:
  QTemporaryDir home_;
  System system_;
  std::unique_ptr<QtProgram> program_;
};

using RealProgram = TestProgram<RealSystem>;
using FakeProgram = TestProgram<FakeSystem>;

}  // namespace kelvar::qt::test
