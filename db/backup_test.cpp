// Backups on a demo data directory: their names at a fixed time, the ten
// kept per operation, staging folders a kill left, restores (refused while a
// table is held, a backup without index), and a swap that backs up first.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "common/clock.h"
#include "db/backup.h"
#include "db/engine_test_util.h"
#include "db/table_ops.h"
#include "db/table_swap.h"
#include "db/temp_data_dir.h"

namespace kaslo::db {
namespace {

namespace fs = std::filesystem;
using testing::ErrorOf;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

class Backup : public ::testing::Test {
 protected:
  Backup() { At(0); }
  ~Backup() override { SetFixedNow(std::nullopt); }
  void At(int second) { SetFixedNow(DateTime{std::chrono::year{2026} / 12 / 9, 19, 30, second}); }

  const Database& Db() const { return dir_.db(); }
  fs::path Folder() const { return dir_.path() / kBackupFolder; }
  size_t Rows(std::string_view table) const { return Db().open(table)->recordCount(); }

  testing::TempDataDir dir_{{.demo = true}};
};

TEST_F(Backup, NamesAreTimedAndTenAreKeptPerOperation) {
  EXPECT_EQ(TakeBackup(Db(), "importacao-completa", {"Ycopro", "ycobar.dbf"}), "20261209-193000-importacao-completa");
  EXPECT_EQ(Entries(Folder() / "20261209-193000-importacao-completa"),
            (std::set<std::string>{"YCOBAR.DBF", "YCOBAR.MDX", "YCOPRO.DBF", "YCOPRO.MDX"}));
  EXPECT_EQ(Read(Folder() / "20261209-193000-importacao-completa" / "YCOPRO.DBF"), Read(Db().find("YCOPRO.DBF")));

  // Neighbours that pruning must leave alone.
  fs::create_directory(Folder() / "fotos");
  std::ofstream(Folder() / "leia.txt") << "x";
  fs::create_directory(Folder() / "20261201-080000-substituicao-ycocli");

  // Eleven more in the same second: numbered from 2, ordered as numbers.
  for (int n = 2; n <= 12; ++n) {
    EXPECT_EQ(TakeBackup(Db(), "importacao-completa", {"Ycopro"}),
              "20261209-193000-importacao-completa-" + std::to_string(n));
  }
  std::vector<std::string> names;
  for (const BackupInfo& b : ListBackups(Db())) names.push_back(b.name);
  ASSERT_EQ(names.size(), 11u);
  EXPECT_EQ(names[0], "20261201-080000-substituicao-ycocli");
  EXPECT_EQ(names[1], "20261209-193000-importacao-completa-3");
  EXPECT_EQ(names[8], "20261209-193000-importacao-completa-10");
  EXPECT_EQ(names[10], "20261209-193000-importacao-completa-12");
  EXPECT_TRUE(fs::exists(Folder() / "fotos"));
  EXPECT_TRUE(fs::exists(Folder() / "leia.txt"));

  const BackupInfo last = ListBackups(Db()).back();
  EXPECT_EQ(last.operation, "importacao-completa");
  EXPECT_EQ(last.time, "09/12/2026 19:30:00");
  EXPECT_EQ(last.tables, std::vector<std::string>{"YCOPRO"});
  EXPECT_EQ(ListBackups(Db()).front().operation, "substituicao-ycocli");

  EXPECT_EQ(BackupLine("x"), "Cópia de segurança: backup/x");
  EXPECT_NE(ErrorOf([&] { TakeBackup(Db(), "../fora", {"Ycopro"}); }), "");
}

TEST_F(Backup, HalfWrittenBackupIsIgnoredAndRemoved) {
  const fs::path stale = Folder() / ".parcial-20261209-192000-importacao-completa";
  fs::create_directories(stale);
  std::ofstream(stale / "YCOPRO.DBF") << "half";
  EXPECT_TRUE(ListBackups(Db()).empty());
  const std::string name = TakeBackup(Db(), "conversao-estoque", {"Ycopro"});
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_EQ(Entries(Folder()), std::set<std::string>{name});
}

TEST_F(Backup, RestorePutsTheFilesBackUnderTheirNamesAndBacksUpFirst) {
  // A table whose files another program named in lower case.
  const fs::path cli = Db().find("YCOCLI.DBF"), cli_mdx = Db().find("YCOCLI.MDX");
  fs::rename(cli, dir_.path() / "Ycocli.dbf");
  fs::rename(cli_mdx, dir_.path() / "Ycocli.mdx");
  const std::string before = Read(dir_.path() / "Ycocli.dbf");
  const size_t clients = Rows("Ycocli");
  const std::string name = TakeBackup(Db(), "substituicao-ycocli", {"YCOCLI"});
  EXPECT_EQ(Entries(Folder() / name), (std::set<std::string>{"Ycocli.dbf", "Ycocli.mdx"}));

  Db().open("Ycocli", {.tag = "", .exclusive = true})->emptyTable();
  At(5);
  const std::string taken = RestoreBackup(Db(), name);
  EXPECT_EQ(taken, "20261209-193005-restauracao");
  EXPECT_EQ(Read(dir_.path() / "Ycocli.dbf"), before);
  EXPECT_FALSE(fs::exists(dir_.path() / "YCOCLI.DBF"));
  EXPECT_EQ(Rows("Ycocli"), clients);
  EXPECT_EQ(Entries(Folder() / taken), (std::set<std::string>{"Ycocli.dbf", "Ycocli.mdx"}));
  EXPECT_FALSE(fs::exists(dir_.path() / TableSwap::kFolder));
}

TEST_F(Backup, RestoreRefusesBadNamesAndTablesInUse) {
  const std::string name = TakeBackup(Db(), "importacao-completa", {"Ycopro", "Ycobar"});
  for (const std::string bad : {"", "../backup", "x/y", "20261209-193000-importacao-completa/..", ".parcial-x"}) {
    EXPECT_EQ(ErrorOf([&] { RestoreBackup(Db(), bad); }), bad + ": not the name of a backup") << bad;
  }
  EXPECT_EQ(ErrorOf([&] { RestoreBackup(Db(), "20200101-000000-importacao-completa"); }),
            "backup/20200101-000000-importacao-completa: no such backup");

  Db().open("Ycobar", {.tag = "", .exclusive = true})->emptyTable();
  const std::string emptied = Read(Db().find("YCOBAR.DBF"));
  {
    // Another open of the table, as another station's, even a shared one.
    auto held = Database(dir_.path()).open("Ycobar");
    EXPECT_EQ(ErrorOf([&] { RestoreBackup(Db(), name); }),
              "backup/" + name + " not restored: YCOBAR.DBF: table in use by another process");
  }
  EXPECT_EQ(Read(Db().find("YCOBAR.DBF")), emptied);
  EXPECT_EQ(ListBackups(Db()).size(), 1u);
  At(1);
  RestoreBackup(Db(), name);
  EXPECT_GT(Rows("Ycobar"), 0u);
}

TEST_F(Backup, RestoreOfATableBackedUpWithoutIndexRemovesTheCurrentOne) {
  const std::string name = TakeBackup(Db(), "substituicao-produtos", {"Ycopro"});
  const size_t products = Rows("Ycopro");
  const fs::path copy = Folder() / name;
  fs::remove(copy / "YCOPRO.MDX");
  ASSERT_TRUE(LimpaIndiceDbf(copy / "YCOPRO.DBF"));
  Db().open("Ycopro", {.tag = "", .exclusive = true})->emptyTable();

  RestoreBackup(Db(), name);
  EXPECT_FALSE(Db().exists("YCOPRO.MDX"));
  EXPECT_EQ(Rows("Ycopro"), products);
}

TEST_F(Backup, SwapBacksUpTheStagedTablesOrChangesNothing) {
  const size_t codes = Rows("Ycobar");
  {
    TableSwap swap(Db(), {"Ycopro", "Ycobar"}, "substituicao-ycobar");
    swap.stage("Ycobar");
    swap.commit();
    EXPECT_EQ(swap.backupName(), "20261209-193000-substituicao-ycobar");
  }
  EXPECT_EQ(Rows("Ycobar"), 0u);
  EXPECT_EQ(ListBackups(Db()).at(0).tables, std::vector<std::string>{"YCOBAR"});
  EXPECT_EQ(Database(Folder() / "20261209-193000-substituicao-ycobar").open("Ycobar")->recordCount(), codes);

  {
    TableSwap swap(Db(), {"Ycopro"}, "substituicao-produtos");
    swap.commit();
    EXPECT_EQ(swap.backupName(), "");  // nothing replaced, nothing kept
  }
  EXPECT_EQ(ListBackups(Db()).size(), 1u);

  // A backup that cannot be written stops the swap before anything changes.
  fs::remove_all(Folder());
  std::ofstream(Folder()) << "not a folder";
  const std::string products = Read(Db().find("YCOPRO.DBF"));
  {
    TableSwap swap(Db(), {"Ycopro"}, "substituicao-produtos");
    swap.stage("Ycopro");
    EXPECT_THROW(swap.commit(), Error);
  }
  EXPECT_EQ(Read(Db().find("YCOPRO.DBF")), products);
  EXPECT_FALSE(fs::exists(dir_.path() / TableSwap::kFolder));
}

}  // namespace
}  // namespace kaslo::db
