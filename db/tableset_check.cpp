// The check of a data directory against the table set.
#include "db/tableset_check.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "db/error.h"
#include "db/table.h"

namespace kaslo::db {
namespace {

// Tag expressions compare without case and blanks: the engine may keep
// them as typed or in capitals.
std::string Normalized(std::string_view expression) {
  std::string out;
  for (unsigned char c : expression) {
    if (!std::isspace(c)) out += static_cast<char>(std::tolower(c));
  }
  return out;
}

bool SameName(std::string_view a, std::string_view b) { return Normalized(a) == Normalized(b); }

std::string FileName(std::string_view table, std::string_view ext) {
  std::string out(table);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out + std::string(ext);
}

std::string TagList(const TableDef& table) {
  std::string out;
  for (const TagDef& tag : table.tags) out += (out.empty() ? "" : ", ") + std::string(tag.name);
  return out;
}

}  // namespace

std::string DescribeField(FieldType type, unsigned length, unsigned decimals) {
  std::string kind(1, static_cast<char>(type));
  if (type == FieldType::kCharacter) return kind + "(" + std::to_string(length) + ")";
  if (type == FieldType::kNumeric || type == FieldType::kFloat) {
    return kind + "(" + std::to_string(length) + (decimals ? "," + std::to_string(decimals) : "") + ")";
  }
  return kind;
}

std::vector<std::string> CheckTable(const Database& db, const TableDef& table) {
  std::vector<std::string> faults;
  const std::string prefix = std::string(table.name) + ": ";
  if (!db.exists(FileName(table.name, ".DBF"))) {
    faults.push_back(prefix + "missing table (no " + FileName(table.name, ".DBF") + ")");
    return faults;
  }
  if (!table.tags.empty() && !db.exists(FileName(table.name, ".MDX"))) {
    faults.push_back(prefix + "missing index file " + FileName(table.name, ".MDX") + " (tags " + TagList(table) +
                     ")");
  }
  std::unique_ptr<Table> t;
  try {
    t = db.open(table.name);
  } catch (const Error& e) {
    faults.push_back(prefix + "cannot open: " + e.what());
    return faults;
  }

  for (const FieldDef& def : table.fields) {
    const std::string expected = DescribeField(def.type, def.length, def.decimals);
    std::optional<size_t> index = t->fieldIndex(def.name);
    if (!index) {
      faults.push_back(prefix + "missing field " + std::string(def.name) + " " + expected);
      continue;
    }
    const FieldInfo& found = t->fields()[*index];
    if (found.type != def.type) {
      faults.push_back(prefix + "field " + std::string(def.name) + " is " +
                       DescribeField(found.type, found.length, found.decimals) + ", expected " + expected);
    }
  }

  const std::vector<std::string> tags = t->tagNames();
  for (const TagDef& def : table.tags) {
    auto it = std::find_if(tags.begin(), tags.end(), [&](const std::string& n) { return SameName(n, def.name); });
    if (it == tags.end()) {
      // The missing index file already said so.
      if (db.exists(FileName(table.name, ".MDX"))) {
        faults.push_back(prefix + "missing tag " + std::string(def.name) + " (" + std::string(def.expression) + ")");
      }
      continue;
    }
    std::string expression = t->tagExpression(*it);
    if (Normalized(expression) != Normalized(def.expression)) {
      faults.push_back(prefix + "tag " + std::string(def.name) + " is " + expression + ", expected " +
                       std::string(def.expression));
    }
  }
  return faults;
}

std::vector<std::string> CheckDataDirectory(const Database& db) {
  std::vector<std::string> faults;
  for (const TableDef& table : AllTables()) {
    std::vector<std::string> more = CheckTable(db, table);
    faults.insert(faults.end(), more.begin(), more.end());
  }
  return faults;
}

}  // namespace kaslo::db
