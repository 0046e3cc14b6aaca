// The remark file as both programs read it.  Its byte-order mark names its
// encoding as it does for the Windows profile reader: EF BB BF is UTF-8,
// FF FE is UTF-16LE and FE FF is UTF-16BE, whatever follows; a file without
// one is in code page 936, whatever the system's own code page is.  The
// value is found by the profile rules (procinfo/profile_text.h) and cut as
// the ANSI profile call hands it back: whole characters within 254 bytes of
// code page 936, a character that has no form there counting one byte for
// each UTF-16 unit (the "?" it would become).
#pragma once

#include <string>
#include <string_view>

#include "platform/cp936_codec.h"

namespace kelvar {

// The value of `key` in the first section named `section` of the file whose
// whole content is `file`, as UTF-8; empty when the section or key is
// missing.  `section` and `key` are UTF-8; in a code-page file a name the
// code page cannot hold matches nothing.
std::string ProfileFileValue(std::string_view file, std::string_view section, std::string_view key,
                             Cp936Codec& codec);

}  // namespace kelvar
