// Writes the live rows of an open table as JSON or CSV (UTF-8), in the
// table's current order, for people and for other programs to compare.
//
// JSON: {"table": "...", "fields": [{"name", "type", "length", "decimals"}],
//        "records": [{field: value, ...}]}
// with numbers as numbers (written with the field's decimals), blank fields
// as null, dates "yyyy-mm-dd", logicals true/false and texts without their
// trailing blanks. CSV: a header line of field names, then one line per row
// with the same values (blank as empty, logicals T/F), quoted where a value
// holds a comma, a quote, a line break or blanks at its ends.
#pragma once

#include <ostream>

#include "db/table.h"

namespace kaslo::db {

// Both start at the first row of the current order and leave the cursor at
// the end. Values the engine cannot read as their kind (a number field
// holding letters) are written as null / empty.
void DumpJson(Table& table, std::ostream& out);
void DumpCsv(Table& table, std::ostream& out);

}  // namespace kaslo::db
