// Date routines: year, month, first and last day of a month.
#include "common/dates.h"

namespace kaslo {

using std::chrono::year_month_day;

int AnoDaData(year_month_day data) { return static_cast<int>(data.year()); }

int MesDaData(year_month_day data) { return static_cast<int>(static_cast<unsigned>(data.month())); }

year_month_day PrimeiroDiaMes(year_month_day data) { return data.year() / data.month() / std::chrono::day{1}; }

year_month_day UltimoDiaMes(year_month_day data) {
  return year_month_day{data.year() / data.month() / std::chrono::last};
}

}  // namespace kaslo
