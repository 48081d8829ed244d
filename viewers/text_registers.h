// The master-data registers that terminals send back as one text line of
// fixed-length records: operators (job kind 8, "user"), sellers (9, "vend"),
// department groups (10, "grpdepto") and departments (11, "depto").
//
// Decode* turn the line into grid rows and touch nothing else; Display*
// read the reception file's first line with the progress window shown;
// Replace* write the grid's cells into the table and report the outcome.
#pragma once

#include <filesystem>
#include <string_view>

#include "db/database.h"
#include "viewers/register_grid.h"

namespace kaslo::viewers {

// Operators, records of 39 characters:
//   POS LEN CONTENT
//   1   4   code, digits
//   5   15  name
//   20  4   password, digits
//   24  16  flags "S"/"N": 1 to 12 the permissions, 13 manager, 14-16 unused
RegisterGrid DecodeOperators(std::string_view line);
RegisterGrid DisplayOperators(const std::filesystem::path& file);
// Empties Ycoope and inserts every row whose code is above 0. Failure
// message: "Erro ao tentar incluir novo registro".
ReplaceOutcome ReplaceOperators(const db::Database& db, const RegisterGrid& grid);

// Sellers, records of 19 characters: code (1, 4), name (5, 15).
RegisterGrid DecodeSellers(std::string_view line);
RegisterGrid DisplaySellers(const std::filesystem::path& file);
// Empties Ycoven and inserts the rows. Failure message as for operators.
ReplaceOutcome ReplaceSellers(const db::Database& db, const RegisterGrid& grid);

// Department groups, records of 22 characters: code (1, 2), description (3, 20).
RegisterGrid DecodeGroups(std::string_view line);
RegisterGrid DisplayGroups(const std::filesystem::path& file);
// Deletes the group definition rows of Ycogrp (DEP_CODIGO blank or 0), keeps
// the membership rows, appends one definition row per grid row and gives the
// membership rows of that group its new description. Failure message:
// "Erro ao tentar incluir novo registro!".
ReplaceOutcome ReplaceGroups(const db::Database& db, const RegisterGrid& grid);

// Departments, records of 19 characters: code (1, 2), the department's group
// (3, 2; not read), description (5, 15).
RegisterGrid DecodeDepartments(std::string_view line);
RegisterGrid DisplayDepartments(const std::filesystem::path& file);
// Empties Ycodep and appends code and description; the other department
// fields stay blank. Failure message: "Erro ao tentar incluir novo registro!".
ReplaceOutcome ReplaceDepartments(const db::Database& db, const RegisterGrid& grid);

}  // namespace kaslo::viewers
