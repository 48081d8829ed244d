// Decoding of the product register and its replacement of Ycopro.
#include "viewers/product_register.h"

#include <algorithm>
#include <memory>
#include <span>
#include <system_error>

#include "comm/load_files.h"
#include "common/checkdigits.h"
#include "common/encoding.h"
#include "common/files.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/text.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/table_swap.h"
#include "db/tableset_ops.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoprm.h"
#include "registers/groups.h"
#include "viewers/register_common.h"

namespace kaslo::viewers {
namespace {

namespace fs = std::filesystem;

// Record layout (see the header).
constexpr size_t kCodeOffset = 0;
constexpr size_t kCodeSize = 6;
constexpr size_t kDescrOffset = 6;
constexpr size_t kDescrSize = 20;
constexpr size_t kPriceOffset = 26;
constexpr size_t kPriceSize = 4;
constexpr size_t kTaxOffset = 30;
constexpr size_t kDepartmentOffset = 31;
constexpr size_t kSoldOffset = 32;
constexpr size_t kSoldSize = 6;
constexpr size_t kStockOffset = 74;
constexpr size_t kStockSize = 4;
constexpr size_t kUnitFlagsOffset = 78;
constexpr size_t kItemGroupOffset = 79;

// Unit flag bits.
constexpr int kBitKg = 0;
constexpr int kBitLt = 1;
constexpr int kBitMt = 2;
constexpr int kBitLitrado = 3;
constexpr int kBitCm = 4;
constexpr int kBitOu = 5;

enum ProductColumn {
  kColCode, kColDescr, kColPrice, kColTax, kColDepartment, kColSold,
  kColDecimals, kColLitrado, kColUnit, kColItemGroup, kColStock,
};

constexpr const char* kProductHeaders[] = {
    "Código", "Descrição Resumida", "Preço", "Tributação", "Depto", "Qtde Vendida",
    "Casas Dec.", "Litrado", "Pesado", "Grupo", "Estoque",
};

constexpr const char* kBackupOperation = "substituicao-produtos";

std::string PackedDigits(std::string_view bytes) {
  std::string digits;
  digits.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) digits += ByteParaHex(b);
  return digits;
}

std::string Packed(std::string_view record, size_t offset, size_t size) {
  return PackedDigits(record.substr(offset, size));
}

// The EAN-13 code of the base, shown with the format "0-0".
std::string CodeWithCheckDigit(double base) {
  std::string ean = FormatWhole(DigitoEAN(base));
  if (ean.size() < 2) ean.insert(0, 2 - ean.size(), '0');
  return ean.substr(0, ean.size() - 1) + "-" + ean.back();
}

// The "Código" cell: with the check-digit option the EAN-13 code, else the
// plain number.
std::string CodeCell(std::string_view record, bool check_digit) {
  double code = TextoParaNumero(Packed(record, kCodeOffset, kCodeSize));
  return check_digit ? CodeWithCheckDigit(code) : FormatWhole(code);
}

bool Bit(std::string_view bits, int k) { return bits[7 - k] == '1'; }

// "UN", replaced by each set unit bit in turn, so the highest one wins.
std::string UnitName(std::string_view bits) {
  std::string unit = "UN";
  if (Bit(bits, kBitKg)) unit = "KG";
  if (Bit(bits, kBitLt)) unit = "LT";
  if (Bit(bits, kBitMt)) unit = "MT";
  if (Bit(bits, kBitCm)) unit = "CM";
  if (Bit(bits, kBitOu)) unit = "OU";
  return unit;
}

// PRO_PESAD from the unit cell: UN is stored "N", KG "S", the others by
// their first letter.
std::string StoredUnit(std::string_view cell) {
  std::string first = FirstChar(cell);
  if (first == "U") return "N";
  if (first == "K") return "S";
  return first;
}

void AppendProduct(db::Table& pro, const GridRow& row, double code, const registers::DepartmentGroups& groups) {
  std::string descr = CellLatin1(Cell(row, kColDescr));
  double department = CellNumber(Cell(row, kColDepartment));
  pro.append();
  pro.setNumber(ycopro::PRO_PLU, code);
  pro.setString(ycopro::PRO_DESCR, descr);
  pro.setString(ycopro::PRO_RESUM, descr);
  pro.setNumber(ycopro::PRO_PCOVEN, CellNumber(Cell(row, kColPrice)));
  pro.setNumber(ycopro::PRO_ESTQ, CellNumber(Cell(row, kColStock)));
  pro.setNumber(ycopro::PRO_TRIBUT, CellNumber(Cell(row, kColTax)));
  pro.setNumber(ycopro::PRO_DEPTO, department);
  pro.setNumber(ycopro::PRO_GRUPO, groups.of(department));
  pro.setString(ycopro::PRO_CASAD, CellLatin1(Apara(Cell(row, kColDecimals))));
  pro.setString(ycopro::PRO_LITRAD, FirstChar(Cell(row, kColLitrado)));
  pro.setString(ycopro::PRO_PESAD, StoredUnit(Cell(row, kColUnit)));
  pro.setString(ycopro::PRO_GRPITE, FormatWhole(CellNumber(Cell(row, kColItemGroup).substr(0, 2))));
  pro.setString(ycopro::PRO_PROMO, "N");
  pro.setNumber(ycopro::PRO_PCOPRO, 0);
  pro.setNumber(ycopro::PRO_PCOATA, 0);
  pro.setLogical(ycopro::PRO_QZV, true);
  pro.setLogical(ycopro::PRO_QZVRES, true);
  pro.setLogical(ycopro::PRO_Q4000, true);
  pro.post();
}

}  // namespace

std::string IdentificationFileName(std::string_view terminal) { return "Sid" + std::string(terminal) + ".rec"; }

std::optional<size_t> ProductRecordLength(const fs::path& identification_file) {
  std::error_code ec;
  if (!fs::is_regular_file(identification_file, ec)) return std::nullopt;
  std::optional<char> model = comm::IdentificationModel(ReadFirstLine(identification_file));
  if (!model) return std::nullopt;
  return static_cast<size_t>(comm::ProductRecordSizeOfModel(*model));
}

bool CheckDigitOption(const db::Database& db) {
  auto prm = db.open(ycoprm::kTable);
  prm->first();
  return !prm->eof() && prm->getString(ycoprm::Q40_DIGCON) == "S";
}

std::vector<std::string> DecodeProductRecord(std::string_view record, bool check_digit, int decimals) {
  std::vector<std::string> row(std::size(kProductHeaders));
  row[kColCode] = CodeCell(record, check_digit);

  std::string descr(record.substr(kDescrOffset, kDescrSize));
  std::replace(descr.begin(), descr.end(), '\0', ' ');
  row[kColDescr] = Latin1ToUtf8(Apara(descr));

  // The record carries no decimals: the price has the ones it was loaded with.
  double price = TextoParaNumero(Packed(record, kPriceOffset, kPriceSize)) / (decimals == 3 ? 1000 : 100);
  row[kColPrice] = NumeroParaTexto(0, decimals, price);
  row[kColTax] = ByteParaHex(static_cast<uint8_t>(record[kTaxOffset]));
  row[kColDepartment] = ByteParaHex(static_cast<uint8_t>(record[kDepartmentOffset]));

  std::string stock = Packed(record, kStockOffset, kStockSize);
  double sold = TextoParaNumero(Packed(record, kSoldOffset, kSoldSize));
  // A stock with a third decimal digit marks a product sold by fractions.
  row[kColSold] = stock.back() != '0'
                      ? NumeroParaTexto(0, 3, TextoParaNumero(FormataMascara("#########,###", sold)))
                      : FormatWhole(sold);

  row[kColDecimals] = std::to_string(decimals);

  std::string bits = ByteParaBinario(static_cast<uint8_t>(record[kUnitFlagsOffset]));
  row[kColLitrado] = Bit(bits, kBitLitrado) ? "SIM" : "NÃO";
  row[kColUnit] = UnitName(bits);
  row[kColItemGroup] = NumeroComZeros(2, 0, TextoParaNumero(std::string(1, record[kItemGroupOffset])));
  double stock_value = TextoParaNumero(stock.substr(0, 5)) + TextoParaNumero(stock.substr(5, 3)) / 1000;
  row[kColStock] = NumeroParaTexto(0, 3, stock_value);
  return row;
}

RegisterGrid DecodeProducts(std::string_view bytes, size_t record_length, bool check_digit,
                            const std::function<void()>& on_record, const DecimalsOf& decimals_of) {
  RegisterGrid grid;
  grid.headers.assign(std::begin(kProductHeaders), std::end(kProductHeaders));
  if (record_length < kShortProductRecord) return grid;
  grid.rows.reserve(bytes.size() / record_length);
  // A partial record at the end (a transfer cut short) has no complete
  // fields to show and is left out.
  for (size_t at = 0; at + record_length <= bytes.size(); at += record_length) {
    if (on_record) on_record();
    std::string_view record = bytes.substr(at, record_length);
    int decimals = kDefaultPriceDecimals;
    if (decimals_of) decimals = decimals_of(StoredCode(CodeCell(record, check_digit)));
    grid.rows.push_back(DecodeProductRecord(record, check_digit, decimals));
  }
  return grid;
}

double StoredCode(std::string_view code_cell) { return CellNumber(Apara(RemoveTexto(code_cell, "-"))); }

StoredDecimals::StoredDecimals(const db::Database& db) : products_(db.open(ycopro::kTable, {.tag = "Um"})) {}
StoredDecimals::~StoredDecimals() = default;

int StoredDecimals::of(double code) {
  if (!products_->findKey(code)) return kDefaultPriceDecimals;
  return comm::PriceDecimals(products_->getString(ycopro::PRO_CASAD));
}

RegisterGrid DisplayProducts(const db::Database& db, const fs::path& products_file,
                             const fs::path& identification_file) {
  bool check_digit = CheckDigitOption(db);
  std::optional<size_t> record_length = ProductRecordLength(identification_file);
  if (!record_length) {
    RegisterGrid grid = DecodeProducts({}, kShortProductRecord, false);
    grid.message = std::string(kIdentificacaoInvalida) + identification_file.string();
    grid.refused = true;
    return grid;
  }
  std::error_code ec;
  uintmax_t size = fs::file_size(products_file, ec);
  if (!ec && !comm::WholeProductRecords(size, static_cast<comm::ProductRecordSize>(*record_length))) {
    RegisterGrid grid = DecodeProducts({}, *record_length, false);
    grid.message = comm::InvalidFileSizeMessage(products_file.filename().string(), size);
    grid.refused = true;
    return grid;
  }
  std::string bytes = ec ? std::string() : ReadFileBytes(products_file, static_cast<size_t>(size));
  StoredDecimals decimals(db);
  ScopedProgress progress(kProcessandoRecebidos, static_cast<int>(bytes.size() / *record_length));
  return DecodeProducts(bytes, *record_length, check_digit, [&] { progress.step(); },
                        [&](double code) { return decimals.of(code); });
}

ReplaceOutcome ReplaceProducts(const db::Database& db, const RegisterGrid& grid) {
  ReplaceOutcome outcome;
  if (std::optional<std::string> converted = db::ConverteEstoque(db, db::StockConversion::kOnlyWhenNeeded)) {
    outcome.conversion_backup = *converted;
  }
  const registers::DepartmentGroups groups(db);

  ScopedProgress progress(kProcessandoAtuais, static_cast<int>(grid.rows.size()));
  std::optional<db::TableSwap> swap;
  try {
    swap.emplace(db, std::vector<std::string>{std::string(ycopro::kTable), std::string(ycobar::kTable)},
                 kBackupOperation);
  } catch (const db::Error&) {
    // Another workstation has one of the tables open.
    progress.close();
    outcome.message = kErroAtualizarProdutos;
    return outcome;
  }
  db::Table& pro = swap->stage(ycopro::kTable);
  swap->stage(ycobar::kTable);
  for (const GridRow& row : grid.rows) {
    progress.step();
    double code = StoredCode(Cell(row, kColCode));
    if (!(code > 0)) continue;
    try {
      AppendProduct(pro, row, code, groups);
    } catch (const db::Error& e) {
      // Nothing is swapped in: both tables keep every old row.
      progress.close();
      outcome.message = kErroIncluirProduto;
      outcome.detail = e.what();
      return outcome;
    }
    ++outcome.rows_written;
  }
  progress.close();
  {
    // The commit builds both tables' tags, which the index check announced.
    auto reindexing = [](std::string_view table) {
      const db::TableDef* def = db::FindTable(table);
      return "Aguarde, Reindexando: " + std::string(def ? def->caption : table);
    };
    ScopedProgress reindex(reindexing(ycopro::kTable));
    reindex.text(reindexing(ycobar::kTable));
    swap->commit();
  }
  outcome.completed = true;
  outcome.message = kSubstituicaoCompleta;
  outcome.backup = swap->backupName();
  return outcome;
}

}  // namespace kaslo::viewers
