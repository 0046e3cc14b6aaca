// The kept processes; see process_cache.h.
#include "platform/linux/process_cache.h"

#include <sys/epoll.h>

#include <algorithm>

namespace kelvar::procfs {
namespace {

constexpr int kBatch = 64;  // exits taken from the epoll set per call

}  // namespace

ProcessCache::ProcessCache(std::size_t budget)
    : budget_(budget), epoll_(budget > 0 ? ::epoll_create1(EPOLL_CLOEXEC) : -1) {}

void ProcessCache::DropEndedOlderThan(std::chrono::steady_clock::duration age) {
  if (std::chrono::steady_clock::now() - dropped_ >= age) DropEnded();
}

void ProcessCache::DropEnded() {
  dropped_ = std::chrono::steady_clock::now();
  if (!epoll_ || entries_.empty()) return;
  epoll_event events[kBatch];
  int n = 0;
  do {
    n = ::epoll_wait(epoll_.get(), events, kBatch, 0);
    for (int i = 0; i < n; ++i) Drop(static_cast<Pid>(events[i].data.u32));
  } while (n == kBatch);
}

std::shared_ptr<ProcessEntry> ProcessCache::Find(Pid pid) const {
  auto it = entries_.find(pid);
  return it == entries_.end() ? nullptr : it->second.entry;
}

// Whole entries are kept while every process the table holds would still
// find room for its pidfd.
bool ProcessCache::Keep(const std::shared_ptr<ProcessEntry>& entry) {
  if (!epoll_ || held_ >= budget_ || entries_.count(entry->pid)) return false;
  if (entry->statm && (held_ + 2 > budget_ || whole_ + std::max(expected_, entries_.size() + 1) >= budget_))
    entry->statm.Reset();
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u32 = static_cast<std::uint32_t>(entry->pid);
  if (::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, entry->pidfd.get(), &event) != 0) return false;
  const bool whole = static_cast<bool>(entry->statm);
  entries_.emplace(entry->pid, Kept{entry, whole});
  held_ += whole ? 2 : 1;
  whole_ += whole ? 1 : 0;
  return true;
}

// The pidfd leaves the epoll set now, not when it is closed: a handle may
// hold it open for a while, and its exit must not be reported again against
// a newer process that has the PID by then.
void ProcessCache::Drop(Pid pid) {
  auto it = entries_.find(pid);
  if (it == entries_.end()) return;
  ProcessEntry& entry = *it->second.entry;
  held_ -= it->second.whole ? 2 : 1;
  whole_ -= it->second.whole ? 1 : 0;
  entry.ended = true;
  ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, entry.pidfd.get(), nullptr);
  entries_.erase(it);
}

}  // namespace kelvar::procfs
