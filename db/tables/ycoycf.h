// Ycoycf, the terminal option configuration, one row: peripherals, the four
// discount and surcharge groups (type "P" percentage or "V" value, rate,
// may the terminal alter it) and the four sale-message lines.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycoycf {

inline constexpr std::string_view kTable = "Ycoycf";

inline constexpr db::FieldDef YCF_BALANC = db::Char("YCF_BALANC", 1);
inline constexpr db::FieldDef YCF_BALETQ = db::Char("YCF_BALETQ", 1);
inline constexpr db::FieldDef YCF_TEF = db::Char("YCF_TEF", 1);
inline constexpr db::FieldDef YCF_CHEQUE = db::Char("YCF_CHEQUE", 1);
inline constexpr db::FieldDef YCF_PCCOM5 = db::Char("YCF_PCCOM5", 1);
inline constexpr db::FieldDef YCF_GAVPRE = db::Char("YCF_GAVPRE", 1);
inline constexpr db::FieldDef YCF_GAVABR = db::Char("YCF_GAVABR", 1);
inline constexpr db::FieldDef YCF_GAVIMP = db::Char("YCF_GAVIMP", 1);
inline constexpr db::FieldDef YCF_GAVREL = db::Char("YCF_GAVREL", 1);
inline constexpr db::FieldDef YCF_DSTIPO = db::Char("YCF_DSTIPO", 1);
inline constexpr db::FieldDef YCF_DSPER = db::Num("YCF_DSPER", 5, 2);
inline constexpr db::FieldDef YCF_DSALT = db::Char("YCF_DSALT", 1);
inline constexpr db::FieldDef YCF_DITIPO = db::Char("YCF_DITIPO", 1);
inline constexpr db::FieldDef YCF_DIPER = db::Num("YCF_DIPER", 5, 2);
inline constexpr db::FieldDef YCF_DIALT = db::Char("YCF_DIALT", 1);
inline constexpr db::FieldDef YCF_ASTIPO = db::Char("YCF_ASTIPO", 1);
inline constexpr db::FieldDef YCF_ASPER = db::Num("YCF_ASPER", 5, 2);
inline constexpr db::FieldDef YCF_ASALT = db::Char("YCF_ASALT", 1);
inline constexpr db::FieldDef YCF_AITIPO = db::Char("YCF_AITIPO", 1);
inline constexpr db::FieldDef YCF_AIPER = db::Num("YCF_AIPER", 5, 2);
inline constexpr db::FieldDef YCF_AIALT = db::Char("YCF_AIALT", 1);
inline constexpr db::FieldDef YCF_MSG1 = db::Char("YCF_MSG1", 42);
inline constexpr db::FieldDef YCF_MSG2 = db::Char("YCF_MSG2", 42);
inline constexpr db::FieldDef YCF_MSG3 = db::Char("YCF_MSG3", 42);
inline constexpr db::FieldDef YCF_MSG4 = db::Char("YCF_MSG4", 42);
inline constexpr db::FieldDef YCF_EXPA1 = db::Char("YCF_EXPA1", 1);
inline constexpr db::FieldDef YCF_EXPA2 = db::Char("YCF_EXPA2", 1);
inline constexpr db::FieldDef YCF_EXPA3 = db::Char("YCF_EXPA3", 1);
inline constexpr db::FieldDef YCF_EXPA4 = db::Char("YCF_EXPA4", 1);
inline constexpr db::FieldDef YCF_CAMCEN = db::Char("YCF_CAMCEN", 1);
inline constexpr db::FieldDef YCF_CAMCE1 = db::Char("YCF_CAMCE1", 1);
inline constexpr db::FieldDef YCF_CAMCE2 = db::Char("YCF_CAMCE2", 1);
inline constexpr db::FieldDef YCF_CAMCE3 = db::Char("YCF_CAMCE3", 1);
inline constexpr db::FieldDef YCF_CEN1 = db::Char("YCF_CEN1", 1);
inline constexpr db::FieldDef YCF_CEN2 = db::Char("YCF_CEN2", 1);
inline constexpr db::FieldDef YCF_CEN3 = db::Char("YCF_CEN3", 1);
inline constexpr db::FieldDef YCF_CEN4 = db::Char("YCF_CEN4", 1);

inline constexpr db::FieldDef kFields[] = {
    YCF_BALANC, YCF_BALETQ, YCF_TEF, YCF_CHEQUE, YCF_PCCOM5, YCF_GAVPRE, YCF_GAVABR,
    YCF_GAVIMP, YCF_GAVREL, YCF_DSTIPO, YCF_DSPER, YCF_DSALT, YCF_DITIPO, YCF_DIPER,
    YCF_DIALT, YCF_ASTIPO, YCF_ASPER, YCF_ASALT, YCF_AITIPO, YCF_AIPER, YCF_AIALT,
    YCF_MSG1, YCF_MSG2, YCF_MSG3, YCF_MSG4, YCF_EXPA1, YCF_EXPA2, YCF_EXPA3, YCF_EXPA4,
    YCF_CAMCEN, YCF_CAMCE1, YCF_CAMCE2, YCF_CAMCE3, YCF_CEN1, YCF_CEN2, YCF_CEN3,
    YCF_CEN4,
};
// Read without a tag.
inline constexpr std::span<const db::TagDef> kTags{};

}  // namespace kaslo::ycoycf
