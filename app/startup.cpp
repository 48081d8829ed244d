// Start-up: data directory, table upgrade and index check.
#include "app/startup.h"

#include <algorithm>
#include <cctype>
#include <fstream>
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

// Builds the new structure as TEMP beside the old table T, moves every row
// into it, and only then puts it in T's place. Until the rename the old
// table is untouched (its index flag is cleared only when its .MDX is
// already gone, so that it opens), and on an error the template stays for
// the next start.
void UpgradeExisting(const db::Database& db, const std::string& table, const fs::path& template_dbf,
                     const fs::path& template_dbt, const fs::path& old_dbf) {
  const fs::path temp_dbf = db.dir() / (Str(kTempTable) + ".DBF");
  const fs::path temp_dbt = db.dir() / (Str(kTempTable) + ".DBT");
  const fs::path old_dbt = db.find(table + ".dbt");
  RemoveTemp(db);
  try {
    if (!CopiaArquivo(template_dbf, temp_dbf)) {
      throw db::Error(template_dbf.filename().string() + ": cannot copy to " + temp_dbf.filename().string());
    }
    // The template's own memo file if it came with one, else the old table's
    // (its blocks are then unused but the file is a valid memo file).
    const fs::path& memo = !template_dbt.empty() ? template_dbt : old_dbt;
    if (!memo.empty() && !CopiaArquivo(memo, temp_dbt)) {
      throw db::Error(memo.filename().string() + ": cannot copy to " + temp_dbt.filename().string());
    }
    db::LimpaIndiceDbf(temp_dbf);
    if (!db.exists(table + ".mdx")) db::LimpaIndiceDbf(old_dbf);

    auto to = db.open(kTempTable, {.tag = "", .exclusive = true});
    auto from = db.open(table, {.tag = "", .exclusive = true});
    db::CopyRows(*from, *to, SameNameFields(*from, *to));
    from->close();
    to->close();
  } catch (...) {
    RemoveTemp(db);
    throw;
  }

  // Every row is in TEMP: the old index goes first (a table without its
  // .MDX is rebuilt by the index check), then the rename that replaces the
  // old table in one step.
  ApagaArquivo(db.find(table + ".mdx"));
  ApagaArquivo(db.find(Str(kTempTable) + ".MDX"));
  Rename(temp_dbf, old_dbf);
  if (fs::exists(temp_dbt)) {
    Rename(temp_dbt, old_dbt.empty() ? db.dir() / (table + ".DBT") : old_dbt);
  } else {
    ApagaArquivo(old_dbt);
  }
  ApagaArquivo(template_dbf);
  ApagaArquivo(template_dbt);
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

std::vector<std::string> TableUpgrade(const db::Database& db) {
  std::vector<std::string> upgraded;
  for (const fs::path& template_dbf : FilesMatching(db.dir(), "??????yc.dbf")) {
    const std::string file = template_dbf.filename().string();
    const std::string table = file.substr(0, 6);
    MostraProgresso("Atualizando tabela " + table + "...");
    const fs::path template_dbt = db.find(file.substr(0, 8) + ".dbt");
    const fs::path old_dbf = db.find(table + ".dbf");
    if (!old_dbf.empty()) {
      UpgradeExisting(db, table, template_dbf, template_dbt, old_dbf);
    } else {
      // A stray index would be taken for the new table's.
      ApagaArquivo(db.find(table + ".mdx"));
      Rename(template_dbf, db.dir() / (table + template_dbf.extension().string()));
      if (!template_dbt.empty()) Rename(template_dbt, db.dir() / (table + template_dbt.extension().string()));
    }
    upgraded.push_back(table);
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
