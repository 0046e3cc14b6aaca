// The fake operating system of the core's tests.
#include "fake/fake_system.h"

#include <algorithm>
#include <stdexcept>

#include "procinfo/size_text.h"

namespace kelvar::fake {

FakeProcess& FakeProcessTable::Start(Pid pid, std::string path, std::uint64_t working_set) {
  FakeProcess p;
  p.pid = pid;
  p.module_path = std::move(path);
  p.working_set = working_set;
  p.start_time = next_start_++;
  procs_[pid] = p;
  order_.erase(std::remove(order_.begin(), order_.end(), pid), order_.end());
  order_.push_back(pid);
  return procs_[pid];
}

FakeProcess& FakeProcessTable::Reuse(Pid pid, std::string path, std::uint64_t working_set) {
  return Start(pid, std::move(path), working_set);
}

FakeProcess& FakeProcessTable::Get(Pid pid) {
  auto it = procs_.find(pid);
  if (it == procs_.end()) throw std::out_of_range("no fake process");
  return it->second;
}

void FakeProcessTable::ClearCalls() {
  reads_ = image_reads_ = 0;
  ended_.clear();
  set_calls_.clear();
}

bool FakeProcessTable::Snapshot(std::vector<Pid>& pids) {
  pids.clear();
  if (fail_snapshot_) return false;
  for (Pid pid : order_)
    if (!procs_.at(pid).ended) pids.push_back(pid);
  return true;
}

FakeProcess* FakeProcessTable::Live(const ProcessId& process) {
  auto it = procs_.find(process.pid);
  if (it == procs_.end() || it->second.ended || !SameProcess(process, it->second.start_time)) return nullptr;
  return &it->second;
}

bool FakeProcessTable::Read(Pid pid, bool with_image, ProcessRecord& record) {
  ++reads_;
  FakeProcess* p = Live({pid, 0});
  if (!p || p->unreadable) return false;
  record.id = {pid, p->start_time};
  record.working_set = p->working_set;
  record.priority = p->priority;
  if (with_image) {
    ++image_reads_;
    record.path = p->module_path;
    record.image = p->image;
  }
  return true;
}

Liveness FakeProcessTable::Look(const ProcessId& process, FileIdentity& image) {
  FakeProcess* p = Live(process);
  if (!p) return Liveness::kGone;
  if (p->unreadable) return Liveness::kUnreadable;
  image = p->image;
  return Liveness::kRunning;
}

bool FakeProcessTable::End(const ProcessId& process) {
  FakeProcess* p = Live(process);
  if (!p) return false;
  p->ended = true;
  ended_.push_back(process);
  return true;
}

bool FakeProcessTable::SetPriority(const ProcessId& process, Priority priority) {
  set_calls_.emplace_back(process, priority);
  FakeProcess* p = Live(process);
  if (!p || p->fail_set) return false;
  p->priority = priority;
  return true;
}

std::string FakeFiles::FindFileName(const std::string& path) {
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
