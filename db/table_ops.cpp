// Whole-table operations: adding tags, restructuring, mapped row copies and
// the index-flag header patch.
#include "db/table_ops.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "common/clock.h"
#include "db/dbf_file.h"
#include "db/dbt_file.h"
#include "db/table_impl.h"
#include "db/table_swap.h"

namespace kaslo::db {

namespace internal {
std::filesystem::path FindFile(const std::filesystem::path& dir, std::string_view name);
std::string UpperName(std::string_view s);
}  // namespace internal

void AddTags(Table& table, std::span<const TagDef> tags) {
  TableImpl& t = table.impl();
  if (!t.exclusive_) t.Fail("adding index tags needs an exclusive open");
  t.Settle();
  for (const TagDef& def : tags) {
    if (def.name.empty() || def.name.size() > 10) {
      t.Fail("tag name '" + std::string(def.name) + "' must have 1 to 10 characters");
    }
    auto expr = internal::Expression::Parse(def.expression, t.layout_.fields, t.layout_.offsets, t.file_name_);
    auto tag = std::make_unique<internal::TagIndex>(std::string(def.name), std::move(expr));
    if (tag->type() == internal::KeyType::kCharacter && (tag->keyLength() == 0 || tag->keyLength() > 100)) {
      t.Fail("tag " + std::string(def.name) + ": key length " + std::to_string(tag->keyLength()) +
             " (1 to 100)");
    }
    tag->Build(t.count_, [&t](uint32_t r) { return t.Record(r); });
    auto it = std::find_if(t.tags_.begin(), t.tags_.end(),
                           [&](const auto& x) { return SameName(x->name(), def.name); });
    if (it != t.tags_.end()) *it = std::move(tag);
    else t.tags_.push_back(std::move(tag));
  }
  uint32_t rec = t.CurrentRec();
  t.WriteIndex();
  if (t.layout_.mdx_flag != 1) {
    // Only once the index is on disk does the header point to it.
    char flag = 1;
    t.dbf_.WriteAt(internal::kOffMdxFlag, &flag, 1);
    t.layout_.mdx_flag = 1;
  }
  if (rec) t.PlaceOn(rec);
}

std::string Restructure(const Database& db, std::string_view table, std::span<const std::string> drop,
                        std::span<const FieldDef> add, std::string backup_operation) {
  TableSwap swap(db, {std::string(table)}, std::move(backup_operation));
  Table* old = &swap.current(table);
  TableImpl& t = old->impl();
  const auto& old_fields = t.layout_.fields;
  for (const auto& d : drop) {
    if (!old->hasField(d)) t.Fail("no field " + d + " to drop");
  }
  auto dropped = [&](std::string_view name) {
    return std::any_of(drop.begin(), drop.end(), [&](const std::string& d) { return SameName(d, name); });
  };
  // New layout: kept fields in their order, then the added ones.
  std::vector<FieldDef> fields;
  std::vector<int> source;  // old field index, -1 for an added field
  for (size_t i = 0; i < old_fields.size(); ++i) {
    if (dropped(old_fields[i].name)) continue;
    const FieldInfo& f = old_fields[i];
    fields.push_back({f.name, f.type, f.length, f.decimals});
    source.push_back(static_cast<int>(i));
  }
  for (const FieldDef& f : add) {
    for (const FieldDef& g : fields) {
      if (SameName(g.name, f.name)) t.Fail("field " + std::string(f.name) + " exists");
    }
    fields.push_back(f);
    source.push_back(-1);
  }
  const std::string base = internal::UpperName(t.base_);
  // Inside the swap's staging folder, which a kill before the commit leaves
  // for the next open of the directory to remove.
  const std::filesystem::path build = swap.scratch("restructure");
  std::string header = internal::BuildDbfHeader(fields, t.file_name_, kaslo::Today());
  header[internal::kOffLanguage] = static_cast<char>(t.layout_.language);
  internal::DbfLayout nl = internal::ParseDbfHeader(header, t.file_name_);
  bool memo = nl.HasMemo();

  const std::filesystem::path new_dbf = build / (base + ".DBF");
  const std::filesystem::path new_dbt = build / (base + ".DBT");
  internal::MemoFile new_memo;
  if (memo) {
    internal::MemoFile::Create(new_dbt, base + ".DBT", base, true);
    new_memo = internal::MemoFile::Open(new_dbt, base + ".DBT", true);
  }
  std::string rows;
  rows.reserve(size_t{t.count_} * nl.record_length + 1);
  std::string rec(nl.record_length, ' ');
  for (uint32_t r = 1; r <= t.count_; ++r) {
    const char* old_rec = t.Record(r);
    std::memset(rec.data(), ' ', rec.size());
    rec[0] = old_rec[0];
    for (size_t i = 0; i < fields.size(); ++i) {
      if (source[i] < 0) continue;
      auto si = static_cast<size_t>(source[i]);
      char* dst = rec.data() + nl.offsets[i];
      const char* src = old_rec + t.layout_.offsets[si];
      if (fields[i].type == FieldType::kMemo) {
        std::string_view raw(src, 10);
        auto s = internal::Trim(raw);
        uint32_t block = 0;
        for (char c : s) block = block * 10 + static_cast<uint32_t>(c - '0');
        std::string text = block && t.memo_.valid() ? t.memo_.Read(block) : std::string();
        if (!text.empty()) {
          char buf[16];
          std::snprintf(buf, sizeof buf, "%010u", new_memo.Append(text));
          std::memcpy(dst, buf, 10);
        }
      } else {
        std::memcpy(dst, src, fields[i].length);
      }
    }
    rows += rec;
  }
  rows.push_back(internal::kEofMark);
  internal::PutUint32(header.data() + internal::kOffRecordCount, t.count_);
  {
    internal::File f = internal::File::Create(new_dbf, t.file_name_);
    f.WriteAt(0, header.data(), header.size());
    f.WriteAt(header.size(), rows.data(), rows.size());
    f.Sync();
  }
  new_memo = internal::MemoFile();
  std::vector<TagDef> keep;
  std::vector<std::pair<std::string, std::string>> tag_texts;
  for (const auto& tag : t.tags_) {
    try {
      internal::Expression::Parse(tag->expression().text(), nl.fields, nl.offsets, t.file_name_);
      tag_texts.emplace_back(tag->name(), tag->expression().text());
    } catch (const Error&) {
      // The tag reads a dropped field: it goes with it.
    }
  }
  // The new header has no index flag; the tags are written on the new file.
  std::filesystem::path new_mdx;
  if (!tag_texts.empty()) {
    for (const auto& [name, expr] : tag_texts) keep.push_back({name, expr});
    auto fresh = Database(build).open(base, OpenOptions{"", true});
    AddTags(*fresh, keep);
    fresh->close();
    new_mdx = build / (base + ".MDX");
  }
  swap.stageFiles(table, new_dbf, memo ? new_dbt : std::filesystem::path(), new_mdx);
  swap.commit();
  return swap.backupName();
}

size_t CopyRows(Table& from, Table& to, const FieldMapping& mapping) {
  struct Pair {
    size_t src, dst;
  };
  std::vector<Pair> pairs;
  for (const auto& [s, d] : mapping) {
    auto si = from.fieldIndex(s);
    auto di = to.fieldIndex(d);
    if (!si) from.impl().Fail("no field " + s);
    if (!di) to.impl().Fail("no field " + d);
    pairs.push_back({*si, *di});
  }
  size_t n = 0;
  for (from.first(); !from.eof(); from.next()) {
    to.append();
    for (const Pair& p : pairs) {
      FieldRef sf(p.src), df(p.dst);
      if (from.isBlank(sf)) continue;  // the new row is blank already
      FieldType st = from.fields()[p.src].type, dt = to.fields()[p.dst].type;
      bool s_num = st == FieldType::kNumeric || st == FieldType::kFloat;
      bool d_num = dt == FieldType::kNumeric || dt == FieldType::kFloat;
      if (d_num && s_num) to.setNumber(df, *from.getNumber(sf));
      else if (dt == FieldType::kDate && st == FieldType::kDate) to.setDate(df, *from.getDate(sf));
      else if (dt == FieldType::kLogical && st == FieldType::kLogical) to.setLogical(df, *from.getLogical(sf));
      else to.setString(df, from.getString(sf));
    }
    to.post();
    ++n;
  }
  return n;
}

bool LimpaIndiceDbf(const std::filesystem::path& dbf) {
  static_assert(internal::kOffLanguage == internal::kOffMdxFlag + 1);
  // Only the two bytes are needed: a shorter file would be extended, while a
  // header cut after them is patched and left for the engine to refuse.
  constexpr size_t kPatchEnd = internal::kOffLanguage + 1;
  try {
    internal::File f = internal::File::Open(dbf, dbf.filename().string());
    if (!f.writable() || f.Size() < kPatchEnd) return false;
    const char zeros[2] = {0, 0};
    f.WriteAt(internal::kOffMdxFlag, zeros, 2);
    return true;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace kaslo::db
