// The maintenance commands of the main menu that act on the whole database:
// the reindex and the conversion of the product table's stock field.
#pragma once

#include "db/database.h"

namespace kaslo::app {

// Deletes every *.mdx of the data directory (whatever the table) and runs
// the index check, which rebuilds the tags of every listed table and the tag
// UM of Ycoetq and Ycouse. Throws db::Error (a missing or locked table).
void Reindex(const db::Database& db);

enum class StockConversion {
  kAlways,          // the menu command: the field is recreated every time
  kOnlyWhenNeeded,  // before export, import and product substitution
};

// Recreates PRO_ESTQ of Ycopro as NUMERIC(10,3): the field is dropped and
// added again, so every stock value is lost (blank). With kOnlyWhenNeeded a
// table whose PRO_ESTQ is already N(10,3) is left alone. Returns whether the
// field was recreated. Throws db::Error (the table in use elsewhere); the
// table is then as it was.
bool ConverteEstoque(const db::Database& db, StockConversion mode);

// The menu command "Conversão banco da dados": the "ATENÇÃO" Yes/No box,
// then ConverteEstoque and "Operação realizada". Returns whether it
// converted. An engine error propagates and no final box is shown.
bool ConversaoBancoDados(const db::Database& db);

}  // namespace kaslo::app
