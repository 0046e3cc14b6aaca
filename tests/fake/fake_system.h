// A fake system for the core's tests: a scriptable process table, files by
// path, directories, a profile table, the portable size texts and icons.
#pragma once

#include <map>
#include <set>

#include "platform/directories.h"
#include "platform/file_search.h"
#include "platform/icons.h"
#include "platform/process_source.h"
#include "platform/profile_reader.h"
#include "platform/size_formatter.h"
#include "procinfo/size_text.h"

namespace kelvar::fake {

struct FakeProcess {
  std::string module_path;  // as the system reports it
  std::uint64_t working_set = 0, start_time = 0;
  Priority priority = Priority::kNormal;
  FileIdentity image{};                                      // unknown unless a test sets one
  bool ended = false, unreadable = false, fail_set = false;  // fail_set: setting its class fails
};

// Processes in PID order; image reads and ends are recorded.
class FakeProcessTable : public ProcessSource {
 public:
  bool fail_snapshot = false;
  int image_reads = 0;
  std::vector<ProcessId> ended;
  // A new process, or a newer one that takes the PID.
  FakeProcess& Start(Pid pid, std::string path, std::uint64_t working_set = 8192) {
    return procs_[pid] = FakeProcess{std::move(path), working_set, ++last_start_};
  }
  FakeProcess& Get(Pid pid) { return procs_.at(pid); }
  void Exit(Pid pid) { Get(pid).ended = true; }

  bool Snapshot(std::vector<Pid>& pids) override {
    pids.clear();
    for (const auto& [pid, p] : procs_)
      if (!p.ended && !fail_snapshot) pids.push_back(pid);
    return !fail_snapshot;
  }
  bool Read(Pid pid, bool with_image, ProcessRecord& record) override {
    FakeProcess* p = Live({pid, 0});
    if (!p || p->unreadable) return false;
    record.id = {pid, p->start_time}, record.working_set = p->working_set, record.priority = p->priority;
    record.image = p->image;
    if (with_image) ++image_reads, record.path = p->module_path;
    return true;
  }
  Liveness Look(const ProcessId& process, FileIdentity& image, LookDepth) override {
    FakeProcess* p = Live(process);
    if (p && !p->unreadable) image = p->image;
    return !p ? Liveness::kGone : p->unreadable ? Liveness::kUnreadable : Liveness::kRunning;
  }
  bool End(const ProcessId& process) override {
    FakeProcess* p = Live(process);
    if (p) p->ended = true, ended.push_back(process);
    return p != nullptr;
  }
  bool SetPriority(const ProcessId& process, Priority priority) override {
    FakeProcess* p = Live(process);
    if (p && !p->fail_set) p->priority = priority;
    return p && !p->fail_set;
  }

 private:
  FakeProcess* Live(const ProcessId& id) {
    auto it = procs_.find(id.pid);
    if (it == procs_.end() || it->second.ended || !SameProcess(id, it->second.start_time)) return nullptr;
    return &it->second;
  }
  std::map<Pid, FakeProcess> procs_;
  std::uint64_t last_start_ = 1000;
};

// Files by full path: the stored name of the last component, and an identity
// (unknown unless a test sets one).
struct FakeFiles : FileSearch {
  std::map<std::string, std::string> names;
  std::map<std::string, FileIdentity> identities;
  void Add(const std::string& path, std::string stored_name) { names[path] = std::move(stored_name); }
  std::string FindFileName(const std::string& path) override { return names.count(path) ? names[path] : ""; }
  FileIdentity IdentityAt(const std::string& path) override { return identities[path]; }
};

struct FakeDirectories : Directories {
  std::string system_dir = "C:\\WINDOWS\\system32", windows_dir = "C:\\WINDOWS", program_folder = "C:\\Tools";
  std::string SystemDirectory() override { return system_dir; }
  std::string WindowsDirectory() override { return windows_dir; }
  std::string ProgramFolder() override { return program_folder; }
};

// Values by "file|section|key", names matched as given; the reads in order.
struct FakeProfile : ProfileReader {
  std::map<std::string, std::string> values;
  std::vector<std::string> reads;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& file) override {
    reads.push_back(file + '|' + section + '|' + key);
    return values[reads.back()];
  }
};

struct FakeSizeFormatter : SizeFormatter {
  bool fail = false;
  std::optional<std::string> FormatByteSize(std::uint64_t bytes) override {
    return fail ? std::nullopt : std::optional(FormatByteSizePortable(bytes));
  }
};

// A picture for every path in `with_icon`; the queries counted.
struct FakeIcons : IconSource {
  std::set<std::string> with_icon;
  int queries = 0;
  std::unique_ptr<Picture> GetFileIcon(const std::string& path, bool) override {
    ++queries;
    return with_icon.count(path) ? std::make_unique<Picture>() : nullptr;
  }
};

struct FakeImageList : ImageList {
  std::map<std::string, std::unique_ptr<Picture>> images;
  bool Add(const std::string& key, std::unique_ptr<Picture> picture) override {
    return picture && images.try_emplace(key, std::move(picture)).second;
  }
  bool Contains(const std::string& key) const override { return images.count(key) != 0; }
};

}  // namespace kelvar::fake
