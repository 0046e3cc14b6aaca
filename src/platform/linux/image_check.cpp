// The sweep's image check; see image_check.h.
#include "platform/linux/image_check.h"

namespace kelvar::procfs {
namespace {

constexpr auto kFresh = std::chrono::milliseconds(1);
constexpr std::size_t kMostPaths = 4096;  // the paths remembered; beyond, they are forgotten together

}  // namespace

// The turns are spread over the sweeps by PID, so that no one sweep looks at
// every process.
bool ImageCheck::MustLook(ProcessEntry& entry) {
  const bool turn =
      look_every_ != 0 && (++entry.glances + static_cast<unsigned>(entry.pid)) % look_every_ == 0;
  ProcessAccess now;
  return turn || entry.MayHaveExeced() || !entry.access_known || !ReadAccess(entry.pidfd.get(), now) ||
         now != entry.access || !StillNames(entry.exe, entry.image);
}

bool ImageCheck::StillNames(const std::string& path, const FileIdentity& image) {
  if (!image.known || image.unlinked || path.empty()) return false;
  if (seen_.size() >= kMostPaths && !seen_.count(path)) seen_.clear();
  auto [it, asked_first] = seen_.try_emplace(path);
  Seen& seen = it->second;
  const auto now = clock_();
  if (asked_first || now - seen.when >= kFresh || now < seen.when) {
    seen.at = files_.IdentityAt(path);
    seen.when = now;
  }
  return SameFile(seen.at, image);
}

}  // namespace kelvar::procfs
