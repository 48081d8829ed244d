#include "config/technical.h"

#include "common/checkdigits.h"
#include "common/dates.h"
#include "common/numbers.h"
#include "common/text.h"
#include "db/tables/ycoter.h"
#include "db/tables/ycotrb.h"

namespace kaslo::config {

namespace {

bool Blank(std::string_view text) { return Apara(text).empty(); }

RuleResult Fail(std::string_view message, int field) { return RuleFailure{std::string(message), field}; }

// Whether a row other than `own_record` holds `value` in `field`; texts are
// compared without their blanks around. The tables are small (terminals,
// tax codes), so they are read through.
bool Taken(const db::Database& db, std::string_view table, const db::FieldDef& field, std::string_view value,
           uint32_t own_record) {
  auto t = db.open(table, {.tag = "", .exclusive = false});
  const bool number = field.type == db::FieldType::kNumeric;
  const double wanted = TextoParaNumero(value);
  for (t->first(); !t->eof(); t->next()) {
    if (t->recNo() == own_record) continue;
    if (number ? t->asNumber(field.name) == wanted : Apara(t->getString(field.name)) == Apara(value)) return true;
  }
  return false;
}

}  // namespace

TechnicalPageUse UseOfPage(TechnicalPage page) {
  switch (page) {
    case TechnicalPage::kTerminals: return {"Ycoter", "Ycoter", true, 0, 0};
    case TechnicalPage::kHeader: return {"", "Ycoprm", true, 24, 241};
    case TechnicalPage::kTaxes: return {"Ycotrb", "Ycotrb", true, 0, 0};
    case TechnicalPage::kKeyboard: return {"", "", false, 21, 211};
    case TechnicalPage::kDateTime: return {"", "", true, 19, 191};
    case TechnicalPage::kStore: return {"", "Ycoprm", true, 0, 0};
  }
  return {};
}

RuleResult CheckTerminal(const db::Database& db, const TerminalInput& in, uint32_t own_record) {
  using F = TerminalInput::Field;
  const double number = TextoParaNumero(in.number);
  if (number <= 0) return Fail("Nº de Terminal inválido !", F::kNumber);
  if (Blank(in.address)) return Fail("End.IP inválido !", F::kAddress);
  if (Blank(in.serial)) return Fail("Nº de Série do Ecf inválido !", F::kSerial);
  if (Taken(db, ycoter::kTable, ycoter::ESTACAO, in.number, own_record))
    return Fail("Nº de Terminal já existente !", F::kNumber);
  if (Taken(db, ycoter::kTable, ycoter::TER_ECFSER, in.address, own_record))
    return Fail("End. IP já existente !", F::kAddress);
  return std::nullopt;
}

RuleResult CheckHeader(const HeaderInput& in) {
  if (Blank(in.name)) return Fail("Razão Social inválida !", HeaderInput::kName);
  if (Blank(in.address)) return Fail("Endereço inválido !", HeaderInput::kAddress);
  return std::nullopt;
}

bool IsFixedTaxCode(double code) { return code >= 14; }

RuleResult CheckTax(const db::Database& db, const TaxInput& in, bool new_row) {
  using F = TaxInput::Field;
  const double code = TextoParaNumero(in.code);
  if (new_row) {
    if (Taken(db, ycotrb::kTable, ycotrb::TRB_CODIGO, in.code, 0)) return Fail("Cód. de Tributação repetido !", F::kCode);
    if (Taken(db, ycotrb::kTable, ycotrb::TRB_LEGEND, in.legend, 0))
      return Fail("Legenda de Tributação repetida !", F::kLegend);
  }
  // a code the products cannot name (0 or less) is as wrong as one above 16
  if (code > 16 || code < 1) return Fail("Código da Tributação inválido !", F::kCode);
  if (Blank(in.description)) return Fail("Descrição da Tributação inválida !", F::kDescription);
  if (Blank(in.legend)) return Fail("Legenda da Tributação inválida !", F::kLegend);
  return std::nullopt;
}

RuleResult CheckStore(const StoreInput& in) {
  using F = StoreInput::Field;
  if (!ValidaCNPJ(TextoParaNumero(TiraMascara(in.cnpj)))) return Fail("CNPJ inválido !", F::kCnpj);
  if (Blank(in.ie)) return Fail("I.E. inválida !", F::kIe);
  if (Blank(in.city)) return Fail("Municipio inválido !", F::kCity);
  if (Blank(in.district)) return Fail("Bairro inválido !", F::kDistrict);
  if (TextoParaNumero(in.cep) <= 0) return Fail("CEP inválido !", F::kCep);
  if (Blank(in.state)) return Fail("UF inválido !", F::kState);
  if (TextoParaNumero(in.area_code) <= 0) return Fail("DDD inválido !", F::kAreaCode);
  if (TextoParaNumero(in.phone) <= 0) return Fail("Fone inválido !", F::kPhone);
  if (Blank(in.contact)) return Fail("Contato inválido !", F::kContact);
  return std::nullopt;
}

std::variant<kaslo::DateTime, RuleFailure> ReadDateTime(const DateTimeInput& in) {
  const auto date = ParseDayMonthYear(in.date);
  if (!date) return RuleFailure{std::string(kMsgDataInvalida), DateTimeInput::kDate};
  const auto hour = ParseHourMinute(in.hour);
  if (!hour) return RuleFailure{std::string(kMsgHoraInvalida), DateTimeInput::kHour};
  kaslo::DateTime when;
  when.date = *date;
  when.hour = hour->first;
  when.minute = hour->second;
  return when;
}

}  // namespace kaslo::config
