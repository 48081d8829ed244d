// CSV and JSON of the commands.
#include "cli/text_output.h"

#include <charconv>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <variant>

#include "db/table_rows.h"

namespace kaslo::cli {
namespace {

using Json = nlohmann::ordered_json;

// The rows of a table can be many thousands: a JSON array is written one
// element a line as it comes, not built whole first.
class JsonLines {
 public:
  explicit JsonLines(std::ostream& out) : out_(out) { out_ << '['; }
  void add(const Json& element) { addText(element.dump()); }
  void addText(std::string_view element) {
    out_ << (first_ ? "\n  " : ",\n  ") << element;
    first_ = false;
  }
  void close() { out_ << ']'; }

 private:
  std::ostream& out_;
  bool first_ = true;
};

// The value read back from the written text, so that a JSON reader gets the
// number the CSV shows.
Json JsonNumber(const db::RowNumber& n) {
  const std::string text = NumberText(n.value, n.decimals);
  const char* end = text.data() + text.size();
  if (n.decimals == 0) {
    long long whole = 0;
    if (auto [p, ec] = std::from_chars(text.data(), end, whole); ec == std::errc() && p == end) return whole;
  }
  double value = n.value;
  std::from_chars(text.data(), end, value);
  return value;
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
// clang 14 does not deduce an aggregate's template arguments by itself.
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

Json JsonValue(const db::RowValue& value) {
  return std::visit(Overloaded{[](std::monostate) { return Json(nullptr); },
                               [](const db::RowNumber& n) { return JsonNumber(n); },
                               [](const db::RowText& t) { return Json(t.utf8); },
                               [](const db::RowDate& d) { return Json(d.iso); },
                               [](bool b) { return Json(b); }},
                    value);
}

std::string CsvText(const db::RowValue& value) {
  return std::visit(Overloaded{[](std::monostate) { return std::string(); },
                               [](const db::RowNumber& n) { return NumberText(n.value, n.decimals); },
                               [](const db::RowText& t) { return t.utf8; },
                               [](const db::RowDate& d) { return d.iso; },
                               [](bool b) { return std::string(b ? "T" : "F"); }},
                    value);
}

std::vector<std::string> FilledOut(const std::vector<std::string>& row, size_t columns) {
  std::vector<std::string> cells = row;
  if (cells.size() < columns) cells.resize(columns);
  return cells;
}

}  // namespace

void WriteCsvCell(std::ostream& out, std::string_view cell) {
  const bool quote = cell.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!cell.empty() && (cell.front() == ' ' || cell.back() == ' '));
  if (!quote) {
    out << cell;
    return;
  }
  out << '"';
  for (char c : cell) {
    if (c == '"') out << '"';
    out << c;
  }
  out << '"';
}

void WriteCsvLine(std::ostream& out, std::span<const std::string> cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) out << ',';
    WriteCsvCell(out, cells[i]);
  }
  out << "\r\n";
}

std::string NumberText(double value, unsigned decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(decimals), value);
  std::string s = buf;
  if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
  return s;
}

void WriteTableCsv(db::Table& table, std::ostream& out, const db::UnreadableValue& unreadable) {
  const db::TableListing listing = db::ListFields(table);
  std::vector<std::string> cells;
  for (const db::ListedField& f : listing.fields) cells.push_back(f.name);
  WriteCsvLine(out, cells);
  db::ForEachLiveRow(table, [&](std::span<const db::RowValue> values) {
    cells.clear();
    for (const db::RowValue& v : values) cells.push_back(CsvText(v));
    WriteCsvLine(out, cells);
  }, unreadable);
}

void WriteTableJson(db::Table& table, std::ostream& out, const db::UnreadableValue& unreadable) {
  const db::TableListing listing = db::ListFields(table);
  out << "{\"table\": " << Json(listing.table).dump() << ",\n \"fields\": ";
  JsonLines fields(out);
  for (const db::ListedField& f : listing.fields) {
    fields.add(Json{{"name", f.name},
                    {"type", std::string(1, static_cast<char>(f.type))},
                    {"length", f.length},
                    {"decimals", f.decimals}});
  }
  fields.close();
  out << ",\n \"records\": ";
  // Member by member rather than through a Json object, which would keep
  // one of two fields that share a name.
  std::vector<std::string> keys;
  for (const db::ListedField& f : listing.fields) keys.push_back(Json(f.name).dump());
  JsonLines records(out);
  std::string record;
  db::ForEachLiveRow(table, [&](std::span<const db::RowValue> values) {
    record = "{";
    for (size_t i = 0; i < values.size(); ++i) {
      if (i) record += ',';
      record += keys[i];
      record += ':';
      record += JsonValue(values[i]).dump();
    }
    record += '}';
    records.addText(record);
  }, unreadable);
  records.close();
  out << "}\n";
}

void WriteGridCsv(std::span<const std::string> columns, const TextRows& rows, std::ostream& out) {
  WriteCsvLine(out, columns);
  for (const auto& row : rows) WriteCsvLine(out, FilledOut(row, columns.size()));
}

void WriteGridJson(std::span<const std::string> columns, const TextRows& rows, std::ostream& out) {
  out << "{\"columns\": " << Json(std::vector<std::string>(columns.begin(), columns.end())).dump()
      << ",\n \"rows\": ";
  JsonLines lines(out);
  for (const auto& row : rows) lines.add(Json(FilledOut(row, columns.size())));
  lines.close();
  out << "}\n";
}

}  // namespace kaslo::cli
