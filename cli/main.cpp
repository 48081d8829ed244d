// kaslo: the command line over the same core as the windows.
#include <exception>
#include <iostream>
#include <vector>

#include "cli/commands.h"

namespace kaslo::cli {
namespace {
std::vector<Registrar>& Registrars() {
  static std::vector<Registrar> registrars;
  return registrars;
}
}  // namespace

RegisterCommands::RegisterCommands(Registrar registrar) { Registrars().push_back(registrar); }

void RegisterAll(CLI::App& app) {
  for (Registrar r : Registrars()) r(app);
}

}  // namespace kaslo::cli

int main(int argc, char** argv) {
  using namespace kaslo::cli;
  CLI::App app{"Kaslo Roza: back-office of the store's fiscal terminals"};
  app.require_subcommand(1);
  RegisterAll(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // CLI11 numbers its errors from 100; --help ends as a success.
    return app.exit(e) == 0 ? 0 : kExitUsage;
  } catch (const CommandFailed& e) {
    if (!e.message.empty()) std::cerr << e.message << "\n";
    return e.exit_code;
  } catch (const std::exception& e) {
    // Engine errors (db::Error) and file errors say what broke and where.
    std::cerr << e.what() << "\n";
    return kExitFailure;
  }
  return 0;
}
