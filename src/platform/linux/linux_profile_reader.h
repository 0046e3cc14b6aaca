// ProfileReader on Linux: the portable reader with the Windows rules
// (procinfo/profile_text.h) over the bytes of the file.  The remark file was
// written for the Chinese ANSI code page, so it is read as GBK (code page 936)
// unless it starts with a UTF-8 byte-order mark: the section and key asked
// for are converted to GBK (a name GBK cannot hold matches nothing) and the
// value found is converted back, a byte that is not GBK becoming U+FFFD.
#pragma once

#include <string>

#include "platform/linux/iconv_codec.h"
#include "platform/profile_reader.h"

namespace kelvar {

class LinuxProfileReader final : public ProfileReader {
 public:
  LinuxProfileReader();
  std::string GetString(const std::string& section, const std::string& key, const std::string& file) override;

 private:
  std::string FromUtf8File(const std::string& text, const std::string& section, const std::string& key);
  std::string FromGbkFile(const std::string& text, const std::string& section, const std::string& key);

  procfs::IconvCodec to_gbk_;
  procfs::IconvCodec from_gbk_;
  procfs::IconvCodec utf8_checked_;
};

// The whole content of a regular file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);

}  // namespace kelvar
