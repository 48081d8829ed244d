// The table set's own maintenance: the index check, which builds the tags of
// every table that lost its .MDX, and the conversion of the product table's
// stock field. Progress goes to MostraProgresso.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/database.h"

namespace kaslo::db {

// For each table of the index check whose .MDX is missing, or not named by
// the header (a build of its tags cut short), in order: shows
// "Aguarde, Reindexando: " + caption, clears the header's index flag and
// builds the table's tags. Then restores the tag UM of Ycoetq and Ycouse when
// their .MDX is missing or not named (they are opened on it elsewhere). Returns the names
// of the tables reindexed. Throws db::Error (a missing or locked table); the
// tables after it are then left alone.
std::vector<std::string> IndexCheck(const Database& db);

enum class StockConversion {
  kAlways,          // the menu command: the field is recreated every time
  kOnlyWhenNeeded,  // before export, import and product substitution
};

inline constexpr const char* kStockConversionBackup = "conversao-estoque";

// Recreates PRO_ESTQ of Ycopro as NUMERIC(10,3): the field is dropped and
// added again, so every stock value is lost (blank). The table is swapped
// whole after a backup "conversao-estoque". With kOnlyWhenNeeded a table
// whose PRO_ESTQ is already N(10,3) is left alone. Returns the backup's
// name when the field was recreated, nullopt when it was left alone.
// Throws db::Error (the table in use elsewhere); the table is then as it was.
std::optional<std::string> ConverteEstoque(const Database& db, StockConversion mode);

}  // namespace kaslo::db
