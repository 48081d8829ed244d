// The records that open and close every SINTEGRA file of the system: the
// store's identification (10) and address (11) from the parameter row of
// Ycoprm, and the three totals (90). Both the file of a SINTEGRA reading and
// the daily file built from the LOG use them.
//
// Records of 126 characters (position, width, content), numbers zero-filled
// on the left, texts blank-padded on the right or cut:
//
//   10:  1  2 "10"            11:  1  2 "11"            90:  1  2 "90"
//        3 14 PRM_CNPJ             3 34 PRM_ENDERE           3 14 PRM_CNPJ
//       17 14 PRM_IE              37  5 PRM_NUMERO          17 14 PRM_IE
//       31 35 PRM_RAZAOS          42 22 PRM_COMPLE          31  2 type totalled
//       66 30 PRM_MUNICI          64 15 PRM_BAIRRO          33  8 its count
//       96  2 PRM_UF              79  8 PRM_CEP+PRM_CEPP    41 85 blanks
//       98 10 PRM_FONE (fax)      87 28 PRM_CONTAT         126  1 "3" (records 90)
//      108  8 first day          115 12 PRM_FONE
//      116  8 last day
//      124  3 "331" (agreement, nature, purpose)
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"

namespace kaslo::comm {

inline constexpr size_t kSintegraLineWidth = 126;

// A calendar month as the files write it.
struct SintegraPeriod {
  std::chrono::year_month month;
  std::string FirstDay() const;     // "yyyymmdd"
  std::string LastDay() const;      // "yyyymmdd"
  std::string MonthYear() const;    // "mmyyyy", as in the 60R records
  std::string Text() const { return FirstDay() + LastDay(); }
};

SintegraPeriod PeriodOf(std::chrono::year_month_day date);

// The period of a text "mmyyyy" (six digits, month 01 to 12); nullopt for
// anything else ("3/008").
std::optional<SintegraPeriod> ParseSintegraPeriod(std::string_view mmyyyy);

// Records 10 and 11 of the period, without line ends, from the first row of
// Ycoprm (blank fields when the table has no row). Throws db::Error when
// the table cannot be opened.
std::vector<std::string> HeaderRecords(const db::Database& db, const SintegraPeriod& period);

// The header writer: writes records 10 and 11 for the period "mmyyyy" to
// `file` (created anew, CR LF line ends) and returns the period text, the
// first and the last day (16 digits). Returns "" and writes nothing when
// the period is not a month. Throws db::Error when the file cannot be
// written or the table cannot be read.
std::string GravaCabecalhoSintegra(const db::Database& db, const std::filesystem::path& file,
                                   std::string_view mmyyyy);

// The three records 90 for a file whose record 10 is `record10`: "60" with
// count_60, "75" with count_75 and "99" with count_before + 3 (every line of
// the file, these three included).
std::vector<std::string> ClosingRecords(std::string_view record10, size_t count_60, size_t count_75,
                                        size_t count_before);

// Writes the lines to `file` anew, each followed by CR LF. Throws db::Error
// when the file cannot be written.
void WriteSintegraLines(const std::filesystem::path& file, const std::vector<std::string>& lines);

}  // namespace kaslo::comm
