// Ycotey, the functions a terminal key can carry, one row per function and
// terminal model (TEY_TYPE "QZV"): 900 + n departments, 801-805 item
// groups, 806-899 PLU keys, 1-43 the register's functions. TEY_BOTON is the
// key position carrying the function and TEY_NTECLA the code again, both 0
// when the function is on no key.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycotey {

inline constexpr std::string_view kTable = "Ycotey";

inline constexpr db::FieldDef TEY_NUMBER = db::Num("TEY_NUMBER", 3);
inline constexpr db::FieldDef TEY_DESCR = db::Char("TEY_DESCR", 40);
inline constexpr db::FieldDef TEY_DESCRI = db::Char("TEY_DESCRI", 20);
inline constexpr db::FieldDef TEY_LEGEND = db::Char("TEY_LEGEND", 3);
inline constexpr db::FieldDef TEY_BOTON = db::Num("TEY_BOTON", 2);
inline constexpr db::FieldDef TEY_NTECLA = db::Num("TEY_NTECLA", 3);
inline constexpr db::FieldDef TEY_TYPE = db::Char("TEY_TYPE", 5);

inline constexpr db::FieldDef kFields[] = {
    TEY_NUMBER, TEY_DESCR, TEY_DESCRI, TEY_LEGEND, TEY_BOTON, TEY_NTECLA, TEY_TYPE,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "tey_number"},
    {"Dois", "tey_descr"},
    {"Tres", "tey_boton"},
    {"Quatro", "tey_ntecla"},
};

}  // namespace kaslo::ycotey
