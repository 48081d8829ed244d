// Rules of the department editor: the tax panel, the validation and the
// allocation of a new department's code under the parameter-table lock.
#pragma once

#include <string>

#include "db/database.h"
#include "db/table.h"
#include "registers/editor_rules.h"

namespace kaslo::registers {

inline constexpr int kDepartmentLimit = 99;

// The text beside a tax code (Latin-1): the tax's description, or
// "TRIBUTAÇÃO NÃO CADASTRADA"; "" for code 0. `trb` is Ycotrb on tag "Um";
// its cursor moves.
std::string TaxPanel(db::Table& trb, double code);

// Description must be filled; a tax code above 0 must exist in `trb`.
// Focus names: "DEP_DESCR", "TRB_CODIGO".
Validation ValidateDepartment(std::string_view description, double tax_code, db::Table& trb);

// The lowest code from 1 on that no department in `dep` (Ycodep, tag "Um")
// has. The cursor moves.
double FirstFreeDepartmentCode(db::Table& dep);

// Gives the department pending insertion in `dep` its code and posts it,
// under the exclusive open of Ycoprm: with PRM_CODFRE "N" the next value of
// PRM_UTDEPT, otherwise the lowest free code (PRM_UTDEPT then becomes the
// highest code in use). On kGaveUp and kFailed the record stays in insert
// mode.
Allocation InsertDepartment(const db::Database& db, db::Table& dep, const LockOptions& options = {});

}  // namespace kaslo::registers
