// The table set's definitions: names that a DBF can hold, tags over fields
// that exist, and widths that hold what the rest of the system writes.
#include "db/schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "db/tables/ycocli.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycotrb.h"
#include "db/tables/ycoy60.h"

namespace kaslo::db {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Field names used by a tag expression: identifiers that are not functions.
std::vector<std::string> ExpressionFields(std::string_view expression) {
  std::vector<std::string> names;
  std::string word;
  auto flush = [&](char next) {
    if (!word.empty() && !std::isdigit(static_cast<unsigned char>(word[0])) && next != '(') {
      names.push_back(Lower(word));
    }
    word.clear();
  };
  for (char c : expression) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
      word += c;
    } else {
      flush(c);
    }
  }
  flush('\0');
  return names;
}

TEST(TableSet, NamesFitTheDbfHeader) {
  std::set<std::string> tables;
  for (const TableDef& t : AllTables()) {
    EXPECT_EQ(t.name.size(), 6u) << t.name;
    EXPECT_TRUE(tables.insert(Lower(t.name)).second) << "table twice: " << t.name;
    std::set<std::string> fields;
    size_t record_length = 1;  // the deletion flag
    for (const FieldDef& f : t.fields) {
      EXPECT_LE(f.name.size(), 10u) << t.name << "." << f.name;
      EXPECT_TRUE(fields.insert(Lower(f.name)).second) << t.name << "." << f.name << " twice";
      if (f.type == FieldType::kNumeric) {
        EXPECT_LE(f.length, 20) << f.name;
        if (f.decimals) EXPECT_LT(f.decimals + 1u, f.length) << f.name;
      }
      record_length += f.length;
    }
    EXPECT_LE(t.fields.size(), 255u) << t.name;
    EXPECT_LT(record_length, 4000u) << t.name;
  }
  EXPECT_EQ(tables.size(), 19u);
}

TEST(TableSet, TagsUseFieldsOfTheirTable) {
  for (const TableDef& t : AllTables()) {
    std::set<std::string> fields;
    for (const FieldDef& f : t.fields) fields.insert(Lower(f.name));
    for (const TagDef& tag : t.tags) {
      std::vector<std::string> used = ExpressionFields(tag.expression);
      EXPECT_FALSE(used.empty()) << t.name << " " << tag.name;
      for (const std::string& name : used) {
        EXPECT_TRUE(fields.count(name)) << t.name << " tag " << tag.name << " uses " << name;
      }
    }
  }
}

TEST(TableSet, IndexCheckVisitsFifteenTablesWithCaptions) {
  std::span<const TableDef> checked = IndexCheckTables();
  ASSERT_EQ(checked.size(), 15u);
  EXPECT_EQ(checked.front().name, "Ycopro");
  EXPECT_EQ(checked.front().caption, "Produtos do Pelda Roza ®");
  EXPECT_EQ(checked.back().name, "Ycoprm");
  for (const TableDef& t : checked) {
    EXPECT_FALSE(t.caption.empty()) << t.name;
    ASSERT_FALSE(t.tags.empty()) << t.name;
    EXPECT_EQ(Lower(t.tags[0].name), "um") << t.name;
  }
  // The rest of the set follows the checked tables and has no caption.
  for (const TableDef& t : AllTables().subspan(15)) EXPECT_TRUE(t.caption.empty()) << t.name;
}

TEST(TableSet, FindTableIgnoresCaseAndExtension) {
  for (std::string_view name : {"Ycopro", "YCOPRO", "ycopro.dbf", "YCOPRO.DBF"}) {
    const TableDef* t = FindTable(name);
    ASSERT_NE(t, nullptr) << name;
    EXPECT_EQ(t->name, "Ycopro");
  }
  ASSERT_NE(FindTable("YCOY60"), nullptr);
  EXPECT_EQ(FindTable("YCOY60")->name, "ycoy60");
  EXPECT_EQ(FindTable("Ycoxyz"), nullptr);
  EXPECT_EQ(FindTable(".dbf"), nullptr);
  EXPECT_EQ(FindTable(""), nullptr);
}

// Digits a numeric field holds before its decimal point.
int IntegerDigits(const FieldDef& f) { return f.length - (f.decimals ? f.decimals + 1 : 0); }

TEST(TableSet, WidthsHoldWhatIsWrittenIntoThem) {
  EXPECT_GE(IntegerDigits(ycopro::PRO_PLU), 13);  // EAN-13 codes with check digit
  EXPECT_GE(IntegerDigits(ycoy60::Y60_PROPLU), 13);
  // The stock field is what the stock conversion recreates.
  EXPECT_EQ(ycopro::PRO_ESTQ.type, FieldType::kNumeric);
  EXPECT_EQ(ycopro::PRO_ESTQ.length, 10);
  EXPECT_EQ(ycopro::PRO_ESTQ.decimals, 3);
  // Prices of products with three decimals; load files carry 6 integer digits.
  for (const FieldDef& price : {ycopro::PRO_PCOVEN, ycopro::PRO_PCOPRO, ycopro::PRO_PCOATA, ycoy60::Y60_PCOVEN}) {
    EXPECT_EQ(price.decimals, 3) << price.name;
    EXPECT_GE(IntegerDigits(price), 6) << price.name;
  }
  EXPECT_GE(IntegerDigits(ycogrp::GRP_CODIGO), 2);  // groups 1 to 20
  EXPECT_GE(IntegerDigits(ycodep::DEP_CODIGO), 2);  // departments 1 to 99
  EXPECT_GE(IntegerDigits(ycotrb::TRB_CODIGO), 2);
  EXPECT_GE(IntegerDigits(ycocli::CLI_CNPJ), 14);
  EXPECT_GE(IntegerDigits(ycoprm::PRM_CNPJ), 14);
  EXPECT_GE(IntegerDigits(ycoprm::PRM_UTPROD), 13);
  EXPECT_EQ(IntegerDigits(ycoprm::PRM_CEP), 5);
  EXPECT_EQ(IntegerDigits(ycoprm::PRM_CEPP), 3);
  EXPECT_EQ(ycopro::PRO_DESCR.length, 50);
  EXPECT_EQ(ycoy60::Y60_DESCR.length, 22);
  EXPECT_EQ(ycoy60::Y60_RESUM.length, 20);
  EXPECT_EQ(ycoy60::Y60_DATA.length, 4);
}

}  // namespace
}  // namespace kaslo::db
