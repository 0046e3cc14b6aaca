// The Qt model of the list; see row_model.h.
#include "platform/qt/row_model.h"

#include "platform/qt/display_text.h"
#include "platform/qt/image_list.h"

namespace kelvar::qt {

RowModel::RowModel(const QtImageList& images, QObject* parent)
    : QAbstractTableModel(parent), images_(images) {}

void RowModel::SetSource(const RowSource* source) {
  beginResetModel();
  source_ = source;
  endResetModel();
}

void RowModel::AddColumn(const QString& title) {
  int at = static_cast<int>(columns_.size());
  beginInsertColumns({}, at, at);
  columns_.push_back({title, Alignment::kLeft});
  endInsertColumns();
}

void RowModel::SetAlignment(int column, Alignment alignment) {
  if (column < 0 || column >= static_cast<int>(columns_.size())) return;
  columns_[static_cast<std::size_t>(column)].alignment = alignment;
  emit headerDataChanged(Qt::Horizontal, column, column);
  if (rowCount() > 0) emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

Qt::Alignment RowModel::AlignmentOf(int section) const {
  bool right = columns_[static_cast<std::size_t>(section)].alignment == Alignment::kRight;
  return (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

int RowModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !source_ ? 0 : source_->RowCount();
}

int RowModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RowModel::data(const QModelIndex& index, int role) const {
  if (!source_ || !index.isValid() || index.row() >= source_->RowCount()) return {};
  const int row = index.row();
  const std::optional<Column> column = ColumnAt(index.column());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return column ? DisplayText(source_->CellText(row, *column)) : QString();
    case Qt::AccessibleTextRole:
      return column == Column::kName ? DisplayText(source_->SpokenName(row)) : QVariant();
    case Qt::DecorationRole:
      if (column != Column::kName) return {};
      return images_.Icon(source_->IconKey(row));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(AlignmentOf(index.column()));
    default:
      return {};
  }
}

QVariant RowModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return columns_[static_cast<std::size_t>(section)].title;
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(AlignmentOf(section));
  return {};
}

Qt::ItemFlags RowModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void RowModel::BeforeInsert(int row) {
  ++changing_;
  beginInsertRows({}, row, row);
}

void RowModel::AfterInsert() {
  endInsertRows();
  --changing_;
}

void RowModel::BeforeRemove(int row) {
  ++changing_;
  beginRemoveRows({}, row, row);
}

// While a removed row was current, the view moved its highlight to a
// neighbour on its own; the store's selection is shown again.
void RowModel::AfterRemove() {
  endRemoveRows();
  --changing_;
  if (selection_changed_) selection_changed_();
}

void RowModel::BeforeReorder() {
  ++changing_;
  emit layoutAboutToBeChanged();
}

// The rows carry no identity the model could follow, and the one index that
// matters, the selection, lives in the store: the view's persistent indexes
// are let go and the selection is shown again from the store.
void RowModel::AfterReorder() {
  QModelIndexList old = persistentIndexList();
  changePersistentIndexList(old, QModelIndexList(old.size()));
  emit layoutChanged();
  --changing_;
  if (selection_changed_) selection_changed_();
}

void RowModel::CellChanged(int row, Column column) {
  QModelIndex at = index(row, static_cast<int>(column));
  if (at.isValid()) emit dataChanged(at, at, {Qt::DisplayRole, Qt::ToolTipRole});
}

void RowModel::SelectionChanged() {
  if (selection_changed_) selection_changed_();
}

}  // namespace kelvar::qt
