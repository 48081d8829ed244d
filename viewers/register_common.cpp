// Shared pieces of the register viewers: file reading, cells and the common
// replacement frame.
#include "viewers/register_common.h"

#include <fstream>
#include <iterator>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "db/database.h"
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

ReplaceOutcome ReplaceRows(const RegisterGrid& grid, std::string_view failure_message,
                           const std::function<void()>& remove_previous,
                           const std::function<void(const GridRow&)>& write_row, std::string_view first_text) {
  ReplaceOutcome outcome;
  ScopedProgress progress(first_text);
  remove_previous();
  if (first_text != kProcessandoAtuais) progress.text(kProcessandoAtuais);
  for (const GridRow& row : grid.rows) {
    if (!(CellNumber(Cell(row, 0)) > 0)) continue;
    try {
      write_row(row);
    } catch (const db::Error& e) {
      progress.close();
      outcome.message = failure_message;
      outcome.detail = e.what();
      return outcome;
    }
    ++outcome.rows_written;
  }
  progress.close();
  outcome.completed = true;
  outcome.message = kSubstituicaoCompleta;
  return outcome;
}

std::unique_ptr<db::Table> DeleteAllRows(const db::Database& db, std::string_view table) {
  auto t = db.open(table, {.tag = "", .exclusive = true});
  t->emptyTable();
  return t;
}

}  // namespace kaslo::viewers
