// Text at the Win32 boundary: the core speaks UTF-8, the W entry points speak
// UTF-16.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvar::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace kelvar::win32
