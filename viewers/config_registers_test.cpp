// The configuration blocks: how each received line shows in the grid, and
// what a replacement writes back from the grid's cells.
#include "viewers/config_registers.h"

#include <gtest/gtest.h>

#include <tuple>

#include "db/backup.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycotey.h"
#include "db/tables/ycoycf.h"
#include "viewers/payment_types_testing.h"
#include "viewers/register_viewer.h"
#include "viewers/test_support.h"

namespace kaslo::viewers {
namespace {

using Row = std::vector<std::string>;
using GridRows = std::vector<Row>;

std::string Blanks(size_t n) { return std::string(n, ' '); }

// ---- payment types

const std::string kNames = "DINHEIRO       " + Blanks(15) + "CONVENIO       ";

TEST(PaymentTypes, UnderTwelveEveryConfigurationFillsTheRowOfItsName) {
  RegisterGrid grid = DecodePaymentConfig(kNames, "00150SS1S12345NN4N00000SN7S");
  EXPECT_EQ(grid.headers,
            (Row{"Finalizadora", "Nome", "Lim.Receb.", "Perm.Troco", "Tipo", "Abrir Gav.", "Em.Cont.Val."}));
  EXPECT_EQ(grid.rows, (GridRows{{"01", "DINHEIRO       ", "150.00", "SIM", "1 PADRÃO", "SIM", "SIM"},
                             {"02", Blanks(15), "12345.00", "NÃO", "4 CONVÊNIO", "NÃO", "NÃO"},
                             // An unknown kind leaves its cell empty.
                             {"03", "CONVENIO       ", "0.00", "SIM", "", "NÃO", "SIM"}}));
}

TEST(PaymentTypes, UnderTwelveRowsBeyondTheConfigurationsHaveNoNumber) {
  RegisterGrid grid = DecodePaymentConfig(kNames, "00150SS1S");
  ASSERT_EQ(grid.rows.size(), 3u);
  EXPECT_EQ(grid.rows[1], (Row{"", Blanks(15), "", "", "", "", ""}));
  // Configurations beyond the names are not shown.
  EXPECT_EQ(DecodePaymentConfig("DINHEIRO", "00150SS1S00200SS2S").rows.size(), 1u);
}

TEST(PaymentTypes, UnderTwentyABlankNameIsUndefinedAndEveryRowHasItsNumber) {
  RegisterGrid grid = DecodePayments(kNames, "00150SS1S12345NN4N");
  EXPECT_EQ(grid.rows, (GridRows{{"01", "DINHEIRO       ", "150.00", "SIM", "1 PADRÃO", "SIM", "SIM"},
                             {"02", "FINALIZADORA NÃO DEFINIDA", "12345.00", "NÃO", "4 CONVÊNIO", "NÃO", "NÃO"},
                             {"03", "CONVENIO       ", "", "", "", "", ""}}));
  EXPECT_TRUE(DecodePayments(Blanks(30), "00150SS1S").rows.empty());
}

class ConfigReplaceTest : public testing::DataDirTest {
 protected:
  using Q40Row = testing::PaymentTypeRow;

  std::vector<Q40Row> PaymentRows() { return testing::PaymentTypeRows(*db_); }

  void AddPaymentType(int code, std::string_view name) {
    auto q40 = db_->open(ycoq40::kTable);
    q40->append();
    q40->setNumber(ycoq40::Q40_CODIGO, code);
    q40->setString(ycoq40::Q40_DESCR, name);
    q40->setString(ycoq40::Q40_TIPO, "2");
    q40->post();
  }

  std::string Ycf(const db::FieldDef& f) { return db_->open(ycoycf::kTable)->getString(f); }
  std::string Prm(const db::FieldDef& f) { return db_->open(ycoprm::kTable)->getString(f); }
};

TEST_F(ConfigReplaceTest, TwelveWritesInPlaceAndSkipsRowsWithoutANumber) {
  AddPaymentType(2, "ANTIGO");
  AddPaymentType(7, "OUTRA");
  ReplaceOutcome outcome = ReplacePaymentConfig(*db_, DecodePaymentConfig(kNames, "00150SS1S12345NN4N"));
  EXPECT_TRUE(outcome.completed);
  EXPECT_EQ(outcome.message, "Substituição de cadastro completa !");
  EXPECT_EQ(outcome.rows_written, 2u);
  // Row 2 keeps its blank name; 7 is not touched; 3 had no configuration.
  EXPECT_EQ(PaymentRows(), (std::vector<Q40Row>{{1, "DINHEIRO", "1", "S", "S", "S", 150},
                                                {2, "", "4", "N", "N", "N", 12345},
                                                {7, "OUTRA", "2", "", "", "", 0}}));
  // Nothing is deleted, yet the window announces it as for the other registers.
  EXPECT_EQ(progress_.texts, (Row{"Aguarde, eliminando registros anteriores...",
                                  "Aguarde, processando registros atuais..."}));
}

TEST_F(ConfigReplaceTest, TwentyEmptiesTheTableAndLeavesTheUndefinedOut) {
  AddPaymentType(7, "OUTRA");
  ReplaceOutcome outcome = ReplacePayments(*db_, DecodePayments(kNames, "00150SS1S12345NN4N"));
  EXPECT_TRUE(outcome.completed);
  // The third name had no configuration: its row goes in with empty flags.
  EXPECT_EQ(PaymentRows(), (std::vector<Q40Row>{{1, "DINHEIRO", "1", "S", "S", "S", 150},
                                                {3, "CONVENIO", "", "", "", "", 0}}));
  EXPECT_EQ(progress_.texts, (Row{"Aguarde, processando registros atuais..."}));
}

// ---- parameters and peripherals

TEST(Parameters, NineFixedRowsReadByPosition) {
  RegisterGrid grid = DecodeParameters("SNG1", "PS 12 345", "SNSNSNS43");
  EXPECT_EQ(grid.headers, (Row{"Parâmetros Diversos", "Opção", "Periféricos", "Opção"}));
  EXPECT_EQ(grid.rows, (GridRows{{"GAVETA PRESENTE ?:", "G", "BALANÇA PRESENTE ?:", "SIM"},
                             {"PROD.C/DÍGITO ?:", "SIM", "TIPO ETQ.DE BALANÇA:", "PESO"},
                             {"VALOR.MAX.P/REG.:", "12,345.00", "", ""},
                             {"HABIL.ABERT.GAV.C/TEC.SUBTOTAL ?:", "SIM", "TEF/POS:", "NÃO"},
                             {"IMP.COMPROVANTE APOS AB.GAV. ?:", "NÃO", "TEF/PORTA DO PINPAD?:", "1"},
                             {"AB.GAV.APOS EMISS.DE RELATORIO ?:", "SIM", "TOTAIS EM ZERO ?:", "SIM"},
                             {"LIMITE DE AUTENTICAÇÕES:", "3", "ENTER=TOTAL ?:", "NÃO"},
                             {"DESCONTO ISS?:", "NÃO", "LOGS Z?:", "SIM"},
                             {"DEPTO. ABERTO?:", "SIM", "VIAS CONVÊNIO:", ""}}));
  // "N" reads NÃO where the character is otherwise shown as it is.
  EXPECT_EQ(DecodeParameters("NNNN", "VN", "").rows[0][1], "NÃO");
  EXPECT_EQ(DecodeParameters("NNNN", "VN", "").rows[1], (Row{"PROD.C/DÍGITO ?:", "NÃO", "TIPO ETQ.DE BALANÇA:", "VALOR"}));
}

TEST_F(ConfigReplaceTest, ThirteenWritesTheSingleRowsOfBothTables) {
  ReplaceOutcome outcome = ReplaceParameters(*db_, DecodeParameters("SNG1", "PS 12 345", "SNSNSNS431"));
  EXPECT_TRUE(outcome.completed) << outcome.detail;
  EXPECT_EQ(outcome.message, "Substituição de cadastro completa !");
  EXPECT_EQ(Ycf(ycoycf::YCF_GAVPRE), "G");
  EXPECT_EQ(Ycf(ycoycf::YCF_BALANC), "S");
  EXPECT_EQ(Ycf(ycoycf::YCF_BALETQ), "P");
  EXPECT_EQ(Ycf(ycoycf::YCF_TEF), "N");
  // The pin pad's port stays the digit it was, not a yes.
  EXPECT_EQ(Ycf(ycoycf::YCF_PCCOM5), "1");
  EXPECT_EQ(Ycf(ycoycf::YCF_GAVABR), "S");
  EXPECT_EQ(Ycf(ycoycf::YCF_GAVIMP), "N");
  EXPECT_EQ(Ycf(ycoycf::YCF_GAVREL), "S");
  EXPECT_EQ(Prm(ycoprm::Q40_DIGCON), "S");
  // The grouped cell is read as the number it shows.
  EXPECT_EQ(db_->open(ycoprm::kTable)->asNumber(ycoprm::Q40_MAXREG), 12345);
  EXPECT_EQ(Prm(ycoprm::Q40_ZERO), "S");
  EXPECT_EQ(Prm(ycoprm::Q40_ENTER), "N");
  EXPECT_EQ(Prm(ycoprm::Q40_LIMAUT), "3");
  EXPECT_EQ(Prm(ycoprm::Q40_DESCIS), "N");
  EXPECT_EQ(Prm(ycoprm::Q40_DEPAB), "S");
  EXPECT_EQ(Prm(ycoprm::Q40_LOGZ), "S");
  EXPECT_EQ(Prm(ycoprm::Q40_VIASC), "1");
  EXPECT_EQ(db_->open(ycoycf::kTable)->recordCount(), 1u);
  EXPECT_EQ(db_->open(ycoprm::kTable)->recordCount(), 1u);
}

TEST_F(ConfigReplaceTest, MissingFilesShowLabelsOnlyAndWriteEmptyCells) {
  RegisterGrid grid = DisplayParameters(dir_ / "Sperif3.rec", dir_ / "Scodbarra3.rec", dir_ / "Sflags3.rec");
  ASSERT_EQ(grid.rows.size(), 9u);
  for (const Row& row : grid.rows) {
    EXPECT_EQ(row[1], "");
    EXPECT_EQ(row[3], "");
  }
  EXPECT_EQ(grid.rows[8][2], "VIAS CONVÊNIO:");
  ASSERT_TRUE(ReplaceParameters(*db_, grid).completed);
  EXPECT_EQ(Ycf(ycoycf::YCF_GAVPRE), "");
  EXPECT_EQ(db_->open(ycoprm::kTable)->asNumber(ycoprm::Q40_MAXREG), 0);
}

// ---- discounts and surcharges

TEST(Discounts, FourGroupsInTwoRows) {
  RegisterGrid grid = DecodeDiscounts("P1000SV0050NP0250SX0100N");
  EXPECT_EQ(grid.headers, (Row{"Descontos", "Tipo", "Porc.%", "Permite Alt. Porc.%?", "Acréscimos", "Tipo", "Porc.%",
                               "Permite Alt. Porc.%?"}));
  EXPECT_EQ(grid.rows, (GridRows{{"SUBTOTAL:", "PORCENTAGEM", "10.00", "SIM", "SUBTOTAL:", "PORCENTAGEM", "02.50", "SIM"},
                             {"ÍTEM:", "VALOR", "00.50", "NÃO", "ÍTEM:", "VALOR", "01.00", "NÃO"}}));
  EXPECT_EQ(DecodeDiscounts(Blanks(24)).rows,
            (GridRows{{"SUBTOTAL:", "", "", "", "SUBTOTAL:", "", "", ""}, {"ÍTEM:", "", "", "", "ÍTEM:", "", "", ""}}));
}

TEST_F(ConfigReplaceTest, FourteenWritesKindRateAndFlagOfEachGroup) {
  ReplaceOutcome outcome = ReplaceDiscounts(*db_, DecodeDiscounts("P1000SV0050NP0250SX0100N"));
  ASSERT_TRUE(outcome.completed) << outcome.detail;
  EXPECT_EQ(outcome.message, "Substituição de cadastro completa !");
  auto ycf = db_->open(ycoycf::kTable);
  EXPECT_EQ(ycf->getString(ycoycf::YCF_DSTIPO), "P");
  EXPECT_EQ(ycf->asNumber(ycoycf::YCF_DSPER), 10);
  EXPECT_EQ(ycf->getString(ycoycf::YCF_DSALT), "S");
  EXPECT_EQ(ycf->getString(ycoycf::YCF_DITIPO), "V");
  EXPECT_EQ(ycf->asNumber(ycoycf::YCF_DIPER), 0.5);
  EXPECT_EQ(ycf->getString(ycoycf::YCF_DIALT), "N");
  EXPECT_EQ(ycf->getString(ycoycf::YCF_ASTIPO), "P");
  EXPECT_EQ(ycf->asNumber(ycoycf::YCF_ASPER), 2.5);
  EXPECT_EQ(ycf->getString(ycoycf::YCF_ASALT), "S");
  EXPECT_EQ(ycf->getString(ycoycf::YCF_AITIPO), "V");
  EXPECT_EQ(ycf->asNumber(ycoycf::YCF_AIPER), 1);
  EXPECT_EQ(ycf->getString(ycoycf::YCF_AIALT), "N");
}

// The configuration window that started the reading keeps the table open
// and reads it again afterwards: the row is written in place, after the
// same backup, and the window's open table sees it.
TEST_F(ConfigReplaceTest, ATableAWindowHoldsIsWrittenInPlaceAfterItsBackup) {
  auto window = db_->open(ycoycf::kTable);
  window->first();
  const std::string kind_before = window->getString(ycoycf::YCF_DSTIPO);
  ASSERT_NE(kind_before, "V");

  ReplaceOutcome outcome = ReplaceDiscounts(*db_, DecodeDiscounts("V1000SV0050NP0250SX0100N"));

  ASSERT_TRUE(outcome.completed) << outcome.detail;
  EXPECT_TRUE(outcome.backup.ends_with("-substituicao-ycoycf")) << outcome.backup;
  window->refresh();
  window->first();
  EXPECT_EQ(window->getString(ycoycf::YCF_DSTIPO), "V");
  auto saved = db::Database(dir_ / db::kBackupFolder / outcome.backup).open(ycoycf::kTable);
  saved->first();
  EXPECT_EQ(saved->getString(ycoycf::YCF_DSTIPO), kind_before);
}

// ---- sale message and store data

std::string MessageRecord(std::string_view text, char expanded, char centred) {
  std::string record(text);
  record.resize(42, ' ');
  return record + expanded + centred;
}

TEST_F(ConfigReplaceTest, FifteenShowsTrimmedTextsAndWritesFlagsAsSOrN) {
  const std::string line = MessageRecord("  OBRIGADO PELA PREFERENCIA", 'S', 'N') + MessageRecord("VOLTE SEMPRE", 'N', 'C') +
                           MessageRecord("", 'N', 'N') + MessageRecord("FIM", 'X', 'S');
  RegisterGrid grid = DecodeSaleMessage(line);
  EXPECT_EQ(grid.headers, (Row{"Campos", "Mensagem", "Expandido ?", "Centralizado ?"}));
  EXPECT_EQ(grid.rows, (GridRows{{"CAMPO [1]:", "OBRIGADO PELA PREFERENCIA", "SIM", "NÃO"},
                             {"CAMPO [2]:", "VOLTE SEMPRE", "NÃO", "SIM"},
                             {"CAMPO [3]:", "", "NÃO", "NÃO"},
                             {"CAMPO [4]:", "FIM", "SIM", "SIM"}}));
  ReplaceOutcome outcome = ReplaceSaleMessage(*db_, grid);
  ASSERT_TRUE(outcome.completed) << outcome.detail;
  EXPECT_EQ(outcome.message, "Substituição de cadastro completa!");
  EXPECT_EQ(Ycf(ycoycf::YCF_MSG1), "OBRIGADO PELA PREFERENCIA");
  EXPECT_EQ(Ycf(ycoycf::YCF_MSG2), "VOLTE SEMPRE");
  EXPECT_EQ(Ycf(ycoycf::YCF_MSG4), "FIM");
  EXPECT_EQ(Ycf(ycoycf::YCF_EXPA1) + Ycf(ycoycf::YCF_EXPA2) + Ycf(ycoycf::YCF_EXPA3) + Ycf(ycoycf::YCF_EXPA4), "SNNS");
  EXPECT_EQ(Ycf(ycoycf::YCF_CAMCEN) + Ycf(ycoycf::YCF_CAMCE1) + Ycf(ycoycf::YCF_CAMCE2) + Ycf(ycoycf::YCF_CAMCE3),
            "NSNS");
}

TEST(StoreData, FourLabelledRowsAndEmptyValuesForABlankLine) {
  RegisterGrid grid = DecodeStoreData(MessageRecord("MERCADO BOM PRECO LTDA", 'S', 'S'));
  EXPECT_EQ(grid.headers, (Row{"Campos", "Valores", "Expandido ?", "Centralizado ?"}));
  EXPECT_EQ(grid.rows, (GridRows{{"RAZÃO SOCIAL:", "MERCADO BOM PRECO LTDA", "SIM", "SIM"},
                             {"ENDEREÇO:", "", "", ""},
                             {"ADICIONAL [1]:", "", "", ""},
                             {"ADICIONAL [2]:", "", "", ""}}));
  EXPECT_EQ(DecodeStoreData("").rows[3], (Row{"ADICIONAL [2]:", "", "", ""}));
}

// ---- date and time

TEST_F(ConfigReplaceTest, DateAndTimeShowWithoutTheProgressWindow) {
  RegisterGrid grid = DisplayDateTime(WriteFile("Sdatahora3.rec", "09122026" "1435"));
  EXPECT_EQ(grid.headers, (Row{"Data", "Horário"}));
  EXPECT_EQ(grid.rows, (GridRows{{"09/12/2026", "14:35"}}));
  EXPECT_TRUE(progress_.texts.empty());
  EXPECT_EQ(DecodeDateTime("01012027" "0905").rows, (GridRows{{"01/01/2027", "09:05"}}));
  EXPECT_EQ(DecodeDateTime("").rows, (GridRows{{"", ""}}));
}

// ---- keyboard

class KeyboardTest : public testing::DataDirTest {
 protected:
  // TEY_NTECLA and TEY_BOTON of the key TEY_NUMBER `number` of `type`.
  std::pair<int64_t, int64_t> Position(int number, std::string_view type = "QZV") {
    auto tey = db_->open(ycotey::kTable);
    for (tey->first(); !tey->eof(); tey->next())
      if (tey->asInteger(ycotey::TEY_NUMBER) == number && tey->getString(ycotey::TEY_TYPE) == type)
        return {tey->asInteger(ycotey::TEY_NTECLA), tey->asInteger(ycotey::TEY_BOTON)};
    ADD_FAILURE() << number << " " << type;
    return {};
  }

  void SetPosition(int number, std::string_view type, int ntecla, int boton) {
    auto tey = db_->open(ycotey::kTable);
    for (tey->first(); !tey->eof(); tey->next())
      if (tey->asInteger(ycotey::TEY_NUMBER) == number && tey->getString(ycotey::TEY_TYPE) == type) {
        tey->edit();
        tey->setNumber(ycotey::TEY_NTECLA, ntecla);
        tey->setNumber(ycotey::TEY_BOTON, boton);
        tey->post();
        return;
      }
    tey->append();
    tey->setNumber(ycotey::TEY_NUMBER, number);
    tey->setString(ycotey::TEY_DESCR, "OUTRO MODELO");
    tey->setString(ycotey::TEY_TYPE, type);
    tey->setNumber(ycotey::TEY_NTECLA, ntecla);
    tey->setNumber(ycotey::TEY_BOTON, boton);
    tey->post();
  }
};

TEST_F(KeyboardTest, KeyNumbersFromTheControlCodes) {
  // A PLU key, a department key, a function key, an empty position and a
  // function no second-model key carries.
  RegisterGrid grid = DecodeKeyboard(*db_, "271200" "280005" "030000" "000000" "440000");
  EXPECT_EQ(grid.headers, (Row{"Letra", "Grupo/PLU", "Depto", "Cod.Control.", "Descrição Completa",
                               "Descrição da Etiqueta", "Legenda", "Num.Tecla", "Botão"}));
  EXPECT_EQ(grid.rows, (GridRows{{"A", "12", "00", "27", "PLU 12", "PLU 12", "G12", "812", "1"},
                             {"B", "00", "05", "28", "DEPTO 05", "DEPTO 05", "D05", "905", "2"},
                             {"C", "00", "00", "03", "Dinheiro", "DINHEIRO", "DIN", "03", "3"},
                             {"D", "00", "", "", "TECLA NÃO PROGRAMÁVEL", "", "", "", ""},
                             {"E", "44", "", "", "TECLA DESATIVADA", "", "", "", ""}}));
}

TEST_F(KeyboardTest, FromTheTwentySeventhRowTheLetterIsTheKeyNumber) {
  std::string line;
  for (int i = 0; i < 26; ++i) line += "000000";
  line += "271200";
  RegisterGrid grid = DecodeKeyboard(*db_, line);
  ASSERT_EQ(grid.rows.size(), 27u);
  EXPECT_EQ(grid.rows[25][0], "Z");
  EXPECT_EQ(grid.rows[26][0], "812");
  EXPECT_EQ(grid.rows[26][8], "27");
}

TEST_F(KeyboardTest, ReplacementPutsEachFoundKeyOnItsPositionAndClearsTheRest) {
  SetPosition(4, "QZV", 4, 9);       // a key that is no longer on the keyboard
  SetPosition(812, "OTHER", 77, 7);  // another model's key keeps its place
  ReplaceOutcome outcome = ReplaceKeyboard(*db_, DecodeKeyboard(*db_, "000000" "271200" "280005" "030000"));
  ASSERT_TRUE(outcome.completed) << outcome.detail;
  EXPECT_EQ(outcome.message, "Substituição de cadastro completa !");
  EXPECT_EQ(Position(812), std::make_pair(int64_t{812}, int64_t{2}));
  EXPECT_EQ(Position(905), std::make_pair(int64_t{905}, int64_t{3}));
  EXPECT_EQ(Position(3), std::make_pair(int64_t{3}, int64_t{4}));
  EXPECT_EQ(Position(4), std::make_pair(int64_t{0}, int64_t{0}));
  EXPECT_EQ(Position(812, "OTHER"), std::make_pair(int64_t{77}, int64_t{7}));
  EXPECT_EQ(progress_.texts, (Row{"Aguarde, processando registros atuais..."}));
}

// ---- the viewer's dispatch of these kinds

TEST_F(ConfigReplaceTest, TheViewerReadsEachKindsFilesFromTheJob) {
  WriteFile("Sfinaliz3.rec", kNames);
  WriteFile("Scfgfinal3.rec", "00150SS1S12345NN4N");
  ViewerJob twelve = ReceivedJob(dir_, kLeituraCfgFinalizadoras, "3");
  EXPECT_EQ(twelve.reception_file, dir_ / "Scfgfinal3.rec");
  EXPECT_EQ(twelve.companion, dir_ / "Sfinaliz3.rec");
  EXPECT_EQ(DisplayRegister(*db_, twelve).rows.size(), 3u);
  ViewerJob twenty = ReceivedJob(dir_, kLeituraFinalizadoras, "3");
  EXPECT_EQ(twenty.reception_file, dir_ / "Sfinaliz3.rec");
  EXPECT_EQ(twenty.companion, dir_ / "Scfgfinal3.rec");
  EXPECT_EQ(DisplayRegister(*db_, twenty).rows[1][1], "FINALIZADORA NÃO DEFINIDA");

  WriteFile("Sperif3.rec", "SNG1");
  WriteFile("Scodbarra3.rec", "PS 12 345");
  WriteFile("Sflags3.rec", "SNSNSNS43");
  EXPECT_EQ(DisplayRegister(*db_, ReceivedJob(dir_, kLeituraParametros, "3")).rows[2][1], "12,345.00");

  EXPECT_TRUE(IsViewOnly(kLeituraDataHora));
  EXPECT_TRUE(IsViewOnly(kLeituraDadosLoja));
  EXPECT_FALSE(IsViewOnly(kLeituraConfigLoja));
  EXPECT_FALSE(HasReplacement(kLeituraConfigLoja));
  EXPECT_TRUE(HasReplacement(kLeituraTeclado));
  EXPECT_FALSE(HasDisplay(kLeituraConfigLoja));
  EXPECT_THROW(ReplaceRegister(*db_, kLeituraDadosLoja, {}), std::invalid_argument);
  EXPECT_THROW(ReceivedJob(dir_, 23, "3"), std::invalid_argument);
}

}  // namespace
}  // namespace kaslo::viewers
