// Ycogrp, the department groups. A row with a blank DEP_CODIGO defines the
// group; a row with DEP_CODIGO set makes that department a member.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"
#include "db/tables/ycodep.h"

namespace kaslo::ycogrp {

inline constexpr std::string_view kTable = "Ycogrp";

inline constexpr db::FieldDef GRP_CODIGO = db::Num("GRP_CODIGO", 3);
inline constexpr db::FieldDef GRP_DESCR = db::Char("GRP_DESCR", 20);
inline constexpr db::FieldDef DEP_CODIGO = ycodep::DEP_CODIGO;

inline constexpr db::FieldDef kFields[] = {
    GRP_CODIGO, GRP_DESCR, DEP_CODIGO,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "str(grp_codigo,12)+str(dep_codigo,12)"},
    {"Dois", "grp_descr"},
    {"Tres", "grp_codigo"},
    {"Quatro", "dep_codigo"},
};

}  // namespace kaslo::ycogrp
