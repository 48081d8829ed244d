// Replacing several tables of the data directory at once: the new tables
// are built in a staging folder beside the old ones and renamed into place
// together, so that a crash, a full disk or a kill leaves either every old
// table or every new one.
//
// The commit point is the journal: once the staged files are on disk, the
// list of renames is written to <dir>/.swap/JOURNAL; the renames follow and
// the staging folder goes. A kill before the journal leaves the old tables
// and a staging folder that the next open of the data directory removes; a
// kill after it leaves a journal that the next open carries out to its end.
//
//   db::TableSwap swap(db, {"Ycopro", "Ycobar"});   // exclusive opens
//   db::Table& pro = swap.stage("Ycopro");           // empty, no index
//   ... append rows to pro ...
//   swap.commit();                                   // tags built, renamed in
//
// With an operation name, commit() first copies the tables it replaces into
// a backup (db/backup.h); a failed copy changes nothing.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "db/table.h"

namespace kaslo::db {

class TableSwap {
 public:
  // Opens every table exclusively, so that nobody writes it while the new
  // one is built (throws db::Error when one is missing or in use), and
  // makes the staging folder, after finishing or undoing a swap that a
  // kill interrupted. When backup_operation is not empty, commit() first
  // takes TakeBackup(db, backup_operation, <the staged tables>).
  TableSwap(const Database& db, const std::vector<std::string>& tables, std::string backup_operation = {});
  // Without commit() the staging folder goes and the tables stay as they were.
  ~TableSwap();
  TableSwap(const TableSwap&) = delete;
  TableSwap& operator=(const TableSwap&) = delete;

  // The new version of a table: empty, with the header (fields, language)
  // of the current one and no index, opened exclusively in the staging
  // folder. At commit it gets the tags the current table has.
  Table& stage(std::string_view table);
  // The new version of a table holding every row the current one has, with
  // its tags, for edits in place; the posts keep the tags, so commit()
  // does not build them again.
  Table& stageCopy(std::string_view table);
  // A table as it is now, held open exclusively by the swap: what a new
  // version built from the old rows reads.
  Table& current(std::string_view table);
  // A folder inside the staging folder for files built before stageFiles(),
  // which moves them from there; it goes with the staging folder.
  std::filesystem::path scratch(std::string_view name);
  // The new version of a table taken whole from files already written
  // elsewhere (a restructured table, a backup being restored): they are
  // copied into the staging folder (moved, when built in scratch()) and
  // commit() renames them in as they are, without rebuilding tags. A file not given (no dbt, no mdx) means
  // the table has none: its old one is removed at commit.
  void stageFiles(std::string_view table, const std::filesystem::path& dbf,
                  const std::filesystem::path& dbt = {}, const std::filesystem::path& mdx = {});
  // Builds the staged tables' tags, puts every staged file on disk, writes
  // the journal and renames the files into place. A table that was not
  // staged stays as it is. Throws db::Error before the journal is written
  // (nothing changed) or while renaming (the next open finishes the swap).
  void commit();
  // The backup commit() took; empty without a backup operation, before
  // commit, or when nothing was staged.
  const std::string& backupName() const { return backup_name_; }

  static constexpr const char* kFolder = ".swap";

 private:
  struct Entry;
  Entry& find(std::string_view table);

  Database db_;
  std::filesystem::path staging_;
  std::vector<std::unique_ptr<Entry>> entries_;
  std::string backup_operation_;
  std::string backup_name_;
  bool committed_ = false;
  int lock_fd_ = -1;
};

// What a kill may have left of a swap: carries out a journal to its end, or
// removes a staging folder without one. A swap still running in another
// process is left alone. Called where a data directory is opened for work.
// True when something was finished or removed.
bool FinishInterruptedSwap(const Database& db);

}  // namespace kaslo::db
