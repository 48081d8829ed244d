// JSON and CSV output of a table.
#include "db/table_dump.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "common/encoding.h"

namespace kaslo::db {
namespace {

// One field value in the forms both writers share; nullopt for blank.
struct Value {
  enum Kind { kNumber, kText, kBool } kind;
  std::string text;  // digits, UTF-8 text, ISO date
  bool flag = false;
};

std::string FormatNumber(double value, unsigned decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(decimals), value);
  std::string s = buf;
  if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);  // no "-0"
  return s;
}

std::string FormatDate(const Date& d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(d.year()), static_cast<unsigned>(d.month()),
                static_cast<unsigned>(d.day()));
  return buf;
}

std::optional<Value> Read(const Table& t, size_t index) {
  const FieldInfo& f = t.fields()[index];
  if (t.isBlank(index)) return std::nullopt;
  switch (f.type) {
    case FieldType::kNumeric:
    case FieldType::kFloat: {
      std::optional<double> n = t.getNumber(index);
      if (!n || !std::isfinite(*n)) return std::nullopt;
      return Value{Value::kNumber, FormatNumber(*n, f.decimals)};
    }
    case FieldType::kDate: {
      std::optional<Date> d = t.getDate(index);
      if (!d) return std::nullopt;
      return Value{Value::kText, FormatDate(*d)};
    }
    case FieldType::kLogical: {
      std::optional<bool> b = t.getLogical(index);
      if (!b) return std::nullopt;
      return Value{Value::kBool, "", *b};
    }
    default:
      return Value{Value::kText, kaslo::Latin1ToUtf8(t.getString(index))};
  }
}

void JsonString(std::ostream& out, std::string_view s) {
  out << '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"': out << "\\\""; break;
      case '\\': out << "\\\\"; break;
      case '\n': out << "\\n"; break;
      case '\r': out << "\\r"; break;
      case '\t': out << "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out << buf;
        } else {
          out << static_cast<char>(c);
        }
    }
  }
  out << '"';
}

void CsvCell(std::ostream& out, std::string_view s) {
  bool quote = s.find_first_of(",\"\r\n") != std::string_view::npos ||
               (!s.empty() && (s.front() == ' ' || s.back() == ' '));
  if (!quote) {
    out << s;
    return;
  }
  out << '"';
  for (char c : s) {
    if (c == '"') out << '"';
    out << c;
  }
  out << '"';
}

}  // namespace

void DumpJson(Table& table, std::ostream& out) {
  const std::vector<FieldInfo>& fields = table.fields();
  out << "{\"table\": ";
  JsonString(out, kaslo::Latin1ToUtf8(table.fileName()));
  out << ",\n \"fields\": [";
  for (size_t i = 0; i < fields.size(); ++i) {
    out << (i ? ",\n  " : "\n  ") << "{\"name\": ";
    JsonString(out, kaslo::Latin1ToUtf8(fields[i].name));
    out << ", \"type\": \"" << static_cast<char>(fields[i].type) << "\", \"length\": " << fields[i].length
        << ", \"decimals\": " << static_cast<unsigned>(fields[i].decimals) << "}";
  }
  out << "],\n \"records\": [";
  bool first_row = true;
  for (table.first(); !table.eof(); table.next()) {
    out << (first_row ? "\n  {" : ",\n  {");
    first_row = false;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i) out << ", ";
      JsonString(out, kaslo::Latin1ToUtf8(fields[i].name));
      out << ": ";
      std::optional<Value> v = Read(table, i);
      if (!v) out << "null";
      else if (v->kind == Value::kNumber) out << v->text;
      else if (v->kind == Value::kBool) out << (v->flag ? "true" : "false");
      else JsonString(out, v->text);
    }
    out << "}";
  }
  out << "]}\n";
}

void DumpCsv(Table& table, std::ostream& out) {
  const std::vector<FieldInfo>& fields = table.fields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out << ',';
    CsvCell(out, kaslo::Latin1ToUtf8(fields[i].name));
  }
  out << "\r\n";
  for (table.first(); !table.eof(); table.next()) {
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i) out << ',';
      std::optional<Value> v = Read(table, i);
      if (!v) continue;
      CsvCell(out, v->kind == Value::kBool ? (v->flag ? "T" : "F") : v->text);
    }
    out << "\r\n";
  }
}

}  // namespace kaslo::db
