// the list on Win32: a report-style, owner-data list view (LVS_OWNERDATA).  The
// row store is the only store of process data; the control holds nothing but
// the row count and its selection, asks for each visible cell through
// LVN_GETDISPINFO and repaints only what a RowObserver notification names, so
// a refresh that changes nothing costs the control nothing.  Clicks go back to
// the form through ListEvents; the selection follows the store's.
#pragma once

#include "platform/win32/win32_api.h"

#include <functional>

#include "platform/list_control.h"
#include "platform/row_view.h"
#include "platform/win32/icons_win32.h"

namespace kelvar::win32 {

// True for the WM_CONTEXTMENU the keyboard sends: at (-1, -1).
inline bool IsKeyboardContextMenu(LPARAM lp) { return LOWORD(lp) == 0xFFFF && HIWORD(lp) == 0xFFFF; }

struct ListEvents {
  std::function<void(int column)> column_click;
  std::function<void(int button, int x, int y)> mouse_down;  // pixels in the list
  std::function<void(int row)> item_click;                   // kNoRow for none
  std::function<void()> context_key;                         // the Menu key or Shift+F10
};

class Win32ListView : public ListControl, public RowObserver {
 public:
  // Column widths come in pixels at 96 DPI and show at `dpi`.
  Win32ListView(HWND parent, int id, const Win32ImageList& images, HFONT font, UINT dpi);
  ~Win32ListView() override;
  Win32ListView(const Win32ListView&) = delete;
  Win32ListView& operator=(const Win32ListView&) = delete;

  HWND hwnd() const { return hwnd_; }
  void Attach(const RowSource* rows, ListEvents events);
  // WM_NOTIFY from the control, forwarded by its parent.
  LRESULT HandleNotify(const NMHDR* header);

  // ListControl.
  void AddColumn(const std::string& title, int width) override;
  // The window moved to a monitor of another DPI: every column keeps its
  // share of the list (a width the user set included) and the font changes.
  void SetDpi(UINT dpi, HFONT font);
  int ColumnCount() override;
  void SetColumnAlignment(int column, Alignment alignment) override;
  int HitTest(int x, int y) override;
  ScreenPoint RowMenuPoint(int row) override;

  // RowObserver.
  void BeforeInsert(int row) override;
  void AfterInsert() override;
  void BeforeRemove(int row) override;
  void AfterRemove() override;
  void BeforeReorder() override {}
  void AfterReorder() override;
  void CellChanged(int row, Column column) override;
  void SelectionChanged() override;

 private:
  static LRESULT CALLBACK InputProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  // LVM_GETITEMTEXTW, as a screen reader's list proxy asks it.
  LRESULT SpokenItemText(int item, LVITEMW& asked) const;
  void GetDisplayInfo(LVITEMW& item) const;
  // Type-ahead: the first row at or after the find's start, wrapping round,
  // whose name begins with the typed text (case aside); -1 when none does.
  int FindByName(const NMLVFINDITEMW& find) const;
  void CountChanged();
  void RedrawFrom(int row);
  void RedrawRow(int row);
  void SyncSelection();
  void ItemChanged();

  HWND hwnd_;
  const Win32ImageList& images_;
  UINT dpi_;
  const RowSource* rows_ = nullptr;
  ListEvents events_;
  int changed_from_ = 0;  // the first row an insert or remove shifts
  bool syncing_ = false;  // the control's selection is being set from the store
};

}  // namespace kelvar::win32
