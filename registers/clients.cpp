// The client editor's rules.
#include "registers/clients.h"

#include "common/checkdigits.h"
#include "common/numbers.h"
#include "common/text.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycoprm.h"

namespace kaslo::registers {

std::string TaxNumberText(double number) {
  return FormataMascara(ValidaCNPJ(number) ? "00;000;000/0000-00" : "000;000;000-00", number);
}

std::string TaxNumberDigits(double number) {
  if (number == 0) return {};
  return NumeroParaTexto(0, 0, number);
}

double ReadTaxNumber(std::string_view text) { return TextoParaNumero(TiraMascara(text)); }

bool TaxNumberCheckOn(const db::Database& db) {
  auto prm = db.open(ycoprm::kTable, {.tag = "", .exclusive = false});
  prm->first();
  return !prm->eof() && prm->getString(ycoprm::PRM_VERCPF) == "S";
}

Validation ValidateClient(const ClientInput& client, const ClientCheck& check, db::Table& aux) {
  if (client.code <= 0) return Invalid{"Código inválido !", std::string(ycocli::CLI_CODIGO.name)};
  const double tax = ReadTaxNumber(client.tax_text);
  if (check.check_digits && (tax == 0 || !(ValidaCNPJ(tax) || ValidaCPF(tax)))) {
    return Invalid{"CPF/CNPJ inválido !", std::string(ycocli::CLI_CNPJ.name)};
  }
  if (check.inserting) {
    aux.setTag("Um");
    if (aux.findKey(client.code)) return Invalid{"Código repetido !", std::string(ycocli::CLI_CODIGO.name)};
  }
  // many clients have no tax number; none of them repeats another
  if (tax != 0 && (check.inserting || tax != check.remembered_tax)) {
    aux.setTag("Tres");
    if (aux.findKey(tax)) return Invalid{"CPF/CNPJ repetido !", std::string(ycocli::CLI_CNPJ.name)};
  }
  if (Apara(client.name).empty()) {
    return Invalid{"O campo [ Nome ] deve ser preenchido!", std::string(ycocli::CLI_NOME.name)};
  }
  if (Apara(client.address).empty()) {
    return Invalid{"O campo [ Endereço ] deve ser preenchido!", std::string(ycocli::CLI_ENDER.name)};
  }
  return std::nullopt;
}

Allocation InsertClient(const db::Database& db, db::Table& cli, const LockOptions& options) {
  return AllocateUnderParameterLock(
      db,
      [&](db::Table& prm) {
        prm.setNumber(ycoprm::PRM_ULTCLI, prm.asNumber(ycoprm::PRM_ULTCLI) + 1);
        return cli.post();
      },
      options);
}

}  // namespace kaslo::registers
