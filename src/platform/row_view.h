// The view side of the row store: what a list control needs to show the
// process rows and to hear of every change to them.  The store is the only
// holder of process data; a control reads cells through RowSource and is told
// of changes through RowObserver, so an unchanged list costs the control
// nothing.  Rows are numbered from 0 in display order, as the controls
// number them; columns are those of platform/columns.h.
#pragma once

#include <string>

#include "platform/columns.h"

namespace kelvar {

// The row number that stands for no row.
inline constexpr int kNoRow = -1;

class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual int RowCount() const = 0;
  // The text of a cell, made when asked and the caller's to keep.
  virtual std::string CellText(int row, Column column) const = 0;
  // What names the row to a screen reader: its name cell, else (the file
  // is gone) its path, else its PID.
  virtual std::string SpokenName(int row) const = 0;
  // The image key of the row's small icon, or empty for none.
  virtual const std::string& IconKey(int row) const = 0;
  // The selected row, or kNoRow when none is selected.
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
  // One cell now shows another text.
  virtual void CellChanged(int row, Column column) = 0;
  virtual void SelectionChanged() = 0;
};

}  // namespace kelvar
