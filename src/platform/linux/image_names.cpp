// The files at the images' paths; see image_names.h.
#include "platform/linux/image_names.h"

#include <sys/stat.h>

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
    struct stat st;
    seen.at = ::lstat(path.c_str(), &st) == 0 ? FileIdentity{true, static_cast<std::uint64_t>(st.st_dev),
                                                             static_cast<std::uint64_t>(st.st_ino), false}
                                              : FileIdentity{};
    seen.when = now;
  }
  return SameFile(seen.at, image);
}

}  // namespace kelvar::procfs
