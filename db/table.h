// A cursor over one open dBase table (T.DBF, its memo T.DBT, its production
// index T.MDX).
//
// Rows are addressed by their physical record number (1-based). Deleted rows
// stay in the file but are never visited. The current order is the
// natural (record-number) order or that of one tag; keys of every tag are
// kept in memory while the table is open and follow every post.
//
// Modes: browsing; inserting (after append()); editing (after edit()).
// post() writes the pending row, cancel() drops it. In browse mode the
// setters throw. A Table belongs to one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/error.h"
#include "db/field.h"
#include "db/row_view.h"

namespace kaslo::db {

class TableImpl;

enum class Mode { kBrowse, kInsert, kEdit };

// Names a field of the open table: a definition constant, a name (matched
// without regard to case) or a position (0-based).
class FieldRef {
 public:
  FieldRef(const FieldDef& def) : name_(def.name) {}  // NOLINT: implicit on purpose
  FieldRef(std::string_view name) : name_(name) {}    // NOLINT
  FieldRef(const char* name) : name_(name) {}         // NOLINT
  FieldRef(size_t index) : index_(index) {}            // NOLINT
  FieldRef(int index) : index_(static_cast<size_t>(index)) {}  // NOLINT
  FieldRef(const Column& column) : index_(column.index) {}      // NOLINT

  std::string_view name() const { return name_; }
  std::optional<size_t> index() const { return index_; }

 private:
  std::string_view name_;
  std::optional<size_t> index_;
};

class Table {
 public:
  explicit Table(std::unique_ptr<TableImpl> impl);
  ~Table();  // posts nothing: a pending insert or edit is cancelled
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // ---- what the table is
  const std::string& fileName() const;   // "YCOPRO.DBF" as found on disk
  const std::vector<FieldInfo>& fields() const;
  std::optional<size_t> fieldIndex(std::string_view name) const;  // case-insensitive
  bool hasField(std::string_view name) const { return fieldIndex(name).has_value(); }
  bool exclusive() const;
  // The production index the header names and that was not found, when the
  // table was opened without it (OpenOptions::without_missing_index); "".
  const std::string& indexMissing() const;

  // ---- cursor. After first()/last()/next()/prior() the cursor is on a
  // live row that passes the filter, or at eof()/bof().
  void first();
  void last();
  void next();
  void prior();
  bool eof() const;
  bool bof() const;
  bool empty() const { return recordCount() == 0; }
  uint32_t recNo() const;  // 0 when there is no current row
  // Moves to the row with that record number; false (cursor unchanged) when
  // it is deleted, out of range or hidden by the filter.
  bool go(uint32_t rec_no);
  // Rows that are not deleted and pass the filter.
  size_t recordCount() const;
  // Record numbers of those rows in the current order, without moving the
  // cursor: what a grid pages through.
  std::vector<uint32_t> visibleOrder() const;

  // ---- tags. Names are matched without regard to case; "" selects the
  // natural order. setTag keeps the current row.
  void setTag(std::string_view name);
  const std::string& tag() const;
  std::vector<std::string> tagNames() const;
  // Field names that make up the key of a tag, in key order
  // ("GRP_CODIGO", "DEP_CODIGO" for str(grp_codigo,12)+str(dep_codigo,12)).
  std::vector<std::string> tagFields(std::string_view tag) const;
  std::string tagExpression(std::string_view tag) const;

  // Exact search on the current tag: moves to the first row whose key
  // equals the given one and returns true; false leaves the cursor where it
  // was. Throws db::Error without a current tag.
  bool findKey(const std::vector<KeyPart>& key);
  bool findKey(double key) { return findKey(std::vector<KeyPart>{key}); }
  bool findKey(std::string_view key) { return findKey(std::vector<KeyPart>{std::string(key)}); }
  // Moves to the first row whose key is >= the given one (eof() when none).
  void findNearest(const std::vector<KeyPart>& key);

  // ---- filter: an expression over the fields ("TEY_TYPE='QZV'",
  // "TEY_NUMBER = '905' AND TEY_TYPE = 'QZV'"). "" clears it.
  // Throws db::Error for an expression it cannot read.
  void setFilter(std::string_view expression);
  const std::string& filter() const;

  // ---- field values of the current row (or of the pending row).
  // Texts are Latin-1 bytes. getString gives C and M fields without their
  // trailing blanks, N/F as the stored digits trimmed, D as "yyyymmdd",
  // L as "T"/"F"; blank fields give "".
  std::string getString(FieldRef f) const;
  bool isBlank(FieldRef f) const;
  std::optional<double> getNumber(FieldRef f) const;   // nullopt when blank
  double asNumber(FieldRef f) const;                   // 0 when blank
  int64_t asInteger(FieldRef f) const;                 // rounded; 0 when blank
  std::optional<Date> getDate(FieldRef f) const;       // nullopt when blank or invalid
  std::optional<bool> getLogical(FieldRef f) const;    // nullopt when blank or "?"
  // getString of a stored row by record number, without moving the cursor
  // and ignoring a pending row; memos read as "". Throws db::Error for a
  // record number out of range.
  std::string getStringAt(uint32_t rec_no, FieldRef f) const;
  // The field's bytes in the current row as stored, without trailing blanks
  // and NULs: what a field that cannot be read as its kind holds.
  std::string storedText(FieldRef f) const;

  // ---- whole rows, for reading many: find the fields once with column(),
  // then read each row through row(). Throws db::Error as the getters do.
  Column column(FieldRef f) const;
  RowView row() const;                  // the current or pending row
  RowView rowAt(uint32_t rec_no) const;  // a stored row, cursor unmoved

  // Setters need insert or edit mode. Values wider than the field: texts are
  // cut, numbers that do not fit throw db::Error. setString on an N/F field
  // reads a number ("" makes it blank), on a D field "yyyymmdd", on an L field
  // "T"/"S"/"Y" as true, anything else false.
  void setString(FieldRef f, std::string_view value);
  void setNumber(FieldRef f, double value);
  void setDate(FieldRef f, Date value);
  void setLogical(FieldRef f, bool value);
  void setBlank(FieldRef f);

  // ---- modes and hooks
  Mode mode() const;
  // New blank row, not yet in the file; cursor on it until post/cancel.
  void append();
  // Edit the current row; takes the row's record lock (an OS lock), and
  // throws db::Error when another process holds it or there is no row.
  void edit();
  // Runs before-post (false aborts: returns false, mode kept), writes the
  // row and its keys, releases the lock, runs after-post, returns true.
  bool post();
  void cancel();
  // Deletes the current row (before-delete may abort: returns false); the
  // cursor moves to the next row of the current order.
  bool remove();
  // Deletes every row and truncates the file (needs an exclusive open).
  void emptyTable();
  // Re-reads the header and rows that another process may have written.
  void refresh();

  using Hook = std::function<bool(Table&)>;
  using AfterHook = std::function<void(Table&)>;
  void setBeforePost(Hook hook);
  void setAfterPost(AfterHook hook);
  void setBeforeDelete(Hook hook);

  // Writes the .MDX (if tags changed) and closes the files. Called by the
  // destructor; safe to call twice.
  void close();

  TableImpl& impl() { return *impl_; }

 private:
  std::unique_ptr<TableImpl> impl_;
};

}  // namespace kaslo::db
