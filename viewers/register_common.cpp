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
#include "db/error.h"
#include "db/table_ops.h"

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

ReplaceOutcome ReplaceRows(const db::Database& db, const std::vector<std::string>& tables,
                           const RegisterGrid& grid, std::string_view failure_message,
                           const std::function<void(db::TableSwap&)>& remove_previous,
                           const std::function<void(const GridRow&)>& write_row, std::string_view first_text) {
  ReplaceOutcome outcome;
  ScopedProgress progress(first_text);
  db::TableSwap swap(db, tables, ReplacementBackup(tables.front()));
  remove_previous(swap);
  if (first_text != kProcessandoAtuais) progress.text(kProcessandoAtuais);
  for (const GridRow& row : grid.rows) {
    if (!(CellNumber(Cell(row, 0)) > 0)) continue;
    try {
      write_row(row);
    } catch (const db::Error& e) {
      // The swap is left uncommitted: every old row stays.
      progress.close();
      outcome.message = failure_message;
      outcome.detail = e.what();
      return outcome;
    }
    ++outcome.rows_written;
  }
  swap.commit();
  progress.close();
  outcome.completed = true;
  outcome.message = kSubstituicaoCompleta;
  outcome.backup = swap.backupName();
  return outcome;
}

db::Table& StageCopy(db::TableSwap& swap, std::string_view table) {
  db::Table& current = swap.current(table);
  db::Table& staged = swap.stage(table);
  db::FieldMapping every_field;
  for (const db::FieldInfo& f : current.fields()) every_field.emplace_back(f.name, f.name);
  db::CopyRows(current, staged, every_field);
  // TagDef holds views: the texts live here until the tags are built.
  const std::vector<std::string> names = current.tagNames();
  std::vector<std::string> expressions;
  for (const std::string& name : names) expressions.push_back(current.tagExpression(name));
  std::vector<db::TagDef> tags;
  for (size_t i = 0; i < names.size(); ++i) tags.push_back({names[i], expressions[i]});
  if (!tags.empty()) db::AddTags(staged, tags);
  return staged;
}

}  // namespace kaslo::viewers
