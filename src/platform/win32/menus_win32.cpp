// The menus on Win32; see menus_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/menus_win32.h"

#include <stdexcept>
#include <string>

#include "platform/win32/wide_text.h"
#include "ui/form_definition.h"

namespace kelvar::win32 {
namespace {

constexpr UINT kFirstCommand = 100;

std::wstring CaptionOf(const form::MenuItem& item) {
  std::wstring caption = Widen(item.caption);
  if (item.shortcut == form::Shortcut::kF5) caption += L"\tF5";
  if (item.shortcut == form::Shortcut::kCtrlA) caption += L"\tCtrl+A";
  return caption;
}

}  // namespace

Win32Menus::Win32Menus() : bar_(CreateMenu()) {
  Build();
  std::vector<ACCEL> keys;
  for (std::size_t i = 0; i < form::kMenus.size(); ++i) {
    auto id = static_cast<WORD>(kFirstCommand + i);
    if (form::kMenus[i].shortcut == form::Shortcut::kF5) keys.push_back({FVIRTKEY, VK_F5, id});
    if (form::kMenus[i].shortcut == form::Shortcut::kCtrlA) keys.push_back({FVIRTKEY | FCONTROL, 'A', id});
  }
  accel_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

Win32Menus::~Win32Menus() {
  if (accel_) DestroyAcceleratorTable(accel_);
  // The bar is destroyed with the window that holds it; one never attached
  // is destroyed here.
  if (IsMenu(bar_) && !GetMenu(owner_)) DestroyMenu(bar_);
}

// The table lists the tree depth first; an item followed by a deeper one
// opens a menu.
void Win32Menus::Build() {
  HMENU parents[3] = {bar_, nullptr, nullptr};
  for (std::size_t i = 0; i < form::kMenus.size(); ++i) {
    const form::MenuItem& def = form::kMenus[i];
    HMENU parent = parents[def.depth];
    UINT position = static_cast<UINT>(GetMenuItemCount(parent));
    bool opens = i + 1 < form::kMenus.size() && form::kMenus[i + 1].depth > def.depth;
    std::wstring caption = CaptionOf(def);
    Item item{def.name, def.index, parent, position, nullptr, 0, def.command};
    if (opens) {
      item.sub = CreatePopupMenu();
      AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(item.sub), caption.c_str());
      parents[def.depth + 1] = item.sub;
    } else if (def.caption == "-") {
      AppendMenuW(parent, MF_SEPARATOR, 0, nullptr);
    } else {
      item.id = kFirstCommand + static_cast<UINT>(i);
      AppendMenuW(parent, MF_STRING, item.id, caption.c_str());
    }
    if (!def.enabled) EnableMenuItem(parent, position, MF_BYPOSITION | MF_GRAYED);
    items_.push_back(item);
  }
}

const Win32Menus::Item* Win32Menus::Find(std::string_view name, int index) const {
  for (const Item& item : items_) {
    if (item.name == name && (item.index == index || index < 0)) return &item;
  }
  return nullptr;
}

form::Command Win32Menus::CommandOf(UINT id) const {
  for (const Item& item : items_) {
    if (item.id && item.id == id) return item.command;
  }
  return form::Command::kNone;
}

UINT Win32Menus::CommandId(std::string_view name, int index) const {
  const Item* item = Find(name, index);
  return item ? item->id : 0;
}

HMENU Win32Menus::SubMenu(std::string_view name) const {
  const Item* item = Find(name, -1);
  return item ? item->sub : nullptr;
}

bool Win32Menus::Checked(std::string_view name, int index) {
  const Item* item = Find(name, index);
  return item && (GetMenuState(item->parent, item->position, MF_BYPOSITION) & MF_CHECKED);
}

void Win32Menus::SetChecked(std::string_view name, int index, bool checked) {
  const Item* item = Find(name, index);
  if (!item) throw std::invalid_argument("no such menu item");
  CheckMenuItem(item->parent, item->position, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Win32Menus::SetEnabled(std::string_view name, int index, bool enabled) {
  const Item* item = Find(name, index);
  if (!item) throw std::invalid_argument("no such menu item");
  EnableMenuItem(item->parent, item->position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
}

// The owner must be the foreground window for the menu to close when the
// user clicks elsewhere; the WM_NULL lets it close on the next click.
void Win32Menus::PopupMenu(std::string_view name) {
  POINT at{};
  GetCursorPos(&at);
  PopupMenuAt(name, at.x, at.y);
}

void Win32Menus::PopupMenuAt(std::string_view name, int screen_x, int screen_y) {
  HMENU menu = SubMenu(name);
  if (!menu) throw std::invalid_argument("no such menu");
  SetForegroundWindow(owner_);
  TrackPopupMenu(menu, 0, screen_x, screen_y, 0, owner_, nullptr);
  PostMessageW(owner_, WM_NULL, 0, 0);
}

}  // namespace kelvar::win32
