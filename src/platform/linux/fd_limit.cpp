// The descriptor budget; see fd_limit.h.
#include "platform/linux/fd_limit.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <limits>

namespace kelvar::procfs {
namespace {

constexpr std::size_t kSpare = 256;
constexpr std::size_t kDescriptorsPerProcess = 2;

}  // namespace

std::size_t RaiseFdLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  if (limit.rlim_cur < limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > std::numeric_limits<std::size_t>::max())
    return std::numeric_limits<std::size_t>::max();
  return static_cast<std::size_t>(limit.rlim_cur);
}

std::size_t CacheBudget(std::size_t fd_limit) { return fd_limit > kSpare ? fd_limit - kSpare : 0; }

std::size_t DescriptorsFor(std::size_t processes) { return processes * kDescriptorsPerProcess + kSpare; }

// A copy of `fd` at number `count - 1` or above makes the table that large;
// closing it leaves the table as it is.
void ReserveDescriptors(int fd, std::size_t count) {
  if (count == 0 || count > static_cast<std::size_t>(std::numeric_limits<int>::max())) return;
  const int high = ::fcntl(fd, F_DUPFD_CLOEXEC, static_cast<int>(count - 1));
  if (high >= 0) ::close(high);
}

}  // namespace kelvar::procfs
