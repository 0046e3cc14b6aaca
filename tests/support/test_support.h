// What the Linux and Qt tests share: children, checks in a forked child, a
// scratch folder, polling, and the monitor on the real adapters.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "fake/fake_system.h"
#include "monitor/process_monitor.h"
#include "platform/linux/linux_directories.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_profile_reader.h"
#include "platform/linux/linux_size_formatter.h"
#include "platform/linux/procfs_process_source.h"
#include "platform/linux/procfs_stat.h"
#include "platform/linux/unique_fd.h"

namespace kelvar::test {

// Polls `done` until it holds or ten seconds pass (a loaded machine is slow).
inline bool WaitUntil(const std::function<bool()>& done) {
  using namespace std::chrono_literals;
  const auto end = std::chrono::steady_clock::now() + 10s;
  for (; !done(); std::this_thread::sleep_for(2ms))
    if (std::chrono::steady_clock::now() > end) return false;
  return true;
}

// Runs `checks` in a forked child (which alone lives with what it changes);
// its exit code carries the failed checks as bits.
inline void ExpectInChild(const std::function<int()>& checks) {
  const pid_t checker = ::fork();
  if (checker == 0) ::_exit(checks());
  int status = -1;
  ASSERT_EQ(::waitpid(checker, &status, 0), checker);
  EXPECT_EQ(status, 0) << "failed checks (bits): " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

// The state letter of /proc/PID/stat, 0 when it cannot be read.
inline char StateOf(pid_t pid) {
  procfs::ProcStat stat;
  procfs::UniqueFd proc(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return procfs::ReadStat(proc.get(), pid, stat) ? stat.state : 0;
}

inline std::vector<std::string> ListDir(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& e : std::filesystem::directory_iterator(path, ignored))
    names.push_back(e.path().filename());
  return names;
}
inline int OpenFdCount() { return static_cast<int>(ListDir("/proc/self/fd").size()); }

// A child running `exe`, killed and reaped with the object (and by the kernel
// if the tests die); pid() is 0 when the exec, or getting `want_pid`, failed.
class Child {
 public:
  Child() = default;
  static Child Spawn(const std::string& exe, const std::vector<std::string>& args = {"600"},
                     pid_t want_pid = 0) {
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return Child();
    procfs::UniqueFd read_end(fds[0]), write_end(fds[1]);
    const pid_t parent = ::getpid();
    clone_args clone{};
    clone.exit_signal = SIGCHLD, clone.set_tid_size = 1;
    clone.set_tid = reinterpret_cast<std::uintptr_t>(&want_pid);
    const pid_t pid = want_pid ? static_cast<pid_t>(::syscall(SYS_clone3, &clone, sizeof clone)) : ::fork();
    if (pid == 0) {  // only async-signal-safe calls until exec
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (::getppid() != parent) ::_exit(126);
      ::execv(exe.c_str(), argv.data());
      [[maybe_unused]] ssize_t n = ::write(fds[1], "", 1);
      ::_exit(127);
    }
    Child child;
    child.pid_ = pid > 0 ? pid : 0;
    write_end.Reset();
    char failed;  // the pipe closes unwritten on a successful exec
    if (::read(read_end.get(), &failed, 1) > 0) child.Reap();
    return child;
  }
  Child(Child&& other) noexcept : pid_(std::exchange(other.pid_, 0)) {}
  Child& operator=(Child other) noexcept {  // the one held before is reaped with `other`
    std::swap(pid_, other.pid_);
    return *this;
  }
  ~Child() { Reap(); }

  pid_t pid() const { return pid_; }
  void Kill() {  // the child stays a zombie until Reap
    if (pid_ > 0) ::kill(pid_, SIGKILL);
  }
  void Reap() {
    Kill();
    while (pid_ > 0 && ::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) continue;
    pid_ = 0;
  }
  bool WaitForZombie() {
    return WaitUntil([&] { return StateOf(pid_) == 'Z'; });
  }
  bool Ended() {  // reaped now, if it has ended, or before
    if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = 0;
    return pid_ <= 0;
  }

 private:
  pid_t pid_ = 0;
};

// A scratch folder, removed with everything in it.
class TempDir {
 public:
  explicit TempDir(const std::string& in = "/tmp") {
    std::string name = in + "/kelvar-test-XXXXXX";
    if (::mkdtemp(name.data())) path_ = name;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A copy of `from` at `to` (bytes: any name), executable; false when `to`
// exists already.
inline bool CopyExecutable(const std::string& from, const std::string& to) {
  namespace fs = std::filesystem;
  std::error_code e;
  return fs::copy_file(from, to, e) && (fs::permissions(to, fs::perms::owner_all, e), !e);
}
inline bool CopySleep(const std::string& to) { return CopyExecutable("/bin/sleep", to); }

inline std::string ReadFile(const std::string& path) {
  return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

// The name is there, even as a dangling link.
inline bool Exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

// The real process source, its snapshot cut down to `only` unless empty.
struct SnapshotFilter : ProcessSource {
  explicit SnapshotFilter(ProcessSource& real) : real_(real) {}
  bool Snapshot(std::vector<Pid>& pids) override {
    if (!real_.Snapshot(pids)) return false;
    if (!only.empty()) std::erase_if(pids, [&](Pid pid) { return only.count(pid) == 0; });
    return true;
  }
  bool Read(Pid pid, bool image, ProcessRecord& r) override { return real_.Read(pid, image, r); }
  Liveness Look(const ProcessId& p, FileIdentity& image, LookDepth depth) override {
    return real_.Look(p, image, depth);
  }
  bool End(const ProcessId& p) override { return real_.End(p); }
  bool SetPriority(const ProcessId& p, Priority priority) override { return real_.SetPriority(p, priority); }
  ProcessSource& real_;
  std::set<Pid> only;
};

// The monitor over the real adapters, its snapshot cut down to `only` unless empty.
struct Rig {
  explicit Rig(std::set<Pid> only = {}) { filter.only = std::move(only); }
  ProcfsProcessSource processes;
  SnapshotFilter filter{processes};
  LinuxFileSearch files;
  LinuxDirectories dirs;
  LinuxProfileReader profile;
  fake::FakeIcons icons;
  fake::FakeImageList images;
  RowStore rows;
  ProcessMonitor monitor{rows, MonitorPorts{filter, files, dirs, profile, icons, images}};

  int RowAfterPass(Pid pid) {  // the row of `pid` after one more refresh pass, or kNoRow
    monitor.Refresh();
    return monitor.RowOf(pid);
  }
  std::string Cell(Pid pid, Column column) { return std::string(rows.Text(monitor.RowOf(pid), column)); }
  ProcessId Id(Pid pid) { return rows.Row(monitor.RowOf(pid)).id; }
};

}  // namespace kelvar::test
