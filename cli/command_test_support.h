// Shared by the command-line tests: the built kaslo binary run as a user runs
// it, with both output streams captured or on a pseudo-terminal, on a data
// directory in a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "db/temp_data_dir.h"

namespace kaslo::cli::testing {

namespace fs = std::filesystem;

struct Result {
  int exit_code;
  std::string out;
  std::string err;
};

inline std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// `s` as one word of the shell.
inline std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

inline fs::path BinDir() {
  const char* dir = std::getenv("KASLO_BIN_DIR");
  return dir ? fs::path(dir) : fs::path();
}

inline fs::path KasloBinary() { return BinDir() / "kaslo"; }

// Runs a shell command line, capturing both streams in files beside
// `scratch`.
inline Result RunShell(const fs::path& scratch, const std::string& command) {
  fs::path out = scratch / "stdout.txt", err = scratch / "stderr.txt";
  int status = std::system((command + " >" + Quoted(out.string()) + " 2>" + Quoted(err.string())).c_str());
  Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  fs::remove(out);
  fs::remove(err);
  return r;
}

// kaslo with `args` (already quoted); stdin is not a terminal.
inline Result Kaslo(const fs::path& scratch, const std::string& args) {
  return RunShell(scratch, Quoted(KasloBinary().string()) + " " + args + " </dev/null");
}

struct TerminalRun {
  int exit_code = -1;
  std::string screen;  // everything the terminal showed, the echoed answer included
};

// kaslo on a pseudo-terminal (a test that uses it links `util`); `answer` is
// typed once the question's prompt shows. A child that shows nothing for a
// long while is ended, so that a lost prompt fails the test instead of
// hanging it.
inline TerminalRun OnTerminal(const std::vector<std::string>& args, const std::string& answer) {
  std::vector<std::string> words{KasloBinary().string()};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  TerminalRun run;
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid < 0) return run;
  if (pid == 0) {
    execv(argv[0], argv.data());
    _exit(127);
  }
  bool answered = false;
  for (;;) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, 60000) <= 0) {
      kill(pid, SIGKILL);
      break;
    }
    char buf[512];
    const ssize_t n = read(master, buf, sizeof buf);
    if (n <= 0) break;  // EIO once the child has ended
    run.screen.append(buf, static_cast<size_t>(n));
    if (!answered && run.screen.find("[s/N] ") != std::string::npos) {
      (void)!write(master, answer.data(), answer.size());
      answered = true;
    }
  }
  close(master);
  int status = 0;
  waitpid(pid, &status, 0);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class KasloCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(KasloBinary())) << "KASLO_BIN_DIR must name the folder of the kaslo binary";
  }
  // A folder for outputs, and a data directory inside it made by `kaslo init`.
  db::testing::TempDataDir scratch_{{}, false};
  fs::path Data() const { return scratch_.path() / "loja"; }
  std::string DataArg() const { return Quoted(Data().string()); }
  Result Init(const std::string& options = "") { return Kaslo(scratch_.path(), "init " + DataArg() + options); }
  Result Run(const std::string& args) { return Kaslo(scratch_.path(), args); }
};

}  // namespace kaslo::cli::testing
