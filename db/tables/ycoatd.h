// Ycoatd, the attendants (code and description).
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycoatd {

inline constexpr std::string_view kTable = "Ycoatd";

inline constexpr db::FieldDef ATD_CODIGO = db::Num("ATD_CODIGO", 4);
inline constexpr db::FieldDef ATD_DESCR = db::Char("ATD_DESCR", 20);

inline constexpr db::FieldDef kFields[] = {
    ATD_CODIGO, ATD_DESCR,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "atd_codigo"},
    {"Dois", "atd_descr"},
};

}  // namespace kaslo::ycoatd
