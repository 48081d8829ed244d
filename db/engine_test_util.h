// Shared pieces of the engine tests: a fresh data directory per test and
// small file helpers.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "db/database.h"
#include "db/table.h"

namespace kaslo::db::testing {

// The engine's message of what f throws; "" when it throws nothing.
inline std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("kaslo_db_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

class EngineTest : public ::testing::Test {
 protected:
  TempDir dir_;
  Database db_{dir_.path()};
  std::filesystem::path File(const std::string& name) const { return dir_.path() / name; }
};

// Record order of a table in its current order.
inline std::vector<uint32_t> Walk(Table& t) {
  std::vector<uint32_t> r;
  for (t.first(); !t.eof(); t.next()) r.push_back(t.recNo());
  return r;
}

}  // namespace kaslo::db::testing
