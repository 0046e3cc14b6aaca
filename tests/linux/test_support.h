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
#include "platform/linux/procfs_process_source.h"

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

// The real process source, with the snapshot cut down to chosen PIDs when
// a test wants its passes short; everything else passes straight through.
class SnapshotFilter : public ProcessSource {
 public:
  explicit SnapshotFilter(ProcessSource& real) : real_(real) {}
  std::set<Pid> only;  // empty: the whole process table

  bool Snapshot(std::vector<Pid>& pids) override;
  bool Read(Pid pid, bool image, ProcessRecord& r) override { return real_.Read(pid, image, r); }
  Liveness Look(const ProcessId& p, FileIdentity& image) override { return real_.Look(p, image); }
  bool End(const ProcessId& p) override { return real_.End(p); }
  bool SetPriority(const ProcessId& p, Priority priority) override { return real_.SetPriority(p, priority); }

 private:
  ProcessSource& real_;
};

// The monitor over the real adapters.
struct Rig {
  Rig() = default;
  ProcfsProcessSource processes;
  SnapshotFilter filter{processes};
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
  std::string Cell(Pid pid, int column) { return std::string(rows.Text(monitor.RowOf(pid), column)); }
};

}  // namespace kelvar::test
