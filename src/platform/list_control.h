// The list control as the form's rules use it: columns added at
// start-up, the right alignment of one column, and the row under a point.
// The rows themselves come from the row store through RowSource.
#pragma once

#include <string>

namespace kelvar {

enum class Alignment { kLeft, kRight };

// A point on the screen, in pixels.
struct ScreenPoint {
  int x = 0;
  int y = 0;
};

class ListControl {
 public:
  virtual ~ListControl() = default;
  // Appends a column with a title and a width in pixels.
  virtual void AddColumn(const std::string& title, int width) = 0;
  virtual int ColumnCount() = 0;
  // Columns are numbered from 0.
  virtual void SetColumnAlignment(int column, Alignment alignment) = 0;
  // The row under a point of the list (from 0), or kNoRow.
  virtual int HitTest(int x, int y) = 0;
  // Scrolls `row` into view and answers where a menu opened for it from the
  // keyboard appears: the lower left corner of its first cell, on the
  // screen.
  virtual ScreenPoint RowMenuPoint(int row) = 0;
};

}  // namespace kelvar
