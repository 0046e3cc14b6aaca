// the list on Qt; see process_list.h.
#include "platform/qt/process_list.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/qt/display_text.h"
#include "platform/qt/row_model.h"

namespace kelvar::qt {
namespace {

int ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

}  // namespace

ProcessList::ProcessList(RowModel* model, QWidget* parent) : QTreeView(parent), model_(model) {
  setModel(model_);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSortingEnabled(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTextElideMode(Qt::ElideRight);
  setIconSize(QSize(16, 16));
  viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
  header()->setStretchLastSection(false);
  header()->setMinimumSectionSize(1);
  header()->setSectionsClickable(true);
  header()->setSectionsMovable(false);
  header()->setSortIndicatorShown(false);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
    if (events_.column_click) events_.column_click(section);
  });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UserSelected(); });
}

void ProcessList::AddColumn(const std::string& title, int width) {
  model_->AddColumn(DisplayText(title));
  header()->resizeSection(model_->columnCount() - 1, width);
}

int ProcessList::ColumnCount() { return model_->columnCount(); }

void ProcessList::SetColumnAlignment(int column, Alignment alignment) {
  model_->SetAlignment(column, alignment);
}

int ProcessList::HitTest(int x, int y) {
  QModelIndex at = indexAt(QPoint(x, y));
  return at.isValid() ? at.row() : kNoRow;
}

ScreenPoint ProcessList::RowMenuPoint(int row) {
  QModelIndex at = model_->index(row, 0);
  scrollTo(at);
  QPoint corner = viewport()->mapToGlobal(visualRect(at).bottomLeft());
  return {corner.x(), corner.y()};
}

void ProcessList::keyPressEvent(QKeyEvent* event) {
  bool menu_key = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
  bool shift_f10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
  if (!(menu_key || shift_f10) || !events_.context_key) return QTreeView::keyPressEvent(event);
  event->accept();
  events_.context_key();
}

// A mouse's context menu event is not the form's: its right press already
// opened the menu.
void ProcessList::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() != QContextMenuEvent::Keyboard || !events_.context_key) return event->ignore();
  event->accept();
  events_.context_key();
}

void ProcessList::mousePressEvent(QMouseEvent* event) {
  int button = ButtonOf(event->button());
  if (button != 2)
    QTreeView::mousePressEvent(event);
  else
    event->accept();
  QPoint at = event->position().toPoint();
  if (events_.mouse_down) events_.mouse_down(button, at.x(), at.y());
}

void ProcessList::UserSelected() {
  if (showing_store_ || model_->Changing() || !events_.item_click) return;
  QModelIndexList rows = selectionModel()->selectedRows();
  events_.item_click(rows.isEmpty() ? kNoRow : rows.first().row());
}

void ProcessList::ShowStoreSelection() {
  const RowSource* source = model_->Source();
  int row = source ? source->SelectedRow() : kNoRow;
  // Showing the selection must not scroll the list: the rows may just have
  // been re-sorted under a user who is looking elsewhere.
  showing_store_ = true;
  bool auto_scroll = hasAutoScroll();
  setAutoScroll(false);
  if (row == kNoRow) {
    // No current row either: a current row is highlighted and announced as
    // if it were the one the commands act on.
    selectionModel()->clearSelection();
    selectionModel()->clearCurrentIndex();
  } else {
    QModelIndex at = model_->index(row, 0);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  setAutoScroll(auto_scroll);
  showing_store_ = false;
}

}  // namespace kelvar::qt
