// `kaslo view` and `kaslo replace` run as a user runs them, on reception
// files written into a data directory made by `kaslo init`; the tables are
// read back through the engine. The question is answered on a
// pseudo-terminal where a test needs a terminal. Also the exit statuses
// every command shares.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "cli/command_test_support.h"
#include "common/numbers.h"
#include "common/text.h"
#include "db/backup.h"
#include "db/database.h"
#include "db/table_ops.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoven.h"

namespace kaslo::cli {
namespace {

using namespace kaslo::cli::testing;
using nlohmann::json;

const char kQuestion[] = "Confirma substituir todos os dados do Cadastro, pelos dados selecionados ?";
const char kCompleta[] = "Substituição de cadastro completa !";

// One operator record of 39 characters: code, name, password, 16 flags.
std::string Operator(const std::string& code, const std::string& name, const std::string& password,
                     const std::string& flags) {
  return code + CompletaDireita(name, 15) + password + CompletaCom(flags, "N", 16);
}

// Sellers of 19 characters; a name holds a comma, and every name keeps
// its trailing blanks in the grid.
const char kSellers[] = "0001MARIA          0020JOSE, FILHO    ";

class ViewerCommand : public KasloCommand {
 protected:
  void SetUp() override {
    KasloCommand::SetUp();
    Result init = Init(" --demo");
    ASSERT_EQ(init.exit_code, 0) << init.err;
  }
  void Receive(const std::string& name, const std::string& line) {
    std::ofstream(Data() / name, std::ios::binary) << line << "\r\n";
  }
  Result View(const std::string& options) { return Run("view " + DataArg() + " " + options); }
  Result Replace(const std::string& options) { return Run("replace " + DataArg() + " " + options); }
  std::string Dump(std::string_view table) {
    Result dump = Run("dump " + DataArg() + " " + std::string(table));
    EXPECT_EQ(dump.exit_code, 0) << dump.err;
    return dump.out;
  }
};

TEST_F(ViewerCommand, SellersAsCsvAndJson) {
  Receive("Svend3.rec", kSellers);
  Result csv = View("--job 9 --terminal 3");
  ASSERT_EQ(csv.exit_code, 0) << csv.err;
  EXPECT_EQ(csv.out,
            "Código,Nome do Vendedor\r\n"
            "1,\"MARIA          \"\r\n"
            "20,\"JOSE, FILHO    \"\r\n");
  EXPECT_EQ(csv.err, "");

  Result as_json = View("--job 9 --terminal 3 --format json");
  ASSERT_EQ(as_json.exit_code, 0) << as_json.err;
  const json doc = json::parse(as_json.out);
  EXPECT_EQ(doc["columns"], json::array({"Código", "Nome do Vendedor"}));
  EXPECT_EQ(doc["rows"], json::array({json::array({"1", "MARIA          "}), json::array({"20", "JOSE, FILHO    "})}));
}

TEST_F(ViewerCommand, OperatorsAsCsvAndJson) {
  Receive("Suser2.rec", Operator("0005", "GERENTE", "4321", "SNNNNNNNNNNSS") + Operator("0006", "CAIXA", "0007", ""));
  Result csv = View("--job 8 --terminal 2 --format csv");
  ASSERT_EQ(csv.exit_code, 0) << csv.err;
  EXPECT_EQ(csv.out,
            "Código,Nome do Operador,Gerente,Senha,Desc.Item,Desc.SubTot.,Canc.Item,Canc.Cupom,Leitura X,"
            "Redução Z,Sangria,Fundo de Cx.,Limite,Relatórios,Acr.Item,Acr.SubTot.\r\n"
            "5,\"GERENTE        \",SIM,4321,SIM,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,SIM\r\n"
            "6,\"CAIXA          \",NÃO,0007,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO,NÃO\r\n");

  Result as_json = View("--job 8 --terminal 2 --format json");
  ASSERT_EQ(as_json.exit_code, 0) << as_json.err;
  const json doc = json::parse(as_json.out);
  ASSERT_EQ(doc["columns"].size(), 16u);
  ASSERT_EQ(doc["rows"].size(), 2u);
  for (const json& row : doc["rows"]) EXPECT_EQ(row.size(), 16u);
  EXPECT_EQ(doc["rows"][0][1], "GERENTE        ");
  EXPECT_EQ(doc["rows"][0][2], "SIM");
  EXPECT_EQ(doc["rows"][1][3], "0007");
}

TEST_F(ViewerCommand, ReplaceWithYesWritesTheTable) {
  Receive("Svend3.rec", kSellers);
  Result sellers = Replace("--job 9 --terminal 3 --yes");
  ASSERT_EQ(sellers.exit_code, 0) << sellers.err;
  EXPECT_NE(sellers.out.find(std::string(kQuestion) + " s\n"), std::string::npos) << sellers.out;
  {
    db::Database database(Data());
    // The last line names the backup of the sellers as they were.
    const std::vector<db::BackupInfo> backups = db::ListBackups(database);
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(backups[0].operation, "substituicao-ycoven");
    EXPECT_NE(sellers.out.find(std::string(kCompleta) + "\nCópia de segurança: backup/" + backups[0].name + "\n"),
              std::string::npos)
        << sellers.out;
    auto ven = database.open(ycoven::kTable, {.tag = "Um"});
    ASSERT_EQ(ven->recordCount(), 2u);
    ven->first();
    EXPECT_EQ(ven->asInteger(ycoven::VEN_CODIGO), 1);
    EXPECT_EQ(ven->getString(ycoven::VEN_NOME), "MARIA");
    ven->next();
    EXPECT_EQ(ven->asInteger(ycoven::VEN_CODIGO), 20);
    EXPECT_EQ(ven->getString(ycoven::VEN_NOME), "JOSE, FILHO");
  }

  // Code 0 is shown but not written.
  Receive("Suser1.rec", Operator("0000", "ZERO", "1111", "") + Operator("0005", "GERENTE", "4321", "SNNNNNNNNNNSS"));
  Result operators = Replace("--job 8 --terminal 1 --yes");
  ASSERT_EQ(operators.exit_code, 0) << operators.err;
  db::Database database(Data());
  auto ope = database.open(ycoope::kTable, {.tag = "Um"});
  ASSERT_EQ(ope->recordCount(), 1u);
  ope->first();
  EXPECT_EQ(ope->asInteger(ycoope::OPE_CODIGO), 5);
  EXPECT_EQ(ope->getString(ycoope::OPE_NOME), "GERENTE");
  EXPECT_EQ(ope->asInteger(ycoope::OPE_SENHA), 4321);
  EXPECT_EQ(ope->getString(ycoope::OPE_PERFIL), "S");
  EXPECT_EQ(ope->getString(ycoope::OPE_DITEM), "S");
  EXPECT_EQ(ope->getString(ycoope::OPE_DSUBTO), "N");
  EXPECT_EQ(ope->getString(ycoope::OPE_ASUBTO), "S");
}

// A product register over an older stock field: the field is converted
// first, and its backup is named on stderr, as the window names none; the
// replacement's own backup ends the message on stdout.
TEST_F(ViewerCommand, ProductsNameTheBackupsOfTheConversionAndOfTheReplacement) {
  {
    const std::vector<std::string> drop = {std::string(ycopro::PRO_ESTQ.name)};
    const db::FieldDef narrow[] = {db::Num(ycopro::PRO_ESTQ.name, 8, 2)};
    db::Restructure(db::Database(Data()), ycopro::kTable, drop, narrow);
  }
  std::ofstream(Data() / "Sid3.rec", std::ios::binary) << std::string(21, 'X') << "3identity\r\n";
  const std::string record = CompactaBCD("000000001234") + CompletaDireita("ARROZ", 20) + CompactaBCD("00000150") +
                             CompactaBCD("01") + CompactaBCD("05") + CompactaBCD("000000000000") +
                             std::string(36, '\0') + CompactaBCD("00012050") + std::string(1, '\0') + "3";
  ASSERT_EQ(record.size(), 80u);
  std::ofstream(Data() / "SProds3.rec", std::ios::binary) << record;

  Result r = Replace("--job 18 --terminal 3 --yes");
  ASSERT_EQ(r.exit_code, 0) << r.err;

  const std::vector<db::BackupInfo> backups = db::ListBackups(db::Database(Data()));
  ASSERT_EQ(backups.size(), 2u);
  EXPECT_EQ(backups[0].operation, "conversao-estoque");
  EXPECT_EQ(backups[1].operation, "substituicao-produtos");
  EXPECT_NE(r.err.find("Cópia de segurança: backup/" + backups[0].name + "\n"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find(backups[0].name), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(std::string(kCompleta) + "\nCópia de segurança: backup/" + backups[1].name + "\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(db::Database(Data()).open(ycopro::kTable)->recordCount(), 1u);
}

// Without --yes the answer comes from a terminal only: a closed or piped
// stdin says no, even when the pipe says yes.
TEST_F(ViewerCommand, ReplaceAnsweredNoWhereThereIsNoTerminal) {
  Receive("Svend3.rec", kSellers);
  const std::string before = Dump(ycoven::kTable);
  ASSERT_GT(std::count(before.begin(), before.end(), '\n'), 1) << "the demo store has sellers";

  Result closed = Replace("--job 9 --terminal 3");
  EXPECT_EQ(closed.exit_code, 3) << closed.err;
  EXPECT_NE(closed.out.find(std::string(kQuestion) + " [s/N] \n"), std::string::npos) << closed.out;
  EXPECT_EQ(closed.out.find(kCompleta), std::string::npos) << closed.out;

  Result piped = RunShell(scratch_.path(), "echo s | " + Quoted(KasloBinary().string()) + " replace " + DataArg() +
                                               " --job 9 --terminal 3");
  EXPECT_EQ(piped.exit_code, 3) << piped.err;
  EXPECT_EQ(Dump(ycoven::kTable), before);
}

TEST_F(ViewerCommand, TheQuestionOnATerminalDefaultsToNo) {
  Receive("Svend3.rec", kSellers);
  const std::string before = Dump(ycoven::kTable);
  const std::vector<std::string> args{Data().string(), "--job", "9", "--terminal", "3"};
  std::vector<std::string> replace{"replace"};
  replace.insert(replace.end(), args.begin(), args.end());

  TerminalRun enter = OnTerminal(replace, "\n");
  EXPECT_EQ(enter.exit_code, 3) << enter.screen;
  EXPECT_NE(enter.screen.find(kQuestion), std::string::npos) << enter.screen;
  EXPECT_EQ(Dump(ycoven::kTable), before);

  TerminalRun yes = OnTerminal(replace, "s\n");
  EXPECT_EQ(yes.exit_code, 0) << yes.screen;
  EXPECT_NE(yes.screen.find(kCompleta), std::string::npos) << yes.screen;
  db::Database database(Data());
  EXPECT_EQ(database.open(ycoven::kTable)->recordCount(), 2u);
}

TEST_F(ViewerCommand, RefusedKindsAndMissingFilesWriteNothing) {
  Receive("Svend3.rec", kSellers);
  Receive("Scodbarra3.rec", "");
  const std::string before = Dump(ycoven::kTable);

  // Kinds the viewer does not decode are usage errors, for both commands.
  for (const char* job : {"1", "23", "99", "5000"}) {
    Result view = View("--job " + std::string(job) + " --terminal 3");
    EXPECT_EQ(view.exit_code, 2) << job << view.err;
    EXPECT_NE(view.err.find("job kind " + std::string(job)), std::string::npos) << view.err;
    EXPECT_EQ(Replace("--job " + std::string(job) + " --terminal 3 --yes").exit_code, 2) << job;
  }

  // 17 has nothing to write, 19 and 24 are view only: refused before the
  // question.
  for (const char* job : {"17", "19", "24"}) {
    Result replace = Replace("--job " + std::string(job) + " --terminal 3");
    EXPECT_EQ(replace.exit_code, 1) << job << replace.err;
    EXPECT_NE(replace.err.find("job kind " + std::string(job)), std::string::npos) << replace.err;
    EXPECT_EQ(replace.out.find(kQuestion), std::string::npos) << replace.out;
  }
  EXPECT_EQ(View("--job 17 --terminal 3").exit_code, 1);

  Result missing = View("--job 9 --terminal 4");
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("Svend4.rec"), std::string::npos) << missing.err;
  EXPECT_EQ(missing.out, "");
  Result missing_replace = Replace("--job 8 --terminal 3 --yes");
  EXPECT_EQ(missing_replace.exit_code, 1);
  EXPECT_NE(missing_replace.err.find("Suser3.rec"), std::string::npos) << missing_replace.err;

  fs::create_directories(scratch_.path() / "vazio");
  std::ofstream(scratch_.path() / "vazio" / "Svend3.rec", std::ios::binary) << kSellers;
  for (const char* command : {"view", "replace --yes"}) {
    Result no_tables = Run(std::string(command) + " " + Quoted((scratch_.path() / "vazio").string()) +
                           " --job 9 --terminal 3");
    EXPECT_EQ(no_tables.exit_code, 1) << command << no_tables.err;
    EXPECT_NE(no_tables.err.find("no tables"), std::string::npos) << no_tables.err;
  }
  EXPECT_EQ(Dump(ycoven::kTable), before);
}

TEST_F(ViewerCommand, AnEngineErrorIsAFailure) {
  Receive("Svend3.rec", kSellers);
  // This test's process holds the table the replacement empties: the
  // command's exclusive open is refused and nothing is removed.
  db::Database database(Data());
  auto held = database.open(ycoven::kTable);
  const size_t sellers = held->recordCount();
  Result replace = Replace("--job 9 --terminal 3 --yes");
  EXPECT_EQ(replace.exit_code, 1) << replace.out;
  EXPECT_NE(replace.err.find("YCOVEN.DBF"), std::string::npos) << replace.err;
  held->refresh();
  EXPECT_EQ(held->recordCount(), sellers);
}

// The statuses every command shares: 2 for what the command line cannot
// take, 0 for help, 3 for a question answered no.
TEST_F(ViewerCommand, ExitStatusesOfEveryCommand) {
  Receive("Svend3.rec", kSellers);
  EXPECT_EQ(View("--job 9 --terminal 3 --colour").exit_code, 2);
  EXPECT_EQ(View("--job nove --terminal 3").exit_code, 2);
  EXPECT_EQ(View("--job 9 --terminal 0").exit_code, 2);
  EXPECT_EQ(View("--job 9 --terminal 3 --format xml").exit_code, 2);
  EXPECT_EQ(View("--terminal 3").exit_code, 2);
  EXPECT_EQ(Run("").exit_code, 2);
  EXPECT_EQ(Run("frobnicate").exit_code, 2);
  EXPECT_EQ(Run("check " + DataArg() + " --verbose").exit_code, 2);
  EXPECT_EQ(Run("serve " + DataArg() + " --job 5000").exit_code, 2);
  EXPECT_EQ(Run("sintegra-daily " + DataArg() + " 13/2026").exit_code, 2);

  Result help = Run("view --help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("--terminal"), std::string::npos) << help.out;
  EXPECT_EQ(Run("--help").exit_code, 0);

  // The stock conversion asks first; no answer leaves the stock as it is.
  const std::string stock_before = Dump(ycopro::kTable);
  Result convert = Run("convert-stock " + DataArg());
  EXPECT_EQ(convert.exit_code, 3) << convert.err;
  EXPECT_EQ(Dump(ycopro::kTable), stock_before);
}

}  // namespace
}  // namespace kaslo::cli
