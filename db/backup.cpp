// Backups of tables: copied into a hidden folder, put on disk and renamed
// into place; pruned per operation; put back through a TableSwap.
#include "db/backup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <system_error>

#include "common/clock.h"
#include "common/files.h"
#include "db/error.h"
#include "db/table_swap.h"

namespace kaslo::db {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStagingPrefix = ".parcial-";
constexpr size_t kKeep = 10;
constexpr const char* kExtensions[] = {".DBF", ".DBT", ".MDX"};

struct ParsedName {
  std::string stamp;  // "yyyymmdd-hhmmss"
  std::string operation;
  long sequence = 1;  // the n of a "-n" suffix: another backup of the same second
};

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

bool ValidOperation(std::string_view op) {
  if (op.empty() || op.front() == '-' || op.back() == '-') return false;
  return std::all_of(op.begin(), op.end(), [](unsigned char c) {
    return (c >= 'a' && c <= 'z') || std::isdigit(c) || c == '-';
  });
}

// "yyyymmdd-hhmmss-<operation>[-n]"; no operation ends in "-<digits>".
std::optional<ParsedName> ParseName(std::string_view name) {
  if (name.size() < 17 || name[8] != '-' || name[15] != '-') return std::nullopt;
  if (!AllDigits(name.substr(0, 8)) || !AllDigits(name.substr(9, 6))) return std::nullopt;
  ParsedName p{std::string(name.substr(0, 15)), std::string(name.substr(16)), 1};
  const size_t dash = p.operation.rfind('-');
  if (dash != std::string::npos && AllDigits(std::string_view(p.operation).substr(dash + 1))) {
    const std::string digits = p.operation.substr(dash + 1);
    if (digits.size() > 6) return std::nullopt;
    p.sequence = std::stol(digits);
    p.operation.resize(dash);
  }
  if (!ValidOperation(p.operation)) return std::nullopt;
  return p;
}

bool Older(const ParsedName& a, const ParsedName& b) {
  if (a.stamp != b.stamp) return a.stamp < b.stamp;
  if (a.sequence != b.sequence) return a.sequence < b.sequence;
  return a.operation < b.operation;
}

std::string Stamp(const DateTime& now) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02u%02u-%02d%02d%02d", static_cast<int>(now.date.year()),
                static_cast<unsigned>(now.date.month()), static_cast<unsigned>(now.date.day()), now.hour,
                now.minute, now.second);
  return text;
}

std::string ShownTime(const std::string& stamp) {
  return stamp.substr(6, 2) + "/" + stamp.substr(4, 2) + "/" + stamp.substr(0, 4) + " " + stamp.substr(9, 2) +
         ":" + stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  if (s.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(s[s.size() - suffix.size() + i])) !=
        std::toupper(static_cast<unsigned char>(suffix[i]))) {
      return false;
    }
  }
  return true;
}

void Sync(const fs::path& path) {
  if (!SyncToDisk(path)) throw Error(path.filename().string() + ": cannot be put on disk");
}

// Keeps two backups (another process's, or of a start-up and a window)
// from judging each other's staging folder stale; dropped when the holder dies.
class FolderLock {
 public:
  explicit FolderLock(const fs::path& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) throw Error(folder.string() + ": cannot open the backup folder");
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        throw Error(folder.string() + ": cannot lock the backup folder");
      }
    }
  }
  ~FolderLock() { ::close(fd_); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

// The folders of whole backups with their parsed names, oldest first.
std::vector<std::pair<ParsedName, fs::path>> Folders(const fs::path& root) {
  std::vector<std::pair<ParsedName, fs::path>> found;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!it->is_directory(ec) || it->is_symlink(ec)) continue;
    if (auto parsed = ParseName(name)) found.emplace_back(*parsed, it->path());
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return Older(a.first, b.first); });
  return found;
}

std::vector<fs::path> TableFiles(const fs::path& folder) {
  std::vector<fs::path> dbfs;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && EndsWithNoCase(it->path().filename().string(), ".DBF")) {
      dbfs.push_back(it->path());
    }
  }
  std::sort(dbfs.begin(), dbfs.end());
  return dbfs;
}

void RemoveStaging(const fs::path& root) {
  std::error_code ec;
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().starts_with(kStagingPrefix)) stale.push_back(it->path());
  }
  for (const fs::path& p : stale) fs::remove_all(p, ec);
}

}  // namespace

std::string TakeBackup(const Database& db, std::string_view operation, const std::vector<std::string>& tables) {
  if (!ValidOperation(operation)) throw Error(std::string(operation) + ": not a name of a backup operation");
  const fs::path root = db.dir() / kBackupFolder;
  std::error_code ec;
  fs::create_directories(root, ec);
  if (ec) throw Error(root.string() + ": cannot create the backup folder (" + ec.message() + ")");
  FolderLock lock(root);
  RemoveStaging(root);

  // Numbered after the last of the same second, not into a gap that pruning
  // left, so that name order stays the order the backups were taken in.
  const std::string stamp = Stamp(kaslo::Now());
  const std::string base = stamp + "-" + std::string(operation);
  long last = 0;
  for (const auto& [parsed, path] : Folders(root)) {
    if (parsed.stamp == stamp && parsed.operation == operation) last = std::max(last, parsed.sequence);
  }
  std::string name = last == 0 ? base : base + "-" + std::to_string(last + 1);
  for (long n = last + 2; fs::exists(root / name, ec); ++n) name = base + "-" + std::to_string(n);
  const fs::path staging = root / (kStagingPrefix + name);
  if (!fs::create_directory(staging, ec) || ec) throw Error(staging.string() + ": cannot create the backup folder");

  try {
    for (std::string table : tables) {
      if (EndsWithNoCase(table, ".DBF")) table.resize(table.size() - 4);
      const fs::path dbf = db.find(table + ".DBF");
      if (dbf.empty()) continue;
      const std::string stem = dbf.stem().string();
      for (const char* ext : kExtensions) {
        const fs::path from = ext == std::string_view(".DBF") ? dbf : db.find(stem + ext);
        if (from.empty()) continue;
        const fs::path to = staging / from.filename();
        fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
        if (ec) throw Error(from.filename().string() + ": cannot be copied to the backup (" + ec.message() + ")");
        Sync(to);
      }
    }
    Sync(staging);
    fs::rename(staging, root / name, ec);
    if (ec) throw Error((root / name).string() + ": cannot be written (" + ec.message() + ")");
    Sync(root);
  } catch (...) {
    fs::remove_all(staging, ec);
    throw;
  }

  auto folders = Folders(root);
  std::erase_if(folders, [&](const auto& f) { return f.first.operation != operation; });
  for (size_t i = 0; i + kKeep < folders.size(); ++i) fs::remove_all(folders[i].second, ec);
  return name;
}

std::string BackupLine(std::string_view name) {
  return "Cópia de segurança: " + std::string(kBackupFolder) + "/" + std::string(name);
}

std::vector<BackupInfo> ListBackups(const Database& db) {
  std::vector<BackupInfo> list;
  for (const auto& [parsed, path] : Folders(db.dir() / kBackupFolder)) {
    BackupInfo info{path.filename().string(), parsed.operation, ShownTime(parsed.stamp), {}};
    for (const fs::path& dbf : TableFiles(path)) info.tables.push_back(dbf.stem().string());
    list.push_back(std::move(info));
  }
  return list;
}

std::string RestoreBackup(const Database& db, std::string_view name) {
  const std::string shown = std::string(kBackupFolder) + "/" + std::string(name);
  if (name.empty() || name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos ||
      name.find("..") != std::string_view::npos || !ParseName(name)) {
    throw Error(std::string(name) + ": not the name of a backup");
  }
  const fs::path folder = db.dir() / kBackupFolder / std::string(name);
  std::error_code ec;
  if (!fs::is_directory(folder, ec) || fs::is_symlink(folder, ec)) throw Error(shown + ": no such backup");
  const std::vector<fs::path> dbfs = TableFiles(folder);
  if (dbfs.empty()) throw Error(shown + ": the backup has no table");

  std::vector<std::string> tables;
  for (const fs::path& dbf : dbfs) tables.push_back(dbf.stem().string());
  std::optional<TableSwap> swap;
  try {
    swap.emplace(db, tables, "restauracao");
  } catch (const Error& e) {
    throw Error(shown + " not restored: " + e.what());
  }
  const Database from(folder);
  for (const fs::path& dbf : dbfs) {
    const std::string stem = dbf.stem().string();
    swap->stageFiles(stem, dbf, from.find(stem + ".DBT"), from.find(stem + ".MDX"));
  }
  swap->commit();
  return swap->backupName();
}

}  // namespace kaslo::db
