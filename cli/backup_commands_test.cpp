// `kaslo backup list` and `kaslo backup restore` run as a user runs them on
// a demo store: a wrong full import undone to the byte, the list, and what a
// restore refuses.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cli/command_test_support.h"
#include "db/backup.h"
#include "db/database.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoy60.h"

namespace kaslo::cli {
namespace {

using namespace kaslo::cli::testing;

class BackupCommand : public KasloCommand {
 protected:
  void SetUp() override {
    KasloCommand::SetUp();
    Result init = Init(" --demo");
    ASSERT_EQ(init.exit_code, 0) << init.err;
  }
  db::Database Db() const { return db::Database(Data()); }
  Result List() { return Run("backup list " + DataArg()); }
  Result Restore(const std::string& name, const std::string& options = " --yes") {
    return Run("backup restore " + DataArg() + " " + Quoted(name) + options);
  }
  // Every file of the three tables an import replaces, by name, with its bytes.
  std::map<std::string, std::string> ProductFiles() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(Data())) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with("YCOPRO.") || name.starts_with("YCOBAR.") || name.starts_with("YCOY60.")) {
        files[name] = Slurp(entry.path());
      }
    }
    return files;
  }
  void QueueRows() {
    auto y60 = Db().open(ycoy60::kTable);
    for (double key : {789100000001.0, 789100000002.0}) {
      y60->append();
      y60->setNumber(ycoy60::Y60_PROPLU, key);
      y60->setString(ycoy60::Y60_DESCR, "NA FILA");
      y60->setString(ycoy60::Y60_STATUS, "3");
      y60->post();
    }
  }
};

TEST_F(BackupCommand, WrongFullImportIsUndoneToTheByte) {
  QueueRows();
  const std::map<std::string, std::string> before = ProductFiles();
  ASSERT_EQ(before.size(), 5u);  // YCOY60 has no index
  ASSERT_GT(Db().open(ycobar::kTable)->recordCount(), 0u);

  // A file of another store: two unrelated products replace the 42.
  std::ofstream(Data() / "NLUFILE.MTR", std::ios::binary)
      << "555000000001,PARAFUSO,PARAFUSO,1,1,00000010,U,N\r\n"
         "555000000002,PORCA,PORCA,1,1,00000005,U,N\r\n";
  Result imported = Run("import " + DataArg() + " nlufile --yes");
  ASSERT_EQ(imported.exit_code, 0) << imported.err;
  EXPECT_EQ(Db().open(ycopro::kTable)->recordCount(), 2u);
  EXPECT_EQ(Db().open(ycoy60::kTable)->recordCount(), 0u);

  const std::vector<db::BackupInfo> backups = db::ListBackups(Db());
  ASSERT_EQ(backups.size(), 1u);
  const std::string name = backups[0].name;
  EXPECT_NE(imported.out.find(db::BackupLine(name) + "\n"), std::string::npos) << imported.out;

  Result listed = List();
  ASSERT_EQ(listed.exit_code, 0) << listed.err;
  EXPECT_EQ(listed.out, name + "\timportacao-completa\t" + backups[0].time + "\tYCOBAR YCOPRO YCOY60\n");

  Result restored = Restore(name);
  ASSERT_EQ(restored.exit_code, 0) << restored.err;
  EXPECT_EQ(ProductFiles(), before);
  EXPECT_EQ(Db().open(ycopro::kTable, {.tag = "Um"})->recordCount(), 42u);
  EXPECT_EQ(Run("check " + DataArg()).exit_code, 0);

  // What the restore replaced was kept in its turn, and is named last.
  const std::vector<db::BackupInfo> after = db::ListBackups(Db());
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[1].operation, "restauracao");
  EXPECT_NE(restored.out.find("Tabelas restauradas: YCOBAR, YCOPRO, YCOY60\n" + db::BackupLine(after[1].name) + "\n"),
            std::string::npos)
      << restored.out;
  EXPECT_EQ(db::Database(Data() / db::kBackupFolder / after[1].name).open(ycopro::kTable)->recordCount(), 2u);
}

TEST_F(BackupCommand, RestoreRefusesWhatItCannotDoAndAsksFirst) {
  Result empty = List();
  EXPECT_EQ(empty.exit_code, 0);
  EXPECT_EQ(empty.out, "no backups in " + Data().string() + "\n");

  std::ofstream(Data() / "NLUFILE.MTR", std::ios::binary) << "555000000001,PARAFUSO,PARAFUSO,1,1,00000010,U,N\r\n";
  ASSERT_EQ(Run("import " + DataArg() + " nlufile --yes").exit_code, 0);
  const std::string name = db::ListBackups(Db()).at(0).name;
  const std::map<std::string, std::string> imported = ProductFiles();

  for (const std::string& bad : std::vector<std::string>{"20200101-000000-importacao-completa", "../loja", "",
                                                          name + "/..", ".parcial-" + name}) {
    Result r = Restore(bad);
    EXPECT_EQ(r.exit_code, 1) << bad;
    EXPECT_NE(r.err.find("no such backup"), std::string::npos) << bad << ": " << r.err;
  }
  EXPECT_EQ(Run("backup restore " + DataArg()).exit_code, 2);

  // Without --yes and without a terminal the answer is no.
  Result declined = Restore(name, "");
  EXPECT_EQ(declined.exit_code, 3);
  EXPECT_NE(declined.out.find("Confirma restaurar YCOBAR, YCOPRO, YCOY60 da cópia de segurança backup/" + name + " ?"),
            std::string::npos)
      << declined.out;

  // Another station with the bar codes open.
  {
    auto held = Db().open(ycobar::kTable);
    Result busy = Restore(name);
    EXPECT_EQ(busy.exit_code, 1);
    EXPECT_NE(busy.err.find("backup/" + name + " not restored: YCOBAR.DBF: table in use by another process"),
              std::string::npos)
        << busy.err;
  }
  EXPECT_EQ(ProductFiles(), imported);
  EXPECT_EQ(db::ListBackups(Db()).size(), 1u);
  EXPECT_EQ(Restore(name).exit_code, 0);
}

}  // namespace
}  // namespace kaslo::cli
