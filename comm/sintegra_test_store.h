// For tests: the store identity that the SINTEGRA records 10 and 11 are
// written from, put into the parameter row of a data directory.
#pragma once

#include <memory>

#include "db/database.h"
#include "db/table.h"
#include "db/tables/ycoprm.h"

namespace kaslo::comm::testing {

// Leaves the parameter table open in edit on its row, so that a caller can
// set more fields before it posts.
inline std::unique_ptr<db::Table> EditStoreIdentity(const db::Database& db) {
  auto prm = db.open(ycoprm::kTable);
  prm->first();
  prm->edit();
  prm->setNumber(ycoprm::PRM_CNPJ, 12345678000195);
  prm->setString(ycoprm::PRM_IE, "110042490114");
  prm->setString(ycoprm::PRM_RAZAOS, "MERCADO EXEMPLO LTDA");
  prm->setString(ycoprm::PRM_MUNICI, "SAO PAULO");
  prm->setString(ycoprm::PRM_UF, "SP");
  prm->setNumber(ycoprm::PRM_FONE, 1155732100);
  prm->setString(ycoprm::PRM_ENDERE, "RUA DAS FLORES");
  prm->setString(ycoprm::PRM_NUMERO, "120");
  prm->setNumber(ycoprm::PRM_CEP, 4117);
  prm->setNumber(ycoprm::PRM_CEPP, 91);
  return prm;
}

}  // namespace kaslo::comm::testing
