// The clients register (job kind 16, "Client") that a terminal sends back as
// binary records of 128 bytes:
//
//   OFFSET SIZE DESCRIPTION
//   0      9    packed decimal, 18 digits, high half first: digits 1-4 the
//               client code, digits 5-18 the CPF or CNPJ
//   9      30   name or company name; a zero byte reads as a space
//   39     40   address
//   79     40   address complement
//   119    1    status character "0", "1" or "2"
//   120    8    not read
//
// At most 999,999 bytes of the file are read; a tail shorter than a record
// is ignored.
#pragma once

#include <filesystem>
#include <string_view>

#include "db/database.h"
#include "viewers/register_grid.h"

namespace kaslo::viewers {

inline constexpr size_t kClientRecordLength = 128;
inline constexpr size_t kClientFileLimit = 999'999;

// One row per record whose code is above 0. Columns "Código" (digits 1-4,
// leading zeros kept), "CPF/CNPJ" (masked as a CNPJ when it passes the CNPJ
// check, else as a CPF), "Nome/Razão Social", "Endereço", "Complemento"
// (trimmed) and "Status" ("VERDE", "AMARELO", "VERMELHO" or empty).
RegisterGrid DecodeClients(std::string_view bytes);
RegisterGrid DisplayClients(const std::filesystem::path& file);

// Empties Ycocli and inserts every row whose code is above 0: the tax number
// without its mask, the status code from the status cell ("VERDE" "0",
// "AMARELO" "1", anything else "2"), REG_CODIGO 0. Failure message:
// "Erro ao tentar incluir novo registro".
ReplaceOutcome ReplaceClients(const db::Database& db, const RegisterGrid& grid);

}  // namespace kaslo::viewers
