// ProfileReader on Linux; see linux_profile_reader.h.
#include "platform/linux/linux_profile_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/unique_fd.h"
#include "procinfo/profile_text.h"

namespace kelvar {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  procfs::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat st;
  // Only a regular file: a FIFO or a device could block or never end (and
  // opening without O_NONBLOCK would already wait for a FIFO's writer).
  if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
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

LinuxProfileReader::LinuxProfileReader()
    : to_gbk_("CP936", "UTF-8"), from_gbk_("UTF-8", "CP936"), utf8_checked_("UTF-8", "UTF-8") {}

std::string LinuxProfileReader::GetString(const std::string& section, const std::string& key,
                                          const std::string& file) {
  std::string text;
  if (!ReadWholeFile(file, text)) return {};
  if (std::string_view(text).substr(0, kUtf8Bom.size()) == kUtf8Bom) return FromUtf8File(text, section, key);
  return FromGbkFile(text, section, key);
}

// The portable reader skips the mark itself.  The value may still hold bytes
// that are not UTF-8; the caller gets text, so they become U+FFFD.
std::string LinuxProfileReader::FromUtf8File(const std::string& text, const std::string& section,
                                             const std::string& key) {
  std::string value = ProfileValue(text, section, key, TextEncoding::kUtf8);
  return utf8_checked_.ConvertReplacing(value);
}

std::string LinuxProfileReader::FromGbkFile(const std::string& text, const std::string& section,
                                            const std::string& key) {
  std::string gbk_section, gbk_key;
  if (!to_gbk_.ConvertStrict(section, gbk_section) || !to_gbk_.ConvertStrict(key, gbk_key)) return {};
  std::string value = ProfileValue(text, gbk_section, gbk_key, TextEncoding::kDoubleByte);
  return from_gbk_.ConvertReplacing(value);
}

}  // namespace kelvar
