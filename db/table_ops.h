// Whole-table operations: index tags, restructure, mapped row copy and the
// header patch. Each one leaves a table either as it was or fully changed:
// new files are written beside the old ones and renamed into place.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/database.h"
#include "db/field.h"

namespace kaslo::db {

// Adds (or rebuilds) tags on a table opened exclusively, writes T.MDX in the
// dBase IV layout and sets the production-index byte of the header.
void AddTags(Table& table, std::span<const TagDef> tags);

// Rewrites the table without the dropped fields and with the added ones
// (blank in every row); every row is kept. The table must not be open.
// Its .MDX is rebuilt with the tags that still have their fields. The new
// files replace the old ones through a TableSwap, after a backup when
// backup_operation is not empty; returns the backup's name (empty without
// one). Throws db::Error; the table is then as it was, or the next open of
// the directory finishes the swap.
std::string Restructure(const Database& db, std::string_view table, std::span<const std::string> drop,
                        std::span<const FieldDef> add, std::string backup_operation = {});

// Pairs of (source field, destination field).
using FieldMapping = std::vector<std::pair<std::string, std::string>>;

// Appends every live row of `from` (in its current order) to `to` through the
// mapping; destination fields outside the mapping stay blank. Returns the
// number of rows appended.
size_t CopyRows(Table& from, Table& to, const FieldMapping& mapping);

// The DBF header patch that lets a table open without its .MDX: writes one
// zero byte at offset 28 (production-index flag) and one at offset 29
// (language driver). True when both were written; false when the file cannot
// be opened for writing, is too short to hold those two bytes (it is then
// left as it was), or a write fails.
bool LimpaIndiceDbf(const std::filesystem::path& dbf);

}  // namespace kaslo::db
