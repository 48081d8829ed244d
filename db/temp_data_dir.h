// A data directory for tests: a fresh folder under the system's temporary
// directory, installed by the same code that users run, and removed with
// everything in it when the object goes.
#pragma once

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

#include "db/database.h"
#include "db/install.h"

namespace kaslo::db::testing {

class TempDataDir {
 public:
  // Installs the table set (with the options' demo and products) unless
  // `install` is false, which leaves an empty folder.
  explicit TempDataDir(const InstallOptions& options = {}, bool install = true)
      : path_(UniquePath()), db_(path_) {
    std::filesystem::create_directories(path_);
    if (install) InstallDataDirectory(path_, options);
  }
  ~TempDataDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDataDir(const TempDataDir&) = delete;
  TempDataDir& operator=(const TempDataDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  const Database& db() const { return db_; }

 private:
  static std::filesystem::path UniquePath() {
    static std::atomic<int> counter{0};
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::filesystem::temp_directory_path() /
           ("kaslo-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" + std::to_string(ticks));
  }

  std::filesystem::path path_;
  Database db_;
};

}  // namespace kaslo::db::testing
