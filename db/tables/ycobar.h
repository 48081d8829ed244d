// Ycobar, the bar codes of the products (product code, bar code).
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycobar {

inline constexpr std::string_view kTable = "Ycobar";

inline constexpr db::FieldDef BAR_PLU = db::Num("BAR_PLU", 14);
inline constexpr db::FieldDef BAR_CODIGO = db::Char("BAR_CODIGO", 14);

inline constexpr db::FieldDef kFields[] = {
    BAR_PLU, BAR_CODIGO,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "bar_plu"},
    {"Dois", "bar_codigo"},
};

}  // namespace kaslo::ycobar
