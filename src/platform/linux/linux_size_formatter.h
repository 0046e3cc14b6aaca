// SizeFormatter on Linux: there is no shell formatter to call, so the
// portable rendering of StrFormatByteSize is the formatter.  It cannot fail.
#pragma once

#include "platform/size_formatter.h"

namespace kelvar {

class LinuxSizeFormatter final : public SizeFormatter {
 public:
  std::optional<std::string> FormatByteSize(std::uint64_t bytes) override;
};

}  // namespace kelvar
