// The operator and seller editors' rules.
#include "registers/staff.h"

#include "common/numbers.h"
#include "common/text.h"
#include "db/tables/ycoven.h"

namespace kaslo::registers {

void SetNewOperatorDefaults(db::Table& ope) {
  ope.setString(ycoope::OPE_PERFIL, "N");
  for (const db::FieldDef& f : kOperatorPermissions) ope.setString(f, "N");
}

std::string PasswordText(double password) { return NumeroComZeros(4, 0, password); }

Validation ValidateOperator(bool inserting, double code, std::string_view name, std::string_view password_text,
                            db::Table& aux) {
  if (inserting) {
    aux.setTag("Um");
    if (aux.findKey(code)) return Invalid{"Código repetido !", std::string(ycoope::OPE_CODIGO.name)};
  }
  if (Apara(name).empty()) return Invalid{MustFill("Nome"), std::string(ycoope::OPE_NOME.name)};
  if (Apara(password_text).empty()) return Invalid{MustFill("Senha"), std::string(ycoope::OPE_SENHA.name)};
  return std::nullopt;
}

Validation ValidateSeller(bool inserting, std::string_view code_text, std::string_view name, db::Table& aux) {
  const TypedNumber code = ReadTypedNumber(code_text, ycoven::VEN_CODIGO.length, ycoven::VEN_CODIGO.decimals);
  if (code.kind != TypedNumber::Kind::kNumber || code.value <= 0) {
    return Invalid{"Código inválido !", std::string(ycoven::VEN_CODIGO.name)};
  }
  if (inserting) {
    aux.setTag("Um");
    if (aux.findKey(code.value)) return Invalid{"Código repetido !", std::string(ycoven::VEN_CODIGO.name)};
  }
  if (Apara(name).empty()) return Invalid{MustFill("Nome"), std::string(ycoven::VEN_NOME.name)};
  return std::nullopt;
}

}  // namespace kaslo::registers
