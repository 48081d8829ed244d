// Shared by the command-line tests: the built kaslo binary run as a user runs
// it, with both output streams captured, on a data directory in a temporary
// folder.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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
