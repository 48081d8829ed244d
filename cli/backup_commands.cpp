// `kaslo backup list` and `kaslo backup restore`: the copies of tables that
// the imports, replacements, the stock conversion and the table upgrade take
// before they change anything, in backup/ of the data directory.
#include <iostream>
#include <memory>
#include <string>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "common/messages.h"
#include "db/backup.h"

namespace kaslo::cli {
namespace {

struct BackupArgs {
  std::string dir;
  std::string name;
  bool assume_yes = false;
};

std::string Joined(const std::vector<std::string>& words, const char* separator) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : separator) + w;
  return text;
}

void RunList(const BackupArgs& args) {
  const db::Database db = OpenDataDirectory(args.dir, {.write = false, .tables = true});
  const std::vector<db::BackupInfo> backups = db::ListBackups(db);
  if (backups.empty()) {
    std::cout << "no backups in " << args.dir << "\n";
    return;
  }
  for (const db::BackupInfo& b : backups) {
    std::cout << b.name << "\t" << b.operation << "\t" << b.time << "\t" << Joined(b.tables, " ") << "\n";
  }
}

void RunRestore(const BackupArgs& args) {
  const db::Database db = OpenDataDirectory(args.dir, {.write = true, .tables = true});
  // An unknown name is refused before the question: there is nothing to confirm.
  bool known = false;
  std::vector<std::string> tables;
  for (const db::BackupInfo& b : db::ListBackups(db)) {
    if (b.name == args.name) {
      known = true;
      tables = b.tables;
    }
  }
  if (!known) throw CommandFailed{kExitFailure, args.name + ": no such backup in " + args.dir};

  ConsoleMessages messages(args.assume_yes);
  ScopedMessageService message_scope(messages);
  if (!ConfirmDestructive("Confirma restaurar " + Joined(tables, ", ") + " da cópia de segurança backup/" +
                          args.name + " ?")) {
    throw CommandFailed{kExitDeclined, ""};
  }
  const std::string taken = db::RestoreBackup(db, args.name);
  Messages().information("Tabelas restauradas: " + Joined(tables, ", ") + "\r" + db::BackupLine(taken));
}

void Register(CLI::App& app) {
  CLI::App* backup = app.add_subcommand("backup", "List or restore the copies taken before tables were replaced");
  backup->require_subcommand(1);

  auto list_args = std::make_shared<BackupArgs>();
  CLI::App* list = backup->add_subcommand("list", "List the backups: name, operation, time and tables, oldest first");
  list->add_option("DIR", list_args->dir, "data directory")->required();
  list->callback([list_args] { RunList(*list_args); });

  auto restore_args = std::make_shared<BackupArgs>();
  CLI::App* restore = backup->add_subcommand(
      "restore", "Put a backup's tables back, after a backup of what they replace (operation restauracao)");
  restore->add_option("DIR", restore_args->dir, "data directory")->required();
  restore->add_option("NAME", restore_args->name, "the backup's folder name, as `backup list` shows it")->required();
  restore->add_flag("--yes", restore_args->assume_yes, "do not ask");
  restore->callback([restore_args] { RunRestore(*restore_args); });
}

const RegisterCommands kRegistrar(&Register);

}  // namespace
}  // namespace kaslo::cli
