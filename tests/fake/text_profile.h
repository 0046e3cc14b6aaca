// A profile reader over in-memory files, with the portable reader's rules:
// what the Linux program's reader does, minus the file system.  A file that
// was never put there is a missing file.
#pragma once

#include <map>
#include <string>

#include "platform/profile_reader.h"
#include "procinfo/profile_text.h"

namespace kelvar::fake {

class TextProfile : public ProfileReader {
 public:
  void Put(std::string file, std::string text) { files_[std::move(file)] = std::move(text); }
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& file) override {
    auto it = files_.find(file);
    if (it == files_.end()) return std::string();
    return ProfileValue(it->second, section, key, TextEncoding::kUtf8);
  }

 private:
  std::map<std::string, std::string> files_;
};

}  // namespace kelvar::fake
