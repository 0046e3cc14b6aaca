// The small system services the rules ask for: the name of the file at a
// path (FindFirstFileW), the system, Windows and program folders, one value
// of the remark file and the shell's rendering of a byte count
// (StrFormatByteSizeW).  Each answers one question per call and
// keeps nothing.
#pragma once

#include "platform/directories.h"
#include "platform/file_search.h"
#include "platform/profile_reader.h"
#include "platform/size_formatter.h"
#include "platform/win32/cp936_win32.h"

namespace kelvar::win32 {

class Win32FileSearch : public FileSearch {
 public:
  std::string FindFileName(const std::string& path) override;
  // The volume serial and file index of the file at the path.
  FileIdentity IdentityAt(const std::string& path) override;
};

class Win32Directories : public Directories {
 public:
  std::string SystemDirectory() override;
  std::string WindowsDirectory() override;
  std::string ProgramFolder() override;
};

// The remark file is read by the rules both programs share
// (procinfo/profile_file.h): GetPrivateProfileStringW would decode a file
// without a byte-order mark in the system's ANSI code page, which is 936
// only on a Chinese Windows.  The file is read for every new row; its
// decoded text is kept while the file holds the very same bytes.
class Win32ProfileReader : public ProfileReader {
 public:
  std::string GetString(const std::string& section, const std::string& key, const std::string& file) override;

 private:
  Win32Cp936Codec codec_;
  std::string kept_bytes_, kept_text_;
};

class Win32SizeFormatter : public SizeFormatter {
 public:
  std::optional<std::string> FormatByteSize(std::uint64_t bytes) override;
};

}  // namespace kelvar::win32
