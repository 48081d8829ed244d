// `kaslo serve`: one communication job from the command line, as the
// communication window runs it: select the terminals, prepare the files,
// serve, print every row change, run the follow-ups, answer the closing
// question from a flag.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>

#include "cli/commands.h"
#include "comm/job_runner.h"
#include "comm/jobs.h"
#include "common/dates.h"
#include "common/messages.h"
#include "db/database.h"

namespace kaslo::cli {
namespace {

// Boxes go to stderr; the one question of a command-line job (the closing
// question of a product load) is answered from --clear-queue.
class ServeMessages final : public MessageService {
 public:
  explicit ServeMessages(bool answer) : answer_(answer) {}
  void information(const std::string& text, const std::string&) override { std::cerr << Flat(text) << "\n"; }
  void error(const std::string& text, const std::string&) override { std::cerr << Flat(text) << "\n"; }
  bool confirm(const std::string& text, const std::string&, DefaultAnswer) override {
    std::cout << Flat(text) << " " << (answer_ ? "sim" : "não") << std::endl;
    return answer_;
  }
  std::optional<std::string> input(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }

 private:
  static std::string Flat(std::string text) {
    for (char& c : text)
      if (c == '\r') c = ' ';
    return text;
  }
  bool answer_;
};

struct ServeArgs {
  std::string dir;
  int job = 0;
  std::string terminals = "all";
  int port = 3010;
  std::string bind = "0.0.0.0";
  double timeout = 0;
  std::string clear_queue = "no";
  std::string stock = "yes";
  std::string date;
  std::string time;
};

bool YesNo(const std::string& value, const char* option) {
  if (value == "yes" || value == "sim" || value == "s") return true;
  if (value == "no" || value == "nao" || value == "não" || value == "n") return false;
  throw CommandFailed{kExitUsage, std::string(option) + ": expected yes or no, got \"" + value + "\""};
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, ','))
    if (!part.empty()) out.push_back(part);
  return out;
}

std::optional<kaslo::DateTime> ParseDateTime(const std::string& date, const std::string& time) {
  if (date.empty() && time.empty()) return std::nullopt;
  if (date.empty() || time.empty())
    throw CommandFailed{kExitUsage, "--date dd/mm/yyyy and --time hh:mm are expected together"};
  const auto day = kaslo::ParseDayMonthYear(date);
  const auto hour = kaslo::ParseHourMinute(time);
  if (!day || !hour) throw CommandFailed{kExitUsage, "--date/--time: not a valid date and time"};
  kaslo::DateTime dt;
  dt.date = *day;
  dt.hour = hour->first;
  dt.minute = hour->second;
  return dt;
}

std::string RowLine(const comm::TerminalRow& r) {
  return (r.caption.empty() ? "?" : r.caption) + "\t" + r.address + "\t" + r.status + "\t" + r.progress;
}

void Serve(const ServeArgs& args) {
  if (!comm::IsServableJob(args.job))
    throw CommandFailed{kExitUsage, "job kind " + std::to_string(args.job) + " cannot be served"};
  if (args.port < 0 || args.port > 65535) throw CommandFailed{kExitUsage, "--port: 0 to 65535"};
  db::Database db(args.dir);
  comm::JobOptions options;
  options.stock = YesNo(args.stock, "--stock");
  options.date_time = ParseDateTime(args.date, args.time);
  ServeMessages messages(YesNo(args.clear_queue, "--clear-queue"));
  ScopedMessageService message_scope(messages);

  comm::JobRunner runner(db, args.job, options);
  runner.setConfirmation(false);
  std::cout << runner.caption() << std::endl;
  if (args.terminals == "all") {
    runner.selectAll();
  } else {
    auto unknown = runner.selectCaptions(SplitCommas(args.terminals));
    if (!unknown.empty()) throw CommandFailed{kExitUsage, "no terminal with an address numbered " + unknown.front()};
  }

  auto result = runner.start(static_cast<uint16_t>(args.port), args.bind);
  if (result != comm::JobRunner::StartResult::kStarted) throw CommandFailed{kExitFailure, ""};
  if (!runner.listening()) {
    runner.close();
    throw CommandFailed{kExitFailure,
                        "cannot listen on port " + std::to_string(args.port) + ": " + runner.serverError()};
  }
  std::cout << runner.label() << " (porta " << runner.port() << ")" << std::endl;
  runner.setFollowUpListener([&](size_t row, const std::string& what) {
    std::cout << RowLine(runner.list().row(row)) << "\t" << what << std::endl;
  });

  std::map<size_t, std::string> printed;
  auto print_changes = [&] {
    for (size_t row : runner.processChanges()) {
      std::string line = RowLine(runner.list().row(row));
      if (printed[row] == line) continue;
      printed[row] = line;
      std::cout << line << std::endl;
    }
  };
  for (size_t i = 0; i < runner.list().size(); ++i) printed[i] = RowLine(runner.list().row(i));
  print_changes();

  using Clock = std::chrono::steady_clock;
  const bool timed = args.timeout > 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(static_cast<int64_t>(args.timeout * 1000));
  bool timed_out = false;
  while (!runner.finished()) {
    if (timed && Clock::now() >= deadline) {
      timed_out = true;
      break;
    }
    runner.waitForChanges(std::chrono::milliseconds(100));
    print_changes();
  }
  print_changes();
  runner.close();
  std::cout << runner.label() << std::endl;
  // A continuous LOG reading never finishes: its time-out is its end.
  if (timed_out && !(args.job == comm::kJobLogReading && runner.continuousLog())) {
    throw CommandFailed{kExitFailure, "time-out: not every selected terminal finished"};
  }
}

void Register(CLI::App& app) {
  auto args = std::make_shared<ServeArgs>();
  CLI::App* serve = app.add_subcommand("serve", "Run one communication job with the terminals");
  serve->add_option("dir", args->dir, "Data directory")->required();
  serve->add_option("--job", args->job, "Job kind (181 product load, 23 LOG reading, ...)")->required();
  serve->add_option("--terminals", args->terminals, "all, or terminal numbers: 1,2,...");
  serve->add_option("--port", args->port, "Port to listen on (0: any free port)");
  serve->add_option("--bind", args->bind, "Address to listen on");
  serve->add_option("--timeout", args->timeout, "Seconds to wait for every terminal (0: no limit)");
  serve->add_option("--clear-queue", args->clear_queue, "Answer to the closing question of 181/499: yes|no");
  serve->add_option("--stock", args->stock, "Stock option of job 499: yes|no");
  serve->add_option("--date", args->date, "Job 191: dd/mm/yyyy");
  serve->add_option("--time", args->time, "Job 191: hh:mm");
  serve->callback([args] { Serve(*args); });
}

const RegisterCommands kRegister{Register};

}  // namespace
}  // namespace kaslo::cli
