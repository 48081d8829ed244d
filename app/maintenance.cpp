// Reindex and stock conversion.
#include "app/maintenance.h"

#include <cctype>
#include <string>
#include <vector>

#include "app/startup.h"
#include "common/files.h"
#include "common/messages.h"
#include "db/table_ops.h"
#include "db/tables/ycopro.h"

namespace fs = std::filesystem;

namespace kaslo::app {
namespace {

bool IsMdx(const fs::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".mdx";
}

bool StockIsConverted(const db::Database& db) {
  auto table = db.open(ycopro::kTable);
  std::optional<size_t> index = table->fieldIndex(ycopro::PRO_ESTQ.name);
  if (!index) return false;
  const db::FieldInfo& field = table->fields()[*index];
  return field.type == ycopro::PRO_ESTQ.type && field.length == ycopro::PRO_ESTQ.length &&
         field.decimals == ycopro::PRO_ESTQ.decimals;
}

}  // namespace

void Reindex(const db::Database& db) {
  std::vector<fs::path> indexes;
  for (const fs::directory_entry& entry : fs::directory_iterator(db.dir())) {
    if (entry.is_regular_file() && IsMdx(entry.path())) indexes.push_back(entry.path());
  }
  for (const fs::path& mdx : indexes) ApagaArquivo(mdx);
  IndexCheck(db);
}

bool ConverteEstoque(const db::Database& db, StockConversion mode) {
  if (mode == StockConversion::kOnlyWhenNeeded && StockIsConverted(db)) return false;
  const std::vector<std::string> drop = {std::string(ycopro::PRO_ESTQ.name)};
  const db::FieldDef add[] = {ycopro::PRO_ESTQ};
  db::Restructure(db, ycopro::kTable, drop, add);
  return true;
}

bool ConversaoBancoDados(const db::Database& db) {
  if (!Messages().confirm(
          "Este procedimento irá acarretar a perda da base de dados.\r\n"
          "Antes de continuar, use a função de EXPORTAÇÃO DE ARQUIVOS\r\n"
          "Deseja continuar?",
          "ATENÇÃO", DefaultAnswer::kNo)) {
    return false;
  }
  ConverteEstoque(db, StockConversion::kAlways);
  Messages().information("Operação realizada");
  return true;
}

}  // namespace kaslo::app
