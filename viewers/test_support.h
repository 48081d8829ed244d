// Shared by the viewers' tests: a fresh installed data directory, a progress
// recorder, and helpers to write reception files and read tables back.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/progress.h"
#include "db/database.h"
#include "db/install.h"

namespace kaslo::viewers::testing {

class ProgressRecorder final : public ProgressPort {
 public:
  void show(const std::string& text) override { texts.push_back(text); }
  void setMaximum(int maximum) override {
    maxima.push_back(maximum);
    position = 0;
  }
  void setPosition(int p) override {
    position = p;
    ++steps;
  }
  void hide() override { ++hides; }

  std::vector<std::string> texts;
  std::vector<int> maxima;
  int position = 0;
  int steps = 0;
  int hides = 0;
};

class DataDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() /
           ("kaslo_viewers_" + std::to_string(::getpid()) + "_" + std::to_string(rd()));
    db::InstallDataDirectory(dir_);
    db_ = std::make_unique<db::Database>(dir_);
    SetProgressPort(&progress_);
  }
  void TearDown() override {
    SetProgressPort(nullptr);
    db_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::filesystem::path WriteFile(const std::string& name, const std::string& bytes) {
    std::filesystem::path p = dir_ / name;
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    return p;
  }

  size_t Rows(std::string_view table) { return db_->open(table)->recordCount(); }

  std::filesystem::path dir_;
  std::unique_ptr<db::Database> db_;
  ProgressRecorder progress_;
};

}  // namespace kaslo::viewers::testing
