// The list as text, for a terminal without a display: the column titles,
// every row of the store in its order, and the status-bar panels.  Columns
// are padded by terminal width (a Chinese character takes two), names are
// shown as the list shows them (lossy, one line per row).
#pragma once

#include <QStringList>
#include <ostream>

#include "platform/row_view.h"

namespace kelvar::qt {

void PrintRows(const RowSource& rows, const QStringList& titles, const QStringList& panels,
               std::ostream& out);

}  // namespace kelvar::qt
