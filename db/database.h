// The data directory (the alias of the table engine): where the tables and
// every exchanged file lie. File names are matched without regard to case,
// so "Ycopro", "ycopro.dbf" and "YCOPRO.DBF" name the same table.
#pragma once

#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "db/field.h"
#include "db/table.h"

namespace kaslo::db {

struct OpenOptions {
  std::string tag;         // "" = natural order
  bool exclusive = false;  // refused (db::Error) while another process has the table open
  // For looking at a table, not for changing it: a header that names a
  // production index which is not there opens the rows without it
  // (Table::indexMissing) instead of being refused.
  bool without_missing_index = false;
  // Opens the file read-only: what a crash left (a torn last row, a stale
  // count) is read past in memory but not repaired on disk.
  bool read_only = false;
};

class Database {
 public:
  explicit Database(std::filesystem::path dir);

  const std::filesystem::path& dir() const { return dir_; }

  // The existing file whose name matches without regard to case, or an
  // empty path.
  std::filesystem::path find(std::string_view file_name) const;
  // find(), or dir()/file_name when there is no such file.
  std::filesystem::path pathFor(std::string_view file_name) const;
  bool exists(std::string_view file_name) const { return !find(file_name).empty(); }

  // Opens a table by name, with or without ".dbf". Throws db::Error when the
  // file is missing, unreadable, locked against the requested use, or when
  // its header says it has a production index and the .MDX is missing
  // (unless options.without_missing_index), or when it is a FoxPro table
  // with a memo or an index (not supported).
  std::unique_ptr<Table> open(std::string_view table, const OpenOptions& options = {}) const;

  // Creates an empty table (and its .DBT when a field is a memo). Replaces
  // nothing: throws db::Error when the table exists.
  void create(std::string_view table, std::span<const FieldDef> fields) const;

 private:
  std::filesystem::path dir_;
};

}  // namespace kaslo::db
