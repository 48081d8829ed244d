// The installation of a data directory: every table of the set created
// empty with its index tags, the rows the system cannot work without (one
// parameter row, one terminal-option row, the fixed tax codes, the key
// functions of the second terminal model), and on request a small demo store
// or a number of generated products for trying the system at store scale.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "db/database.h"
#include "db/schema.h"

namespace kaslo::db {

struct InstallOptions {
  // Adds the demo store: its parameters, tax codes, departments and groups,
  // about forty products, clients, operators, sellers, payment types and
  // three terminals at 127.0.0.1 to 127.0.0.3. Product codes then carry an
  // EAN-13 check digit (Q40_DIGCON "S").
  bool demo = false;
  // Generated products appended after the demo's, with codes, descriptions
  // and prices derived from their position only (the same count gives the
  // same rows).
  size_t generated_products = 0;
};

// What an installation wrote.
struct InstallSummary {
  size_t tables = 0;
  size_t products = 0;
};

// Creates `dir` (and its parents) when missing and installs the table set
// into it. Throws db::Error without touching anything when the directory
// already holds a table (any *.dbf, whatever the case of its name), and
// db::Error from the engine when a file cannot be written; in that case the
// files written so far stay.
InstallSummary InstallDataDirectory(const std::filesystem::path& dir, const InstallOptions& options = {});

// Opens `table` exclusively and (re)builds every tag of its definition,
// writing its .MDX; a table without tags is left alone. Throws db::Error
// when the table is missing or another process has it open.
void AddTableTags(const Database& db, const TableDef& table);

// The name under which the installation creates a table: "YCOPRO.DBF".
std::string InstalledFileName(const TableDef& table);

}  // namespace kaslo::db
