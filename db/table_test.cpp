// Tests of the table engine on real files in a temporary directory: opening
// failures first, then field storage, the cursor, tags and searches,
// filters, hooks and the repair of damaged files.
#include "db/table.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <random>

#include "db/database.h"
#include "db/dbf_file.h"
#include "db/engine_test_util.h"
#include "db/mdx_file.h"
#include "db/table_ops.h"
#include "db/temp_data_dir.h"

namespace kaslo::db {
namespace {

using testing::EngineTest;
using testing::ErrorOf;
using testing::ReadBytes;
using testing::Walk;
using testing::WriteBytes;
using namespace std::chrono;

constexpr std::array kAllKinds = {
    Char("T_NOME", 20),      Num("T_CODIGO", 6),      Num("T_PRECO", 12, 2),
    FieldDef{"T_FATOR", FieldType::kFloat, 10, 3},   Logical("T_ATIVO"),
    DateField("T_DATA"),     Memo("T_OBS"),
};

constexpr std::array kGroups = {Num("GRP_CODIGO", 12), Num("DEP_CODIGO", 12), Char("GRP_DESCR", 20)};

// ---- failures

TEST_F(EngineTest, OpenFailuresSayWhatAndWhere) {
  EXPECT_EQ(ErrorOf([&] { db_.open("Ycopro"); }), "YCOPRO.DBF: table not found in the data directory");

  WriteBytes(File("TEXT.DBF"), std::string(300, 'x'));
  EXPECT_NE(ErrorOf([&] { db_.open("text"); }).find("TEXT.DBF: not a dBase III/IV table"), std::string::npos);

  WriteBytes(File("SHORT.DBF"), std::string("\x03\x7e\x01\x01\x00\x00", 6));
  EXPECT_NE(ErrorOf([&] { db_.open("short"); }).find("SHORT.DBF: not a dBase table (header truncated"),
            std::string::npos);

  db_.create("WIDE", kGroups);
  std::string bytes = ReadBytes(File("WIDE.DBF"));
  bytes[internal::kOffRecordLength] = 10;  // fields need 45
  WriteBytes(File("WIDE.DBF"), bytes);
  EXPECT_EQ(ErrorOf([&] { db_.open("wide"); }),
            "WIDE.DBF: field widths (45 bytes) exceed the record length 10");

  db_.create("NOINDEX", kGroups);
  bytes = ReadBytes(File("NOINDEX.DBF"));
  bytes[internal::kOffMdxFlag] = 1;
  WriteBytes(File("NOINDEX.DBF"), bytes);
  EXPECT_EQ(ErrorOf([&] { db_.open("NoIndex"); }), "NOINDEX.DBF: production index NOINDEX.MDX not found");
  EXPECT_TRUE(LimpaIndiceDbf(File("NOINDEX.DBF")));
  EXPECT_NO_THROW(db_.open("NoIndex"));
  EXPECT_FALSE(LimpaIndiceDbf(File("MISSING.DBF")));

  db_.create("MEMO", kAllKinds);
  std::filesystem::remove(File("MEMO.DBT"));
  EXPECT_EQ(ErrorOf([&] { db_.open("memo"); }), "MEMO.DBF: memo file MEMO.DBT not found");

  EXPECT_EQ(ErrorOf([&] { db_.create("wide", kGroups); }), "WIDE.DBF: table exists");
}

TEST_F(EngineTest, LimpaIndiceDbfPatchesBytes28And29Only) {
  std::string header(64, '\x11');
  WriteBytes(File("YCOPRO.DBF"), header);
  ASSERT_TRUE(LimpaIndiceDbf(File("YCOPRO.DBF")));
  std::string want = header;
  want[28] = '\0';
  want[29] = '\0';
  EXPECT_EQ(ReadBytes(File("YCOPRO.DBF")), want);

  EXPECT_FALSE(LimpaIndiceDbf(File("missing.dbf")));
  // Too short for both bytes: refused, and not extended.
  WriteBytes(File("tiny.dbf"), std::string(29, 'x'));
  EXPECT_FALSE(LimpaIndiceDbf(File("tiny.dbf")));
  EXPECT_EQ(ReadBytes(File("tiny.dbf")), std::string(29, 'x'));
  // Just long enough: patched, and still 30 bytes.
  WriteBytes(File("cut.dbf"), std::string(30, 'x'));
  EXPECT_TRUE(LimpaIndiceDbf(File("cut.dbf")));
  EXPECT_EQ(ReadBytes(File("cut.dbf")), std::string(28, 'x') + std::string(2, '\0'));
}

TEST_F(EngineTest, EmptyTableHasExactHeader) {
  db_.create("Ycogrp", kGroups);
  std::string bytes = ReadBytes(File("YCOGRP.DBF"));
  ASSERT_EQ(bytes.size(), 32u + 3 * 32 + 1 + 1);
  EXPECT_EQ(bytes[0], 0x03);
  EXPECT_EQ(bytes.back(), 0x1A);
  EXPECT_EQ(bytes[32 + 3 * 32], 0x0D);
  EXPECT_EQ(internal::GetUint16(bytes.data() + 8), 129);
  EXPECT_EQ(internal::GetUint16(bytes.data() + 10), 45);
  EXPECT_EQ(bytes.substr(32, 11), std::string("GRP_CODIGO\0", 11));

  db_.create("memo", kAllKinds);
  EXPECT_EQ(static_cast<uint8_t>(ReadBytes(File("MEMO.DBF"))[0]), 0x8B);
  EXPECT_EQ(ReadBytes(File("MEMO.DBT")).size(), 512u);
}

// ---- values

TEST_F(EngineTest, EveryFieldKindRoundTripsAndBlankIsNotZero) {
  db_.create("kinds", kAllKinds);
  {
    auto t = db_.open("KINDS");
    EXPECT_TRUE(t->empty());
    t->append();
    t->setString("t_nome", "Caf\xE9 com leite e p\xE3o extra");  // cut to 20
    t->setNumber("T_CODIGO", 905);
    t->setNumber("T_PRECO", 12.5);
    t->setNumber("T_FATOR", -0.5625);
    t->setLogical("T_ATIVO", true);
    t->setDate("T_DATA", year(2024) / 1 / 31);
    t->setString("T_OBS", "linha 1\r\nlinha 2");
    EXPECT_TRUE(t->post());
    t->append();
    t->setNumber("T_CODIGO", 0);
    t->setNumber("T_PRECO", -2.25);
    EXPECT_TRUE(t->post());
  }
  auto t = db_.open("kinds");
  ASSERT_EQ(t->recordCount(), 2u);
  t->first();
  EXPECT_EQ(t->getString("T_NOME"), "Caf\xE9 com leite e p\xE3o");
  EXPECT_EQ(t->asInteger("T_CODIGO"), 905);
  EXPECT_DOUBLE_EQ(*t->getNumber("T_PRECO"), 12.5);
  EXPECT_EQ(t->getString("T_PRECO"), "12.50");
  EXPECT_EQ(t->getString("T_FATOR"), "-0.563");
  EXPECT_EQ(t->getLogical("T_ATIVO"), true);
  EXPECT_EQ(t->getString("T_ATIVO"), "T");
  EXPECT_EQ(t->getDate("T_DATA"), year(2024) / 1 / 31);
  EXPECT_EQ(t->getString("T_DATA"), "20240131");
  EXPECT_EQ(t->getString("T_OBS"), "linha 1\r\nlinha 2");
  t->next();
  EXPECT_FALSE(t->isBlank("T_CODIGO"));
  EXPECT_EQ(t->getNumber("T_CODIGO"), 0.0);
  EXPECT_TRUE(t->isBlank("T_FATOR"));
  EXPECT_EQ(t->getNumber("T_FATOR"), std::nullopt);
  EXPECT_EQ(t->asNumber("T_FATOR"), 0.0);
  EXPECT_EQ(t->getLogical("T_ATIVO"), std::nullopt);
  EXPECT_EQ(t->getDate("T_DATA"), std::nullopt);
  EXPECT_EQ(t->getString("T_DATA"), "");
  EXPECT_TRUE(t->isBlank("T_OBS"));
  EXPECT_TRUE(t->isBlank("T_NOME"));

  // Stored text of numbers: right-aligned with their decimals.
  std::string bytes = ReadBytes(File("KINDS.DBF"));
  size_t rec1 = internal::GetUint16(bytes.data() + 8);
  EXPECT_EQ(bytes.substr(rec1 + 1 + 20, 6 + 12), "   905       12.50");
  size_t rec2 = rec1 + internal::GetUint16(bytes.data() + 10);
  EXPECT_EQ(bytes.substr(rec2 + 1 + 20, 6 + 12), "     0       -2.25");
}

TEST_F(EngineTest, SettersCheckModeWidthAndKind) {
  db_.create("kinds", kAllKinds);
  auto t = db_.open("kinds");
  EXPECT_NE(ErrorOf([&] { t->setNumber("T_CODIGO", 1); }).find("outside insert or edit"), std::string::npos);
  t->append();
  EXPECT_EQ(ErrorOf([&] { t->setNumber("T_CODIGO", 1234567); }),
            "KINDS.DBF: value 1234567 does not fit field T_CODIGO N(6,0)");
  EXPECT_EQ(ErrorOf([&] { t->setNumber("T_PRECO", 1e10); }),
            "KINDS.DBF: value 10000000000 does not fit field T_PRECO N(12,2)");
  EXPECT_NE(ErrorOf([&] { t->setString("T_CODIGO", "12a"); }).find("is not a number"), std::string::npos);
  EXPECT_EQ(ErrorOf([&] { t->setString("NOPE", "x"); }), "KINDS.DBF: no field NOPE");
  t->setString("T_CODIGO", " 42 ");
  t->setString("T_ATIVO", "S");
  t->setString("T_DATA", "19991231");
  t->setNumber("T_PRECO", -0.001);  // rounds to zero, stored without a sign
  EXPECT_EQ(t->getString("T_PRECO"), "0.00");
  EXPECT_EQ(t->asInteger("T_CODIGO"), 42);
  EXPECT_EQ(t->getLogical("T_ATIVO"), true);
  t->setString("T_CODIGO", "");
  EXPECT_TRUE(t->isBlank("T_CODIGO"));
  t->cancel();
  EXPECT_TRUE(t->empty());
  EXPECT_EQ(ReadBytes(File("KINDS.DBF")).size(), 32u + 7 * 32 + 2);
}

// ---- cursor

class CursorTest : public EngineTest {
 protected:
  void SetUp() override {
    db_.create("Ycogrp", kGroups);
    auto t = db_.open("ycogrp");
    // groups 10 and 2 with their departments; dep blank = the group itself
    const struct { double grp; std::optional<double> dep; const char* descr; } rows[] = {
        {10, std::nullopt, "BEBIDAS"}, {10, 3, "BEBIDAS"},   {2, 7, "LATICINIOS"},
        {2, std::nullopt, "LATICINIOS"}, {10, 1, "BEBIDAS"}, {2, 12, "LATICINIOS"},
        {30, 0, "LIMPEZA"},
    };
    for (const auto& r : rows) {
      t->append();
      t->setNumber("GRP_CODIGO", r.grp);
      if (r.dep) t->setNumber("DEP_CODIGO", *r.dep);
      t->setString("GRP_DESCR", r.descr);
      t->post();
    }
  }
};

TEST_F(CursorTest, NavigationSkipsDeletedRows) {
  auto t = db_.open("ycogrp");
  EXPECT_EQ(t->recordCount(), 7u);
  ASSERT_TRUE(t->go(3));
  EXPECT_TRUE(t->remove());
  EXPECT_EQ(t->recNo(), 4u);  // the next row
  ASSERT_TRUE(t->go(7));
  EXPECT_TRUE(t->remove());
  EXPECT_TRUE(t->eof());
  EXPECT_EQ(t->recNo(), 0u);
  EXPECT_EQ(t->recordCount(), 5u);
  EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{1, 2, 4, 5, 6}));
  EXPECT_FALSE(t->go(3));
  EXPECT_FALSE(t->go(99));

  t->last();
  EXPECT_EQ(t->recNo(), 6u);
  EXPECT_FALSE(t->eof());
  t->next();
  EXPECT_TRUE(t->eof());
  t->prior();
  EXPECT_EQ(t->recNo(), 6u);
  t->first();
  EXPECT_FALSE(t->bof());
  t->prior();
  EXPECT_TRUE(t->bof());
  t->next();
  EXPECT_EQ(t->recNo(), 1u);

  auto again = db_.open("YCOGRP.DBF");
  EXPECT_EQ(again->recordCount(), 5u);
  EXPECT_EQ(Walk(*again), (std::vector<uint32_t>{1, 2, 4, 5, 6}));
}

TEST_F(CursorTest, EmptyTableIsAtBothEnds) {
  EXPECT_NE(ErrorOf([&] { db_.open("ycogrp")->emptyTable(); }).find("needs an exclusive open"),
            std::string::npos);
  auto t = db_.open("ycogrp", {.exclusive = true});
  t->emptyTable();
  EXPECT_TRUE(t->eof());
  EXPECT_TRUE(t->bof());
  t->first();
  EXPECT_TRUE(t->eof() && t->bof());
  EXPECT_EQ(t->recNo(), 0u);
  EXPECT_NE(ErrorOf([&] { t->edit(); }).find("no current row"), std::string::npos);
  t->close();
  EXPECT_EQ(ReadBytes(File("YCOGRP.DBF")).size(), 32u + 3 * 32 + 2);
}

TEST_F(CursorTest, TagsOrderSearchAndFollowPosts) {
  {
    auto t = db_.open("ycogrp", {.exclusive = true});
    const TagDef tags[] = {{"Um", "str(grp_codigo,12)+str(dep_codigo,12)"},
                           {"Dois", "grp_descr"},
                           {"Tres", "grp_codigo"},
                           {"Quatro", "dep_codigo"}};
    AddTags(*t, tags);
  }
  auto t = db_.open("YCOGRP", {.tag = "UM"});
  EXPECT_EQ(t->tagNames(), (std::vector<std::string>{"UM", "DOIS", "TRES", "QUATRO"}));
  EXPECT_EQ(t->tagFields("um"), (std::vector<std::string>{"GRP_CODIGO", "DEP_CODIGO"}));
  EXPECT_EQ(t->tagExpression("UM"), "STR(GRP_CODIGO,12)+STR(DEP_CODIGO,12)");
  // blank DEP_CODIGO is str() of 0, so a group row comes before its members
  EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{4, 3, 6, 1, 5, 2, 7}));

  EXPECT_TRUE(t->findKey({10.0, 3.0}));
  EXPECT_EQ(t->recNo(), 2u);
  EXPECT_FALSE(t->findKey({10.0, 4.0}));
  EXPECT_EQ(t->recNo(), 2u);  // unchanged
  t->findNearest({10.0, 2.0});
  EXPECT_EQ(t->recNo(), 2u);
  t->findNearest({10.0});  // missing tail = lowest
  EXPECT_EQ(t->recNo(), 1u);
  t->findNearest({3.0});
  EXPECT_EQ(t->recNo(), 1u);
  t->findNearest({31.0});
  EXPECT_TRUE(t->eof());
  EXPECT_TRUE(t->findKey({2.0}));
  EXPECT_EQ(t->recNo(), 4u);

  t->setTag("dois");
  EXPECT_EQ(t->tag(), "dois");
  EXPECT_TRUE(t->findKey("LIMPEZA"));
  EXPECT_EQ(t->recNo(), 7u);
  t->findNearest({std::string("C")});
  EXPECT_EQ(t->recNo(), 3u);  // LATICINIOS, first by record number

  t->setTag("Tres");  // numeric keys in numeric order, not text order
  EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{3, 4, 6, 1, 2, 5, 7}));
  EXPECT_TRUE(t->findKey(30.0));
  t->edit();
  t->setNumber("GRP_CODIGO", 1);
  t->post();
  EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{7, 3, 4, 6, 1, 2, 5}));
  t->append();
  t->setNumber("GRP_CODIGO", 5);
  t->post();
  EXPECT_EQ(t->recNo(), 8u);
  t->next();
  EXPECT_EQ(t->recNo(), 1u);
  EXPECT_NE(ErrorOf([&] { t->setTag("cinco"); }).find("no tag cinco"), std::string::npos);
  t->setTag("");
  EXPECT_EQ(t->recNo(), 1u);
  EXPECT_NE(ErrorOf([&] { t->findKey(1.0); }).find("no current tag"), std::string::npos);
  t->close();

  // The index written on close holds the new keys; reopening rebuilds the same order.
  auto again = db_.open("ycogrp", {.tag = "tres"});
  EXPECT_EQ(Walk(*again), (std::vector<uint32_t>{7, 3, 4, 6, 8, 1, 2, 5}));
}

TEST_F(EngineTest, ExpressionTagsOfEveryFunction) {
  db_.create("expr", kAllKinds);
  {
    auto t = db_.open("expr", {.tag = "", .exclusive = true});
    struct Row { const char* name; double price; Date date; };
    for (const Row& r : {Row{"maria", 0, year(2024) / 1 / 31}, Row{"JOSE", 0.05, year(1999) / 12 / 31},
                         Row{"Ana", -1, year(2024) / 1 / 1}, Row{"bruno", 0.5, year(2000) / 2 / 29}}) {
      t->append();
      t->setString("T_NOME", r.name);
      t->setNumber("T_PRECO", r.price);
      t->setDate("T_DATA", r.date);
      t->post();
    }
    const TagDef tags[] = {{"Nome", "upper(t_nome)"},
                           {"Data", "t_data"},
                           {"DataNome", "dtos(t_data)+t_nome"},
                           {"Meio", "substr(t_nome,2,3)"},
                           {"Preco", "t_preco"}};
    AddTags(*t, tags);
  }
  auto t = db_.open("expr", {.tag = "nome"});
  EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{3, 4, 2, 1}));
  EXPECT_TRUE(t->findKey("JOSE"));
  EXPECT_EQ(t->recNo(), 2u);
  t->setTag("data");
  EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{2, 4, 3, 1}));
  EXPECT_TRUE(t->findKey({KeyPart{Date{year(2024) / 1 / 1}}}));
  EXPECT_EQ(t->recNo(), 3u);
  t->findNearest({KeyPart{Date{year(2001) / 1 / 1}}});
  EXPECT_EQ(t->recNo(), 3u);
  t->setTag("DataNome");
  EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{2, 4, 3, 1}));
  t->setTag("meio");  // "ari", "OSE", "na ", "run": bytes, upper case first
  EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{2, 1, 3, 4}));
  // Numbers in the order of their index keys: a positive number below 0.1
  // comes before zero (see keys.cpp).
  t->setTag("preco");
  EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{3, 2, 1, 4}));
  EXPECT_TRUE(t->findKey(0.0));
  EXPECT_EQ(t->recNo(), 1u);
  EXPECT_TRUE(t->findKey(0.05));
  EXPECT_EQ(t->recNo(), 2u);
  t->findNearest({0.2});
  EXPECT_EQ(t->recNo(), 4u);
  EXPECT_EQ(t->tagExpression("DATANOME"), "DTOS(T_DATA)+T_NOME");
}

// Keys are built when a tag is first used; rows posted before that must be
// in them, and the index written on close must hold them too.
TEST_F(CursorTest, KeysBuiltOnFirstUseHoldEarlierPosts) {
  {
    auto t = db_.open("ycogrp", {.tag = "", .exclusive = true});
    const TagDef tags[] = {{"Tres", "grp_codigo"}, {"Dois", "grp_descr"}};
    AddTags(*t, tags);
  }
  {
    auto t = db_.open("ycogrp");
    t->append();
    t->setNumber("GRP_CODIGO", 1);
    t->setString("GRP_DESCR", "ACOUGUE");
    ASSERT_TRUE(t->post());
    ASSERT_TRUE(t->go(7));
    t->edit();
    t->setNumber("GRP_CODIGO", 5);
    ASSERT_TRUE(t->post());
    t->setTag("tres");
    EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{8, 3, 4, 6, 7, 1, 2, 5}));
  }
  auto t = db_.open("ycogrp", {.tag = "dois"});
  EXPECT_EQ(Walk(*t), (std::vector<uint32_t>{8, 1, 2, 5, 3, 4, 6, 7}));
  EXPECT_EQ(internal::WalkMdxTag(File("YCOGRP.MDX"), "DOIS"), (std::vector<uint32_t>{8, 1, 2, 5, 3, 4, 6, 7}));
  EXPECT_EQ(internal::WalkMdxTag(File("YCOGRP.MDX"), "TRES"), (std::vector<uint32_t>{8, 3, 4, 6, 7, 1, 2, 5}));
}

// Stored numbers read as the double nearest their decimal text, whatever
// path the reader takes (short plain numbers, long ones, odd writers' forms).
TEST(StoredNumbers, ReadAsTheNearestDouble) {
  auto nearest = [](std::string_view text) {
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
  };
  for (const char* text : {"0", "-0.5", "12.50", "0.001", "2.675", "99999999.999", "123456789012345",
                           "1234567890123.45", "0.1", "-99999.99", "9007199254740993", "12345678901234567890"}) {
    std::string padded = std::string(20 - std::string_view(text).size(), ' ') + text;
    ASSERT_TRUE(internal::ParseNumber(padded)) << text;
    EXPECT_EQ(*internal::ParseNumber(padded), nearest(text)) << text;
  }
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    char text[32];
    int decimals = static_cast<int>(random() % 4);
    double value = static_cast<double>(static_cast<int64_t>(random() % 2000000000000) - 1000000000000) / 1000;
    std::snprintf(text, sizeof text, "%14.*f", decimals, value);
    std::string_view trimmed = internal::Trim(text);
    ASSERT_EQ(*internal::ParseNumber(text), nearest(trimmed)) << text;
  }
  EXPECT_EQ(internal::ParseNumber("      "), std::nullopt);
  EXPECT_EQ(internal::ParseNumber("   -  "), std::nullopt);
  EXPECT_EQ(internal::ParseNumber("  12,5"), 12.5);
  EXPECT_EQ(internal::ParseNumber("****12"), 12.0);
  EXPECT_EQ(internal::ParseNumber(" 1.2.3"), std::nullopt);
  EXPECT_EQ(internal::ParseNumber(" 1 2"), std::nullopt);
  // Past 19 digits the fast path's integer would overflow.
  const std::string eights(108, '8');
  EXPECT_EQ(internal::ParseNumber(eights), nearest(eights));
  EXPECT_EQ(internal::ParseNumber("-" + eights + ".5"), -nearest(eights));
}

// A damaged index whose tag expression holds a 108-digit number: the open
// and the walk by each tag either work or throw db::Error, nothing worse.
TEST(DamagedIndex, LongNumberInATagExpression) {
  testing::TempDataDir dir({.demo = true});
  WriteBytes(dir.db().pathFor("YCODEP.MDX"), ReadBytes("testdata/fuzz/ycodep-long-number.mdx"));
  try {
    auto table = dir.db().open("YCODEP");
    for (const std::string& tag : table->tagNames()) {
      table->setTag(tag);
      Walk(*table);
    }
  } catch (const Error&) {
  }
}

TEST_F(CursorTest, FilterForms) {
  auto t = db_.open("ycogrp");
  auto count = [&](const char* f) {
    t->setFilter(f);
    return Walk(*t);
  };
  EXPECT_EQ(count("GRP_DESCR='BEBIDAS'"), (std::vector<uint32_t>{1, 2, 5}));
  EXPECT_EQ(t->recordCount(), 3u);
  EXPECT_EQ(count("DEP_CODIGO = '0'"), (std::vector<uint32_t>{1, 4, 7}));  // blank counts as 0
  EXPECT_EQ(count("DEP_CODIGO = ''"), (std::vector<uint32_t>{1, 4}));      // blank only
  EXPECT_EQ(count("GRP_CODIGO > 0 AND DEP_CODIGO = ''"), (std::vector<uint32_t>{1, 4}));
  EXPECT_EQ(count("GRP_CODIGO = '10' AND DEP_CODIGO <> '0'"), (std::vector<uint32_t>{2, 5}));
  EXPECT_EQ(count("grp_codigo = 2 or grp_codigo = 30"), (std::vector<uint32_t>{3, 4, 6, 7}));
  EXPECT_EQ(count("NOT (GRP_CODIGO >= 10)"), (std::vector<uint32_t>{3, 4, 6}));
  EXPECT_EQ(count("DEP_CODIGO < 7 .AND. DEP_CODIGO > 1"), (std::vector<uint32_t>{2}));
  EXPECT_EQ(count("DEP_CODIGO <= 1"), (std::vector<uint32_t>{1, 4, 5, 7}));
  EXPECT_EQ(count("GRP_DESCR = 'BEBIDAS   '"), (std::vector<uint32_t>{1, 2, 5}));  // trailing blanks
  EXPECT_EQ(count("upper(grp_descr) < 'C'"), (std::vector<uint32_t>{1, 2, 5}));
  EXPECT_EQ(count("'LAT' $ GRP_DESCR"), (std::vector<uint32_t>{3, 4, 6}));
  EXPECT_EQ(t->filter(), "'LAT' $ GRP_DESCR");
  EXPECT_FALSE(t->go(1));
  EXPECT_EQ(count(""), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7}));
  for (const char* bad : {"GRP_CODIGO = ", "NOFIELD = 1", "GRP_CODIGO = 'abc'", "(GRP_CODIGO = 1",
                          "GRP_DESCR = 1", "str(GRP_DESCR,3) = 'x'"}) {
    EXPECT_NE(ErrorOf([&] { t->setFilter(bad); }).find("YCOGRP.DBF: cannot read expression"),
              std::string::npos)
        << bad;
  }
}

TEST_F(CursorTest, HooksCanAbortPostAndDelete) {
  auto t = db_.open("ycogrp");
  int after = 0;
  t->setBeforePost([](Table& x) { return x.asInteger("GRP_CODIGO") != 99; });
  t->setAfterPost([&](Table& x) { after += static_cast<int>(x.recNo()); });
  t->setBeforeDelete([](Table& x) { return x.getString("GRP_DESCR") != "LIMPEZA"; });
  t->append();
  t->setNumber("GRP_CODIGO", 99);
  EXPECT_FALSE(t->post());
  EXPECT_EQ(t->mode(), Mode::kInsert);
  EXPECT_NE(ErrorOf([&] { t->next(); }).find("a row is pending"), std::string::npos);
  t->setNumber("GRP_CODIGO", 98);
  EXPECT_TRUE(t->post());
  EXPECT_EQ(after, 8);
  ASSERT_TRUE(t->go(7));
  EXPECT_FALSE(t->remove());
  EXPECT_EQ(t->recordCount(), 8u);
  ASSERT_TRUE(t->go(1));
  EXPECT_TRUE(t->remove());
  EXPECT_EQ(t->recordCount(), 7u);
}

// ---- crash repair

class RepairTest : public EngineTest {
 protected:
  void SetUp() override {
    db_.create("rep", kGroups);
    auto t = db_.open("rep");
    for (int i = 1; i <= 3; ++i) {
      t->append();
      t->setNumber("GRP_CODIGO", i);
      t->post();
    }
    bytes_ = ReadBytes(File("REP.DBF"));
  }
  void SetCount(std::string& b, uint32_t n) { internal::PutUint32(b.data() + 4, n); }
  std::string bytes_;
  const size_t header_ = 129, record_ = 45;
};

TEST_F(RepairTest, StaleCountIsCutToWholeRecords) {
  SetCount(bytes_, 7);
  WriteBytes(File("REP.DBF"), bytes_);
  EXPECT_EQ(db_.open("rep")->recordCount(), 3u);
  std::string fixed = ReadBytes(File("REP.DBF"));
  EXPECT_EQ(internal::GetUint32(fixed.data() + 4), 3u);
}

TEST_F(RepairTest, TornLastRecordIsDropped) {
  std::string torn = bytes_.substr(0, header_ + 2 * record_ + 20);  // crash inside row 3
  WriteBytes(File("REP.DBF"), torn);
  auto t = db_.open("rep");
  EXPECT_EQ(t->recordCount(), 2u);
  t->last();
  EXPECT_EQ(t->asInteger("GRP_CODIGO"), 2);
  std::string fixed = ReadBytes(File("REP.DBF"));
  EXPECT_EQ(fixed.size(), header_ + 2 * record_ + 1);
  EXPECT_EQ(fixed.back(), 0x1A);
  EXPECT_EQ(internal::GetUint32(fixed.data() + 4), 2u);
}

TEST_F(RepairTest, RowWrittenBeforeItsCountIsKept) {
  SetCount(bytes_, 2);  // crash after the row was written, before the count
  WriteBytes(File("REP.DBF"), bytes_);
  auto t = db_.open("rep");
  EXPECT_EQ(t->recordCount(), 3u);
  EXPECT_EQ(internal::GetUint32(ReadBytes(File("REP.DBF")).data() + 4), 3u);
  t->append();
  t->setNumber("GRP_CODIGO", 4);
  t->post();
  EXPECT_EQ(t->recNo(), 4u);
}

TEST_F(RepairTest, MissingEofMarkIsAccepted) {
  WriteBytes(File("REP.DBF"), bytes_.substr(0, bytes_.size() - 1));
  auto t = db_.open("rep");
  EXPECT_EQ(t->recordCount(), 3u);
  t->append();
  t->setNumber("GRP_CODIGO", 4);
  t->post();
  t->close();
  EXPECT_EQ(ReadBytes(File("REP.DBF")).size(), header_ + 4 * record_ + 1);
}

// ---- whole-table operations

TEST_F(CursorTest, RestructureKeepsRowsAndTags) {
  {
    auto t = db_.open("ycogrp", {.exclusive = true});
    const TagDef tags[] = {{"Um", "str(grp_codigo,12)+str(dep_codigo,12)"}, {"Dois", "grp_descr"}};
    AddTags(*t, tags);
  }
  {
    auto holder = db_.open("ycogrp");
    EXPECT_NE(ErrorOf([&] { Restructure(db_, "ycogrp", {}, {}); }).find("in use by another process"),
              std::string::npos);
  }
  const std::string drop[] = {"DEP_CODIGO"};
  const FieldDef add[] = {Num("GRP_ESTQ", 10, 3), Memo("GRP_OBS")};
  Restructure(db_, "Ycogrp", drop, add);
  auto t = db_.open("ycogrp", {.tag = "dois"});
  ASSERT_EQ(t->fields().size(), 4u);
  EXPECT_EQ(t->fields()[1].name, "GRP_DESCR");
  EXPECT_EQ(t->fields()[2].name, "GRP_ESTQ");
  EXPECT_EQ(t->fields()[2].decimals, 3);
  EXPECT_EQ(t->tagNames(), std::vector<std::string>{"DOIS"});  // Um read DEP_CODIGO
  EXPECT_EQ(t->recordCount(), 7u);
  t->first();
  EXPECT_EQ(t->getString("GRP_DESCR"), "BEBIDAS");
  EXPECT_TRUE(t->isBlank("GRP_ESTQ"));
  EXPECT_FALSE(std::filesystem::exists(File("YCOGRP.DBF.$$$")));
  EXPECT_TRUE(std::filesystem::exists(File("YCOGRP.DBT")));
}

TEST_F(CursorTest, CopyRowsThroughAMapping) {
  const FieldDef dest[] = {Char("NOME", 10), Num("CODIGO", 4), Char("DEPTO", 5), Num("OUTRO", 3)};
  db_.create("dest", dest);
  auto from = db_.open("ycogrp", {.tag = ""});
  from->setFilter("GRP_CODIGO = 2");
  auto to = db_.open("dest");
  FieldMapping m = {{"GRP_DESCR", "NOME"}, {"GRP_CODIGO", "CODIGO"}, {"DEP_CODIGO", "DEPTO"}};
  EXPECT_EQ(CopyRows(*from, *to, m), 3u);
  EXPECT_EQ(Walk(*to).size(), 3u);
  to->first();
  EXPECT_EQ(to->getString("NOME"), "LATICINIOS");
  EXPECT_EQ(to->asInteger("CODIGO"), 2);
  EXPECT_EQ(to->getString("DEPTO"), "7");
  EXPECT_TRUE(to->isBlank("OUTRO"));
  to->next();
  EXPECT_TRUE(to->isBlank("DEPTO"));
  FieldMapping bad = {{"NOPE", "NOME"}};
  EXPECT_EQ(ErrorOf([&] { CopyRows(*from, *to, bad); }), "YCOGRP.DBF: no field NOPE");
}

TEST_F(EngineTest, CompanionFilesAreFoundInAnyCase) {
  db_.create("caso", kAllKinds);
  std::filesystem::rename(File("CASO.DBF"), File("Caso.dbf"));
  std::filesystem::rename(File("CASO.DBT"), File("caso.dbt"));
  EXPECT_EQ(db_.find("CASO.DBF").filename(), "Caso.dbf");
  {
    auto t = db_.open("CASO", {.exclusive = true});
    EXPECT_EQ(t->fileName(), "Caso.dbf");
    t->append();
    t->setString("T_OBS", "memo");
    t->post();
    const TagDef tags[] = {{"Um", "T_CODIGO"}};
    AddTags(*t, tags);
  }
  EXPECT_TRUE(std::filesystem::exists(File("CASO.MDX")));
  EXPECT_FALSE(std::filesystem::exists(File("CASO.DBT")));
  auto t = db_.open("caso.DBF");
  EXPECT_EQ(t->getString("T_OBS"), "memo");
  EXPECT_EQ(t->tagNames(), std::vector<std::string>{"UM"});
}

TEST_F(CursorTest, VisibleOrderAndReadsByRecordLeaveTheCursor) {
  {
    auto t = db_.open("ycogrp", {.exclusive = true});
    const TagDef tags[] = {{"Dois", "grp_descr"}};
    AddTags(*t, tags);
  }
  auto t = db_.open("ycogrp");
  EXPECT_EQ(t->visibleOrder(), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7}));
  ASSERT_TRUE(t->go(3));
  EXPECT_TRUE(t->remove());
  t->setFilter("GRP_CODIGO = 10");
  EXPECT_EQ(t->visibleOrder(), (std::vector<uint32_t>{1, 2, 5}));
  t->setFilter("");
  t->setTag("Dois");
  ASSERT_TRUE(t->go(5));
  EXPECT_EQ(t->visibleOrder(), (std::vector<uint32_t>{1, 2, 5, 4, 6, 7}));
  EXPECT_EQ(t->recNo(), 5u);

  EXPECT_EQ(t->getStringAt(6, "GRP_DESCR"), "LATICINIOS");
  EXPECT_EQ(t->getStringAt(6, "DEP_CODIGO"), "12");
  EXPECT_EQ(t->getStringAt(1, "DEP_CODIGO"), "");
  t->edit();
  t->setString("GRP_DESCR", "OUTRO");
  // the pending row is not what is stored
  EXPECT_EQ(t->getStringAt(5, "GRP_DESCR"), "BEBIDAS");
  t->cancel();
  EXPECT_EQ(t->recNo(), 5u);
  EXPECT_NE(ErrorOf([&] { t->getStringAt(99, "GRP_DESCR"); }).find("no row 99"), std::string::npos);
}

}  // namespace
}  // namespace kaslo::db
