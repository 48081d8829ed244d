// Date routines over calendar dates without time (the tables' D fields and
// the periods of the fiscal files).
#pragma once

#include <chrono>

namespace kaslo {

// The year of data.
int AnoDaData(std::chrono::year_month_day data);

// The month of data, 1 to 12.
int MesDaData(std::chrono::year_month_day data);

// The first day of the month of data.
std::chrono::year_month_day PrimeiroDiaMes(std::chrono::year_month_day data);

// The last day of the month of data (29 February in leap years). Only the
// year and month of data are used, so an invalid day gives the same result.
std::chrono::year_month_day UltimoDiaMes(std::chrono::year_month_day data);

}  // namespace kaslo
