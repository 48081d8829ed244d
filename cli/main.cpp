// kaslo: the command line over the same core as the windows.
#include <iostream>
#include <vector>

#include "cli/commands.h"
#include "db/error.h"

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
  CLI::App app{"Kaslo Roza: back-office of the store's fiscal terminals"};
  app.require_subcommand(1);
  kaslo::cli::RegisterAll(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const kaslo::cli::CommandFailed& e) {
    if (!e.message.empty()) std::cerr << e.message << "\n";
    return e.exit_code;
  } catch (const kaslo::db::Error& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
