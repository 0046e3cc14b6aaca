// File-system redirection.  The 32-bit build on 64-bit Windows sees
// SysWOW64 where a path says System32, so a 64-bit process's executable in
// System32 (whose path the kernel reports) would be looked up, shown or
// deleted in the wrong folder, or not found.  Calls that act on the file a
// row names, inside this process, go through the "Sysnative" alias instead.
// (A folder handed to another program, such as Explorer, is not mapped: the
// alias exists only for 32-bit processes.)
#pragma once

#include <string>

namespace kelvar::win32 {

// `path` unchanged, or with its system-directory head replaced by
// %windir%\Sysnative when this is a 32-bit process on 64-bit Windows.
std::wstring NativeFilePath(const std::wstring& path);

}  // namespace kelvar::win32
