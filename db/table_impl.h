// The state behind a db::Table: the open files, every record of the table
// in one buffer, the in-memory keys of its tags, the cursor and the pending
// row. table_ops.cpp works on it directly.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "db/dbf_file.h"
#include "db/dbt_file.h"
#include "db/expression.h"
#include "db/file_lock.h"
#include "db/keys.h"
#include "db/table.h"

namespace kaslo::db {

class TableImpl {
 public:
  // Opens the table file at `path`. Throws db::Error (see Database::open).
  TableImpl(const std::filesystem::path& path, bool exclusive, bool without_missing_index = false,
            bool read_only = false);
  ~TableImpl();

  // ---- files
  std::filesystem::path path_;
  std::string file_name_;  // as on disk
  std::string base_;       // file name without extension
  internal::File dbf_;
  internal::MemoFile memo_;
  std::filesystem::path mdx_path_;  // empty when the table has no index
  bool without_missing_index_ = false;
  std::string missing_index_;  // the index the header names and that is not there
  bool exclusive_ = false;
  bool closed_ = false;
  bool dirty_ = false;  // rows changed since the .MDX was written

  // ---- rows
  internal::DbfLayout layout_;
  internal::LargeVector<char> data_;  // record_count records, record_length bytes each
  uint32_t count_ = 0;
  size_t deleted_ = 0;

  // ---- tags, filter, cursor
  std::vector<std::unique_ptr<internal::TagIndex>> tags_;
  int tag_ = -1;
  std::string tag_name_;
  std::optional<internal::Expression> filter_;
  std::string filter_text_;
  ptrdiff_t pos_ = -1;  // position in the current order; -1 before, size() after
  bool eof_ = true;
  bool bof_ = true;

  // ---- pending row
  Mode mode_ = Mode::kBrowse;
  std::string pending_;
  std::map<size_t, std::string> pending_memos_;
  uint32_t edit_rec_ = 0;
  Table::Hook before_post_;
  Table::AfterHook after_post_;
  Table::Hook before_delete_;

  // ---- helpers
  const char* Record(uint32_t rec_no) const {
    return data_.data() + size_t{rec_no - 1} * layout_.record_length;
  }
  char* MutableRecord(uint32_t rec_no) {
    return data_.data() + size_t{rec_no - 1} * layout_.record_length;
  }
  bool Deleted(uint32_t rec_no) const { return Record(rec_no)[0] == internal::kDeletedFlag; }
  bool Visible(uint32_t rec_no) const;
  size_t OrderSize() const { return tag_ < 0 ? count_ : tags_[static_cast<size_t>(tag_)]->size(); }
  uint32_t RecAt(size_t pos) const {
    return tag_ < 0 ? static_cast<uint32_t>(pos + 1) : tags_[static_cast<size_t>(tag_)]->RecAt(pos);
  }
  size_t PosOf(uint32_t rec_no) const;
  uint32_t CurrentRec() const;
  // True when another process posted rows since this one read the table.
  bool AppendedElsewhere() const;
  // Moves from pos in direction step to the first visible row; sets eof/bof.
  void SeekVisible(ptrdiff_t pos, int step);
  void PlaceOn(uint32_t rec_no);
  // Cursor motions post a pending row first, as the user's grid does.
  void Settle();

  size_t Field(const FieldRef& f) const;
  const char* RowBytes() const;  // current or pending row; throws without one
  std::string_view Raw(size_t field) const;
  char* Writable(size_t field);
  std::string MemoText(size_t field) const;

  // Reads the header and every record from disk; repairs a count that does
  // not match the file (see the .cpp). Keeps the cursor's record.
  // take_lock false: the caller holds the append lock.
  void LoadAll(bool take_lock = true);
  // Drops the keys of every tag; each is rebuilt from the rows on first use.
  void RebuildKeys();
  void LoadTags();
  void WriteIndex();
  void WriteHeaderCount();
  internal::TagIndex* FindTag(std::string_view name) const;
  std::string Where() const { return file_name_; }
  [[noreturn]] void Fail(const std::string& what) const { throw Error(file_name_ + ": " + what); }
};

// Case-insensitive equality of ASCII names.
bool SameName(std::string_view a, std::string_view b);

}  // namespace kaslo::db
