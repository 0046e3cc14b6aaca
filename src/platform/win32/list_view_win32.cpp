// the list on Win32; see list_view_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/list_view_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "platform/win32/dpi_win32.h"
#include "platform/win32/wide_text.h"

namespace kelvar::win32 {
namespace {

constexpr UINT_PTR kInputSubclass = 1;
// The control answers -1 for no item, as the store does.
static_assert(kNoRow == -1);

// While the control is brought in step with the store, the selection changes
// it reports are the store's own, not the user's.
class Guard {
 public:
  explicit Guard(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~Guard() { flag_ = was_; }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

 private:
  bool& flag_;
  bool was_;
};

// The last visible row (0-based), or -1 when none is.
int LastVisible(HWND list) {
  int count = ListView_GetItemCount(list);
  if (count == 0) return -1;
  int last = ListView_GetTopIndex(list) + ListView_GetCountPerPage(list);
  return std::min(last, count - 1);
}

}  // namespace

Win32ListView::Win32ListView(HWND parent, int id, const Win32ImageList& images, HFONT font, UINT dpi)
    // The window text is the name a screen reader gives the unlabeled list.
    : hwnd_(CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"进程列表",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                            0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr)),
      images_(images),
      dpi_(dpi) {
  ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  ListView_SetImageList(hwnd_, images.handle(), LVSIL_SMALL);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowSubclass(hwnd_, &Win32ListView::InputProc, kInputSubclass, reinterpret_cast<DWORD_PTR>(this));
}

Win32ListView::~Win32ListView() {
  if (IsWindow(hwnd_)) RemoveWindowSubclass(hwnd_, &Win32ListView::InputProc, kInputSubclass);
}

void Win32ListView::Attach(const RowSource* rows, ListEvents events) {
  Guard guard(syncing_);
  rows_ = rows;
  events_ = std::move(events);
  CountChanged();
  InvalidateRect(hwnd_, nullptr, FALSE);
  SyncSelection();
}

// A press is the form's OnMouseDown.  A right press is the form's alone: the
// control's own right-click handling would move or clear the selection
// after the context menu has closed.  WM_CONTEXTMENU at (-1, -1) is the
// Menu key or Shift+F10.  Item text asked from outside by message is what
// names a row to a screen reader.
LRESULT CALLBACK Win32ListView::InputProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                          DWORD_PTR ref) {
  auto* self = reinterpret_cast<Win32ListView*>(ref);
  if (msg == LVM_GETITEMTEXTW && lp)
    return self->SpokenItemText(static_cast<int>(wp), *reinterpret_cast<LVITEMW*>(lp));
  if (msg == WM_CONTEXTMENU && IsKeyboardContextMenu(lp) && self->events_.context_key) {
    self->events_.context_key();
    return 0;
  }
  int button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : msg == WM_MBUTTONDOWN ? 4 : 0;
  if (button && self->events_.mouse_down) {
    self->events_.mouse_down(button, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    if (button == 2) return 0;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

// The list paints through LVN_GETDISPINFO, never through this message, so
// a row whose file is gone still shows an empty name while a screen reader
// hears its path.
LRESULT Win32ListView::SpokenItemText(int item, LVITEMW& asked) const {
  const int row = item;
  const std::optional<Column> column = ColumnAt(asked.iSubItem);
  if (!rows_ || row < 0 || row >= rows_->RowCount() || !column || !asked.pszText || asked.cchTextMax <= 0)
    return 0;
  const std::wstring text =
      Widen(column == Column::kName ? rows_->SpokenName(row) : rows_->CellText(row, *column));
  const auto n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(asked.cchTextMax - 1));
  std::copy_n(text.data(), n, asked.pszText);
  asked.pszText[n] = L'\0';
  return static_cast<LRESULT>(n);
}

LRESULT Win32ListView::HandleNotify(const NMHDR* header) {
  switch (header->code) {
    case LVN_GETDISPINFOW:
      GetDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header))->item);
      return 0;
    case LVN_COLUMNCLICK:
      if (events_.column_click) events_.column_click(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
      return 0;
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED))
        ItemChanged();
      return 0;
    }
    case LVN_ODSTATECHANGED:
      ItemChanged();
      return 0;
    case LVN_ODFINDITEMW:
      return FindByName(*reinterpret_cast<const NMLVFINDITEMW*>(header));
    default:
      return 0;
  }
}

void Win32ListView::GetDisplayInfo(LVITEMW& item) const {
  if (!rows_ || item.iItem < 0 || item.iItem >= rows_->RowCount()) return;
  const int row = item.iItem;
  const std::optional<Column> column = ColumnAt(item.iSubItem);
  if (!column) return;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    const std::string text = rows_->CellText(row, *column);
    int n = text.empty() ? 0
                         : MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                               item.pszText, item.cchTextMax - 1);
    if (n == 0 && !text.empty()) {  // too long for the control's buffer: show its head
      std::wstring wide = Widen(text);
      n = static_cast<int>(std::min<std::size_t>(wide.size(), static_cast<std::size_t>(item.cchTextMax - 1)));
      std::copy_n(wide.data(), n, item.pszText);
    }
    item.pszText[n] = L'\0';
  }
  if (item.mask & LVIF_IMAGE)
    item.iImage = column == Column::kName ? images_.IndexOf(rows_->IconKey(row)) : -1;
}

int Win32ListView::FindByName(const NMLVFINDITEMW& find) const {
  if (!rows_ || !(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
  const std::wstring typed = find.lvfi.psz;
  const int count = rows_->RowCount();
  if (typed.empty() || count == 0) return -1;
  const int start = find.iStart >= 0 && find.iStart < count ? find.iStart : 0;
  for (int k = 0; k < count; ++k) {
    const int item = (start + k) % count;
    if (!(find.lvfi.flags & LVFI_WRAP) && item < start) break;
    const std::wstring name = Widen(rows_->CellText(item, Column::kName));
    if (name.size() >= typed.size() &&
        CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.c_str(), static_cast<int>(typed.size()),
                       typed.c_str(), static_cast<int>(typed.size())) == CSTR_EQUAL)
      return item;
  }
  return -1;
}

void Win32ListView::AddColumn(const std::string& title, int width) {
  std::wstring text = Widen(title);
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  col.fmt = LVCFMT_LEFT;
  col.pszText = text.data();
  col.cx = ScaleToDpi(width, dpi_);
  int at = ColumnCount();
  if (ListView_InsertColumn(hwnd_, at, &col) < 0) throw std::runtime_error("column not added");
}

void Win32ListView::SetDpi(UINT dpi, HFONT font) {
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (int i = 0, n = ColumnCount(); i < n; ++i)
    ListView_SetColumnWidth(
        hwnd_, i, MulDiv(ListView_GetColumnWidth(hwnd_, i), static_cast<int>(dpi), static_cast<int>(dpi_)));
  dpi_ = dpi;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

int Win32ListView::ColumnCount() { return Header_GetItemCount(ListView_GetHeader(hwnd_)); }

void Win32ListView::SetColumnAlignment(int column, Alignment alignment) {
  LVCOLUMNW col{};
  col.mask = LVCF_FMT;
  col.fmt = alignment == Alignment::kRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
  if (!ListView_SetColumn(hwnd_, column, &col)) throw std::runtime_error("column alignment");
}

ScreenPoint Win32ListView::RowMenuPoint(int row) {
  ListView_EnsureVisible(hwnd_, row, FALSE);
  RECT cell{};
  ListView_GetItemRect(hwnd_, row, &cell, LVIR_LABEL);
  POINT corner{cell.left, cell.bottom};
  ClientToScreen(hwnd_, &corner);
  return {corner.x, corner.y};
}

int Win32ListView::HitTest(int x, int y) {
  LVHITTESTINFO hit{};
  hit.pt = {x, y};
  int item = ListView_SubItemHitTest(hwnd_, &hit);
  return item >= 0 && (hit.flags & LVHT_ONITEM) ? item : kNoRow;
}

void Win32ListView::BeforeInsert(int row) { changed_from_ = row; }
void Win32ListView::BeforeRemove(int row) { changed_from_ = row; }

void Win32ListView::AfterInsert() {
  Guard guard(syncing_);
  CountChanged();
  RedrawFrom(changed_from_);
  SyncSelection();
}

void Win32ListView::AfterRemove() {
  Guard guard(syncing_);
  CountChanged();
  RedrawFrom(changed_from_);
  SyncSelection();
}

void Win32ListView::AfterReorder() {
  Guard guard(syncing_);
  InvalidateRect(hwnd_, nullptr, FALSE);
  SyncSelection();
}

void Win32ListView::CellChanged(int row, Column /*column*/) { RedrawRow(row); }
void Win32ListView::SelectionChanged() {
  Guard guard(syncing_);
  SyncSelection();
}

void Win32ListView::CountChanged() {
  int count = rows_ ? rows_->RowCount() : 0;
  ListView_SetItemCountEx(hwnd_, count, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

// Rows from `row` on show other rows now; only visible ones are repainted.
void Win32ListView::RedrawFrom(int row) {
  int first = std::max(row, ListView_GetTopIndex(hwnd_));
  int last = LastVisible(hwnd_);
  if (first <= last) ListView_RedrawItems(hwnd_, first, last);
}

void Win32ListView::RedrawRow(int row) {
  if (row >= ListView_GetTopIndex(hwnd_) && row <= LastVisible(hwnd_)) ListView_RedrawItems(hwnd_, row, row);
}

// The control shows the store's selection (callers hold the guard).  With
// none, no row keeps the focus either: the control keeps its states by
// index, so after a removal the focus would sit on another process's row,
// and the focused row is the one a screen reader announces.
void Win32ListView::SyncSelection() {
  int wanted = rows_ ? rows_->SelectedRow() : kNoRow;
  int shown = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED);
  int focused = ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED);
  if (wanted == shown && (wanted >= 0 || focused < 0)) return;
  if (shown >= 0 || focused >= 0) ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (wanted != kNoRow)
    ListView_SetItemState(hwnd_, wanted, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// The user moved the selection: the store follows.
void Win32ListView::ItemChanged() {
  if (syncing_ || !events_.item_click || !rows_) return;
  const int shown = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED);  // -1, kNoRow, for none
  if (shown != rows_->SelectedRow()) events_.item_click(shown);
}

}  // namespace kelvar::win32
