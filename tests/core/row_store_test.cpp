// The row store: keys, numeric and text ordering, rows placed while the
// list is sorted, and the selection through removals and re-sorting.
#include <gtest/gtest.h>

#include <algorithm>

#include "fake/fake_controls.h"
#include "monitor/row_store.h"

namespace kelvar {
namespace {

void AddRow(RowStore& rows, const std::string& name, const std::string& pid, const std::string& mem) {
  int i = rows.Add("ID:" + pid, name);
  rows.SetSubItem(rows.Find("ID:" + pid), cell::kPid, pid);
  rows.SetSubItem(rows.Find("ID:" + pid), cell::kMemory, mem);
  ASSERT_NE(i, 0);
}

std::vector<std::string> Column(RowStore& rows, int sub) {
  std::vector<std::string> out;
  for (int i = 1; i <= rows.Count(); ++i) out.push_back(rows.SubItem(i, sub));
  return out;
}

TEST(RowStore, KeysAreUniqueAndFoundAfterRemovals) {
  RowStore rows;
  EXPECT_EQ(rows.Add("ID:1", "a"), 1);
  EXPECT_EQ(rows.Add("ID:2", "b"), 2);
  EXPECT_EQ(rows.Add("ID:1", "again"), 0);
  EXPECT_EQ(rows.Add("ID:3", "c"), 3);
  rows.Remove(1);
  EXPECT_EQ(rows.Find("ID:3"), 2);
  EXPECT_EQ(rows.Find("ID:1"), 0);
  EXPECT_EQ(rows.Add("ID:1", "back"), 3);
}

// Keys come and go in any order (the sweep removes from anywhere): every
// key still present is found at its row, every removed one is not.
TEST(RowStore, KeyIndexSurvivesRandomAddsAndRemovals) {
  RowStore rows;
  std::vector<std::string> present;
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int step = 0; step < 20000; ++step) {
    if (present.empty() || next() % 3 != 0) {
      std::string key = "ID:" + std::to_string(next() % 5000);
      if (rows.Add(key, key)) present.push_back(key);
    } else {
      std::size_t victim = next() % present.size();
      rows.Remove(rows.Find(present[victim]));
      present.erase(present.begin() + static_cast<std::ptrdiff_t>(victim));
    }
  }
  ASSERT_EQ(rows.Count(), static_cast<int>(present.size()));
  for (const std::string& key : present) EXPECT_EQ(rows.SubItem(rows.Find(key), cell::kName), key);
  for (int pid = 0; pid < 5000; ++pid) {
    std::string key = "ID:" + std::to_string(pid);
    bool kept = std::find(present.begin(), present.end(), key) != present.end();
    EXPECT_EQ(rows.Find(key) != 0, kept) << key;
  }
}

TEST(RowStore, SameTextTellsTheViewNothing) {
  RowStore rows;
  fake::CountingObserver seen;
  rows.SetObserver(&seen);
  rows.Add("ID:1", "a");
  rows.SetSubItem(1, cell::kMemory, "12");
  rows.SetSubItem(1, cell::kMemory, "12");
  rows.SetIcon(1, "x");
  rows.SetIcon(1, "x");
  EXPECT_EQ(seen.cell_writes.size(), 1u);
  EXPECT_EQ(seen.icons, 1);
}

TEST(RowStore, SortsNumbersAsNumbersAndTextAsText) {
  struct Case {
    int key, order;
    int sub;
    std::vector<std::string> want;
  };
  for (const Case& c : {Case{1, 0, cell::kPid, {"4", "12", "1000"}},
                        Case{1, 1, cell::kPid, {"1000", "12", "4"}},
                        Case{2, 0, cell::kMemory, {"9", "80", "1048576"}},
                        Case{0, 0, cell::kName, {"alpha.exe", "Beta.exe", "zeta.exe"}},
                        Case{0, 1, cell::kName, {"zeta.exe", "Beta.exe", "alpha.exe"}}}) {
    SCOPED_TRACE(testing::Message() << "key " << c.key << " order " << c.order);
    RowStore rows;
    AddRow(rows, "zeta.exe", "12", "80");
    AddRow(rows, "alpha.exe", "1000", "1048576");
    AddRow(rows, "Beta.exe", "4", "9");
    rows.SetSortKey(c.key);
    rows.SetSortOrder(c.order);
    rows.SetSorted(true);
    EXPECT_EQ(Column(rows, c.sub), c.want);
  }
}

TEST(RowStore, SortedListPlacesNewAndChangedRows) {
  RowStore rows;
  AddRow(rows, "a", "30", "5");
  AddRow(rows, "b", "10", "7");
  rows.SetSortKey(cell::kMemory);
  rows.SetSorted(true);
  AddRow(rows, "c", "20", "6");
  EXPECT_EQ(Column(rows, cell::kName), (std::vector<std::string>{"a", "c", "b"}));
  rows.SetSubItem(rows.Find("ID:30"), cell::kMemory, "100");
  EXPECT_EQ(Column(rows, cell::kName), (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_EQ(rows.Find("ID:30"), 3);
}

TEST(RowStore, SelectionFollowsItsRowAndEndsWithIt) {
  RowStore rows;
  fake::CountingObserver seen;
  rows.SetObserver(&seen);
  AddRow(rows, "a", "3", "1");
  AddRow(rows, "b", "1", "1");
  AddRow(rows, "c", "2", "1");
  rows.Select(1);
  rows.SetSortKey(cell::kPid);
  rows.SetSorted(true);
  EXPECT_EQ(rows.Selected(), 3);
  EXPECT_EQ(rows.SubItem(rows.Selected(), cell::kName), "a");

  rows.Remove(1);
  EXPECT_EQ(rows.Selected(), 2);
  int before = seen.selections;
  rows.Remove(2);
  EXPECT_EQ(rows.Selected(), 0);
  EXPECT_EQ(seen.selections, before + 1);
}

TEST(RowStore, CellToPidAcceptsOnlyDecimalText) {
  struct Case { const char* text; std::int32_t pid; };
  for (Case c : {Case{"1234", 1234}, {"0", 0}, {"", 0}, {"12a", 0}, {" 12", 0},
                 {"2147483647", 2147483647}, {"2147483648", 0}, {"-5", -5}}) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CellToPid(c.text), c.pid);
  }
  EXPECT_EQ(RowKey(1234), "ID:1234");
}

}  // namespace
}  // namespace kelvar
