// The maintenance commands of the main menu that act on the whole database:
// the reindex and the conversion of the product table's stock field, over
// the index check and the stock conversion of db/tableset_ops.h.
#pragma once

#include "db/database.h"

namespace kaslo::app {

// Deletes every *.mdx of the data directory (whatever the table) and runs
// db::IndexCheck, which rebuilds the tags of every listed table and the tag
// UM of Ycoetq and Ycouse. Throws db::Error (a missing or locked table).
void Reindex(const db::Database& db);

// The menu command "Conversão banco da dados": the "ATENÇÃO" Yes/No box,
// then db::ConverteEstoque (every time) and "Operação realizada" with the
// backup's line (db::BackupLine) after "\r". Returns
// whether it converted. An engine error propagates and no final box is shown.
bool ConversaoBancoDados(const db::Database& db);

}  // namespace kaslo::app
