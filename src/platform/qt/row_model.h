// The Qt model of the list: a read-only table over the row store.  The store is
// the only holder of process data and does the sorting itself; this model
// keeps no rows of its own, reads cells through RowSource when the view
// paints, and turns each RowObserver call into the matching Qt model
// notification, so a pass that changes nothing costs the view nothing.
// The columns are those of platform/columns.h: the form adds their titles
// and alignment at start-up, and the model reads cells by them.  A row's first cell always has an
// accessible text, its name or, for a row without one, its path or PID.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/list_control.h"
#include "platform/row_view.h"

namespace kelvar::qt {

class QtImageList;

class RowModel : public QAbstractTableModel, public RowObserver {
 public:
  RowModel(const QtImageList& images, QObject* parent = nullptr);

  void SetSource(const RowSource* source);
  const RowSource* Source() const { return source_; }

  // Columns, numbered from 0.
  void AddColumn(const QString& title);
  void SetAlignment(int column, Alignment alignment);

  // Told after the store changed its selection (and after a reorder), so the
  // view can show the store's selected row.
  void OnSelectionChanged(std::function<void()> callback) { selection_changed_ = std::move(callback); }
  // True between a Before* and its After* call: selection signals the view
  // raises then come from the store's change, not from the user.
  bool Changing() const { return changing_ > 0; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // RowObserver.
  void BeforeInsert(int row) override;
  void AfterInsert() override;
  void BeforeRemove(int row) override;
  void AfterRemove() override;
  void BeforeReorder() override;
  void AfterReorder() override;
  void CellChanged(int row, Column column) override;
  void SelectionChanged() override;

 private:
  struct ColumnInfo {
    QString title;
    Alignment alignment = Alignment::kLeft;
  };
  Qt::Alignment AlignmentOf(int section) const;

  const QtImageList& images_;
  const RowSource* source_ = nullptr;
  std::vector<ColumnInfo> columns_;
  std::function<void()> selection_changed_;
  int changing_ = 0;
};

}  // namespace kelvar::qt
