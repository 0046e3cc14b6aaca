// The start-time cache of the refresh; see start_time_cache.h.
#include "platform/linux/start_time_cache.h"

#include <iterator>

namespace kelvar::procfs {

std::optional<std::uint64_t> StartTimeCache::Find(Pid pid, const InodeStamp& stamp) {
  auto it = entries_.find(pid);
  if (it == entries_.end() || !(it->second.stamp == stamp)) return std::nullopt;
  it->second.pass = pass_;
  return it->second.start_time;
}

void StartTimeCache::Remember(Pid pid, const InodeStamp& stamp, std::uint64_t start_time) {
  entries_[pid] = Entry{stamp, start_time, pass_};
}

void StartTimeCache::NextPass() {
  ++pass_;
  for (auto it = entries_.begin(); it != entries_.end();)
    it = (pass_ - it->second.pass > 2) ? entries_.erase(it) : std::next(it);
}

}  // namespace kelvar::procfs
