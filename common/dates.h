// Date routines over calendar dates without time (the tables' D fields and
// the periods of the fiscal files).
#pragma once

#include <chrono>
#include <optional>
#include <string_view>
#include <utility>

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

// A typed date "dd/mm/yyyy" (one or two digits for day and month) of a day
// that exists; nullopt otherwise.
std::optional<std::chrono::year_month_day> ParseDayMonthYear(std::string_view text);

// A typed time "hh:mm", 00:00 to 23:59, as hour and minute.
std::optional<std::pair<int, int>> ParseHourMinute(std::string_view text);

}  // namespace kaslo
