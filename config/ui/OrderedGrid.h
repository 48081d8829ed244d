// The read-only grid of the configuration windows: a click moves the table
// to the row, entering another column toggles the order between the tags
// "Um" and "Dois", and the cells of the order's key columns are painted
// light blue (225, 247, 255).
#pragma once

#include <QTableView>
#include <functional>
#include <string>
#include <vector>

#include "db/table.h"
#include "registers/ui/RecordTableModel.h"

namespace kaslo::ui {

class OrderedGrid final : public QTableView {
  Q_OBJECT

 public:
  OrderedGrid(QWidget* parent, db::Table& table, std::vector<GridColumn> columns, const char* name);

  RecordTableModel* rows() const { return model_; }
  // The rows again, the table's current row selected.
  void Reload();
  // The titles of the columns that make up the order's key, in key order:
  // what the find dialog names.
  std::vector<std::string> KeyLabels() const;

  // While it answers true (a row in edit) the grid follows neither clicks
  // nor column changes.
  std::function<bool()> frozen;
  // After a click moved the table to another row.
  std::function<void()> moved;
  // After the order changed; true when it is the first tag's.
  std::function<void(bool by_first)> reordered;

 private:
  void ColumnEntered(int column);

  db::Table& table_;
  RecordTableModel* model_ = nullptr;
  int column_ = 0;
  bool following_ = false;
};

}  // namespace kaslo::ui
