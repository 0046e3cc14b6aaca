// SizeFormatter on Linux; see linux_size_formatter.h.
#include "platform/linux/linux_size_formatter.h"

#include "procinfo/size_text.h"

namespace kelvar {

std::optional<std::string> LinuxSizeFormatter::FormatByteSize(std::uint64_t bytes) {
  return FormatByteSizePortable(bytes);
}

}  // namespace kelvar
