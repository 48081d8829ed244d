// The rules of the parameter and terminal-option windows over real tables.
#include <gtest/gtest.h>

#include "comm/load_files.h"
#include "config/parameters.h"
#include "config/terminal_options.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycoycf.h"
#include "db/temp_data_dir.h"

namespace kaslo::config {
namespace {

size_t Rows(const db::Database& db, std::string_view table) { return db.open(table)->recordCount(); }

TEST(ParameterRow, AnEmptyTableGetsItsFirstRow) {
  db::testing::TempDataDir dir;
  auto prm = dir.db().open(ycoprm::kTable, {.tag = "", .exclusive = true});
  prm->emptyTable();
  BeginParameterEdit(*prm);
  EXPECT_EQ(prm->mode(), db::Mode::kInsert);
  prm->setString(ycoprm::PRM_RAZAOS, "LOJA NOVA");
  ASSERT_TRUE(prm->post());
  prm.reset();
  EXPECT_EQ(Rows(dir.db(), ycoprm::kTable), 1u);
}

TEST(ParameterRow, ARowWithoutCnpjIsEditedInPlace) {
  db::testing::TempDataDir dir;  // a fresh installation: one row, CNPJ 0
  {
    auto prm = dir.db().open(ycoprm::kTable);
    ASSERT_EQ(prm->recordCount(), 1u);
    ASSERT_EQ(prm->asNumber(ycoprm::PRM_CNPJ), 0);
    BeginParameterEdit(*prm);
    EXPECT_EQ(prm->mode(), db::Mode::kEdit);
    prm->setString(ycoprm::PRM_RAZAOS, "MERCADO BOA VISTA");
    prm->setNumber(ycoprm::PRM_CNPJ, 11222333000181);
    ASSERT_TRUE(prm->post());
  }
  auto prm = dir.db().open(ycoprm::kTable);
  EXPECT_EQ(prm->recordCount(), 1u);
  prm->first();
  EXPECT_EQ(prm->getString(ycoprm::PRM_RAZAOS), "MERCADO BOA VISTA");
}

TEST(ParameterRow, CentringChoicesReachTheHeaderAndFooterLoads) {
  db::testing::TempDataDir dir;
  {
    auto prm = dir.db().open(ycoprm::kTable);
    BeginParameterEdit(*prm);
    prm->setString(ycoprm::PRM_RAZAOS, "LOJA");
    prm->setString(ycoprm::Q40_EXPA1, "N");
    WriteCentring(*prm, kHeaderCentring[0], "S");
    WriteCentring(*prm, kHeaderCentring[3], "N");
    ASSERT_TRUE(prm->post());
    EXPECT_EQ(prm->getString(ycoprm::Q40_CAMCEN), "S");
    EXPECT_EQ(prm->getString(ycoprm::Q40_CEN1), "S");
    EXPECT_EQ(prm->getString(ycoprm::Q40_CAMCE3), "N");
    EXPECT_EQ(prm->getString(ycoprm::Q40_CEN4), "N");
  }
  // "LOJA" centred in 42 columns.
  EXPECT_NE(comm::HeaderFile(dir.db()).find(std::string(19, ' ') + "LOJA" + std::string(19, ' ')), std::string::npos);
  {
    auto ycf = dir.db().open(ycoycf::kTable);
    ycf->first();
    ycf->edit();
    ycf->setString(ycoycf::YCF_MSG2, "VOLTE SEMPRE");
    ycf->setString(ycoycf::YCF_EXPA2, "N");
    WriteCentring(*ycf, kMessageCentring[1], "S");
    ASSERT_TRUE(ycf->post());
    EXPECT_EQ(ycf->getString(ycoycf::YCF_CAMCE1), "S");
    EXPECT_EQ(ycf->getString(ycoycf::YCF_CEN2), "S");
  }
  const std::string footer = comm::FooterFile(dir.db());
  EXPECT_NE(footer.find(std::string(15, ' ') + "VOLTE SEMPRE" + std::string(15, ' ')), std::string::npos);
}

TEST(ParameterRow, ChoicesShownForStoredValues) {
  EXPECT_EQ(FreeCodeSearchShown(""), "S");
  EXPECT_EQ(FreeCodeSearchShown("S"), "S");
  EXPECT_EQ(FreeCodeSearchShown("N"), "N");
  EXPECT_EQ(LogOnLineText(false), "NAO");
  EXPECT_EQ(LogOnLineText(true), "SIM");
  EXPECT_TRUE(LogOnLineChosen("SIM"));
  EXPECT_FALSE(LogOnLineChosen("NAO"));
  EXPECT_EQ(EditFailure(kMsgAlterarFalhou, "YCOPRM.DBF: disk full"),
            "Não foi possível alterar o registro !\r\nTente novamente, ou cancele a operação.\r\nYCOPRM.DBF: disk full");
}

TEST(TerminalOptions, EachPageHasItsTableAndJobs) {
  using P = OptionsPage;
  EXPECT_EQ(TableOfPage(P::kPaymentTypes), "Ycoq40");
  EXPECT_EQ(TableOfPage(P::kMiscellaneous), "Ycoprm");
  for (P page : {P::kPeripherals, P::kAdjustments, P::kMessage}) EXPECT_EQ(TableOfPage(page), "Ycoycf");
  const std::pair<P, PageJobs> jobs[] = {{P::kPaymentTypes, {12, 121}}, {P::kMiscellaneous, {13, 131}},
                                         {P::kPeripherals, {13, 131}},  {P::kAdjustments, {14, 141}},
                                         {P::kMessage, {15, 151}}};
  for (const auto& [page, expected] : jobs) {
    EXPECT_EQ(JobsOfPage(page).read, expected.read);
    EXPECT_EQ(JobsOfPage(page).send, expected.send);
  }
}

TEST(TerminalOptions, TheSaveFailureKeepsItsLoneCarriageReturn) {
  EXPECT_EQ(EditFailure(kMsgGravarFalhou, ""),
            "Não foi possível alterar o registro !\rTente novamente ou cancele a alteração.");
}

TEST(TerminalOptions, ARateAppliesToPercentagesOnly) {
  EXPECT_TRUE(RateApplies("P"));
  EXPECT_TRUE(RateApplies(""));
  EXPECT_FALSE(RateApplies("V"));
  EXPECT_EQ(kAdjustmentGroups[1].rate.name, "YCF_DIPER");
  EXPECT_EQ(kAdjustmentGroups[1].may_alter.name, "YCF_DIALT");
  EXPECT_EQ(kAdjustmentGroups[3].type.name, "YCF_AITIPO");
}

TEST(TerminalOptions, WithoutPaymentTypesOnlyReadingAndLeaving) {
  const OptionCommands none = AvailableOptionCommands(false, false);
  EXPECT_TRUE(none.ler && none.sair);
  EXPECT_FALSE(none.alterar || none.localizar || none.enviar || none.gravar || none.cancelar);
  const OptionCommands browsing = AvailableOptionCommands(false, true);
  EXPECT_TRUE(browsing.alterar && browsing.localizar && browsing.ler && browsing.enviar && browsing.sair);
  const OptionCommands editing = AvailableOptionCommands(true, true);
  EXPECT_TRUE(editing.gravar && editing.cancelar);
  EXPECT_FALSE(editing.alterar || editing.localizar || editing.ler || editing.enviar || editing.sair);
}

}  // namespace
}  // namespace kaslo::config
