// The real Qt program on the real procfs adapters or the fake system, its
// trash in a throw-away folder, and a hand that answers message boxes.  The
// Qt tests take Qt whole from here.
#pragma once

#include <QtTest>
#include <QtWidgets>
#include <deque>

#include "platform/qt/main_window.h"
#include "platform/qt/menu_tree.h"
#include "platform/qt/process_list.h"
#include "platform/qt/program.h"
#include "platform/qt/row_model.h"
#include "platform/qt/status_panels.h"
#include "support/test_support.h"
#include "ui/main_form.h"

namespace kelvar::qt::test {

using namespace kelvar::test;

inline bool PollUntil(const std::function<bool()>& done) { return QTest::qWaitFor(done, 10000); }

struct BoxSeen {
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QString selectable;  // what mouse and keyboard select in: the details pane, else the label
};

// Answers the modal boxes in order by the button with the given caption;
// a box beyond the list gets Esc.
struct BoxAnswerer {
  explicit BoxAnswerer(std::deque<QString> answers) : answers_(std::move(answers)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Check(); });
    timer_.start(10);
  }
  std::vector<BoxSeen> seen;
  std::function<void(std::size_t)> before_answer;  // given the box's number, from 0
  void Check() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    seen.push_back({box->text(), box->icon(), {}, Selectable(*box)});
    QAbstractButton* answer = nullptr;
    for (QAbstractButton* b : box->buttons()) {
      seen.back().buttons << b->text();
      if (!answers_.empty() && b->text() == answers_.front()) answer = b;
    }
    if (before_answer) before_answer(seen.size() - 1);
    if (!answers_.empty()) answers_.pop_front();
    answer ? answer->click() : QTest::keyClick(box, Qt::Key_Escape);
  }
  static QString Selectable(const QMessageBox& box) {
    const auto both = Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard;
    if (auto* pane = box.findChild<QTextEdit*>())
      return (pane->textInteractionFlags() & both) == both ? pane->toPlainText() : QString();
    return (box.textInteractionFlags() & both) == both ? box.text() : QString();
  }
  std::deque<QString> answers_;
  QTimer timer_;
};

template <typename Proc, typename Files, typename Dirs, typename Profile, typename Sizes>
struct TestProgram {
  TempDir home;
  const std::string data = home.path() + "/data";  // where the program keeps its trash
  struct {
    Proc proc;
    Files files;
    Dirs dirs;
    Profile profile;
    Sizes sizes;
  } system;
  QtProgram program{SystemPorts{system.proc, system.files, system.dirs, system.profile, system.sizes},
                    ProgramSettings{data, {}}};

  MainForm& form() { return program.Form(); }
  MainWindow& window() { return program.Window(); }
  ProcessList& list() { return window().List(); }
  void Start(bool active = true) {  // loaded, shown, on screen and, if asked, active
    program.Load();
    program.Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window()));
    if (!active) return;
    window().activateWindow();
    PollUntil([this] { return window().isActiveWindow() && list().width() > 0; });
  }
  int RowOf(int pid) { return form().Monitor().RowOf(pid); }  // kNoRow: none
  QModelIndex IndexOf(int pid, int column = 0) { return list().model()->index(RowOf(pid), column); }
};

using RealProgram = TestProgram<ProcfsProcessSource, LinuxFileSearch, LinuxDirectories, LinuxProfileReader,
                                LinuxSizeFormatter>;
using FakeProgram = TestProgram<fake::FakeProcessTable, fake::FakeFiles, fake::FakeDirectories,
                                fake::FakeProfile, fake::FakeSizeFormatter>;

}  // namespace kelvar::qt::test
