// Ycoq40, the payment types ("finalizadoras") of the first terminal model.
// The kind (_TIPO): "1" standard, "2" cheque, "3" TEF, "4" agreement.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycoq40 {

inline constexpr std::string_view kTable = "Ycoq40";

inline constexpr db::FieldDef Q40_CODIGO = db::Num("Q40_CODIGO", 2);
inline constexpr db::FieldDef Q40_DESCR = db::Char("Q40_DESCR", 20);
inline constexpr db::FieldDef Q40_TIPO = db::Char("Q40_TIPO", 1);
inline constexpr db::FieldDef Q40_TROCO = db::Char("Q40_TROCO", 1);
inline constexpr db::FieldDef Q40_GAVETA = db::Char("Q40_GAVETA", 1);
inline constexpr db::FieldDef Q40_CVALLE = db::Char("Q40_CVALLE", 1);
inline constexpr db::FieldDef Q40_LIMITE = db::Num("Q40_LIMITE", 12, 2);

inline constexpr db::FieldDef kFields[] = {
    Q40_CODIGO, Q40_DESCR, Q40_TIPO, Q40_TROCO, Q40_GAVETA, Q40_CVALLE, Q40_LIMITE,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "q40_codigo"},
    {"Dois", "q40_descr"},
};

}  // namespace kaslo::ycoq40
