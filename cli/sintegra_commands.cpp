// `kaslo sintegra` and `kaslo sintegra-daily`: the SINTEGRA file of a
// terminal's SINTEGRA reading, and the daily SINTEGRA files of every
// terminal from their LOG texts, as the communication window and the menu
// command build them.
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/daily_sintegra.h"
#include "cli/commands.h"
#include "comm/job_table.h"
#include "comm/sintegra_reading.h"
#include "common/clock.h"
#include "common/text.h"
#include "db/database.h"

namespace kaslo::cli {
namespace {

// "dd/mm/yyyy"; nullopt for anything else.
std::optional<std::chrono::year_month_day> ParseDate(const std::string& text) {
  if (text.size() != 10 || text[2] != '/' || text[5] != '/' || SoDigitos(text).size() != 8) return std::nullopt;
  const std::chrono::year_month_day d{std::chrono::year{std::stoi(text.substr(6, 4))},
                                      std::chrono::month{static_cast<unsigned>(std::stoi(text.substr(3, 2)))},
                                      std::chrono::day{static_cast<unsigned>(std::stoi(text.substr(0, 2)))}};
  if (!d.ok()) return std::nullopt;
  return d;
}

struct ReadingOptions {
  std::string dir;
  int terminal = 0;
  int job = comm::kJobSintegraCurrentMonth;
  std::string today;
};

struct DailyOptions {
  std::string dir;
  std::string month_year;
};

void RegisterSintegra(CLI::App& app) {
  auto reading = std::make_shared<ReadingOptions>();
  CLI::App* cmd = app.add_subcommand(
      "sintegra", "Build r60m<N>.txt (job 998) or r60mold<N>.txt (job 997) from a terminal's SINTEGRA reading");
  cmd->add_option("DIR", reading->dir, "data directory")->required();
  cmd->add_option("--terminal", reading->terminal, "terminal number")->required();
  cmd->add_option("--job", reading->job, "998 current month, 997 previous month")
      ->required()
      ->check(CLI::IsMember({comm::kJobSintegraPreviousMonth, comm::kJobSintegraCurrentMonth}));
  cmd->add_option("--today", reading->today, "today's date as dd/mm/yyyy (default: the clock)");
  cmd->callback([reading] {
    if (!reading->today.empty()) {
      const auto today = ParseDate(reading->today);
      if (!today) throw CommandFailed{kExitUsage, "--today: expected dd/mm/yyyy, got " + reading->today};
      kaslo::SetFixedNow(kaslo::DateTime{*today, 0, 0, 0});
    }
    const db::Database db(reading->dir);
    const auto period_date = comm::SintegraPeriodDate(reading->job, kaslo::Today());
    if (!comm::BuildSintegraFromReading(db, reading->terminal, reading->job, period_date))
      throw CommandFailed{kExitFailure, "terminal " + std::to_string(reading->terminal) +
                                 ": the identity, product or reduction file of the reading is missing"};
    const std::string reg(comm::FindJob(reading->job)->register_name);
    std::cout << db.pathFor(reg + std::to_string(reading->terminal) + ".txt").string() << "\n";
  });

  auto daily = std::make_shared<DailyOptions>();
  CLI::App* cmd_daily = app.add_subcommand(
      "sintegra-daily", "Build SINTEGRA<N>.txt of every terminal of Ycoter from its LOG text");
  cmd_daily->add_option("DIR", daily->dir, "data directory")->required();
  cmd_daily->add_option("MONTH", daily->month_year, "the month as MM/YYYY")->required();
  cmd_daily->callback([daily] {
    // The window takes any answer to its period question; a script gets told.
    const std::string& my = daily->month_year;
    const bool month_year = my.size() == 7 && my[2] == '/' && SoDigitos(my).size() == 6 &&
                            std::stoi(my.substr(0, 2)) >= 1 && std::stoi(my.substr(0, 2)) <= 12;
    if (!month_year) throw CommandFailed{kExitUsage, "MONTH: expected MM/YYYY, got " + my};
    const db::Database db(daily->dir);
    const app::DailyOutcome outcome =
        app::GenerateDailySintegraForAllTerminals(db, app::DailyPeriodText(daily->month_year));
    if (outcome.failed > 0) throw CommandFailed{kExitFailure, ""};
  });
}

const RegisterCommands kRegisterSintegra{RegisterSintegra};

}  // namespace
}  // namespace kaslo::cli
