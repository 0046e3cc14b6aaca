// ProfileReader on Linux: the remark file read by the rules both programs
// share (procinfo/profile_file.h), with glibc's iconv for code page 936.
#pragma once

#include <string>

#include "platform/linux/linux_cp936_codec.h"
#include "platform/profile_reader.h"

namespace kelvar {

class LinuxProfileReader final : public ProfileReader {
 public:
  std::string GetString(const std::string& section, const std::string& key, const std::string& file) override;

 private:
  LinuxCp936Codec codec_;
};

// The whole content of a regular file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);

}  // namespace kelvar
