// The `kaslo` command line: each *_commands.cpp file adds its subcommands
// through a static RegisterCommands object, so that a new group of commands
// is one new file.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace kaslo::cli {

using Registrar = void (*)(CLI::App& app);

struct RegisterCommands {
  explicit RegisterCommands(Registrar registrar);
};

// Calls every registrar, in link order.
void RegisterAll(CLI::App& app);

// The exit statuses of every command (0 is success).
inline constexpr int kExitFailure = 1;   // a failure message: a missing file, no tables, an engine error
inline constexpr int kExitUsage = 2;     // an unknown option or job kind, a bad value
inline constexpr int kExitDeclined = 3;  // the question was answered no: nothing done

// Thrown by a command to end the program with an exit code and a message
// on stderr (UTF-8).
struct CommandFailed {
  int exit_code;
  std::string message;
};

}  // namespace kaslo::cli
