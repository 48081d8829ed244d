// The text formats the commands print, in one place: CSV and JSON of a
// table's live rows (`kaslo dump`) and of a grid of texts under column
// captions (`kaslo view`). Everything is UTF-8.
//
// CSV: comma-separated, every line ended by CR LF; a cell is quoted only
// where it holds a comma, a quote, a line break or blanks at its ends, with
// a quote inside doubled.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/table.h"
#include "db/table_rows.h"

namespace kaslo::cli {

void WriteCsvCell(std::ostream& out, std::string_view cell);
// The cells, then CR LF.
void WriteCsvLine(std::ostream& out, std::span<const std::string> cells);

// A number as written with `decimals` decimals ("12.50"); zero is never
// written "-0".
std::string NumberText(double value, unsigned decimals);

// From the first row of the table's current order; the cursor is left at
// the end.
// CSV: the field names, then one line per row: numbers with the field's
// decimals, dates yyyy-mm-dd, logicals T/F, blank fields empty. A date
// field that does not hold a date shows its stored text, and `unreadable`
// hears of it.
void WriteTableCsv(db::Table& table, std::ostream& out, const db::UnreadableValue& unreadable);
inline void WriteTableCsv(db::Table& table, std::ostream& out) { WriteTableCsv(table, out, {}); }
// JSON: {"table", "fields": [{"name", "type", "length", "decimals"}],
// "records": [{field: value}]}: numbers as numbers (whole numbers for fields
// without decimals), blank fields null, dates "yyyy-mm-dd", logicals
// true/false. One field or record a line. Two fields of one name both
// appear in the record, in field order. Unreadable dates as for CSV.
void WriteTableJson(db::Table& table, std::ostream& out, const db::UnreadableValue& unreadable);
inline void WriteTableJson(db::Table& table, std::ostream& out) { WriteTableJson(table, out, {}); }

using TextRows = std::vector<std::vector<std::string>>;

// Every cell as given; a row shorter than the captions is filled out with
// empty cells.
// CSV: the captions, then one line per row.
void WriteGridCsv(std::span<const std::string> columns, const TextRows& rows, std::ostream& out);
// JSON: {"columns": [...], "rows": [[...], ...]}, one row a line.
void WriteGridJson(std::span<const std::string> columns, const TextRows& rows, std::ostream& out);

}  // namespace kaslo::cli
