// Start-up on real tables: the data directory check, the table upgrade from
// delivered templates and the index check.
#include "app/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "app/test_data_dir.h"
#include "common/testing/scripted_messages.h"
#include "db/tables/ycoatd.h"
#include "db/tables/ycocli.h"

namespace fs = std::filesystem;

namespace kaslo::app {
namespace {

using kaslo::testing::MessageKind;
using kaslo::testing::RecordingProgress;
using kaslo::testing::ScriptedMessages;

// A field the clients' template brings and the installed table lacks.
constexpr db::FieldDef kCliEmail = db::Char("CLI_EMAIL", 30);

class StartupTest : public testing::DataDirTest {
 protected:
  // The clients' template: every field but CLI_COMPLE, plus CLI_EMAIL, with
  // the code in a field of `code_width` digits.
  void WriteClientTemplate(uint16_t code_width) {
    std::vector<db::FieldDef> fields;
    for (const db::FieldDef& f : ycocli::kFields) {
      if (f.name == ycocli::CLI_COMPLE.name) continue;
      fields.push_back(f.name == ycocli::CLI_CODIGO.name ? db::Num(f.name, code_width) : f);
    }
    fields.push_back(kCliEmail);
    Db().create("YCOCLIYC", fields);
  }

  std::map<double, std::string> ClientNames() {
    std::map<double, std::string> names;
    auto t = Db().open(ycocli::kTable);
    for (t->first(); !t->eof(); t->next()) names[t->asNumber(ycocli::CLI_CODIGO)] = t->getString(ycocli::CLI_NOME);
    return names;
  }
};

TEST_F(StartupTest, TemplateAddsAndDropsFieldsKeepsRowsAndRebuildsTags) {
  const auto names_before = ClientNames();
  ASSERT_FALSE(names_before.empty());
  WriteClientTemplate(ycocli::CLI_CODIGO.length);
  ScriptedMessages messages;
  RecordingProgress progress;

  EXPECT_TRUE(RunStartup(Db()));

  EXPECT_TRUE(messages.messages().empty());
  EXPECT_TRUE(progress.Saw("Atualizando tabela YCOCLI..."));
  EXPECT_TRUE(progress.Saw("Aguarde, Reindexando: Clientes"));
  EXPECT_FALSE(progress.visible());
  EXPECT_FALSE(Db().exists("YCOCLIYC.DBF"));
  EXPECT_FALSE(Db().exists("TEMP.DBF"));
  EXPECT_TRUE(Db().exists("YCOCLI.MDX"));

  auto t = Db().open(ycocli::kTable, {.tag = "Dois"});
  EXPECT_FALSE(t->hasField(ycocli::CLI_COMPLE.name));
  ASSERT_TRUE(t->hasField(kCliEmail.name));
  EXPECT_EQ(t->fields().back().name, kCliEmail.name);
  EXPECT_EQ(t->recordCount(), names_before.size());
  std::map<double, std::string> names_after;
  for (t->first(); !t->eof(); t->next()) {
    names_after[t->asNumber(ycocli::CLI_CODIGO)] = t->getString(ycocli::CLI_NOME);
    EXPECT_TRUE(t->isBlank(kCliEmail));
  }
  EXPECT_EQ(names_after, names_before);
  t->setTag("Um");
  EXPECT_TRUE(t->findKey(2.0));
  EXPECT_EQ(t->getString(ycocli::CLI_NOME), names_before.at(2));
}

TEST_F(StartupTest, ErrorWhileMovingRowsLeavesTheOldTableAsItWas) {
  {
    // A code of two digits, after rows that fit the template's one digit.
    auto t = Db().open(ycocli::kTable);
    t->append();
    t->setNumber(ycocli::CLI_CODIGO, 10);
    t->setString(ycocli::CLI_NOME, "ULTIMO");
    ASSERT_TRUE(t->post());
  }
  WriteClientTemplate(1);
  const std::string dbf_before = Bytes(Db().find("YCOCLI.DBF"));
  const std::string mdx_before = Bytes(Db().find("YCOCLI.MDX"));
  ScriptedMessages messages;
  RecordingProgress progress;

  EXPECT_FALSE(RunStartup(Db()));

  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].kind, MessageKind::kError);
  EXPECT_FALSE(messages.messages()[0].text.empty());
  EXPECT_FALSE(progress.visible());
  EXPECT_EQ(Bytes(Db().find("YCOCLI.DBF")), dbf_before);
  EXPECT_EQ(Bytes(Db().find("YCOCLI.MDX")), mdx_before);
  EXPECT_TRUE(Db().exists("YCOCLIYC.DBF"));
  EXPECT_FALSE(Db().exists("TEMP.DBF"));
  auto t = Db().open(ycocli::kTable, {.tag = "Um"});
  EXPECT_TRUE(t->hasField(ycocli::CLI_COMPLE.name));
  EXPECT_TRUE(t->findKey(10.0));
}

TEST_F(StartupTest, TemplateWithoutTableBecomesTheTable) {
  fs::remove(Db().find("YCOATD.DBF"));
  fs::remove(Db().find("YCOATD.MDX"));
  {
    Db().create("YCOATDYC", ycoatd::kFields);
    auto t = Db().open("YCOATDYC");
    t->append();
    t->setNumber(ycoatd::ATD_CODIGO, 7);
    t->setString(ycoatd::ATD_DESCR, "BALCAO");
    ASSERT_TRUE(t->post());
  }
  std::ofstream(dir_ / "ycopro_qs1.tmp") << "x";
  RecordingProgress progress;

  EXPECT_TRUE(RunStartup(Db()));

  EXPECT_FALSE(Db().exists("YCOATDYC.DBF"));
  EXPECT_FALSE(Db().exists("ycopro_qs1.tmp"));
  EXPECT_TRUE(progress.Saw("Atualizando tabela YCOATD..."));
  EXPECT_TRUE(progress.Saw("Reorganizando arquivos"));
  EXPECT_TRUE(progress.Saw("Aguarde, Reindexando: Atendentes"));
  auto t = Db().open(ycoatd::kTable, {.tag = "Dois"});
  ASSERT_EQ(t->recordCount(), 1u);
  t->first();
  EXPECT_EQ(t->getString(ycoatd::ATD_DESCR), "BALCAO");
  ASSERT_EQ(t->fields().size(), std::size(ycoatd::kFields));
}

TEST_F(StartupTest, NothingChangesWithoutTemplatesAndWithEveryIndex) {
  const auto before = Snapshot();
  RecordingProgress progress;
  ScriptedMessages messages;

  EXPECT_TRUE(RunStartup(Db()));

  EXPECT_TRUE(progress.texts().empty());
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_TRUE(Snapshot() == before);
}

TEST_F(StartupTest, MissingTableIsReportedWithTheEnginesText) {
  fs::remove(Db().find("YCOBAR.DBF"));
  fs::remove(Db().find("YCOBAR.MDX"));
  ScriptedMessages messages;
  RecordingProgress progress;

  EXPECT_FALSE(RunStartup(Db()));

  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].kind, MessageKind::kError);
  EXPECT_NE(messages.messages()[0].text.find("YCOBAR"), std::string::npos) << messages.messages()[0].text;
  EXPECT_FALSE(progress.visible());
}

TEST_F(StartupTest, DataDirectoryMustExistAndBeWritable) {
  EXPECT_EQ(DataDirectoryProblem(dir_), std::nullopt);
  EXPECT_EQ(Snapshot().count(".kaslo_roza_escrita"), 0u);

  const fs::path missing = dir_ / "nada";
  EXPECT_EQ(DataDirectoryProblem(missing), "Diretório de dados não encontrado !\r" + missing.string());
  EXPECT_TRUE(DataDirectoryProblem(Db().find("YCOPRO.DBF")).has_value());

  ScriptedMessages messages;
  EXPECT_FALSE(PrepareDataDirectory(missing));
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].kind, MessageKind::kInformation);
  EXPECT_EQ(messages.messages()[0].text, "Diretório de dados não encontrado !\r" + missing.string());
  EXPECT_TRUE(PrepareDataDirectory(dir_));
  EXPECT_EQ(messages.messages().size(), 1u);

  if (geteuid() != 0) {  // root writes anywhere
    fs::permissions(dir_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_TRUE(DataDirectoryProblem(dir_).has_value());
  }
}

TEST(DataDirectory, OverrideWinsAndTheResultIsAbsoluteWithoutTrailingSeparator) {
  const fs::path exe_dir = fs::temp_directory_path() / "bin";
  EXPECT_EQ(ResolveDataDirectory(exe_dir / "", std::nullopt), exe_dir);
  EXPECT_EQ(ResolveDataDirectory(exe_dir, fs::path("/srv/loja/")), fs::path("/srv/loja"));
  EXPECT_EQ(ResolveDataDirectory(exe_dir, fs::path("loja")), fs::current_path() / "loja");
}

}  // namespace
}  // namespace kaslo::app
