// `kaslo export` and `kaslo import`: the product files NLUFILE.MTR,
// NLUMNT.MTR and OPTICASH.TXT, as the window "Exportação / Importação de
// Arquivos NLUFILE.MTR" writes and reads them.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iostream>
#include <memory>
#include <string>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "common/messages.h"
#include "common/progress.h"
#include "db/backup.h"
#include "db/tableset_ops.h"
#include "interchange/interchange.h"

namespace kaslo::cli {
namespace {

struct InterchangeArgs {
  std::string dir;
  std::string kind;
  bool convert = false;
  bool assume_yes = false;
};

// The window's gauge as a percentage on the terminal's stderr. Nothing when
// stderr is not a terminal: a script's log keeps only the messages.
class TerminalGauge final : public interchange::Gauge {
 public:
  TerminalGauge() : shown_(::isatty(STDERR_FILENO) != 0) {}
  ~TerminalGauge() override { stop(); }  // an error in the middle still ends the line

  void start(int64_t maximum) override {
    maximum_ = maximum;
    printed_ = -1;
    running_ = true;
    move(0);
  }
  void move(int64_t position) override {
    if (!shown_ || !running_) return;
    const int percent = maximum_ > 0 ? static_cast<int>(std::min<int64_t>(position, maximum_) * 100 / maximum_) : 0;
    if (percent == printed_) return;
    printed_ = percent;
    std::cout << std::flush;
    std::cerr << "\r" << percent << "%" << std::flush;
  }
  void stop() override {
    if (shown_ && running_ && printed_ >= 0) std::cerr << "\n" << std::flush;
    running_ = false;
  }

 private:
  bool shown_;
  bool running_ = false;
  int64_t maximum_ = 0;
  int printed_ = -1;
};

interchange::Operation OperationOf(interchange::Direction direction, const InterchangeArgs& args) {
  interchange::Operation op;
  op.direction = direction;
  op.scope = args.kind == "nlumnt" ? interchange::Scope::kChanged : interchange::Scope::kAll;
  op.source = args.kind == "opticash" ? interchange::Source::kOpticash : interchange::Source::kNlufile;
  op.convert = args.convert;
  return interchange::Normalized(op);
}

void RunInterchange(interchange::Direction direction, const InterchangeArgs& args) {
  const interchange::Operation op = OperationOf(direction, args);
  const db::Database db = OpenDataDirectory(args.dir, {.write = true, .tables = true});

  ConsoleMessages messages(args.assume_yes);
  ScopedMessageService message_scope(messages);
  PrintedProgress progress;
  ScopedProgressPort progress_scope(progress);

  if (!ConfirmDestructive(interchange::Question(direction))) throw CommandFailed{kExitDeclined, ""};

  // The menu converts an older stock field before it opens the window.
  if (const auto converted = db::ConverteEstoque(db, db::StockConversion::kOnlyWhenNeeded)) {
    std::cerr << db::BackupLine(*converted) << "\n";
  }

  TerminalGauge gauge;
  const interchange::Outcome outcome = interchange::Run(db, op, gauge);
  gauge.stop();
  if (outcome.done) {
    Messages().information(outcome.message);
    return;
  }
  if (!outcome.message.empty()) Messages().error(outcome.message);
  throw CommandFailed{kExitFailure, ""};
}

void AddArguments(CLI::App* cmd, InterchangeArgs& args, std::initializer_list<std::string> kinds,
                  const std::string& kind_help) {
  cmd->add_option("DIR", args.dir, "data directory")->required();
  cmd->add_option("KIND", args.kind, kind_help)->required()->check(CLI::IsMember(kinds));
  cmd->add_flag("--convert", args.convert, "convert the tax codes through Q5200.CVS (short NLUFILE.MTR layout)");
  cmd->add_flag("--yes", args.assume_yes, "do not ask");
}

void Register(CLI::App& app) {
  auto export_args = std::make_shared<InterchangeArgs>();
  CLI::App* exp = app.add_subcommand("export", "Write NLUFILE.MTR (every product) or NLUMNT.MTR (the change queue)");
  AddArguments(exp, *export_args, {"nlufile", "nlumnt"}, "nlufile (every product) or nlumnt (the change queue)");
  exp->callback([export_args] { RunInterchange(interchange::Direction::kExport, *export_args); });

  auto import_args = std::make_shared<InterchangeArgs>();
  CLI::App* imp = app.add_subcommand(
      "import", "Read NLUFILE.MTR or OPTICASH.TXT (replacing every product) or NLUMNT.MTR (single changes)");
  AddArguments(imp, *import_args, {"nlufile", "nlumnt", "opticash"},
               "nlufile (every product), nlumnt (the changed products) or opticash (OPTICASH.TXT)");
  imp->callback([import_args] { RunInterchange(interchange::Direction::kImport, *import_args); });
}

const RegisterCommands kRegistrar(&Register);

}  // namespace
}  // namespace kaslo::cli
