// The paging grid model.
#include "registers/ui/RecordTableModel.h"

#include <algorithm>

#include "common/ui/qt_text.h"

namespace kaslo::ui {

RecordTableModel::RecordTableModel(db::Table& table, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)) {
  Reload();
}

void RecordTableModel::Reload() {
  beginResetModel();
  fields_.clear();
  for (const GridColumn& column : columns_) {
    fields_.push_back(column.text ? std::nullopt : std::optional(table_.column(std::string_view(column.field))));
  }
  order_ = table_.visibleOrder();
  endResetModel();
}

int RecordTableModel::RowOf(uint32_t rec_no) const {
  auto it = std::find(order_.begin(), order_.end(), rec_no);
  return it == order_.end() ? -1 : static_cast<int>(it - order_.begin());
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const GridColumn& column = columns_[static_cast<size_t>(index.column())];
  const uint32_t rec = order_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      if (column.text) return column.text(table_, rec);
      return FromLatin1(table_.getStringAt(rec, *fields_[static_cast<size_t>(index.column())]));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(column.alignment);
    case Qt::BackgroundRole:
      if (background) {
        QColor colour = background(index.column());
        if (colour.isValid()) return colour;
      }
      return {};
    default:
      return {};
  }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < columnCount()) {
    return columns_[static_cast<size_t>(section)].title;
  }
  return {};
}

}  // namespace kaslo::ui
