// The table set of the data directory: every table with its fields in table
// order and its index tags. Field constants live in db/tables/<table>.h, one
// namespace per table (ycopro::PRO_PLU); this header lists the tables.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "db/field.h"

namespace kaslo::db {

struct TableDef {
  std::string_view name;     // "Ycopro": the file is name + ".dbf", matched without case
  std::span<const FieldDef> fields;
  std::span<const TagDef> tags;  // empty for tables read without a tag
  std::string_view caption;  // progress caption of the index check, UTF-8; "" when not checked
};

// Every table of the set, in the order of the index check first, then the
// tables the index check does not touch (Ycouse, Ycoycf, Ycoetq, ycoy60).
std::span<const TableDef> AllTables();
// The fifteen tables of the index check, in its order.
std::span<const TableDef> IndexCheckTables();
// nullptr when the name is not a table of the set (case-insensitive).
const TableDef* FindTable(std::string_view name);

}  // namespace kaslo::db
