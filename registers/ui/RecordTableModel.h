// The grid's model over one open table: it pages through the current order
// by record number and reads only the rows the view asks for, so a table of
// 100,000 products shows at once. Reload() after every change of the order
// or of the rows.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <functional>
#include <optional>
#include <vector>

#include "db/table.h"

namespace kaslo::ui {

struct GridColumn {
  std::string field;  // a field of the table
  QString title;
  // Text of a stored row; by default the field's text as stored.
  std::function<QString(const db::Table&, uint32_t rec_no)> text = {};
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

class RecordTableModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  RecordTableModel(db::Table& table, std::vector<GridColumn> columns, QObject* parent = nullptr);

  void Reload();
  // The grid row of a record, or -1.
  int RowOf(uint32_t rec_no) const;
  uint32_t RecAt(int row) const { return order_[static_cast<size_t>(row)]; }
  const std::vector<GridColumn>& columns() const { return columns_; }
  // Background of a cell (the key-column shading); invalid: the grid's own.
  std::function<QColor(int column)> background;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  db::Table& table_;
  std::vector<GridColumn> columns_;
  // Where each plain column's field lies, found again at every Reload; none
  // for a column with its own text.
  std::vector<std::optional<db::Column>> fields_;
  std::vector<uint32_t> order_;
};

}  // namespace kaslo::ui
