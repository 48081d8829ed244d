// Reindex and stock conversion.
#include "app/maintenance.h"

#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/messages.h"
#include "db/backup.h"
#include "db/tableset_ops.h"

namespace fs = std::filesystem;

namespace kaslo::app {
namespace {

bool IsMdx(const fs::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".mdx";
}

}  // namespace

void Reindex(const db::Database& db) {
  std::vector<fs::path> indexes;
  for (const fs::directory_entry& entry : fs::directory_iterator(db.dir())) {
    if (entry.is_regular_file() && IsMdx(entry.path())) indexes.push_back(entry.path());
  }
  for (const fs::path& mdx : indexes) ApagaArquivo(mdx);
  db::IndexCheck(db);
}

bool ConversaoBancoDados(const db::Database& db) {
  if (!Messages().confirm(
          "Este procedimento irá acarretar a perda da base de dados.\r\n"
          "Antes de continuar, use a função de EXPORTAÇÃO DE ARQUIVOS\r\n"
          "Deseja continuar?",
          "ATENÇÃO", DefaultAnswer::kNo)) {
    return false;
  }
  const std::optional<std::string> backup = db::ConverteEstoque(db, db::StockConversion::kAlways);
  Messages().information("Operação realizada\r" + db::BackupLine(backup.value_or("")));
  return true;
}

}  // namespace kaslo::app
