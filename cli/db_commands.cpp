// `kaslo init`, `kaslo dump` and `kaslo check`: installing a data directory,
// printing a table as the engine reads it, and checking a directory against
// the table set.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/text_output.h"
#include "db/database.h"
#include "db/error.h"
#include "db/install.h"
#include "db/schema.h"
#include "db/tableset_check.h"

namespace kaslo::cli {
namespace {

struct InitArgs {
  std::string dir;
  bool demo = false;
  size_t products = 0;
};

struct DumpArgs {
  std::string dir;
  std::string table;
  std::string tag;
  std::string format = "csv";
};

struct CheckArgs {
  std::string dir;
};

void RunInit(const InitArgs& args) {
  db::InstallOptions options;
  options.demo = args.demo;
  options.generated_products = args.products;
  db::InstallSummary summary = db::InstallDataDirectory(args.dir, options);
  std::cout << "installed " << args.dir << ": " << summary.tables << " tables, " << summary.products
            << " products" << (args.demo ? " (demo store)" : "") << "\n";
}

void RunDump(const DumpArgs& args) {
  db::Database database(args.dir);
  // A table outside the set is dumped all the same: the command is also for
  // looking at files that came from elsewhere.
  const db::TableDef* def = db::FindTable(args.table);
  std::string name = def ? std::string(def->name) : args.table;
  if (!database.exists(name) && !database.exists(name + ".dbf")) {
    throw CommandFailed{kExitFailure, args.table + ": no such table in " + args.dir};
  }
  // Looking is not changing: a missing production index does not hide the
  // rows, and the tag orders of the index are what is lost; a table torn by
  // a crash is shown as read, not repaired.
  std::unique_ptr<db::Table> table =
      database.open(name, {.tag = args.tag, .without_missing_index = true, .read_only = true});
  const std::string file = table->fileName();
  if (!table->indexMissing().empty()) {
    std::cerr << file << ": production index " << table->indexMissing() << " not found; rows read without it\n";
  }
  const db::UnreadableValue unreadable = [&](size_t field, uint32_t rec_no, std::string_view stored) {
    std::cerr << file << ": record " << rec_no << ", field " << table->fields()[field].name << ": \""
              << stored << "\" is not a date, shown as stored\n";
  };
  if (args.format == "json") {
    WriteTableJson(*table, std::cout, unreadable);
  } else {
    WriteTableCsv(*table, std::cout, unreadable);
  }
}

void RunCheck(const CheckArgs& args) {
  if (!std::filesystem::is_directory(args.dir)) throw CommandFailed{kExitFailure, args.dir + ": no such directory"};
  db::Database database(args.dir);
  std::vector<std::string> faults = db::CheckDataDirectory(database);
  for (const std::string& fault : faults) std::cout << fault << "\n";
  if (!faults.empty()) {
    throw CommandFailed{kExitFailure, std::to_string(faults.size()) +
                                          (faults.size() == 1 ? " fault" : " faults") + " in " + args.dir};
  }
  std::cout << "all " << db::AllTables().size() << " tables ok\n";
}

void Register(CLI::App& app) {
  auto init_args = std::make_shared<InitArgs>();
  CLI::App* init = app.add_subcommand("init", "Install a new data directory (created when missing)");
  init->add_option("DIR", init_args->dir, "Data directory")->required();
  init->add_flag("--demo", init_args->demo, "Add a small demo store");
  init->add_option("--products", init_args->products, "Add N generated products")->check(CLI::NonNegativeNumber);
  init->callback([init_args] { RunInit(*init_args); });

  auto dump_args = std::make_shared<DumpArgs>();
  CLI::App* dump = app.add_subcommand("dump", "Print a table's fields and live rows");
  dump->add_option("DIR", dump_args->dir, "Data directory")->required();
  dump->add_option("TABLE", dump_args->table, "Table name, with or without .dbf")->required();
  dump->add_option("--tag", dump_args->tag, "Order of an index tag (default: record order)");
  dump->add_option("--format", dump_args->format, "csv (default) or json")
      ->check(CLI::IsMember({"csv", "json"}));
  dump->callback([dump_args] { RunDump(*dump_args); });

  auto check_args = std::make_shared<CheckArgs>();
  CLI::App* check = app.add_subcommand("check", "Check a data directory against the table set");
  check->add_option("DIR", check_args->dir, "Data directory")->required();
  check->callback([check_args] { RunCheck(*check_args); });
}

RegisterCommands registrar(&Register);

}  // namespace
}  // namespace kaslo::cli
