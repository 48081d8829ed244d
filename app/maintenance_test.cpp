// Reindex and stock conversion on real tables.
#include "app/maintenance.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/test_data_dir.h"
#include "db/stock_testing.h"
#include "common/testing/scripted_messages.h"
#include "db/backup.h"
#include "db/schema.h"
#include "db/tables/ycoetq.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycouse.h"

namespace fs = std::filesystem;

namespace kaslo::app {
namespace {

using kaslo::testing::MessageKind;
using kaslo::testing::RecordingProgress;
using kaslo::testing::ScriptedMessages;

const std::string kConversionQuestion =
    "Este procedimento irá acarretar a perda da base de dados.\r\n"
    "Antes de continuar, use a função de EXPORTAÇÃO DE ARQUIVOS\r\n"
    "Deseja continuar?";

class MaintenanceTest : public testing::DataDirTest {
 protected:
  void SetEveryStock(double stock) { db::testing::SetEveryStock(Db(), stock); }
  size_t StockedRows() const { return db::testing::StockedRows(Db()); }
  db::FieldInfo StockField() const { return db::testing::StockField(Db()); }
  size_t Products() const { return db::testing::Products(Db()); }
};

TEST_F(MaintenanceTest, ReindexDeletesEveryIndexAndRebuildsEachTableInOrder) {
  std::ofstream(dir_ / "OUTRA.MDX") << "x";
  RecordingProgress progress;

  Reindex(Db());

  EXPECT_FALSE(Db().exists("OUTRA.MDX"));
  std::vector<std::string> expected;
  for (const db::TableDef& t : db::IndexCheckTables()) {
    expected.push_back("Aguarde, Reindexando: " + std::string(t.caption));
    EXPECT_TRUE(Db().exists(std::string(t.name) + ".mdx")) << t.name;
    auto table = Db().open(t.name, {.tag = std::string(t.tags.front().name)});
  }
  EXPECT_EQ(progress.texts(), expected);
  EXPECT_FALSE(progress.visible());
  // Opened on UM elsewhere: they must come back too.
  auto etq = Db().open(ycoetq::kTable, {.tag = "UM"});
  EXPECT_TRUE(etq->findKey(1.0));
  Db().open(ycouse::kTable, {.tag = "UM"});
}

TEST_F(MaintenanceTest, ReindexStopsAtAMissingTable) {
  fs::remove(Db().find("YCODEP.DBF"));
  RecordingProgress progress;
  EXPECT_THROW(Reindex(Db()), db::Error);
  EXPECT_TRUE(Db().exists("YCOGRP.MDX"));   // before it
  EXPECT_FALSE(Db().exists("YCOVEN.MDX"));  // after it
}

TEST_F(MaintenanceTest, ConversionEmptiesTheStockEveryTimeItIsConfirmed) {
  const size_t products = Products();
  ASSERT_GT(products, 0u);
  ScriptedMessages messages;
  for (int round = 0; round < 2; ++round) {
    SetEveryStock(12.5);
    ASSERT_EQ(StockedRows(), products);
    messages.QueueConfirm(true);

    EXPECT_TRUE(ConversaoBancoDados(Db()));

    EXPECT_EQ(StockedRows(), 0u);
    EXPECT_EQ(Products(), products);
    ASSERT_EQ(messages.messages().size(), 2u * (round + 1));
    const auto& question = messages.messages()[2 * round];
    EXPECT_EQ(question.kind, MessageKind::kConfirm);
    EXPECT_EQ(question.text, kConversionQuestion);
    EXPECT_EQ(question.title, "ATENÇÃO");
    // Enter on the question must not empty every stock.
    EXPECT_EQ(question.default_answer, DefaultAnswer::kNo);
    const auto& done = messages.messages()[2 * round + 1];
    EXPECT_EQ(done.kind, MessageKind::kInformation);
    // The last line names the backup of the table as it was, stock and all.
    const std::vector<db::BackupInfo> backups = db::ListBackups(Db());
    ASSERT_EQ(backups.size(), size_t(round + 1));
    EXPECT_EQ(backups.back().operation, "conversao-estoque");
    EXPECT_EQ(done.text, "Operação realizada\rCópia de segurança: backup/" + backups.back().name);
    auto saved = db::Database(Db().dir() / db::kBackupFolder / backups.back().name).open(ycopro::kTable);
    size_t stocked = 0;
    for (saved->first(); !saved->eof(); saved->next()) stocked += saved->asNumber(ycopro::PRO_ESTQ) == 12.5;
    EXPECT_EQ(stocked, products);
  }
  const db::FieldInfo stock = StockField();
  EXPECT_EQ(stock.type, db::FieldType::kNumeric);
  EXPECT_EQ(stock.length, 10);
  EXPECT_EQ(stock.decimals, 3);
  // The rebuilt table keeps its tags.
  auto t = Db().open(ycopro::kTable, {.tag = "Dois"});
}

TEST_F(MaintenanceTest, ConversionAnsweredNoChangesNothing) {
  SetEveryStock(3);
  const std::string before = Bytes(Db().find("YCOPRO.DBF"));
  ScriptedMessages messages;
  messages.QueueConfirm(false);

  EXPECT_FALSE(ConversaoBancoDados(Db()));

  EXPECT_EQ(messages.texts(), std::vector<std::string>{kConversionQuestion});
  EXPECT_EQ(Bytes(Db().find("YCOPRO.DBF")), before);
}

}  // namespace
}  // namespace kaslo::app
