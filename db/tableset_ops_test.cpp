// The index check and the stock conversion on an installed demo store.
#include "db/tableset_ops.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/testing/scripted_messages.h"
#include "db/backup.h"
#include "db/error.h"
#include "db/table.h"
#include "db/table_ops.h"
#include "db/table_swap.h"
#include "db/tables/ycoetq.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycouse.h"
#include "db/stock_testing.h"
#include "db/tableset_check.h"
#include "db/temp_data_dir.h"

namespace kaslo::db {
namespace {

namespace fs = std::filesystem;
using kaslo::testing::RecordingProgress;

class TableSetOpsTest : public ::testing::Test {
 protected:
  const Database& Db() const { return dir_.db(); }

  void SetEveryStock(double stock) { testing::SetEveryStock(Db(), stock); }
  size_t StockedRows() const { return testing::StockedRows(Db()); }
  db::FieldInfo StockField() const { return testing::StockField(Db()); }
  size_t Products() const { return testing::Products(Db()); }

  testing::TempDataDir dir_{{.demo = true}};
};

// ---- index check

TEST_F(TableSetOpsTest, IndexCheckLeavesASoundDirectoryAlone) {
  RecordingProgress progress;
  EXPECT_TRUE(IndexCheck(Db()).empty());
  EXPECT_TRUE(progress.texts().empty());
}

TEST_F(TableSetOpsTest, MissingProductIndexShowsItsCaptionAndRebuildsBothTags) {
  fs::remove(Db().find("YCOPRO.MDX"));
  RecordingProgress progress;

  EXPECT_EQ(IndexCheck(Db()), std::vector<std::string>{"Ycopro"});

  EXPECT_EQ(progress.texts(), std::vector<std::string>{"Aguarde, Reindexando: Produtos do Pelda Roza ®"});
  EXPECT_FALSE(progress.visible());
  auto t = Db().open(ycopro::kTable, {.tag = "Um"});
  t->first();
  ASSERT_FALSE(t->eof());
  const double first_plu = t->asNumber(ycopro::PRO_PLU);
  t->last();
  EXPECT_TRUE(t->findKey(first_plu));
  t->setTag("Dois");
  t->first();
  std::string previous;
  for (; !t->eof(); t->next()) {
    EXPECT_LE(previous, t->getString(ycopro::PRO_DESCR));
    previous = t->getString(ycopro::PRO_DESCR);
  }
}

TEST_F(TableSetOpsTest, SideTablesGetTheirTagBackWithoutAProgressText) {
  fs::remove(Db().find("YCOETQ.MDX"));
  fs::remove(Db().find("YCOUSE.MDX"));
  RecordingProgress progress;

  EXPECT_EQ(IndexCheck(Db()), (std::vector<std::string>{"Ycoetq", "Ycouse"}));

  EXPECT_TRUE(progress.texts().empty());
  Db().open(ycoetq::kTable, {.tag = "UM"});
  Db().open(ycouse::kTable, {.tag = "UM"});
}

TEST_F(TableSetOpsTest, IndexCheckStopsAtAMissingTable) {
  for (const char* file : {"YCOGRP.MDX", "YCODEP.MDX", "YCODEP.DBF", "YCOVEN.MDX"}) fs::remove(Db().find(file));
  RecordingProgress progress;

  EXPECT_THROW(IndexCheck(Db()), Error);

  EXPECT_TRUE(Db().exists("YCOGRP.MDX"));   // before it
  EXPECT_FALSE(Db().exists("YCOVEN.MDX"));  // after it
  EXPECT_EQ(progress.texts(), (std::vector<std::string>{"Aguarde, Reindexando: Grupos de Departamento",
                                                        "Aguarde, Reindexando: Departamentos"}));
}

// A kill between the tags written and the header's flag set leaves an .MDX
// that the table does not use; it must not pass for a whole index.
TEST_F(TableSetOpsTest, IndexCheckBuildsAgainAnIndexTheHeaderDoesNotName) {
  ASSERT_TRUE(LimpaIndiceDbf(Db().find("YCODEP.DBF")));
  ASSERT_TRUE(Db().exists("YCODEP.MDX"));
  RecordingProgress progress;

  EXPECT_EQ(IndexCheck(Db()), std::vector<std::string>{"Ycodep"});

  EXPECT_EQ(CheckDataDirectory(Db()), std::vector<std::string>{});
  auto dep = Db().open("Ycodep", {.tag = "Um"});
  EXPECT_GT(dep->recordCount(), 0u);
}

// ---- stock conversion

TEST_F(TableSetOpsTest, AConversionKeepsTheTableAsItWasInItsBackup) {
  SetEveryStock(4.25);
  const std::optional<std::string> backup = ConverteEstoque(Db(), StockConversion::kAlways);
  ASSERT_TRUE(backup);
  EXPECT_TRUE(backup->ends_with("-conversao-estoque")) << *backup;
  EXPECT_EQ(StockedRows(), 0u);
  EXPECT_FALSE(std::filesystem::exists(Db().dir() / TableSwap::kFolder));
  const Database saved(Db().dir() / kBackupFolder / *backup);
  EXPECT_EQ(testing::StockedRows(saved), Products());
  EXPECT_EQ(testing::StockField(saved).length, ycopro::PRO_ESTQ.length);
}

TEST_F(TableSetOpsTest, ImplicitConversionOnlyTouchesAStockOfAnotherType) {
  SetEveryStock(4.25);
  EXPECT_FALSE(ConverteEstoque(Db(), StockConversion::kOnlyWhenNeeded));
  EXPECT_EQ(StockedRows(), Products());

  const std::vector<std::string> drop = {std::string(ycopro::PRO_ESTQ.name)};
  const FieldDef narrow[] = {Num(ycopro::PRO_ESTQ.name, 8, 2)};
  Restructure(Db(), ycopro::kTable, drop, narrow);
  EXPECT_TRUE(ConverteEstoque(Db(), StockConversion::kOnlyWhenNeeded));
  EXPECT_EQ(StockField().length, 10);
  EXPECT_EQ(StockField().decimals, 3);
  EXPECT_FALSE(ConverteEstoque(Db(), StockConversion::kOnlyWhenNeeded));
}

}  // namespace
}  // namespace kaslo::db
