// The window's small controls and services; see controls_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/controls_win32.h"

#include "actions/commands.h"
#include "platform/win32/accessible_name_win32.h"
#include "platform/win32/dpi_win32.h"
#include "platform/win32/wide_text.h"
#include "procinfo/message_field.h"
#include "ui/form_definition.h"

namespace kelvar::win32 {

Win32StatusBar::Win32StatusBar(HWND parent, int id, HFONT font, UINT dpi)
    : hwnd_(CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr)) {
  SetDpi(dpi, font);
  SetAccessibleName(hwnd_, L"状态栏");
}

void Win32StatusBar::SetDpi(UINT dpi, HFONT font) {
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // SB_SETPARTS takes right edges; the last panel stretches (-1).
  int edges[form::kPanels.size()];
  int right = 0;
  for (std::size_t i = 0; i < form::kPanels.size(); ++i) {
    right += ScaleToDpi(form::kPanels[i].width, dpi);
    edges[i] = form::kPanels[i].width ? right : -1;
  }
  SendMessageW(hwnd_, SB_SETPARTS, form::kPanels.size(), reinterpret_cast<LPARAM>(edges));
}

void Win32StatusBar::SetPanelText(int panel, const std::string& text) {
  SendMessageW(hwnd_, SB_SETTEXTW, static_cast<WPARAM>(panel - 1),
               reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

UINT NoticeStyle(Notice notice) {
  return MB_OK | (notice == Notice::kError ? MB_ICONERROR : MB_ICONINFORMATION);
}

// A box shows at most the lines a screen holds; see ShortenedMessage.
int Win32MessageBox::Show(const std::string& text, UINT style) {
  return MessageBoxW(owner_, Widen(ShortenedMessage(text)).c_str(), Widen(kAppTitle).c_str(), style);
}

bool Win32MessageBox::Confirm(const std::string& text) { return Show(text, kConfirmStyle) == IDOK; }

void Win32MessageBox::Tell(const std::string& text, Notice notice) { Show(text, NoticeStyle(notice)); }

void Win32Timers::Start(int id, int interval_ms) {
  SetTimer(owner_, static_cast<UINT_PTR>(id), static_cast<UINT>(interval_ms), nullptr);
  started_.push_back(id);
}

void Win32Timers::StopAll() {
  for (int id : started_) KillTimer(owner_, static_cast<UINT_PTR>(id));
  started_.clear();
}

void DispatchWithAccelerators(MSG& msg, HWND window, HACCEL accelerators) {
  if (accelerators && window && TranslateAcceleratorW(window, accelerators, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void Win32MessagePump::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchWithAccelerators(msg, window_, accel_);
  }
}

}  // namespace kelvar::win32
