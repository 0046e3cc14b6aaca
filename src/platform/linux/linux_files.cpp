// FileSearch on Linux; see linux_files.h.
#include "platform/linux/linux_files.h"

#include <sys/stat.h>

namespace kelvar {

std::string LinuxFileSearch::FindFileName(const std::string& path) {
  // A NUL would cut the path short and name another file.
  if (path.empty() || path.find('\0') != std::string::npos) return {};
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return {};
  const std::size_t slash = path.rfind('/');
  return path.substr(slash == std::string::npos ? 0 : slash + 1);
}

}  // namespace kelvar
