// Ycodep, the departments, each with the tax code it suggests.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"
#include "db/tables/ycotrb.h"

namespace kaslo::ycodep {

inline constexpr std::string_view kTable = "Ycodep";

inline constexpr db::FieldDef DEP_CODIGO = db::Num("DEP_CODIGO", 3);
inline constexpr db::FieldDef DEP_DESCR = db::Char("DEP_DESCR", 15);
inline constexpr db::FieldDef TRB_CODIGO = ycotrb::TRB_CODIGO;

inline constexpr db::FieldDef kFields[] = {
    DEP_CODIGO, DEP_DESCR, TRB_CODIGO,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "dep_codigo"},
    {"Dois", "dep_descr"},
};

}  // namespace kaslo::ycodep
