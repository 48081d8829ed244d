// Ycotet, the terminals of the second model.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"
#include "db/tables/ycoter.h"

namespace kaslo::ycotet {

inline constexpr std::string_view kTable = "Ycotet";

inline constexpr db::FieldDef ESTACAO = ycoter::ESTACAO;
inline constexpr db::FieldDef TET_TETNO = db::Num("TET_TETNO", 3);
inline constexpr db::FieldDef TET_PORTA = db::Char("TET_PORTA", 4);
inline constexpr db::FieldDef TET_TETSER = db::Char("TET_TETSER", 30);
inline constexpr db::FieldDef TET_RESERV = db::Char("TET_RESERV", 1);
inline constexpr db::FieldDef TET_TPIMPR = db::Char("TET_TPIMPR", 5);
inline constexpr db::FieldDef TET_ECFNO = db::Num("TET_ECFNO", 10);
inline constexpr db::FieldDef TET_ECFSER = db::Char("TET_ECFSER", 30);
inline constexpr db::FieldDef TET_RESTAU = db::Char("TET_RESTAU", 1);
inline constexpr db::FieldDef TET_LOJA = db::Num("TET_LOJA", 4);

inline constexpr db::FieldDef kFields[] = {
    ESTACAO, TET_TETNO, TET_PORTA, TET_TETSER, TET_RESERV, TET_TPIMPR, TET_ECFNO,
    TET_ECFSER, TET_RESTAU, TET_LOJA,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "tet_tetno"},
    {"Dois", "tet_tetser"},
    {"Tres", "estacao"},
};

}  // namespace kaslo::ycotet
