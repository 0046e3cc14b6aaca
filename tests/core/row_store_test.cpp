// The row store: its key index, ordering, placement while sorted, selection.
#include "monitor/row_store.h"

#include <gtest/gtest.h>

#include <set>

#include "fake/fake_controls.h"

namespace kelvar {
namespace {

// Rows of (name, PID, memory), keyed by PID.
void Fill(RowStore& rows, std::initializer_list<std::array<const char*, 3>> cells) {
  for (auto [name, pid, mem] : cells) {
    int i = rows.Add(std::string("ID:") + pid, name);
    rows.SetPid(i, std::stoi(pid));
    rows.SetMemoryK(rows.Find(std::string("ID:") + pid), std::stoull(mem));
  }
}

std::vector<std::string> Column(RowStore& rows, int sub) {
  std::vector<std::string> out;
  for (int i = 1; i <= rows.Count(); ++i) out.push_back(rows.SubItem(i, sub));
  return out;
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
      auto victim = present.begin() + static_cast<std::ptrdiff_t>(next() % present.size());
      rows.Remove(rows.Find(*victim));
      present.erase(victim);
    }
  }
  ASSERT_EQ(rows.Count(), static_cast<int>(present.size()));
  std::set<std::string> kept(present.begin(), present.end());
  for (int pid = 0; pid < 5000; ++pid) {
    std::string key = "ID:" + std::to_string(pid);
    int row = rows.Find(key);
    EXPECT_EQ(row != 0, kept.count(key) == 1) << key;
    EXPECT_EQ(row ? rows.SubItem(row, cell::kName) : key, key);
  }
}

TEST(RowStore, SameTextTellsTheViewNothing) {
  RowStore rows;
  fake::CountingObserver seen;
  rows.SetObserver(&seen);
  rows.Add("ID:1", "a");
  rows.SetMemoryK(1, 12);
  rows.SetMemoryK(1, 12);
  rows.SetIcon(1, "x");
  rows.SetIcon(1, "x");
  EXPECT_EQ(seen.cell_writes.size(), 1u);
  EXPECT_EQ(seen.icons, 1);
}

TEST(RowStore, SortsNumbersAsNumbersAndTextAsText) {
  struct Case {
    int key, order, sub;
    std::vector<std::string> want;
  };
  for (const Case& c : {Case{1, 0, cell::kPid, {"4", "12", "1000"}},
                        {1, 1, cell::kPid, {"1000", "12", "4"}},
                        {2, 0, cell::kMemory, {"9", "80", "1048576"}},
                        {0, 0, cell::kName, {"alpha.exe", "Beta.exe", "zeta.exe"}},
                        {0, 1, cell::kName, {"zeta.exe", "Beta.exe", "alpha.exe"}}}) {
    SCOPED_TRACE(testing::Message() << "key " << c.key << " order " << c.order);
    RowStore rows;
    Fill(rows, {{"zeta.exe", "12", "80"}, {"alpha.exe", "1000", "1048576"}, {"Beta.exe", "4", "9"}});
    rows.SetSortKey(c.key);
    rows.SetSortOrder(c.order);
    rows.SetSorted(true);
    EXPECT_EQ(Column(rows, c.sub), c.want);
  }
}

TEST(RowStore, SortedListPlacesNewAndChangedRows) {
  RowStore rows;
  Fill(rows, {{"a", "30", "5"}, {"b", "10", "7"}});
  rows.SetSortKey(cell::kMemory);
  rows.SetSorted(true);
  Fill(rows, {{"c", "20", "6"}});
  EXPECT_EQ(Column(rows, cell::kName), (std::vector<std::string>{"a", "c", "b"}));
  rows.SetMemoryK(rows.Find("ID:30"), 100);
  EXPECT_EQ(Column(rows, cell::kName), (std::vector<std::string>{"c", "b", "a"}));
}

TEST(RowStore, SelectionFollowsItsRowAndEndsWithIt) {
  RowStore rows;
  fake::CountingObserver seen;
  rows.SetObserver(&seen);
  Fill(rows, {{"a", "3", "1"}, {"b", "1", "1"}, {"c", "2", "1"}});
  rows.Select(1);
  rows.SetSortKey(cell::kPid);
  rows.SetSorted(true);
  EXPECT_EQ(rows.Selected(), 3);
  EXPECT_EQ(rows.SubItem(3, cell::kName), "a");
  rows.Remove(1);
  EXPECT_EQ(rows.Selected(), 2);
  int before = seen.selections;
  rows.Remove(2);
  EXPECT_EQ(rows.Selected(), 0);
  EXPECT_EQ(seen.selections, before + 1);
}

}  // namespace
}  // namespace kelvar
