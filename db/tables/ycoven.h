// Ycoven, the sellers.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycoven {

inline constexpr std::string_view kTable = "Ycoven";

inline constexpr db::FieldDef VEN_CODIGO = db::Num("VEN_CODIGO", 4);
inline constexpr db::FieldDef VEN_NOME = db::Char("VEN_NOME", 20);

inline constexpr db::FieldDef kFields[] = {
    VEN_CODIGO, VEN_NOME,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "ven_codigo"},
    {"Dois", "ven_nome"},
};

}  // namespace kaslo::ycoven
