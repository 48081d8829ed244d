// Reading many rows: a field is found once (Column), then each row's values
// come straight from its bytes (RowView), without a name lookup, a copy or
// the locale per field. The values are those of Table's getters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "db/dbf_file.h"
#include "db/field.h"

namespace kaslo::db {

class TableImpl;

// Where a field of an open table lies in its records. Valid while the table
// stays open and its header is not re-read with other fields.
struct Column {
  size_t index = 0;
  uint32_t offset = 0;  // from the start of the record (the deleted flag)
  uint16_t length = 0;
  uint8_t decimals = 0;
  FieldType type = FieldType::kCharacter;
};

// One row's bytes as stored. Valid until the table moves, posts or reloads.
class RowView {
 public:
  RowView(const char* record, uint32_t rec_no, const TableImpl* table)
      : record_(record), rec_no_(rec_no), table_(table) {}

  uint32_t recNo() const { return rec_no_; }  // 0 for a row being inserted
  std::string_view raw(const Column& c) const { return {record_ + c.offset, c.length}; }

  // As Table::getString, except that a memo field gives its block number
  // (memo() gives its text).
  std::string_view text(const Column& c) const {
    switch (c.type) {
      case FieldType::kCharacter:
      case FieldType::kMemo: return internal::TrimRight(raw(c));
      case FieldType::kNumeric:
      case FieldType::kFloat: return internal::Trim(raw(c));
      case FieldType::kDate: return date(c) ? raw(c) : std::string_view();
      case FieldType::kLogical: {
        const std::optional<bool> v = logical(c);
        return v ? (*v ? "T" : "F") : "";
      }
    }
    return {};
  }
  // As Table::isBlank, memos aside (a memo is blank when memo() is empty).
  bool blank(const Column& c) const {
    if (c.type != FieldType::kLogical) return internal::IsBlankText(raw(c));
    const char flag = c.length ? record_[c.offset] : ' ';
    return flag == ' ' || flag == '?' || flag == '\0';
  }
  // Numbers of N, F and C fields; nullopt when blank or unreadable.
  std::optional<double> number(const Column& c) const {
    if (c.type == FieldType::kDate || c.type == FieldType::kLogical || c.type == FieldType::kMemo) return std::nullopt;
    if (c.type == FieldType::kCharacter) return internal::ParseNumber(raw(c));
    return internal::ParseFieldNumber(raw(c), c.decimals);
  }
  double asNumber(const Column& c) const { return number(c).value_or(0); }
  std::optional<Date> date(const Column& c) const { return internal::ParseDate(raw(c)); }
  std::optional<bool> logical(const Column& c) const {
    switch (c.length ? record_[c.offset] : ' ') {
      case 'T': case 't': case 'Y': case 'y': case 'S': case 's': return true;
      case 'F': case 'f': case 'N': case 'n': return false;
      default: return std::nullopt;
    }
  }
  // A memo's text as stored ("" without a memo); getString gives it
  // without its trailing blanks.
  std::string memo(const Column& c) const;

 private:
  const char* record_;
  uint32_t rec_no_;
  const TableImpl* table_;
};

}  // namespace kaslo::db
