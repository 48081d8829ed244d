// Interoperability of the table engine with other dBase readers and writers:
// Perl's XBase module reads the engine's tables and walks its .MDX tags,
// python3-dbf writes dBase III tables that the engine reads (and appends
// to), and the dBase IV samples of another library (memo and MDX) open in
// the engine with their tags in the order their writer walks them.
//
// Both sides print a table in one plain form (see testdata/xbase_read.pl)
// and the texts are compared, so a difference names the row and field.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "db/database.h"
#include "db/engine_test_util.h"
#include "db/install.h"
#include "db/mdx_file.h"
#include "db/table_impl.h"
#include "db/table_ops.h"
#include "db/temp_data_dir.h"

namespace kaslo::db {
namespace {

namespace fs = std::filesystem;
using testing::EngineTest;
using testing::TempDataDir;
using testing::Walk;
using namespace std::chrono;

fs::path SourceDir() {
  const char* dir = std::getenv("KASLO_SOURCE_DIR");
  return dir ? fs::path(dir) : fs::path();
}

fs::path SamplesDir() { return SourceDir() / "db" / "testdata" / "samples"; }

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs a shell command and gives its standard output; fails the test when
// it does not exit with 0 (its standard error reaches the test's log).
std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return out;
  }
  std::array<char, 65536> buf;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
  int status = ::pclose(pipe);
  EXPECT_EQ(status, 0) << command;
  return out;
}

std::string XBase(const std::string& what, const fs::path& file) {
  return Output("perl " + Quoted((SourceDir() / "db" / "testdata" / "xbase_read.pl").string()) + " " + what +
                " " + Quoted(file.string()));
}

std::string Plain(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.empty()) return "null";
  std::string out;
  for (char c : text) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || c == '\\') {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\x%02x", b);
      out += esc;
    } else {
      out += c;
    }
  }
  return out;
}

// The engine's reading of every live row, in the form of xbase_read.pl.
std::string EngineRows(Table& t) {
  std::ostringstream out;
  out << "fields";
  for (const auto& f : t.fields()) {
    out << '\t' << f.name << ':' << static_cast<char>(f.type) << ':' << f.length << ':' << int{f.decimals};
  }
  out << '\n';
  t.setTag("");
  for (t.first(); !t.eof(); t.next()) {
    out << t.recNo();
    for (size_t i = 0; i < t.fields().size(); ++i) {
      const FieldInfo& f = t.fields()[i];
      std::string v;
      switch (f.type) {
        case FieldType::kNumeric:
        case FieldType::kFloat:
          if (auto n = t.getNumber(i)) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*f", int{f.decimals}, *n);
            v = buf;
          } else {
            v = "null";
          }
          break;
        case FieldType::kLogical:
          if (auto l = t.getLogical(i)) v = *l ? "T" : "F";
          else v = "null";
          break;
        case FieldType::kDate:
          v = t.getDate(i) ? t.getString(i) : "null";
          break;
        default:
          v = Plain(t.getString(i));
      }
      out << '\t' << f.name << '=' << v;
    }
    out << '\n';
  }
  return out.str();
}

// Tag name (upper case) -> record numbers, from lines "NAME\t1 2 3".
std::map<std::string, std::vector<uint32_t>> ParseWalks(const std::string& text) {
  std::map<std::string, std::vector<uint32_t>> walks;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    std::istringstream recs(line.substr(tab + 1));
    auto& walk = walks[internal::UpperLatin1(line.substr(0, tab))];
    for (uint32_t r; recs >> r;) walk.push_back(r);
  }
  return walks;
}

// Every tag's keys in the engine's order, deleted rows included (as a .MDX
// keeps them).
std::map<std::string, std::vector<uint32_t>> EngineWalks(Table& t) {
  std::map<std::string, std::vector<uint32_t>> walks;
  for (const auto& name : t.tagNames()) {
    const auto& order = t.impl().FindTag(name)->order();
    walks[internal::UpperLatin1(name)].assign(order.begin(), order.end());
  }
  return walks;
}

std::vector<uint32_t> LiveOnly(Table& t, const std::vector<uint32_t>& recs) {
  std::vector<uint32_t> live;
  for (uint32_t r : recs) if (t.go(r)) live.push_back(r);
  return live;
}

constexpr std::array kAllKinds = {
    Char("T_NOME", 20),  Num("T_CODIGO", 8),  Num("T_PRECO", 12, 3),
    FieldDef{"T_FATOR", FieldType::kFloat, 10, 3},  Logical("T_ATIVO"),
    DateField("T_DATA"), Memo("T_OBS"),
};

TEST_F(EngineTest, EngineTablesReadTheSameInPerlXBase) {
  db_.create("kinds", kAllKinds);
  {
    auto t = db_.open("kinds");
    auto add = [&](const char* name, std::optional<double> code, double price, bool active, Date date,
                   const std::string& memo) {
      t->append();
      t->setString("T_NOME", name);
      if (code) t->setNumber("T_CODIGO", *code);
      t->setNumber("T_PRECO", price);
      t->setNumber("T_FATOR", price / 4);
      t->setLogical("T_ATIVO", active);
      t->setDate("T_DATA", date);
      t->setString("T_OBS", memo);
      ASSERT_TRUE(t->post());
    };
    add("CAF\xC9 COM LEITE", 905, 12.5, true, year(2024) / 1 / 31, "linha 1\r\nlinha 2");
    add("P\xC3O DE QUEIJO", 0, -2.25, false, year(2000) / 2 / 29, std::string(1500, 'x'));
    add("APAGADO", 3, 0.001, true, year(1999) / 12 / 31, "sai");
    add("SEM CODIGO", std::nullopt, 999999.999, false, year(2023) / 6 / 1, "");
    t->append();  // every field blank
    ASSERT_TRUE(t->post());
    // A memo rewritten longer, and a deleted row.
    ASSERT_TRUE(t->go(1));
    t->edit();
    t->setString("T_OBS", std::string(700, 'y') + " fim");
    ASSERT_TRUE(t->post());
    ASSERT_TRUE(t->go(3));
    ASSERT_TRUE(t->remove());
  }
  auto t = db_.open("kinds");
  std::string ours = EngineRows(*t);
  EXPECT_EQ(std::count(ours.begin(), ours.end(), '\n'), 5);
  EXPECT_EQ(XBase("rows", File("KINDS.DBF")), ours);
}

TEST(Interop, EveryInstalledTableReadsTheSameInPerlXBase) {
  TempDataDir dir({.demo = true, .generated_products = 300});
  {
    auto cli = dir.db().open("Ycocli", {.tag = "Um"});
    ASSERT_TRUE(cli->findKey(2.0));
    ASSERT_TRUE(cli->remove());
  }
  size_t tables = 0;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    if (internal::UpperLatin1(entry.path().extension().string()) != ".DBF") continue;
    ++tables;
    auto t = dir.db().open(entry.path().filename().string());
    EXPECT_EQ(XBase("rows", entry.path()), EngineRows(*t)) << entry.path().filename();
  }
  EXPECT_EQ(tables, 19u);
}

TEST(Interop, MdxTagsWalkTheSameInPerlXBase) {
  // Enough products for B-trees of three levels in the numeric tag.
  TempDataDir dir({.demo = true, .generated_products = 5000});
  {
    // Keys moved by edits and deleted rows (whose keys stay in the index).
    auto pro = dir.db().open("Ycopro", {.tag = "Um"});
    pro->first();
    pro->edit();
    pro->setString("PRO_DESCR", "ZZZ POR ULTIMO");
    pro->setNumber("PRO_PLU", 99999999);
    ASSERT_TRUE(pro->post());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(pro->remove());
  }
  size_t walked = 0;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    if (internal::UpperLatin1(entry.path().extension().string()) != ".MDX") continue;
    auto t = dir.db().open(entry.path().stem().string());
    auto ours = EngineWalks(*t);
    ASSERT_FALSE(ours.empty()) << entry.path().filename();
    auto theirs = ParseWalks(XBase("tags", entry.path()));
    EXPECT_EQ(theirs, ours) << entry.path().filename();
    for (const auto& [tag, recs] : theirs) {
      t->setTag(tag);
      EXPECT_EQ(LiveOnly(*t, recs), Walk(*t)) << entry.path().filename() << " " << tag;
      walked += recs.size();
    }
  }
  EXPECT_GT(walked, 10000u);
  // Among them the compound expression tag of the groups.
  auto grp = dir.db().open("Ycogrp");
  EXPECT_EQ(internal::UpperLatin1(grp->tagExpression("Um")), "STR(GRP_CODIGO,12)+STR(DEP_CODIGO,12)");
}

TEST_F(EngineTest, Dbase3TablesOfPythonDbfReadTheSame) {
  fs::path file = File("PYDBF.DBF");
  std::string theirs = Output("/usr/bin/python3 " +
                              Quoted((SourceDir() / "db" / "testdata" / "dbf3_write.py").string()) + " " +
                              Quoted(file.string()));
  ASSERT_NE(theirs.find("\n4\tCODIGO=12345678"), std::string::npos) << theirs;
  {
    auto t = db_.open("pydbf");
    EXPECT_EQ(EngineRows(*t), theirs);
    // A row appended by the engine lands in the dBase III memo layout that
    // the file already has, and other readers read it.
    t->append();
    t->setNumber("CODIGO", 6);
    t->setString("NOME", "ANEXADO PELO MOTOR");
    t->setString("OBS", std::string(600, 'z'));
    ASSERT_TRUE(t->post());
  }
  EXPECT_EQ(static_cast<uint8_t>(testing::ReadBytes(file)[0]), 0x83);
  auto t = db_.open("pydbf");
  std::string ours = EngineRows(*t);
  EXPECT_NE(ours.find("\n6\tCODIGO=6\tNOME=ANEXADO PELO MOTOR"), std::string::npos) << ours;
  EXPECT_EQ(XBase("rows", file), ours);
}

// ---- the samples of another dBase library

class Sample : public ::testing::TestWithParam<const char*> {};

TEST_P(Sample, OpensWithEveryRowMemoAndTagOrder) {
  std::string name = GetParam();
  ASSERT_TRUE(fs::exists(SamplesDir())) << "the samples lie in db/testdata/samples";
  // Work on a copy: the engine may repair or rewrite what it opens.
  testing::TempDir dir;
  for (const auto& entry : fs::directory_iterator(SamplesDir())) {
    if (entry.path().stem() == name) {
      fs::copy_file(entry.path(), dir.path() / entry.path().filename());
      fs::permissions(dir.path() / entry.path().filename(), fs::perms::owner_write, fs::perm_options::add);
    }
  }
  Database db(dir.path());
  auto t = db.open(name);
  EXPECT_EQ(EngineRows(*t), XBase("rows", dir.path() / (name + ".DBF")));

  fs::path walk_file = SamplesDir() / (name + ".tdbf_walk.txt");
  if (!fs::exists(walk_file)) {
    EXPECT_TRUE(t->tagNames().empty());
    return;
  }
  auto expected = ParseWalks(testing::ReadBytes(walk_file));
  // Their writer walks its own B-tree; the engine builds its keys from the
  // rows, and reads the writer's tree the same way.
  EXPECT_EQ(EngineWalks(*t), expected);
  fs::path mdx = db.find(name + ".MDX");
  for (const auto& [tag, recs] : expected) {
    EXPECT_EQ(internal::WalkMdxTag(mdx, tag), recs) << tag;
    t->setTag(tag);
    EXPECT_EQ(Walk(*t), LiveOnly(*t, recs)) << tag;
  }
}

INSTANTIATE_TEST_SUITE_P(Interop, Sample, ::testing::Values("SAMP3", "SAMPBIG", "SAMPDEP", "SAMPGRP"));

}  // namespace
}  // namespace kaslo::db
