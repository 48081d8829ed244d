// Operators and sellers: the validations in their order (repeated code,
// name, password; seller codes above 0), the defaults of a new operator
// and the password's four digits.
#include "registers/staff.h"

#include "db/tables/ycoope.h"
#include "db/tables/ycoven.h"
#include "registers/test_support.h"

namespace kaslo::registers {
namespace {

using testing::DemoStore;

std::string MessageOf(const Validation& v) { return v ? v->message : "passes"; }

TEST_F(DemoStore, OperatorValidationRepeatedCodeThenNameThenPassword) {
  auto aux = Db().open(ycoope::kTable, {.tag = "Um"});
  // the demo store's operators are 1 to 4
  EXPECT_EQ(*ValidateOperator(true, 1, "ANA", "12", *aux), (Invalid{"Código repetido !", "OPE_CODIGO"}));
  EXPECT_EQ(MessageOf(ValidateOperator(false, 1, "ANA", "12", *aux)), "passes");
  EXPECT_EQ(MessageOf(ValidateOperator(true, 0, "ANA", "12", *aux)), "passes");  // no lower bound
  EXPECT_EQ(*ValidateOperator(true, 5, "  ", " ", *aux),
            (Invalid{"O campo [ Nome ] deve ser preenchido !", "OPE_NOME"}));
  EXPECT_EQ(*ValidateOperator(true, 5, "ANA", " ", *aux),
            (Invalid{"O campo [ Senha ] deve ser preenchido !", "OPE_SENHA"}));
}

TEST_F(DemoStore, ANewOperatorIsAnOperatorWithoutPermissions) {
  auto ope = Db().open(ycoope::kTable, {.tag = "Um"});
  ope->append();
  SetNewOperatorDefaults(*ope);
  ope->setNumber(ycoope::OPE_CODIGO, 9);
  ope->setString(ycoope::OPE_NOME, "GERENTE NOVO");
  ope->setNumber(ycoope::OPE_SENHA, 7);
  ASSERT_TRUE(ope->post());
  ASSERT_TRUE(ope->findKey(9.0));
  std::string flags = ope->getString(ycoope::OPE_PERFIL);
  for (const db::FieldDef& f : kOperatorPermissions) flags += ope->getString(f);
  EXPECT_EQ(flags, std::string(13, 'N'));
  EXPECT_EQ(PasswordText(ope->asNumber(ycoope::OPE_SENHA)), "0007");
  EXPECT_EQ(PasswordText(1234), "1234");
  EXPECT_EQ(PasswordText(0), "0000");
}

TEST_F(DemoStore, SellerCodesAreNumbersAboveZeroAndNotRepeated) {
  auto aux = Db().open(ycoven::kTable, {.tag = "Um"});
  for (const char* code : {"0", "", "abc", "-3", "1a"}) {
    EXPECT_EQ(*ValidateSeller(true, code, "ANA", *aux), (Invalid{"Código inválido !", "VEN_CODIGO"})) << code;
  }
  // the demo store's sellers are 1 to 4
  EXPECT_EQ(*ValidateSeller(true, "1", "ANA", *aux), (Invalid{"Código repetido !", "VEN_CODIGO"}));
  EXPECT_EQ(MessageOf(ValidateSeller(false, "1", "ANA", *aux)), "passes");
  EXPECT_EQ(MessageOf(ValidateSeller(true, "5", "ANA", *aux)), "passes");
  EXPECT_EQ(*ValidateSeller(true, "5", " ", *aux), (Invalid{"O campo [ Nome ] deve ser preenchido !", "VEN_NOME"}));
}

}  // namespace
}  // namespace kaslo::registers
