// The Linux tests' shared helpers; see test_support.h.
#include "test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <utility>

#include "platform/linux/procfs_stat.h"
#include "platform/linux/unique_fd.h"

namespace kelvar::test {
namespace {

// What the child does between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(const char* exe, char* const argv[], int error_pipe, pid_t parent) {
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(126);
  ::execv(exe, argv);
  const int error = errno;
  [[maybe_unused]] ssize_t n = ::write(error_pipe, &error, sizeof error);
  ::_exit(127);
}

pid_t CloneWithPid(pid_t want) {
  pid_t tids[1] = {want};
  clone_args args{};
  args.exit_signal = SIGCHLD;
  args.set_tid = reinterpret_cast<std::uintptr_t>(tids);
  args.set_tid_size = 1;
  return static_cast<pid_t>(::syscall(SYS_clone3, &args, sizeof args));
}

std::vector<std::string> ListDir(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(path.c_str())) {
    while (const dirent* e = ::readdir(dir))
      if (e->d_name[0] != '.') names.emplace_back(e->d_name);
    ::closedir(dir);
  }
  return names;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

Child Child::Spawn(const std::string& exe, const std::vector<std::string>& args, pid_t want_pid) {
  std::vector<char*> argv{const_cast<char*>(exe.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return Child();
  procfs::UniqueFd read_end(fds[0]), write_end(fds[1]);
  const pid_t parent = ::getpid();
  const pid_t pid = want_pid ? CloneWithPid(want_pid) : ::fork();
  if (pid == 0) ExecChild(exe.c_str(), argv.data(), fds[1], parent);
  if (pid < 0) return Child();
  Child child;
  child.pid_ = pid;
  write_end.Reset();
  int error = 0;
  // The pipe closes on a successful exec: nothing to read then.
  if (::read(read_end.get(), &error, sizeof error) > 0) child.Reap();
  return child;
}

Child::Child(Child&& other) noexcept : pid_(std::exchange(other.pid_, 0)) {}

Child& Child::operator=(Child&& other) noexcept {
  if (this != &other) {
    Reap();
    pid_ = std::exchange(other.pid_, 0);
  }
  return *this;
}

Child::~Child() { Reap(); }

void Child::Kill() {
  if (pid_ > 0) ::kill(pid_, SIGKILL);
}

void Child::Reap() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
  pid_ = 0;
}

bool Child::WaitForZombie() {
  return WaitUntil([&] { return StateOf(pid_) == 'Z'; });
}

TempDir::TempDir() {
  char name[] = "/tmp/kelvar-linux-test-XXXXXX";
  if (::mkdtemp(name)) path_ = name;
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

bool CopyExecutable(const std::string& from, const std::string& to) {
  procfs::UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  procfs::UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0755));
  if (!in || !out) return false;
  char buf[65536];
  for (ssize_t n; (n = ::read(in.get(), buf, sizeof buf)) > 0;)
    if (::write(out.get(), buf, static_cast<std::size_t>(n)) != n) return false;
  return true;
}

char StateOf(pid_t pid) {
  procfs::ProcStat stat;
  procfs::UniqueFd proc(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return procfs::ReadStat(proc.get(), pid, stat) ? stat.state : 0;
}

std::vector<pid_t> ThreadsOf(pid_t pid) {
  std::vector<pid_t> tids;
  for (const std::string& name : ListDir("/proc/" + std::to_string(pid) + "/task"))
    tids.push_back(static_cast<pid_t>(std::atoi(name.c_str())));
  return tids;
}

int OpenFdCount() { return static_cast<int>(ListDir("/proc/self/fd").size()); }

void ExpectInChild(const std::function<int()>& checks) {
  const pid_t checker = ::fork();
  ASSERT_GE(checker, 0);
  if (checker == 0) ::_exit(checks());
  int status = 0;
  ASSERT_EQ(::waitpid(checker, &status, 0), checker);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "failed checks (bits): " << WEXITSTATUS(status);
}

bool SnapshotFilter::Snapshot(std::vector<Pid>& pids) {
  if (!real_.Snapshot(pids)) return false;
  if (!only.empty()) std::erase_if(pids, [&](Pid pid) { return only.count(pid) == 0; });
  return true;
}

}  // namespace kelvar::test
