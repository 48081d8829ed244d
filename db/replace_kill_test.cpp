// The table engine's writes killed at many points: append and post on a
// table with a memo file and an index, a restructure of that table, and the
// stock conversion of a store's products. After each kill the directory
// opens, the check finds nothing it did not find before, no row written
// before the operation is lost, and a replaced table is either the old one
// or the new one, whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/testing/kill_points.h"
#include "db/kill_testing.h"
#include "db/stock_testing.h"
#include "db/table_ops.h"
#include "db/tables/ycopro.h"
#include "db/tableset_ops.h"

namespace kaslo::db {
namespace {

namespace fs = std::filesystem;
using kaslo::testing::CountMutations;
using kaslo::testing::KillPoints;
using kaslo::testing::RunKilledAt;

using testing::Copies;
using testing::ExpectOldOrNewAfterEveryKill;

// ---- a table with a memo file and an index

constexpr std::string_view kNotes = "NOTAS";
const FieldDef kNoteFields[] = {Num("CODIGO", 6, 0), Char("NOME", 20), Memo("OBS")};
const TagDef kNoteTags[] = {{"Um", "codigo"}};

struct Note {
  int code;
  std::string name, memo;
  bool operator==(const Note&) const = default;
};

Note OldNote(int i) { return {i, "VELHA " + std::to_string(i), std::string(300 + i * 40, static_cast<char>('a' + i))}; }
Note NewNote(int i) { return {100 + i, "NOVA " + std::to_string(i), "observação " + std::string(700, '0' + i)}; }

void CreateNotes(const Database& db, int rows) {
  db.create(kNotes, kNoteFields);
  auto t = db.open(kNotes, {.tag = "", .exclusive = true});
  for (int i = 0; i < rows; ++i) {
    const Note n = OldNote(i);
    t->append();
    t->setNumber("CODIGO", n.code);
    t->setString("NOME", n.name);
    t->setString("OBS", n.memo);
    t->post();
  }
  AddTags(*t, kNoteTags);
}

// Every row in record order; a table without NOME (restructured) gives it blank.
std::vector<Note> Notes(const Database& db) {
  auto t = db.open(kNotes);
  const bool named = t->hasField("NOME");
  std::vector<Note> rows;
  for (t->first(); !t->eof(); t->next()) {
    rows.push_back({static_cast<int>(t->asNumber("CODIGO")), named ? t->getString("NOME") : "",
                    t->getString("OBS")});
  }
  return rows;
}

bool FoundByCode(const Database& db, int code) { return db.open(kNotes, {.tag = "Um"})->findKey(code); }

constexpr int kOldNotes = 4;
constexpr int kNewNotes = 3;

void AppendNotes(const fs::path& dir) {
  auto t = Database(dir).open(kNotes);
  for (int i = 0; i < kNewNotes; ++i) {
    const Note n = NewNote(i);
    t->append();
    t->setNumber("CODIGO", n.code);
    t->setString("NOME", n.name);
    t->setString("OBS", n.memo);
    t->post();
  }
}

TEST(KilledWrites, AppendAndPostWithAMemoAndAnIndexLoseAtMostTheRowsNotYetPosted) {
  Copies copies({});
  CreateNotes(copies.db(), kOldNotes);
  const std::vector<Note> before = Notes(copies.db());
  const fs::path counted = copies.Fresh();
  const int total = CountMutations(counted, [&] { AppendNotes(counted); });
  ASSERT_GE(total, 2 * kNewNotes);

  size_t kept_by_earlier_kill = 0;
  for (int point = 1; point <= total; ++point) {
    SCOPED_TRACE("kill point " + std::to_string(point) + " of " + std::to_string(total));
    const fs::path dir = copies.Fresh();
    ASSERT_TRUE(RunKilledAt(dir, point, [&] { AppendNotes(dir); }).killed);

    const Database db(dir);
    std::vector<Note> rows;
    ASSERT_NO_THROW(rows = Notes(db));
    ASSERT_GE(rows.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), rows.begin())) << "a row or memo written before changed";
    const size_t added = rows.size() - before.size();
    ASSERT_LE(added, size_t{kNewNotes});
    for (size_t i = 0; i < added; ++i) {
      EXPECT_EQ(rows[before.size() + i], NewNote(static_cast<int>(i))) << "a half-written row or memo";
      EXPECT_TRUE(FoundByCode(db, NewNote(static_cast<int>(i)).code));
    }
    for (const Note& n : before) EXPECT_TRUE(FoundByCode(db, n.code));
    EXPECT_GE(added, kept_by_earlier_kill) << "a later kill kept fewer rows";
    kept_by_earlier_kill = added;
    fs::remove_all(dir);
  }
}

TEST(KilledWrites, ARestructureLeavesTheOldTableOrTheNewOneWithEveryRowAndMemo) {
  Copies copies({.demo = true});
  CreateNotes(copies.db(), 40);
  const std::vector<std::string> drop = {"NOME"};
  const FieldDef add[] = {Num("VALOR", 8, 2)};
  ExpectOldOrNewAfterEveryKill(
      copies, {std::string(kNotes)}, [&](const fs::path& dir) { Restructure(Database(dir), kNotes, drop, add); },
      20, 20);
}

// ---- the stock conversion

TEST(KilledWrites, TheStockConversionLeavesTheOldProductsOrTheConvertedOnes) {
  Copies copies({.demo = true});
  // An older stock field with stock in it.
  const std::vector<std::string> drop = {std::string(ycopro::PRO_ESTQ.name)};
  const FieldDef narrow[] = {Num(ycopro::PRO_ESTQ.name, 8, 2)};
  Restructure(copies.db(), ycopro::kTable, drop, narrow);
  testing::SetEveryStock(copies.db(), 7.25);
  ASSERT_EQ(testing::StockField(copies.db()).length, 8);

  ExpectOldOrNewAfterEveryKill(copies, {std::string(ycopro::kTable)}, [](const fs::path& dir) {
    if (!ConverteEstoque(Database(dir), StockConversion::kOnlyWhenNeeded)) throw Error("nothing converted");
  }, 25, 25);
}

}  // namespace
}  // namespace kaslo::db
