// ProfileReader on Linux; see linux_profile_reader.h.
#include "platform/linux/linux_profile_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/unique_fd.h"
#include "procinfo/profile_file.h"

namespace kelvar {

namespace {

bool SameVersion(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& out, struct stat* opened) {
  out.clear();
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  procfs::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat st;
  // Only a regular file: a FIFO or a device could block or never end (and
  // opening without O_NONBLOCK would already wait for a FIFO's writer).
  if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (opened) *opened = st;
  out.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == out.size()) out.resize(out.size() * 2);
    ssize_t n = ::read(fd.get(), out.data() + have, out.size() - have);
    if (n < 0) return false;
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  out.resize(have);
  return true;
}

std::string LinuxProfileReader::GetString(const std::string& section, const std::string& key,
                                          const std::string& file) {
  const std::string* text = nullptr;
  if (!Content(file, text)) return {};
  return ProfileTextValue(*text, section, key, codec_);
}

bool LinuxProfileReader::Content(const std::string& file, const std::string*& text) {
  struct stat now {};
  if (file.empty() || file != kept_path_ || ::stat(file.c_str(), &now) != 0 ||
      !SameVersion(now, kept_stat_)) {
    kept_path_.clear();
    std::string bytes;
    if (!ReadWholeFile(file, bytes, &kept_stat_)) return false;
    kept_text_ = ProfileFileText(bytes, codec_);
    kept_path_ = file;
  }
  text = &kept_text_;
  return true;
}

}  // namespace kelvar
