// What the editors' window tests share: controls found by name, the window
// made active as the user's, and the grid as the user sees and clicks it.
#pragma once

#include <QAction>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

#include <string_view>

#include "db/database.h"
#include "db/table.h"

namespace kaslo::ui {

namespace editor_test {

inline QAction* Action(QWidget& w, const char* name) { return w.findChild<QAction*>(QString::fromLatin1(name)); }
inline QLineEdit* Edit(QWidget& w, const char* name) { return w.findChild<QLineEdit*>(QString::fromLatin1(name)); }

inline void ShowActive(QWidget& w) {
  w.show();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
}

// The row the user sees highlighted: -1 for none, -2 for more than one.
inline int Highlighted(QTableView* grid) {
  const QModelIndexList rows = grid->selectionModel()->selectedRows();
  if (rows.size() > 1) return -2;
  return rows.isEmpty() ? -1 : rows.front().row();
}

// A click of the mouse on a cell, as the user makes it.
inline void ClickCell(QTableView* grid, int row, int column) {
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, column)).center());
}

inline QString CellText(QTableView* grid, int row, int column) {
  return grid->model()->index(row, column).data().toString();
}

// `table` holds exactly the rows 1..count that `row(table, i)` fills.
template <class Row>
void Keep(const db::Database& db, std::string_view table, int count, const Row& row) {
  auto t = db.open(table, {.tag = "", .exclusive = true});
  t->emptyTable();
  for (int i = 1; i <= count; ++i) {
    t->append();
    row(*t, i);
    t->post();
  }
}

}  // namespace editor_test

}  // namespace kaslo::ui
