// The row store: its PID index, the cells it makes, ordering, placement while
// sorted, and selection.
#include "monitor/row_store.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "fake/fake_controls.h"

namespace kelvar {
namespace {

// Rows of (name, PID, memory in K).
void Fill(RowStore& rows, std::initializer_list<std::tuple<const char*, Pid, std::uint64_t>> cells) {
  for (auto [name, pid, k] : cells) {
    ProcessRow row;
    row.id.pid = pid, row.name = name, row.memory_k = k;
    rows.Add(std::move(row));
  }
}

using Names = std::vector<std::string>;

Names Cells(RowStore& rows, Column column) {
  Names out;
  for (int i = 0; i < rows.Count(); ++i) out.emplace_back(rows.Text(i, column));
  return out;
}

// PIDs come and go in any order (the sweep removes from anywhere), about 30
// at a time so that they collide in a small table whose runs wrap round its
// end: after every step each PID present is found at its row, and none is
// added twice.
TEST(RowStore, IndexSurvivesRandomAddsAndRemovals) {
  RowStore rows;
  std::set<Pid> kept;
  std::minstd_rand next(12345);
  for (int step = 0; step < 20000; ++step) {
    if (kept.size() < 30) {
      ProcessRow row;
      row.id.pid = static_cast<Pid>(next() % 1000);
      ASSERT_EQ(rows.Add(row) != kNoRow, kept.insert(row.id.pid).second) << row.id.pid;
    } else {
      const auto victim = std::next(kept.begin(), static_cast<std::ptrdiff_t>(next() % kept.size()));
      rows.Remove(rows.RowOf(*victim));
      kept.erase(victim);
    }
    ASSERT_EQ(rows.Count(), static_cast<int>(kept.size()));
    for (Pid pid : kept)
      ASSERT_EQ(rows.RowOf(pid) != kNoRow ? rows.Row(rows.RowOf(pid)).id.pid : -1, pid) << step;
  }
}

// Cells made from the figures, each the caller's to keep (two number cells at once).
TEST(RowStore, CellsAreMadeFromTheFigures) {
  RowStore rows;
  Fill(rows, {{"a", 2147483647, 18446744073709551615ull}});
  const auto pid = rows.Text(0, Column::kPid), memory = rows.Text(0, Column::kMemory);
  EXPECT_EQ(std::tuple(pid, memory), std::tuple("2147483647", "18446744073709551615"));
  const std::pair<Priority, const char*> names[] = {
      {Priority::kRealtime, "实时"}, {Priority::kHigh, "高"},          {Priority::kAboveNormal, "较高"},
      {Priority::kNormal, "标准"},   {Priority::kBelowNormal, "较低"}, {Priority::kIdle, "低"},
      {Priority::kUnknown, ""}};
  for (auto [priority, name] : names) {
    rows.SetFigures(0, 12, priority);
    EXPECT_EQ(rows.Text(0, Column::kPriority), name);
  }
}

TEST(RowStore, SortsNumbersAsNumbersAndTextAsText) {
  const std::tuple<Column, SortOrder, Names> cases[] = {
      {Column::kPid, SortOrder::kAscending, {"4", "12", "1000"}},  // memory: below
      {Column::kName, SortOrder::kAscending, {"alpha.exe", "Beta.exe", "zeta.exe"}},
      {Column::kName, SortOrder::kDescending, {"zeta.exe", "Beta.exe", "alpha.exe"}}};
  for (const auto& [key, order, want] : cases) {  // want: the sort column, top to bottom
    RowStore rows;
    Fill(rows, {{"zeta.exe", 12, 80}, {"alpha.exe", 1000, 1048576}, {"Beta.exe", 4, 9}});
    rows.SetSortKey(key);
    rows.SetOrder(order);
    rows.SetSorted(true);
    EXPECT_EQ(Cells(rows, key), want) << static_cast<int>(key) << " " << static_cast<int>(order);
  }
}

// A sorted list places a new row, and a row whose figure changed, in order;
// the selection follows its row and ends with it.
TEST(RowStore, SortedListPlacesRowsAndTheSelectionFollows) {
  RowStore rows;
  fake::CountingObserver seen;
  rows.SetObserver(&seen);
  Fill(rows, {{"b", 10, 7}, {"a", 30, 5}});
  rows.Select(0);  // "b", at rows 1, 2 and 1 below
  rows.SetSortKey(Column::kMemory);
  rows.SetSorted(true);
  EXPECT_EQ(rows.Selected(), 1);
  Fill(rows, {{"c", 20, 6}});
  EXPECT_EQ(std::pair(Cells(rows, Column::kName), rows.Selected()), std::pair(Names{"a", "c", "b"}, 2));
  rows.SetFigures(rows.RowOf(30), 100, Priority::kUnknown);
  EXPECT_EQ(std::pair(Cells(rows, Column::kName), rows.Selected()), std::pair(Names{"c", "b", "a"}, 1));
  rows.Remove(0);
  EXPECT_EQ(rows.Selected(), 0);
  const int before = seen.selections;
  rows.Remove(0);
  EXPECT_EQ(std::pair(rows.Selected(), seen.selections), std::pair(kNoRow, before + 1));
}

}  // namespace
}  // namespace kelvar
