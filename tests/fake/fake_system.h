// A fake operating system for the core's tests: a scriptable process table
// (processes start, exit, change memory and class, turn unreadable, and a PID
// is taken by a newer process), a file system of names, directories, a
// profile reader over in-memory files and a size formatter.
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
#include "platform/process_source.h"
#include "platform/profile_reader.h"
#include "platform/size_formatter.h"

namespace kelvar::fake {

struct FakeProcess {
  Pid pid = 0;
  std::string module_path;        // as the system reports it
  std::uint64_t working_set = 0;  // bytes
  Priority priority = Priority::kNormal;
  std::uint64_t start_time = 1;
  FileIdentity image;       // unknown: a system that cannot tell files apart
  bool ended = false;       // it has left the process table
  bool unreadable = false;  // it runs, but cannot be read
  bool fail_set = false;    // setting its class fails
};

// A scriptable process table.  Ending a process through it is recorded and
// takes the process off the table.
class FakeProcessTable : public ProcessSource {
 public:
  // Adds a process at the end of the table's order; returns it for scripting.
  FakeProcess& Start(Pid pid, std::string path, std::uint64_t working_set = 8192);
  // The process ends and leaves the table.
  void Exit(Pid pid) { Get(pid).ended = true; }
  // A newer process takes the PID: new start time, path and figures.
  FakeProcess& Reuse(Pid pid, std::string path, std::uint64_t working_set = 8192);
  FakeProcess& Get(Pid pid);
  void FailSnapshot(bool fail) { fail_snapshot_ = fail; }

  int reads() const { return reads_; }
  int image_reads() const { return image_reads_; }
  const std::vector<ProcessId>& ended() const { return ended_; }
  const std::vector<std::pair<ProcessId, Priority>>& set_calls() const { return set_calls_; }
  void ClearCalls();

  bool Snapshot(std::vector<Pid>& pids) override;
  bool Read(Pid pid, bool with_image, ProcessRecord& record) override;
  Liveness Look(const ProcessId& process, FileIdentity& image) override;
  bool End(const ProcessId& process) override;
  bool SetPriority(const ProcessId& process, Priority priority) override;

 private:
  // The live process `process` names, or nullptr.
  FakeProcess* Live(const ProcessId& process);

  std::map<Pid, FakeProcess> procs_;
  std::vector<Pid> order_;
  std::uint64_t next_start_ = 1000;
  bool fail_snapshot_ = false;
  int reads_ = 0, image_reads_ = 0;
  std::vector<ProcessId> ended_;
  std::vector<std::pair<ProcessId, Priority>> set_calls_;
};

// Files by full path; the name found is the stored name of the last component.
// A file's identity is unknown unless a test sets one.
class FakeFiles : public FileSearch {
 public:
  void Add(const std::string& path, std::string stored_name) { files_[path] = std::move(stored_name); }
  void SetIdentity(const std::string& path, FileIdentity id) { identities_[path] = id; }
  std::string FindFileName(const std::string& path) override;
  FileIdentity IdentityAt(const std::string& path) override;

 private:
  std::map<std::string, std::string> files_;
  std::map<std::string, FileIdentity> identities_;
};

class FakeDirectories : public Directories {
 public:
  std::string system_dir = "C:\\WINDOWS\\system32";
  std::string windows_dir = "C:\\WINDOWS";
  std::string program_folder = "C:\\Tools";
  std::string SystemDirectory() override { return system_dir; }
  std::string WindowsDirectory() override { return windows_dir; }
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
