// The load-file builders: records from plain values, files from the tables.
#include "comm/load_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "common/checkdigits.h"
#include "common/numbers.h"
#include "common/text.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycotey.h"
#include "db/tables/ycoven.h"
#include "db/tables/ycoy60.h"
#include "db/tables/ycoycf.h"

namespace kaslo::comm {
namespace {

// Round half away from zero on the decimal value the table stored: the
// nudge keeps 0.285 (held as 0.28499999...) from rounding down.
long long RoundScaled(double value, int decimals) {
  double scaled = value * std::pow(10.0, decimals);
  return std::llround(scaled + (scaled >= 0 ? 1e-6 : -1e-6));
}

std::string ZeroFill(long long value, int width) {
  if (value < 0) value = 0;
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) > width) return text.substr(text.size() - width);
  return std::string(width - text.size(), '0') + text;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The single row of a one-row table (Ycoprm, Ycoycf); a missing row reads as
// blank fields.
struct SingleRow {
  std::unique_ptr<db::Table> table;
  bool present = false;
  SingleRow(const db::Database& db, std::string_view name) : table(db.open(name)) {
    table->first();
    present = !table->eof();
  }
  std::string text(const db::FieldDef& f) const { return present ? table->getString(f) : std::string(); }
  double number(const db::FieldDef& f) const { return present ? table->asNumber(f) : 0.0; }
};

}  // namespace

std::string Digits(double value, int width) { return ZeroFill(RoundScaled(value, 0), width); }

std::string DecimalDigits(double value, int width, int decimals) {
  long long scaled = RoundScaled(value, decimals);
  long long max = 1;
  for (int i = 0; i < width; ++i) max *= 10;
  return ZeroFill(std::min(scaled, max - 1), width);
}

char FlagByte(std::string_view stored) { return stored.empty() ? ' ' : stored[0]; }

bool FlagOn(std::string_view stored) { return !stored.empty() && Upper(stored[0]) == 'S'; }

// ---- records

std::string OperatorRecord(const OperatorValues& v) {
  std::string r = Digits(v.code, 4) + CompletaDireita(v.name, 15) + Digits(v.password, 4);
  for (const auto& flag : v.flags) r.push_back(FlagByte(flag));
  return r + "NNN";
}

std::string SellerRecord(double code, std::string_view name) { return Digits(code, 4) + CompletaDireita(name, 15); }

std::string GroupRecord(int code, const std::optional<std::string>& description) {
  std::string two = Digits(code, 2);
  return two + CompletaDireita(description ? *description : "GRUPO DE DEPTO " + two, 20);
}

std::string DepartmentRecord(int code, std::optional<double> group,
                             const std::optional<std::string>& description) {
  std::string two = Digits(code, 2);
  return two + (group ? Digits(*group, 2) : std::string("01")) +
         CompletaDireita(description ? *description : "DEPARTAMENTO " + two, 15);
}

std::string PaymentNameRecord(const PaymentValues& v) { return CompletaDireita(v.description, 15); }

std::string PaymentConfigRecord(const PaymentValues& v) {
  std::string r = Digits(v.limit, 5);
  for (const auto* flag : {&v.change, &v.drawer, &v.type, &v.voucher}) r.push_back(FlagByte(*flag));
  return r;
}

std::string DiscountRecord(const std::array<RateGroup, 4>& groups) {
  std::string r;
  for (const auto& g : groups) {
    r.push_back(FlagByte(g.type));
    r += DecimalDigits(g.rate, 4, 2);
    r.push_back(FlagByte(g.alter));
  }
  return r;
}

std::string PrintLinesRecord(const std::array<PrintLine, 4>& lines) {
  std::string r;
  for (const auto& line : lines) {
    // A blank expanded flag is normal print, like "N".
    bool expanded = !line.expanded.empty() && Upper(line.expanded[0]) != 'N';
    const int width = expanded ? 21 : 42;
    std::string text = CompletaDireita(line.text, width);
    if (FlagOn(line.centred)) {
      std::string core = Apara(text);
      text = CompletaDireita(Espacos((width - static_cast<int>(core.size())) / 2) + core, width);
    }
    r += CompletaDireita(text, 42);
    r.push_back(FlagByte(line.expanded));
    r.push_back(FlagByte(line.centred));
  }
  return r;
}

std::string ClientRecord(const ClientValues& v) {
  return CompactaBCD(Digits(v.code, 4)) + CompactaBCD(Digits(v.cnpj, 14)) + CompletaDireita(v.name, 30) +
         CompletaDireita(v.address, 40) + CompletaDireita(v.complement, 40) + FlagByte(v.status) + std::string(8, ' ');
}

uint8_t ProductFlagByte(std::string_view unit, std::string_view litrado) {
  char u = unit.empty() ? ' ' : Upper(unit[0]);
  // A blank PRO_LITRAD is the editor's default "N", not a litre product.
  bool litre = !litrado.empty() && Upper(litrado[0]) != 'N';
  uint8_t flags = 0;
  if (u == 'O') flags |= 1 << 5;
  if (u == 'C') flags |= 1 << 4;
  if (litre) flags |= 1 << 3;
  if (u == 'M') flags |= 1 << 2;
  if (u == 'L') flags |= 1 << 1;
  if (u == 'K' || u == 'S') flags |= 1 << 0;
  return flags;
}

int PriceDecimals(std::string_view decimals) { return !decimals.empty() && decimals[0] == '3' ? 3 : 2; }

std::string PriceDigits(double price, std::string_view decimals) {
  return DecimalDigits(price, 8, PriceDecimals(decimals));
}

std::string StockDigits(double stock) { return DecimalDigits(stock, 8, 3); }

namespace {
// "000000000000" of the code, cut to its first 12 digits when it has more.
std::string PluDigits(double plu) {
  long long v = std::max(0LL, RoundScaled(plu, 0));
  std::string text = std::to_string(v);
  if (text.size() > 12) return text.substr(0, 12);
  return std::string(12 - text.size(), '0') + text;
}
}  // namespace

std::string ProductRecord(const ProductValues& v, ProductRecordSize size) {
  std::string r;
  r.reserve(static_cast<size_t>(size));
  r += CompactaBCD(PluDigits(v.plu));
  r += CompletaDireita(v.short_description, 20);
  r += CompactaBCD(PriceDigits(v.price, v.decimals));
  r += CompactaBCD(Digits(v.tax, 2));
  r += CompactaBCD(Digits(v.department, 2));
  r += std::string(6 + 36, '\0');
  r += CompactaBCD(StockDigits(v.stock));
  r.push_back(static_cast<char>(ProductFlagByte(v.unit, v.litrado)));
  r.push_back('0');
  if (size == ProductRecordSize::k86) r += std::string(6, '\0');
  return r;
}

ProductRecordSize ProductRecordSizeOfModel(char model) {
  return static_cast<unsigned char>(model) >= '4' ? ProductRecordSize::k86 : ProductRecordSize::k80;
}

std::optional<char> IdentificationModel(std::string_view identification) {
  constexpr size_t kModelCharacter = 22;
  std::string_view line = identification.substr(0, identification.find_first_of("\r\n"));
  if (line.size() < kModelCharacter) return std::nullopt;
  return line[kModelCharacter - 1];
}

bool WholeProductRecords(uint64_t size, ProductRecordSize record) {
  return size % static_cast<uint64_t>(record) == 0;
}

std::string InvalidFileSizeMessage(std::string_view file_name, uint64_t size) {
  return "Arquivo " + std::string(file_name) + " com tamanho inválido (" + std::to_string(size) + " bytes) !";
}

double LoadPlu(double plu, bool check_digit) {
  return check_digit ? TiraDigito(plu) : plu;
}

namespace {
// PRO_GRPITE with format "0": its number, one digit; blank is "0".
std::string ItemGroupDigit(std::string_view stored) {
  std::string t = Apara(stored);
  long long n = 0;
  for (char c : t) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
  }
  return ZeroFill(n, 1);
}
}  // namespace

std::string ProductListLine(char record_code, const ProductValues& v) {
  std::string line(1, record_code);
  line += PluDigits(v.plu);
  line += CompletaDireita(v.short_description, 20);
  line += Digits(v.tax, 2);
  line += Digits(v.department, 2);
  line += PriceDigits(v.price, v.decimals);
  line.push_back(FlagByte(v.decimals));
  line.push_back(FlagByte(v.unit));
  line.push_back(FlagByte(v.litrado));
  line += ItemGroupDigit(v.item_group);
  line += StockDigits(v.stock);
  return line + "\r\n";
}

std::string KeyboardSlot(int button, const std::optional<KeyFunction>& key) {
  if (button == 23 || !key) return "000000";
  std::string ntecla = Apara(key->key_code);
  std::string number = Apara(key->function);
  auto two_of = [](const std::string& s) {
    std::string part = s.size() >= 3 ? s.substr(1, 2) : std::string();
    long long n = 0;
    for (char c : part) n = (c >= '0' && c <= '9') ? n * 10 + (c - '0') : n * 10;
    return ZeroFill(n, 2);
  };
  if (ntecla.size() == 3 && !number.empty() && number[0] == '8') return "27" + two_of(number) + "00";
  if (ntecla.size() == 3 && !number.empty() && number[0] == '9') return "2800" + two_of(number);
  // "00" of the key code; a longer code keeps its last two digits so that
  // the slot stays six characters.
  long long n = 0;
  for (char c : ntecla) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
  }
  return ZeroFill(n, 2) + "0000";
}

std::string DateTimeRecord(std::chrono::year_month_day date, int hour, int minute) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02u%02u%04d%02d%02d", static_cast<unsigned>(date.day()),
                static_cast<unsigned>(date.month()), static_cast<int>(date.year()), hour % 100,
                minute % 100);
  return buf;
}

// ---- files from the tables

std::string OperatorsFile(const db::Database& db) {
  auto t = db.open(ycoope::kTable, {.tag = "Um"});
  std::string out;
  for (t->first(); !t->eof(); t->next()) {
    OperatorValues v;
    v.code = t->asNumber(ycoope::OPE_CODIGO);
    v.name = t->getString(ycoope::OPE_NOME);
    v.password = t->asNumber(ycoope::OPE_SENHA);
    const db::FieldDef* flags[] = {&ycoope::OPE_DITEM,  &ycoope::OPE_DSUBTO, &ycoope::OPE_CITEM,
                                   &ycoope::OPE_CCUPOM, &ycoope::OPE_LEITX,  &ycoope::OPE_REDZ,
                                   &ycoope::OPE_SANGRI, &ycoope::OPE_FDCXA,  &ycoope::OPE_LIMITE,
                                   &ycoope::OPE_RELATO, &ycoope::OPE_AITEM,  &ycoope::OPE_ASUBTO,
                                   &ycoope::OPE_PERFIL};
    for (size_t i = 0; i < v.flags.size(); ++i) v.flags[i] = t->getString(*flags[i]);
    out += OperatorRecord(v);
  }
  return out;
}

std::string SellersFile(const db::Database& db) {
  auto t = db.open(ycoven::kTable, {.tag = "Um"});
  std::string out;
  for (t->first(); !t->eof(); t->next())
    out += SellerRecord(t->asNumber(ycoven::VEN_CODIGO), t->getString(ycoven::VEN_NOME));
  return out;
}

namespace {
// A group definition row: DEP_CODIGO blank or 0.
bool IsGroupDefinition(const db::Table& t) {
  auto dep = t.getNumber(ycogrp::DEP_CODIGO);
  return !dep || *dep == 0;
}
}  // namespace

std::string GroupsFile(const db::Database& db) {
  auto t = db.open(ycogrp::kTable, {.tag = "Tres"});
  std::map<int, std::string> names;
  for (t->first(); !t->eof(); t->next()) {
    if (!IsGroupDefinition(*t)) continue;
    int code = static_cast<int>(t->asInteger(ycogrp::GRP_CODIGO));
    names.emplace(code, t->getString(ycogrp::GRP_DESCR));  // the first row of a code wins
  }
  std::string out;
  for (int code = 1; code <= kGroupCount; ++code) {
    auto it = names.find(code);
    out += GroupRecord(code, it == names.end() ? std::nullopt : std::optional<std::string>(it->second));
  }
  return out;
}

std::string DepartmentsFile(const db::Database& db) {
  std::map<int, double> group_of;
  {
    auto g = db.open(ycogrp::kTable, {.tag = "Quatro"});
    for (g->first(); !g->eof(); g->next()) {
      if (IsGroupDefinition(*g)) continue;
      group_of.emplace(static_cast<int>(g->asInteger(ycogrp::DEP_CODIGO)), g->asNumber(ycogrp::GRP_CODIGO));
    }
  }
  std::map<int, std::string> names;
  {
    auto d = db.open(ycodep::kTable, {.tag = "Um"});
    for (d->first(); !d->eof(); d->next())
      names.emplace(static_cast<int>(d->asInteger(ycodep::DEP_CODIGO)), d->getString(ycodep::DEP_DESCR));
  }
  std::string out;
  for (int code = 1; code <= kDepartmentCount; ++code) {
    auto ni = names.find(code);
    // A department that does not exist takes group "01" even when a stale
    // member row of Ycogrp still names it.
    auto gi = ni == names.end() ? group_of.end() : group_of.find(code);
    out += DepartmentRecord(code, gi == group_of.end() ? std::nullopt : std::optional<double>(gi->second),
                            ni == names.end() ? std::nullopt : std::optional<std::string>(ni->second));
  }
  return out;
}

namespace {
std::vector<PaymentValues> PaymentTypes(const db::Database& db) {
  auto t = db.open(ycoq40::kTable, {.tag = "Um"});
  std::vector<PaymentValues> out;
  for (t->first(); !t->eof(); t->next()) {
    PaymentValues v;
    v.description = t->getString(ycoq40::Q40_DESCR);
    v.limit = t->asNumber(ycoq40::Q40_LIMITE);
    v.change = t->getString(ycoq40::Q40_TROCO);
    v.drawer = t->getString(ycoq40::Q40_GAVETA);
    v.type = t->getString(ycoq40::Q40_TIPO);
    v.voucher = t->getString(ycoq40::Q40_CVALLE);
    out.push_back(std::move(v));
  }
  return out;
}
}  // namespace

std::string PaymentNamesFile(const db::Database& db) {
  std::string out;
  for (const auto& v : PaymentTypes(db)) out += PaymentNameRecord(v);
  return out;
}

std::string PaymentConfigFile(const db::Database& db) {
  std::string out;
  for (const auto& v : PaymentTypes(db)) out += PaymentConfigRecord(v);
  return out;
}

std::string BarCodeOptionsFile(const db::Database& db) {
  SingleRow ycf(db, ycoycf::kTable);
  SingleRow prm(db, ycoprm::kTable);
  std::string out;
  out.push_back(FlagByte(ycf.text(ycoycf::YCF_BALETQ)));
  out.push_back(FlagByte(prm.text(ycoprm::Q40_DIGCON)));
  return out + Digits(prm.number(ycoprm::Q40_MAXREG), 5);
}

std::string PeripheralsFile(const db::Database& db) {
  SingleRow ycf(db, ycoycf::kTable);
  std::string out;
  for (const auto* f : {&ycoycf::YCF_BALANC, &ycoycf::YCF_TEF, &ycoycf::YCF_GAVPRE, &ycoycf::YCF_PCCOM5})
    out.push_back(FlagByte(ycf.text(*f)));
  return out + "N";
}

std::string FlagsFile(const db::Database& db) {
  SingleRow ycf(db, ycoycf::kTable);
  SingleRow prm(db, ycoprm::kTable);
  std::string out;
  out.push_back(FlagByte(prm.text(ycoprm::Q40_ZERO)));
  out.push_back(FlagByte(prm.text(ycoprm::Q40_ENTER)));
  out.push_back(FlagByte(ycf.text(ycoycf::YCF_GAVABR)));
  out.push_back(FlagByte(ycf.text(ycoycf::YCF_GAVIMP)));
  out.push_back(FlagByte(ycf.text(ycoycf::YCF_GAVREL)));
  for (const auto* f : {&ycoprm::Q40_DESCIS, &ycoprm::Q40_DEPAB, &ycoprm::Q40_LOGZ, &ycoprm::Q40_LIMAUT,
                        &ycoprm::Q40_VIASC})
    out.push_back(FlagByte(prm.text(*f)));
  return out;
}

std::string DiscountsFile(const db::Database& db) {
  SingleRow ycf(db, ycoycf::kTable);
  auto group = [&](const db::FieldDef& type, const db::FieldDef& rate, const db::FieldDef& alter) {
    return RateGroup{ycf.text(type), ycf.number(rate), ycf.text(alter)};
  };
  return DiscountRecord({group(ycoycf::YCF_DSTIPO, ycoycf::YCF_DSPER, ycoycf::YCF_DSALT),
                         group(ycoycf::YCF_DITIPO, ycoycf::YCF_DIPER, ycoycf::YCF_DIALT),
                         group(ycoycf::YCF_ASTIPO, ycoycf::YCF_ASPER, ycoycf::YCF_ASALT),
                         group(ycoycf::YCF_AITIPO, ycoycf::YCF_AIPER, ycoycf::YCF_AIALT)});
}

std::string ClientsFile(const db::Database& db) {
  auto t = db.open(ycocli::kTable, {.tag = "Um"});
  std::string out;
  const db::Column code = t->column(ycocli::CLI_CODIGO), cnpj = t->column(ycocli::CLI_CNPJ),
                   name = t->column(ycocli::CLI_NOME), address = t->column(ycocli::CLI_ENDER),
                   complement = t->column(ycocli::CLI_COMPLE), status = t->column(ycocli::CLI_STATUS);
  for (t->first(); !t->eof(); t->next()) {
    const db::RowView row = t->row();
    ClientValues v;
    v.code = row.asNumber(code);
    v.cnpj = row.asNumber(cnpj);
    v.name = row.text(name);
    v.address = row.text(address);
    v.complement = row.text(complement);
    v.status = row.text(status);
    out += ClientRecord(v);
  }
  return out;
}

std::string FooterFile(const db::Database& db) {
  SingleRow ycf(db, ycoycf::kTable);
  auto line = [&](const db::FieldDef& text, const db::FieldDef& exp, const db::FieldDef& cen) {
    return PrintLine{ycf.text(text), ycf.text(exp), ycf.text(cen)};
  };
  return PrintLinesRecord({line(ycoycf::YCF_MSG1, ycoycf::YCF_EXPA1, ycoycf::YCF_CAMCEN),
                           line(ycoycf::YCF_MSG2, ycoycf::YCF_EXPA2, ycoycf::YCF_CAMCE1),
                           line(ycoycf::YCF_MSG3, ycoycf::YCF_EXPA3, ycoycf::YCF_CAMCE2),
                           line(ycoycf::YCF_MSG4, ycoycf::YCF_EXPA4, ycoycf::YCF_CAMCE3)});
}

std::string HeaderFile(const db::Database& db) {
  SingleRow prm(db, ycoprm::kTable);
  auto line = [&](const db::FieldDef& text, const db::FieldDef& exp, const db::FieldDef& cen) {
    return PrintLine{prm.text(text), prm.text(exp), prm.text(cen)};
  };
  return PrintLinesRecord({line(ycoprm::PRM_RAZAOS, ycoprm::Q40_EXPA1, ycoprm::Q40_CAMCEN),
                           line(ycoprm::PRM_ENDERE, ycoprm::Q40_EXPA2, ycoprm::Q40_CAMCE1),
                           line(ycoprm::Q40_ADIC1, ycoprm::Q40_EXPA3, ycoprm::Q40_CAMCE2),
                           line(ycoprm::Q40_ADIC2, ycoprm::Q40_EXPA4, ycoprm::Q40_CAMCE3)});
}

std::string KeyboardFile(const db::Database& db) {
  auto t = db.open(ycotey::kTable, {.tag = "Tres"});
  t->setFilter("TEY_TYPE='QZV'");
  std::map<int, KeyFunction> by_button;
  auto as_text = [&](const db::FieldDef& f) {
    // Numeric in the installed table; kept as its integer digits.
    if (f.type == db::FieldType::kCharacter) return Apara(t->getString(f));
    return t->isBlank(f) ? std::string() : std::to_string(t->asInteger(f));
  };
  for (t->first(); !t->eof(); t->next()) {
    int button = static_cast<int>(t->asInteger(ycotey::TEY_BOTON));
    if (button < 1 || button > kKeyboardButtons) continue;
    by_button.emplace(button, KeyFunction{as_text(ycotey::TEY_NTECLA), as_text(ycotey::TEY_NUMBER)});
  }
  std::string out;
  for (int b = 1; b <= kKeyboardButtons; ++b) {
    auto it = by_button.find(b);
    out += KeyboardSlot(b, it == by_button.end() ? std::nullopt : std::optional<KeyFunction>(it->second));
  }
  return out;
}

bool CheckDigitOption(const db::Database& db) {
  SingleRow prm(db, ycoprm::kTable);
  return prm.text(ycoprm::Q40_DIGCON) == "S";
}

bool LogClearOption(const db::Database& db) {
  SingleRow prm(db, ycoprm::kTable);
  return prm.text(ycoprm::Q40_LOGZ) == "S";
}

std::vector<ProductValues> LoadProducts(const db::Database& db, bool check_digit) {
  auto t = db.open(ycopro::kTable, {.tag = "Um"});
  std::vector<ProductValues> out;
  out.reserve(t->recordCount());
  const db::Column plu = t->column(ycopro::PRO_PLU), short_description = t->column(ycopro::PRO_RESUM),
                   price = t->column(ycopro::PRO_PCOVEN), decimals = t->column(ycopro::PRO_CASAD),
                   tax = t->column(ycopro::PRO_TRIBUT), department = t->column(ycopro::PRO_DEPTO),
                   stock = t->column(ycopro::PRO_ESTQ), unit = t->column(ycopro::PRO_PESAD),
                   litrado = t->column(ycopro::PRO_LITRAD), item_group = t->column(ycopro::PRO_GRPITE);
  for (t->first(); !t->eof(); t->next()) {
    const db::RowView row = t->row();
    ProductValues v;
    v.plu = LoadPlu(row.asNumber(plu), check_digit);
    v.short_description = row.text(short_description);
    v.price = row.asNumber(price);
    v.decimals = row.text(decimals);
    v.tax = row.asNumber(tax);
    v.department = row.asNumber(department);
    v.stock = row.asNumber(stock);
    v.unit = row.text(unit);
    v.litrado = row.text(litrado);
    v.item_group = row.text(item_group);
    out.push_back(std::move(v));
  }
  return out;
}

std::string ProductsFile(const std::vector<ProductValues>& products, ProductRecordSize size) {
  std::string out;
  out.reserve(products.size() * static_cast<size_t>(size));
  for (const auto& v : products) out += ProductRecord(v, size);
  return out;
}

std::string CompleteProductList(const std::vector<ProductValues>& products) {
  std::string out;
  for (const auto& v : products)
    if (ItemGroupDigit(v.item_group) != "0") out += ProductListLine('2', v);
  return out;
}

std::string ChangedProductList(const db::Database& db, bool stock) {
  const std::string new_status = stock ? "3" : "4";
  auto t = db.open(ycoy60::kTable);
  std::vector<std::pair<double, std::string>> lines;
  for (t->first(); !t->eof(); t->next()) {
    if (t->getString(ycoy60::Y60_STATUS) != "1" && t->getString(ycoy60::Y60_STATUS) != new_status) {
      t->edit();
      t->setString(ycoy60::Y60_STATUS, new_status);
      t->post();
    }
    ProductValues v;
    v.plu = t->asNumber(ycoy60::Y60_PROPLU);
    v.short_description = t->getString(ycoy60::Y60_RESUM);
    v.tax = t->asNumber(ycoy60::Y60_TRIBUT);
    v.department = t->asNumber(ycoy60::Y60_DEPTO);
    v.price = t->asNumber(ycoy60::Y60_PCOVEN);
    v.decimals = t->getString(ycoy60::PRO_CASAD);
    v.unit = t->getString(ycoy60::PRO_PESAD);
    v.litrado = t->getString(ycoy60::PRO_LITRAD);
    v.item_group = t->getString(ycoy60::PRO_GRPITE);
    v.stock = t->asNumber(ycoy60::PRO_ESTQ);
    std::string status = t->getString(ycoy60::Y60_STATUS);
    lines.emplace_back(v.plu, ProductListLine(FlagByte(status), v));
  }
  // Y60_PROPLU order; rows of one code keep their table order.
  std::stable_sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string out;
  for (const auto& [plu, line] : lines) out += line;
  return out;
}

}  // namespace kaslo::comm
