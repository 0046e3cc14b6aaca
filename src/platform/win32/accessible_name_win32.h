// The name a screen reader reads for a control that has no label and whose
// window text is not a name (a status bar's window text is its first
// panel's text).
#pragma once

#include "platform/win32/win32_api.h"

namespace kelvar::win32 {

// Annotates `control` (Dynamic Annotation, through COM: no import of
// oleacc.dll) so that MSAA names it `name`; false where the system has no
// annotation service.
bool SetAccessibleName(HWND control, const wchar_t* name);

}  // namespace kelvar::win32
