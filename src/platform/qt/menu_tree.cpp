// The menus on Qt; see menu_tree.h.
#include "platform/qt/menu_tree.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>

#include "ui/form_definition.h"

namespace kelvar::qt {
namespace {

QKeySequence SequenceOf(form::Shortcut shortcut) {
  switch (shortcut) {
    case form::Shortcut::kF5:
      return QKeySequence(Qt::Key_F5);
    case form::Shortcut::kCtrlA:
      return QKeySequence(Qt::CTRL | Qt::Key_A);
    default:
      return {};
  }
}

QString Caption(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MenuTree::MenuTree(QMenuBar* bar, QWidget* window) {
  QMenu* parents[3] = {nullptr, nullptr, nullptr};
  const auto& items = form::kMenus;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const form::MenuItem& item = items[i];
    bool opens_submenu = i + 1 < items.size() && items[i + 1].depth > item.depth;
    std::string name(item.name);
    if (item.caption == "-") {
      parents[item.depth - 1]->addSeparator();
      continue;
    }
    if (opens_submenu) {
      QMenu* menu = item.depth == 0 ? bar->addMenu(Caption(item.caption))
                                    : parents[item.depth - 1]->addMenu(Caption(item.caption));
      menu->setEnabled(item.enabled);
      parents[item.depth] = menu;
      menus_[name] = menu;
      actions_[{name, item.index}] = menu->menuAction();
      continue;
    }
    QAction* action = parents[item.depth - 1]->addAction(Caption(item.caption));
    action->setShortcut(SequenceOf(item.shortcut));
    action->setEnabled(item.enabled);
    actions_[{name, item.index}] = action;
    QObject::connect(action, &QAction::triggered, window, [this, action, name, &item] {
      ShowMark(action, marks_[{name, item.index}]);
      if (click_) click_(item.command);
    });
  }
}

QAction* MenuTree::Action(std::string_view name, int index) const {
  auto it = actions_.find(Key{std::string(name), index});
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* MenuTree::Menu(std::string_view name) const {
  auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second;
}

// An unticked item is not checkable, so no style draws an empty box beside it.
void MenuTree::ShowMark(QAction* action, bool checked) {
  action->setCheckable(checked);
  action->setChecked(checked);
}

bool MenuTree::Checked(std::string_view name, int index) {
  auto it = marks_.find(Key{std::string(name), index});
  return it != marks_.end() && it->second;
}

void MenuTree::SetChecked(std::string_view name, int index, bool checked) {
  QAction* action = Action(name, index);
  if (!action) return;
  marks_[{std::string(name), index}] = checked;
  ShowMark(action, checked);
}

void MenuTree::SetEnabled(std::string_view name, int index, bool enabled) {
  if (QAction* action = Action(name, index)) action->setEnabled(enabled);
}

void MenuTree::SetUnavailable(std::string_view name, int index, const QString& reason) {
  QAction* action = Action(name, index);
  if (!action) return;
  action->setEnabled(false);
  action->setToolTip(reason);
  if (auto* menu = qobject_cast<QMenu*>(action->parent())) menu->setToolTipsVisible(true);
}

void MenuTree::PopupMenu(std::string_view name) {
  if (QMenu* menu = Menu(name)) menu->popup(QCursor::pos());
}

// The Menu key reaches the list both as a key and, on some platforms, as a
// context menu event: a menu already open stays where it is.
void MenuTree::PopupMenuAt(std::string_view name, int screen_x, int screen_y) {
  QMenu* menu = Menu(name);
  if (menu && !menu->isVisible()) menu->popup(QPoint(screen_x, screen_y));
}

}  // namespace kelvar::qt
