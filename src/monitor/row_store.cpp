// The row store; see row_store.h for its shape.
#include "monitor/row_store.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "monitor/row_compare.h"

namespace kelvar {

// What every pass reads of a known row (position, start time, the memory
// and priority cells) stands first, in as few cache lines as it can.
struct RowStore::Row {
  mutable std::size_t position = 0;  // 0-based; a hint, checked before use
  std::uint64_t start_time = 0;
  std::int32_t pid = 0;
  std::uint64_t memory_k = 0;
  std::uint32_t priority_class = 0;
  std::array<std::string, kColumnCount> cells;
  std::string key;
  std::string icon;
  FileIdentity image;
};

RowStore::RowStore() = default;
RowStore::~RowStore() = default;

std::string RowKey(std::int32_t pid) { return "ID:" + std::to_string(pid); }

RowStore::Row& RowStore::At(int index) const {
  if (index < 1 || index > Count()) throw std::out_of_range("row index");
  return *rows_[static_cast<std::size_t>(index - 1)];
}

void RowStore::Renumber(std::size_t from) const {
  for (std::size_t i = from; i < rows_.size(); ++i) rows_[i]->position = i;
}

int RowStore::IndexOf(const Row* row) const {
  if (row->position >= rows_.size() || rows_[row->position].get() != row) Renumber(0);
  return static_cast<int>(row->position) + 1;
}

bool RowStore::Before(const Row& a, const Row& b) const {
  int c = 0;
  if (sort_key_ == cell::kPid) {
    c = a.pid < b.pid ? -1 : (a.pid > b.pid ? 1 : 0);
  } else if (sort_key_ == cell::kMemory) {
    c = a.memory_k < b.memory_k ? -1 : (a.memory_k > b.memory_k ? 1 : 0);
  } else {
    const auto column = static_cast<std::size_t>(sort_key_);
    c = CompareText(a.cells[column], b.cells[column]);
  }
  return sort_order_ == 0 ? c < 0 : c > 0;
}

// The index a row takes among the others (itself not counted): after every
// row it does not sort before, so equal rows keep their order.
int RowStore::SortedPlace(const Row& row) const {
  auto it =
      std::upper_bound(rows_.begin(), rows_.end(), row,
                       [this](const Row& r, const std::unique_ptr<Row>& other) { return Before(r, *other); });
  return static_cast<int>(it - rows_.begin()) + 1;
}

int RowStore::Add(std::string_view key, std::string_view text) {
  if (index_.Find(key)) return 0;
  auto row = std::make_unique<Row>();
  row->key = key;
  row->cells[0] = text;
  int index = sorted_ ? SortedPlace(*row) : Count() + 1;
  if (observer_) observer_->BeforeInsert(index);
  Row* raw = row.get();
  rows_.insert(rows_.begin() + (index - 1), std::move(row));
  index_.Insert(raw);
  raw->position = static_cast<std::size_t>(index - 1);
  if (observer_) observer_->AfterInsert();
  return index;
}

int RowStore::Find(std::string_view key) const {
  const Row* row = index_.Find(key);
  return row ? IndexOf(row) : 0;
}

const std::string& RowStore::SubItem(int index, int sub) const {
  return At(index).cells.at(static_cast<std::size_t>(sub));
}

void RowStore::SetSubItem(int index, int sub, std::string_view text) {
  std::string& cell = At(index).cells.at(static_cast<std::size_t>(sub));
  if (cell == text) return;
  cell = text;
  if (observer_) observer_->CellChanged(index, sub + 1);
  if (sorted_ && sub == sort_key_) MoveToSortedPlace(index);
}

// A row whose key cell changed while the list is sorted moves to its place.
void RowStore::MoveToSortedPlace(int index) {
  auto from = rows_.begin() + (index - 1);
  bool after_prev = index == 1 || !Before(**from, *rows_[static_cast<std::size_t>(index - 2)]);
  bool before_next = index == Count() || !Before(*rows_[static_cast<std::size_t>(index)], **from);
  if (after_prev && before_next) return;
  if (observer_) observer_->BeforeReorder();
  std::unique_ptr<Row> row = std::move(*from);
  rows_.erase(from);
  int to = SortedPlace(*row);
  rows_.insert(rows_.begin() + (to - 1), std::move(row));
  Renumber(0);
  if (observer_) observer_->AfterReorder();
}

const std::string& RowStore::Key(int index) const { return At(index).key; }
const std::string& RowStore::Icon(int index) const { return At(index).icon; }

void RowStore::SetIcon(int index, std::string_view image_key) {
  std::string& icon = At(index).icon;
  if (icon == image_key) return;
  icon = image_key;
  if (observer_) observer_->IconChanged(index);
}

std::uint64_t RowStore::StartTime(int index) const { return At(index).start_time; }
void RowStore::SetStartTime(int index, std::uint64_t start_time) { At(index).start_time = start_time; }
const FileIdentity& RowStore::Image(int index) const { return At(index).image; }
void RowStore::SetImage(int index, const FileIdentity& image) { At(index).image = image; }
std::int32_t RowStore::PidOf(int index) const { return At(index).pid; }
std::uint64_t RowStore::MemoryKOf(int index) const { return At(index).memory_k; }

// The number first, then its text: a sorted list places the row by the
// number when the text changes.  Decimal text without allocating, as every
// pass writes the memory of every row.
void RowStore::SetPid(int index, std::int32_t pid) {
  At(index).pid = pid;
  char buf[16];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, pid);
  SetSubItem(index, cell::kPid, std::string_view(buf, static_cast<std::size_t>(end - buf)));
}

void RowStore::SetMemoryK(int index, std::uint64_t k) {
  At(index).memory_k = k;
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, k);
  SetSubItem(index, cell::kMemory, std::string_view(buf, static_cast<std::size_t>(end - buf)));
}
std::uint32_t RowStore::PriorityClass(int index) const { return At(index).priority_class; }
void RowStore::SetPriorityClass(int index, std::uint32_t value) { At(index).priority_class = value; }

void RowStore::Remove(int index) {
  Row& row = At(index);
  bool was_selected = selected_ == &row;
  if (observer_) observer_->BeforeRemove(index);
  if (was_selected) selected_ = nullptr;
  index_.Erase(&row);
  rows_.erase(rows_.begin() + (index - 1));
  if (observer_) observer_->AfterRemove();
  if (was_selected && observer_) observer_->SelectionChanged();
}

int RowStore::Selected() const { return selected_ ? IndexOf(selected_) : 0; }

void RowStore::Select(int index) {
  const Row* row = index == 0 ? nullptr : &At(index);
  if (row == selected_) return;
  selected_ = row;
  if (observer_) observer_->SelectionChanged();
}

void RowStore::SetSorted(bool sorted) {
  sorted_ = sorted;
  if (!sorted_) return;
  if (observer_) observer_->BeforeReorder();
  std::stable_sort(
      rows_.begin(), rows_.end(),
      [this](const std::unique_ptr<Row>& a, const std::unique_ptr<Row>& b) { return Before(*a, *b); });
  Renumber(0);
  if (observer_) observer_->AfterReorder();
}

}  // namespace kelvar
