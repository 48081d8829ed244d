// Operators, sellers, department groups and departments: from the received
// line to the grid, and from the grid into real tables.
#include "viewers/text_registers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/text.h"
#include "db/backup.h"
#include "db/table_swap.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycoven.h"
#include "viewers/register_viewer.h"
#include "viewers/test_support.h"

namespace kaslo::viewers {
namespace {

using testing::DataDirTest;

// One operator record of 39 characters; flags holds up to 16 flags.
std::string Operator(const std::string& code, const std::string& name, const std::string& password,
                     const std::string& flags) {
  return code + CompletaDireita(name, 15) + password + CompletaCom(flags, "N", 16);
}

TEST(OperatorDecodingTest, LineOfTwoRecordsGivesTwoRowsAndTheTotal) {
  std::string line = Operator("0001", "ANA", "1234", "") + Operator("0012", "BRUNO", "0042", "");
  ASSERT_EQ(78u, line.size());
  RegisterGrid grid = DecodeOperators(line);
  ASSERT_EQ(2u, grid.rows.size());
  EXPECT_EQ("Leitura do Cadastro de Operadores - Total de Registros [ 2 ]",
            ViewerCaption("Leitura do Cadastro de Operadores", grid));
  EXPECT_EQ((std::vector<std::string>{"Código", "Nome do Operador", "Gerente", "Senha", "Desc.Item",
                                      "Desc.SubTot.", "Canc.Item", "Canc.Cupom", "Leitura X", "Redução Z",
                                      "Sangria", "Fundo de Cx.", "Limite", "Relatórios", "Acr.Item",
                                      "Acr.SubTot."}),
            grid.headers);
  EXPECT_EQ("12", grid.rows[1][0]);
  EXPECT_EQ("BRUNO          ", grid.rows[1][1]);  // trailing blanks kept
  EXPECT_EQ("0042", grid.rows[1][3]);
  for (const auto& row : grid.rows) EXPECT_EQ(16u, row.size());
}

TEST(OperatorDecodingTest, FlagsTakeTheirColumns) {
  // Flag 1 (Desc.Item), 11 (Acr.Item) and 13 (manager) set.
  RegisterGrid grid = DecodeOperators(Operator("0003", "CAIXA", "0000", "SNNNNNNNNNSNS"));
  ASSERT_EQ(1u, grid.rows.size());
  const auto& row = grid.rows[0];
  EXPECT_EQ("SIM", row[2]);   // Gerente
  EXPECT_EQ("SIM", row[4]);   // Desc.Item
  EXPECT_EQ("NÃO", row[5]);   // Desc.SubTot.
  EXPECT_EQ("SIM", row[14]);  // Acr.Item
  EXPECT_EQ("NÃO", row[15]);  // Acr.SubTot.
}

TEST(OperatorDecodingTest, ZeroCodeIsShownAndShortOrBlankTailsEnd) {
  std::string line = Operator("0000", "SEM CODIGO", "1111", "") + "0007PEDRO";
  RegisterGrid grid = DecodeOperators(line + "      ");
  ASSERT_EQ(2u, grid.rows.size());
  EXPECT_EQ("0", grid.rows[0][0]);
  // The short last record yields the fields it has.
  EXPECT_EQ("7", grid.rows[1][0]);
  EXPECT_EQ("PEDRO      ", grid.rows[1][1]);
  EXPECT_EQ("", grid.rows[1][3]);
  EXPECT_EQ("NÃO", grid.rows[1][2]);

  EXPECT_TRUE(DecodeOperators("").rows.empty());
  EXPECT_TRUE(DecodeOperators("    ").rows.empty());
}

TEST(OperatorDecodingTest, Latin1NamesBecomeUtf8) {
  RegisterGrid grid = DecodeOperators(Operator("0001", "CONCEI\xC7\xC3O", "1234", ""));
  EXPECT_EQ("CONCEIÇÃO      ", grid.rows[0][1]);
}

TEST(DepartmentDecodingTest, CodeFromTheFirstTwoCharactersOnly) {
  RegisterGrid grid = DecodeDepartments("0599MERCEARIA      " "10  LIMPEZA GERAL  ");
  ASSERT_EQ(2u, grid.rows.size());
  EXPECT_EQ((std::vector<std::string>{"5", "MERCEARIA      "}), grid.rows[0]);
  EXPECT_EQ((std::vector<std::string>{"10", "LIMPEZA GERAL  "}), grid.rows[1]);
  EXPECT_EQ((std::vector<std::string>{"Código", "Descrição"}), grid.headers);
}

TEST(SellerAndGroupDecodingTest, RecordLengths) {
  RegisterGrid sellers = DecodeSellers("0001MARIA          0020JOSE           ");
  ASSERT_EQ(2u, sellers.rows.size());
  EXPECT_EQ("20", sellers.rows[1][0]);
  EXPECT_EQ((std::vector<std::string>{"Código", "Nome do Vendedor"}), sellers.headers);
  RegisterGrid groups = DecodeGroups("01BEBIDAS             02LIMPEZA             ");
  ASSERT_EQ(2u, groups.rows.size());
  EXPECT_EQ((std::vector<std::string>{"2", "LIMPEZA             "}), groups.rows[1]);
}

TEST(TextDisplayTest, OnlyTheFirstLineIsReadAndAMissingFileIsEmpty) {
  auto dir = std::filesystem::temp_directory_path() / ("kaslo_viewers_line_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  {
    std::ofstream out(dir / "Svend3.rec", std::ios::binary);
    out << "0001MARIA          \r\n0002OUTRA LINHA    \r\n";
  }
  testing::ProgressRecorder progress;
  SetProgressPort(&progress);
  EXPECT_EQ(1u, DisplaySellers(dir / "Svend3.rec").rows.size());
  EXPECT_EQ(std::vector<std::string>{"Aguarde, processando arquivos recebidos..."}, progress.texts);
  EXPECT_EQ(1, progress.hides);
  EXPECT_TRUE(DisplaySellers(dir / "Svend9.rec").rows.empty());
  SetProgressPort(nullptr);
  std::filesystem::remove_all(dir);
}

class TextReplaceTest : public DataDirTest {};

TEST_F(TextReplaceTest, OperatorsReplaceTheTableAndSkipCodeZero) {
  {
    auto ope = db_->open(ycoope::kTable);
    ope->append();
    ope->setNumber(ycoope::OPE_CODIGO, 99);
    ope->setString(ycoope::OPE_NOME, "ANTIGO");
    ope->post();
  }
  std::string line = Operator("0000", "ZERO", "1111", "") + Operator("0005", "GERENTE", "4321", "SNNNNNNNNNNSS") +
                     Operator("0006", "CAIXA", "0007", "NNNNNNNNNNSN");
  RegisterGrid grid = DecodeOperators(line);
  ReplaceOutcome outcome = ReplaceOperators(*db_, grid);
  EXPECT_TRUE(outcome.completed);
  EXPECT_EQ("Substituição de cadastro completa !", outcome.message);
  EXPECT_EQ(2u, outcome.rows_written);
  EXPECT_EQ((std::vector<std::string>{"Aguarde, eliminando registros anteriores...",
                                      "Aguarde, processando registros atuais..."}),
            progress_.texts);

  auto ope = db_->open(ycoope::kTable, {.tag = "Um"});
  ASSERT_EQ(2u, ope->recordCount());
  ASSERT_TRUE(ope->findKey(5));
  EXPECT_EQ("GERENTE", ope->getString(ycoope::OPE_NOME));
  EXPECT_EQ("S", ope->getString(ycoope::OPE_PERFIL));
  EXPECT_EQ(4321, ope->asInteger(ycoope::OPE_SENHA));
  EXPECT_EQ("S", ope->getString(ycoope::OPE_DITEM));
  EXPECT_EQ("S", ope->getString(ycoope::OPE_ASUBTO));  // flag 12
  EXPECT_EQ("N", ope->getString(ycoope::OPE_AITEM));
  ASSERT_TRUE(ope->findKey(6));
  EXPECT_EQ("N", ope->getString(ycoope::OPE_PERFIL));
  EXPECT_EQ("S", ope->getString(ycoope::OPE_AITEM));  // flag 11
  EXPECT_EQ(7, ope->asInteger(ycoope::OPE_SENHA));
  EXPECT_FALSE(ope->findKey(0));
  EXPECT_FALSE(ope->findKey(99));
}

void AddSeller(const db::Database& db, double code) {
  auto ven = db.open(ycoven::kTable);
  ven->append();
  ven->setNumber(ycoven::VEN_CODIGO, code);
  ven->post();
}

TEST_F(TextReplaceTest, AFailedRowStopsTheWalkAndKeepsEveryOldRow) {
  AddSeller(*db_, 8);
  RegisterGrid grid = DecodeSellers("0001MARIA          ");
  grid.rows.push_back({"123456", "LARGO DEMAIS"});  // wider than VEN_CODIGO
  grid.rows.push_back({"3", "NUNCA"});
  ReplaceOutcome outcome = ReplaceSellers(*db_, grid);
  EXPECT_FALSE(outcome.completed);
  EXPECT_EQ("Erro ao tentar incluir novo registro", outcome.message);
  EXPECT_FALSE(outcome.detail.empty());
  EXPECT_EQ(1u, outcome.rows_written);
  EXPECT_EQ("Erro ao tentar incluir novo registro", ShownMessage(outcome));
  auto ven = db_->open(ycoven::kTable, {.tag = "Um"});
  EXPECT_EQ(1u, ven->recordCount());
  EXPECT_TRUE(ven->findKey(8));
  EXPECT_TRUE(db::ListBackups(*db_).empty());
  EXPECT_FALSE(std::filesystem::exists(dir_ / db::TableSwap::kFolder));
}

TEST_F(TextReplaceTest, AFinishedReplacementKeepsTheOldTableInItsBackup) {
  AddSeller(*db_, 8);
  ReplaceOutcome outcome = ReplaceSellers(*db_, DecodeSellers("0001MARIA          "));
  ASSERT_TRUE(outcome.completed) << outcome.detail;
  EXPECT_TRUE(outcome.backup.ends_with("-substituicao-ycoven")) << outcome.backup;
  EXPECT_EQ("Substituição de cadastro completa !\rCópia de segurança: backup/" + outcome.backup,
            ShownMessage(outcome));
  auto saved = db::Database(dir_ / db::kBackupFolder / outcome.backup).open(ycoven::kTable, {.tag = "Um"});
  EXPECT_EQ(1u, saved->recordCount());
  EXPECT_TRUE(saved->findKey(8));
  auto ven = db_->open(ycoven::kTable, {.tag = "Um"});
  EXPECT_EQ(1u, ven->recordCount());
  EXPECT_TRUE(ven->findKey(1));
}

TEST_F(TextReplaceTest, GroupsKeepTheirMembersWithTheNewDescription) {
  {
    auto grp = db_->open(ycogrp::kTable);
    auto add = [&](double grp_code, const char* descr, std::optional<double> dep) {
      grp->append();
      grp->setNumber(ycogrp::GRP_CODIGO, grp_code);
      grp->setString(ycogrp::GRP_DESCR, descr);
      if (dep) grp->setNumber(ycogrp::DEP_CODIGO, *dep);
      grp->post();
    };
    grp->first();
    while (!grp->eof()) grp->remove();
    add(1, "VELHO 1", std::nullopt);
    add(1, "VELHO 1", 3);
    add(2, "VELHO 2", 0);  // a definition written with a zero department
    add(1, "VELHO 1", 4);
    add(2, "VELHO 2", 7);
  }
  RegisterGrid grid = DecodeGroups("01BEBIDAS             02LIMPEZA             00NADA                ");
  ReplaceOutcome outcome = ReplaceGroups(*db_, grid);
  EXPECT_TRUE(outcome.completed);
  EXPECT_EQ(2u, outcome.rows_written);

  auto grp = db_->open(ycogrp::kTable);
  std::map<int64_t, std::pair<int64_t, std::string>> members;
  std::map<int64_t, std::string> definitions;
  for (grp->first(); !grp->eof(); grp->next()) {
    int64_t code = grp->asInteger(ycogrp::GRP_CODIGO);
    if (grp->isBlank(ycogrp::DEP_CODIGO)) {
      EXPECT_FALSE(definitions.count(code));
      definitions[code] = grp->getString(ycogrp::GRP_DESCR);
    } else {
      members[grp->asInteger(ycogrp::DEP_CODIGO)] = {code, grp->getString(ycogrp::GRP_DESCR)};
    }
  }
  EXPECT_EQ((std::map<int64_t, std::string>{{1, "BEBIDAS"}, {2, "LIMPEZA"}}), definitions);
  EXPECT_EQ((std::map<int64_t, std::pair<int64_t, std::string>>{
                {3, {1, "BEBIDAS"}}, {4, {1, "BEBIDAS"}}, {7, {2, "LIMPEZA"}}}),
            members);
}

TEST_F(TextReplaceTest, DepartmentsReplaceTheTable) {
  {
    auto dep = db_->open(ycodep::kTable);
    dep->append();
    dep->setNumber(ycodep::DEP_CODIGO, 40);
    dep->post();
  }
  RegisterGrid grid = DecodeDepartments("0501MERCEARIA      0000NINGUEM        1201PADARIA        ");
  ReplaceOutcome outcome = ReplaceRegister(*db_, kLeituraDepartamentos, grid);
  EXPECT_TRUE(outcome.completed);
  auto dep = db_->open(ycodep::kTable, {.tag = "Um"});
  EXPECT_EQ(2u, dep->recordCount());
  ASSERT_TRUE(dep->findKey(5));
  EXPECT_EQ("MERCEARIA", dep->getString(ycodep::DEP_DESCR));
  EXPECT_TRUE(dep->isBlank(ycodep::TRB_CODIGO));
  EXPECT_TRUE(dep->findKey(12));
  EXPECT_FALSE(dep->findKey(40));
}

TEST_F(TextReplaceTest, ALockedTableIsReportedByTheEngineAndKeepsItsRows) {
  {
    auto ven = db_->open(ycoven::kTable);
    ven->append();
    ven->setNumber(ycoven::VEN_CODIGO, 8);
    ven->post();
  }
  auto holder = db_->open(ycoven::kTable);  // another station browsing sellers
  EXPECT_THROW(ReplaceSellers(*db_, DecodeSellers("0001MARIA          ")), db::Error);
  EXPECT_GE(progress_.hides, 1);
  holder.reset();
  EXPECT_EQ(1u, Rows(ycoven::kTable));
}

}  // namespace
}  // namespace kaslo::viewers
