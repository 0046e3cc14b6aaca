// The row store: the process rows of the list, the only store of process data
// in the program.  A row holds what the program knows of one process as
// typed fields (who it is, its memory and priority class as numbers, the
// texts of its file and remark, its icon and the file it runs); the text of a
// cell is made only when a view asks for it.  Rows are kept in display order
// and numbered from 0 as the list controls number them; a hash index finds the row of
// a PID in O(1), and each row caches its position, checked on use and rebuilt
// in one walk only after rows before it moved.  The store also holds the
// sort state and the selection, and tells one observer (the list control) of
// every change that alters what it shows; a write that changes no shown text
// tells no one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "monitor/key_index.h"
#include "platform/file_identity.h"
#include "platform/process_source.h"
#include "platform/row_view.h"

namespace kelvar {

enum class SortOrder { kAscending, kDescending };

// One process as its row knows it.
struct ProcessRow {
  ProcessId id;
  std::uint64_t memory_k = 0;  // the working set in units of 1024 bytes
  Priority priority = Priority::kUnknown;
  std::string name;  // the file's own name; empty when no file is found
  std::string path;
  std::string kind, level, remark;
  std::string icon;    // the image key of its small icon; empty for none
  FileIdentity image;  // the file the process ran when the row was made
};

class RowStore : public RowSource {
 public:
  RowStore();
  ~RowStore() override;
  RowStore(const RowStore&) = delete;
  RowStore& operator=(const RowStore&) = delete;

  void SetObserver(RowObserver* observer) { observer_ = observer; }

  int Count() const { return static_cast<int>(rows_.size()); }
  // Appends a row (or, while the list is sorted, inserts it at its place);
  // answers its index, or kNoRow when a row already has that PID.
  int Add(ProcessRow row);
  // The index of the row of a PID, or kNoRow.
  int RowOf(Pid pid) const;
  const ProcessRow& Row(int index) const;
  // A pass's figures for a row; a sorted list moves the row to its place.
  void SetFigures(int index, std::uint64_t memory_k, Priority priority);
  void Remove(int index);

  // The text a cell shows.
  std::string Text(int index, Column column) const;

  // The selection: kNoRow for none.  Removing the selected row leaves none.
  int Selected() const;
  void Select(int index);

  // Sort state: key column, order and the sorted flag; setting the flag
  // orders the rows at once.
  Column SortKey() const { return sort_key_; }
  SortOrder Order() const { return sort_order_; }
  bool Sorted() const { return sorted_; }
  void SetSortKey(Column key) { sort_key_ = key; }
  void SetOrder(SortOrder order) { sort_order_ = order; }
  void SetSorted(bool sorted);

  // RowSource, for the list controls.
  int RowCount() const override { return Count(); }
  std::string CellText(int row, Column column) const override { return Text(row, column); }
  std::string SpokenName(int row) const override;
  const std::string& IconKey(int row) const override { return Row(row).icon; }
  int SelectedRow() const override { return Selected(); }

 private:
  struct Entry;

  Entry& At(int index) const;
  int IndexOf(const Entry* entry) const;
  void Renumber(std::size_t from) const;
  int SortedPlace(const Entry& entry) const;
  void MoveToSortedPlace(int index);
  bool Before(const Entry& a, const Entry& b) const;

  std::vector<std::unique_ptr<Entry>> rows_;
  KeyIndex<Entry> index_;
  const Entry* selected_ = nullptr;
  RowObserver* observer_ = nullptr;
  Column sort_key_ = Column::kName;
  SortOrder sort_order_ = SortOrder::kAscending;
  bool sorted_ = false;
};

}  // namespace kelvar
