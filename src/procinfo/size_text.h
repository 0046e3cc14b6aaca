// The portable byte-size formatter: StrFormatByteSize's rendering for the
// platforms without it, and FormatSize, which turns the memory total into
// the status-bar text through whichever formatter the platform supplies.
#pragma once

#include <cstdint>
#include <string>

#include "platform/size_formatter.h"

namespace kelvar {

// "0 字节" .. "1023 字节", then three significant figures, cut not
// rounded: "1.46 KB", "10.0 KB", "100 KB", "0.99 MB", "152 MB", "1.00 TB".
std::string FormatByteSizePortable(std::uint64_t bytes);

// The size text for the status bar; empty when the formatter fails.
std::string FormatSize(std::uint64_t bytes, SizeFormatter& formatter);

}  // namespace kelvar
