// Ycoope, the operators of the terminals: profile ("S" manager, "N" operator),
// a four-digit numeric password and twelve "S"/"N" permissions.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycoope {

inline constexpr std::string_view kTable = "Ycoope";

inline constexpr db::FieldDef OPE_CODIGO = db::Num("OPE_CODIGO", 4);
inline constexpr db::FieldDef OPE_NOME = db::Char("OPE_NOME", 15);
inline constexpr db::FieldDef OPE_PERFIL = db::Char("OPE_PERFIL", 1);
inline constexpr db::FieldDef OPE_SENHA = db::Num("OPE_SENHA", 4);
inline constexpr db::FieldDef OPE_DITEM = db::Char("OPE_DITEM", 1);
inline constexpr db::FieldDef OPE_DSUBTO = db::Char("OPE_DSUBTO", 1);
inline constexpr db::FieldDef OPE_AITEM = db::Char("OPE_AITEM", 1);
inline constexpr db::FieldDef OPE_ASUBTO = db::Char("OPE_ASUBTO", 1);
inline constexpr db::FieldDef OPE_CITEM = db::Char("OPE_CITEM", 1);
inline constexpr db::FieldDef OPE_CCUPOM = db::Char("OPE_CCUPOM", 1);
inline constexpr db::FieldDef OPE_LIMITE = db::Char("OPE_LIMITE", 1);
inline constexpr db::FieldDef OPE_RELATO = db::Char("OPE_RELATO", 1);
inline constexpr db::FieldDef OPE_SANGRI = db::Char("OPE_SANGRI", 1);
inline constexpr db::FieldDef OPE_FDCXA = db::Char("OPE_FDCXA", 1);
inline constexpr db::FieldDef OPE_LEITX = db::Char("OPE_LEITX", 1);
inline constexpr db::FieldDef OPE_REDZ = db::Char("OPE_REDZ", 1);

inline constexpr db::FieldDef kFields[] = {
    OPE_CODIGO, OPE_NOME, OPE_PERFIL, OPE_SENHA, OPE_DITEM, OPE_DSUBTO, OPE_AITEM,
    OPE_ASUBTO, OPE_CITEM, OPE_CCUPOM, OPE_LIMITE, OPE_RELATO, OPE_SANGRI, OPE_FDCXA,
    OPE_LEITX, OPE_REDZ,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "ope_codigo"},
    {"Dois", "ope_nome"},
};

}  // namespace kaslo::ycoope
