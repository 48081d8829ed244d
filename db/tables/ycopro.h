// Ycopro, the products: code, descriptions, department, prices, unit and tax code,
// the terminal-model flags and the stock.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycopro {

inline constexpr std::string_view kTable = "Ycopro";

inline constexpr db::FieldDef PRO_PLU = db::Num("PRO_PLU", 14);
inline constexpr db::FieldDef PRO_DESCR = db::Char("PRO_DESCR", 50);
inline constexpr db::FieldDef PRO_RESUM = db::Char("PRO_RESUM", 20);
inline constexpr db::FieldDef PRO_GRUPO = db::Num("PRO_GRUPO", 3);
inline constexpr db::FieldDef PRO_DEPTO = db::Num("PRO_DEPTO", 3);
inline constexpr db::FieldDef PRO_LITRAD = db::Char("PRO_LITRAD", 1);
inline constexpr db::FieldDef PRO_PESAD = db::Char("PRO_PESAD", 1);
inline constexpr db::FieldDef PRO_CASAD = db::Char("PRO_CASAD", 1);
inline constexpr db::FieldDef PRO_PCOVEN = db::Num("PRO_PCOVEN", 12, 3);
inline constexpr db::FieldDef PRO_PCOPRO = db::Num("PRO_PCOPRO", 12, 3);
inline constexpr db::FieldDef PRO_PCOATA = db::Num("PRO_PCOATA", 12, 3);
inline constexpr db::FieldDef PRO_PROMO = db::Char("PRO_PROMO", 1);
inline constexpr db::FieldDef PRO_GRPITE = db::Char("PRO_GRPITE", 2);
inline constexpr db::FieldDef PRO_TRIBUT = db::Num("PRO_TRIBUT", 3);
inline constexpr db::FieldDef PRO_Q4000 = db::Logical("PRO_Q4000");
inline constexpr db::FieldDef PRO_QZV = db::Logical("PRO_QZV");
inline constexpr db::FieldDef PRO_QZVRES = db::Logical("PRO_QZVRES");
inline constexpr db::FieldDef PRO_FLAGAL = db::Char("PRO_FLAGAL", 1);
inline constexpr db::FieldDef PRO_FLAGTR = db::Char("PRO_FLAGTR", 1);
inline constexpr db::FieldDef PRO_FLAGPC = db::Char("PRO_FLAGPC", 1);
inline constexpr db::FieldDef PRO_DTUALT = db::DateField("PRO_DTUALT");
inline constexpr db::FieldDef PRO_ESTQ = db::Num("PRO_ESTQ", 10, 3);
inline constexpr db::FieldDef PRO_UNMED = db::Num("PRO_UNMED", 1);
inline constexpr db::FieldDef PRO_TRB0 = db::Num("PRO_TRB0", 2);
inline constexpr db::FieldDef PRO_TRB1 = db::Num("PRO_TRB1", 2);

inline constexpr db::FieldDef kFields[] = {
    PRO_PLU, PRO_DESCR, PRO_RESUM, PRO_GRUPO, PRO_DEPTO, PRO_LITRAD, PRO_PESAD,
    PRO_CASAD, PRO_PCOVEN, PRO_PCOPRO, PRO_PCOATA, PRO_PROMO, PRO_GRPITE, PRO_TRIBUT,
    PRO_Q4000, PRO_QZV, PRO_QZVRES, PRO_FLAGAL, PRO_FLAGTR, PRO_FLAGPC, PRO_DTUALT,
    PRO_ESTQ, PRO_UNMED, PRO_TRB0, PRO_TRB1,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "pro_plu"},
    {"Dois", "pro_descr"},
};

}  // namespace kaslo::ycopro
