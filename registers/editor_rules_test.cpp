// The shared editor rules: the parameter-table lock against a second
// process, the find dialog's keys and search, the flag combo's mapping, the
// numbers typed into numeric boxes.
#include "registers/editor_rules.h"

#include "common/testing/scripted_messages.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "registers/test_support.h"

namespace kaslo::registers {
namespace {

using namespace std::chrono_literals;
using testing::DemoStore;
using testing::OtherStation;

TEST_F(DemoStore, ParameterLockGivesUpWhileAnotherStationHoldsItAndWorksOnceItLetsGo) {
  kaslo::testing::RecordingProgress progress;
  OtherStation other(dir_.path());
  ASSERT_TRUE(other.held());
  int runs = 0;
  auto work = [&](db::Table& prm) {
    ++runs;
    prm.setNumber(ycoprm::PRM_UTDEPT, 42);
    return true;
  };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(AllocateUnderParameterLock(Db(), work, {.limit = 300ms}), Allocation::kGaveUp);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(progress.Saw("Aguarde, processando registro..."));
  EXPECT_FALSE(progress.visible());

  other.LetGo();
  EXPECT_EQ(AllocateUnderParameterLock(Db(), work, {.limit = 300ms}), Allocation::kDone);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(Parameter(ycoprm::PRM_UTDEPT), "42");
  EXPECT_FALSE(progress.visible());
  // released: another station can take it now
  EXPECT_NO_THROW(Db().open(ycoprm::kTable, {.tag = "", .exclusive = true}));
}

TEST_F(DemoStore, ParameterLockWorkThatFailsLeavesTheCounter) {
  const std::string before = Parameter(ycoprm::PRM_UTDEPT);
  auto refuse = [](db::Table& prm) {
    prm.setNumber(ycoprm::PRM_UTDEPT, 77);
    return false;
  };
  auto throws = [](db::Table& prm) -> bool { throw db::Error("YCODEP.DBF: disk full"); };
  EXPECT_EQ(AllocateUnderParameterLock(Db(), refuse), Allocation::kFailed);
  EXPECT_EQ(AllocateUnderParameterLock(Db(), throws), Allocation::kFailed);
  EXPECT_EQ(Parameter(ycoprm::PRM_UTDEPT), before);
  EXPECT_NO_THROW(Db().open(ycoprm::kTable, {.tag = "", .exclusive = true}));
}

TEST(FindDialog, CaptionAndKeys) {
  EXPECT_EQ(FindCaption(false, {"Código"}, {false}), "Digite o código e tecle ENTER");
  EXPECT_EQ(FindCaption(true, {"Descrição"}, {false}), "Procurar registro por [ Descrição ]  ");
  EXPECT_EQ(FindCaption(false, {"Código", "Cód.Depto"}, {false, false}), "Digite o código e tecle ENTER;Cód.Depto");
  EXPECT_EQ(FindCaption(true, {"Data"}, {true}), "Procurar registro por [ Data ]   (digite as barras)  ");

  for (char32_t c : std::u32string(U"#$%&,;@^`~Çç")) {
    EXPECT_FALSE(FindAccepts(c, false));
    EXPECT_FALSE(FindAccepts(c, true));
  }
  EXPECT_TRUE(FindAccepts(U'7', true));
  EXPECT_FALSE(FindAccepts(U'a', true));
  EXPECT_FALSE(FindAccepts(U'.', true));
  EXPECT_TRUE(FindAccepts(U'a', false));
  EXPECT_TRUE(FindAccepts(U'É', false));
}

TEST_F(DemoStore, FindMovesToTheNearestKeyAndIgnoresWhatItCannotRead) {
  auto dep = Db().open(ycodep::kTable, {.tag = "Um"});
  dep->first();
  FindNearestText(*dep, "5");
  EXPECT_EQ(dep->asInteger(ycodep::DEP_CODIGO), 5);
  dep->first();
  dep->remove();  // no department 1 any more
  dep->first();
  FindNearestText(*dep, "1");
  EXPECT_EQ(dep->asInteger(ycodep::DEP_CODIGO), 2);
  FindNearestText(*dep, "12");  // past the last: stays on the last
  EXPECT_EQ(dep->asInteger(ycodep::DEP_CODIGO), 8);

  dep->setTag("Dois");
  FindNearestText(*dep, "HO");
  EXPECT_EQ(dep->getString(ycodep::DEP_DESCR), "HORTIFRUTI");

  auto grp = Db().open(ycogrp::kTable, {.tag = "Um"});
  FindNearestText(*grp, "2;5");
  EXPECT_EQ(grp->asInteger(ycogrp::GRP_CODIGO), 2);
  EXPECT_EQ(grp->asInteger(ycogrp::DEP_CODIGO), 5);
  FindNearestText(*grp, "3");
  EXPECT_EQ(grp->asInteger(ycogrp::GRP_CODIGO), 3);
  EXPECT_TRUE(grp->getString(ycogrp::DEP_CODIGO).empty());
}

TEST(FlagCombo, MapsCaptionsAndCodes) {
  const std::vector<std::string> items{"UN", "KG", "LT"}, values{"N", "S", "L"};
  EXPECT_EQ(ComboIndexOf(values, "S"), 1);
  EXPECT_EQ(ComboIndexOf(values, "X"), -1);
  EXPECT_EQ(ComboIndexOf(values, ""), -1);
  EXPECT_EQ(ComboValueOf(items, values, "LT"), "L");
  EXPECT_EQ(ComboValueOf(items, values, ""), "");
}

TEST(TypedNumbers, RoundedToTheFieldsOwnDecimalsOrRefused) {
  using K = TypedNumber::Kind;
  EXPECT_EQ(ReadTypedNumber("", 12, 3), TypedNumber{});
  EXPECT_EQ(ReadTypedNumber("  ", 12, 3), TypedNumber{});
  EXPECT_EQ(ReadTypedNumber("1.5555", 12, 3), (TypedNumber{K::kNumber, 1.556}));
  EXPECT_EQ(ReadTypedNumber(" 1,5 ", 12, 3), (TypedNumber{K::kNumber, 1.5}));
  EXPECT_EQ(ReadTypedNumber("2.5", 3, 0), (TypedNumber{K::kNumber, 3}));
  EXPECT_EQ(ReadTypedNumber("-2.5", 10, 3), (TypedNumber{K::kNumber, -2.5}));
  EXPECT_EQ(ReadTypedNumber("0099999999.9994", 12, 3), (TypedNumber{K::kNumber, 99999999.999}));
  // the whole part must fit, after the rounding too
  EXPECT_EQ(ReadTypedNumber("123456789", 12, 3).kind, K::kOutOfLimit);
  EXPECT_EQ(ReadTypedNumber("99999999.9995", 12, 3).kind, K::kOutOfLimit);
  EXPECT_EQ(ReadTypedNumber("1000", 3, 0).kind, K::kOutOfLimit);
  EXPECT_EQ(ReadTypedNumber(std::string(400, '9'), 12, 3).kind, K::kOutOfLimit);
  for (const char* text : {"R$ 12", "12a", "1.2.3", "1,2.3", "-", ".", "1-2", "12 3", "abc"}) {
    EXPECT_EQ(ReadTypedNumber(text, 12, 3).kind, K::kNotANumber) << text;
  }

  EXPECT_EQ(TypedNumberRefusal(ReadTypedNumber("123456789", 12, 3), LabelName("Pço.Venda:")),
            "O campo [ Pço.Venda ] está fora do limite !");
  EXPECT_EQ(TypedNumberRefusal(ReadTypedNumber("ABC", 14, 0), LabelName(" Código: ")),
            "O campo [ Código ] deve ser preenchido !");
  EXPECT_EQ(TypedNumberRefusal(ReadTypedNumber("", 14, 0), "Código"), std::nullopt);
  EXPECT_EQ(LabelName("Produto Litrado ?:"), "Produto Litrado ?");
}

TEST_F(DemoStore, TypedNumbersTheTableTakesAsReadAndRefusesTheRest) {
  auto pro = Db().open(ycopro::kTable);
  pro->first();
  pro->edit();
  for (const char* text : {"1.5555", "0,005", "-12.5", "99999999.999", "99999999.9995", "123456789", "12,5"}) {
    const auto typed = ReadTypedNumber(text, ycopro::PRO_PCOVEN.length, ycopro::PRO_PCOVEN.decimals);
    if (typed.kind == TypedNumber::Kind::kNumber) {
      pro->setNumber(ycopro::PRO_PCOVEN, typed.value);
      EXPECT_EQ(pro->asNumber(ycopro::PRO_PCOVEN), typed.value) << text;
    } else {
      EXPECT_THROW(pro->setString(ycopro::PRO_PCOVEN, text), db::Error) << text;
    }
  }
  pro->cancel();
}

TEST(EditorTexts, LimitAndTotal) {
  EXPECT_EQ(LimitMessage(99),
            "Não é possível incluir um novo registro.\r\nO Cadastro atingiu o limite máximo de 99 registros.");
  EXPECT_EQ(TotalText(0), "Total [ 0 ]");
}

}  // namespace
}  // namespace kaslo::registers
