// The small system services the rules ask for: the name of the file at a
// path (FindFirstFileW), the system, Windows and program folders, one value
// of the remark file (GetPrivateProfileStringW) and the shell's rendering of
// a byte count (StrFormatByteSizeW).  Each answers one question per call and
// keeps nothing.
#pragma once

#include "platform/directories.h"
#include "platform/file_search.h"
#include "platform/profile_reader.h"
#include "platform/size_formatter.h"

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

// The file is read as Windows reads profiles: in the ANSI code page unless
// it starts with a byte-order mark.  A value is cut at the last whole
// character within 254 bytes of that encoding.
class Win32ProfileReader : public ProfileReader {
 public:
  std::string GetString(const std::string& section, const std::string& key, const std::string& file) override;
};

class Win32SizeFormatter : public SizeFormatter {
 public:
  std::optional<std::string> FormatByteSize(std::uint64_t bytes) override;
};

}  // namespace kelvar::win32
