// Clients: the tax number's mask, the validation in its order with the
// field to focus, the check digits only when asked, the duplicate test of
// a tax number on insert and on a changed number only, and PRM_ULTCLI
// raised by one per insertion under the parameter-table lock.
#include "registers/clients.h"

#include "db/tables/ycocli.h"
#include "db/tables/ycoprm.h"
#include "registers/test_support.h"

namespace kaslo::registers {
namespace {

using namespace std::chrono_literals;
using testing::DemoStore;
using testing::OtherStation;

constexpr double kCnpj = 11222333000181;  // a valid CNPJ
constexpr double kCpf = 12345678909;      // a valid CPF

class Clients : public DemoStore {
 protected:
  // Ycocli holds exactly these clients: {code, tax number}.
  void Keep(std::initializer_list<std::pair<int, double>> clients) {
    auto cli = Db().open(ycocli::kTable, {.tag = "", .exclusive = true});
    cli->emptyTable();
    for (const auto& [code, tax] : clients) {
      cli->append();
      cli->setNumber(ycocli::CLI_CODIGO, code);
      cli->setNumber(ycocli::CLI_CNPJ, tax);
      cli->setString(ycocli::CLI_NOME, "CLIENTE " + std::to_string(code));
      cli->setString(ycocli::CLI_ENDER, "RUA " + std::to_string(code));
      cli->post();
    }
  }
  Validation Check(double code, std::string tax, ClientCheck check = {}) {
    auto aux = Db().open(ycocli::kTable, {.tag = "Um"});
    return ValidateClient({code, std::move(tax), "MERCADO CENTRAL", "RUA DIREITA 10"}, check, *aux);
  }
  static std::string MessageOf(const Validation& v) { return v ? v->message : "passes"; }
};

TEST(ClientTaxNumber, ShownInTheMaskOfWhatItIsAndEditedAsDigits) {
  EXPECT_EQ(TaxNumberText(kCnpj), "11.222.333/0001-81");
  EXPECT_EQ(TaxNumberText(kCpf), "123.456.789-09");
  EXPECT_EQ(TaxNumberText(0), "00.000.000/0000-00");         // no number counts as a valid CNPJ
  EXPECT_EQ(TaxNumberText(11222333000182), "112223.330.001-82");  // no CNPJ: the CPF mask, nothing cut
  EXPECT_EQ(TaxNumberDigits(kCnpj), "11222333000181");
  EXPECT_EQ(TaxNumberDigits(0), "");
  EXPECT_EQ(ReadTaxNumber("11.222.333/0001-81"), kCnpj);
  EXPECT_EQ(ReadTaxNumber("123.456.789-09"), kCpf);
  EXPECT_EQ(ReadTaxNumber(""), 0);
}

TEST_F(Clients, ValidationRunsInOrderWithItsMessagesAndFocus) {
  Keep({{1, kCpf}});
  const ClientCheck on{.check_digits = true};
  auto code0 = Check(0, "", on);
  ASSERT_TRUE(code0);
  EXPECT_EQ(*code0, (Invalid{"Código inválido !", "CLI_CODIGO"}));
  EXPECT_EQ(*Check(2, "", on), (Invalid{"CPF/CNPJ inválido !", "CLI_CNPJ"}));
  EXPECT_EQ(MessageOf(Check(2, "11.222.333/0001-82", on)), "CPF/CNPJ inválido !");
  EXPECT_EQ(MessageOf(Check(2, "12345678900", on)), "CPF/CNPJ inválido !");
  EXPECT_EQ(MessageOf(Check(2, "11.222.333/0001-81", on)), "passes");
  EXPECT_EQ(MessageOf(Check(2, "11222333000181", on)), "passes");
  // a repeated code is found before a repeated tax number
  EXPECT_EQ(*Check(1, "12345678909", on), (Invalid{"Código repetido !", "CLI_CODIGO"}));
  EXPECT_EQ(*Check(2, "123.456.789-09", on), (Invalid{"CPF/CNPJ repetido !", "CLI_CNPJ"}));

  auto aux = Db().open(ycocli::kTable, {.tag = "Um"});
  EXPECT_EQ(*ValidateClient({2, "", "   ", ""}, {}, *aux),
            (Invalid{"O campo [ Nome ] deve ser preenchido!", "CLI_NOME"}));
  EXPECT_EQ(*ValidateClient({2, "", "ANA", " "}, {}, *aux),
            (Invalid{"O campo [ Endereço ] deve ser preenchido!", "CLI_ENDER"}));
}

TEST_F(Clients, WithTheCheckOffAnyNumberPassesUnlessAnotherClientHoldsIt) {
  Keep({{1, kCpf}, {2, 0}});
  EXPECT_EQ(MessageOf(Check(3, "1")), "passes");
  EXPECT_EQ(MessageOf(Check(3, "11.222.333/0001-82")), "passes");
  EXPECT_EQ(MessageOf(Check(3, "12345678909")), "CPF/CNPJ repetido !");
  // clients without a tax number repeat nobody
  EXPECT_EQ(MessageOf(Check(3, "")), "passes");
  EXPECT_EQ(MessageOf(Check(3, "0")), "passes");
}

TEST_F(Clients, AnEditLooksForARepeatedTaxNumberOnlyWhenTheNumberChanged) {
  // two clients share a number, as another program may have left them
  Keep({{1, kCpf}, {2, kCpf}, {3, kCnpj}});
  const ClientCheck editing{.inserting = false, .remembered_tax = kCpf};
  EXPECT_EQ(MessageOf(Check(2, "12345678909", editing)), "passes");
  EXPECT_EQ(MessageOf(Check(2, "11222333000181", editing)), "CPF/CNPJ repetido !");
  // the code of an edited client is its own
  EXPECT_EQ(MessageOf(Check(1, "12345678909", editing)), "passes");
}

TEST_F(Clients, EachInsertionRaisesTheCounterByOneWhateverCodeWasTyped) {
  SetParameter(ycoprm::PRM_ULTCLI, "6");
  auto cli = Db().open(ycocli::kTable, {.tag = "Um"});
  for (double code : {500.0, 7.0}) {
    cli->append();
    cli->setNumber(ycocli::CLI_CODIGO, code);
    cli->setString(ycocli::CLI_NOME, "NOVO");
    ASSERT_EQ(InsertClient(Db(), *cli), Allocation::kDone);
    EXPECT_EQ(cli->mode(), db::Mode::kBrowse);
    EXPECT_TRUE(cli->findKey(code));  // the client keeps the code typed
  }
  EXPECT_EQ(Parameter(ycoprm::PRM_ULTCLI), "8");
}

TEST_F(Clients, AnInsertionWaitsForAnotherStationThenGivesUpLeavingTheClientPending) {
  SetParameter(ycoprm::PRM_ULTCLI, "6");
  const size_t before = Db().open(ycocli::kTable)->recordCount();
  OtherStation other(dir_.path());
  ASSERT_TRUE(other.held());
  auto cli = Db().open(ycocli::kTable, {.tag = "Um"});
  cli->append();
  cli->setNumber(ycocli::CLI_CODIGO, 90);
  cli->setString(ycocli::CLI_NOME, "NOVO");
  EXPECT_EQ(InsertClient(Db(), *cli, {.limit = 300ms}), Allocation::kGaveUp);
  EXPECT_EQ(cli->mode(), db::Mode::kInsert);
  EXPECT_EQ(Db().open(ycocli::kTable)->recordCount(), before);
  other.LetGo();
  EXPECT_EQ(Parameter(ycoprm::PRM_ULTCLI), "6");
  EXPECT_EQ(InsertClient(Db(), *cli, {.limit = 300ms}), Allocation::kDone);
  EXPECT_EQ(Parameter(ycoprm::PRM_ULTCLI), "7");
}

TEST_F(Clients, TheCheckDigitsAreAskedForByTheParameterS) {
  SetParameter(ycoprm::PRM_VERCPF, "N");
  EXPECT_FALSE(TaxNumberCheckOn(Db()));
  SetParameter(ycoprm::PRM_VERCPF, "S");
  EXPECT_TRUE(TaxNumberCheckOn(Db()));
}

}  // namespace
}  // namespace kaslo::registers
