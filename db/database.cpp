// The data directory: case-insensitive file lookup, opening and creating
// tables.
#include "db/database.h"

#include <algorithm>
#include <system_error>

#include "common/clock.h"
#include "db/dbf_file.h"
#include "db/dbt_file.h"
#include "db/file_lock.h"
#include "db/table_impl.h"

namespace kaslo::db {

namespace internal {

std::string UpperName(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

// The file of the directory whose name matches without regard to case; an
// exact match wins when several files differ only in case.
std::filesystem::path FindFile(const std::filesystem::path& dir, std::string_view name) {
  std::error_code ec;
  std::filesystem::path exact = dir / std::string(name);
  if (std::filesystem::is_regular_file(exact, ec)) return exact;
  std::filesystem::path found;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string fname = it->path().filename().string();
    if (SameName(fname, name) && it->is_regular_file(ec)) {
      if (found.empty() || fname < found.filename().string()) found = it->path();
    }
  }
  return found;
}

}  // namespace internal

namespace {

std::string TableFileName(std::string_view table) {
  std::string name(table);
  if (name.size() < 4 || !SameName(std::string_view(name).substr(name.size() - 4), ".dbf")) {
    name += ".dbf";
  }
  return name;
}

}  // namespace

Database::Database(std::filesystem::path dir) : dir_(std::move(dir)) {}

std::filesystem::path Database::find(std::string_view file_name) const {
  return internal::FindFile(dir_, file_name);
}

std::filesystem::path Database::pathFor(std::string_view file_name) const {
  auto p = find(file_name);
  return p.empty() ? dir_ / std::string(file_name) : p;
}

std::unique_ptr<Table> Database::open(std::string_view table, const OpenOptions& options) const {
  std::string name = TableFileName(table);
  auto path = find(name);
  if (path.empty()) throw Error(internal::UpperName(name) + ": table not found in the data directory");
  auto t = std::make_unique<Table>(std::make_unique<TableImpl>(path, options.exclusive, options.without_missing_index, options.read_only));
  if (!options.tag.empty()) t->setTag(options.tag);
  else t->first();
  return t;
}

void Database::create(std::string_view table, std::span<const FieldDef> fields) const {
  std::string name = TableFileName(table);
  if (exists(name)) throw Error(internal::UpperName(name) + ": table exists");
  std::string file_name = internal::UpperName(name);
  std::string base = file_name.substr(0, file_name.size() - 4);
  std::string header = internal::BuildDbfHeader(fields, file_name, kaslo::Today());
  bool memo = std::any_of(fields.begin(), fields.end(),
                          [](const FieldDef& f) { return f.type == FieldType::kMemo; });
  if (memo) {
    std::string memo_name = base + ".DBT";
    internal::MemoFile::Create(pathFor(memo_name), memo_name, base, /*dbase4=*/true);
  }
  header.push_back(internal::kEofMark);
  internal::File f = internal::File::Create(dir_ / file_name, file_name);
  f.WriteAt(0, header.data(), header.size());
}

}  // namespace kaslo::db
