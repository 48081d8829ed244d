// A full import killed at many points, from the first product row to the
// last rename: afterwards the data directory opens sound, and the products,
// bar codes and change queue are either all the old ones or all the file's.
// The same for a restore of the backup the import took.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "common/numbers.h"
#include "common/testing/kill_points.h"
#include "common/text.h"
#include "db/backup.h"
#include "db/table_swap.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoy60.h"
#include "db/tableset_check.h"
#include "db/temp_data_dir.h"
#include "interchange/interchange.h"

namespace kaslo::interchange {
namespace {

namespace fs = std::filesystem;

constexpr int kFileProducts = 600;

class NoGauge final : public Gauge {
 public:
  void start(int64_t) override {}
  void move(int64_t) override {}
  void stop() override {}
};

std::set<double> Codes(const db::Database& db, std::string_view table, const db::FieldDef& field) {
  std::set<double> codes;
  auto t = db.open(table);
  for (t->first(); !t->eof(); t->next()) codes.insert(t->asNumber(field));
  return codes;
}

void Import(const fs::path& dir) {
  NoGauge gauge;
  Outcome o = Run(db::Database(dir), {.direction = Direction::kImport, .scope = Scope::kAll}, gauge);
  if (!o.done) throw std::runtime_error(o.message);
}

class FullImportKilled : public ::testing::Test {
 protected:
  void SetUp() override {
    const db::Database& db = pristine_.db();
    {
      auto prm = db.open(ycoprm::kTable);
      prm->first();
      prm->edit();
      prm->setString(ycoprm::Q40_DIGCON, "N");
      prm->post();
      auto y60 = db.open(ycoy60::kTable);
      for (double key : {11.0, 12.0, 13.0}) {
        y60->append();
        y60->setNumber(ycoy60::Y60_PROPLU, key);
        y60->setString(ycoy60::Y60_STATUS, "3");
        y60->post();
      }
    }
    std::ofstream file(pristine_.path() / "NLUFILE.MTR", std::ios::binary);
    for (int i = 1; i <= kFileProducts; ++i) {
      file << NumeroComZeros(12, 0, 5000 + i) << "," << CompletaDireita("PRODUTO " + std::to_string(i), 22) << ","
           << CompletaDireita("PROD " + std::to_string(i), 20) << ",1,1," << NumeroComZeros(8, 0, 100 + i)
           << ",U,N\r\n";
      new_products_.insert(5000 + i);
    }
    file.close();
    old_products_ = Codes(db, ycopro::kTable, ycopro::PRO_PLU);
    old_bar_codes_ = db.open("Ycobar")->recordCount();
    ASSERT_GT(old_bar_codes_, 0u);
    ASSERT_EQ(db.open(ycoy60::kTable)->recordCount(), 3u);
  }

  // A fresh copy of the prepared data directory for one run.
  fs::path FreshCopy() {
    const fs::path dir = scratch_.path() / ("run" + std::to_string(runs_++));
    fs::copy(pristine_.path(), dir, fs::copy_options::recursive);
    return dir;
  }

  db::testing::TempDataDir pristine_{{.demo = true}};
  db::testing::TempDataDir scratch_{{}, false};
  std::set<double> old_products_, new_products_;
  size_t old_bar_codes_ = 0;
  int runs_ = 0;
};

TEST_F(FullImportKilled, LeavesEitherTheOldTablesOrTheNewOnes) {
  const fs::path counted = FreshCopy();
  const int total = kaslo::testing::CountMutations(counted, [&] { Import(counted); });
  ASSERT_GT(total, kFileProducts);
  EXPECT_EQ(Codes(db::Database(counted), ycopro::kTable, ycopro::PRO_PLU), new_products_);

  int old_seen = 0, new_seen = 0;
  for (int point : kaslo::testing::KillPoints(total, 40, 40)) {
    const fs::path dir = FreshCopy();
    const kaslo::testing::KillRun run = kaslo::testing::RunKilledAt(dir, point, [&] { Import(dir); });
    ASSERT_TRUE(run.killed) << point;

    const db::Database db(dir);
    db::FinishInterruptedSwap(db);
    EXPECT_FALSE(fs::exists(dir / db::TableSwap::kFolder)) << point;
    EXPECT_EQ(db::CheckDataDirectory(db), std::vector<std::string>{}) << point;
    const std::set<double> products = Codes(db, ycopro::kTable, ycopro::PRO_PLU);
    const size_t bar_codes = db.open("Ycobar")->recordCount(), queue = db.open(ycoy60::kTable)->recordCount();
    if (products == old_products_) {
      ++old_seen;
      EXPECT_EQ(bar_codes, old_bar_codes_) << point;
      EXPECT_EQ(queue, 3u) << point;
    } else {
      ++new_seen;
      EXPECT_EQ(products, new_products_) << point;
      EXPECT_EQ(bar_codes, 0u) << point;
      EXPECT_EQ(queue, 0u) << point;
    }
    // Both tags find what the table holds.
    auto pro = db.open(ycopro::kTable, {.tag = "Dois", .exclusive = false});
    EXPECT_EQ(pro->recordCount(), products.size()) << point;
    pro->setTag("Um");
    EXPECT_TRUE(pro->findKey(*products.begin())) << point;
    fs::remove_all(dir);
  }
  // The kills fell on both sides of the commit point.
  EXPECT_GT(old_seen, 0);
  EXPECT_GT(new_seen, 0);
}

// The restore of the import's backup killed at many points: the imported
// tables or the restored ones, never a mix, and never a half backup listed.
TEST_F(FullImportKilled, RestoreOfTheBackupLeavesEitherTheImportOrTheOldTables) {
  const fs::path imported = FreshCopy();
  Import(imported);
  const std::vector<db::BackupInfo> backups = db::ListBackups(db::Database(imported));
  ASSERT_EQ(backups.size(), 1u);
  const std::string name = backups[0].name;
  auto copy = [&] {
    const fs::path dir = scratch_.path() / ("run" + std::to_string(runs_++));
    fs::copy(imported, dir, fs::copy_options::recursive);
    return dir;
  };

  const fs::path counted = copy();
  const int total = kaslo::testing::CountMutations(counted, [&] { db::RestoreBackup(db::Database(counted), name); });
  ASSERT_GT(total, 0);
  EXPECT_EQ(Codes(db::Database(counted), ycopro::kTable, ycopro::PRO_PLU), old_products_);

  int imported_seen = 0, restored_seen = 0;
  for (int point : kaslo::testing::KillPoints(total, 20, 20)) {
    const fs::path dir = copy();
    const kaslo::testing::KillRun run =
        kaslo::testing::RunKilledAt(dir, point, [&] { db::RestoreBackup(db::Database(dir), name); });
    ASSERT_TRUE(run.killed) << point;

    const db::Database db(dir);
    db::FinishInterruptedSwap(db);
    EXPECT_EQ(db::CheckDataDirectory(db), std::vector<std::string>{}) << point;
    const std::set<double> products = Codes(db, ycopro::kTable, ycopro::PRO_PLU);
    const size_t bar_codes = db.open("Ycobar")->recordCount(), queue = db.open(ycoy60::kTable)->recordCount();
    if (products == new_products_) {
      ++imported_seen;
      EXPECT_EQ(bar_codes, 0u) << point;
      EXPECT_EQ(queue, 0u) << point;
    } else {
      ++restored_seen;
      EXPECT_EQ(products, old_products_) << point;
      EXPECT_EQ(bar_codes, old_bar_codes_) << point;
      EXPECT_EQ(queue, 3u) << point;
    }
    for (const db::BackupInfo& b : db::ListBackups(db)) {
      EXPECT_EQ(b.tables.size(), 3u) << point << " " << b.name;
    }
    fs::remove_all(dir);
  }
  EXPECT_GT(imported_seen, 0);
  EXPECT_GT(restored_seen, 0);
}

}  // namespace
}  // namespace kaslo::interchange
