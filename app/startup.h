// The start of the program, before the main window shows: the data
// directory, the table upgrade from delivered templates and the index check.
// kaslo_roza runs these from its main window, `kaslo startup` from the
// command line; progress goes to MostraProgresso, boxes to kaslo::Messages().
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "db/database.h"

namespace kaslo::app {

// The data directory: `override_dir` when given (--data DIR), else the
// directory of the executable. Made absolute, without a trailing separator.
std::filesystem::path ResolveDataDirectory(const std::filesystem::path& executable_dir,
                                           const std::optional<std::filesystem::path>& override_dir);

// Why a data directory cannot be used: nullopt when it exists, is a
// directory and a file can be written in it; otherwise the text of the box
// the program shows before it ends ("Diretório de dados não encontrado !",
// a carriage return, and the directory).
std::optional<std::string> DataDirectoryProblem(const std::filesystem::path& dir);

// DataDirectoryProblem, shown as an information box; then finishes or
// undoes a replacement of tables that a kill interrupted (its failure is
// shown too). True when the program may go on.
bool PrepareDataDirectory(const std::filesystem::path& dir);

// Moves every delivered template "??????YC.DBF" (with its .DBT) into its
// table: rows are carried over field by field (same name), fields only in the
// template start blank, fields only in the old table are dropped. The new
// tables are built in a db::TableSwap and replace the old ones together,
// after a backup "atualizacao-tabelas" (its name in *backup when given),
// only when every row of every table has been moved, so an error leaves the
// old tables, their indexes and the templates as they were. The new tables
// have no index: the index check builds their tags. A template without a
// table becomes the table. Then deletes every "*_qs*.*" file. Returns the
// upgraded table names ("YCOCLI"). Throws db::Error from the engine (a value
// that does not fit a new field).
std::vector<std::string> TableUpgrade(const db::Database& db, std::string* backup = nullptr);

// The upgrade and the index check (db::IndexCheck) as the program's start
// runs them. An engine error is shown with its own text (error box) and ends
// the start-up steps; the caller goes on to the main window all the same.
// False then.
bool RunStartup(const db::Database& db);

}  // namespace kaslo::app
