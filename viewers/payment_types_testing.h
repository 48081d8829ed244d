// Test helper: the payment types of Ycoq40 as a replacement leaves them,
// shared by the viewer's tests and the command line's.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "db/database.h"
#include "db/tables/ycoq40.h"

namespace kaslo::viewers::testing {

// Code, name, kind, change, drawer, "Em.Cont.Val." and receiving limit.
using PaymentTypeRow = std::tuple<int64_t, std::string, std::string, std::string, std::string, std::string, double>;

// The rows in code order; texts as stored (Latin-1).
inline std::vector<PaymentTypeRow> PaymentTypeRows(const db::Database& db) {
  std::vector<PaymentTypeRow> rows;
  auto q40 = db.open(ycoq40::kTable, {.tag = "Um"});
  for (q40->first(); !q40->eof(); q40->next())
    rows.emplace_back(q40->asInteger(ycoq40::Q40_CODIGO), q40->getString(ycoq40::Q40_DESCR),
                      q40->getString(ycoq40::Q40_TIPO), q40->getString(ycoq40::Q40_TROCO),
                      q40->getString(ycoq40::Q40_GAVETA), q40->getString(ycoq40::Q40_CVALLE),
                      q40->asNumber(ycoq40::Q40_LIMITE));
  return rows;
}

}  // namespace kaslo::viewers::testing
