// The store's administrative parameters (the one row of Ycoprm) and the
// rules that the parameter and terminal-option windows share.
#pragma once

#include <string>
#include <string_view>

#include "db/field.h"
#include "db/table.h"

namespace kaslo::config {

inline constexpr std::string_view kMsgAlterarFalhou =
    "Não foi possível alterar o registro !\r\nTente novamente, ou cancele a operação.";
// Gravar in the terminal windows, with the lone "\r" they show.
inline constexpr std::string_view kMsgGravarFalhou =
    "Não foi possível alterar o registro !\rTente novamente ou cancele a alteração.";

// Puts the parameter row in edit, or appends it when the table has none.
// Engine failures are thrown.
void BeginParameterEdit(db::Table& prm);

// The "Alterar" failure with the engine's cause on a line of its own.
std::string EditFailure(std::string_view text, std::string_view cause);

// A printed line's centring choice. The terminal loads and the readings
// use `shown` (CAMCEN, CAMCE1..3); `also` (CEN1..4) is kept equal for the
// readers that know the older field.
struct CentringField {
  db::FieldDef shown;
  db::FieldDef also;
};
// Lines 1 to 4 of the store header (Ycoprm) and of the sale message (Ycoycf).
extern const CentringField kHeaderCentring[4];
extern const CentringField kMessageCentring[4];
// Writes a choice into both fields of its line of the pending row.
void WriteCentring(db::Table& table, const CentringField& line, std::string_view value);

// "Procura código livre a partir do registro inicial ?" (PRM_CODFRE): only
// "N" takes the next counter, so a blank field means "S".
std::string FreeCodeSearchShown(std::string_view stored);

// The "LOG On Line ?:" list: "SIM" or "NAO", and back.
std::string LogOnLineText(bool on);
bool LogOnLineChosen(std::string_view text);

}  // namespace kaslo::config
