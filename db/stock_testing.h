// Test helpers for the stock field of Ycopro, shared by the tests of the
// stock conversion and of the menu command that runs it.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>

#include "db/database.h"
#include "db/table.h"
#include "db/tables/ycopro.h"

namespace kaslo::db::testing {

inline void SetEveryStock(const Database& db, double stock) {
  auto t = db.open(ycopro::kTable);
  for (t->first(); !t->eof(); t->next()) {
    t->edit();
    t->setNumber(ycopro::PRO_ESTQ, stock);
    ASSERT_TRUE(t->post());
  }
}

// Rows whose stock is not blank.
inline size_t StockedRows(const Database& db) {
  auto t = db.open(ycopro::kTable);
  size_t n = 0;
  for (t->first(); !t->eof(); t->next()) n += t->isBlank(ycopro::PRO_ESTQ) ? 0 : 1;
  return n;
}

inline FieldInfo StockField(const Database& db) {
  auto t = db.open(ycopro::kTable);
  return t->fields()[*t->fieldIndex(ycopro::PRO_ESTQ.name)];
}

inline size_t Products(const Database& db) { return db.open(ycopro::kTable)->recordCount(); }

}  // namespace kaslo::db::testing
