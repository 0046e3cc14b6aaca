// The menus on Win32, built from the form's menu table: the menu bar, its
// drop-down menus and the priority submenu, a command id per item, the
// accelerators F5 and Ctrl+A, and the Process menu as the list's context
// menu (TrackPopupMenu at the pointer).  Items are found by the form's names.
#pragma once

#include "platform/win32/win32_api.h"

#include <string_view>
#include <vector>

#include "platform/menus.h"
#include "ui/form_definition.h"

namespace kelvar::win32 {

class Win32Menus : public Menus {
 public:
  Win32Menus();
  ~Win32Menus() override;
  Win32Menus(const Win32Menus&) = delete;
  Win32Menus& operator=(const Win32Menus&) = delete;

  HMENU bar() const { return bar_; }
  HACCEL accelerators() const { return accel_; }
  // The window that gets the popup's WM_COMMAND.
  void SetOwner(HWND owner) { owner_ = owner; }
  // The form's command of a command id; kNone for an id no item has.
  form::Command CommandOf(UINT id) const;
  // The command id of an item, or 0.
  UINT CommandId(std::string_view name, int index = -1) const;
  // The drop-down or submenu an item opens, or null.
  HMENU SubMenu(std::string_view name) const;

  bool Checked(std::string_view name, int index = -1) override;
  void SetChecked(std::string_view name, int index, bool checked) override;
  void SetEnabled(std::string_view name, int index, bool enabled) override;
  void PopupMenu(std::string_view name) override;
  void PopupMenuAt(std::string_view name, int screen_x, int screen_y) override;

 private:
  struct Item {
    std::string_view name;
    int index;
    HMENU parent;
    UINT position;
    HMENU sub;  // null unless the item opens a menu
    UINT id;    // 0 for menus and separators
    form::Command command;
  };
  const Item* Find(std::string_view name, int index) const;
  void Build();

  HMENU bar_;
  HACCEL accel_ = nullptr;
  HWND owner_ = nullptr;
  std::vector<Item> items_;
};

}  // namespace kelvar::win32
