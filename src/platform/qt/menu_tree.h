// The menus on Qt, built from the form's menu table (ui/form_definition.h):
// the bar's three menus, their items, separators, the priority submenu,
// access keys ("&") and the shortcuts F5 and Ctrl+A.  Items are found by the
// form's names (and the group index 0..5 of the priority items).  A Windows
// menu item does not tick itself when chosen; a checkable QAction does, so
// the check marks live here and each action is put back to its mark before
// the item's command is passed on.  The Process menu opens as a context menu with
// popup(), which does not block.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/menus.h"
#include "ui/form_definition.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace kelvar::qt {

class MenuTree : public Menus {
 public:
  using Click = std::function<void(form::Command command)>;
  MenuTree(QMenuBar* bar, QWidget* window);
  void SetClick(Click click) { click_ = std::move(click); }

  bool Checked(std::string_view name, int index = -1) override;
  void SetChecked(std::string_view name, int index, bool checked) override;
  void SetEnabled(std::string_view name, int index, bool enabled) override;
  void PopupMenu(std::string_view name) override;
  void PopupMenuAt(std::string_view name, int screen_x, int screen_y) override;
  // Greys out an item the window system cannot carry out, with the reason
  // as its tool tip, which the menu shows and screen readers read.
  void SetUnavailable(std::string_view name, int index, const QString& reason);

  QAction* Action(std::string_view name, int index = -1) const;
  QMenu* Menu(std::string_view name) const;

 private:
  using Key = std::pair<std::string, int>;
  void ShowMark(QAction* action, bool checked);

  std::map<Key, QAction*, std::less<>> actions_;
  std::map<std::string, QMenu*, std::less<>> menus_;
  std::map<Key, bool, std::less<>> marks_;
  Click click_;
};

}  // namespace kelvar::qt
