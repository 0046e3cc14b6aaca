// ProfileReader on Linux: the remark file read by the rules both programs
// share (procinfo/profile_file.h), with the code page 936 of Windows.  The
// file is asked once for every new row, ten thousand times in the first pass
// over a large process table: its decoded text is kept while one stat of the
// path finds the same file unchanged (device, inode, size, modification
// time), and the file is read and decoded again otherwise.
#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/linux/linux_cp936_codec.h"
#include "platform/profile_reader.h"

namespace kelvar {

class LinuxProfileReader final : public ProfileReader {
 public:
  std::string GetString(const std::string& section, const std::string& key, const std::string& file) override;

 private:
  // The decoded text of `file`, kept or read now; false when it cannot be
  // read.
  bool Content(const std::string& file, const std::string*& text);

  LinuxCp936Codec codec_;
  std::string kept_path_, kept_text_;
  struct stat kept_stat_ {};
};

// The whole content of a regular file; false when it cannot be read.  With
// `st`, also the file's stat as it was opened.
bool ReadWholeFile(const std::string& path, std::string& out, struct stat* st = nullptr);

}  // namespace kelvar
