// Byte-size formatter: a short readable size with its unit, rendered as the
// Windows shell's StrFormatByteSize renders it on a Chinese Windows
// ("532 字节", "1.52 KB", "15.2 MB", "152 MB").
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelvar {

class SizeFormatter {
 public:
  virtual ~SizeFormatter() = default;
  // nullopt when the formatter fails.
  virtual std::optional<std::string> FormatByteSize(std::uint64_t bytes) = 0;
};

}  // namespace kelvar
