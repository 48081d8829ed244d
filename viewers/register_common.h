// What the register displays and replacements of this folder share: reading
// the received files, cell access and the common replacement frame of the
// master-data registers.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "db/table_swap.h"
#include "viewers/register_grid.h"

namespace kaslo::viewers {

using GridRow = std::vector<std::string>;

// The first line of a text reception file (up to its first CR or LF); an
// empty text when the file cannot be opened or read.
std::string ReadFirstLine(const std::filesystem::path& file);

// The display of a register sent as one text line: decode of the file's
// first line, with "Aguarde, processando arquivos recebidos..." shown.
RegisterGrid DisplayLine(const std::filesystem::path& file,
                         const std::function<RegisterGrid(std::string_view)>& decode);

// At most max_bytes bytes from the start of a binary reception file; empty
// when it cannot be opened.
std::string ReadFileBytes(const std::filesystem::path& file, size_t max_bytes);

// Characters pos (1-based) .. pos+len-1 of text, fewer when text is short.
std::string_view Field(std::string_view text, size_t pos, size_t len);

// Cell i of a row, "" when the row is shorter.
const std::string& Cell(const GridRow& row, size_t i);
// The first character of a cell ("S" of "SIM", "N" of "NÃO"); "" for an
// empty cell.
std::string FirstChar(std::string_view cell);
// A cell's number (TextoParaNumero).
double CellNumber(std::string_view cell);
// A cell's text as the tables store it (Latin-1).
std::string CellLatin1(std::string_view cell);

// v written with the display format "0" (rounded, no decimals).
std::string FormatWhole(double v);
// "SIM" when flag is "S", else "NÃO".
std::string SimNao(char flag);

// The backup operation of a register replacement: "substituicao-" + the
// table's name in lower case.
std::string ReplacementBackup(std::string_view table);

// The tables one register replacement writes. When nobody else has them
// open, their new versions are staged in a db::TableSwap and finish() swaps
// them in together, after a backup named by the first table
// (ReplacementBackup): a failure or a kill before that leaves every old row.
// A configuration window that started the reading keeps its tables open and
// reads them again once the replacement ends; the tables are then written
// in place, after the same backup taken before their first change, and a
// failure keeps what was written.
class ReplacedTables {
 public:
  // Throws db::Error when a table is missing or another process has it
  // open exclusively.
  ReplacedTables(const db::Database& db, const std::vector<std::string>& tables);
  ~ReplacedTables();
  ReplacedTables(const ReplacedTables&) = delete;
  ReplacedTables& operator=(const ReplacedTables&) = delete;

  // The table's new version, empty. Written in place, the table is opened
  // exclusively and emptied (db::Error while another open holds it).
  db::Table& empty(std::string_view table);
  // The table's new version holding every row it has now, with its tags,
  // for edits in place.
  db::Table& copy(std::string_view table);
  // Puts the new versions in place (throws db::Error as TableSwap::commit)
  // and returns the backup's name; empty when nothing was written.
  std::string finish();

 private:
  db::Table& keep(std::unique_ptr<db::Table> table);
  void backup();

  db::Database db_;
  std::vector<std::string> tables_;
  std::optional<db::TableSwap> swap_;
  std::vector<std::unique_ptr<db::Table>> in_place_;
  std::string backup_;
};

// The replacement frame of the master-data registers: remove_previous
// gets the replaced tables (ReplacedTables of `tables`) while "Aguarde,
// eliminando registros anteriores..." shows, then "Aguarde, processando
// registros atuais..." shows and write_row is called for every row whose
// first cell's number is above 0, from the first row to the last. A
// db::Error from write_row stops the walk: the outcome carries
// failure_message and the engine's text, and nothing is swapped in (every
// old row stays; written in place, what was written stays). A db::Error from opening the tables, from remove_previous
// or from the swap is not caught (nothing was replaced, or the next open of
// the directory finishes the swap). On success the message is
// "Substituição de cadastro completa !" and the outcome names the backup. A
// replacement that announces no removal passes kProcessandoAtuais as
// first_text.
ReplaceOutcome ReplaceRows(const db::Database& db, const std::vector<std::string>& tables,
                           const RegisterGrid& grid, std::string_view failure_message,
                           const std::function<void(ReplacedTables&)>& remove_previous,
                           const std::function<void(const GridRow&)>& write_row,
                           std::string_view first_text = kEliminandoAnteriores);

}  // namespace kaslo::viewers
