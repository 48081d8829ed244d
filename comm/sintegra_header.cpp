// Records 10, 11 and 90 of the SINTEGRA files and their line writer.
#include "comm/sintegra_header.h"

#include <fstream>

#include "common/numbers.h"
#include "common/text.h"
#include "db/error.h"
#include "db/tables/ycoprm.h"

namespace kaslo::comm {
namespace {

using std::chrono::year_month_day;

std::string Yyyymmdd(year_month_day d) {
  return NumeroComZeros(4, 0, static_cast<int>(d.year())) +
         NumeroComZeros(2, 0, static_cast<unsigned>(d.month())) +
         NumeroComZeros(2, 0, static_cast<unsigned>(d.day()));
}

// A numeric field in exactly `width` digits; a wider value keeps its
// rightmost digits so that the record keeps its length.
std::string Digits(const db::Table& t, const db::FieldDef& f, int width) {
  return ZerosEsquerda(NumeroComZeros(0, 0, t.asNumber(f)), width);
}

std::string Text(const db::Table& t, const db::FieldDef& f, int width) {
  return CompletaDireita(t.getString(f), width);
}

}  // namespace

std::string SintegraPeriod::FirstDay() const { return Yyyymmdd(month / std::chrono::day{1}); }
std::string SintegraPeriod::LastDay() const {
  return Yyyymmdd(year_month_day{month.year() / month.month() / std::chrono::last});
}
std::string SintegraPeriod::MonthYear() const { return FirstDay().substr(4, 2) + FirstDay().substr(0, 4); }

SintegraPeriod PeriodOf(year_month_day date) { return {date.year() / date.month()}; }

std::optional<SintegraPeriod> ParseSintegraPeriod(std::string_view mmyyyy) {
  if (mmyyyy.size() != 6 || SoDigitos(mmyyyy).size() != 6) return std::nullopt;
  const int month = std::stoi(std::string(mmyyyy.substr(0, 2)));
  const int year = std::stoi(std::string(mmyyyy.substr(2, 4)));
  if (month < 1 || month > 12) return std::nullopt;
  return SintegraPeriod{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)}};
}

std::vector<std::string> HeaderRecords(const db::Database& db, const SintegraPeriod& period) {
  auto prm = db.open(ycoprm::kTable);
  prm->first();  // at eof every field reads blank
  const db::Table& t = *prm;
  using namespace ycoprm;
  std::string r10 = "10" + Digits(t, PRM_CNPJ, 14) + Text(t, PRM_IE, 14) + Text(t, PRM_RAZAOS, 35) +
                    Text(t, PRM_MUNICI, 30) + Text(t, PRM_UF, 2) + Digits(t, PRM_FONE, 10) +
                    period.FirstDay() + period.LastDay() + "331";
  // The postal code is kept in two fields: five digits and the three of the
  // suffix.
  std::string r11 = "11" + Text(t, PRM_ENDERE, 34) + ZerosEsquerda(t.getString(PRM_NUMERO), 5) +
                    Text(t, PRM_COMPLE, 22) + Text(t, PRM_BAIRRO, 15) + Digits(t, PRM_CEP, 5) +
                    Digits(t, PRM_CEPP, 3) + Text(t, PRM_CONTAT, 28) + Digits(t, PRM_FONE, 12);
  return {std::move(r10), std::move(r11)};
}

std::string GravaCabecalhoSintegra(const db::Database& db, const std::filesystem::path& file,
                                   std::string_view mmyyyy) {
  const auto period = ParseSintegraPeriod(mmyyyy);
  if (!period) return {};
  WriteSintegraLines(file, HeaderRecords(db, *period));
  return period->Text();
}

std::vector<std::string> ClosingRecords(std::string_view record10, size_t count_60, size_t count_75,
                                        size_t count_before) {
  const std::string identity = CompletaDireita(record10.substr(std::min<size_t>(2, record10.size()), 28), 28);
  auto line = [&](const char* type, size_t count) {
    return "90" + identity + type + NumeroComZeros(8, 0, static_cast<double>(count)) + Espacos(85) + "3";
  };
  return {line("60", count_60), line("75", count_75), line("99", count_before + 3)};
}

void WriteSintegraLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) throw db::Error(file.string() + ": cannot be created");
  for (const std::string& l : lines) out << l << "\r\n";
  out.flush();
  if (!out) throw db::Error(file.string() + ": write failed");
}

}  // namespace kaslo::comm
