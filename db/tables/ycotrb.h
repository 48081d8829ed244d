// Ycotrb, the tax codes. Codes 14 to 16 are fixed (substitution, exempt, not
// taxed); TRB_TIPO is "T" for ICMS and "S" for ISS.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycotrb {

inline constexpr std::string_view kTable = "Ycotrb";

inline constexpr db::FieldDef TRB_CODIGO = db::Num("TRB_CODIGO", 3);
inline constexpr db::FieldDef TRB_DESCR = db::Char("TRB_DESCR", 20);
inline constexpr db::FieldDef TRB_LEGEND = db::Char("TRB_LEGEND", 3);
inline constexpr db::FieldDef TRB_TIPO = db::Char("TRB_TIPO", 1);
inline constexpr db::FieldDef TRB_PERCEN = db::Num("TRB_PERCEN", 5, 2);

inline constexpr db::FieldDef kFields[] = {
    TRB_CODIGO, TRB_DESCR, TRB_LEGEND, TRB_TIPO, TRB_PERCEN,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "trb_codigo"},
    {"Dois", "trb_descr"},
};

}  // namespace kaslo::ycotrb
