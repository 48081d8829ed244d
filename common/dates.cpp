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

namespace {

// One to `most` digits from `at`, which moves past them; nullopt when none.
std::optional<int> Digits(std::string_view text, size_t& at, size_t most) {
  int value = 0;
  size_t count = 0;
  while (at < text.size() && count < most && text[at] >= '0' && text[at] <= '9') {
    value = value * 10 + (text[at++] - '0');
    ++count;
  }
  if (count == 0) return std::nullopt;
  return value;
}

bool Separator(std::string_view text, size_t& at, char separator) {
  if (at >= text.size() || text[at] != separator) return false;
  ++at;
  return true;
}

}  // namespace

std::optional<year_month_day> ParseDayMonthYear(std::string_view text) {
  size_t at = 0;
  auto d = Digits(text, at, 2);
  if (!d || !Separator(text, at, '/')) return std::nullopt;
  auto m = Digits(text, at, 2);
  if (!m || !Separator(text, at, '/')) return std::nullopt;
  const size_t year_start = at;
  auto y = Digits(text, at, 4);
  if (!y || at - year_start != 4 || at != text.size()) return std::nullopt;
  year_month_day date{std::chrono::year{*y}, std::chrono::month{static_cast<unsigned>(*m)},
                      std::chrono::day{static_cast<unsigned>(*d)}};
  if (!date.ok()) return std::nullopt;
  return date;
}

std::optional<std::pair<int, int>> ParseHourMinute(std::string_view text) {
  size_t at = 0;
  auto h = Digits(text, at, 2);
  if (!h || !Separator(text, at, ':')) return std::nullopt;
  const size_t minute_start = at;
  auto m = Digits(text, at, 2);
  if (!m || at - minute_start != 2 || at != text.size() || *h > 23 || *m > 59) return std::nullopt;
  return std::pair{*h, *m};
}

}  // namespace kaslo
