// The commands' data directory, boxes and progress on the terminal.
#include "cli/command_support.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "app/startup.h"
#include "cli/commands.h"
#include "db/schema.h"
#include "db/table_swap.h"

namespace kaslo::cli {

std::string PlainLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

db::Database OpenDataDirectory(const std::string& dir, DirectoryNeeds needs) {
  namespace fs = std::filesystem;
  const fs::path resolved = app::ResolveDataDirectory(fs::current_path(), dir);
  if (needs.write) {
    if (auto problem = app::DataDirectoryProblem(resolved)) throw CommandFailed{kExitFailure, PlainLines(*problem)};
  } else if (std::error_code ec; !fs::is_directory(resolved, ec)) {
    throw CommandFailed{kExitFailure, dir + ": no such directory"};
  }
  db::Database database(resolved);
  // Tables a killed import was swapping are put in order before any work.
  if (needs.write) db::FinishInterruptedSwap(database);
  if (needs.tables) {
    const auto tables = db::AllTables();
    const bool any = std::any_of(tables.begin(), tables.end(), [&](const db::TableDef& t) {
      return database.exists(std::string(t.name) + ".dbf");
    });
    if (!any) throw CommandFailed{kExitFailure, dir + ": not a data directory (no tables)"};
  }
  return database;
}

void PrintedProgress::show(const std::string& text) { std::cout << text << "\n" << std::flush; }

void ConsoleMessages::information(const std::string& text, const std::string&) {
  std::cout << PlainLines(text) << "\n" << std::flush;
}

void ConsoleMessages::error(const std::string& text, const std::string&) {
  std::cout << std::flush;
  std::cerr << PlainLines(text) << "\n";
}

bool ConsoleMessages::confirm(const std::string& text, const std::string& title, DefaultAnswer default_answer) {
  if (!title.empty()) std::cout << title << "\n";
  std::cout << PlainLines(text);
  if (assume_yes_) {
    std::cout << " s\n" << std::flush;
    return true;
  }
  const bool default_yes = default_answer == DefaultAnswer::kYes;
  std::cout << (default_yes ? " [S/n] " : " [s/N] ") << std::flush;
  std::string answer;
  if (!::isatty(STDIN_FILENO) || !std::getline(std::cin, answer)) {
    std::cout << "\n" << std::flush;
    return false;
  }
  if (answer.empty()) return default_yes;
  return answer[0] == 's' || answer[0] == 'S' || answer[0] == 'y' || answer[0] == 'Y';
}

std::optional<std::string> ConsoleMessages::input(const std::string&, const std::string& prompt,
                                                  const std::string&) {
  std::cout << prompt << ": " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return std::nullopt;
  return answer;
}

}  // namespace kaslo::cli
