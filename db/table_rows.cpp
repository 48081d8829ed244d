// Typed values of a table's live rows.
#include "db/table_rows.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "common/encoding.h"

namespace kaslo::db {
namespace {

std::string IsoDate(const Date& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(d.year()), static_cast<unsigned>(d.month()),
                static_cast<unsigned>(d.day()));
  return buf;
}

RowValue Read(const Table& t, size_t index, const UnreadableValue& unreadable) {
  const FieldInfo& f = t.fields()[index];
  if (t.isBlank(index)) return {};
  switch (f.type) {
    case FieldType::kNumeric:
    case FieldType::kFloat: {
      std::optional<double> n = t.getNumber(index);
      if (!n || !std::isfinite(*n)) return {};
      return RowNumber{*n, f.decimals};
    }
    case FieldType::kDate: {
      std::optional<Date> d = t.getDate(index);
      if (d) return RowDate{IsoDate(*d)};
      std::string stored = t.storedText(index);
      if (unreadable) unreadable(index, t.recNo(), stored);
      return RowText{kaslo::Latin1ToUtf8(stored)};
    }
    case FieldType::kLogical: {
      std::optional<bool> b = t.getLogical(index);
      if (!b) return {};
      return *b;
    }
    default:
      return RowText{kaslo::Latin1ToUtf8(t.getString(index))};
  }
}

}  // namespace

TableListing ListFields(const Table& table) {
  TableListing listing{kaslo::Latin1ToUtf8(table.fileName()), {}};
  for (const FieldInfo& f : table.fields())
    listing.fields.push_back({kaslo::Latin1ToUtf8(f.name), f.type, f.length, f.decimals});
  return listing;
}

void ForEachLiveRow(Table& table, const std::function<void(std::span<const RowValue>)>& row,
                    const UnreadableValue& unreadable) {
  std::vector<RowValue> values(table.fields().size());
  for (table.first(); !table.eof(); table.next()) {
    for (size_t i = 0; i < values.size(); ++i) values[i] = Read(table, i, unreadable);
    row(values);
  }
}

}  // namespace kaslo::db
