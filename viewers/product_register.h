// The product register (job kind 18, "Prods"): a terminal's products sent
// back as binary records of 80 or 86 bytes, the length chosen by the
// terminal's identification file "Sid" + terminal + ".rec". Packed decimal
// holds two digits per byte, high half first.
//
//   OFFSET SIZE DESCRIPTION
//   0      6    product code (PLU), 12 digits packed
//   6      20   short description; a zero byte reads as a space
//   26     4    price, 8 digits packed; the record carries no decimals:
//               they are those of the product of the same code in Ycopro
//               (PRO_CASAD "3" gives 3), 2 for a code not in the table
//   30     1    tax code, 2 digits packed
//   31     1    department, 2 digits packed
//   32     6    quantity sold, 12 digits packed
//   38     36   not read
//   74     4    stock, 8 digits packed: 5 integer and 3 decimal digits
//   78     1    unit flags, bit 0 lowest: 0 KG, 1 LT, 2 MT, 3 sold by the
//               litre, 4 CM, 5 OU; bits 6 and 7 not read
//   79     1    item group, one digit character
//   80     6    86-byte records only; not read
//
// The replacement builds the new Ycopro from the grid and an empty Ycobar
// in a db::TableSwap and swaps both in together, after a backup.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "comm/load_files.h"
#include "db/database.h"
#include "viewers/register_grid.h"

namespace kaslo::viewers {

inline constexpr size_t kShortProductRecord = static_cast<size_t>(comm::ProductRecordSize::k80);
inline constexpr size_t kLongProductRecord = static_cast<size_t>(comm::ProductRecordSize::k86);

// "Sid" + terminal + ".rec".
std::string IdentificationFileName(std::string_view terminal);

// The record length of the terminal model named by the 22nd character of
// the identification file's first line (comm::ProductRecordSizeOfModel);
// nullopt when the file cannot be read or its first line is shorter than 22
// characters.
std::optional<size_t> ProductRecordLength(const std::filesystem::path& identification_file);

// The check-digit option: Q40_DIGCON of Ycoprm is "S".
bool CheckDigitOption(const db::Database& db);

inline constexpr int kDefaultPriceDecimals = 2;

// The eleven cells of one record (at least 80 bytes): "Código" (with the
// check-digit option the EAN-13 code, its check digit after a hyphen),
// "Descrição Resumida", "Preço" (read and shown with `decimals`, 2 or 3),
// "Tributação", "Depto", "Qtde Vendida", "Casas Dec." (`decimals`),
// "Litrado", "Pesado", "Grupo", "Estoque".
std::vector<std::string> DecodeProductRecord(std::string_view record, bool check_digit,
                                             int decimals = kDefaultPriceDecimals);

// The code a "Código" cell stands for in Ycopro (PRO_PLU): the hyphen of
// the check digit removed.
double StoredCode(std::string_view code_cell);

// The price decimals of each code, from the product of that code in Ycopro.
using DecimalsOf = std::function<int(double code)>;

// One row per whole record; a tail shorter than a record is ignored.
// on_record, when given, runs once per record (the progress bar);
// decimals_of, when given, names the price decimals of each code (else 2).
RegisterGrid DecodeProducts(std::string_view bytes, size_t record_length, bool check_digit,
                            const std::function<void()>& on_record = {}, const DecimalsOf& decimals_of = {});

// The decimals Ycopro holds for a code: 3 when its PRO_CASAD is "3", 2 for
// any other value and for a code not in the table. Keeps Ycopro open.
class StoredDecimals {
 public:
  explicit StoredDecimals(const db::Database& db);
  ~StoredDecimals();
  int of(double code);

 private:
  std::unique_ptr<db::Table> products_;
};

// The display: reads the option, the record length and the file, with the
// progress window showing one step per record, each price with the
// decimals of its product in Ycopro. A file that cannot be decoded shows
// the headers, no rows, is marked refused (nothing may be written from it)
// and has a message: without a usable identification file "Arquivo de
// identificação do terminal não encontrado ou inválido: " + path; for a
// size that is not a whole number of records "Arquivo " + file name + " com
// tamanho inválido (" + size + " bytes) !".
RegisterGrid DisplayProducts(const db::Database& db, const std::filesystem::path& products_file,
                             const std::filesystem::path& identification_file);

inline constexpr std::string_view kIdentificacaoInvalida =
    "Arquivo de identificação do terminal não encontrado ou inválido: ";
inline constexpr std::string_view kErroIncluirProduto = "Erro ao tentar incluir novo registro !";
inline constexpr std::string_view kErroAtualizarProdutos =
    "Erro ao tentar atualizar tabela de produtos !\rCertifique-se de que nenhuma estação de trabalho "
    "esteja\rutilizando o cadastro de produtos.";

// The replacement. First the stock field of Ycopro is made NUMERIC(10,3)
// when it is not (the outcome's conversion_backup names that backup).
// Ycopro ends up holding one row per grid row whose code is above 0, Ycobar
// empty, both with their tags, swapped in together after the backup
// "substituicao-produtos" (the outcome's backup). When a row cannot be
// appended ("Erro ao tentar incluir novo registro !") or another process
// has Ycopro or Ycobar open ("Erro ao tentar atualizar tabela de produtos
// !..."), both tables stay as they were and the outcome says so.
ReplaceOutcome ReplaceProducts(const db::Database& db, const RegisterGrid& grid);

}  // namespace kaslo::viewers
