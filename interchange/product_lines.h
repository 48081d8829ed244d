// The lines of the product files, one product (or one queued change) each:
// what a line of NLUFILE.MTR, NLUMNT.MTR or OPTICASH.TXT holds, read into
// values or written from a table's current row. Texts are Latin-1; lines
// carry no terminator.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "db/table.h"
#include "interchange/interchange.h"

namespace kaslo::interchange {

// The tax code text that stands for `tax` in the conversion file; nullopt
// when the code has no slot (outside 1 to 16) or its slot is empty.
std::optional<std::string> ConvertedTax(const ConversionSlots& slots, double tax);

// ---- export

// The fields a line is made of, found once on the table the rows come from.
struct NlufileFields {
  explicit NlufileFields(const db::Table& pro);
  db::Column plu, descr, resum, tribut, depto, pcoven, pesad, litrad;
};
struct NlumntFields {
  explicit NlumntFields(const db::Table& y60);
  db::Column data, status, plu, descr, resum, tribut, depto, pcoven;
};

// A line of NLUFILE.MTR from a row of Ycopro: the full layout of eight
// fields, or with `slots` the short layout of six whose tax field is the
// converted text (empty, and *unconverted set, when there is none).
std::string NlufileLine(const db::RowView& pro, const NlufileFields& f, bool check_digit,
                        const ConversionSlots* slots, bool* unconverted);
// A line of NLUMNT.MTR from a row of ycoy60; the code is written as the
// queue stores it.
std::string NlumntLine(const db::RowView& y60, const NlumntFields& f, const ConversionSlots* slots,
                       bool* unconverted);

// ---- import

// The values of one product read from a line.
struct ProductValues {
  double code = 0;  // the check digit appended when the store uses one
  std::string description, short_description;
  double tax = 0;
  bool tax_converted = true;  // false: no slot for the file's tax code (tax is then 0)
  double department = 0;
  double price = 0;
  std::string unit = "N";    // PRO_PESAD
  std::string litre = "N";   // PRO_LITRAD
  std::string decimals = "2";  // PRO_CASAD
};

// A line of NLUFILE.MTR, full layout, or with `slots` the short layout.
ProductValues ReadNlufileLine(std::string_view line, bool check_digit, const ConversionSlots* slots);
// A line of OPTICASH.TXT (after its header).
ProductValues ReadOpticashLine(std::string_view line, bool check_digit);

struct QueuedChange {
  std::string status;  // "1" deleted; anything else changed or added
  ProductValues product;  // code, descriptions, tax, department and price
};
// A line of NLUMNT.MTR, the tax code converted through `slots` when given.
QueuedChange ReadNlumntLine(std::string_view line, bool check_digit, const ConversionSlots* slots);

// A price of the files (whole hundredths, or thousandths for a litre price
// of OPTICASH.TXT) as the number it stands for: 00001250 is 12.50.
double PriceOfDigits(std::string_view digits, int decimals);

}  // namespace kaslo::interchange
