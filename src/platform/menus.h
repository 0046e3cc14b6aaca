// The menus: items are named as the form names them ("on_top"), the
// priority items by the group name "priority_class" and an index 0..5.
// The form's menu table (ui/form_definition.h) says what the menus hold;
// this port only reads and writes their state and opens the Process menu
// as a context menu.
#pragma once

#include <string_view>

namespace kelvar {

class Menus {
 public:
  virtual ~Menus() = default;
  virtual bool Checked(std::string_view name, int index = -1) = 0;
  virtual void SetChecked(std::string_view name, int index, bool checked) = 0;
  virtual void SetEnabled(std::string_view name, int index, bool enabled) = 0;
  // Opens the menu `name` as a context menu at the pointer's position.
  virtual void PopupMenu(std::string_view name) = 0;
  // Opens it at a point on the screen (for a menu opened from the keyboard).
  virtual void PopupMenuAt(std::string_view name, int screen_x, int screen_y) = 0;
};

}  // namespace kelvar
