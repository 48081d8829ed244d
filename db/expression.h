// dBase expressions over the fields of one record: index tag keys
// ("str(grp_codigo,12)+str(dep_codigo,12)", "upper(pro_descr)") and filters
// ("TEY_TYPE='QZV'", "TEY_NUMBER = '905' AND TEY_TYPE = 'QZV'").
//
// Grammar (names and keywords without regard to case):
//   or      := and { (OR | .OR.) and }
//   and     := not { (AND | .AND.) not }
//   not     := (NOT | .NOT. | !) not | compare
//   compare := sum [ (= | == | <> | # | != | < | > | <= | >= | $) sum ]
//   sum     := unary { (+ | -) unary }
//   unary   := - unary | primary
//   primary := number | 'text' | "text" | .T. | .F. | field
//            | function ( args ) | ( or )
//   functions: str(n[,len[,dec]]) upper(s) lower(s) dtos(d) substr(s,start[,len])
//              left(s,n) right(s,n) trim(s) rtrim(s) ltrim(s) val(s)
//
// Comparisons: texts ignore trailing blanks. A numeric field compared with a
// quoted number compares as numbers, and a blank numeric field counts as 0
// there (so "DEP_CODIGO = '0'" matches blank and zero); compared with '' it
// tests for blank (so "DEP_CODIGO = ''" matches only blank rows).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/field.h"

namespace kaslo::db::internal {

enum class ValueKind : uint8_t { kNumber, kText, kLogical, kDate };

struct Value {
  ValueKind kind = ValueKind::kNumber;
  bool blank = false;
  bool logical = false;
  double number = 0;  // also the Julian day of a date
  std::string text;   // texts; dates as "yyyymmdd" ("" when blank)
};

class Expression {
 public:
  // Throws db::Error "<table>: cannot read expression ...: <reason>".
  static Expression Parse(std::string_view text, const std::vector<FieldInfo>& fields,
                          const std::vector<uint32_t>& offsets, const std::string& table_name);
  Expression();
  ~Expression();
  Expression(Expression&&) noexcept;
  Expression& operator=(Expression&&) noexcept;
  Expression(const Expression&);
  Expression& operator=(const Expression&);

  const std::string& text() const;
  ValueKind kind() const;
  // Width of a text result (the key length of a C tag).
  uint16_t length() const;

  Value Evaluate(const char* record) const;
  // Filters: the logical result (a non-logical expression is true when not
  // blank/zero).
  bool Test(const char* record) const;

  // The parts of a key: the operands of the top-level "+" of a text
  // expression (one part for anything else), each with the field it reads.
  size_t PartCount() const;
  std::optional<size_t> PartField(size_t part) const;
  uint16_t PartLength(size_t part) const;
  // Text of parts [0, count) evaluated on the record, each padded to its length.
  std::string EvaluateParts(const char* record, size_t count) const;
  // The field index when the expression is that field alone.
  std::optional<size_t> PlainField() const;
  uint32_t FieldOffset(size_t field) const;

  // Key text of a C tag: the value padded with blanks (or cut) to length().
  std::string KeyText(const char* record) const;
  // Key number of an N or D tag (blank counts as 0).
  double KeyNumber(const char* record) const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Upper case of a Latin-1 text (ASCII and the accented letters).
std::string UpperLatin1(std::string_view s);

}  // namespace kaslo::db::internal
