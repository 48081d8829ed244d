// Decoding and replacement of the clients register.
#include "viewers/client_register.h"

#include <algorithm>
#include <memory>
#include <string>

#include "common/checkdigits.h"
#include "common/encoding.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/text.h"
#include "db/tables/ycocli.h"
#include "viewers/register_common.h"
#include "viewers/text_registers.h"

namespace kaslo::viewers {
namespace {

constexpr size_t kPackedOffset = 0;
constexpr size_t kPackedSize = 9;
constexpr size_t kNameOffset = 9;
constexpr size_t kNameSize = 30;
constexpr size_t kAddressOffset = 39;
constexpr size_t kAddressSize = 40;
constexpr size_t kComplementOffset = 79;
constexpr size_t kComplementSize = 40;
constexpr size_t kStatusOffset = 119;

constexpr size_t kCodeDigits = 4;
constexpr size_t kTaxNumberDigits = 14;

enum ClientColumn { kCode, kTaxNumber, kName, kAddress, kComplement, kStatus };

std::string PackedDigits(std::string_view bytes) {
  std::string digits;
  digits.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) digits += ByteParaHex(b);
  return digits;
}

// Text fields of the terminal are zero-filled where a PC program would pad
// with blanks; both read as blanks.
std::string TextField(std::string_view record, size_t offset, size_t size) {
  std::string text(record.substr(offset, size));
  std::replace(text.begin(), text.end(), '\0', ' ');
  return Latin1ToUtf8(Apara(text));
}

std::string MaskedTaxNumber(double number) {
  return FormataMascara(ValidaCNPJ(number) ? "00;000;000/0000-00" : "000;000;000-00", number);
}

std::string StatusName(char status) {
  switch (status) {
    case '0': return "VERDE";
    case '1': return "AMARELO";
    case '2': return "VERMELHO";
    default: return {};
  }
}

// The stored code from the status cell's fourth letter: verDe, amaRelo, and
// anything else (VERMELHO, an empty cell) red.
std::string StatusCode(std::string_view cell) {
  if (cell.size() >= 4 && cell[3] == 'D') return "0";
  if (cell.size() >= 4 && cell[3] == 'R') return "1";
  return "2";
}

void InsertClient(db::Table& cli, const GridRow& row) {
  cli.append();
  cli.setNumber(ycocli::CLI_CODIGO, CellNumber(Cell(row, kCode)));
  cli.setNumber(ycocli::CLI_CNPJ, CellNumber(TiraMascara(Cell(row, kTaxNumber))));
  cli.setString(ycocli::CLI_STATUS, StatusCode(Cell(row, kStatus)));
  cli.setString(ycocli::CLI_NOME, CellLatin1(Cell(row, kName)));
  cli.setString(ycocli::CLI_ENDER, CellLatin1(Cell(row, kAddress)));
  cli.setString(ycocli::CLI_COMPLE, CellLatin1(Cell(row, kComplement)));
  cli.setNumber(ycocli::REG_CODIGO, 0);
  cli.post();
}

}  // namespace

RegisterGrid DecodeClients(std::string_view bytes) {
  RegisterGrid grid;
  grid.headers = {"Código", "CPF/CNPJ", "Nome/Razão Social", "Endereço", "Complemento", "Status"};
  bytes = bytes.substr(0, std::min(bytes.size(), kClientFileLimit));
  for (size_t at = 0; at + kClientRecordLength <= bytes.size(); at += kClientRecordLength) {
    std::string_view record = bytes.substr(at, kClientRecordLength);
    std::string digits = PackedDigits(record.substr(kPackedOffset, kPackedSize));
    std::string code = digits.substr(0, kCodeDigits);
    if (!(TextoParaNumero(code) > 0)) continue;
    grid.rows.push_back({
        Apara(code),
        MaskedTaxNumber(TextoParaNumero(digits.substr(kCodeDigits, kTaxNumberDigits))),
        TextField(record, kNameOffset, kNameSize),
        TextField(record, kAddressOffset, kAddressSize),
        TextField(record, kComplementOffset, kComplementSize),
        StatusName(record[kStatusOffset]),
    });
  }
  return grid;
}

RegisterGrid DisplayClients(const std::filesystem::path& file) {
  ScopedProgress progress(kProcessandoRecebidos);
  return DecodeClients(ReadFileBytes(file, kClientFileLimit));
}

ReplaceOutcome ReplaceClients(const db::Database& db, const RegisterGrid& grid) {
  db::Table* cli = nullptr;
  return ReplaceRows(
      db, {std::string(ycocli::kTable)}, grid, kErroIncluir,
      [&](ReplacedTables& replaced) { cli = &replaced.empty(ycocli::kTable); },
      [&](const GridRow& row) { InsertClient(*cli, row); });
}

}  // namespace kaslo::viewers
