// Ycoter, the terminals that the communication window lists and serves:
// terminal number and network address.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycoter {

inline constexpr std::string_view kTable = "Ycoter";

inline constexpr db::FieldDef ESTACAO = db::Num("ESTACAO", 3);
inline constexpr db::FieldDef TER_ECFSER = db::Char("TER_ECFSER", 30);
inline constexpr db::FieldDef TER_ECFNO = db::Num("TER_ECFNO", 10);
inline constexpr db::FieldDef TER_LOJA = db::Num("TER_LOJA", 4);
inline constexpr db::FieldDef TER_PORTA = db::Char("TER_PORTA", 4);
inline constexpr db::FieldDef TER_RESERV = db::Char("TER_RESERV", 1);

inline constexpr db::FieldDef kFields[] = {
    ESTACAO, TER_ECFSER, TER_ECFNO, TER_LOJA, TER_PORTA, TER_RESERV,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "estacao"},
    {"Dois", "ter_ecfser"},
};

}  // namespace kaslo::ycoter
