// The Window port and the list host; see window_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/window_win32.h"

#include <cmath>

namespace kelvar::win32 {
namespace {

constexpr wchar_t kContainerClass[] = L"KelvarListHost";

SIZE WindowSize(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

int ToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY || msg == WM_COMMAND) return SendMessageW(GetParent(hwnd), msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

double Win32Window::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN) * double{kTwipsPerPixel}; }
double Win32Window::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN) * double{kTwipsPerPixel}; }
double Win32Window::OuterWidth() { return WindowSize(window_).cx * double{kTwipsPerPixel}; }
double Win32Window::OuterHeight() { return WindowSize(window_).cy * double{kTwipsPerPixel}; }

void Win32Window::Move(double left_twips, double top_twips) {
  SetWindowPos(window_, nullptr, ToPixels(left_twips), ToPixels(top_twips), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Win32Window::ListHostWidth() { return WindowSize(list_host_).cx; }
int Win32Window::ListHostHeight() { return WindowSize(list_host_).cy; }

void Win32Window::SetListHostWidth(int pixels) {
  SetWindowPos(list_host_, nullptr, 0, 0, pixels, ListHostHeight(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::MoveList(int left, int top, int width, int height) {
  MoveWindow(list_, left, top, width, height, TRUE);
}

// No SWP_NOACTIVATE: the window is activated as well, as the call has
// always been made.
void Win32Window::SetTopMost(bool topmost) {
  SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

// Unloading the window is closing it: the same road as its close button.
void Win32Window::Close() { PostMessageW(window_, WM_CLOSE, 0, 0); }

HWND CreateContainer(HWND parent, int id) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &ContainerProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kContainerClass;
  RegisterClassExW(&wc);  // fails harmlessly once registered
  return CreateWindowExW(0, kContainerClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

}  // namespace kelvar::win32
