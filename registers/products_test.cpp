// Products: the code rule, formats, the values of a new product, validation,
// the flags of a post and the queue row of an insertion, a change and a
// deletion.
#include "registers/products.h"

#include "common/clock.h"
#include "common/encoding.h"
#include "common/numbers.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycotrb.h"
#include "db/tables/ycoy60.h"
#include "registers/test_support.h"

namespace kaslo::registers {
namespace {

using namespace std::chrono;
using testing::DemoStore;

TEST(ProductCode, CheckDigitOnEnterDisplayAndQueueKey) {
  EXPECT_EQ(CodeOnEnter("12", true), "123");
  EXPECT_EQ(CodeOnEnter("123", true), "1236");
  EXPECT_EQ(CodeOnEnter("1-2", true), "123");
  EXPECT_EQ(CodeOnEnter("12", false), "12");
  EXPECT_EQ(CodeOnEnter("7891000000014", true), "7891000000014");
  EXPECT_EQ(CodeDisplay(123, true), "12-3");
  EXPECT_EQ(CodeDisplay(123, false), "123");
  EXPECT_EQ(CodeDisplay(5, true), "0-5");
  EXPECT_EQ(QueueKey(123, true), 12);
  EXPECT_EQ(QueueKey(123, false), 123);
  EXPECT_EQ(QueueKey(7891000000014, true), 789100000001);
  EXPECT_EQ(CodeOfText("12-3"), 123);
  EXPECT_EQ(CodeOfText(""), 0);
  EXPECT_EQ(CodeOfText("12abc"), 0);
  EXPECT_EQ(CodeOfText("abc"), 0);
}

TEST(ProductCode, FindCompletesTheCheckDigitOfTheDigitsTyped) {
  EXPECT_EQ(ProductFindKey("12", true), "123");
  EXPECT_EQ(ProductFindKey("789100000001", true), "7891000000014");
  EXPECT_EQ(ProductFindKey("7891000000014", true), "78910000000140");  // whatever the length
  EXPECT_EQ(ProductFindKey("12-3", true), "123");
  EXPECT_EQ(ProductFindKey("789100000001-4", true), "7891000000014");
  EXPECT_EQ(ProductFindKey("", true), "");
  EXPECT_EQ(ProductFindKey("12", false), "12");
}

TEST(ProductFormats, ByUnitAndDecimals) {
  EXPECT_EQ(StockDecimals("N"), 0);
  EXPECT_EQ(StockDecimals("S"), 3);
  EXPECT_EQ(PriceDecimals("3"), 3);
  EXPECT_EQ(PriceDecimals("2"), 2);
  EXPECT_EQ(FormatDecimals(2.5, 3), "2.500");
  EXPECT_EQ(FormatDecimals(0, 0), "0");
  EXPECT_EQ(ShortDescriptionOf(std::string(50, 'A')), std::string(20, 'A'));
  EXPECT_EQ(ProductCaption(false, 40), "Cadastro de Produtos   -   Ordenado por Código   -   Total de Registros: [ 40 ]");
  EXPECT_EQ(ProductCaption(true, 0), "Cadastro de Produtos   -   Ordenado por Descrição   -   Total de Registros: [ 0 ]");
}

class Products : public DemoStore {
 protected:
  void SetUp() override { SetFixedNow(DateTime{2024y / March / 7d, 10, 0, 0}); }
  void TearDown() override { SetFixedNow(std::nullopt); }

  std::unique_ptr<db::Table> pro_ = Db().open(ycopro::kTable, {.tag = "Um"});
  std::unique_ptr<db::Table> aux_ = Db().open(ycopro::kTable, {.tag = "Um"});
  std::unique_ptr<db::Table> trb_ = Db().open(ycotrb::kTable, {.tag = "Um"});
  std::unique_ptr<db::Table> grp_ = Db().open(ycogrp::kTable, {.tag = "Quatro"});
  std::unique_ptr<db::Table> dep_ = Db().open(ycodep::kTable, {.tag = "Um"});

  Validation Check(ProductInput in) { return ValidateProduct(in, *aux_, *trb_, *grp_, *dep_); }

  struct QueueRow {
    double key;
    std::string descr, status, data;
    double stock;
  };
  std::vector<QueueRow> Queue() const {
    std::vector<QueueRow> rows;
    auto y60 = Db().open(ycoy60::kTable);
    for (y60->first(); !y60->eof(); y60->next()) {
      rows.push_back({y60->asNumber(ycoy60::Y60_PROPLU), y60->getString(ycoy60::Y60_DESCR),
                      y60->getString(ycoy60::Y60_STATUS), y60->getString(ycoy60::Y60_DATA),
                      y60->asNumber(ycoy60::PRO_ESTQ)});
    }
    return rows;
  }
};

TEST_F(Products, CheckDigitIsOnExactlyWithS) {
  EXPECT_TRUE(CheckDigitOn(Db()));
  SetParameter(ycoprm::Q40_DIGCON, "X");
  EXPECT_FALSE(CheckDigitOn(Db()));
  SetParameter(ycoprm::Q40_DIGCON, "N");
  EXPECT_FALSE(CheckDigitOn(Db()));
}

TEST_F(Products, ValidationInOrder) {
  pro_->first();
  const std::string existing = NumeroParaTexto(0, 0, pro_->asNumber(ycopro::PRO_PLU));
  ProductInput ok{.code_text = "123", .inserting = true, .description = "CAFE", .short_description = "CAFE",
                  .tax = 1, .group = 2, .department = 5};
  EXPECT_EQ(Check(ok), std::nullopt);
  auto with = [&](auto change) {
    ProductInput in = ok;
    change(in);
    return Check(in);
  };
  EXPECT_EQ(with([](auto& in) { in.code_text = ""; }),
            (Invalid{"O campo [ Código ] deve ser preenchido !", "PRO_PLU"}));
  EXPECT_EQ(with([](auto& in) { in.code_text = "0"; })->focus, "PRO_PLU");
  EXPECT_EQ(with([](auto& in) { in.code_text = "x1"; })->focus, "PRO_PLU");
  EXPECT_EQ(with([&](auto& in) { in.code_text = existing; }),
            (Invalid{"Código Duplicado \"" + existing + "\" !", "PRO_PLU"}));
  EXPECT_EQ(with([](auto& in) { in.description = " "; })->message, "O campo [ Descrição ] deve ser preenchido !");
  EXPECT_EQ(with([](auto& in) { in.short_description = ""; })->message,
            "O campo [ Descrição Resumida ] deve ser preenchido !");
  EXPECT_EQ(with([](auto& in) { in.tax = 7; }), (Invalid{"Tributação não cadastrada !", "PRO_TRIBUT"}));
  EXPECT_EQ(with([](auto& in) { in.group = 1; }), (Invalid{"Grupo/Depto não cadastrado !", "PRO_DEPTO"}));
  EXPECT_EQ(grp_->tag(), "Quatro");
  // an edit checks the code only
  EXPECT_EQ(with([](auto& in) { in.inserting = false; in.description = ""; in.tax = 7; }), std::nullopt);
}

TEST_F(Products, DepartmentPanelGivesTheGroup) {
  std::optional<double> group;
  EXPECT_EQ(Latin1ToUtf8(ProductDepartmentPanel(*grp_, *dep_, 5, &group)), "PERECÍVEIS / AÇOUGUE");
  EXPECT_EQ(group, 2);
  EXPECT_EQ(Latin1ToUtf8(ProductDepartmentPanel(*grp_, *dep_, 50, &group)), "DEPTO NÃO CADASTRADO");
  EXPECT_EQ(group, std::nullopt);
  EXPECT_EQ(ProductDepartmentPanel(*grp_, *dep_, 0, &group), "");
  EXPECT_EQ(TaxPanelOfText(*trb_, "3"), "ICMS 7%");
  EXPECT_EQ(Latin1ToUtf8(TaxPanelOfText(*trb_, "7")), "TRIBUTAÇÃO NÃO CADASTRADA");
  EXPECT_EQ(TaxPanelOfText(*trb_, "ab"), "");
}

TEST_F(Products, ANewProductStartsByUnitWithTwoDecimalsAndZeroes) {
  pro_->append();
  SetNewProductDefaults(*pro_);
  pro_->setNumber(ycopro::PRO_PLU, 98765);
  ASSERT_TRUE(pro_->post());
  auto saved = Db().open(ycopro::kTable, {.tag = "Um"});
  ASSERT_TRUE(saved->findKey(98765.0));
  EXPECT_EQ(saved->getString(ycopro::PRO_PESAD), "N");
  EXPECT_EQ(saved->getString(ycopro::PRO_LITRAD), "N");
  EXPECT_EQ(saved->getString(ycopro::PRO_GRPITE), "0");
  EXPECT_EQ(saved->getString(ycopro::PRO_CASAD), "2");
  EXPECT_EQ(saved->getString(ycopro::PRO_PROMO), "N");
  for (const auto& f : {ycopro::PRO_ESTQ, ycopro::PRO_PCOVEN, ycopro::PRO_PCOPRO, ycopro::PRO_PCOATA,
                        ycopro::PRO_UNMED, ycopro::PRO_TRB0, ycopro::PRO_TRB1}) {
    EXPECT_EQ(saved->getNumber(f), 0.0) << f.name;  // a zero, not a blank
  }
  EXPECT_EQ(StockDecimals(saved->getString(ycopro::PRO_PESAD)), 0);
  EXPECT_EQ(PriceDecimals(saved->getString(ycopro::PRO_CASAD)), 2);
}

TEST_F(Products, PriceFlagOnlyWithTaxAndPriceTogether) {
  pro_->first();
  auto edit = [&](double tax, double price) {
    pro_->edit();
    auto before = RememberProduct(*pro_);
    pro_->setString(ycopro::PRO_FLAGPC, "");
    pro_->setNumber(ycopro::PRO_TRIBUT, tax);
    pro_->setNumber(ycopro::PRO_PCOVEN, price);
    StampProduct(*pro_, before);
    std::string flag = pro_->getString(ycopro::PRO_FLAGPC);
    EXPECT_EQ(pro_->getString(ycopro::PRO_DTUALT), "20240307");
    pro_->post();
    return flag;
  };
  const double tax = pro_->asNumber(ycopro::PRO_TRIBUT), price = pro_->asNumber(ycopro::PRO_PCOVEN);
  EXPECT_EQ(edit(tax, price + 1), "");
  EXPECT_EQ(edit(tax == 1 ? 2 : 1, price + 2), "*");
  EXPECT_EQ(edit(tax, price + 2), "");  // the tax alone
}

TEST_F(Products, QueueRowOfInsertChangeAndDelete) {
  pro_->append();
  pro_->setNumber(ycopro::PRO_PLU, 123);
  pro_->setString(ycopro::PRO_DESCR, std::string(30, 'D') + std::string(20, 'E'));
  pro_->setString(ycopro::PRO_RESUM, "CURTA");
  pro_->setNumber(ycopro::PRO_ESTQ, 0);
  WriteQueueRow(Db(), *pro_, true, QueueStatus::kInserted);
  pro_->post();
  ASSERT_EQ(Queue().size(), 1u);
  EXPECT_EQ(Queue()[0].key, 12);
  EXPECT_EQ(Queue()[0].descr, std::string(22, 'D'));
  EXPECT_EQ(Queue()[0].status, "2");
  EXPECT_EQ(Queue()[0].data, "0307");

  EXPECT_EQ(ChangeStatus(0), QueueStatus::kChangedNoStock);
  EXPECT_EQ(ChangeStatus(2.5), QueueStatus::kChanged);
  pro_->edit();
  pro_->setNumber(ycopro::PRO_ESTQ, 2.5);
  WriteQueueRow(Db(), *pro_, true, ChangeStatus(2.5));
  pro_->post();
  ASSERT_EQ(Queue().size(), 1u);
  EXPECT_EQ(Queue()[0].status, "3");
  EXPECT_EQ(Queue()[0].stock, 2.5);

  WriteQueueRow(Db(), *pro_, true, QueueStatus::kDeleted);
  pro_->remove();
  ASSERT_EQ(Queue().size(), 1u);
  EXPECT_EQ(Queue()[0].status, "1");

  // with the check digit off the key is the code itself
  pro_->append();
  pro_->setNumber(ycopro::PRO_PLU, 123);
  WriteQueueRow(Db(), *pro_, false, QueueStatus::kInserted);
  pro_->cancel();
  ASSERT_EQ(Queue().size(), 2u);
  EXPECT_EQ(Queue()[1].key, 123);
}

}  // namespace
}  // namespace kaslo::registers
