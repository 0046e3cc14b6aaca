// Helpers for the window tests; see qt_test_support.h.
#include "qt_test_support.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace kelvar::qt::test {

bool PollUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
  auto end = std::chrono::steady_clock::now() + deadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

Child::Child(const std::string& path) {
  std::string arg = "1000";
  char* argv[] = {const_cast<char*>(path.c_str()), arg.data(), nullptr};
  if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0)
    throw std::runtime_error("cannot start " + path);
}

Child::~Child() {
  if (reaped_) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
}

bool Child::Ended() {
  if (reaped_) return true;
  reaped_ = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
  return reaped_;
}

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/kelvar-qt-XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void CopyExecutable(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary);
  out << in.rdbuf();
  out.close();
  if (!out || ::chmod(to.c_str(), 0755) != 0) throw std::runtime_error("cannot copy to " + to);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

BoxAnswerer::BoxAnswerer(std::vector<QString> answers)
    : answers_(answers.begin(), answers.end()), timer_(std::make_unique<QTimer>()) {
  QObject::connect(timer_.get(), &QTimer::timeout, [this] { Check(); });
  timer_->start(10);
}

void BoxAnswerer::Check() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box || !box->isVisible()) return;
  BoxSeen seen{box->windowTitle(), box->text(), box->icon(), {}, {}};
  QAbstractButton* answer = nullptr;
  for (QAbstractButton* b : box->buttons()) {
    seen.buttons << b->text();
    if (!answers_.empty() && b->text() == answers_.front()) answer = b;
  }
  if (auto* def = box->defaultButton()) seen.default_button = def->text();
  seen_.push_back(seen);
  if (!answers_.empty()) answers_.pop_front();
  if (answer) answer->click();
  else QTest::keyClick(box, Qt::Key_Escape);
}

}  // namespace kelvar::qt::test
