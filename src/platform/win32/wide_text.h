// Text at the Win32 boundary: the core speaks UTF-8, the W entry points speak
// UTF-16.  The remark file alone is in the ANSI code page, so the byte length
// of a value in that code page is measured here too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvar::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The longest head of `text` whose encoding in code page `code_page` fits in
// `max_bytes`, never cutting a character (a surrogate pair stays whole).
std::wstring_view FitInCodePage(std::wstring_view text, unsigned code_page, std::size_t max_bytes);

}  // namespace kelvar::win32
