// Rules of the operator and seller editors: the people of the store's
// terminals. Operators carry a profile, a numeric password and twelve
// permissions that the terminals apply after the operator load; sellers a
// code and a name.
#pragma once

#include <string>
#include <string_view>

#include "db/field.h"
#include "db/table.h"
#include "db/tables/ycoope.h"
#include "registers/editor_rules.h"

namespace kaslo::registers {

inline constexpr int kOperatorLimit = 25;
inline constexpr int kSellerLimit = 200;
inline constexpr std::string_view kOrdenadoNome = "   -   Ordenado por Nome";
// The failure of Gravar in both windows, for an insert and an edit alike.
inline constexpr std::string_view kMsgGravarPessoaFalhou =
    "Não foi possível alterar o registro !\r\nTente novamente ou cancele a alteração.";

// The twelve permissions, in the window's tab order: three columns of four.
inline constexpr db::FieldDef kOperatorPermissions[] = {
    ycoope::OPE_DITEM, ycoope::OPE_DSUBTO, ycoope::OPE_CITEM,  ycoope::OPE_CCUPOM,
    ycoope::OPE_LEITX, ycoope::OPE_REDZ,   ycoope::OPE_SANGRI, ycoope::OPE_FDCXA,
    ycoope::OPE_LIMITE, ycoope::OPE_RELATO, ycoope::OPE_AITEM, ycoope::OPE_ASUBTO,
};

// A new operator is an operator ("N") with every permission "N"; `ope` is
// in insert mode.
void SetNewOperatorDefaults(db::Table& ope);

// The password as the box shows it: at least four digits ("0007").
std::string PasswordText(double password);

// A repeated code (insert only; any code, 0 included, is taken when free),
// then the name, then the password text. `aux` is a second cursor on
// Ycoope; its tag and position change.
Validation ValidateOperator(bool inserting, double code, std::string_view name, std::string_view password_text,
                            db::Table& aux);

// A code that is a number above 0 (an empty or non-numeric text is
// refused alike), a repeated code (insert only), then the name. `aux` is a
// second cursor on Ycoven.
Validation ValidateSeller(bool inserting, std::string_view code_text, std::string_view name, db::Table& aux);

}  // namespace kaslo::registers
