// Field descriptors and values of the dBase tables.
//
// A table definition (db/tables/) names each field once as a constexpr
// FieldDef; code reads and writes fields through those constants, never
// through a repeated string.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace kaslo::db {

// A calendar date without time (dBase D fields, dtos() keys).
using Date = std::chrono::year_month_day;

// Field kinds of dBase III+/IV.
enum class FieldType : char {
  kCharacter = 'C',
  kNumeric = 'N',
  kFloat = 'F',
  kLogical = 'L',
  kDate = 'D',
  kMemo = 'M',
};

// One field of a table definition. length and decimals are those written in
// the field descriptor (D is always 8, L 1, M 10).
struct FieldDef {
  std::string_view name;
  FieldType type;
  uint16_t length;
  uint8_t decimals = 0;
};

constexpr FieldDef Char(std::string_view name, uint16_t length) {
  return {name, FieldType::kCharacter, length, 0};
}
constexpr FieldDef Num(std::string_view name, uint16_t length, uint8_t decimals = 0) {
  return {name, FieldType::kNumeric, length, decimals};
}
constexpr FieldDef Logical(std::string_view name) { return {name, FieldType::kLogical, 1, 0}; }
constexpr FieldDef DateField(std::string_view name) { return {name, FieldType::kDate, 8, 0}; }
constexpr FieldDef Memo(std::string_view name) { return {name, FieldType::kMemo, 10, 0}; }

// A field as found in an open table's header.
struct FieldInfo {
  std::string name;  // as stored, upper case in files written by the engine
  FieldType type;
  uint16_t length;
  uint8_t decimals;
};

// An index tag of a table definition: `Um` with expression
// "str(grp_codigo,12)+str(dep_codigo,12)", `Dois` with "grp_descr".
struct TagDef {
  std::string_view name;
  std::string_view expression;
};

// One part of a search key. A plain tag takes one part; an expression tag
// made of several fields joined by "+" takes one part per field, in order
// (findNearest accepts fewer parts than fields: the missing tail is the
// lowest value).
using KeyPart = std::variant<double, std::string, Date>;

}  // namespace kaslo::db
