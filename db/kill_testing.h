// What the kill tests of the table replacements share: fresh copies of a
// prepared data directory, the faults the check finds beyond those it found
// before, a table's rows as comparable text, and the whole check of a
// replacement killed at many points (old tables or new ones, whole).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/testing/kill_points.h"
#include "db/backup.h"
#include "db/database.h"
#include "db/table.h"
#include "db/table_swap.h"
#include "db/tableset_check.h"
#include "db/temp_data_dir.h"

namespace kaslo::db::testing {

// A prepared data directory and fresh copies of it, one per run.
class Copies {
 public:
  explicit Copies(const InstallOptions& options) : pristine_(options) {}
  const Database& db() const { return pristine_.db(); }
  std::filesystem::path Fresh() {
    const std::filesystem::path dir = scratch_.path() / ("run" + std::to_string(runs_++));
    std::filesystem::copy(pristine_.path(), dir, std::filesystem::copy_options::recursive);
    return dir;
  }

 private:
  TempDataDir pristine_;
  TempDataDir scratch_{{}, false};
  int runs_ = 0;
};

inline std::set<std::string> Faults(const Database& db) {
  const std::vector<std::string> faults = CheckDataDirectory(db);
  return {faults.begin(), faults.end()};
}

// The check's faults that were not among `before`.
inline std::vector<std::string> NewFaults(const Database& db, const std::set<std::string>& before) {
  std::vector<std::string> added;
  for (const std::string& f : Faults(db)) {
    if (!before.count(f)) added.push_back(f);
  }
  return added;
}

// Every live row of a table as the text of all its fields, sorted: equal
// for two tables with the same rows whatever their record order.
inline std::vector<std::string> RowTexts(const Database& db, std::string_view table) {
  auto t = db.open(table);
  std::vector<std::string> rows;
  for (t->first(); !t->eof(); t->next()) {
    std::string row;
    for (size_t i = 0; i < t->fields().size(); ++i) row += t->getString(FieldRef(i)) + "|";
    rows.push_back(std::move(row));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

inline std::vector<std::vector<std::string>> RowTexts(const Database& db, const std::vector<std::string>& tables) {
  std::vector<std::vector<std::string>> all;
  for (const std::string& t : tables) all.push_back(RowTexts(db, t));
  return all;
}

// A whole backup has every table it names, and each one opens.
inline void ExpectWholeBackups(const Database& db) {
  for (const BackupInfo& b : ListBackups(db)) {
    const Database saved(db.dir() / kBackupFolder / b.name);
    for (const std::string& table : b.tables) EXPECT_NO_THROW(saved.open(table)) << b.name << " " << table;
  }
}

// Runs `operation` on fresh copies of the prepared directory, killed at
// KillPoints(total, spread, tail). After each kill the directory is opened
// as the program opens it (FinishInterruptedSwap, then `reopen` when given),
// and then: no staging folder is left, the check finds no new fault, every
// backup is whole, and `tables` hold either all of their old rows or all of
// the rows a finished run gives, with tags that see every row. Both sides of
// the commit must have been seen.
inline void ExpectOldOrNewAfterEveryKill(Copies& copies, const std::vector<std::string>& tables,
                                         const std::function<void(const std::filesystem::path&)>& operation,
                                         int spread, int tail,
                                         const std::function<void(const Database&)>& reopen = {}) {
  namespace fs = std::filesystem;
  const std::set<std::string> faults_before = Faults(copies.db());
  const auto old_rows = RowTexts(copies.db(), tables);

  const fs::path counted = copies.Fresh();
  const int total = kaslo::testing::CountMutations(counted, [&] { operation(counted); });
  ASSERT_GT(total, 0);
  const auto new_rows = RowTexts(Database(counted), tables);
  ASSERT_NE(old_rows, new_rows) << "the operation must change the tables";

  int old_seen = 0, new_seen = 0;
  for (int point : kaslo::testing::KillPoints(total, spread, tail)) {
    SCOPED_TRACE("kill point " + std::to_string(point) + " of " + std::to_string(total));
    const fs::path dir = copies.Fresh();
    ASSERT_TRUE(kaslo::testing::RunKilledAt(dir, point, [&] { operation(dir); }).killed);

    const Database db(dir);
    ASSERT_NO_THROW(FinishInterruptedSwap(db));
    if (reopen) reopen(db);
    EXPECT_FALSE(fs::exists(dir / TableSwap::kFolder));
    EXPECT_EQ(NewFaults(db, faults_before), std::vector<std::string>{});
    ExpectWholeBackups(db);
    const auto rows = RowTexts(db, tables);
    if (rows == old_rows) {
      ++old_seen;
    } else {
      ++new_seen;
      EXPECT_EQ(rows, new_rows) << "neither the old rows nor the new ones";
    }
    for (size_t i = 0; i < tables.size(); ++i) {
      auto t = db.open(tables[i]);
      const std::vector<std::string> tags = t->tagNames();
      if (tags.empty()) continue;
      t->setTag(tags.front());
      size_t seen = 0;
      for (t->first(); !t->eof(); t->next()) ++seen;
      EXPECT_EQ(seen, rows[i].size()) << tables[i] << " by tag " << tags.front();
    }
    fs::remove_all(dir);
  }
  EXPECT_GT(old_seen, 0);
  EXPECT_GT(new_seen, 0);
}

}  // namespace kaslo::db::testing
