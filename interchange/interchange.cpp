// The export and import operations over the tables, the files and the
// system's messages.
#include "interchange/interchange.h"

#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include "common/files.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/text.h"
#include "db/backup.h"
#include "db/table_swap.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoy60.h"
#include "db/tableset_ops.h"
#include "interchange/product_lines.h"
#include "registers/groups.h"
#include "registers/products.h"

namespace kaslo::interchange {

namespace fs = std::filesystem;

namespace {

constexpr char kAguarde[] = "Aguarde, processando banco de dados...";
constexpr char kSemConversao[] = "Q5200.CVS, arquivo para conversão de alíquotas não encontrado ![w]";
constexpr char kFilaVazia[] = "Ycoy60, arquivo de produtos alterados esta vazio ![w]";
constexpr char kConversionFile[] = "Q5200.CVS";
constexpr char kLineEnd[] = "\r\n";

std::string ProdutosEmUso(bool marked) {
  return std::string("Arquivo de produtos não disponível !\r"
                     "Certifique-se de que nenhuma outra estacão esteja utilizando o sistema Pelda Roza ®") +
         (marked ? ".[w]" : ".");
}

Outcome Refused(std::string message) {
  Outcome o;
  o.message = std::move(message);
  return o;
}

// The gauge moved only by visible amounts, as the progress window is.
class GaugeSteps {
 public:
  GaugeSteps(Gauge& gauge, int64_t maximum) : gauge_(gauge), visible_(maximum) { gauge_.start(maximum); }
  ~GaugeSteps() { gauge_.stop(); }
  void moveTo(int64_t position) {
    if (visible_.Worth(position)) gauge_.move(position);
  }

 private:
  Gauge& gauge_;
  VisibleSteps visible_;
};

// The tables an import replaces or changes, and backs up first.
std::vector<std::string> ProductTables() {
  return {std::string(ycopro::kTable), std::string(ycobar::kTable), std::string(ycoy60::kTable)};
}

// The lines added below the final text when there is something to say.
std::string Notes(const Outcome& o) {
  std::string notes;
  if (!o.skipped_lines.empty()) {
    notes += "\rLinhas não importadas: " + std::to_string(o.skipped_lines.size()) + " (linhas ";
    for (size_t i = 0; i < o.skipped_lines.size() && i < 10; ++i) {
      notes += (i ? ", " : "") + std::to_string(o.skipped_lines[i]);
    }
    notes += ")";
  }
  if (o.unconverted) notes += "\rProdutos sem alíquota convertida: " + std::to_string(o.unconverted);
  if (!o.backup.empty()) notes += "\r" + db::BackupLine(o.backup);
  return notes;
}

Outcome Finished(Outcome o, const std::string& text) {
  o.done = true;
  o.message = text + Notes(o);
  return o;
}

// ---- export

Outcome Export(const db::Database& db, const Operation& op, Gauge& gauge) {
  const bool changed = op.scope == Scope::kChanged;
  const std::string name = changed ? "NLUMNT.MTR" : "NLUFILE.MTR";
  const std::string marked = changed || op.convert ? " ![w]" : " !";
  ScopedProgress progress(kAguarde);
  std::optional<ConversionSlots> slots;
  if (op.convert && !(slots = ReadConversion(db))) return Refused(kSemConversao);
  // An older file would be taken for this export's.
  ApagaArquivo(db.find(name));
  const bool check_digit = registers::CheckDigitOn(db);
  auto rows = changed ? db.open(ycoy60::kTable) : db.open(ycopro::kTable, {.tag = "Um", .exclusive = false});
  if (changed && rows->empty()) return Refused(kFilaVazia);

  progress.close();
  Outcome o;
  std::string text;
  text.reserve(rows->recordCount() * 80);  // a line of either file is at most about 80 bytes
  {
    GaugeSteps steps(gauge, static_cast<int64_t>(rows->recordCount()));
    const ConversionSlots* conversion = slots ? &*slots : nullptr;
    std::optional<NlumntFields> queue_fields;
    std::optional<NlufileFields> product_fields;
    if (changed) queue_fields.emplace(*rows);
    else product_fields.emplace(*rows);
    for (rows->first(); !rows->eof(); rows->next()) {
      bool unconverted = false;
      const db::RowView row = rows->row();
      text += changed ? NlumntLine(row, *queue_fields, conversion, &unconverted)
                      : NlufileLine(row, *product_fields, check_digit, conversion, &unconverted);
      text += kLineEnd;
      o.unconverted += unconverted;
      steps.moveTo(static_cast<int64_t>(++o.lines_written));
    }
  }
  // Written beside and renamed into place: another system never reads half a file.
  if (!WriteWholeFile(db.dir() / name, text)) return Refused("Erro ao tentar criar " + name + marked);
  return Finished(o, name + " criado com sucesso" + marked);
}

// ---- import

// Reads a text file line by line, telling how far it has come in bytes.
class LineReader {
 public:
  explicit LineReader(const fs::path& path) : in_(path, std::ios::binary) {
    std::error_code ec;
    size_ = static_cast<int64_t>(fs::file_size(path, ec));
    if (ec || !in_) throw db::Error(path.filename().string() + ": cannot be read");
  }
  int64_t size() const { return size_; }
  int64_t position() const { return position_; }
  size_t number() const { return number_; }
  bool next(std::string& line) {
    if (!std::getline(in_, line)) {
      if (in_.bad()) throw db::Error("read error");
      return false;
    }
    position_ += static_cast<int64_t>(line.size()) + (in_.eof() ? 0 : 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++number_;
    return true;
  }

 private:
  std::ifstream in_;
  int64_t size_ = 0;
  int64_t position_ = 0;
  size_t number_ = 0;
};

enum class Stored { kYes, kWithoutTax, kNot };

// Hands every line of products to `store`, moving the gauge by the bytes
// read, and counts what it stored. Blank lines, and a header, are no lines
// of products.
Outcome ImportLines(LineReader& reader, Gauge& gauge, bool header,
                    const std::function<Stored(const std::string&)>& store) {
  Outcome o;
  GaugeSteps steps(gauge, reader.size());
  std::string line;
  while (reader.next(line)) {
    steps.moveTo(reader.position());
    if ((header && reader.number() == 1) || Vazio(line)) continue;
    const Stored stored = store(line);
    if (stored == Stored::kNot) {
      o.skipped_lines.push_back(reader.number());
      continue;
    }
    ++o.lines_written;
    o.unconverted += stored == Stored::kWithoutTax;
  }
  return o;
}

// What every product file carries of a product, in its row.
void SetCarriedValues(db::Table& pro, const ProductValues& v, const registers::DepartmentGroups& groups) {
  using namespace ycopro;
  pro.setNumber(PRO_PLU, v.code);
  pro.setString(PRO_DESCR, v.description);
  pro.setString(PRO_RESUM, v.short_description);
  pro.setNumber(PRO_TRIBUT, v.tax);
  pro.setNumber(PRO_DEPTO, v.department);
  pro.setNumber(PRO_GRUPO, groups.of(v.department));
  pro.setNumber(PRO_PCOVEN, v.price);
}

// A product row appended from a line. Values the row cannot hold (a code
// of more digits than the field) abandon it: false. The post itself is
// left to throw, since a failed write ends the import.
bool AppendProduct(db::Table& pro, const ProductValues& v, bool short_layout, const registers::DepartmentGroups& groups) {
  using namespace ycopro;
  if (v.code <= 0) return false;
  pro.append();
  try {
    SetCarriedValues(pro, v, groups);
    pro.setString(PRO_PESAD, v.unit);
    pro.setString(PRO_LITRAD, v.litre);
    pro.setString(PRO_GRPITE, "0");
    pro.setString(PRO_CASAD, v.decimals);
    pro.setString(PRO_PROMO, "N");
    if (!short_layout) {
      for (const db::FieldDef& f : {PRO_UNMED, PRO_TRB0, PRO_TRB1, PRO_ESTQ, PRO_PCOPRO, PRO_PCOATA}) {
        pro.setNumber(f, 0);
      }
    }
    for (const db::FieldDef& f : {PRO_Q4000, PRO_QZV, PRO_QZVRES}) pro.setLogical(f, true);
  } catch (const db::Error&) {
    pro.cancel();
    return false;
  }
  pro.post();
  return true;
}

// NLUFILE.MTR or OPTICASH.TXT: a new product table built beside the old one
// and swapped in, with bar codes and the change queue emptied, only once the
// whole file has been read.
Outcome FullImport(const db::Database& db, const Operation& op, Gauge& gauge) {
  const bool opticash = op.source == Source::kOpticash;
  const std::string name = opticash ? "OPTICASH.TXT" : "NLUFILE.MTR";
  std::optional<db::TableSwap> swap;
  try {
    swap.emplace(db, ProductTables(), "importacao-completa");
  } catch (const db::Error&) {
    return Refused(ProdutosEmUso(op.convert));
  }
  ScopedProgress progress(kAguarde);
  std::optional<ConversionSlots> slots;
  if (op.convert && !(slots = ReadConversion(db))) return Refused(kSemConversao);
  const fs::path path = db.find(name);
  if (path.empty()) return Refused("Arquivo " + name + " não encontrado !");

  const bool check_digit = registers::CheckDigitOn(db);
  const registers::DepartmentGroups groups(db);
  db::Table& pro = swap->stage(ycopro::kTable);
  swap->stage(ycobar::kTable);
  swap->stage(ycoy60::kTable);
  LineReader reader(path);
  progress.close();
  Outcome o = ImportLines(reader, gauge, opticash, [&](const std::string& line) {
    const ProductValues v = opticash ? ReadOpticashLine(line, check_digit)
                                     : ReadNlufileLine(line, check_digit, slots ? &*slots : nullptr);
    if (!AppendProduct(pro, v, slots.has_value(), groups)) return Stored::kNot;
    return v.tax_converted ? Stored::kYes : Stored::kWithoutTax;
  });
  swap->commit();
  o.backup = swap->backupName();
  swap.reset();
  db::IndexCheck(db);
  return Finished(o, "Importação do arquivo " + name + " concluída !");
}

// The change queue of NLUMNT.MTR's import, found by product key.
class QueueRows {
 public:
  explicit QueueRows(const db::Database& db) : y60_(db.open(ycoy60::kTable)) {
    for (uint32_t rec : y60_->visibleOrder()) {
      rows_.try_emplace(TextoParaNumero(y60_->getStringAt(rec, ycoy60::Y60_PROPLU)), rec);
    }
  }
  // Puts the queue's row of the key in edit, or a new row; throws
  // db::Error when another station holds the row.
  db::Table& open(double key) {
    auto it = rows_.find(key);
    if (it != rows_.end() && y60_->go(it->second)) {
      y60_->edit();
    } else {
      y60_->append();
    }
    return *y60_;
  }
  void post(double key) {
    y60_->post();
    rows_[key] = y60_->recNo();
  }
  void cancel() { y60_->cancel(); }

 private:
  std::unique_ptr<db::Table> y60_;
  std::map<double, uint32_t> rows_;
};

void SetQueueRow(db::Table& y60, double key, const ProductValues& v) {
  using namespace ycoy60;
  y60.setNumber(Y60_PROPLU, key);
  y60.setString(Y60_DESCR, v.description);
  y60.setString(Y60_RESUM, v.short_description);
  y60.setString(Y60_DATA, registers::QueueDay());
  y60.setString(Y60_STATUS, "3");
  y60.setNumber(Y60_TRIBUT, v.tax);
  y60.setNumber(Y60_DEPTO, v.department);
  y60.setNumber(Y60_PCOVEN, v.price);
  y60.setString(PRO_GRPITE, "1");
  y60.setString(PRO_CASAD, "2");
  y60.setString(PRO_PESAD, "N");
  y60.setString(PRO_LITRAD, "N");
}

// One line of NLUMNT.MTR: the product deleted, changed or added, and its
// queue row written. False when the line cannot be stored.
bool ApplyChange(db::Table& pro, QueueRows& queue, const QueuedChange& c, bool check_digit,
                 const registers::DepartmentGroups& groups) {
  using namespace ycopro;
  const ProductValues& v = c.product;
  if (v.code <= 0) return false;
  const bool found = pro.findKey(v.code);
  if (c.status == "1") {
    if (found) pro.remove();
    return true;
  }
  const double key = registers::QueueKey(v.code, check_digit);
  try {
    if (found) {
      pro.edit();
      pro.setString(PRO_FLAGAL, "*");
      if (v.tax != pro.asNumber(PRO_TRIBUT)) pro.setString(PRO_FLAGTR, "*");
    } else {
      pro.append();
      for (const db::FieldDef& f : {PRO_FLAGAL, PRO_PESAD, PRO_LITRAD, PRO_PROMO}) pro.setString(f, "N");
      pro.setString(PRO_GRPITE, "0");
      pro.setString(PRO_CASAD, "2");
      for (const db::FieldDef& f : {PRO_Q4000, PRO_QZV, PRO_QZVRES}) pro.setLogical(f, true);
    }
    SetCarriedValues(pro, v, groups);
    SetQueueRow(queue.open(key), key, v);
  } catch (const db::Error&) {
    queue.cancel();
    pro.cancel();
    return false;
  }
  queue.post(key);
  pro.post();
  return true;
}

// NLUMNT.MTR: single products deleted, changed and added in place.
Outcome ChangesImport(const db::Database& db, const Operation& op, Gauge& gauge) {
  std::unique_ptr<db::Table> pro;
  try {
    pro = db.open(ycopro::kTable, {.tag = "Um", .exclusive = true});
  } catch (const db::Error&) {
    return Refused(ProdutosEmUso(op.convert));
  }
  ScopedProgress progress(kAguarde);
  std::optional<ConversionSlots> slots;
  if (op.convert && !(slots = ReadConversion(db))) return Refused(kSemConversao);
  const fs::path path = db.find("NLUMNT.MTR");
  if (path.empty()) return Refused("Arquivo NLUMNT.MTR não encontrado ![w]");

  std::string backup;
  {
    // The bar codes and the queue are held only while they are copied:
    // the import itself shares the queue with the other stations.
    std::unique_ptr<db::Table> bar, y60;
    try {
      bar = db.open(ycobar::kTable, {.tag = "", .exclusive = true});
      y60 = db.open(ycoy60::kTable, {.tag = "", .exclusive = true});
    } catch (const db::Error&) {
      return Refused(ProdutosEmUso(op.convert));
    }
    backup = db::TakeBackup(db, "importacao-nlumnt", ProductTables());
  }

  const bool check_digit = registers::CheckDigitOn(db);
  const registers::DepartmentGroups groups(db);
  QueueRows queue(db);
  LineReader reader(path);
  progress.close();
  Outcome o = ImportLines(reader, gauge, false, [&](const std::string& line) {
    const QueuedChange c = ReadNlumntLine(line, check_digit, slots ? &*slots : nullptr);
    if (!ApplyChange(*pro, queue, c, check_digit, groups)) return Stored::kNot;
    return c.product.tax_converted ? Stored::kYes : Stored::kWithoutTax;
  });
  pro->close();
  o.backup = backup;
  db::IndexCheck(db);
  return Finished(o, std::string("Importação do arquivo NLUMNT.MTR concluída !") + (op.convert ? "" : "[w]"));
}

}  // namespace

Operation Normalized(Operation op) {
  if (op.direction == Direction::kExport) op.source = Source::kNlufile;
  if (op.source == Source::kOpticash) {
    op.scope = Scope::kAll;
    op.convert = false;
  }
  return op;
}

std::string ModeWord(Direction direction) {
  return direction == Direction::kExport ? "Exportação" : "Importação";
}

std::string WindowCaption(Direction direction, Scope scope) {
  return ModeWord(direction) + (scope == Scope::kAll ? " de Produtos ( Total ) - Arquivo [ NLUFILE.MTR ]"
                                                     : " de Produtos ( Alterados ) - Arquivo [ NLUMNT.MTR ]");
}

std::string Question(Direction direction) { return "Confirma efetuar " + ModeWord(direction) + " de Produtos ?"; }

Outcome Run(const db::Database& db, const Operation& requested, Gauge& gauge) {
  const Operation op = Normalized(requested);
  if (op.direction == Direction::kExport) return Export(db, op, gauge);
  if (op.scope == Scope::kChanged) return ChangesImport(db, op, gauge);
  return FullImport(db, op, gauge);
}

std::optional<ConversionSlots> ReadConversion(const db::Database& db) {
  const fs::path path = db.find(kConversionFile);
  if (path.empty()) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  ConversionSlots slots;
  std::string line;
  for (std::string& slot : slots) {
    if (!std::getline(in, line)) break;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (TextoParaNumero(line) > 0) slot = Apara(line).substr(0, 2);
  }
  return slots;
}

bool IsConversionEntry(std::string_view entry) {
  // Digits only: "1A" would read as 1 here but reach the other system as is.
  return entry.empty() ||
         (entry.size() <= 2 && SoDigitos(entry) == entry && TextoParaNumero(entry) > 0);
}

bool WriteConversion(const db::Database& db, const ConversionSlots& slots) {
  std::string text;
  for (const std::string& slot : slots) text += slot + kLineEnd;
  return WriteWholeFile(db.pathFor(kConversionFile), text);
}

}  // namespace kaslo::interchange
