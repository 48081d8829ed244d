// Tables built in a staging folder and renamed into place together, with a
// journal as the commit point.
#include "db/table_swap.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <system_error>

#include "common/clock.h"
#include "common/files.h"
#include "db/backup.h"
#include "db/dbf_file.h"
#include "db/dbt_file.h"
#include "db/schema.h"
#include "db/table_impl.h"
#include "db/table_ops.h"

namespace kaslo::db {

namespace internal {
std::string UpperName(std::string_view s);
}  // namespace internal

namespace fs = std::filesystem;

namespace {

constexpr const char* kJournal = "JOURNAL";
constexpr const char* kExtensions[] = {".DBF", ".DBT", ".MDX"};

// The lock that keeps a swap and the clean-up of an interrupted one apart: a
// lock on the data directory itself, which the system drops when its holder
// dies. -1 when another process holds it.
int LockDirectory(const fs::path& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw Error(dir.string() + ": cannot open the data directory");
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    ::close(fd);
    return -1;
  }
  return fd;
}

void Unlock(int fd) {
  if (fd >= 0) ::close(fd);
}

// Journal lines: "R\t<staged file>\t<file of the data directory>" renames,
// "D\t<file of the data directory>" removes (an index or memo file the new
// table does not have).
void ApplyJournal(const fs::path& dir, const fs::path& staging) {
  std::ifstream in(staging / kJournal, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string op, a, b;
    std::getline(fields, op, '\t');
    std::getline(fields, a, '\t');
    std::getline(fields, b, '\t');
    std::error_code ec;
    if (op == "R" && fs::exists(staging / a, ec)) {
      fs::rename(staging / a, dir / b, ec);
      if (ec) throw Error(b + ": cannot be replaced (" + ec.message() + ")");
    } else if (op == "D") {
      fs::remove(dir / a, ec);
    }
  }
  SyncToDisk(dir);
  std::error_code ec;
  fs::remove(staging / kJournal, ec);
  fs::remove_all(staging, ec);
}

// An empty table with the header of `from` (fields, language driver), no
// production index and today's date.
void CreateEmptyLike(TableImpl& from, const fs::path& staging) {
  const std::string base = internal::UpperName(from.base_);
  std::string header(from.layout_.header_length, '\0');
  if (from.dbf_.ReadAt(0, header.data(), header.size()) != header.size()) {
    throw Error(from.file_name_ + ": cannot read the header");
  }
  internal::PutUint32(header.data() + internal::kOffRecordCount, 0);
  header[internal::kOffMdxFlag] = 0;
  internal::PutHeaderDate(header.data() + internal::kOffDate, kaslo::Today());
  header.push_back(internal::kEofMark);
  if (from.layout_.HasMemo()) {
    internal::MemoFile::Create(staging / (base + ".DBT"), base + ".DBT", base,
                               from.layout_.version == internal::kVersionMemo4);
  }
  internal::File f = internal::File::Create(staging / (base + ".DBF"), base + ".DBF");
  f.WriteAt(0, header.data(), header.size());
}

// A table's tags as definitions, which hold views into `texts`.
std::vector<TagDef> TagsOf(const Table& table, std::vector<std::string>& texts) {
  const std::vector<std::string> names = table.tagNames();
  texts.clear();
  texts.reserve(names.size() * 2);  // no reallocation: the views stay valid
  for (const std::string& name : names) {
    texts.push_back(name);
    texts.push_back(table.tagExpression(name));
  }
  std::vector<TagDef> tags;
  for (size_t i = 0; i < texts.size(); i += 2) tags.push_back({texts[i], texts[i + 1]});
  return tags;
}

}  // namespace

struct TableSwap::Entry {
  std::string name;
  std::unique_ptr<Table> current;
  std::unique_ptr<Table> staged;
  bool files = false;   // taken whole through stageFiles()
  bool copied = false;  // staged through stageCopy(): its tags follow every post
};

TableSwap::TableSwap(const Database& db, const std::vector<std::string>& tables, std::string backup_operation)
    : db_(db), backup_operation_(std::move(backup_operation)) {
  FinishInterruptedSwap(db_);
  for (const std::string& name : tables) {
    auto entry = std::make_unique<Entry>();
    entry->name = name;
    entry->current = db_.open(name, {.tag = "", .exclusive = true});
    entries_.push_back(std::move(entry));
  }
  lock_fd_ = LockDirectory(db_.dir());
  if (lock_fd_ < 0) throw Error(db_.dir().string() + ": another replacement of tables is running");
  staging_ = db_.dir() / kFolder;
  std::error_code ec;
  fs::remove_all(staging_, ec);
  if (!fs::create_directory(staging_, ec) || ec) {
    Unlock(lock_fd_);
    throw Error(staging_.string() + ": cannot create the staging folder");
  }
}

TableSwap::~TableSwap() {
  for (auto& e : entries_) e->staged.reset();
  if (!committed_) {
    std::error_code ec;
    fs::remove_all(staging_, ec);
  }
  entries_.clear();
  Unlock(lock_fd_);
}

TableSwap::Entry& TableSwap::find(std::string_view table) {
  for (auto& e : entries_) {
    if (SameName(e->name, table)) return *e;
  }
  throw Error(std::string(table) + ": not a table of this replacement");
}

Table& TableSwap::current(std::string_view table) { return *find(table).current; }

Table& TableSwap::stage(std::string_view table) {
  Entry& e = find(table);
  if (e.files) throw Error(std::string(table) + ": already staged from files");
  if (!e.staged) {
    CreateEmptyLike(e.current->impl(), staging_);
    e.staged = Database(staging_).open(internal::UpperName(e.current->impl().base_),
                                       {.tag = "", .exclusive = true});
  }
  return *e.staged;
}

Table& TableSwap::stageCopy(std::string_view table) {
  Entry& e = find(table);
  if (e.staged) throw Error(std::string(table) + ": already staged");
  Table& staged = stage(table);
  FieldMapping every_field;
  for (const FieldInfo& f : e.current->fields()) every_field.emplace_back(f.name, f.name);
  CopyRows(*e.current, staged, every_field);
  std::vector<std::string> texts;
  const std::vector<TagDef> tags = TagsOf(*e.current, texts);
  if (!tags.empty()) AddTags(staged, tags);
  e.copied = true;
  return staged;
}

fs::path TableSwap::scratch(std::string_view name) {
  const fs::path folder = staging_ / std::string(name);
  std::error_code ec;
  fs::create_directory(folder, ec);
  if (ec) throw Error(folder.string() + ": cannot be created (" + ec.message() + ")");
  return folder;
}

void TableSwap::stageFiles(std::string_view table, const fs::path& dbf, const fs::path& dbt,
                           const fs::path& mdx) {
  Entry& e = find(table);
  if (e.staged) throw Error(std::string(table) + ": already staged as an empty table");
  const std::string base = internal::UpperName(e.current->impl().base_);
  const fs::path sources[] = {dbf, dbt, mdx};
  for (int i = 0; i < 3; ++i) {
    const fs::path target = staging_ / (base + kExtensions[i]);
    std::error_code ec;
    fs::remove(target, ec);
    if (sources[i].empty()) continue;
    // Files built in a scratch folder are moved; others (a backup) copied.
    if (sources[i].parent_path().parent_path() == staging_) fs::rename(sources[i], target, ec);
    else fs::copy_file(sources[i], target, fs::copy_options::overwrite_existing, ec);
    if (ec) throw Error(sources[i].filename().string() + ": cannot be staged (" + ec.message() + ")");
  }
  e.files = true;
}

void TableSwap::commit() {
  if (!backup_operation_.empty()) {
    std::vector<std::string> replaced;
    for (auto& e : entries_) {
      if (e->staged || e->files) replaced.push_back(e->name);
    }
    if (!replaced.empty()) backup_name_ = TakeBackup(db_, backup_operation_, replaced);
  }
  std::ostringstream journal;
  for (auto& e : entries_) {
    if (!e->staged && !e->files) continue;
    if (e->staged) {
      std::vector<std::string> texts;
      std::vector<TagDef> tags = e->copied ? std::vector<TagDef>() : TagsOf(*e->current, texts);
      if (tags.empty() && !e->copied) {
        if (const TableDef* def = FindTable(e->name)) tags.assign(def->tags.begin(), def->tags.end());
      }
      if (!tags.empty()) AddTags(*e->staged, tags);
      e->staged->close();
      e->staged.reset();
    }

    const std::string base = internal::UpperName(e->current->impl().base_);
    for (const char* ext : kExtensions) {
      const std::string staged = base + ext;
      const fs::path target = ext == std::string_view(".DBF") ? e->current->impl().path_ : db_.find(staged);
      std::error_code ec;
      if (fs::exists(staging_ / staged, ec)) {
        SyncToDisk(staging_ / staged);  // a failure here shows in the renames that follow
        journal << "R\t" << staged << "\t" << (target.empty() ? staged : target.filename().string()) << "\n";
      } else if (!target.empty()) {
        journal << "D\t" << target.filename().string() << "\n";
      }
    }
  }
  const fs::path written = staging_ / (std::string(kJournal) + ".tmp");
  {
    internal::File f = internal::File::Create(written, kJournal);
    const std::string text = journal.str();
    f.WriteAt(0, text.data(), text.size());
    f.Sync();
  }
  SyncToDisk(staging_);
  std::error_code ec;
  fs::rename(written, staging_ / kJournal, ec);
  if (ec) throw Error(std::string(kJournal) + ": cannot be written (" + ec.message() + ")");
  SyncToDisk(staging_);
  committed_ = true;
  ApplyJournal(db_.dir(), staging_);
}

bool FinishInterruptedSwap(const Database& db) {
  const fs::path staging = db.dir() / TableSwap::kFolder;
  std::error_code ec;
  if (!fs::is_directory(staging, ec)) return false;
  int fd = LockDirectory(db.dir());
  if (fd < 0) return false;
  struct Release {
    int fd;
    ~Release() { Unlock(fd); }
  } release{fd};
  if (fs::exists(staging / kJournal, ec)) {
    ApplyJournal(db.dir(), staging);
  } else {
    fs::remove_all(staging, ec);
  }
  return true;
}

}  // namespace kaslo::db
