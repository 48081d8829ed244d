// kaslo startup | reindex | convert-stock: the start-up and maintenance
// steps of the main window, for a data directory given on the command line.
#include <iostream>
#include <string>

#include "app/maintenance.h"
#include "app/startup.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "common/progress.h"
#include "db/backup.h"
#include "db/tableset_ops.h"

namespace kaslo::cli {
namespace {

void Register(CLI::App& app) {
  static std::string dir;
  static bool assume_yes = false;
  static PrintedProgress progress;

  CLI::App* startup = app.add_subcommand("startup", "Table upgrade from templates and index check");
  startup->add_option("DIR", dir, "data directory")->required();
  startup->callback([] {
    db::Database db = OpenDataDirectory(dir);
    ScopedProgressPort scope(progress);
    std::string backup;
    app::TableUpgrade(db, &backup);
    db::IndexCheck(db);
    if (!backup.empty()) std::cerr << db::BackupLine(backup) << "\n";
  });

  CLI::App* reindex = app.add_subcommand("reindex", "Delete every .mdx and rebuild the index tags");
  reindex->add_option("DIR", dir, "data directory")->required();
  reindex->callback([] {
    db::Database db = OpenDataDirectory(dir);
    ScopedProgressPort scope(progress);
    app::Reindex(db);
  });

  CLI::App* convert = app.add_subcommand("convert-stock", "Recreate PRO_ESTQ of Ycopro as N(10,3), emptying the stock");
  convert->add_option("DIR", dir, "data directory")->required();
  convert->add_flag("--yes", assume_yes, "do not ask");
  convert->callback([] {
    db::Database db = OpenDataDirectory(dir);
    ConsoleMessages messages(assume_yes);
    ScopedMessageService scope(messages);
    if (!app::ConversaoBancoDados(db)) throw CommandFailed{kExitDeclined, ""};
  });
}

const RegisterCommands kRegistrar(&Register);

}  // namespace
}  // namespace kaslo::cli
