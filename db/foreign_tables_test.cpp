// Tables other programs wrote: what dBase readers read is read, and what
// the engine does not read is refused naming the real cause.
#include <gtest/gtest.h>

#include <functional>

#include "db/database.h"
#include "db/engine_test_util.h"
#include "db/hand_made_dbf.h"
#include "db/table.h"

namespace kaslo::db {
namespace {

using testing::EngineTest;
using testing::ErrorOf;
using testing::HandTable;
using testing::WriteBytes;

std::vector<std::string> Column(Table& t, const char* field) {
  std::vector<std::string> values;
  for (t.first(); !t.eof(); t.next()) values.push_back(t.getString(field));
  return values;
}

class ForeignTableTest : public EngineTest {
 protected:
  void Write(const std::string& name, const HandTable& table) { WriteBytes(File(name), table.Bytes()); }
};

TEST_F(ForeignTableTest, RecordLengthOneShortIsTakenFromTheRecordsSpacing) {
  HandTable t{.fields = {{"NOME", 'C', 5}, {"UF", 'C', 2}},
              .records = {" ANA  SP", "*BIA  RJ", " CAIO MG"},
              .record_length_delta = -1};
  Write("SHORT.DBF", t);
  auto table = db_.open("short");
  EXPECT_EQ(table->recordCount(), 2u);
  EXPECT_EQ(Column(*table, "NOME"), (std::vector<std::string>{"ANA", "CAIO"}));
  EXPECT_EQ(Column(*table, "UF"), (std::vector<std::string>{"SP", "MG"}));

  // Records spaced by the header's length: the header is not the one at
  // fault, and the table stays refused.
  t.records = {" ANA  S", " BIA  R"};
  Write("SPACED.DBF", t);
  EXPECT_EQ(ErrorOf([&] { db_.open("spaced"); }), "SPACED.DBF: field widths (8 bytes) exceed the record length 7");
  // Two bytes short is not a miscount of the flag.
  t.records = {" ANA  SP"};
  t.record_length_delta = -2;
  Write("SHORTER.DBF", t);
  EXPECT_EQ(ErrorOf([&] { db_.open("shorter"); }),
            "SHORTER.DBF: field widths (8 bytes) exceed the record length 6");
}

TEST_F(ForeignTableTest, MissingProductionIndexOpensOnlyWhenAsked) {
  Write("FLAGGED.DBF", {.flags = 1, .fields = {{"NOME", 'C', 3}}, .records = {" ANA", " BIA"}});
  EXPECT_EQ(ErrorOf([&] { db_.open("flagged"); }), "FLAGGED.DBF: production index FLAGGED.MDX not found");

  auto table = db_.open("flagged", {.without_missing_index = true});
  EXPECT_EQ(table->indexMissing(), "FLAGGED.MDX");
  EXPECT_TRUE(table->tagNames().empty());
  EXPECT_EQ(Column(*table, "NOME"), (std::vector<std::string>{"ANA", "BIA"}));

  // With the index there, nothing is missing.
  WriteBytes(File("FLAGGED.MDX"), testing::MdxWithoutTags());
  EXPECT_EQ(db_.open("flagged", {.without_missing_index = true})->indexMissing(), "");
}

TEST_F(ForeignTableTest, IndexWithNoTagsInUseOpensWithoutTags) {
  Write("NOTAGS.DBF", {.flags = 1, .fields = {{"NOME", 'C', 3}}, .records = {" ANA"}});
  WriteBytes(File("NOTAGS.MDX"), testing::MdxWithoutTags());
  auto table = db_.open("notags");
  EXPECT_TRUE(table->tagNames().empty());
  EXPECT_EQ(table->indexMissing(), "");
  EXPECT_EQ(Column(*table, "NOME"), (std::vector<std::string>{"ANA"}));

  // Shorter than its fixed header it is still not an index.
  WriteBytes(File("NOTAGS.MDX"), testing::MdxWithoutTags().substr(0, 100));
  EXPECT_EQ(ErrorOf([&] { db_.open("notags"); }), "NOTAGS.MDX: not a dBase IV index (file too short)");
}

TEST_F(ForeignTableTest, TableWithoutFieldsOpens) {
  Write("EMPTY.DBF", {});
  auto empty = db_.open("empty");
  EXPECT_TRUE(empty->fields().empty());
  EXPECT_EQ(empty->recordCount(), 0u);

  // Records of the deleted flag alone, as shapefile writers leave them.
  Write("FLAGS.DBF", {.records = {" ", "*", " "}});
  auto flags = db_.open("flags");
  EXPECT_EQ(flags->recordCount(), 2u);
  EXPECT_EQ(testing::Walk(*flags), (std::vector<uint32_t>{1, 3}));
}

TEST_F(ForeignTableTest, FieldOfWidthZeroReadsBlank) {
  Write("ZERO.DBF", {.fields = {{"A", 'C', 2}, {"NADA", 'N', 0}, {"B", 'N', 3}},
                     .records = {" XY 42"}});
  auto table = db_.open("zero");
  table->first();
  EXPECT_EQ(table->getString("A"), "XY");
  EXPECT_TRUE(table->isBlank("NADA"));
  EXPECT_EQ(table->getNumber("NADA"), std::nullopt);
  EXPECT_EQ(table->getNumber("B"), 42.0);

  // A logical of width 0 does not read the byte of the field after it.
  Write("ZEROL.DBF", {.fields = {{"VAZIO", 'L', 0}, {"C", 'C', 1}, {"FIM", 'L', 0}}, .records = {" T", "*T"}});
  auto logical = db_.open("zerol");
  logical->first();
  for (const char* name : {"VAZIO", "FIM"}) {
    EXPECT_TRUE(logical->isBlank(name)) << name;
    EXPECT_EQ(logical->getLogical(name), std::nullopt) << name;
    EXPECT_EQ(logical->getString(name), "") << name;
    EXPECT_TRUE(logical->row().blank(logical->column(name))) << name;
  }
}

TEST_F(ForeignTableTest, FoxProMemoAndIndexAreNotSupported) {
  // A FoxPro table with memos: the .FPT is named, not a missing .DBT.
  Write("FOX.DBF", {.version = 0x30, .flags = 2, .fields = {{"NOTA", 'M', 4}}, .records = {"     "}});
  WriteBytes(File("fox.fpt"), std::string(512, '\0'));
  EXPECT_EQ(ErrorOf([&] { db_.open("fox"); }), "FOX.DBF: FoxPro memo file fox.fpt not supported");
  std::filesystem::remove(File("fox.fpt"));
  EXPECT_EQ(ErrorOf([&] { db_.open("fox"); }), "FOX.DBF: FoxPro memo file FOX.FPT not supported");

  // A dBase type byte whose memo lies in an .FPT.
  Write("MIXED.DBF", {.version = 0x83, .fields = {{"NOTA", 'M', 10}}, .records = {"          "}});
  WriteBytes(File("MIXED.FPT"), std::string(512, '\0'));
  EXPECT_EQ(ErrorOf([&] { db_.open("mixed"); }), "MIXED.DBF: FoxPro memo file MIXED.FPT not supported");

  // The index flag of a FoxPro table means a .CDX, which no read-only open
  // passes over either.
  Write("FOXIDX.DBF", {.version = 0x30, .flags = 1, .fields = {{"NOME", 'C', 3}}, .records = {" ANA"}});
  for (bool without : {false, true}) {
    EXPECT_EQ(ErrorOf([&] { db_.open("foxidx", {.without_missing_index = without}); }),
              "FOXIDX.DBF: FoxPro index FOXIDX.CDX not supported");
  }
  Write("DBCDX.DBF", {.flags = 1, .fields = {{"NOME", 'C', 3}}, .records = {" ANA"}});
  WriteBytes(File("DBCDX.CDX"), std::string(1024, '\0'));
  EXPECT_EQ(ErrorOf([&] { db_.open("dbcdx", {.without_missing_index = true}); }),
            "DBCDX.DBF: FoxPro index DBCDX.CDX not supported");

  // A FoxPro table of plain fields and no index reads as any other.
  Write("FOXPLAIN.DBF", {.version = 0x30, .fields = {{"NOME", 'C', 3}}, .records = {" ANA"}});
  auto plain = db_.open("foxplain");
  EXPECT_EQ(Column(*plain, "NOME"), (std::vector<std::string>{"ANA"}));
}

TEST_F(ForeignTableTest, UnsupportedFieldTypesAreNamed) {
  for (char type : std::string("TYIBG+VQWO@0")) {
    Write("TYPES.DBF", {.version = 0x30, .fields = {{"NOME", 'C', 3}, {"VALOR", type, 8}}});
    EXPECT_EQ(ErrorOf([&] { db_.open("types"); }),
              std::string("TYPES.DBF: field VALOR of type '") + type + "' not supported");
  }
  Write("TYPES.DBF", {.fields = {{"NOME", 'C', 3}, {"NADA", '\0', 8}}});
  EXPECT_EQ(ErrorOf([&] { db_.open("types"); }), "TYPES.DBF: field NADA of type 0x00 not supported");
}

}  // namespace
}  // namespace kaslo::db
