// `kaslo view` and `kaslo replace`: the register viewer's grid of the files
// a terminal's reading left, and "&Substituir Cadastro" from that grid, as
// the window opened by "&Visualizar Dados" shows and does them.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/text_output.h"
#include "comm/job_table.h"
#include "common/messages.h"
#include "common/progress.h"
#include "db/backup.h"
#include "viewers/register_viewer.h"

namespace kaslo::cli {
namespace {

struct ViewerArgs {
  std::string dir;
  int job = 0;
  int terminal = 0;
  std::string format = "csv";
  bool assume_yes = false;
};

std::string KindName(int kind) {
  const comm::JobKind* job = comm::FindJob(kind);
  const std::string caption = job && !job->caption.empty() ? " (" + std::string(job->caption) + ")" : "";
  return "job kind " + std::to_string(kind) + caption;
}

void CheckDecoded(int kind) {
  if (!viewers::IsRegisterKind(kind))
    throw CommandFailed{kExitUsage, KindName(kind) + " is not a register reading the viewer shows"};
}

// The display of the received files, with the text the window would show
// in a box on stderr. The grid comes back also when the file was refused.
viewers::RegisterGrid Display(const db::Database& db, const ViewerArgs& args) {
  const viewers::ViewerJob job = viewers::ReceivedJob(db.dir(), args.job, std::to_string(args.terminal));
  if (!std::filesystem::exists(job.reception_file)) {
    throw CommandFailed{kExitFailure, job.reception_file.string() + ": no such reception file of job kind " +
                                          std::to_string(args.job) + ", terminal " + std::to_string(args.terminal)};
  }
  return viewers::DisplayRegister(db, job);
}

void ShowMessage(const viewers::RegisterGrid& grid) {
  if (grid.message.empty()) return;
  std::cout << std::flush;
  std::cerr << PlainLines(grid.message) << "\n";
}

void RunView(const ViewerArgs& args) {
  CheckDecoded(args.job);
  if (!viewers::HasDisplay(args.job))
    throw CommandFailed{kExitFailure, KindName(args.job) + " has no display of its own"};
  const db::Database db = OpenDataDirectory(args.dir, {.write = false, .tables = true});
  const viewers::RegisterGrid grid = Display(db, args);
  if (args.format == "json") {
    WriteGridJson(grid.headers, grid.rows, std::cout);
  } else {
    WriteGridCsv(grid.headers, grid.rows, std::cout);
  }
  ShowMessage(grid);
  if (grid.refused) throw CommandFailed{kExitFailure, ""};
}

void RunReplace(const ViewerArgs& args) {
  CheckDecoded(args.job);
  if (viewers::IsViewOnly(args.job))
    throw CommandFailed{kExitFailure, KindName(args.job) + " is view only: nothing is replaced"};
  if (!viewers::HasReplacement(args.job))
    throw CommandFailed{kExitFailure, KindName(args.job) + " has no replacement: nothing is written"};
  const db::Database db = OpenDataDirectory(args.dir, {.write = true, .tables = true});

  ConsoleMessages messages(args.assume_yes);
  ScopedMessageService message_scope(messages);
  PrintedProgress progress;
  ScopedProgressPort progress_scope(progress);

  const viewers::RegisterGrid grid = Display(db, args);
  ShowMessage(grid);
  if (grid.refused)
    throw CommandFailed{kExitFailure, "the received file cannot replace the table: nothing is replaced"};
  if (!ConfirmDestructive(std::string(viewers::kConfirmaSubstituir))) throw CommandFailed{kExitDeclined, ""};

  const viewers::ReplaceOutcome outcome = viewers::ReplaceRegister(db, args.job, grid);
  if (!outcome.conversion_backup.empty()) {
    std::cout << std::flush;
    std::cerr << db::BackupLine(outcome.conversion_backup) << "\n";
  }
  if (outcome.completed) {
    if (!outcome.message.empty()) Messages().information(viewers::ShownMessage(outcome));
    return;
  }
  if (!outcome.message.empty()) Messages().error(outcome.message);
  if (!outcome.detail.empty()) Messages().error(outcome.detail);
  throw CommandFailed{kExitFailure, "the replacement stopped at a row that could not be written"};
}

void AddReadingOptions(CLI::App* cmd, ViewerArgs& args) {
  cmd->add_option("DIR", args.dir, "data directory")->required();
  cmd->add_option("--job", args.job, "job kind of the reading (8 to 21 or 24)")
      ->required();
  cmd->add_option("--terminal", args.terminal, "terminal number")->required()->check(CLI::Range(1, 999));
}

void Register(CLI::App& app) {
  auto view_args = std::make_shared<ViewerArgs>();
  CLI::App* view = app.add_subcommand("view", "Print the register viewer's grid of a terminal's reading");
  AddReadingOptions(view, *view_args);
  view->add_option("--format", view_args->format, "csv (default) or json")->check(CLI::IsMember({"csv", "json"}));
  view->callback([view_args] { RunView(*view_args); });

  auto replace_args = std::make_shared<ViewerArgs>();
  CLI::App* replace =
      app.add_subcommand("replace", "Replace a register's table with a terminal's reading, as the viewer does");
  AddReadingOptions(replace, *replace_args);
  replace->add_flag("--yes", replace_args->assume_yes, "do not ask");
  replace->callback([replace_args] { RunReplace(*replace_args); });
}

const RegisterCommands kRegistrar(&Register);

}  // namespace
}  // namespace kaslo::cli
