// A fake operating system for the core's tests: a scriptable process table
// (processes start, exit, change memory and class, deny access, and a PID is
// taken by a newer process), a file system of names, directories, a profile
// reader over in-memory files and a size formatter.  Every handle opened is
// counted so that a test can see that none is left open.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/directories.h"
#include "platform/file_search.h"
#include "platform/icons.h"
#include "platform/process_control.h"
#include "platform/profile_reader.h"
#include "platform/size_formatter.h"

namespace kelvar::fake {

struct FakeProcess {
  Pid pid = 0;
  std::string module_path;        // as the system reports it
  std::uint64_t working_set = 0;  // bytes
  std::uint32_t priority_class = 0x20;
  std::uint64_t start_time = 1;
  FileIdentity image;  // unknown: a system that cannot tell files apart
  std::uint32_t exit_code = kStillActive;
  bool in_snapshot = true;      // false once it has left the process table
  bool deny_read = false;       // Open with 0x410 fails
  bool deny_query = false;      // Open with 0x400 fails
  bool deny_set = false;        // Open for setting the class fails
  bool deny_terminate = false;  // Open for ending fails
  bool no_modules = false;      // the module list cannot be read
  bool fail_set = false;        // SetPriorityClass answers failure
};

class FakeProcessTable : public ProcessControl {
 public:
  // Adds a process at the end of the snapshot order; returns it for scripting.
  FakeProcess& Start(Pid pid, std::string path, std::uint64_t working_set = 8192,
                     std::uint32_t priority_class = 0x20);
  // The process ends: it leaves the snapshot and answers its exit code, but
  // can still be opened (a handle keeps it alive on Windows).
  void Exit(Pid pid, std::uint32_t exit_code = 0);
  // The process is gone altogether: it cannot be opened any more.
  void Vanish(Pid pid);
  // A newer process takes the PID: new start time, path and figures.
  FakeProcess& Reuse(Pid pid, std::string path, std::uint64_t working_set = 8192);
  FakeProcess& Get(Pid pid);
  bool Has(Pid pid) const { return procs_.count(pid) != 0; }
  void FailSnapshot(bool fail) { fail_snapshot_ = fail; }

  int open_handles() const { return static_cast<int>(open_.size()); }
  int opens() const { return opens_; }
  struct OpenCall {
    Pid pid;
    std::uint32_t access;
    bool inherit;
  };
  const std::vector<OpenCall>& open_calls() const { return open_calls_; }
  struct SetCall {
    Pid pid;
    std::uint32_t priority_class;
  };
  const std::vector<SetCall>& set_calls() const { return set_calls_; }
  struct TerminateCall {
    Pid pid;
    std::uint32_t exit_code;
  };
  const std::vector<TerminateCall>& terminate_calls() const { return terminate_calls_; }
  void ClearCalls();

  bool Snapshot(std::vector<Pid>& pids) override;
  ProcessHandle Open(Pid pid, std::uint32_t access, bool inherit) override;
  bool ModulePath(ProcessHandle h, std::string& path) override;
  FileIdentity ImageIdentity(ProcessHandle h) override;
  std::uint64_t WorkingSet(ProcessHandle h) override;
  std::uint64_t StartTime(ProcessHandle h) override;
  std::uint32_t ExitCode(ProcessHandle h) override;
  std::uint32_t GetPriorityClass(ProcessHandle h) override;
  bool SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) override;
  bool Terminate(ProcessHandle h, std::uint32_t exit_code) override;
  void Close(ProcessHandle h) override;

 private:
  struct Handle {
    Pid pid;
    std::uint64_t start_time;  // the process the handle was opened on
    std::uint32_t access;
  };
  FakeProcess* Live(ProcessHandle h);

  std::map<Pid, FakeProcess> procs_;
  std::vector<Pid> order_;
  std::map<ProcessHandle, Handle> open_;
  ProcessHandle next_handle_ = 0x100;
  std::uint64_t next_start_ = 1000;
  bool fail_snapshot_ = false;
  int opens_ = 0;
  std::vector<OpenCall> open_calls_;
  std::vector<SetCall> set_calls_;
  std::vector<TerminateCall> terminate_calls_;
};

// Files by full path; the name found is the stored name of the last component.
// A file's identity is unknown unless a test sets one.
class FakeFiles : public FileSearch {
 public:
  void Add(const std::string& path, std::string stored_name) { files_[path] = std::move(stored_name); }
  void Remove(const std::string& path) { files_.erase(path), identities_.erase(path); }
  void SetIdentity(const std::string& path, FileIdentity id) { identities_[path] = id; }
  std::string FindFileName(const std::string& path) override;
  FileIdentity IdentityAt(const std::string& path) override;
  int searches() const { return searches_; }

 private:
  std::map<std::string, std::string> files_;
  std::map<std::string, FileIdentity> identities_;
  int searches_ = 0;
};

class FakeDirectories : public Directories {
 public:
  std::string system_dir = "C:\\WINDOWS\\system32";
  std::string windows_dir = "C:\\WINDOWS";
  std::string program_folder = "C:\\Tools";
  int queries = 0;
  std::string SystemDirectory() override {
    ++queries;
    return system_dir;
  }
  std::string WindowsDirectory() override {
    ++queries;
    return windows_dir;
  }
  std::string ProgramFolder() override { return program_folder; }
};

// Answers from a table (file, section, key) -> value, names matched as given.
class FakeProfile : public ProfileReader {
 public:
  void Set(std::string file, std::string section, std::string key, std::string value);
  std::string GetString(const std::string& section, const std::string& key, const std::string& file) override;
  struct Read {
    std::string section, key, file;
  };
  const std::vector<Read>& reads() const { return reads_; }

 private:
  std::map<std::string, std::string> values_;
  std::vector<Read> reads_;
};

// The portable rendering, or a failure when asked to fail.
class FakeSizeFormatter : public SizeFormatter {
 public:
  bool fail = false;
  std::optional<std::string> FormatByteSize(std::uint64_t bytes) override;
};

// Icons: a picture for every path in `with_icon`; the image list records keys.
class FakePicture : public Picture {
 public:
  explicit FakePicture(int* live) : live_(live) { ++*live_; }
  ~FakePicture() override { --*live_; }

 private:
  int* live_;
};

class FakeIcons : public IconSource {
 public:
  std::set<std::string> with_icon;
  int queries = 0;
  int live_pictures = 0;
  std::unique_ptr<Picture> GetFileIcon(const std::string& path, bool small) override;
};

class FakeImageList : public ImageList {
 public:
  bool Add(const std::string& key, std::unique_ptr<Picture> picture) override;
  bool Contains(const std::string& key) const override { return images_.count(key) != 0; }
  int size() const { return static_cast<int>(images_.size()); }

 private:
  std::map<std::string, std::unique_ptr<Picture>> images_;
};

}  // namespace kelvar::fake
