// The list as text; see print_rows.h.
#include "platform/qt/print_rows.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/qt/display_text.h"

namespace kelvar::qt {
namespace {

// The path and remark columns are not padded: they end the line.
constexpr int kPaddedColumns = 6;

void PrintLine(const QStringList& cells, const std::vector<int>& widths, std::ostream& out) {
  QString line;
  for (int c = 0; c < cells.size(); ++c) {
    line += cells[c];
    if (c + 1 == cells.size()) break;
    int pad = c < kPaddedColumns ? widths[static_cast<std::size_t>(c)] - TerminalWidth(cells[c]) : 0;
    line += QString(std::max(pad, 0) + 2, u' ');
  }
  while (line.endsWith(u' ')) line.chop(1);
  out << line.toStdString() << '\n';
}

}  // namespace

void PrintRows(const RowSource& rows, const QStringList& titles, const QStringList& panels,
               std::ostream& out) {
  std::vector<QStringList> lines{titles};
  for (int r = 0; r < rows.RowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < titles.size(); ++c)
      if (const std::optional<Column> column = ColumnAt(c)) cells << DisplayText(rows.CellText(r, *column));
    lines.push_back(cells);
  }
  std::vector<int> widths(static_cast<std::size_t>(titles.size()), 0);
  for (const QStringList& cells : lines)
    for (int c = 0; c < cells.size(); ++c)
      widths[static_cast<std::size_t>(c)] =
          std::max(widths[static_cast<std::size_t>(c)], TerminalWidth(cells[c]));
  for (const QStringList& cells : lines) PrintLine(cells, widths, out);
  PrintLine(panels, std::vector<int>(static_cast<std::size_t>(panels.size()), 0), out);
}

}  // namespace kelvar::qt
