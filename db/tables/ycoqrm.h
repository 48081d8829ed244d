// Ycoqrm, the payment types ("finalizadoras") of the second terminal model.
// The kind (_TIPO): "1" standard, "2" cheque, "3" TEF, "4" agreement.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycoqrm {

inline constexpr std::string_view kTable = "Ycoqrm";

inline constexpr db::FieldDef QRM_CODIGO = db::Num("QRM_CODIGO", 2);
inline constexpr db::FieldDef QRM_DESCR = db::Char("QRM_DESCR", 20);
inline constexpr db::FieldDef QRM_TIPO = db::Char("QRM_TIPO", 1);
inline constexpr db::FieldDef QRM_TROCO = db::Char("QRM_TROCO", 1);
inline constexpr db::FieldDef QRM_GAVETA = db::Char("QRM_GAVETA", 1);
inline constexpr db::FieldDef QRM_CVALLE = db::Char("QRM_CVALLE", 1);
inline constexpr db::FieldDef QRM_LIMITE = db::Num("QRM_LIMITE", 12, 2);

inline constexpr db::FieldDef kFields[] = {
    QRM_CODIGO, QRM_DESCR, QRM_TIPO, QRM_TROCO, QRM_GAVETA, QRM_CVALLE, QRM_LIMITE,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "qrm_codigo"},
    {"Dois", "qrm_descr"},
};

}  // namespace kaslo::ycoqrm
