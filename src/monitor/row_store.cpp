// The row store; see row_store.h for its shape.
#include "monitor/row_store.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "monitor/row_compare.h"
#include "procinfo/priority.h"

namespace kelvar {

struct RowStore::Entry {
  mutable std::size_t position = 0;  // a hint, checked before use
  ProcessRow row;
  std::int32_t Key() const { return row.id.pid; }
};

namespace {

bool IsNumber(Column column) { return SpecOf(column).sort_as == SortAs::kNumber; }

// The number of a column that sorts as a number; 0 for the others.
std::uint64_t NumberOf(const ProcessRow& row, Column column) {
  switch (column) {
    case Column::kPid:
      return static_cast<std::uint32_t>(row.id.pid);
    case Column::kMemory:
      return row.memory_k;
    default:
      return 0;
  }
}

// The text of a column that sorts as text; empty for the others.
std::string_view TextOf(const ProcessRow& row, Column column) {
  switch (column) {
    case Column::kName:
      return row.name;
    case Column::kKind:
      return row.kind;
    case Column::kLevel:
      return row.level;
    case Column::kPriority:
      return PriorityName(row.priority);
    case Column::kPath:
      return row.path;
    case Column::kRemark:
      return row.remark;
    default:
      return {};
  }
}

int CompareNumbers(std::uint64_t a, std::uint64_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

RowStore::RowStore() = default;
RowStore::~RowStore() = default;

RowStore::Entry& RowStore::At(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("row index");
  return *rows_[static_cast<std::size_t>(index)];
}

void RowStore::Renumber(std::size_t from) const {
  for (std::size_t i = from; i < rows_.size(); ++i) rows_[i]->position = i;
}

int RowStore::IndexOf(const Entry* entry) const {
  if (entry->position >= rows_.size() || rows_[entry->position].get() != entry) Renumber(0);
  return static_cast<int>(entry->position);
}

bool RowStore::Before(const Entry& a, const Entry& b) const {
  const int c = IsNumber(sort_key_) ? CompareNumbers(NumberOf(a.row, sort_key_), NumberOf(b.row, sort_key_))
                                    : CompareText(TextOf(a.row, sort_key_), TextOf(b.row, sort_key_));
  return sort_order_ == SortOrder::kAscending ? c < 0 : c > 0;
}

// The index a row takes among the others (itself not counted): after every
// row it does not sort before, so equal rows keep their order.
int RowStore::SortedPlace(const Entry& entry) const {
  auto it = std::upper_bound(
      rows_.begin(), rows_.end(), entry,
      [this](const Entry& e, const std::unique_ptr<Entry>& other) { return Before(e, *other); });
  return static_cast<int>(it - rows_.begin());
}

int RowStore::Add(ProcessRow row) {
  if (index_.Find(row.id.pid)) return kNoRow;
  auto entry = std::make_unique<Entry>();
  entry->row = std::move(row);
  int index = sorted_ ? SortedPlace(*entry) : Count();
  if (observer_) observer_->BeforeInsert(index);
  Entry* raw = entry.get();
  rows_.insert(rows_.begin() + index, std::move(entry));
  index_.Insert(raw);
  raw->position = static_cast<std::size_t>(index);
  if (observer_) observer_->AfterInsert();
  return index;
}

int RowStore::RowOf(Pid pid) const {
  const Entry* entry = index_.Find(pid);
  return entry ? IndexOf(entry) : kNoRow;
}

const ProcessRow& RowStore::Row(int index) const { return At(index).row; }

std::string RowStore::Text(int index, Column column) const {
  const ProcessRow& row = At(index).row;
  return IsNumber(column) ? std::to_string(NumberOf(row, column)) : std::string(TextOf(row, column));
}

std::string RowStore::SpokenName(int index) const {
  const ProcessRow& row = At(index).row;
  if (!row.name.empty()) return row.name;
  if (!row.path.empty()) return row.path;
  return "PID " + std::to_string(row.id.pid);
}

void RowStore::SetFigures(int index, std::uint64_t memory_k, Priority priority) {
  ProcessRow& row = At(index).row;
  const bool memory_changed = row.memory_k != memory_k;
  const bool priority_changed = row.priority != priority;
  row.memory_k = memory_k;
  row.priority = priority;
  if (!memory_changed && !priority_changed) return;
  if (observer_ && memory_changed) observer_->CellChanged(index, Column::kMemory);
  if (observer_ && priority_changed) observer_->CellChanged(index, Column::kPriority);
  if (sorted_ && ((memory_changed && sort_key_ == Column::kMemory) ||
                  (priority_changed && sort_key_ == Column::kPriority)))
    MoveToSortedPlace(index);
}

// A row whose key changed while the list is sorted moves to its place.
void RowStore::MoveToSortedPlace(int index) {
  auto from = rows_.begin() + index;
  const auto at = static_cast<std::size_t>(index);
  bool after_prev = index == 0 || !Before(**from, *rows_[at - 1]);
  bool before_next = index == Count() - 1 || !Before(*rows_[at + 1], **from);
  if (after_prev && before_next) return;
  if (observer_) observer_->BeforeReorder();
  std::unique_ptr<Entry> entry = std::move(*from);
  rows_.erase(from);
  int to = SortedPlace(*entry);
  rows_.insert(rows_.begin() + to, std::move(entry));
  Renumber(0);
  if (observer_) observer_->AfterReorder();
}

void RowStore::Remove(int index) {
  Entry& entry = At(index);
  bool was_selected = selected_ == &entry;
  if (observer_) observer_->BeforeRemove(index);
  if (was_selected) selected_ = nullptr;
  index_.Erase(&entry);
  rows_.erase(rows_.begin() + index);
  if (observer_) observer_->AfterRemove();
  if (was_selected && observer_) observer_->SelectionChanged();
}

int RowStore::Selected() const { return selected_ ? IndexOf(selected_) : kNoRow; }

void RowStore::Select(int index) {
  const Entry* entry = index == kNoRow ? nullptr : &At(index);
  if (entry == selected_) return;
  selected_ = entry;
  if (observer_) observer_->SelectionChanged();
}

void RowStore::SetSorted(bool sorted) {
  sorted_ = sorted;
  if (!sorted_) return;
  if (observer_) observer_->BeforeReorder();
  std::stable_sort(
      rows_.begin(), rows_.end(),
      [this](const std::unique_ptr<Entry>& a, const std::unique_ptr<Entry>& b) { return Before(*a, *b); });
  Renumber(0);
  if (observer_) observer_->AfterReorder();
}

}  // namespace kelvar
