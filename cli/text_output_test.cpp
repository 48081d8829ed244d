// The CSV and JSON the commands print: cell quoting, number texts, a real
// table with a field of every kind, and a grid of texts.
#include "cli/text_output.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "db/dbf_file.h"
#include "db/hand_made_dbf.h"
#include "db/temp_data_dir.h"

namespace kaslo::cli {
namespace {

using nlohmann::json;

std::string Cell(std::string_view cell) {
  std::ostringstream out;
  WriteCsvCell(out, cell);
  return out.str();
}

TEST(CsvTest, QuotedOnlyWhereACellNeedsIt) {
  EXPECT_EQ(Cell("MARIA"), "MARIA");
  EXPECT_EQ(Cell(""), "");
  EXPECT_EQ(Cell("JOSÉ DA SILVA"), "JOSÉ DA SILVA");  // blanks inside are plain
  EXPECT_EQ(Cell("RUA A, 10"), "\"RUA A, 10\"");
  EXPECT_EQ(Cell("12\" TV"), "\"12\"\" TV\"");
  EXPECT_EQ(Cell("UM\nDOIS"), "\"UM\nDOIS\"");
  EXPECT_EQ(Cell("UM\rDOIS"), "\"UM\rDOIS\"");
  EXPECT_EQ(Cell("MARIA     "), "\"MARIA     \"");
  EXPECT_EQ(Cell(" 7"), "\" 7\"");

  std::ostringstream line;
  const std::vector<std::string> cells{"a", "", "b c ", "d"};
  WriteCsvLine(line, cells);
  EXPECT_EQ(line.str(), "a,,\"b c \",d\r\n");
}

TEST(CsvTest, NumbersKeepTheirDecimalsAndZeroHasNoSign) {
  EXPECT_EQ(NumberText(12.5, 2), "12.50");
  EXPECT_EQ(NumberText(18.5, 3), "18.500");
  EXPECT_EQ(NumberText(7891234567895.0, 0), "7891234567895");
  EXPECT_EQ(NumberText(-3.25, 2), "-3.25");
  EXPECT_EQ(NumberText(-0.001, 2), "0.00");
  EXPECT_EQ(NumberText(-0.0, 0), "0");
  EXPECT_EQ(NumberText(1e300, 2).size(), 304u);
}

// What the C library prints, the form the number texts have always had.
std::string Printed(double value, unsigned decimals) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(decimals), value);
  std::string s = buf;
  if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
  return s;
}

TEST(CsvTest, NumberTextsAreThosePrintfWrites) {
  std::mt19937_64 random(3);
  // Halves that are exact in binary (2.675 is not; 0.125 is) and values
  // of every size.
  for (double v : {0.125, 0.375, 2.5, 3.5, -0.125, 2.675, 1.005, 0.0049999, 1e15 + 0.5, 123456789012.345})
    for (unsigned d = 0; d <= 4; ++d) EXPECT_EQ(NumberText(v, d), Printed(v, d)) << v << " " << d;
  for (int i = 0; i < 100000; ++i) {
    const double v = std::ldexp(static_cast<double>(random() % (uint64_t{1} << 53)), static_cast<int>(random() % 80) - 60) *
                     (random() % 2 ? -1 : 1);
    const unsigned d = static_cast<unsigned>(random() % 6);
    ASSERT_EQ(NumberText(v, d), Printed(v, d)) << v << " " << d;
  }
}

// Stored digits in every form, right-aligned as this system writes them or
// not: each cell is what the number read from them is written as.
TEST(CsvTest, NumbersCopiedFromTheirDigitsReadAsWritten) {
  db::testing::HandTable table;
  table.fields = {{"QTD", 'N', 6}, {"PRECO", 'N', 10, 2}, {"PESO", 'F', 18, 4}};
  std::vector<std::array<std::string, 3>> stored = {
      {"     7", "     12.50", "         1234.5000"},
      {"000007", "  00012.50", "     -0.0000      "},
      {"    -0", "     -0.00", "    1234567890.123"},
      {"  1.50", "      12.5", "  12345678901.1234"},
      {"    +3", "      1,50", "           .5     "},
      {"   -12", "    -12.50", "999999999999.99999"},
      {"  1e3 ", "  -.50    ", "    -0.0001       "},
  };
  std::mt19937 random(5);
  for (int i = 0; i < 2000; ++i) {
    char a[16], b[16], c[32];
    std::snprintf(a, sizeof a, "%6d", static_cast<int>(random() % 1000000) - 99999);
    std::snprintf(b, sizeof b, "%10.2f", static_cast<double>(static_cast<int>(random() % 200000000) - 1000000) / 100);
    std::snprintf(c, sizeof c, "%18.4f", static_cast<double>(random()) * 997 / 10000);
    stored.push_back({a, b, c});
  }
  for (const auto& row : stored) table.records.push_back(" " + row[0] + row[1] + row[2]);
  db::testing::TempDataDir dir({}, false);
  std::ofstream(dir.path() / "NUMS.DBF", std::ios::binary) << table.Bytes();
  auto t = dir.db().open("NUMS.DBF");
  std::ostringstream out;
  WriteTableCsv(*t, out);
  std::istringstream lines(out.str());
  std::string line;
  std::getline(lines, line);
  const unsigned decimals[] = {0, 2, 4};
  for (const auto& row : stored) {
    std::string expected;
    for (size_t i = 0; i < 3; ++i) {
      if (i) expected += ',';
      const auto value = db::internal::ParseNumber(row[i]);
      if (value) expected += NumberText(*value, decimals[i]);
    }
    ASSERT_TRUE(std::getline(lines, line));
    ASSERT_EQ(line, expected + "\r") << row[0] << "|" << row[1] << "|" << row[2];
  }
}

// A table with a field of every kind in an installed data directory: a
// full row, a blank row and a deleted row.
class TableOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const db::FieldDef fields[] = {db::Num("CODIGO", 4), db::Char("NOME", 20), db::Num("PRECO", 10, 3),
                                   db::DateField("DATA"), db::Logical("ATIVO")};
    dir_.db().create("KINDS", fields);
    auto t = dir_.db().open("KINDS");
    t->append();
    t->setNumber(0, 12);
    t->setString(1, " S\xC3O JO\xC3O, \"SP\"");  // Latin-1, as the tables hold texts
    t->setNumber(2, 18.5);
    t->setDate(3, db::Date{std::chrono::year{2024}, std::chrono::month{2}, std::chrono::day{9}});
    t->setLogical(4, true);
    t->post();
    t->append();
    t->post();
    t->append();
    t->setString(1, "APAGADO");
    t->post();
    t->last();
    t->remove();
  }
  std::string Written(void (*writer)(db::Table&, std::ostream&)) {
    auto t = dir_.db().open("KINDS");
    std::ostringstream out;
    writer(*t, out);
    return out.str();
  }
  db::testing::TempDataDir dir_;
};

TEST_F(TableOutputTest, CsvOfEveryKind) {
  EXPECT_EQ(Written(WriteTableCsv),
            "CODIGO,NOME,PRECO,DATA,ATIVO\r\n"
            "12,\" SÃO JOÃO, \"\"SP\"\"\",18.500,2024-02-09,T\r\n"
            ",,,,\r\n");
}

TEST_F(TableOutputTest, JsonOfEveryKind) {
  const std::string text = Written(WriteTableJson);
  const json doc = json::parse(text);
  EXPECT_EQ(doc["table"], "KINDS.DBF");
  ASSERT_EQ(doc["fields"].size(), 5u);
  EXPECT_EQ(doc["fields"][2], (json{{"name", "PRECO"}, {"type", "N"}, {"length", 10}, {"decimals", 3}}));
  EXPECT_EQ(doc["fields"][3]["type"], "D");
  ASSERT_EQ(doc["records"].size(), 2u);
  const json& full = doc["records"][0];
  EXPECT_TRUE(full["CODIGO"].is_number_integer());
  EXPECT_EQ(full["CODIGO"], 12);
  EXPECT_EQ(full["NOME"], " SÃO JOÃO, \"SP\"");
  EXPECT_TRUE(full["PRECO"].is_number_float());
  EXPECT_EQ(full["PRECO"], 18.5);
  EXPECT_EQ(full["DATA"], "2024-02-09");
  EXPECT_EQ(full["ATIVO"], true);
  for (const auto& [name, value] : doc["records"][1].items()) EXPECT_TRUE(value.is_null()) << name;
  // One record a line, its fields in table order.
  EXPECT_NE(text.find("\n  {\"CODIGO\":12,\"NOME\":"), std::string::npos) << text;
}

TEST(GridOutputTest, CsvKeepsEveryCellAsGiven) {
  const std::vector<std::string> columns{"Código", "Nome do Vendedor"};
  const TextRows rows{{"1", "MARIA          "}, {"20", "JOSE, FILHO"}, {"3"}};
  std::ostringstream out;
  WriteGridCsv(columns, rows, out);
  EXPECT_EQ(out.str(),
            "Código,Nome do Vendedor\r\n"
            "1,\"MARIA          \"\r\n"
            "20,\"JOSE, FILHO\"\r\n"
            "3,\r\n");
}

TEST(GridOutputTest, JsonReadsBackAsTheGrid) {
  const std::vector<std::string> columns{"Código", "Nome"};
  std::ostringstream out;
  WriteGridJson(columns, {{"1", "ANA  "}, {"2"}}, out);
  const json doc = json::parse(out.str());
  EXPECT_EQ(doc.size(), 2u);
  EXPECT_EQ(doc["columns"], json::array({"Código", "Nome"}));
  EXPECT_EQ(doc["rows"], json::array({json::array({"1", "ANA  "}), json::array({"2", ""})}));

  std::ostringstream empty;
  WriteGridJson(columns, {}, empty);
  EXPECT_EQ(json::parse(empty.str())["rows"], json::array());
}

}  // namespace
}  // namespace kaslo::cli
