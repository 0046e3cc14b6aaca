// The view side of the row store: what a list control needs to show the
// process rows and to hear of every change to them.  The store is the only
// holder of process data; a control reads cells through RowSource and is told
// of changes through RowObserver, so an unchanged list costs the control
// nothing.  Rows and columns are numbered from 1 as the list's own indexes are;
// column 1 is the row text, columns 2 to 8 are sub-items 1 to 7.
#pragma once

#include <string>

namespace kelvar {

inline constexpr int kColumnCount = 8;

class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual int RowCount() const = 0;
  virtual const std::string& CellText(int row, int column) const = 0;
  // The image key of the row's small icon, or empty for none.
  virtual const std::string& IconKey(int row) const = 0;
  // The selected row, or 0 when none is selected.
  virtual int SelectedRow() const = 0;
};

class RowObserver {
 public:
  virtual ~RowObserver() = default;
  // A row is about to be inserted at `row` / has been inserted there.
  virtual void BeforeInsert(int row) = 0;
  virtual void AfterInsert() = 0;
  // Row `row` is about to be removed / has been removed.
  virtual void BeforeRemove(int row) = 0;
  virtual void AfterRemove() = 0;
  // A row moves or the rows are put in a new order.
  virtual void BeforeReorder() = 0;
  virtual void AfterReorder() = 0;
  // One cell now holds another text.
  virtual void CellChanged(int row, int column) = 0;
  virtual void IconChanged(int row) = 0;
  virtual void SelectionChanged() = 0;
};

}  // namespace kelvar
