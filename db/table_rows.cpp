// Typed values of a table's live rows.
#include "db/table_rows.h"

#include <cmath>
#include <optional>

#include "common/encoding.h"
#include "db/row_view.h"

namespace kaslo::db {
namespace {

// Into the row's value in place: building a variant and moving it in costs
// more than reading the field.
void Read(const RowView& row, const Column& c, RowValue& value, std::string& memo,
          const UnreadableValue& unreadable) {
  switch (c.type) {
    case FieldType::kNumeric:
    case FieldType::kFloat: {
      const std::optional<double> n = row.blank(c) ? std::nullopt : row.number(c);
      if (!n || !std::isfinite(*n)) value.emplace<std::monostate>();
      else value.emplace<RowNumber>(RowNumber{*n, c.decimals, row.text(c)});
      return;
    }
    case FieldType::kDate: {
      if (row.blank(c)) {
        value.emplace<std::monostate>();
      } else if (const std::optional<Date> d = row.date(c)) {
        value.emplace<RowDate>(RowDate{*d});
      } else {
        const std::string_view stored = internal::TrimRight(row.raw(c));
        if (unreadable) unreadable(c.index, row.recNo(), stored);
        value.emplace<RowText>(RowText{stored});
      }
      return;
    }
    case FieldType::kLogical: {
      const std::optional<bool> b = row.logical(c);
      if (!b) value.emplace<std::monostate>();
      else value.emplace<bool>(*b);
      return;
    }
    case FieldType::kMemo:
      memo = row.memo(c);
      if (memo.empty()) value.emplace<std::monostate>();
      else value.emplace<RowText>(RowText{internal::TrimRight(memo)});
      return;
    case FieldType::kCharacter:
      if (row.blank(c)) value.emplace<std::monostate>();
      else value.emplace<RowText>(RowText{row.text(c)});
      return;
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
  std::vector<Column> columns;
  for (size_t i = 0; i < table.fields().size(); ++i) columns.push_back(table.column(i));
  std::vector<RowValue> values(columns.size());
  // One buffer a memo field, so that each value's view stays valid.
  std::vector<std::string> memos(columns.size());
  for (table.first(); !table.eof(); table.next()) {
    const RowView view = table.row();
    for (size_t i = 0; i < columns.size(); ++i) Read(view, columns[i], values[i], memos[i], unreadable);
    row(values);
  }
}

}  // namespace kaslo::db
