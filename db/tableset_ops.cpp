// The index check and the stock conversion.
#include "db/tableset_ops.h"

#include <fstream>
#include <optional>
#include <string_view>

#include "common/progress.h"
#include "db/dbf_file.h"
#include "db/install.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_ops.h"
#include "db/tables/ycopro.h"

namespace kaslo::db {
namespace {

// Tables opened on a tag UM elsewhere that the index check does not list.
constexpr std::string_view kSideTables[] = {"Ycoetq", "Ycouse"};

std::string Str(std::string_view s) { return std::string(s); }

void AddTagsIfMissing(const Database& db, const TableDef& table) {
  const std::filesystem::path dbf = db.find(Str(table.name) + ".dbf");
  if (!dbf.empty()) LimpaIndiceDbf(dbf);
  AddTableTags(db, table);
}

// Whether the table's tags are there to use: its .MDX exists and the
// header names it. Tags are written before the header's flag is set, so an
// .MDX without the flag is a build that a kill cut short, and is built again.
bool HasIndex(const Database& db, std::string_view table) {
  if (!db.exists(Str(table) + ".mdx")) return false;
  std::ifstream in(db.find(Str(table) + ".dbf"), std::ios::binary);
  char flag = 0;
  in.seekg(internal::kOffMdxFlag);
  return in.get(flag) && flag != 0;
}

bool StockIsConverted(const Database& db) {
  auto table = db.open(ycopro::kTable);
  std::optional<size_t> index = table->fieldIndex(ycopro::PRO_ESTQ.name);
  if (!index) return false;
  const FieldInfo& field = table->fields()[*index];
  return field.type == ycopro::PRO_ESTQ.type && field.length == ycopro::PRO_ESTQ.length &&
         field.decimals == ycopro::PRO_ESTQ.decimals;
}

}  // namespace

std::vector<std::string> IndexCheck(const Database& db) {
  std::vector<std::string> rebuilt;
  for (const TableDef& table : IndexCheckTables()) {
    if (HasIndex(db, table.name)) continue;
    MostraProgresso("Aguarde, Reindexando: " + Str(table.caption));
    AddTagsIfMissing(db, table);
    rebuilt.push_back(Str(table.name));
  }
  for (std::string_view name : kSideTables) {
    const TableDef* table = FindTable(name);
    if (!table || table->tags.empty()) continue;
    if (!db.exists(Str(name) + ".dbf") || HasIndex(db, name)) continue;
    AddTagsIfMissing(db, *table);
    rebuilt.push_back(Str(name));
  }
  FechaProgresso();
  return rebuilt;
}

std::optional<std::string> ConverteEstoque(const Database& db, StockConversion mode) {
  if (mode == StockConversion::kOnlyWhenNeeded && StockIsConverted(db)) return std::nullopt;
  const std::vector<std::string> drop = {std::string(ycopro::PRO_ESTQ.name)};
  const FieldDef add[] = {ycopro::PRO_ESTQ};
  return Restructure(db, ycopro::kTable, drop, add, kStockConversionBackup);
}

}  // namespace kaslo::db
