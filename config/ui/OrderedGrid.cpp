#include "config/ui/OrderedGrid.h"

#include <QHeaderView>

#include "common/ui/engine_error.h"

namespace kaslo::ui {

namespace {

const QColor kKeyColour(225, 247, 255);

bool SameName(const std::string& a, const std::string& b) {
  return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

OrderedGrid::OrderedGrid(QWidget* parent, db::Table& table, std::vector<GridColumn> columns, const char* name)
    : QTableView(parent), table_(table) {
  setObjectName(QString::fromLatin1(name));
  model_ = new RecordTableModel(table, std::move(columns), this);
  model_->background = [this](int column) {
    const std::string& field = model_->columns()[static_cast<size_t>(column)].field;
    for (const std::string& key : table_.tagFields(table_.tag())) {
      if (SameName(key, field)) return kKeyColour;
    }
    return QColor();
  };
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->setDefaultSectionSize(20);
  verticalHeader()->setFixedWidth(14);
  horizontalHeader()->setStretchLastSection(true);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (following_ || !current.isValid() || (frozen && frozen())) return;
    RunShowingEngineError([&] {
      table_.go(model_->RecAt(current.row()));
      if (moved) moved();
    });
  });
  connect(selectionModel(), &QItemSelectionModel::currentColumnChanged, this, [this](const QModelIndex& current) {
    if (following_ || !current.isValid()) return;
    RunShowingEngineError([&] { ColumnEntered(current.column()); });
  });
}

void OrderedGrid::Reload() {
  following_ = true;
  model_->Reload();
  const int row = table_.eof() || table_.recNo() == 0 ? -1 : model_->RowOf(table_.recNo());
  if (row >= 0) {
    selectionModel()->setCurrentIndex(model_->index(row, column_),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  following_ = false;
}

std::vector<std::string> OrderedGrid::KeyLabels() const {
  std::vector<std::string> labels;
  for (const std::string& key : table_.tagFields(table_.tag())) {
    for (const GridColumn& column : model_->columns()) {
      if (SameName(key, column.field)) labels.push_back(column.title.toStdString());
    }
  }
  return labels;
}

void OrderedGrid::ColumnEntered(int column) {
  if (column == column_) return;
  column_ = column;
  if (frozen && frozen()) return;
  const bool by_first = !SameName(table_.tag(), "Um");
  table_.setTag(by_first ? "Um" : "Dois");
  Reload();
  if (reordered) reordered(by_first);
}

}  // namespace kaslo::ui
