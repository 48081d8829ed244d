// CSV and JSON of the commands.
#include "cli/text_output.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <variant>

#include "common/encoding.h"
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

// Stored digits that are exactly what NumberText would write for their
// value: an optional '-', whole digits without a leading zero, '.' and the
// field's decimals, 15 digits at most (so that the double they were read
// into prints back as the same digits), and not a negative zero. Tables this
// system writes hold every number so; other programs' may not.
bool WrittenAsStored(const db::RowNumber& n) {
  std::string_view s = n.stored;
  const bool negative = !s.empty() && s.front() == '-';
  if (negative) s.remove_prefix(1);
  const size_t whole = n.decimals ? s.size() - std::min<size_t>(s.size(), n.decimals + 1) : s.size();
  if (whole == 0 || whole + n.decimals > 15 || (whole > 1 && s.front() == '0')) return false;
  if (n.decimals && s[whole] != '.') return false;
  bool zero = true;
  for (size_t i = 0; i < s.size(); ++i) {
    if (i == whole && n.decimals) continue;
    if (s[i] < '0' || s[i] > '9') return false;
    zero = zero && s[i] == '0';
  }
  return !(negative && zero);
}

void AppendNumber(std::string& out, const db::RowNumber& n) {
  if (WrittenAsStored(n)) {
    out += n.stored;
    return;
  }
  out += NumberText(n.value, n.decimals);
}

void AppendDate(std::string& out, const db::Date& d) {
  const int year = static_cast<int>(d.year());
  if (year < 0 || year > 9999) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", year, static_cast<unsigned>(d.month()),
                  static_cast<unsigned>(d.day()));
    out += buf;
    return;
  }
  const unsigned month = static_cast<unsigned>(d.month()), day = static_cast<unsigned>(d.day());
  const char iso[10] = {static_cast<char>('0' + year / 1000),    static_cast<char>('0' + year / 100 % 10),
                        static_cast<char>('0' + year / 10 % 10), static_cast<char>('0' + year % 10),
                        '-',
                        static_cast<char>('0' + month / 10),     static_cast<char>('0' + month % 10),
                        '-',
                        static_cast<char>('0' + day / 10),       static_cast<char>('0' + day % 10)};
  out.append(iso, sizeof iso);
}

// The value read back from the written text, so that a JSON reader gets the
// number the CSV shows.
Json JsonNumber(const db::RowNumber& n) {
  std::string text;
  AppendNumber(text, n);
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
                               [](const db::RowText& t) { return Json(Latin1ToUtf8(t.latin1)); },
                               [](const db::RowDate& d) {
                                 std::string iso;
                                 AppendDate(iso, d.date);
                                 return Json(iso);
                               },
                               [](bool b) { return Json(b); }},
                    value);
}

// The cell of a value, quoted as WriteCsvCell quotes it.
void AppendCsvValue(std::string& out, const db::RowValue& value) {
  if (const auto* t = std::get_if<db::RowText>(&value)) {
    const std::string_view text = t->latin1;
    bool plain = text.empty() || (text.front() != ' ' && text.back() != ' ');
    bool ascii = true;
    for (char c : text) {
      plain = plain && c != ',' && c != '"' && c != '\r' && c != '\n';
      ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (plain && ascii) {
      out += text;
    } else if (plain) {
      AppendLatin1AsUtf8(out, text);
    } else {
      out += '"';
      for (char c : text) {
        if (c == '"') out += '"';
        AppendLatin1AsUtf8(out, std::string_view(&c, 1));
      }
      out += '"';
    }
    return;
  }
  std::visit(Overloaded{[](std::monostate) {}, [&](const db::RowNumber& n) { AppendNumber(out, n); },
                        [](const db::RowText&) {}, [&](const db::RowDate& d) { AppendDate(out, d.date); },
                        [&](bool b) { out += b ? 'T' : 'F'; }},
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
  char buf[600];  // room for DBL_MAX with 255 decimals
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, static_cast<int>(decimals));
  std::string s(buf, ec == std::errc() ? end : buf);
  if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
  return s;
}

void WriteTableCsv(db::Table& table, std::ostream& out, const db::UnreadableValue& unreadable) {
  const db::TableListing listing = db::ListFields(table);
  std::vector<std::string> cells;
  for (const db::ListedField& f : listing.fields) cells.push_back(f.name);
  WriteCsvLine(out, cells);
  // Rows go out in blocks: one buffer, no stream call a cell.
  std::string block;
  db::ForEachLiveRow(table, [&](std::span<const db::RowValue> values) {
    for (size_t i = 0; i < values.size(); ++i) {
      if (i) block += ',';
      AppendCsvValue(block, values[i]);
    }
    block += "\r\n";
    if (block.size() >= 1 << 16) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
  }, unreadable);
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
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
