// The Linux directories; see linux_directories.h.
#include "platform/linux/linux_directories.h"

#include <unistd.h>

#include "procinfo/path_style.h"

namespace kelvar {

std::string LinuxDirectories::ProgramFolder() {
  std::string exe(4096, '\0');
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    if (n <= 0) return {};
    if (static_cast<std::size_t>(n) < exe.size()) {
      exe.resize(static_cast<std::size_t>(n));
      return FolderOf(exe);
    }
    if (exe.size() >= 65536) return {};
    exe.resize(exe.size() * 2);
  }
}

}  // namespace kelvar
