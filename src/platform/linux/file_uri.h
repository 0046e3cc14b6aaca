// Percent-encoding of path bytes, for file URIs and for the Path key of a
// trash info file.  A Linux path is bytes and need not be UTF-8; going
// through QString or QUrl would change bytes that are not, so the encoding
// works on the bytes themselves (RFC 2396: unreserved characters and "/"
// stay, every other byte becomes %XX).
#pragma once

#include <string>
#include <string_view>

namespace kelvar {

std::string PercentEncodePath(std::string_view path);
// "file://" and the encoded absolute path.
std::string FileUri(std::string_view path);

}  // namespace kelvar
