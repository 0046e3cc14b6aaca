// The operating-system side of the Windows program in one place: the
// adapters that answer the core's system ports.  The window takes them by
// reference, so a test can build its own set (the shell with
// FOF_NOCONFIRMATION) and the program keeps the plain one.
#pragma once

#include <cstdint>

#include "platform/win32/icons_win32.h"
#include "platform/win32/process_source_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/system_queries_win32.h"

namespace kelvar::win32 {

struct Win32System {
  explicit Win32System(FILEOP_FLAGS extra_file_op_flags = 0) : shell(extra_file_op_flags) {}

  Win32ProcessSource processes;
  Win32FileSearch files;
  Win32Directories dirs;
  Win32ProfileReader profile;
  Win32SizeFormatter sizes;
  Win32IconSource icons;
  Win32Shell shell;
};

}  // namespace kelvar::win32
