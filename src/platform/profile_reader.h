// Profile (INI) reader: one value of one key of one section of a file, with
// the rules of the Windows profile reader: section and key names without
// regard to letter case, the first matching section and key win, the empty
// text when the file, section or key is missing, and a value cut to at most
// 254 bytes of the file's encoding (never inside a character).
#pragma once

#include <string>

namespace kelvar {

class ProfileReader {
 public:
  virtual ~ProfileReader() = default;
  // The value as UTF-8 text, or empty.
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& file) = 0;
};

}  // namespace kelvar
