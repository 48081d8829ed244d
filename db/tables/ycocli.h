// Ycocli, the clients, with the digits of their CPF or CNPJ as a number and a
// credit status ("0" green, "1" yellow, "2" red).
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycocli {

inline constexpr std::string_view kTable = "Ycocli";

inline constexpr db::FieldDef CLI_CODIGO = db::Num("CLI_CODIGO", 4);
inline constexpr db::FieldDef CLI_NOME = db::Char("CLI_NOME", 25);
inline constexpr db::FieldDef CLI_CNPJ = db::Num("CLI_CNPJ", 14);
inline constexpr db::FieldDef CLI_STATUS = db::Char("CLI_STATUS", 1);
inline constexpr db::FieldDef CLI_ENDER = db::Char("CLI_ENDER", 40);
inline constexpr db::FieldDef CLI_COMPLE = db::Char("CLI_COMPLE", 40);
inline constexpr db::FieldDef REG_CODIGO = db::Num("REG_CODIGO", 6);

inline constexpr db::FieldDef kFields[] = {
    CLI_CODIGO, CLI_NOME, CLI_CNPJ, CLI_STATUS, CLI_ENDER, CLI_COMPLE, REG_CODIGO,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "cli_codigo"},
    {"Dois", "cli_nome"},
    {"Tres", "cli_cnpj"},
};

}  // namespace kaslo::ycocli
