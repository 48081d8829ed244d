// Copies of tables taken before an operation replaces or empties them, kept
// in backup/<yyyymmdd-hhmmss>-<operation>/ of the data directory and put
// back on request.
//
// Operation names (the folder's suffix): importacao-completa,
// importacao-nlumnt, substituicao-produtos, substituicao-<table in lower
// case>, conversao-estoque, atualizacao-tabelas, restauracao.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"

namespace kaslo::db {

inline constexpr const char* kBackupFolder = "backup";

// Copies the .DBF, .DBT and .MDX files of `tables` (those that exist) into
// backup/<yyyymmdd-hhmmss>-<operation>/ of the data directory: written into a
// hidden staging folder beside and renamed into place, so a half-written backup
// is never taken for a whole one; then keeps only the last ten of that operation.
// The caller holds the tables (exclusive opens) so nothing changes during the copy.
// Returns the folder's name ("20261209-193000-importacao-completa"). Throws db::Error.
std::string TakeBackup(const Database& db, std::string_view operation,
                       const std::vector<std::string>& tables);

// The line the windows and `kaslo` add to a final message: "Cópia de segurança: backup/" + name.
std::string BackupLine(std::string_view name);

struct BackupInfo {
  std::string name, operation, time;  // time: "dd/mm/yyyy hh:mm:ss"
  std::vector<std::string> tables;    // the .DBF files' names without the extension
};

// Every whole backup of the data directory, oldest first.
std::vector<BackupInfo> ListBackups(const Database& db);

// Puts a backup's tables back (through a TableSwap, after a backup of what it replaces,
// operation "restauracao"); returns that new backup's name. Throws db::Error with a clear
// text when the backup does not exist or a table is in use elsewhere.
std::string RestoreBackup(const Database& db, std::string_view name);

}  // namespace kaslo::db
