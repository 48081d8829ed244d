// The product editor's rules.
#include "registers/products.h"

#include <cmath>

#include "common/checkdigits.h"
#include "common/clock.h"
#include "common/encoding.h"
#include "common/numbers.h"
#include "common/text.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycotrb.h"
#include "db/tables/ycoy60.h"

namespace kaslo::registers {

namespace {

std::string WholeNumber(double value) { return NumeroParaTexto(0, 0, value); }

}  // namespace

bool CheckDigitOn(const db::Database& db) {
  auto prm = db.open(ycoprm::kTable);
  prm->first();
  return !prm->eof() && prm->getString(ycoprm::Q40_DIGCON) == "S";
}

std::string CodeOnEnter(std::string_view text, bool check_digit) {
  if (!check_digit || text.size() >= 13) return std::string(text);
  return WholeNumber(DigitoEAN(CodeOfText(text)));
}

double CodeOfText(std::string_view text) {
  std::string digits = RemoveTexto(text, "-");
  std::string trimmed = Apara(digits);
  // the whole text must be a number: "12abc" is no code
  if (trimmed.empty() || trimmed.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::floor(TextoParaNumero(trimmed));
}

std::string CodeDisplay(double code, bool check_digit) {
  std::string digits = WholeNumber(code);
  if (!check_digit) return digits;
  if (digits.size() < 2) digits.insert(0, "0");
  digits.insert(digits.size() - 1, "-");
  return digits;
}

std::string ProductFindKey(std::string_view typed, bool check_digit) {
  if (!check_digit) return std::string(typed);
  if (typed.find('-') != std::string_view::npos) return RemoveTexto(typed, "-");
  const std::string digits = Apara(typed);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return std::string(typed);
  return WholeNumber(DigitoEAN(TextoParaNumero(digits)));
}

double QueueKey(double code, bool check_digit) { return check_digit ? TiraDigito(code) : code; }

int StockDecimals(std::string_view pesad) { return pesad == "N" ? 0 : 3; }
int PriceDecimals(std::string_view casad) { return casad == "3" ? 3 : 2; }
std::string FormatDecimals(double value, int decimals) { return NumeroParaTexto(0, decimals, value); }

std::string ShortDescriptionOf(std::string_view description) {
  return std::string(description.substr(0, std::min<size_t>(20, description.size())));
}

std::string TaxPanelOfText(db::Table& trb, std::string_view text) {
  std::string last_two(text.size() > 2 ? text.substr(text.size() - 2) : text);
  last_two.insert(0, 2 - last_two.size(), '0');
  double number = TextoParaNumero(text);
  if (last_two != "00" && number == 0) return {};
  if (trb.findKey(number)) return trb.getString(ycotrb::TRB_DESCR);
  return Utf8ToLatin1("TRIBUTAÇÃO NÃO CADASTRADA");
}

std::string ProductDepartmentPanel(db::Table& grp, db::Table& dep, double department,
                                   std::optional<double>* group) {
  if (group) group->reset();
  if (department == 0) return {};
  std::string panel;
  grp.setTag("Quatro");
  if (grp.findKey(department)) {
    panel = grp.getString(ycogrp::GRP_DESCR);
    if (group) *group = grp.asNumber(ycogrp::GRP_CODIGO);
  }
  if (dep.findKey(department)) return panel + " / " + dep.getString(ycodep::DEP_DESCR);
  return Utf8ToLatin1("DEPTO NÃO CADASTRADO");
}

Validation ValidateProduct(const ProductInput& in, db::Table& aux, db::Table& trb, db::Table& grp, db::Table& dep) {
  const double code = CodeOfText(in.code_text);
  if (code <= 0) return Invalid{MustFill("Código"), "PRO_PLU"};
  if (!in.inserting) return std::nullopt;
  aux.setTag("Um");
  aux.refresh();
  if (aux.findKey(code)) {
    return Invalid{"Código Duplicado \"" + RemoveTexto(in.code_text, "-") + "\" !", "PRO_PLU"};
  }
  if (Apara(in.description).empty()) return Invalid{MustFill("Descrição"), "PRO_DESCR"};
  if (Apara(in.short_description).empty()) return Invalid{MustFill("Descrição Resumida"), "PRO_RESUM"};
  if (!trb.findKey(in.tax)) return Invalid{"Tributação não cadastrada !", "PRO_TRIBUT"};
  grp.setTag("Um");
  bool pair = grp.findKey({in.group, in.department});
  grp.setTag("Quatro");
  if (!pair) return Invalid{"Grupo/Depto não cadastrado !", "PRO_DEPTO"};
  if (!dep.findKey(in.department)) return Invalid{"Departamento não cadastrado !", "PRO_DEPTO"};
  return std::nullopt;
}

void SetNewProductDefaults(db::Table& pro) {
  pro.setString(ycopro::PRO_PESAD, "N");
  pro.setString(ycopro::PRO_LITRAD, "N");
  pro.setString(ycopro::PRO_GRPITE, "0");
  pro.setString(ycopro::PRO_CASAD, "2");
  pro.setString(ycopro::PRO_PROMO, "N");
  for (const auto& f : {ycopro::PRO_ESTQ, ycopro::PRO_PCOVEN, ycopro::PRO_PCOPRO, ycopro::PRO_PCOATA,
                        ycopro::PRO_UNMED, ycopro::PRO_TRB0, ycopro::PRO_TRB1}) {
    pro.setNumber(f, 0);
  }
}

RememberedProduct RememberProduct(const db::Table& pro) {
  return {pro.asNumber(ycopro::PRO_TRIBUT), pro.asNumber(ycopro::PRO_PCOVEN), pro.asNumber(ycopro::PRO_PCOPRO),
          pro.asNumber(ycopro::PRO_PCOATA)};
}

void StampProduct(db::Table& pro, const std::optional<RememberedProduct>& before) {
  if (before && pro.asNumber(ycopro::PRO_TRIBUT) != before->tax &&
      (pro.asNumber(ycopro::PRO_PCOVEN) != before->sale || pro.asNumber(ycopro::PRO_PCOPRO) != before->promo ||
       pro.asNumber(ycopro::PRO_PCOATA) != before->wholesale)) {
    pro.setString(ycopro::PRO_FLAGPC, "*");
  }
  pro.setDate(ycopro::PRO_DTUALT, Today());
}

QueueStatus ChangeStatus(double stock) { return stock != 0 ? QueueStatus::kChanged : QueueStatus::kChangedNoStock; }

std::string QueueDay() {
  const auto today = Today();
  return NumeroComZeros(2, 0, static_cast<unsigned>(today.month())) +
         NumeroComZeros(2, 0, static_cast<unsigned>(today.day()));
}

void WriteQueueRow(const db::Database& db, const db::Table& pro, bool check_digit, QueueStatus status) {
  const double key = QueueKey(pro.asNumber(ycopro::PRO_PLU), check_digit);
  auto y60 = db.open(ycoy60::kTable);
  bool found = false;
  for (uint32_t rec : y60->visibleOrder()) {
    if (TextoParaNumero(y60->getStringAt(rec, ycoy60::Y60_PROPLU)) == key && y60->go(rec)) {
      found = true;
      break;
    }
  }
  if (found) y60->edit();
  else y60->append();
  y60->setNumber(ycoy60::Y60_PROPLU, key);
  y60->setString(ycoy60::Y60_DESCR, pro.getString(ycopro::PRO_DESCR).substr(0, 22));
  y60->setString(ycoy60::Y60_RESUM, ShortDescriptionOf(pro.getString(ycopro::PRO_RESUM)));
  y60->setString(ycoy60::Y60_DATA, QueueDay());
  y60->setString(ycoy60::Y60_STATUS, std::string(1, static_cast<char>(status)));
  y60->setNumber(ycoy60::Y60_TRIBUT, pro.asNumber(ycopro::PRO_TRIBUT));
  y60->setNumber(ycoy60::Y60_DEPTO, pro.asNumber(ycopro::PRO_DEPTO));
  y60->setNumber(ycoy60::Y60_PCOVEN, pro.asNumber(ycopro::PRO_PCOVEN));
  y60->setString(ycoy60::PRO_GRPITE, WholeNumber(TextoParaNumero(pro.getString(ycopro::PRO_GRPITE))));
  y60->setString(ycoy60::PRO_CASAD, pro.getString(ycopro::PRO_CASAD));
  y60->setString(ycoy60::PRO_PESAD, pro.getString(ycopro::PRO_PESAD));
  y60->setString(ycoy60::PRO_LITRAD, pro.getString(ycopro::PRO_LITRAD));
  if (status != QueueStatus::kDeleted) y60->setNumber(ycoy60::PRO_ESTQ, pro.asNumber(ycopro::PRO_ESTQ));
  y60->post();
  y60->close();
}

std::string ProductCaption(bool by_description, size_t count) {
  return std::string("Cadastro de Produtos") + std::string(by_description ? kOrdenadoDescricao : kOrdenadoCodigo) +
         "   -   Total de Registros: [ " + std::to_string(count) + " ]";
}

}  // namespace kaslo::registers
