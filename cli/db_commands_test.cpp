// `kaslo init`, `kaslo check` and `kaslo dump` run as a user runs them: the
// built binary on a data directory in a temporary folder, damaged with the
// engine where a test needs a fault.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "cli/command_test_support.h"
#include "db/hand_made_dbf.h"
#include "db/install.h"
#include "db/table.h"
#include "db/table_ops.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycopro.h"

namespace kaslo::cli {

namespace {

namespace fs = std::filesystem;
using namespace kaslo::cli::testing;

class DbCommand : public KasloCommand {
 protected:
  Result Check() { return Run("check " + DataArg()); }
};

TEST_F(DbCommand, InitThenCheckFindsNothingWrong) {
  Result init = Init(" --demo");
  ASSERT_EQ(init.exit_code, 0) << init.err;
  EXPECT_TRUE(fs::exists(Data() / "YCOPRO.DBF"));
  Result check = Check();
  EXPECT_EQ(check.exit_code, 0) << check.out << check.err;
  EXPECT_EQ(check.out, "all 19 tables ok\n");
}

TEST_F(DbCommand, InitRefusesAFolderWithTables) {
  ASSERT_EQ(Init().exit_code, 0);
  Result again = Init(" --demo");
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_NE(again.err.find("already holds tables"), std::string::npos) << again.err;
  // Nothing was added: the products table is still empty.
  db::Database database(Data());
  EXPECT_EQ(database.open("Ycopro")->recordCount(), 0u);
}

TEST_F(DbCommand, CheckReportsEachFault) {
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

TEST_F(DbCommand, CheckOfAFolderThatIsNotThere) {
  Result check = Check();
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_NE(check.err.find("no such directory"), std::string::npos) << check.err;
}

TEST_F(DbCommand, EveryTableReadsTheSameInDbfread) {
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

TEST_F(DbCommand, DumpCsvQuotesWhereNeeded) {
  ASSERT_EQ(Init(" --demo").exit_code, 0);
  Result dump = Run("dump " + DataArg() + " ycocli.dbf --tag Um");
  ASSERT_EQ(dump.exit_code, 0) << dump.err;
  std::istringstream lines(dump.out);
  std::string header, first;
  std::getline(lines, header);
  std::getline(lines, first);
  EXPECT_EQ(header, "CLI_CODIGO,CLI_NOME,CLI_CNPJ,CLI_STATUS,CLI_ENDER,CLI_COMPLE,REG_CODIGO\r");
  // Texts come out in UTF-8; the address holds a comma and is quoted.
  EXPECT_EQ(first, "1,JOSÉ CARLOS DA SILVA,12345678909,0,\"RUA VERGUEIRO, 3185\",APTO 42,0\r");
}

TEST_F(DbCommand, DumpJsonValues) {
  using nlohmann::json;
  ASSERT_EQ(Init(" --demo").exit_code, 0);
  Result dump = Run("dump " + DataArg() + " YCOGRP --format json --tag Um");
  ASSERT_EQ(dump.exit_code, 0) << dump.err;
  const json groups = json::parse(dump.out);
  EXPECT_EQ(groups["table"], "YCOGRP.DBF");
  EXPECT_EQ(groups["fields"][0], (json{{"name", "GRP_CODIGO"}, {"type", "N"}, {"length", 3}, {"decimals", 0}}));
  // A group's own row has a blank department: null, and it sorts first.
  const json& first = groups["records"][0];
  EXPECT_EQ(first, (json{{"GRP_CODIGO", 1}, {"GRP_DESCR", "MERCEARIA E BEBIDAS"}, {"DEP_CODIGO", nullptr}}));
  EXPECT_TRUE(first["GRP_CODIGO"].is_number_integer());
  // Each record lists its fields in table order.
  EXPECT_NE(dump.out.find(R"({"GRP_CODIGO":1,"GRP_DESCR":"MERCEARIA E BEBIDAS","DEP_CODIGO":null})"),
            std::string::npos)
      << dump.out;

  Result products = Run("dump " + DataArg() + " Ycopro --format json");
  ASSERT_EQ(products.exit_code, 0) << products.err;
  bool priced = false, dated = false;
  const json all = json::parse(products.out);
  for (const json& product : all["records"]) {
    EXPECT_TRUE(product["PRO_PLU"].is_number_integer()) << product;
    EXPECT_TRUE(product["PRO_FLAGAL"].is_null()) << product;
    priced |= product["PRO_PCOVEN"] == 18.5 && product["PRO_Q4000"] == true;
    if (product["PRO_DTUALT"].is_string()) {
      dated = true;
      EXPECT_EQ(product["PRO_DTUALT"].get<std::string>().size(), 10u);
      EXPECT_EQ(product["PRO_DTUALT"].get<std::string>()[4], '-');
    }
  }
  EXPECT_TRUE(priced) << products.out;
  EXPECT_TRUE(dated) << products.out;
}

TEST_F(DbCommand, DumpRefusesWhatIsNotThere) {
  ASSERT_EQ(Init().exit_code, 0);
  Result missing = Run("dump " + DataArg() + " Ycoxyz");
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("Ycoxyz: no such table"), std::string::npos) << missing.err;
  Result bad_tag = Run("dump " + DataArg() + " Ycopro --tag Cinco");
  EXPECT_EQ(bad_tag.exit_code, 1);
  EXPECT_FALSE(bad_tag.err.empty());
  Result bad_format = Run("dump " + DataArg() + " Ycopro --format xml");
  EXPECT_EQ(bad_format.exit_code, 2);
}

// ---- tables other programs wrote

class DumpForeignTable : public DbCommand {
 protected:
  void SetUp() override {
    DbCommand::SetUp();
    fs::create_directories(Data());
  }
  void Write(const std::string& name, const db::testing::HandTable& table) {
    std::ofstream(Data() / name, std::ios::binary) << table.Bytes();
  }
};

TEST_F(DumpForeignTable, DateThatIsNotADateIsShownAsStored) {
  Write("DATAS.DBF", {.fields = {{"NOME", 'C', 3}, {"NASC", 'D', 8}},
                      .records = {" ANANotAYear", " BIA        ", " CAU20240209", " DUD00000000"}});
  Result csv = Run("dump " + DataArg() + " datas");
  ASSERT_EQ(csv.exit_code, 0) << csv.err;
  // A blank date stays blank; the others show what is stored, each named.
  EXPECT_EQ(csv.out, "NOME,NASC\r\nANA,NotAYear\r\nBIA,\r\nCAU,2024-02-09\r\nDUD,00000000\r\n");
  EXPECT_EQ(csv.err,
            "DATAS.DBF: record 1, field NASC: \"NotAYear\" is not a date, shown as stored\n"
            "DATAS.DBF: record 4, field NASC: \"00000000\" is not a date, shown as stored\n");

  Result json = Run("dump " + DataArg() + " datas --format json");
  ASSERT_EQ(json.exit_code, 0) << json.err;
  const nlohmann::json records = nlohmann::json::parse(json.out)["records"];
  EXPECT_EQ(records[0]["NASC"], "NotAYear");
  EXPECT_TRUE(records[1]["NASC"].is_null());
  EXPECT_EQ(records[2]["NASC"], "2024-02-09");
  EXPECT_EQ(json.err, csv.err);
}

TEST_F(DumpForeignTable, MissingIndexIsSaidAndTheRowsShown) {
  Write("SEMIDX.DBF", {.flags = 1, .fields = {{"NOME", 'C', 3}}, .records = {" ANA", "*BIA", " CAU"}});
  Result dump = Run("dump " + DataArg() + " SEMIDX");
  ASSERT_EQ(dump.exit_code, 0) << dump.err;
  EXPECT_EQ(dump.out, "NOME\r\nANA\r\nCAU\r\n");
  EXPECT_EQ(dump.err, "SEMIDX.DBF: production index SEMIDX.MDX not found; rows read without it\n");
  // There is no tag order to give.
  Result by_tag = Run("dump " + DataArg() + " SEMIDX --tag Um");
  EXPECT_EQ(by_tag.exit_code, 1);

  // The program's own tables are still checked as before.
  fs::remove(Data() / "SEMIDX.DBF");
  ASSERT_EQ(Init().exit_code, 0);
  fs::remove(Data() / "YCOGRP.MDX");
  Result check = Check();
  EXPECT_EQ(check.exit_code, 1);
  Result groups = Run("dump " + DataArg() + " Ycogrp");
  EXPECT_EQ(groups.exit_code, 0) << groups.err;
  EXPECT_EQ(groups.err, "YCOGRP.DBF: production index YCOGRP.MDX not found; rows read without it\n");
}

TEST_F(DumpForeignTable, TornTableIsShownAsReadAndLeftAsFound) {
  // A count one short and half a record after the last one, as a crash
  // during a post leaves them: the rows are shown, the file is not touched.
  db::testing::HandTable table{.fields = {{"NOME", 'C', 3}}, .records = {" ANA", " BIA"}};
  std::string bytes = table.Bytes();
  bytes[4] = 1;  // count
  bytes.pop_back();  // no end mark
  bytes += " CA";
  std::ofstream(Data() / "RASGADA.DBF", std::ios::binary) << bytes;
  Result dump = Run("dump " + DataArg() + " rasgada");
  ASSERT_EQ(dump.exit_code, 0) << dump.err;
  EXPECT_EQ(dump.out, "NOME\r\nANA\r\nBIA\r\n");
  std::ifstream in(Data() / "RASGADA.DBF", std::ios::binary);
  const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(after, bytes);
}

TEST_F(DumpForeignTable, FieldsOfOneNameKeepTheirValues) {
  Write("DUPLO.DBF", {.fields = {{"ID", 'C', 3}, {"NOME", 'C', 3}, {"ID", 'N', 2}},
                      .records = {" A1 ANA 7"}});
  Result json = Run("dump " + DataArg() + " duplo --format json");
  ASSERT_EQ(json.exit_code, 0) << json.err;
  EXPECT_NE(json.out.find(R"({"ID":"A1","NOME":"ANA","ID":7})"), std::string::npos) << json.out;
  Result csv = Run("dump " + DataArg() + " duplo");
  EXPECT_EQ(csv.out, "ID,NOME,ID\r\nA1,ANA,7\r\n");
}

TEST_F(DumpForeignTable, TableWithoutFieldsPrintsNoValues) {
  Write("VAZIA.DBF", {});
  Result csv = Run("dump " + DataArg() + " vazia");
  ASSERT_EQ(csv.exit_code, 0) << csv.err;
  EXPECT_EQ(csv.out, "\r\n");
  Result json = Run("dump " + DataArg() + " vazia --format json");
  ASSERT_EQ(json.exit_code, 0) << json.err;
  const nlohmann::json doc = nlohmann::json::parse(json.out);
  EXPECT_TRUE(doc["fields"].empty());
  EXPECT_TRUE(doc["records"].empty());
}

TEST_F(DumpForeignTable, RefusalsNameWhatIsNotRead) {
  Write("FOX.DBF", {.version = 0xF5, .fields = {{"NOTA", 'M', 10}}, .records = {"          "}});
  Result fox = Run("dump " + DataArg() + " fox");
  EXPECT_EQ(fox.exit_code, 1);
  EXPECT_NE(fox.err.find("FOX.DBF: FoxPro memo file FOX.FPT not supported"), std::string::npos) << fox.err;
  Write("HORA.DBF", {.version = 0x30, .fields = {{"QUANDO", 'T', 8}}});
  Result hora = Run("dump " + DataArg() + " hora");
  EXPECT_EQ(hora.exit_code, 1);
  EXPECT_NE(hora.err.find("HORA.DBF: field QUANDO of type 'T' not supported"), std::string::npos) << hora.err;
}

}  // namespace

}  // namespace kaslo::cli
