// The list's columns, in one table: the row store makes each cell's text and
// sorts by it, the form adds the columns to the list at start-up, and both
// list controls show them, all from the descriptors below.  A column that
// sorts as a number ("PID", "内存(K)") shows its row's number and sorts by
// it, so a 1 GB process never sorts among the small ones; the others show
// and sort by text.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/list_control.h"

namespace kelvar {

// The columns in the order the list shows them, from 0.
enum class Column { kName, kPid, kMemory, kKind, kLevel, kPriority, kPath, kRemark };

enum class SortAs { kText, kNumber };

struct ColumnSpec {
  std::string_view title;
  int width;  // pixels at 96 DPI
  Alignment alignment;
  SortAs sort_as;
};

inline constexpr std::array<ColumnSpec, 8> kColumns{{
    {"进程名称", 120, Alignment::kLeft, SortAs::kText},
    {"PID", 45, Alignment::kLeft, SortAs::kNumber},
    {"内存(K)", 55, Alignment::kRight, SortAs::kNumber},
    {"种类", 36, Alignment::kLeft, SortAs::kText},
    {"级别", 36, Alignment::kLeft, SortAs::kText},
    {"优先", 36, Alignment::kLeft, SortAs::kText},
    {"进程路径", 400, Alignment::kLeft, SortAs::kText},
    {"备注", 500, Alignment::kLeft, SortAs::kText},
}};

inline constexpr int kColumnCount = static_cast<int>(kColumns.size());

constexpr const ColumnSpec& SpecOf(Column column) { return kColumns[static_cast<std::size_t>(column)]; }

// The column a control numbers `index`, or nullopt for none.
constexpr std::optional<Column> ColumnAt(int index) {
  if (index < 0 || index >= kColumnCount) return std::nullopt;
  return static_cast<Column>(index);
}

}  // namespace kelvar
