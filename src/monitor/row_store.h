// The row store: the process rows of the list the list, the only store of
// process data in the program.  Rows are kept in display order and numbered
// from 1 as the list numbers them; a hash index finds a row by its key in
// O(1), and each row caches its position, checked on use and rebuilt in one
// walk only after rows before it moved.  The store also holds the sort state
// and the selection, and tells one observer (the list control) of every
// change; writing a cell with the text it already holds changes nothing and
// tells no one.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "monitor/key_index.h"
#include "platform/file_identity.h"
#include "platform/row_view.h"

namespace kelvar {

// Sub-item numbers of the cells of a process row; 0 is the row text.
namespace cell {
inline constexpr int kName = 0;
inline constexpr int kPid = 1;
inline constexpr int kMemory = 2;
inline constexpr int kKind = 3;
inline constexpr int kLevel = 4;
inline constexpr int kPriority = 5;
inline constexpr int kPath = 6;
inline constexpr int kRemark = 7;
}  // namespace cell

class RowStore : public RowSource {
 public:
  RowStore();
  ~RowStore() override;
  RowStore(const RowStore&) = delete;
  RowStore& operator=(const RowStore&) = delete;

  void SetObserver(RowObserver* observer) { observer_ = observer; }

  int Count() const { return static_cast<int>(rows_.size()); }
  // Appends a row (or, while the list is sorted, inserts it at its place);
  // answers its index, or 0 when a row already has that key.
  int Add(std::string_view key, std::string_view text);
  // The index of the row with that key, or 0.
  int Find(std::string_view key) const;
  // Sub-item `sub` (0 is the row text) of row `index`.
  const std::string& SubItem(int index, int sub) const;
  void SetSubItem(int index, int sub, std::string_view text);
  const std::string& Key(int index) const;
  const std::string& Icon(int index) const;
  void SetIcon(int index, std::string_view image_key);
  // When the row's process started (not shown): with the PID it tells the
  // process the row was made for from a newer one that took its PID.
  std::uint64_t StartTime(int index) const;
  void SetStartTime(int index, std::uint64_t start_time);
  // The file the row's process ran when the row was made (not shown): the
  // sweep drops the row once the process runs another, and a file action
  // checks the file at the row's path against it.
  const FileIdentity& Image(int index) const;
  void SetImage(int index, const FileIdentity& image);
  // The row's process, its memory in K and its priority class, as numbers:
  // what sorting, the sweep, the commands and the menu's tick go by, never
  // the cells' text.  Setting the PID or the memory also writes its cell.
  std::int32_t PidOf(int index) const;
  void SetPid(int index, std::int32_t pid);
  std::uint64_t MemoryKOf(int index) const;
  void SetMemoryK(int index, std::uint64_t k);
  std::uint32_t PriorityClass(int index) const;
  void SetPriorityClass(int index, std::uint32_t value);
  void Remove(int index);

  // The selection: 0 for none.  Removing the selected row leaves none.
  int Selected() const;
  void Select(int index);

  // Sort state: key column (0-based), order (0 ascending, 1 descending) and
  // the sorted flag; setting the flag orders the rows at once.
  int SortKey() const { return sort_key_; }
  int SortOrder() const { return sort_order_; }
  bool Sorted() const { return sorted_; }
  void SetSortKey(int key) { sort_key_ = key; }
  void SetSortOrder(int order) { sort_order_ = order; }
  void SetSorted(bool sorted);

  // RowSource, for the list controls (columns numbered from 1).
  int RowCount() const override { return Count(); }
  const std::string& CellText(int row, int column) const override { return SubItem(row, column - 1); }
  const std::string& IconKey(int row) const override { return Icon(row); }
  int SelectedRow() const override { return Selected(); }

 private:
  struct Row;

  Row& At(int index) const;
  int IndexOf(const Row* row) const;
  void Renumber(std::size_t from) const;
  int SortedPlace(const Row& row) const;
  void MoveToSortedPlace(int index);
  bool Before(const Row& a, const Row& b) const;

  std::vector<std::unique_ptr<Row>> rows_;
  KeyIndex<Row> index_;
  const Row* selected_ = nullptr;
  RowObserver* observer_ = nullptr;
  int sort_key_ = 0;
  int sort_order_ = 0;
  bool sorted_ = false;
};

// The row key of a PID: "ID:" and the decimal PID, nothing between.
std::string RowKey(std::int32_t pid);

}  // namespace kelvar
