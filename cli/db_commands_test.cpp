// `kaslo init`, `kaslo check` and `kaslo dump` run as a user runs them: the
// built binary on a data directory in a temporary folder, damaged with the
// engine where a test needs a fault.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "db/install.h"
#include "db/table.h"
#include "db/table_ops.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycopro.h"
#include "db/temp_data_dir.h"

namespace kaslo::cli {

namespace {

namespace fs = std::filesystem;
using db::testing::TempDataDir;

struct Result {
  int exit_code;
  std::string out;
  std::string err;
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

fs::path BinDir() {
  const char* dir = std::getenv("KASLO_BIN_DIR");
  return dir ? fs::path(dir) : fs::path();
}

// Runs the kaslo binary with `args` (already quoted), capturing both streams
// in files beside `scratch`.
Result RunShell(const fs::path& scratch, const std::string& command) {
  fs::path out = scratch / "stdout.txt", err = scratch / "stderr.txt";
  int status = std::system((command + " >" + Quoted(out.string()) + " 2>" + Quoted(err.string())).c_str());
  Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  fs::remove(out);
  fs::remove(err);
  return r;
}

Result Kaslo(const fs::path& scratch, const std::string& args) {
  return RunShell(scratch, Quoted((BinDir() / "kaslo").string()) + " " + args);
}

class KasloCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(BinDir() / "kaslo")) << "KASLO_BIN_DIR must name the folder of the kaslo binary";
  }
  // A folder for outputs, and a data directory inside it made by `kaslo init`.
  TempDataDir scratch_{{}, false};
  fs::path Data() const { return scratch_.path() / "loja"; }
  std::string DataArg() const { return Quoted(Data().string()); }
  Result Init(const std::string& options = "") { return Kaslo(scratch_.path(), "init " + DataArg() + options); }
  Result Check() { return Kaslo(scratch_.path(), "check " + DataArg()); }
};

TEST_F(KasloCommand, InitThenCheckFindsNothingWrong) {
  Result init = Init(" --demo");
  ASSERT_EQ(init.exit_code, 0) << init.err;
  EXPECT_TRUE(fs::exists(Data() / "YCOPRO.DBF"));
  Result check = Check();
  EXPECT_EQ(check.exit_code, 0) << check.out << check.err;
  EXPECT_EQ(check.out, "all 19 tables ok\n");
}

TEST_F(KasloCommand, InitRefusesAFolderWithTables) {
  ASSERT_EQ(Init().exit_code, 0);
  Result again = Init(" --demo");
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_NE(again.err.find("already holds tables"), std::string::npos) << again.err;
  // Nothing was added: the products table is still empty.
  db::Database database(Data());
  EXPECT_EQ(database.open("Ycopro")->recordCount(), 0u);
}

TEST_F(KasloCommand, CheckReportsEachFault) {
  ASSERT_EQ(Init().exit_code, 0);
  db::Database database(Data());
  // A dropped field, a field of another kind, a missing table, a missing
  // index file and a missing tag.
  const std::string drop[] = {"PRO_ESTQ", "PRO_DESCR"};
  const db::FieldDef add[] = {db::Num("PRO_DESCR", 10)};
  db::Restructure(database, "Ycopro", drop, add);
  fs::remove(Data() / "YCOVEN.DBF");
  fs::remove(Data() / "YCOOPE.MDX");
  fs::remove(Data() / "YCOCLI.MDX");
  ASSERT_TRUE(db::LimpaIndiceDbf(Data() / "YCOCLI.DBF"));
  {
    auto cli = database.open("Ycocli", {.tag = "", .exclusive = true});
    const db::TagDef only_first[] = {{"Um", "cli_codigo"}};
    db::AddTags(*cli, only_first);
  }

  Result check = Check();
  EXPECT_EQ(check.exit_code, 1);
  auto has = [&](const std::string& line) { return check.out.find(line + "\n") != std::string::npos; };
  EXPECT_TRUE(has("Ycopro: missing field PRO_ESTQ N(10,3)")) << check.out;
  EXPECT_TRUE(has("Ycopro: field PRO_DESCR is N(10), expected C(50)")) << check.out;
  EXPECT_TRUE(has("Ycoven: missing table (no YCOVEN.DBF)")) << check.out;
  EXPECT_TRUE(has("Ycoope: missing index file YCOOPE.MDX (tags Um, Dois)")) << check.out;
  EXPECT_TRUE(has("Ycocli: missing tag Dois (cli_nome)")) << check.out;
  EXPECT_TRUE(has("Ycocli: missing tag Tres (cli_cnpj)")) << check.out;
  EXPECT_EQ(check.out.find("Ycotey"), std::string::npos) << "a sound table reported:\n" << check.out;
  EXPECT_NE(check.err.find("faults in"), std::string::npos) << check.err;
}

TEST_F(KasloCommand, CheckOfAFolderThatIsNotThere) {
  Result check = Check();
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_NE(check.err.find("no such directory"), std::string::npos) << check.err;
}

TEST_F(KasloCommand, EveryTableReadsTheSameInDbfread) {
  ASSERT_EQ(Init(" --demo --products 300").exit_code, 0);
  // A deleted row must be left out by both readers.
  {
    db::Database database(Data());
    auto cli = database.open("Ycocli", {.tag = "Um"});
    ASSERT_TRUE(cli->findKey(2.0));
    ASSERT_TRUE(cli->remove());
  }
  const char* source = std::getenv("KASLO_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  fs::path script = fs::path(source) / "cli" / "testdata" / "compare_dbfread.py";
  Result compare = RunShell(scratch_.path(), "/usr/bin/python3 " + Quoted(script.string()) + " " +
                                                 Quoted((BinDir() / "kaslo").string()) + " " + DataArg());
  EXPECT_EQ(compare.exit_code, 0) << compare.out << compare.err;
  EXPECT_NE(compare.out.find("19 tables, "), std::string::npos) << compare.out;
}

TEST_F(KasloCommand, DumpCsvQuotesWhereNeeded) {
  ASSERT_EQ(Init(" --demo").exit_code, 0);
  Result dump = Kaslo(scratch_.path(), "dump " + DataArg() + " ycocli.dbf --tag Um");
  ASSERT_EQ(dump.exit_code, 0) << dump.err;
  std::istringstream lines(dump.out);
  std::string header, first;
  std::getline(lines, header);
  std::getline(lines, first);
  EXPECT_EQ(header, "CLI_CODIGO,CLI_NOME,CLI_CNPJ,CLI_STATUS,CLI_ENDER,CLI_COMPLE,REG_CODIGO\r");
  // Texts come out in UTF-8; the address holds a comma and is quoted.
  EXPECT_EQ(first, "1,JOSÉ CARLOS DA SILVA,12345678909,0,\"RUA VERGUEIRO, 3185\",APTO 42,0\r");
}

TEST_F(KasloCommand, DumpJsonValues) {
  ASSERT_EQ(Init(" --demo").exit_code, 0);
  Result dump = Kaslo(scratch_.path(), "dump " + DataArg() + " YCOGRP --format json --tag Um");
  ASSERT_EQ(dump.exit_code, 0) << dump.err;
  EXPECT_NE(dump.out.find("{\"name\": \"GRP_CODIGO\", \"type\": \"N\", \"length\": 3, \"decimals\": 0}"),
            std::string::npos)
      << dump.out;
  // A group's own row has a blank department: null, and it sorts first.
  EXPECT_NE(dump.out.find("{\"GRP_CODIGO\": 1, \"GRP_DESCR\": \"MERCEARIA E BEBIDAS\", \"DEP_CODIGO\": null}"),
            std::string::npos)
      << dump.out;

  Result products = Kaslo(scratch_.path(), "dump " + DataArg() + " Ycopro --format json");
  ASSERT_EQ(products.exit_code, 0) << products.err;
  EXPECT_NE(products.out.find("\"PRO_PCOVEN\": 18.500"), std::string::npos);
  EXPECT_NE(products.out.find("\"PRO_Q4000\": true"), std::string::npos);
  EXPECT_NE(products.out.find("\"PRO_FLAGAL\": null"), std::string::npos);
}

TEST_F(KasloCommand, DumpRefusesWhatIsNotThere) {
  ASSERT_EQ(Init().exit_code, 0);
  Result missing = Kaslo(scratch_.path(), "dump " + DataArg() + " Ycoxyz");
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("Ycoxyz: no such table"), std::string::npos) << missing.err;
  Result bad_tag = Kaslo(scratch_.path(), "dump " + DataArg() + " Ycopro --tag Cinco");
  EXPECT_EQ(bad_tag.exit_code, 1);
  EXPECT_FALSE(bad_tag.err.empty());
  Result bad_format = Kaslo(scratch_.path(), "dump " + DataArg() + " Ycopro --format xml");
  EXPECT_NE(bad_format.exit_code, 0);
}

}  // namespace

}  // namespace kaslo::cli
