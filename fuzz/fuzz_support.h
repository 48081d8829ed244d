// What the fuzz targets share: a private scratch folder kept for the whole
// run (each input rewrites its files there, so a run stays cheap), and a walk
// over every row and field of an open table through the public API.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "db/table.h"

namespace kaslo::fuzz {

// A fresh folder under the system's temporary directory, removed at exit.
class ScratchDir {
 public:
  explicit ScratchDir(std::string_view name)
      : path_(std::filesystem::temp_directory_path() /
              ("kaslo-fuzz-" + std::string(name) + "-" + std::to_string(getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

  void Write(std::string_view file_name, std::string_view bytes) const {
    std::ofstream out(path_ / file_name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  void Remove(std::string_view file_name) const {
    std::error_code ec;
    std::filesystem::remove(path_ / file_name, ec);
  }

 private:
  std::filesystem::path path_;
};

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Reads every field of every row in the current order, each through the
// accessor of its kind and as text; returns a value that depends on all of
// it so that nothing is optimised away.
inline size_t WalkRows(db::Table& table) {
  size_t seen = 0;
  const size_t field_count = table.fields().size();
  for (table.first(); !table.eof(); table.next()) {
    seen += table.recNo();
    const db::RowView row = table.row();
    for (size_t f = 0; f < field_count; ++f) {
      seen += table.getString(f).size();
      seen += table.isBlank(f) ? 1 : 0;
      // The row view reads what the getters read, whatever the bytes.
      const db::Column c = table.column(f);
      if (c.type != db::FieldType::kMemo &&
          (row.text(c) != table.getString(f) || row.blank(c) != table.isBlank(f) ||
           row.date(c) != table.getDate(f) || row.number(c).has_value() != table.getNumber(f).has_value() ||
           (row.number(c) && *row.number(c) == *row.number(c) && *row.number(c) != *table.getNumber(f))))
        __builtin_trap();
      switch (table.fields()[f].type) {
        case db::FieldType::kNumeric:
        case db::FieldType::kFloat:
          seen += table.getNumber(f).has_value() ? 1 : 0;
          seen += static_cast<size_t>(table.asInteger(f) & 1);
          break;
        case db::FieldType::kDate:
          seen += table.getDate(f).has_value() ? 1 : 0;
          break;
        case db::FieldType::kLogical:
          seen += table.getLogical(f).value_or(false) ? 1 : 0;
          break;
        default:
          break;
      }
    }
  }
  for (table.last(); !table.bof(); table.prior()) seen += table.recNo();
  return seen;
}

}  // namespace kaslo::fuzz
