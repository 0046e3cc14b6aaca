// What the Linux tests share: children they start and always end (killed and
// reaped when the test's object goes, and killed by the kernel should the
// test process die first), checks run in a forked child, a scratch folder,
// polling with a deadline, and the
// monitor wired to the real adapters with fakes only for the window's icons,
// image list and status bar.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fake/fake_system.h"
#include "monitor/process_monitor.h"
#include "monitor/row_store.h"
#include "platform/linux/linux_directories.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_profile_reader.h"
#include "platform/linux/linux_size_formatter.h"
#include "platform/linux/procfs_process_control.h"

namespace kelvar::test {

// Polls `done` until it holds or ten seconds pass (a loaded machine is slow).
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Runs `checks` in a forked child (which alone lives with what it changes)
// and expects it to exit 0; its exit code carries the failed checks as bits.
void ExpectInChild(const std::function<int()>& checks);

class Child {
 public:
  Child() = default;
  // Starts `exe` with argv[0] = `exe`; with `want_pid` the child gets exactly
  // that PID (clone3 with set_tid), else pid() is 0 when that cannot be done.
  static Child Spawn(const std::string& exe, const std::vector<std::string>& args, pid_t want_pid = 0);
  Child(Child&& other) noexcept;
  Child& operator=(Child&& other) noexcept;
  ~Child();

  pid_t pid() const { return pid_; }
  void Kill();  // SIGKILL; the child stays a zombie until Reap
  void Reap();
  bool WaitForZombie();

 private:
  pid_t pid_ = 0;
};

// A scratch folder, removed with everything in it.
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

// A copy of `from` at `to` (bytes: any name), executable; false when `to`
// exists already.
bool CopyExecutable(const std::string& from, const std::string& to);
// A copy of /bin/sleep at `to`.
inline bool CopySleep(const std::string& to) { return CopyExecutable("/bin/sleep", to); }
// The state letter of /proc/PID/stat, 0 when it cannot be read.
char StateOf(pid_t pid);
std::vector<pid_t> ThreadsOf(pid_t pid);
int OpenFdCount();

struct RecordingStatus : StatusBar {
  std::map<int, std::string> panels;
  void SetPanelText(int panel, const std::string& text) override { panels[panel] = text; }
};

// The real process control, with the snapshot cut down to chosen PIDs when
// a test wants its passes short; everything else passes straight through.
class SnapshotFilter : public ProcessControl {
 public:
  explicit SnapshotFilter(ProcessControl& real) : real_(real) {}
  std::set<Pid> only;  // empty: the whole process table

  bool Snapshot(std::vector<Pid>& pids) override;
  ProcessHandle Open(Pid pid, std::uint32_t a, bool inherit) override { return real_.Open(pid, a, inherit); }
  bool ModulePath(ProcessHandle h, std::string& p) override { return real_.ModulePath(h, p); }
  FileIdentity ImageIdentity(ProcessHandle h) override { return real_.ImageIdentity(h); }
  std::uint64_t WorkingSet(ProcessHandle h) override { return real_.WorkingSet(h); }
  std::uint64_t StartTime(ProcessHandle h) override { return real_.StartTime(h); }
  std::uint32_t ExitCode(ProcessHandle h) override { return real_.ExitCode(h); }
  std::uint32_t GetPriorityClass(ProcessHandle h) override { return real_.GetPriorityClass(h); }
  bool SetPriorityClass(ProcessHandle h, std::uint32_t c) override { return real_.SetPriorityClass(h, c); }
  bool Terminate(ProcessHandle h, std::uint32_t code) override { return real_.Terminate(h, code); }
  void Close(ProcessHandle h) override { real_.Close(h); }

 private:
  ProcessControl& real_;
};

// The monitor over the real adapters.
struct Rig {
  Rig() = default;
  ProcfsProcessControl proc;
  SnapshotFilter filter{proc};
  LinuxFileSearch files;
  LinuxDirectories dirs;
  LinuxProfileReader profile;
  LinuxSizeFormatter sizes;
  fake::FakeIcons icons;
  fake::FakeImageList images;
  RecordingStatus status;
  RowStore rows;
  ProcessMonitor monitor{rows, MonitorPorts{filter, files, dirs, profile, sizes, icons, images, status}};

  // The row of `pid` after one more refresh pass, or 0.
  int RowAfterPass(Pid pid) {
    monitor.ListProcess();
    return monitor.RowOf(pid);
  }
  const std::string& Cell(Pid pid, int sub) { return rows.SubItem(monitor.RowOf(pid), sub); }
};

}  // namespace kelvar::test
