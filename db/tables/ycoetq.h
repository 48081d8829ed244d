// Ycoetq, the label layouts that PRM_ETMPRO and PRM_ETMGON choose: page geometry
// in millimetres and what a label prints ("S"/"N").
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycoetq {

inline constexpr std::string_view kTable = "Ycoetq";

inline constexpr db::FieldDef ETQ_CODIGO = db::Num("ETQ_CODIGO", 3);
inline constexpr db::FieldDef ETQ_DESCR = db::Char("ETQ_DESCR", 20);
inline constexpr db::FieldDef ETQ_LARGUR = db::Num("ETQ_LARGUR", 5, 1);
inline constexpr db::FieldDef ETQ_ALTURA = db::Num("ETQ_ALTURA", 5, 1);
inline constexpr db::FieldDef ETQ_COLUNA = db::Num("ETQ_COLUNA", 2);
inline constexpr db::FieldDef ETQ_MARESQ = db::Num("ETQ_MARESQ", 5, 1);
inline constexpr db::FieldDef ETQ_MARSUP = db::Num("ETQ_MARSUP", 5, 1);
inline constexpr db::FieldDef ETQ_ESPACO = db::Num("ETQ_ESPACO", 5, 1);
inline constexpr db::FieldDef ETQ_DESCRI = db::Char("ETQ_DESCRI", 1);
inline constexpr db::FieldDef ETQ_PRECO = db::Char("ETQ_PRECO", 1);
inline constexpr db::FieldDef ETQ_CODBAR = db::Char("ETQ_CODBAR", 1);

inline constexpr db::FieldDef kFields[] = {
    ETQ_CODIGO, ETQ_DESCR, ETQ_LARGUR, ETQ_ALTURA, ETQ_COLUNA, ETQ_MARESQ, ETQ_MARSUP,
    ETQ_ESPACO, ETQ_DESCRI, ETQ_PRECO, ETQ_CODBAR,
};
inline constexpr db::TagDef kTags[] = {
    {"UM", "etq_codigo"},
};

}  // namespace kaslo::ycoetq
