// The department editor's rules.
#include "registers/departments.h"

#include "common/encoding.h"
#include "common/text.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycotrb.h"

namespace kaslo::registers {

std::string TaxPanel(db::Table& trb, double code) {
  if (code == 0) return {};
  if (trb.findKey(code)) return trb.getString(ycotrb::TRB_DESCR);
  return Utf8ToLatin1("TRIBUTAÇÃO NÃO CADASTRADA");
}

Validation ValidateDepartment(std::string_view description, double tax_code, db::Table& trb) {
  if (Apara(description).empty()) return Invalid{MustFill("Descrição"), "DEP_DESCR"};
  if (tax_code > 0 && !trb.findKey(tax_code)) return Invalid{"Tributação não cadastrada  !", "TRB_CODIGO"};
  return std::nullopt;
}

double FirstFreeDepartmentCode(db::Table& dep) {
  double candidate = 1;
  while (dep.findKey(candidate)) candidate += 1;
  return candidate;
}

Allocation InsertDepartment(const db::Database& db, db::Table& dep, const LockOptions& options) {
  return AllocateUnderParameterLock(
      db,
      [&](db::Table& prm) {
        if (prm.getString(ycoprm::PRM_CODFRE) == "N") {
          double code = prm.asNumber(ycoprm::PRM_UTDEPT) + 1;
          prm.setNumber(ycoprm::PRM_UTDEPT, code);
          dep.setNumber(ycodep::DEP_CODIGO, code);
          return dep.post();
        }
        // another station may have added departments since this one opened
        auto aux = db.open(ycodep::kTable, {.tag = "Um"});
        dep.setNumber(ycodep::DEP_CODIGO, FirstFreeDepartmentCode(*aux));
        if (!dep.post()) return false;
        aux->refresh();
        aux->last();
        prm.setNumber(ycoprm::PRM_UTDEPT, aux->eof() ? 0 : aux->asNumber(ycodep::DEP_CODIGO));
        return true;
      },
      options);
}

}  // namespace kaslo::registers
