// ycoy60, the queue of product changes not yet sent to the terminals, one row
// per product. Y60_STATUS: "1" deleted, "2" added, "3" changed with stock,
// "4" changed with a zero stock. Y60_DATA is "mmdd". The last five fields
// are copies of product fields under the product table's names.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"
#include "db/tables/ycopro.h"

namespace kaslo::ycoy60 {

inline constexpr std::string_view kTable = "ycoy60";

inline constexpr db::FieldDef Y60_PROPLU = db::Num("Y60_PROPLU", 14);
inline constexpr db::FieldDef Y60_DESCR = db::Char("Y60_DESCR", 22);
inline constexpr db::FieldDef Y60_RESUM = db::Char("Y60_RESUM", 20);
inline constexpr db::FieldDef Y60_DEPTO = db::Num("Y60_DEPTO", 3);
inline constexpr db::FieldDef Y60_TRIBUT = db::Num("Y60_TRIBUT", 3);
inline constexpr db::FieldDef Y60_PCOVEN = db::Num("Y60_PCOVEN", 12, 3);
inline constexpr db::FieldDef Y60_DATA = db::Char("Y60_DATA", 4);
inline constexpr db::FieldDef Y60_STATUS = db::Char("Y60_STATUS", 1);
inline constexpr db::FieldDef PRO_GRPITE = ycopro::PRO_GRPITE;
inline constexpr db::FieldDef PRO_CASAD = ycopro::PRO_CASAD;
inline constexpr db::FieldDef PRO_PESAD = ycopro::PRO_PESAD;
inline constexpr db::FieldDef PRO_LITRAD = ycopro::PRO_LITRAD;
inline constexpr db::FieldDef PRO_ESTQ = ycopro::PRO_ESTQ;

inline constexpr db::FieldDef kFields[] = {
    Y60_PROPLU, Y60_DESCR, Y60_RESUM, Y60_DEPTO, Y60_TRIBUT, Y60_PCOVEN, Y60_DATA,
    Y60_STATUS, PRO_GRPITE, PRO_CASAD, PRO_PESAD, PRO_LITRAD, PRO_ESTQ,
};
// Read without a tag.
inline constexpr std::span<const db::TagDef> kTags{};

}  // namespace kaslo::ycoy60
