// Shared pieces of the register viewers: file reading, cells and the common
// replacement frame.
#include "viewers/register_common.h"

#include <cctype>
#include <fstream>
#include <iterator>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "db/database.h"
#include "db/backup.h"
#include "db/error.h"

namespace kaslo::viewers {

std::string ReadFirstLine(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::string line;
  char c;
  while (in.get(c) && c != '\r' && c != '\n') line.push_back(c);
  return line;
}

RegisterGrid DisplayLine(const std::filesystem::path& file,
                         const std::function<RegisterGrid(std::string_view)>& decode) {
  ScopedProgress progress(kProcessandoRecebidos);
  return decode(ReadFirstLine(file));
}

std::string ReadFileBytes(const std::filesystem::path& file, size_t max_bytes) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::string bytes(max_bytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(max_bytes));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

std::string_view Field(std::string_view text, size_t pos, size_t len) {
  if (pos == 0 || pos > text.size()) return {};
  return text.substr(pos - 1, len);
}

const std::string& Cell(const GridRow& row, size_t i) {
  static const std::string kEmpty;
  return i < row.size() ? row[i] : kEmpty;
}

std::string FirstChar(std::string_view cell) { return cell.empty() ? std::string() : std::string(1, cell[0]); }

double CellNumber(std::string_view cell) { return TextoParaNumero(cell); }

std::string CellLatin1(std::string_view cell) { return Utf8ToLatin1(cell); }

std::string FormatWhole(double v) { return NumeroParaTexto(0, 0, v); }

std::string SimNao(char flag) { return flag == 'S' ? "SIM" : "NÃO"; }

std::string ReplacementBackup(std::string_view table) {
  std::string name = "substituicao-";
  for (char c : table) name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

ReplacedTables::ReplacedTables(const db::Database& db, const std::vector<std::string>& tables)
    : db_(db), tables_(tables) {
  try {
    swap_.emplace(db_, tables_, ReplacementBackup(tables_.front()));
  } catch (const db::Error&) {
    // Held open elsewhere: written in place, as the holder expects.
  }
}

ReplacedTables::~ReplacedTables() = default;

db::Table& ReplacedTables::keep(std::unique_ptr<db::Table> table) {
  in_place_.push_back(std::move(table));
  return *in_place_.back();
}

void ReplacedTables::backup() {
  if (backup_.empty()) backup_ = db::TakeBackup(db_, ReplacementBackup(tables_.front()), tables_);
}

db::Table& ReplacedTables::empty(std::string_view table) {
  if (swap_) return swap_->stage(table);
  db::Table& t = keep(db_.open(table, {.tag = "", .exclusive = true}));
  backup();
  t.emptyTable();
  return t;
}

db::Table& ReplacedTables::copy(std::string_view table) {
  if (!swap_) {
    db::Table& t = keep(db_.open(table));
    backup();
    return t;
  }
  return swap_->stageCopy(table);
}

std::string ReplacedTables::finish() {
  if (!swap_) {
    in_place_.clear();
    return backup_;
  }
  swap_->commit();
  return swap_->backupName();
}

ReplaceOutcome ReplaceRows(const db::Database& db, const std::vector<std::string>& tables,
                           const RegisterGrid& grid, std::string_view failure_message,
                           const std::function<void(ReplacedTables&)>& remove_previous,
                           const std::function<void(const GridRow&)>& write_row, std::string_view first_text) {
  ReplaceOutcome outcome;
  ScopedProgress progress(first_text);
  ReplacedTables replaced(db, tables);
  remove_previous(replaced);
  if (first_text != kProcessandoAtuais) progress.text(kProcessandoAtuais);
  for (const GridRow& row : grid.rows) {
    if (!(CellNumber(Cell(row, 0)) > 0)) continue;
    try {
      write_row(row);
    } catch (const db::Error& e) {
      // Nothing is swapped in: every old row stays.
      progress.close();
      outcome.message = failure_message;
      outcome.detail = e.what();
      return outcome;
    }
    ++outcome.rows_written;
  }
  outcome.backup = replaced.finish();
  progress.close();
  outcome.completed = true;
  outcome.message = kSubstituicaoCompleta;
  return outcome;
}

}  // namespace kaslo::viewers
