// The one way the Win32 adapters include the Windows headers.  The portable
// core has a class named MessageBox and a parameter named `small`; the
// Windows headers define both as macros.  Every adapter includes this header first, so
// the macros are gone before a core header is read and the adapters call the
// W entry points by their full names.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif

// windows.h first: the others build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <tlhelp32.h>
// clang-format on

#undef MessageBox
#undef small
