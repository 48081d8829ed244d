// The SINTEGRA file of a SINTEGRA reading. The terminal sends three files:
//
// "Sid" + n + ".rec": its identity; the 22nd character of the first line is
// the model digit, "4" and above for 86-byte product records, else 80.
//
// "SProds" + n + ".rec": its product memory, the records of the product
// load (80 or 86 bytes) with the month's accumulators filled in:
//   OFFSET SIZE DESCRIPTION
//        0    6 PLU, packed decimal (12 digits, without check digit)
//        6   20 short description, text, may end early at a 0x00 byte
//       30    1 tax code, packed decimal (2 digits)
//       38    6 quantity sold in the month, packed decimal (12 digits)
//       44    6 gross value: 4-byte integer part, 2-byte fraction, both
//                little-endian
//       50    6 tax base, as the gross value
//       56   18 a second group of accumulators (not used by the file)
//
// "Sr60m" + n + ".rec" or "Sr60mold" + n + ".rec": daily reductions of 227
// bytes; packed decimal unless said otherwise:
//   OFFSET SIZE DESCRIPTION
//        0    3 date dd mm yy
//        3   15 manufacturing serial number, text
//       18    2 equipment order number, low byte first
//       20    3 first operation counter of the day (6 digits)
//       23    3 last operation counter of the day
//       26    2 reduction counter, low byte first
//       28    2 restart counter, low byte first
//       30    7 gross sales (14 digits, cents)
//       37    9 grand total (18 digits)
//       46    2 ISS bits: most significant bit of byte 46 for totalizer 1
//       48    7 cancellations
//       55    7 discounts
//       62   32 rates of partial totalizers 1 to 16, 2 bytes (4 digits) each
//       94  112 totals of partial totalizers 1 to 16, 7 bytes each
//      206    7 exempt total ("I")
//      213    7 non-taxed total ("N")
//      220    7 tax-substitution total ("F")
//
// Records written besides 10, 11 and 90 (position, width, content):
//   60M:  1 3 "60M", 4 8 date, 12 20 serial, 32 3 order number, 35 2 "2D",
//        37 6 first counter, 43 6 last counter, 49 6 reduction counter,
//        55 3 restart counter, 58 16 gross sales, 74 16 grand total, 90 37 blanks
//   60A:  1 3 "60A", 4 8 date, 12 20 serial, 32 4 rate or "ISS ", "I   ",
//        "N   ", "F   ", "CANC", "DESC", 36 12 value, 48 79 blanks
//   60R:  1 3 "60R", 4 6 mmyyyy, 10 14 product, 24 13 quantity, 37 16 value,
//        53 16 tax base, 69 4 tax code, 73 54 blanks
//   75:   1 2 "75", 3 8 first day, 11 8 last day, 19 14 product, 33 8 NCM
//        (blank), 41 53 description, 94 6 unit, 100 5 IPI rate, 105 4 ICMS
//        rate, 109 5 base reduction, 114 13 substitution base (zeros)
// Sources wider than their field keep their rightmost digits, so that every
// line stays 126 characters long.
#include "comm/sintegra_reading.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "comm/job_table.h"
#include "comm/load_files.h"
#include "comm/sintegra_header.h"
#include "common/checkdigits.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/numbers.h"
#include "common/text.h"
#include "db/error.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycotrb.h"

namespace kaslo::comm {
namespace {

using std::chrono::year_month_day;

// Product record offsets.
constexpr size_t kProPlu = 0, kProPluSize = 6;
constexpr size_t kProDescr = 6, kProDescrSize = 20;
constexpr size_t kProTax = 30;
constexpr size_t kProQuantity = 38, kProQuantitySize = 6;
constexpr size_t kProValue = 44;
constexpr size_t kProBase = 50;

// Reduction record offsets.
constexpr size_t kRedSize = 227;
constexpr size_t kRedDate = 0, kRedDateSize = 3;
constexpr size_t kRedSerial = 3, kRedSerialSize = 15;
constexpr size_t kRedOrder = 18;
constexpr size_t kRedFirstCounter = 20, kRedLastCounter = 23, kRedCounterSize = 3;
constexpr size_t kRedReductions = 26;
constexpr size_t kRedRestarts = 28;
constexpr size_t kRedGross = 30;
constexpr size_t kRedGrandTotal = 37, kRedGrandTotalSize = 9;
constexpr size_t kRedIssBits = 46;
constexpr size_t kRedCancellations = 48;
constexpr size_t kRedDiscounts = 55;
constexpr size_t kRedRates = 62, kRedRateSize = 2;
constexpr size_t kRedTotals = 94;
constexpr size_t kRedExempt = 206, kRedNotTaxed = 213, kRedSubstitution = 220;
constexpr size_t kTotalSize = 7;  // 14 digits
constexpr int kPartialTotalizers = 16;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw db::Error(path.string() + ": cannot be read");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Packed decimal read as its hexadecimal digits, first byte first.
std::string Packed(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out.push_back(kHex[b >> 4]);
    out.push_back(kHex[b & 0x0F]);
  }
  return out;
}

// Packed decimal stored low byte first.
std::string PackedLowFirst(std::string_view bytes) {
  return Packed(std::string(bytes.rbegin(), bytes.rend()));
}

bool IsZero(std::string_view digits) { return digits.find_first_not_of('0') == std::string_view::npos; }

uint64_t LittleEndian(std::string_view bytes) {
  uint64_t v = 0;
  for (size_t i = bytes.size(); i-- > 0;) v = (v << 8) | static_cast<unsigned char>(bytes[i]);
  return v;
}

// A value accumulator: the integer part and the fraction taken as the
// decimal digits after the comma, rounded to cents, in 16 digits.
std::string Accumulator(std::string_view bytes) {
  const std::string text =
      std::to_string(LittleEndian(bytes.substr(0, 4))) + "," + std::to_string(LittleEndian(bytes.substr(4, 2)));
  return ZerosEsquerda(RemoveTexto(NumeroComZeros(0, 2, TextoParaNumero(text)), "."), 16);
}

std::string Yyyymmdd(year_month_day d) {
  return NumeroComZeros(4, 0, static_cast<int>(d.year())) +
         NumeroComZeros(2, 0, static_cast<unsigned>(d.month())) +
         NumeroComZeros(2, 0, static_cast<unsigned>(d.day()));
}

// "ddmmyy" to "yyyymmdd"; a date that is not valid gives today. The
// terminals write two-digit years of this century.
std::string ReductionDate(std::string_view ddmmyy) {
  if (SoDigitos(ddmmyy).size() == 6) {
    const int d = std::stoi(std::string(ddmmyy.substr(0, 2)));
    const int m = std::stoi(std::string(ddmmyy.substr(2, 2)));
    const int y = 2000 + std::stoi(std::string(ddmmyy.substr(4, 2)));
    const year_month_day date{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(m)},
                              std::chrono::day{static_cast<unsigned>(d)}};
    if (date.ok()) return Yyyymmdd(date);
  }
  return Yyyymmdd(kaslo::Today());
}

// Text of a fixed field, up to its first 0x00 byte.
std::string FieldText(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

struct ProductFacts {
  std::string unit = "UN    ";
  std::string icms = "0000";
  std::string ipi = "00000";
};

// Looks up the product and its tax code; a product missing from either
// table keeps the defaults.
class ProductLookup {
 public:
  explicit ProductLookup(const db::Database& db) {
    auto prm = db.open(ycoprm::kTable);
    prm->first();
    check_digit_ = !prm->eof() && prm->getString(ycoprm::Q40_DIGCON) == "S";
    products_ = db.open(ycopro::kTable, {.tag = "Um"});
    taxes_ = db.open(ycotrb::kTable, {.tag = "Um"});
  }

  ProductFacts Find(std::string_view plu12) {
    ProductFacts facts;
    double code = TextoParaNumero(SoDigitos(plu12));
    // With the check-digit option the table holds the EAN-13 code, while the
    // terminal knows the product by the 12 digits before the check digit.
    if (check_digit_) code = DigitoEAN(code);
    if (!products_->findKey(code)) return facts;
    if (!taxes_->findKey(products_->asNumber(ycopro::PRO_TRIBUT))) return facts;
    switch (products_->asInteger(ycopro::PRO_UNMED)) {
      case 1: facts.unit = "KG    "; break;
      case 2: facts.unit = "MT    "; break;
      case 3: facts.unit = "LT    "; break;
      default: break;
    }
    facts.icms = ZerosEsquerda(RemoveTexto(NumeroComZeros(5, 2, taxes_->asNumber(ycotrb::TRB_PERCEN)), "."), 4);
    auto digit = [&](const db::FieldDef& f) {
      return ZerosEsquerda(NumeroComZeros(0, 0, products_->asNumber(f)), 1);
    };
    facts.ipi = digit(ycopro::PRO_TRB0) + digit(ycopro::PRO_TRB1) + "0" + "00";
    return facts;
  }

 private:
  bool check_digit_ = false;
  std::unique_ptr<db::Table> products_;
  std::unique_ptr<db::Table> taxes_;
};

// A short identification line names no model: the older records.
ProductRecordSize ProductRecordSizeOf(const std::string& identity) {
  return ProductRecordSizeOfModel(IdentificationModel(identity).value_or('0'));
}

struct ProductLines {
  std::vector<std::string> r60r;
  std::vector<std::string> r75;
};

ProductLines BuildProductLines(const db::Database& db, const std::string& records, size_t record_size,
                               const SintegraPeriod& period) {
  ProductLines lines;
  ProductLookup lookup(db);
  for (size_t at = 0; at + record_size <= records.size(); at += record_size) {
    const std::string_view rec = std::string_view(records).substr(at, record_size);
    const std::string quantity = Packed(rec.substr(kProQuantity, kProQuantitySize));
    if (IsZero(quantity)) continue;
    const std::string plu = Packed(rec.substr(kProPlu, kProPluSize));
    const std::string code = ZerosEsquerda(plu, 14);
    const ProductFacts facts = lookup.Find(plu);
    lines.r60r.push_back("60R" + period.MonthYear() + code + ZerosEsquerda(quantity, 13) +
                         Accumulator(rec.substr(kProValue, 6)) + Accumulator(rec.substr(kProBase, 6)) +
                         ZerosEsquerda(Packed(rec.substr(kProTax, 1)), 4) + Espacos(54));
    lines.r75.push_back("75" + period.FirstDay() + period.LastDay() + code + Espacos(8) +
                        CompletaDireita(FieldText(rec.substr(kProDescr, kProDescrSize)), 53) + facts.unit +
                        facts.ipi + facts.icms + "0000" + std::string(14, '0'));
  }
  return lines;
}

// The 60M line of one reduction and its 60A lines.
void AppendReductionLines(std::string_view rec, std::vector<std::string>& out) {
  const std::string date = ReductionDate(Packed(rec.substr(kRedDate, kRedDateSize)));
  const std::string serial = CompletaDireita(Apara(FieldText(rec.substr(kRedSerial, kRedSerialSize))), 20);
  out.push_back("60M" + date + serial + ZerosEsquerda(PackedLowFirst(rec.substr(kRedOrder, 2)), 3) + "2D" +
                ZerosEsquerda(Packed(rec.substr(kRedFirstCounter, kRedCounterSize)), 6) +
                ZerosEsquerda(Packed(rec.substr(kRedLastCounter, kRedCounterSize)), 6) +
                ZerosEsquerda(PackedLowFirst(rec.substr(kRedReductions, 2)), 6) +
                ZerosEsquerda(PackedLowFirst(rec.substr(kRedRestarts, 2)), 3) +
                ZerosEsquerda(Packed(rec.substr(kRedGross, kTotalSize)), 16) +
                ZerosEsquerda(Packed(rec.substr(kRedGrandTotal, kRedGrandTotalSize)), 16) + Espacos(37));

  auto total = [&](size_t offset, std::string_view tax_field) {
    const std::string value = Packed(rec.substr(offset, kTotalSize));
    if (IsZero(value)) return;
    out.push_back("60A" + date + serial + std::string(tax_field) + ZerosEsquerda(value, 12) + Espacos(79));
  };
  const uint16_t iss_bits = static_cast<uint16_t>((static_cast<unsigned char>(rec[kRedIssBits]) << 8) |
                                                  static_cast<unsigned char>(rec[kRedIssBits + 1]));
  for (int k = 0; k < kPartialTotalizers; ++k) {
    const bool iss = (iss_bits >> (15 - k)) & 1;
    const std::string rate = ZerosEsquerda(Packed(rec.substr(kRedRates + k * kRedRateSize, kRedRateSize)), 4);
    total(kRedTotals + k * kTotalSize, iss ? "ISS " : rate);
  }
  total(kRedExempt, "I   ");
  total(kRedNotTaxed, "N   ");
  total(kRedSubstitution, "F   ");
  total(kRedCancellations, "CANC");
  total(kRedDiscounts, "DESC");
}

}  // namespace

year_month_day SintegraPeriodDate(int job_kind, year_month_day today) {
  if (job_kind != kJobSintegraPreviousMonth) return today;
  // The previous calendar month: the day before the first of this month.
  return year_month_day{std::chrono::sys_days{today.year() / today.month() / std::chrono::day{1}} -
                        std::chrono::days{1}};
}

bool BuildSintegraFromReading(const db::Database& db, int terminal, int job_kind, year_month_day period_date) {
  const JobKind* job = FindJob(job_kind);
  if (!job || job->follow_up != RowFollowUp::kSintegraFile) return false;
  const std::string n = std::to_string(terminal);
  const std::string reg(job->register_name);
  const auto identity_file = db.find("Sid" + n + ".rec");
  const auto products_file = db.find("SProds" + n + ".rec");
  const auto reductions_file = db.find("S" + reg + n + ".rec");
  if (identity_file.empty() || products_file.empty() || reductions_file.empty()) return false;

  const ProductRecordSize record_size = ProductRecordSizeOf(ReadFile(identity_file));
  const std::string records = ReadFile(products_file);
  // Torn records would put every product after them out of step; the
  // received files stay for a look and for a new reading.
  if (!WholeProductRecords(records.size(), record_size))
    throw db::Error(InvalidFileSizeMessage(products_file.filename().string(), records.size()));

  const SintegraPeriod period = PeriodOf(period_date);
  const ProductLines products = BuildProductLines(db, records, static_cast<size_t>(record_size), period);

  std::vector<std::string> lines = HeaderRecords(db, period);
  const std::string reductions = ReadFile(reductions_file);
  // A torn last record is not a reduction.
  for (size_t at = 0; at + kRedSize <= reductions.size(); at += kRedSize)
    AppendReductionLines(std::string_view(reductions).substr(at, kRedSize), lines);
  lines.insert(lines.end(), products.r60r.begin(), products.r60r.end());
  lines.insert(lines.end(), products.r75.begin(), products.r75.end());

  size_t count_60 = 0;
  for (const std::string& l : lines)
    if (l.starts_with("60")) ++count_60;
  const std::vector<std::string> closing = ClosingRecords(lines.front(), count_60, products.r75.size(), lines.size());
  lines.insert(lines.end(), closing.begin(), closing.end());
  WriteSintegraLines(db.pathFor(reg + n + ".txt"), lines);

  // The 60R and 75 lines are composed in memory; intermediate files of
  // those names are not part of the result and go with the inputs.
  ApagaArquivo(db.pathFor("R60R" + n + ".txt"));
  ApagaArquivo(db.pathFor("R75" + n + ".txt"));
  ApagaArquivo(products_file);
  ApagaArquivo(reductions_file);
  return true;
}

}  // namespace kaslo::comm
