// Checks a data directory against the table set: every table present, with
// every field of its definition in the right kind and every tag. Fields and
// tags a table has beyond its definition are not faults.
#pragma once

#include <string>
#include <vector>

#include "db/database.h"
#include "db/schema.h"

namespace kaslo::db {

// One line per fault, in table order, each naming its table:
//   "Ycopro: missing table (no YCOPRO.DBF)"
//   "Ycopro: missing field PRO_ESTQ N(10,3)"
//   "Ycopro: field PRO_ESTQ is C(10), expected N(10,3)"
//   "Ycopro: missing index file YCOPRO.MDX (tags Um, Dois)"
//   "Ycopro: missing tag Dois (pro_descr)"
//   "Ycopro: tag Um is pro_descr, expected pro_plu"
//   "Ycopro: cannot open: <the engine's message>"
// Empty when the directory is sound. Opens tables shared and changes nothing.
std::vector<std::string> CheckTable(const Database& db, const TableDef& table);
std::vector<std::string> CheckDataDirectory(const Database& db);

// "N(10,3)", "C(50)", "L", "D".
std::string DescribeField(FieldType type, unsigned length, unsigned decimals);

}  // namespace kaslo::db
