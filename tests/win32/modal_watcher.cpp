// Watching modal loops in tests; see modal_watcher.h.
#include "modal_watcher.h"

namespace kelvar::win32::test {
namespace {

constexpr wchar_t kClass[] = L"KelvarTestModalWatcher";
constexpr UINT_PTR kTimer = 1;

struct FindBox {
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK FindVisibleBox(HWND hwnd, LPARAM lp) {
  auto* find = reinterpret_cast<FindBox*>(lp);
  wchar_t cls[32] = {}, title[128] = {};
  GetClassNameW(hwnd, cls, 32);
  GetWindowTextW(hwnd, title, 128);
  if (IsWindowVisible(hwnd) && lstrcmpW(cls, L"#32770") == 0 && lstrcmpW(title, find->title) == 0) {
    find->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ModalWatcher::ModalWatcher(std::function<bool()> action, int interval_ms) : action_(std::move(action)) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &ModalWatcher::Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassExW(&wc);
  hwnd_ = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetTimer(hwnd_, kTimer, static_cast<UINT>(interval_ms), nullptr);
}

ModalWatcher::~ModalWatcher() {
  KillTimer(hwnd_, kTimer);
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK ModalWatcher::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<ModalWatcher*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_TIMER && self && !self->done_) {
    self->done_ = self->action_();
    if (self->done_) KillTimer(hwnd, kTimer);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND OpenPopupMenu() {
  HWND menu = FindWindowW(L"#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

HWND OpenMessageBox(const wchar_t* title) {
  FindBox find{title, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), &FindVisibleBox, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

std::wstring MessageBoxText(HWND box) {
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);  // the message's static control
  return text;
}

}  // namespace kelvar::win32::test
