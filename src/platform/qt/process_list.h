// the list on Qt: a report view over RowModel.  It never sorts by itself: a
// header click is passed on as the form's OnColumnClick, and the store
// re-orders the rows.  A right press is passed on as OnMouseDown and does not
// move the selection by itself, since the form's rule selects the row under
// the pointer; left and middle presses keep the view's ordinary behaviour and
// are passed on too.  The Menu key and Shift+F10 (as keys or as a keyboard
// context menu event) are passed on as the context menu key.  The selection
// lives in the store: a row the user selects is passed on as OnItemClick, and
// the view shows whatever row the store says is selected.
#pragma once

#include <QTreeView>
#include <functional>

#include "platform/list_control.h"
#include "platform/row_view.h"

namespace kelvar::qt {

class RowModel;

class ProcessList : public QTreeView, public ListControl {
 public:
  struct Events {
    std::function<void(int column)> column_click;
    std::function<void(int button, int x, int y)> mouse_down;
    std::function<void(int row)> item_click;  // kNoRow for none
    std::function<void()> context_key;        // the Menu key or Shift+F10
  };

  ProcessList(RowModel* model, QWidget* parent);
  void SetEvents(Events events) { events_ = std::move(events); }

  // ListControl.
  void AddColumn(const std::string& title, int width) override;
  int ColumnCount() override;
  void SetColumnAlignment(int column, Alignment alignment) override;
  int HitTest(int x, int y) override;
  ScreenPoint RowMenuPoint(int row) override;

  // Shows the store's selection without telling the form.
  void ShowStoreSelection();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void UserSelected();

  RowModel* model_;
  Events events_;
  bool showing_store_ = false;
};

}  // namespace kelvar::qt
