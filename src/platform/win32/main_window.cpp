// MainForm's native window; see main_window.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/main_window.h"

#include <algorithm>

#include "platform/win32/dpi_win32.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/wide_text.h"
#include "ui/form_definition.h"

namespace kelvar::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"KelvarPMMain";
constexpr int kListHostId = 1, kListId = 2, kStatusId = 3;

// "宋体" 9 points at `dpi`, normal weight, in the GB2312 character set it is
// made for.
HFONT CreateFormFont(UINT dpi) {
  int height = -MulDiv(form::kFontPoints, static_cast<int>(dpi), 72);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     Widen(form::kFontName).c_str());
}

HICON LoadProgramIcon(HINSTANCE instance, int size) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KELVAR), IMAGE_ICON, size, size, 0));
}

}  // namespace

SIZE ClientSize(UINT dpi) {
  return {ScaleToDpi(form::kClientWidthTwips / kTwipsPerPixel, dpi),
          ScaleToDpi(form::kClientHeightTwips / kTwipsPerPixel, dpi)};
}

MainWindow::MainWindow(Win32System& system) : system_(system) {}

MainWindow::~MainWindow() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
}

bool MainWindow::Create(HINSTANCE instance) {
  HICON icon = LoadProgramIcon(instance, GetSystemMetrics(SM_CXICON));
  HICON small_icon = LoadProgramIcon(instance, GetSystemMetrics(SM_CXSMICON));
  if (!RegisterWindowClass(instance, kWindowClass, icon, small_icon)) return false;
  DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  SIZE client = ClientSize(WindowDpi(nullptr));
  RECT outer{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&outer, style, TRUE, 0);
  CreateWindowExW(0, kWindowClass, Widen(form::kCaption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                  outer.right - outer.left, outer.bottom - outer.top, nullptr, menus_.bar(), instance, this);
  return hwnd_ != nullptr && form_ != nullptr;
}

void MainWindow::Show(int show_command) {
  ShowWindow(hwnd_, show_command);
  UpdateWindow(hwnd_);
}

int MainWindow::Run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchWithAccelerators(msg, hwnd_, menus_.accelerators());
  return static_cast<int>(msg.wParam);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate();
    case WM_SIZE:
      OnSize();
      return 0;
    case kDpiChangedMessage:
      OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(lp));
    case WM_COMMAND:
      OnCommand(LOWORD(wp));
      return 0;
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case WM_CONTEXTMENU:  // the Menu key while the window, not the list, has the focus
      if (!form_ || !IsKeyboardContextMenu(lp)) return DefWindowProcW(hwnd_, msg, wp, lp);
      form_->OnContextMenuKey();
      return 0;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

LRESULT MainWindow::OnCreate() {
  CreateControls();
  CreateForm();
  form_->OnLoad();
  return 0;
}

void MainWindow::CreateControls() {
  const UINT dpi = WindowDpi(hwnd_);
  font_ = CreateFormFont(dpi);
  menus_.SetOwner(hwnd_);
  list_host_ = CreateContainer(hwnd_, kListHostId);
  list_ = std::make_unique<Win32ListView>(list_host_, kListId, images_, font_, dpi);
  status_ = std::make_unique<Win32StatusBar>(hwnd_, kStatusId, font_, dpi);
  window_ = std::make_unique<Win32Window>(hwnd_, list_host_, list_->hwnd());
  msgbox_ = std::make_unique<Win32MessageBox>(hwnd_);
  system_.shell.SetOwner(hwnd_);
  timers_ = std::make_unique<Win32Timers>(hwnd_);
  pump_ = std::make_unique<Win32MessagePump>(hwnd_, menus_.accelerators());
  RECT client{};
  GetClientRect(hwnd_, &client);
  MoveWindow(list_host_, 0, 0, client.right, client.bottom, FALSE);
}

void MainWindow::CreateForm() {
  MonitorPorts os{system_.processes, system_.files, system_.dirs, system_.profile, system_.icons, images_};
  FormPorts ui{*window_, *list_, menus_, *msgbox_, *timers_, *pump_, system_.shell, *status_, system_.sizes};
  form_ = std::make_unique<MainForm>(os, ui);
  RowStore& rows = form_->Rows();
  ListEvents events;
  events.column_click = [this](int column) { form_->OnColumnClick(column); };
  events.mouse_down = [this](int button, int x, int y) { form_->OnMouseDown(button, x, y); };
  events.item_click = [this](int index) { form_->OnItemClick(index); };
  events.context_key = [this] { form_->OnContextMenuKey(); };
  list_->Attach(&rows, std::move(events));
  rows.SetObserver(list_.get());
}

// the status bar is docked to the bottom and the list host to the left over the rest of the
// client height; then the form's layout rule runs.
void MainWindow::OnSize() {
  if (!status_) return;
  SendMessageW(status_->hwnd(), WM_SIZE, 0, 0);
  RECT client{}, bar{};
  GetClientRect(hwnd_, &client);
  GetWindowRect(status_->hwnd(), &bar);
  int height = std::max(0L, client.bottom - (bar.bottom - bar.top));
  SetWindowPos(list_host_, nullptr, 0, 0, window_->ListHostWidth(), height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (form_) form_->OnResize();
}

// The window moved to a monitor of another DPI (or that monitor's DPI
// changed): the font, the columns and the panels follow, and the window
// takes the size and place Windows suggests.
void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  if (!list_ || !status_) return;
  HFONT old = font_;
  font_ = CreateFormFont(dpi);
  list_->SetDpi(dpi, font_);
  status_->SetDpi(dpi, font_);
  DeleteObject(old);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT MainWindow::OnNotify(const NMHDR* header) {
  if (list_ && header->hwndFrom == list_->hwnd()) return list_->HandleNotify(header);
  return 0;
}

void MainWindow::OnCommand(UINT id) {
  if (form_) form_->OnCommand(menus_.CommandOf(id));
}

void MainWindow::OnTimer(UINT_PTR id) {
  if (form_) form_->OnTick(static_cast<form::Timer>(id));
}

// The keyboard goes to the list, the window's only control that takes it.
void MainWindow::OnSetFocus() {
  if (list_) SetFocus(list_->hwnd());
}

// The timers stop with the window; the program ends as no window remains.
void MainWindow::OnDestroy() {
  if (timers_) timers_->StopAll();
  if (form_) form_->Rows().SetObserver(nullptr);
  PostQuitMessage(0);
}

}  // namespace kelvar::win32
