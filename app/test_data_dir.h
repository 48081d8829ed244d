// A fresh data directory for the start-up and maintenance tests, installed
// by the same code as a real store's (with the demo rows), and removed again.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "db/database.h"
#include "db/install.h"

namespace kaslo::app::testing {

class DataDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("kaslo_app_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(dir_);
    db::InstallDataDirectory(dir_, {.demo = true});
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
  }

  db::Database Db() const { return db::Database(dir_); }

  static std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  struct FileState {
    std::string bytes;
    std::filesystem::file_time_type mtime;
    bool operator==(const FileState&) const = default;
  };
  // Every file of the directory by name: its bytes and modification time.
  std::map<std::string, FileState> Snapshot() const {
    std::map<std::string, FileState> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      files[entry.path().filename().string()] = {Bytes(entry.path()), entry.last_write_time()};
    }
    return files;
  }

  std::filesystem::path dir_;
};

}  // namespace kaslo::app::testing
