// FileSearch on Linux; see linux_files.h.
#include "platform/linux/linux_files.h"

#include <sys/stat.h>

namespace kelvar {
namespace {

// A NUL would cut the path short and name another file.
bool Usable(const std::string& path) { return !path.empty() && path.find('\0') == std::string::npos; }

}  // namespace

std::string LinuxFileSearch::FindFileName(const std::string& path) {
  if (!Usable(path)) return {};
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return {};
  const std::size_t slash = path.rfind('/');
  return path.substr(slash == std::string::npos ? 0 : slash + 1);
}

FileIdentity IdentityOfLink(const std::string& path) {
  struct stat st;
  if (!Usable(path) || ::lstat(path.c_str(), &st) != 0) return {};
  return FileIdentity{true, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

FileIdentity LinuxFileSearch::IdentityAt(const std::string& path) { return IdentityOfLink(path); }

}  // namespace kelvar
