// The files at the images' paths; see image_names.h.
#include "platform/linux/image_names.h"

namespace kelvar::procfs {
namespace {

constexpr auto kFresh = std::chrono::milliseconds(1);
constexpr std::size_t kMostPaths = 4096;  // the paths remembered; beyond, they are forgotten together

}  // namespace

bool ImageNames::StillNames(const std::string& path, const FileIdentity& image) {
  if (!image.known || image.unlinked || path.empty()) return false;
  auto it = seen_.find(path);
  if (it == seen_.end()) {
    if (seen_.size() >= kMostPaths) seen_.clear();
    it = seen_.try_emplace(path).first;
  }
  Seen& seen = it->second;
  const auto now = std::chrono::steady_clock::now();
  if (now - seen.when >= kFresh) {
    seen.at = files_.IdentityAt(path);
    seen.when = now;
  }
  return SameFile(seen.at, image);
}

}  // namespace kelvar::procfs
