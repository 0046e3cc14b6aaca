// The kept processes; see process_cache.h.
#include "platform/linux/process_cache.h"

#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/resource.h>

#include <algorithm>
#include <limits>

namespace kelvar::procfs {
namespace {

constexpr int kBatch = 64;           // exits taken from the epoll set per call
constexpr std::size_t kSpare = 256;  // descriptors left for the rest of the program

}  // namespace

std::size_t RaiseFdLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  const rlimit raised{limit.rlim_max, limit.rlim_max};
  if (limit.rlim_cur < limit.rlim_max && ::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  return static_cast<std::size_t>(std::min<rlim_t>(limit.rlim_cur, std::numeric_limits<int>::max()));
}

ProcessCache::ProcessCache(std::size_t fd_limit)
    : fd_limit_(fd_limit),
      budget_(fd_limit > kSpare ? fd_limit - kSpare : 0),
      epoll_(budget_ > 0 ? ::epoll_create1(EPOLL_CLOEXEC) : -1) {}

// A copy of a descriptor at the top of the room makes the table that large;
// closing it leaves the table as it is.
void ProcessCache::Expect(std::size_t processes) {
  expected_ = processes;
  const std::size_t want = std::min(processes * 3 + kSpare, fd_limit_);
  if (want <= reserved_ || !epoll_) return;
  const int high = ::fcntl(epoll_.get(), F_DUPFD_CLOEXEC, static_cast<int>(want - 1));
  if (high >= 0) ::close(high);
  reserved_ = want;
}

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

ProcessEntry* ProcessCache::Find(Pid pid) const {
  auto it = entries_.find(pid);
  return it == entries_.end() ? nullptr : it->second.entry.get();
}

// Every process the table holds keeps room for its pidfd, and for its statm
// before any keeps its exe link.
ProcessEntry* ProcessCache::Keep(std::unique_ptr<ProcessEntry>& entry) {
  const std::size_t held = entries_.size() + statms_ + links_;
  if (!epoll_ || held >= budget_ || entries_.count(entry->pid)) return nullptr;
  const std::size_t processes = std::max(expected_, entries_.size() + 1);
  if (2 * processes + links_ >= budget_) {
    entry->exe_link.Reset();
  }
  if (processes + statms_ + links_ >= budget_) entry->statm.Reset();
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u32 = static_cast<std::uint32_t>(entry->pid);
  if (::epoll_ctl(epoll_.get(), EPOLL_CTL_ADD, entry->pidfd.get(), &event) != 0) return nullptr;
  const bool statm = static_cast<bool>(entry->statm), exe_link = static_cast<bool>(entry->exe_link);
  statms_ += statm ? 1 : 0;
  links_ += exe_link ? 1 : 0;
  Kept& kept = entries_[entry->pid];
  kept = Kept{std::move(entry), statm, exe_link};
  return kept.entry.get();
}

void ProcessCache::Drop(Pid pid) {
  auto it = entries_.find(pid);
  if (it == entries_.end()) return;
  statms_ -= it->second.statm ? 1 : 0;
  links_ -= it->second.exe_link ? 1 : 0;
  ::epoll_ctl(epoll_.get(), EPOLL_CTL_DEL, it->second.entry->pidfd.get(), nullptr);
  entries_.erase(it);
}

}  // namespace kelvar::procfs
