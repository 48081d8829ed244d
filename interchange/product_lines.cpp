// Reading and writing the lines of the product files.
#include "interchange/product_lines.h"

#include <initializer_list>
#include <vector>

#include "common/checkdigits.h"
#include "common/numbers.h"
#include "common/text.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoy60.h"

namespace kaslo::interchange {

namespace {

using Fields = std::vector<std::string_view>;

Fields SplitAll(std::string_view line, char separator, size_t max_fields) {
  Fields fields;
  while (fields.size() + 1 < max_fields) {
    size_t at = line.find(separator);
    if (at == std::string_view::npos) break;
    fields.push_back(line.substr(0, at));
    line.remove_prefix(at + 1);
  }
  fields.push_back(line);
  return fields;
}

// The files pad their leading text fields to fixed widths, and a
// description may itself hold a comma: when the commas stand where those
// widths put them, the leading fields are cut by position, so that such a
// description does not shift every field after it.
Fields SplitCommas(std::string_view line, std::initializer_list<size_t> widths) {
  size_t pos = 0;
  for (size_t w : widths) {
    pos += w;
    if (pos >= line.size() || line[pos] != ',') return SplitAll(line, ',', SIZE_MAX);
    ++pos;
  }
  Fields fields;
  pos = 0;
  for (size_t w : widths) {
    fields.push_back(line.substr(pos, w));
    pos += w + 1;
  }
  Fields rest = SplitAll(line.substr(pos), ',', SIZE_MAX);
  fields.insert(fields.end(), rest.begin(), rest.end());
  return fields;
}

// Field n (from 1); empty when the line has fewer.
std::string_view Field(const Fields& fields, size_t n) {
  return n >= 1 && n <= fields.size() ? fields[n - 1] : std::string_view();
}

std::string PlainNumber(double value) { return NumeroParaTexto(0, 0, value); }

// The price in whole hundredths, 8 digits: 12.50 is 00001250. The rounding
// is done on the decimal text, so 12.345 gives 1235 and not 1234.
std::string Hundredths(double price) {
  return NumeroComZeros(8, 0, TextoParaNumero(RemoveTexto(NumeroParaTexto(0, 2, price), ".")));
}

std::string TaxField(double tax, const ConversionSlots* slots, bool* unconverted) {
  if (!slots) return PlainNumber(tax);
  std::optional<std::string> text = ConvertedTax(*slots, tax);
  if (!text && unconverted) *unconverted = true;
  return text.value_or("");
}

std::string UnitLetter(std::string_view pesad) {
  if (pesad == "S") return "K";
  if (pesad == "C" || pesad == "L" || pesad == "M" || pesad == "O") return std::string(pesad);
  return "U";
}

std::string StoredUnit(std::string_view letter) {
  if (letter == "K") return "S";
  if (letter == "C" || letter == "L" || letter == "M" || letter == "O") return std::string(letter);
  return "N";
}

double ImportedCode(std::string_view digits, bool check_digit) {
  double code = TextoParaNumero(digits);
  return check_digit ? DigitoEAN(code) : code;
}

double ImportedTax(std::string_view field, const ConversionSlots* slots, bool* converted) {
  if (!slots) return TextoParaNumero(field);
  std::optional<std::string> text = ConvertedTax(*slots, static_cast<double>(TextoParaInteiro(field)));
  *converted = text.has_value();
  return text ? TextoParaNumero(*text) : 0;
}

// The six values both product files carry, in the same order, from field
// `first` on: code, description, short description, tax, department, price.
ProductValues CarriedValues(const Fields& f, size_t first, bool check_digit, const ConversionSlots* slots) {
  ProductValues v;
  v.code = ImportedCode(Field(f, first), check_digit);
  v.description = Field(f, first + 1);
  v.short_description = Field(f, first + 2);
  v.tax = ImportedTax(Field(f, first + 3), slots, &v.tax_converted);
  v.department = TextoParaNumero(Field(f, first + 4));
  v.price = PriceOfDigits(Field(f, first + 5), 2);
  return v;
}

}  // namespace

std::optional<std::string> ConvertedTax(const ConversionSlots& slots, double tax) {
  if (!(tax >= 1 && tax <= kConversionSlots)) return std::nullopt;
  const std::string& text = slots[static_cast<size_t>(tax) - 1];
  if (text.empty()) return std::nullopt;
  return text;
}

double PriceOfDigits(std::string_view digits, int decimals) {
  return TextoParaNumero(FormataMascara(decimals == 3 ? "#####,###" : "######,##", TextoParaNumero(digits)));
}

NlufileFields::NlufileFields(const db::Table& pro)
    : plu(pro.column(ycopro::PRO_PLU)),
      descr(pro.column(ycopro::PRO_DESCR)),
      resum(pro.column(ycopro::PRO_RESUM)),
      tribut(pro.column(ycopro::PRO_TRIBUT)),
      depto(pro.column(ycopro::PRO_DEPTO)),
      pcoven(pro.column(ycopro::PRO_PCOVEN)),
      pesad(pro.column(ycopro::PRO_PESAD)),
      litrad(pro.column(ycopro::PRO_LITRAD)) {}

NlumntFields::NlumntFields(const db::Table& y60)
    : data(y60.column(ycoy60::Y60_DATA)),
      status(y60.column(ycoy60::Y60_STATUS)),
      plu(y60.column(ycoy60::Y60_PROPLU)),
      descr(y60.column(ycoy60::Y60_DESCR)),
      resum(y60.column(ycoy60::Y60_RESUM)),
      tribut(y60.column(ycoy60::Y60_TRIBUT)),
      depto(y60.column(ycoy60::Y60_DEPTO)),
      pcoven(y60.column(ycoy60::Y60_PCOVEN)) {}

std::string NlufileLine(const db::RowView& pro, const NlufileFields& f, bool check_digit,
                        const ConversionSlots* slots, bool* unconverted) {
  double code = pro.asNumber(f.plu);
  if (check_digit) code = TiraDigito(code);
  std::string line = NumeroComZeros(12, 0, code) + "," + CompletaDireita(pro.text(f.descr), 22) + "," +
                     CompletaDireita(pro.text(f.resum), 20) + "," +
                     TaxField(pro.asNumber(f.tribut), slots, unconverted) + "," +
                     PlainNumber(pro.asNumber(f.depto)) + "," + Hundredths(pro.asNumber(f.pcoven));
  if (slots) return line;
  return line + "," + UnitLetter(pro.text(f.pesad)) + "," + (pro.text(f.litrad) == "S" ? "S" : "N");
}

std::string NlumntLine(const db::RowView& y60, const NlumntFields& f, const ConversionSlots* slots,
                       bool* unconverted) {
  return CompletaDireita(y60.text(f.data), 4) + "," + CompletaDireita(y60.text(f.status), 1) + "," +
         NumeroComZeros(12, 0, y60.asNumber(f.plu)) + "," + CompletaDireita(y60.text(f.descr), 22) + "," +
         CompletaDireita(y60.text(f.resum), 20) + "," + TaxField(y60.asNumber(f.tribut), slots, unconverted) +
         "," + PlainNumber(y60.asNumber(f.depto)) + "," + Hundredths(y60.asNumber(f.pcoven));
}

ProductValues ReadNlufileLine(std::string_view line, bool check_digit, const ConversionSlots* slots) {
  const Fields f = SplitCommas(line, {12, 22, 20});
  ProductValues v = CarriedValues(f, 1, check_digit, slots);
  if (!slots) {
    v.unit = StoredUnit(Field(f, 7));
    v.litre = Field(f, 8).starts_with("S") ? "S" : "N";
  }
  return v;
}

ProductValues ReadOpticashLine(std::string_view line, bool check_digit) {
  // Only the first 20 tabs separate fields.
  const Fields f = SplitAll(line, '\t', 21);
  ProductValues v;
  std::string_view code = Field(f, 3);
  code.remove_prefix(std::min(code.find_first_not_of('0'), code.size()));
  v.code = ImportedCode(ZerosEsquerda(SoDigitos(code.substr(0, 12)), 12), check_digit);
  v.description = Field(f, 2);
  v.short_description = v.description.substr(0, 20);
  int64_t tax = TextoParaInteiro(Field(f, 4));
  if (tax >= 10 && tax <= 12) tax += 4;
  v.tax = static_cast<double>(tax);
  v.department = 1;
  const bool litre = Apara(Field(f, 10)) == "1";
  v.price = PriceOfDigits(ZerosEsquerda(Field(f, 5), 8), litre ? 3 : 2);
  v.litre = litre ? "S" : "N";
  v.decimals = litre ? "3" : "2";
  return v;
}

QueuedChange ReadNlumntLine(std::string_view line, bool check_digit, const ConversionSlots* slots) {
  const Fields f = SplitCommas(line, {4, 1, 12, 22, 20});
  return QueuedChange{.status = std::string(Field(f, 2)), .product = CarriedValues(f, 3, check_digit, slots)};
}

}  // namespace kaslo::interchange
