// The live rows of an open table as typed values, for the writers that show
// a table to people and to other programs (the command line's CSV and JSON).
// The engine only reads; how a value is spelt is the writer's business.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "db/table.h"

namespace kaslo::db {

// A field as the header lists it, its name in UTF-8.
struct ListedField {
  std::string name;
  FieldType type;
  unsigned length;
  unsigned decimals;
};

struct TableListing {
  std::string table;  // the file name as found on disk, UTF-8
  std::vector<ListedField> fields;
};

// A number with the field's decimals, which its written form keeps, and its
// digits as stored (without blanks), from which a writer may copy it.
struct RowNumber {
  double value;
  unsigned decimals;
  std::string_view stored;
};
// A character or memo field in Latin-1, as stored, without its trailing
// blanks.
struct RowText {
  std::string_view latin1;
};
struct RowDate {
  Date date;
};
// monostate: a blank field, or one the engine cannot read as its kind (a
// number field holding letters, a logical "?"). A date field whose eight
// characters are not a date gives its stored text (RowText), never a value
// that is not there. Texts are views into the row: valid while the row is
// being handed over.
using RowValue = std::variant<std::monostate, RowNumber, RowText, RowDate, bool>;

TableListing ListFields(const Table& table);

// A field of a row that is shown as its stored text because it cannot be
// read as its kind: the field's index, the record number, the stored text.
using UnreadableValue = std::function<void(size_t field, uint32_t rec_no, std::string_view stored)>;

// Hands each live row of the table's current order, from the first, to
// `row`: one value per field, in field order. Leaves the cursor at the end.
void ForEachLiveRow(Table& table, const std::function<void(std::span<const RowValue>)>& row,
                    const UnreadableValue& unreadable = {});

}  // namespace kaslo::db
