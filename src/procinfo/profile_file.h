// The remark file as both programs read it: decoded whole first, as the
// Windows profile reader decodes it, then read by the profile rules
// (procinfo/profile_text.h), then cut as the ANSI profile call hands a value
// back.  Its byte-order mark names its encoding: EF BB BF is UTF-8, FF FE is
// UTF-16LE and FE FF is UTF-16BE, whatever follows; a file without one is
// in code page 936, whatever the system's own code page is.  The cut keeps
// whole characters within 254 bytes of code page 936, a character that has
// no form there counting one byte for each UTF-16 unit (the "?" it would
// become).
#pragma once

#include <string>
#include <string_view>

#include "platform/cp936_codec.h"

namespace kelvar {

// The whole text of the file whose content is `file`, as UTF-8.
std::string ProfileFileText(std::string_view file, Cp936Codec& codec);

// The value of `key` in the first section named `section` of the UTF-8
// `text` that ProfileFileText gave, cut; empty when the section or key is
// missing.
std::string ProfileTextValue(std::string_view text, std::string_view section, std::string_view key,
                             Cp936Codec& codec);

}  // namespace kelvar
