// The kill-test helper: which calls are points, that a kill lands just before
// its point, that failures in the child reach the test, and, on a table of
// an installed data directory, that a kill anywhere in append and post
// loses at most the rows not yet posted.
#include "common/testing/kill_points.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/tables/ycodep.h"
#include "db/temp_data_dir.h"

namespace kaslo::testing {
namespace {

namespace fs = std::filesystem;
using db::testing::TempDataDir;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(KillPoints, SpreadOverTheWholeOperationAndEveryStepOfItsTail) {
  EXPECT_EQ(KillPoints(100, 5, 3), (std::vector<int>{1, 25, 50, 75, 98, 99, 100}));
  EXPECT_EQ(KillPoints(4, 10, 2), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(KillPoints(7, 1, 0), (std::vector<int>{1}));
  EXPECT_EQ(KillPoints(3, 0, 9), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(KillPoints(0, 10, 5).empty());
}

// std::filesystem::rename runs inside libstdc++: it is a point only when the
// test binary's hooks reach into shared libraries.
TEST(KillPoints, AKillJustBeforeARenameKeepsTheOldFile) {
  TempDataDir dir({}, /*install=*/false);
  const fs::path target = dir.path() / "A.DBF", replacement = dir.path() / "A.NEW";
  auto reset = [&] {
    WriteFile(target, "old");
    WriteFile(replacement, "new");
  };
  auto swap = [&] { fs::rename(replacement, target); };

  reset();
  EXPECT_EQ(CountMutations(dir.path(), swap), 1);

  reset();
  KillRun run = RunKilledAt(dir.path(), 1, swap);
  EXPECT_TRUE(run.killed);
  EXPECT_EQ(run.mutations, 0);
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_TRUE(fs::exists(replacement));

  run = RunKilledAt(dir.path(), 2, swap);
  EXPECT_FALSE(run.killed);
  EXPECT_EQ(run.mutations, 1);
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_FALSE(fs::exists(replacement));
}

// The test's own output and other folders must not shift the points, or a
// point would mean another change on every run.
TEST(KillPoints, OnlyChangesInsideTheDirectoryCount) {
  TempDataDir dir({}, false), elsewhere({}, false);
  auto work = [&] {
    std::ofstream(dir.path() / "F.TXT") << "row";
    fs::create_directory(dir.path() / "backup");
    fs::remove(dir.path() / "backup");
    fs::remove(dir.path() / "F.TXT");
  };
  auto work_and_noise = [&] {
    std::cout << "progress" << std::endl;
    std::fprintf(stderr, "warning\n");
    std::ofstream(elsewhere.path() / "LOG.TXT") << "log";
    fs::rename(elsewhere.path() / "LOG.TXT", elsewhere.path() / "LOG.OLD");
    work();
  };
  int quiet = CountMutations(dir.path(), work);
  EXPECT_GE(quiet, 4);
  EXPECT_EQ(CountMutations(dir.path(), work_and_noise), quiet);
  EXPECT_TRUE(fs::exists(elsewhere.path() / "LOG.OLD"));
}

TEST(KillPoints, FailuresInTheChildFailTheTest) {
  TempDataDir dir({}, false);
  EXPECT_NONFATAL_FAILURE(CountMutations(dir.path(), [] { throw std::runtime_error("disk full"); }), "disk full");
  EXPECT_NONFATAL_FAILURE(RunKilledAt(dir.path(), 5, [] { ADD_FAILURE() << "a row went missing"; }),
                          "a row went missing");
  EXPECT_NONFATAL_FAILURE(CountMutations(dir.path(), [] { std::raise(SIGTERM); }), "signal 15");
}

// ---- append and post on a real table

constexpr int kNewRows = 3;

struct Department {
  std::string code, description, tax_code;
  bool operator==(const Department&) const = default;
};

Department NewDepartment(int i) { return {std::to_string(901 + i), "KILL TEST " + std::to_string(i), "2"}; }

void AppendDepartments(const fs::path& dir) {
  auto table = db::Database(dir).open(ycodep::kTable);
  for (int i = 0; i < kNewRows; ++i) {
    Department d = NewDepartment(i);
    table->append();
    table->setNumber(ycodep::DEP_CODIGO, std::stod(d.code));
    table->setString(ycodep::DEP_DESCR, d.description);
    table->setNumber(ycodep::TRB_CODIGO, std::stod(d.tax_code));
    table->post();
  }
}

// Every row in record order; opening is what a crash must never prevent.
std::vector<Department> Departments(const fs::path& dir) {
  auto table = db::Database(dir).open(ycodep::kTable);
  std::vector<Department> rows;
  for (table->first(); !table->eof(); table->next()) {
    rows.push_back({table->getString(ycodep::DEP_CODIGO), table->getString(ycodep::DEP_DESCR),
                    table->getString(ycodep::TRB_CODIGO)});
  }
  return rows;
}

bool FoundByCode(const fs::path& dir, const std::string& code) {
  auto table = db::Database(dir).open(ycodep::kTable, {.tag = "Um"});
  return table->findKey(std::stod(code));
}

TEST(KillPointsOnTables, AKillDuringAppendAndPostLosesAtMostTheRowsNotYetPosted) {
  std::vector<Department> before;
  int total = 0;
  {
    TempDataDir dir({.demo = true});
    before = Departments(dir.path());
    ASSERT_FALSE(before.empty());
    total = CountMutations(dir.path(), [&] { AppendDepartments(dir.path()); });
    EXPECT_EQ(Departments(dir.path()).size(), before.size() + kNewRows);
  }
  {
    TempDataDir dir({.demo = true});
    EXPECT_EQ(CountMutations(dir.path(), [&] { AppendDepartments(dir.path()); }), total) << "points must not move";
  }
  ASSERT_GE(total, 2 * kNewRows) << "each row is at least its record and the header's count";

  size_t kept_by_earlier_kill = 0;
  for (int point = 1; point <= total + 1; ++point) {
    SCOPED_TRACE("kill point " + std::to_string(point) + " of " + std::to_string(total));
    TempDataDir dir({.demo = true});
    KillRun run = RunKilledAt(dir.path(), point, [&] { AppendDepartments(dir.path()); });
    EXPECT_EQ(run.killed, point <= total);

    std::vector<Department> rows;
    ASSERT_NO_THROW(rows = Departments(dir.path()));
    ASSERT_GE(rows.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), rows.begin())) << "a committed row changed";
    const size_t added = rows.size() - before.size();
    ASSERT_LE(added, size_t{kNewRows});
    for (size_t i = 0; i < added; ++i) {
      EXPECT_EQ(rows[before.size() + i], NewDepartment(static_cast<int>(i))) << "a half-written row";
      EXPECT_TRUE(FoundByCode(dir.path(), rows[before.size() + i].code));
    }
    if (point == 1) {
      EXPECT_EQ(added, 0u);
    }
    EXPECT_GE(added, kept_by_earlier_kill) << "a later kill kept fewer rows";
    kept_by_earlier_kill = added;
  }
  EXPECT_EQ(kept_by_earlier_kill, size_t{kNewRows});
}

}  // namespace
}  // namespace kaslo::testing
