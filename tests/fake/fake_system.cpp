// The fake operating system of the core's tests.
#include "fake/fake_system.h"

#include <algorithm>
#include <stdexcept>

#include "procinfo/size_text.h"

namespace kelvar::fake {

FakeProcess& FakeProcessTable::Start(Pid pid, std::string path, std::uint64_t working_set,
                                     std::uint32_t priority_class) {
  FakeProcess p;
  p.pid = pid;
  p.module_path = std::move(path);
  p.working_set = working_set;
  p.priority_class = priority_class;
  p.start_time = next_start_++;
  procs_[pid] = p;
  order_.erase(std::remove(order_.begin(), order_.end(), pid), order_.end());
  order_.push_back(pid);
  return procs_[pid];
}

void FakeProcessTable::Exit(Pid pid, std::uint32_t exit_code) {
  FakeProcess& p = Get(pid);
  p.exit_code = exit_code;
  p.in_snapshot = false;
}

void FakeProcessTable::Vanish(Pid pid) {
  procs_.erase(pid);
  order_.erase(std::remove(order_.begin(), order_.end(), pid), order_.end());
}

FakeProcess& FakeProcessTable::Reuse(Pid pid, std::string path, std::uint64_t working_set) {
  Vanish(pid);
  return Start(pid, std::move(path), working_set);
}

FakeProcess& FakeProcessTable::Get(Pid pid) {
  auto it = procs_.find(pid);
  if (it == procs_.end()) throw std::out_of_range("no fake process");
  return it->second;
}

void FakeProcessTable::ClearCalls() {
  open_calls_.clear();
  set_calls_.clear();
  terminate_calls_.clear();
  opens_ = 0;
}

bool FakeProcessTable::Snapshot(std::vector<Pid>& pids) {
  pids.clear();
  if (fail_snapshot_) return false;
  for (Pid pid : order_)
    if (procs_.at(pid).in_snapshot) pids.push_back(pid);
  return true;
}

ProcessHandle FakeProcessTable::Open(Pid pid, std::uint32_t access, bool inherit) {
  ++opens_;
  open_calls_.push_back({pid, access, inherit});
  auto it = procs_.find(pid);
  if (it == procs_.end()) return 0;
  const FakeProcess& p = it->second;
  if ((access & access::kVmRead) && p.deny_read) return 0;
  if ((access & access::kQueryInformation) && (p.deny_query || p.deny_read)) return 0;
  if ((access & access::kSetInformation) && p.deny_set) return 0;
  if ((access & access::kTerminate) && p.deny_terminate) return 0;
  ProcessHandle h = next_handle_++;
  open_[h] = Handle{pid, p.start_time, access};
  return h;
}

FakeProcess* FakeProcessTable::Live(ProcessHandle h) {
  auto it = open_.find(h);
  if (it == open_.end()) return nullptr;
  auto p = procs_.find(it->second.pid);
  if (p == procs_.end() || p->second.start_time != it->second.start_time) return nullptr;
  return &p->second;
}

bool FakeProcessTable::ModulePath(ProcessHandle h, std::string& path) {
  FakeProcess* p = Live(h);
  if (!p || p->no_modules) return false;
  path = p->module_path;
  return true;
}

FileIdentity FakeProcessTable::ImageIdentity(ProcessHandle h) {
  FakeProcess* p = Live(h);
  return p ? p->image : FileIdentity{};
}

std::uint64_t FakeProcessTable::WorkingSet(ProcessHandle h) {
  FakeProcess* p = Live(h);
  return p ? p->working_set : 0;
}

std::uint64_t FakeProcessTable::StartTime(ProcessHandle h) {
  FakeProcess* p = Live(h);
  return p ? p->start_time : 0;
}

std::uint32_t FakeProcessTable::ExitCode(ProcessHandle h) {
  FakeProcess* p = Live(h);
  return p ? p->exit_code : 0;
}

std::uint32_t FakeProcessTable::GetPriorityClass(ProcessHandle h) {
  FakeProcess* p = Live(h);
  return p ? p->priority_class : 0;
}

bool FakeProcessTable::SetPriorityClass(ProcessHandle h, std::uint32_t priority_class) {
  FakeProcess* p = Live(h);
  set_calls_.push_back({p ? p->pid : 0, priority_class});
  if (!p || p->fail_set) return false;
  p->priority_class = priority_class;
  return true;
}

bool FakeProcessTable::Terminate(ProcessHandle h, std::uint32_t exit_code) {
  FakeProcess* p = Live(h);
  if (!p) return false;
  terminate_calls_.push_back({p->pid, exit_code});
  p->exit_code = exit_code;
  p->in_snapshot = false;
  return true;
}

void FakeProcessTable::Close(ProcessHandle h) { open_.erase(h); }

std::string FakeFiles::FindFileName(const std::string& path) {
  ++searches_;
  auto it = files_.find(path);
  return it == files_.end() ? std::string() : it->second;
}

FileIdentity FakeFiles::IdentityAt(const std::string& path) {
  auto it = identities_.find(path);
  return it == identities_.end() ? FileIdentity{} : it->second;
}

void FakeProfile::Set(std::string file, std::string section, std::string key, std::string value) {
  values_[file + '\n' + section + '\n' + key] = std::move(value);
}

std::string FakeProfile::GetString(const std::string& section, const std::string& key,
                                   const std::string& file) {
  reads_.push_back({section, key, file});
  auto it = values_.find(file + '\n' + section + '\n' + key);
  return it == values_.end() ? std::string() : it->second;
}

std::optional<std::string> FakeSizeFormatter::FormatByteSize(std::uint64_t bytes) {
  if (fail) return std::nullopt;
  return FormatByteSizePortable(bytes);
}

std::unique_ptr<Picture> FakeIcons::GetFileIcon(const std::string& path, bool /*small*/) {
  ++queries;
  if (!with_icon.count(path)) return nullptr;
  return std::make_unique<FakePicture>(&live_pictures);
}

bool FakeImageList::Add(const std::string& key, std::unique_ptr<Picture> picture) {
  if (!picture || images_.count(key)) return false;
  images_[key] = std::move(picture);
  return true;
}

}  // namespace kelvar::fake
