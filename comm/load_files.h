// The load files sent to the terminals: one builder per register, first as a
// function from plain values to the record bytes (what the terminal parses),
// then as a reader of the tables that gives the whole file's bytes.
//
// Common rules of every layout: records are concatenated without separator
// or line end (the product list "Rnlumnt.dad" alone has CR LF lines); texts
// are Latin-1, blank-padded on the right or cut; codes are zero-filled
// decimal digits of exactly the record's width (a code with more digits keeps
// its last ones); one-character flags are written as stored, a blank flag as
// one space so that the record keeps its width. Decisions taken on a flag
// (expanded print, centring, the product flag byte) read a blank flag as off.
//
// Packed decimal: one byte per two digits, first digit in the high half, a
// "0" put in front of an odd count ("1234" is 12 34).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"

namespace kaslo::comm {

// ---- small encoders shared by the layouts

// Exactly `width` digits of the rounded value: zero-filled on the left, the
// last `width` digits when it has more; a negative value gives zeros.
std::string Digits(double value, int width);
// A decimal amount as `width` digits with `decimals` of them after the
// (removed) separator: 12.5 with (8, 2) is "00001250". Values beyond the
// width are held at all nines; negative values give zeros (packed decimals
// carry no sign).
std::string DecimalDigits(double value, int width, int decimals);
// The byte written for a one-character flag as read from a table ("" when
// blank): its first character, or a blank.
char FlagByte(std::string_view stored);
// A flag that is "S" (blank and anything else is off).
bool FlagOn(std::string_view stored);

// ---- operators, register "user": 39 characters
struct OperatorValues {
  double code = 0;
  std::string name;
  double password = 0;
  // OPE_DITEM, OPE_DSUBTO, OPE_CITEM, OPE_CCUPOM, OPE_LEITX, OPE_REDZ,
  // OPE_SANGRI, OPE_FDCXA, OPE_LIMITE, OPE_RELATO, OPE_AITEM, OPE_ASUBTO,
  // OPE_PERFIL, as stored.
  std::array<std::string, 13> flags;
};
inline constexpr size_t kOperatorRecordSize = 39;
std::string OperatorRecord(const OperatorValues& v);

// ---- sellers, register "vend": 19 characters
inline constexpr size_t kSellerRecordSize = 19;
std::string SellerRecord(double code, std::string_view name);

// ---- department groups, register "grpdepto": always 20 records of 22
inline constexpr int kGroupCount = 20;
inline constexpr size_t kGroupRecordSize = 22;
// Without a description: "GRUPO DE DEPTO " + code "00".
std::string GroupRecord(int code, const std::optional<std::string>& description);

// ---- departments, register "depto": always 99 records of 19
inline constexpr int kDepartmentCount = 99;
inline constexpr size_t kDepartmentRecordSize = 19;
// group: the first group of which the department is a member ("01" without
// one, and for a department that does not exist); description: DEP_DESCR,
// or "DEPARTAMENTO " + code "00" when the department does not exist.
std::string DepartmentRecord(int code, std::optional<double> group,
                             const std::optional<std::string>& description);

// ---- payment types: "finaliz" 15 and "cfgfinal" 9 characters per record
struct PaymentValues {
  std::string description;
  double limit = 0;
  std::string change, drawer, type, voucher;  // Q40_TROCO, Q40_GAVETA, Q40_TIPO, Q40_CVALLE
};
inline constexpr size_t kPaymentNameRecordSize = 15;
inline constexpr size_t kPaymentConfigRecordSize = 9;
std::string PaymentNameRecord(const PaymentValues& v);
std::string PaymentConfigRecord(const PaymentValues& v);

// ---- discounts and surcharges, register "descacr": 24 characters.
// Each group: type flag, rate "00.00" without separator (4), "may alter"
// flag; groups in the order YCF_DS*, YCF_DI*, YCF_AS*, YCF_AI*.
struct RateGroup {
  std::string type;
  double rate = 0;
  std::string alter;
};
inline constexpr size_t kDiscountRecordSize = 24;
std::string DiscountRecord(const std::array<RateGroup, 4>& groups);

// ---- print lines, registers "footer" and "header": 4 × (42 + 1 + 1) = 176
struct PrintLine {
  std::string text;
  std::string expanded;  // "N": normal width 42, else expanded, width 21
  std::string centred;   // "S": trimmed and centred in the line's width
};
inline constexpr size_t kPrintLinesRecordSize = 176;
std::string PrintLinesRecord(const std::array<PrintLine, 4>& lines);

// ---- clients, register "Client": binary records of 128 bytes
//
//   OFFSET SIZE DESCRIPTION
//        0    2 CLI_CODIGO, 4 digits packed
//        2    7 CLI_CNPJ, 14 digits packed
//        9   30 CLI_NOME
//       39   40 CLI_ENDER
//       79   40 CLI_COMPLE
//      119    1 CLI_STATUS
//      120    8 blanks
struct ClientValues {
  double code = 0;
  double cnpj = 0;
  std::string name, address, complement, status;
};
inline constexpr size_t kClientRecordSize = 128;
std::string ClientRecord(const ClientValues& v);

// ---- products, register "Prods": binary records of 80 ("Prods3") or 86
// ("Prods5") bytes
//
//   OFFSET SIZE DESCRIPTION
//        0    6 PLU, 12 digits packed
//        6   20 PRO_RESUM
//       26    4 price, 8 digits packed (2 decimals, or 3 when PRO_CASAD is "3")
//       30    1 PRO_TRIBUT, 2 digits packed
//       31    1 PRO_DEPTO, 2 digits packed
//       32    6 zeros (12 digits)
//       38   36 zeros (72 digits; the terminal keeps its accumulators here)
//       74    4 PRO_ESTQ, 8 digits packed (3 decimals)
//       78    1 flag byte (below)
//       79    1 the character "0"
//       80    6 "Prods5" only: 0x00
//
// Flag byte, bit 7 to bit 0: 0, 0, unit "O", unit "C", litrado, unit "M",
// unit "L", unit "K" or "S".
enum class ProductRecordSize : size_t { k80 = 80, k86 = 86 };
struct ProductValues {
  double plu = 0;  // the code as sent: without its check digit when that option is on
  std::string short_description;
  double price = 0;
  std::string decimals;  // PRO_CASAD, "2" or "3"
  double tax = 0;
  double department = 0;
  double stock = 0;
  std::string unit;     // PRO_PESAD
  std::string litrado;  // PRO_LITRAD
  std::string item_group;  // PRO_GRPITE
};
inline constexpr size_t kProductFlagOffset = 78;
uint8_t ProductFlagByte(std::string_view unit, std::string_view litrado);
// The decimals a price travels with: 3 when PRO_CASAD is "3", else 2.
int PriceDecimals(std::string_view decimals);
// The price's 8 digits: format "000000.00", or "00000.000" when decimals is "3".
std::string PriceDigits(double price, std::string_view decimals);
std::string StockDigits(double stock);
std::string ProductRecord(const ProductValues& v, ProductRecordSize size);

// The record length of a terminal model: "4" and above take 86-byte
// records, the older models 80. The load reads the model from the identity
// answer (kIdentityModelOffset); a received identification ("Sid" + n +
// ".rec") holds it as the 22nd character of its first line, and the
// product file a terminal sends back has the same records.
ProductRecordSize ProductRecordSizeOfModel(char model);
// The model character of a received identification's content; nullopt when
// its first line is shorter than 22 characters.
std::optional<char> IdentificationModel(std::string_view identification);
// True when `size` bytes are a whole number of records of that length. A
// received file that is not must not be decoded: every record after a torn
// one would be read shifted.
bool WholeProductRecords(uint64_t size, ProductRecordSize record);
// "Arquivo " + file name + " com tamanho inválido (" + size + " bytes) !"
std::string InvalidFileSizeMessage(std::string_view file_name, uint64_t size);

// The PLU as sent: with the check-digit option, the 13-digit code without
// its last digit; the result is then written with 12 digits.
double LoadPlu(double plu, bool check_digit);

// ---- product list lines, register "nlumnt" ("Rnlumnt.dad"): text lines
// ended by CR LF, 57 characters before the line end:
//   record code (1) PLU (12) PRO_RESUM (20) tax (2) department (2) price (8)
//   PRO_CASAD PRO_PESAD PRO_LITRAD (1 each) PRO_GRPITE (1) stock (8)
inline constexpr size_t kProductListLineSize = 57;
std::string ProductListLine(char record_code, const ProductValues& v);

// ---- keyboard layout, register "teclado": 26 slots of 6 characters
struct KeyFunction {
  std::string key_code;   // TEY_NTECLA as text ("805")
  std::string function;   // TEY_NUMBER as text
};
inline constexpr int kKeyboardButtons = 26;
inline constexpr size_t kKeyboardRecordSize = 156;
std::string KeyboardSlot(int button, const std::optional<KeyFunction>& key);

// ---- date and time, register "datahora": "ddmmyyyy" + "hhmm"
inline constexpr size_t kDateTimeRecordSize = 12;
std::string DateTimeRecord(std::chrono::year_month_day date, int hour, int minute);

// ---- the files read from the tables (bytes as written to the working file)
std::string OperatorsFile(const db::Database& db);
std::string SellersFile(const db::Database& db);
std::string GroupsFile(const db::Database& db);
std::string DepartmentsFile(const db::Database& db);
std::string PaymentNamesFile(const db::Database& db);
std::string PaymentConfigFile(const db::Database& db);
std::string BarCodeOptionsFile(const db::Database& db);  // "codbarra"
std::string PeripheralsFile(const db::Database& db);     // "perif"
std::string FlagsFile(const db::Database& db);           // "flags"
std::string DiscountsFile(const db::Database& db);       // "descacr"
std::string ClientsFile(const db::Database& db);
std::string FooterFile(const db::Database& db);
std::string HeaderFile(const db::Database& db);
std::string KeyboardFile(const db::Database& db);

// The check-digit option: Q40_DIGCON of the parameter row is "S".
bool CheckDigitOption(const db::Database& db);
// The LOG-clear option: Q40_LOGZ of the parameter row is "S".
bool LogClearOption(const db::Database& db);

// The product values of every Ycopro row in PRO_PLU order, with the PLU as
// sent (check-digit option applied).
std::vector<ProductValues> LoadProducts(const db::Database& db, bool check_digit);
std::string ProductsFile(const std::vector<ProductValues>& products, ProductRecordSize size);
// Complete load: the products whose item group is not "0" (a blank group
// counts as "0"), record code "2". Empty when there is none.
std::string CompleteProductList(const std::vector<ProductValues>& products);

// The change queue for the changed-products load: first every row that is
// not a deletion gets status "3" (stock option on) or "4" (off), written to
// ycoy60; then every row is read in Y60_PROPLU order and gives one line with
// its status as the record code. Empty when the queue is empty.
std::string ChangedProductList(const db::Database& db, bool stock);

}  // namespace kaslo::comm
