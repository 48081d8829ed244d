// The table upgrade at start-up killed at many points: two tables of an
// older structure, each with its delivered template. After each kill the
// data directory opens as the program opens it (a replacement finished or
// undone, then the index check every start runs), and both tables hold
// their old rows or the upgraded ones.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "app/startup.h"
#include "db/kill_testing.h"
#include "db/table_ops.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycodep.h"
#include "db/tableset_ops.h"

namespace kaslo::app {
namespace {

namespace fs = std::filesystem;

// The table as an older version left it, without `field`, and the
// template of the current structure beside it.
void MakeOlder(const db::Database& db, std::string_view table, std::span<const db::FieldDef> fields,
               const db::FieldDef& field) {
  const std::vector<std::string> drop = {std::string(field.name)};
  db::Restructure(db, table, drop, {});
  std::string template_name(table);
  for (char& c : template_name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  db.create(template_name + "YC", fields);
}

TEST(TableUpgradeKilled, TheTablesAreTheOldOnesOrTheUpgradedOnes) {
  db::testing::Copies copies({.demo = true});
  MakeOlder(copies.db(), ycocli::kTable, ycocli::kFields, ycocli::CLI_COMPLE);
  MakeOlder(copies.db(), ycodep::kTable, ycodep::kFields, ycodep::TRB_CODIGO);
  ASSERT_GT(copies.db().open(ycocli::kTable)->recordCount(), 0u);
  ASSERT_GT(copies.db().open(ycodep::kTable)->recordCount(), 0u);
  // The check rightly reports the fields the old tables lack.
  ASSERT_GE(db::testing::Faults(copies.db()).size(), 2u);

  db::testing::ExpectOldOrNewAfterEveryKill(
      copies, {std::string(ycocli::kTable), std::string(ycodep::kTable)},
      [](const fs::path& dir) {
        if (!RunStartup(db::Database(dir))) throw std::runtime_error("the start-up failed");
      },
      25, 40, [](const db::Database& db) { db::IndexCheck(db); });
}

}  // namespace
}  // namespace kaslo::app
