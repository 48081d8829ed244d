// The clock: code that writes today's date or the time (queue rows, markers,
// SINTEGRA periods) asks here, so that a test can fix "now".
#pragma once

#include <chrono>
#include <optional>

namespace kaslo {

struct DateTime {
  std::chrono::year_month_day date;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Local date and time, or the fixed value set for tests.
DateTime Now();
std::chrono::year_month_day Today();
void SetFixedNow(std::optional<DateTime> now);

}  // namespace kaslo
