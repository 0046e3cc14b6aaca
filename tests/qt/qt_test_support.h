// Helpers for the window tests: deadlines instead of fixed sleeps, real child
// processes that never outlive a test, throw-away folders, and a hand that
// answers modal boxes.
#pragma once

#include <sys/types.h>

#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvar::qt::test {

// Runs the event loop until `done` answers true or the deadline passes.
bool PollUntil(const std::function<bool()>& done,
               std::chrono::milliseconds deadline = std::chrono::seconds(10));

// A process started from an exact path (bytes) with the argument 1000 (for
// sleep), killed and reaped when the object goes.
class Child {
 public:
  explicit Child(const std::string& path);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  pid_t pid() const { return pid_; }
  // True once the process has ended (it is reaped then).
  bool Ended();

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
};

// A folder under $TMPDIR removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Copies a file byte for byte to an exact path (executable).
void CopyExecutable(const std::string& from, const std::string& to);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

// What a modal box showed.
struct BoxSeen {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;  // captions in the order of the box
  QString default_button;
};

// Answers the modal boxes that open, in order, by clicking the button with
// the given caption; a box beyond the list is answered with Esc.  Every box
// is recorded.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<QString> answers);
  const std::vector<BoxSeen>& seen() const { return seen_; }

 private:
  void Check();
  std::deque<QString> answers_;
  std::vector<BoxSeen> seen_;
  std::unique_ptr<QTimer> timer_;
};

}  // namespace kelvar::qt::test
