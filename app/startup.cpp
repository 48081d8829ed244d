// Start-up: data directory, table upgrade and index check.
#include "app/startup.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <system_error>

#include "common/files.h"
#include "common/messages.h"
#include "common/progress.h"
#include "db/error.h"
#include "db/table_ops.h"
#include "db/table_swap.h"
#include "db/tableset_ops.h"

namespace fs = std::filesystem;

namespace kaslo::app {
namespace {

// Where the new structure is built before it replaces the old table.
constexpr std::string_view kTempTable = "TEMP";

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// "?" is any one character, "*" any run; letters match without regard to case.
bool Matches(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern.front() == '*') {
    for (size_t skip = 0; skip <= name.size(); ++skip) {
      if (Matches(pattern.substr(1), name.substr(skip))) return true;
    }
    return false;
  }
  if (name.empty()) return false;
  if (pattern.front() != '?' && !SameLetter(pattern.front(), name.front())) return false;
  return Matches(pattern.substr(1), name.substr(1));
}

// The regular files of dir whose names match, sorted by name so that every
// start visits them in the same order.
std::vector<fs::path> FilesMatching(const fs::path& dir, std::string_view pattern) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
    if (entry.is_regular_file(ec) && Matches(pattern, entry.path().filename().string())) {
      found.push_back(entry.path());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::string Str(std::string_view s) { return std::string(s); }

constexpr const char* kUpgradeBackup = "atualizacao-tabelas";

void RemoveTemp(const db::Database& db) {
  for (std::string_view ext : {".DBF", ".DBT", ".MDX"}) ApagaArquivo(db.find(Str(kTempTable) + Str(ext)));
}

void Rename(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (ec) throw db::Error(from.filename().string() + ": cannot rename to " + to.filename().string() + ": " + ec.message());
}

// Fields of the old table that the new one has under exactly the same name.
db::FieldMapping SameNameFields(const db::Table& from, const db::Table& to) {
  db::FieldMapping mapping;
  for (const db::FieldInfo& old_field : from.fields()) {
    for (const db::FieldInfo& new_field : to.fields()) {
      if (new_field.name == old_field.name) {
        mapping.emplace_back(old_field.name, new_field.name);
        break;
      }
    }
  }
  return mapping;
}

// One template of the upgrade and the table it replaces.
struct Upgrade {
  std::string table;  // "YCOCLI"
  fs::path template_dbf, template_dbt, old_dbf;
};

// Builds the new structure of u.table as TEMP in `build` (inside the swap's
// staging folder), moves every row of the table as the swap holds it into
// it, and stages TEMP's files as the table's new version, without an index:
// the index check that follows the upgrade builds the tags. The old table
// and the template stay untouched.
void StageUpgraded(db::TableSwap& swap, const db::Database& db, const Upgrade& u, const fs::path& build) {
  const fs::path temp_dbf = build / (Str(kTempTable) + ".DBF");
  const fs::path temp_dbt = build / (Str(kTempTable) + ".DBT");
  RemoveTemp(db::Database(build));
  if (!CopiaArquivo(u.template_dbf, temp_dbf)) {
    throw db::Error(u.template_dbf.filename().string() + ": cannot copy to " + temp_dbf.filename().string());
  }
  // The template's own memo file if it came with one, else the old table's
  // (its blocks are then unused but the file is a valid memo file).
  const fs::path old_dbt = db.find(u.table + ".dbt");
  const fs::path& memo = !u.template_dbt.empty() ? u.template_dbt : old_dbt;
  if (!memo.empty() && !CopiaArquivo(memo, temp_dbt)) {
    throw db::Error(memo.filename().string() + ": cannot copy to " + temp_dbt.filename().string());
  }
  db::LimpaIndiceDbf(temp_dbf);
  {
    auto to = db::Database(build).open(kTempTable, {.tag = "", .exclusive = true});
    db::Table& from = swap.current(u.table);
    db::CopyRows(from, *to, SameNameFields(from, *to));
    to->close();
  }
  std::error_code ec;
  swap.stageFiles(u.table, temp_dbf, fs::exists(temp_dbt, ec) ? temp_dbt : fs::path());
}

// A template without a table becomes the table: its memo file first, so
// that the rename of the .DBF, which ends the template, comes last.
void InstallTemplate(const db::Database& db, const Upgrade& u) {
  // A stray index would be taken for the new table's.
  ApagaArquivo(db.find(u.table + ".mdx"));
  if (!u.template_dbt.empty()) Rename(u.template_dbt, db.dir() / (u.table + u.template_dbt.extension().string()));
  Rename(u.template_dbf, db.dir() / (u.table + u.template_dbf.extension().string()));
}

}  // namespace

fs::path ResolveDataDirectory(const fs::path& executable_dir, const std::optional<fs::path>& override_dir) {
  fs::path dir = override_dir ? *override_dir : executable_dir;
  std::error_code ec;
  fs::path absolute = fs::absolute(dir, ec);
  if (!ec) dir = absolute;
  dir = dir.lexically_normal();
  if (!dir.has_filename() && dir != dir.root_path()) dir = dir.parent_path();
  return dir;
}

std::optional<std::string> DataDirectoryProblem(const fs::path& dir) {
  std::error_code ec;
  bool usable = !dir.empty() && fs::is_directory(dir, ec);
  if (usable) {
    // The only sure test of writing is to write.
    const fs::path probe = dir / ".kaslo_roza_escrita";
    {
      std::ofstream out(probe, std::ios::binary | std::ios::trunc);
      usable = out.good() && (out << 'x') && (out.flush(), out.good());
    }
    fs::remove(probe, ec);
  }
  if (usable) return std::nullopt;
  return "Diretório de dados não encontrado !\r" + dir.string();
}

bool PrepareDataDirectory(const fs::path& dir) {
  std::optional<std::string> problem = DataDirectoryProblem(dir);
  if (problem) {
    Messages().information(*problem);
    return false;
  }
  try {
    db::FinishInterruptedSwap(db::Database(dir));
  } catch (const db::Error& e) {
    // Half-replaced tables are no place to start from.
    Messages().information(e.what());
    return false;
  }
  return true;
}

std::vector<std::string> TableUpgrade(const db::Database& db, std::string* backup) {
  std::vector<Upgrade> upgrades;
  std::vector<std::string> replaced;
  for (const fs::path& template_dbf : FilesMatching(db.dir(), "??????yc.dbf")) {
    const std::string file = template_dbf.filename().string();
    Upgrade& u = upgrades.emplace_back();
    u.table = file.substr(0, 6);
    u.template_dbf = template_dbf;
    u.template_dbt = db.find(file.substr(0, 8) + ".dbt");
    u.old_dbf = db.find(u.table + ".dbf");
    if (u.old_dbf.empty()) continue;
    replaced.push_back(u.table);
    // A table whose index is gone opens only without the header's flag.
    if (!db.exists(u.table + ".mdx")) db::LimpaIndiceDbf(u.old_dbf);
  }

  // Every table with a template is replaced in one swap: an error or a
  // kill before its commit leaves every old table, index and template.
  std::optional<db::TableSwap> swap;
  fs::path build;
  if (!replaced.empty()) {
    swap.emplace(db, replaced, kUpgradeBackup);
    build = swap->scratch("upgrade");
  }
  std::vector<std::string> upgraded;
  for (const Upgrade& u : upgrades) {
    MostraProgresso("Atualizando tabela " + u.table + "...");
    if (!u.old_dbf.empty()) {
      StageUpgraded(*swap, db, u, build);
    } else {
      InstallTemplate(db, u);
    }
    upgraded.push_back(u.table);
  }
  if (swap) {
    swap->commit();
    if (backup) *backup = swap->backupName();
    swap.reset();
    // A template still there after a kill is carried over again from the
    // upgraded table at the next start, with the same result.
    for (const Upgrade& u : upgrades) {
      if (u.old_dbf.empty()) continue;
      ApagaArquivo(u.template_dbt);
      ApagaArquivo(u.template_dbf);
    }
  }
  for (const fs::path& leftover : FilesMatching(db.dir(), "*_qs*.*")) {
    MostraProgresso("Reorganizando arquivos");
    ApagaArquivo(leftover);
  }
  FechaProgresso();
  return upgraded;
}

bool RunStartup(const db::Database& db) {
  try {
    TableUpgrade(db);
    db::IndexCheck(db);
    return true;
  } catch (const db::Error& e) {
    FechaProgresso();
    Messages().error(e.what());
  } catch (const fs::filesystem_error& e) {
    FechaProgresso();
    Messages().error(e.what());
  }
  return false;
}

}  // namespace kaslo::app
