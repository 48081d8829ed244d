// The table cursor: opening and loading a table, navigation in natural or
// tag order, field access, the pending row and its post, and closing.
//
// Every record is read into memory on open with one read. Writes go to the
// file at once (no user-space buffering): a posted row is in the file
// before the header's record count includes it, so that a crash leaves at
// most a row that the next open drops or recovers (LoadAll).
#include "db/table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "common/clock.h"
#include "db/database.h"
#include "db/mdx_file.h"
#include "db/table_impl.h"

namespace kaslo::db {

using internal::kDeletedFlag;
using internal::kEofMark;
using internal::kLiveFlag;

namespace internal {
std::filesystem::path FindFile(const std::filesystem::path& dir, std::string_view name);
std::string UpperName(std::string_view s);
}  // namespace internal

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

namespace {

// Releases a byte lock when it goes out of scope.
class LockGuard {
 public:
  LockGuard(internal::File& f, int64_t offset, bool exclusive) : f_(f), offset_(offset) {
    f_.Lock(offset_, exclusive);
  }
  ~LockGuard() { f_.Unlock(offset_); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  internal::File& f_;
  int64_t offset_;
};

bool IsNumericType(FieldType t) { return t == FieldType::kNumeric || t == FieldType::kFloat; }

std::optional<uint32_t> MemoBlock(std::string_view raw) {
  std::string_view s = internal::Trim(raw);
  if (s.empty()) return std::nullopt;
  uint32_t v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || v == 0) return std::nullopt;
  return v;
}

}  // namespace

// ---------------------------------------------------------------- TableImpl

TableImpl::TableImpl(const std::filesystem::path& path, bool exclusive, bool without_missing_index, bool read_only)
    : path_(path), without_missing_index_(without_missing_index), exclusive_(exclusive) {
  file_name_ = path.filename().string();
  base_ = path.stem().string();
  dbf_ = internal::File::Open(path, file_name_, read_only);
  if (exclusive && !dbf_.writable()) Fail("the file is read-only and cannot be opened exclusively");
  if (!dbf_.TryLock(internal::kOpenLockOffset, exclusive)) {
    Fail(exclusive ? "table in use by another process" : "table opened exclusively by another process");
  }
  LoadAll();
  if (layout_.HasMemo()) {
    std::string memo_name = base_ + ".DBT";
    auto memo_path = internal::FindFile(path.parent_path(), memo_name);
    auto fpt_path = internal::FindFile(path.parent_path(), base_ + ".FPT");
    if (internal::IsFoxProVersion(layout_.version) || (memo_path.empty() && !fpt_path.empty())) {
      std::string fpt_name = fpt_path.empty() ? internal::UpperName(base_ + ".FPT") : fpt_path.filename().string();
      Fail("FoxPro memo file " + fpt_name + " not supported");
    }
    if (memo_path.empty()) Fail("memo file " + internal::UpperName(memo_name) + " not found");
    bool dbase4 = (layout_.version & 0x08) != 0;
    memo_ = internal::MemoFile::Open(memo_path, memo_path.filename().string(), dbase4);
  }
  LoadTags();
  RebuildKeys();
}

TableImpl::~TableImpl() = default;

// Reading a table tolerates what a crash can leave, and repairs it when the
// file may be written (under the append lock, so that no other process is
// half-way through a post):
// - whole records past the header's count are rows whose count update was
//   lost; they are kept as long as their first byte is a deleted flag
//   (' ' or '*');
// - a count larger than the records present (a stale count, a torn last
//   record) is cut to the whole records present;
// - bytes after the last whole record that do not start with 0x1A are a
//   torn record and are dropped, and 0x1A is written after the last record.
// A file that ends right after its last record (no 0x1A) is accepted as it
// is, as are other writers' bytes after a 0x1A.
void TableImpl::LoadAll(bool take_lock) {
  std::optional<LockGuard> guard;
  if (take_lock) guard.emplace(dbf_, internal::kAppendLockOffset, dbf_.writable());
  uint64_t size = dbf_.Size();
  char head[internal::kDbfHeaderSize];
  size_t got = dbf_.ReadAt(0, head, sizeof head);
  if (got < sizeof head) {
    Fail("not a dBase table (header truncated, " + std::to_string(got) + " bytes)");
  }
  uint16_t header_length = internal::GetUint16(head + internal::kOffHeaderLength);
  std::string header(std::max<size_t>(header_length, internal::kDbfHeaderSize + 1), '\0');
  header.resize(dbf_.ReadAt(0, header.data(), header.size()));
  layout_ = internal::ParseDbfHeader(header, file_name_, size);
  const uint64_t hl = layout_.header_length, rl = layout_.record_length;
  uint64_t whole = size > hl ? (size - hl) / rl : 0;
  uint32_t stated = layout_.record_count;
  data_.reserve(whole * rl + whole * rl / 8);  // with room for rows appended later
  data_.resize(whole * rl);
  // In pieces that stay in the cache while their rows' flags are counted.
  constexpr size_t kPiece = size_t{1} << 18;
  size_t read = 0;
  uint64_t flagged = 0;  // records whose deleted flag is counted
  deleted_ = 0;
  while (read < data_.size()) {
    const size_t want = std::min(kPiece, data_.size() - read);
    const size_t got = dbf_.ReadAt(hl + read, data_.data() + read, want);
    read += got;
    for (; (flagged + 1) * rl <= read; ++flagged) deleted_ += data_[flagged * rl] == kDeletedFlag;
    if (got < want) break;
  }
  whole = read / rl;
  uint64_t records = std::min<uint64_t>(stated, whole);
  while (records < whole) {
    char flag = data_[records * rl];
    if (flag != kLiveFlag && flag != kDeletedFlag) break;
    ++records;
  }
  for (uint64_t r = records; r < flagged; ++r) deleted_ -= data_[r * rl] == kDeletedFlag;
  data_.resize(records * rl);
  uint64_t end = hl + records * rl;
  bool torn = false;
  if (size > end) {
    char c = 0;
    dbf_.ReadAt(end, &c, 1);
    torn = c != kEofMark;
  }
  count_ = static_cast<uint32_t>(records);
  layout_.record_count = count_;
  if ((torn || records != stated) && dbf_.writable()) {
    if (torn) dbf_.Truncate(end);
    char eof = kEofMark;
    dbf_.WriteAt(end, &eof, 1);
    WriteHeaderCount();
  }
}

void TableImpl::WriteHeaderCount() {
  char h[8];
  internal::PutHeaderDate(h + internal::kOffDate, kaslo::Today());
  internal::PutUint32(h + internal::kOffRecordCount, count_);
  dbf_.WriteAt(internal::kOffDate, h + internal::kOffDate, 7);
}

void TableImpl::LoadTags() {
  tags_.clear();
  tag_ = -1;
  mdx_path_.clear();
  missing_index_.clear();
  // FoxPro sets the same bit (among others) for its structural .CDX.
  bool foxpro = internal::IsFoxProVersion(layout_.version);
  if (!(foxpro ? layout_.mdx_flag & 1 : layout_.mdx_flag == 1)) return;
  std::string mdx_name = base_ + ".MDX";
  mdx_path_ = internal::FindFile(path_.parent_path(), mdx_name);
  if (mdx_path_.empty()) {
    auto cdx_path = internal::FindFile(path_.parent_path(), base_ + ".CDX");
    if (foxpro || !cdx_path.empty()) {
      std::string cdx_name = cdx_path.empty() ? internal::UpperName(base_ + ".CDX") : cdx_path.filename().string();
      Fail("FoxPro index " + cdx_name + " not supported");
    }
    if (!without_missing_index_) Fail("production index " + internal::UpperName(mdx_name) + " not found");
    missing_index_ = internal::UpperName(mdx_name);
    return;
  }
  for (const auto& t : internal::ReadMdxTags(mdx_path_, mdx_path_.filename().string())) {
    auto expr = internal::Expression::Parse(t.expression, layout_.fields, layout_.offsets, file_name_);
    tags_.push_back(std::make_unique<internal::TagIndex>(t.name, std::move(expr)));
  }
}

void TableImpl::RebuildKeys() {
  for (auto& t : tags_) t->Defer([this] { return count_; }, [this](uint32_t r) { return Record(r); });
}

void TableImpl::WriteIndex() {
  if (tags_.empty()) return;
  if (!exclusive_) {
    // Other processes may have posted rows since this table was read.
    uint32_t rec = CurrentRec();
    LoadAll();
    RebuildKeys();
    if (rec && rec <= count_) PlaceOn(rec);
  }
  if (mdx_path_.empty()) {
    std::string name = internal::UpperName(base_) + ".MDX";
    auto found = internal::FindFile(path_.parent_path(), name);
    mdx_path_ = found.empty() ? path_.parent_path() / name : found;
  }
  std::vector<const internal::TagIndex*> tags;
  for (const auto& t : tags_) tags.push_back(t.get());
  internal::WriteMdx(mdx_path_, mdx_path_.filename().string(), internal::UpperName(base_),
                     layout_.language, tags, kaslo::Today());
  dirty_ = false;
}

internal::TagIndex* TableImpl::FindTag(std::string_view name) const {
  for (const auto& t : tags_) {
    if (SameName(t->name(), name)) return t.get();
  }
  return nullptr;
}

bool TableImpl::Visible(uint32_t rec_no) const {
  // Walking a tag would read every row's flag at random.
  if (deleted_ == 0 && !filter_) return true;
  if (Deleted(rec_no)) return false;
  return !filter_ || filter_->Test(Record(rec_no));
}

size_t TableImpl::PosOf(uint32_t rec_no) const {
  return tag_ < 0 ? rec_no - 1 : tags_[static_cast<size_t>(tag_)]->PosOf(rec_no);
}

uint32_t TableImpl::CurrentRec() const {
  if (pos_ < 0 || static_cast<size_t>(pos_) >= OrderSize()) return 0;
  return RecAt(static_cast<size_t>(pos_));
}

void TableImpl::SeekVisible(ptrdiff_t pos, int step) {
  const auto size = static_cast<ptrdiff_t>(OrderSize());
  while (pos >= 0 && pos < size && !Visible(RecAt(static_cast<size_t>(pos)))) pos += step;
  if (pos >= size) {
    pos_ = size;
    eof_ = true;
    bof_ = false;
  } else if (pos < 0) {
    pos_ = -1;
    bof_ = true;
    eof_ = false;
  } else {
    pos_ = pos;
    eof_ = bof_ = false;
  }
}

void TableImpl::PlaceOn(uint32_t rec_no) {
  pos_ = static_cast<ptrdiff_t>(PosOf(rec_no));
  eof_ = bof_ = false;
}

size_t TableImpl::Field(const FieldRef& f) const {
  if (f.index()) {
    if (*f.index() >= layout_.fields.size()) Fail("no field number " + std::to_string(*f.index()));
    return *f.index();
  }
  for (size_t i = 0; i < layout_.fields.size(); ++i) {
    if (SameName(layout_.fields[i].name, f.name())) return i;
  }
  Fail("no field " + std::string(f.name()));
}

const char* TableImpl::RowBytes() const {
  if (mode_ != Mode::kBrowse) return pending_.data();
  uint32_t rec = CurrentRec();
  if (rec == 0) Fail("no current row");
  return Record(rec);
}

std::string_view TableImpl::Raw(size_t field) const {
  return std::string_view(RowBytes() + layout_.offsets[field], layout_.fields[field].length);
}

char* TableImpl::Writable(size_t field) {
  if (mode_ == Mode::kBrowse) {
    Fail("field " + layout_.fields[field].name + " cannot be set outside insert or edit");
  }
  return pending_.data() + layout_.offsets[field];
}

std::string TableImpl::MemoText(size_t field) const {
  if (mode_ != Mode::kBrowse) {
    auto it = pending_memos_.find(field);
    if (it != pending_memos_.end()) return it->second;
  }
  auto block = MemoBlock(Raw(field));
  if (!block || !memo_.valid()) return {};
  return memo_.Read(*block);
}

// ---------------------------------------------------------------- Table

Table::Table(std::unique_ptr<TableImpl> impl) : impl_(std::move(impl)) {}

Table::~Table() {
  try {
    close();
  } catch (...) {
    // A destructor cannot report; close() explicitly to see the error.
  }
}

const std::string& Table::fileName() const { return impl_->file_name_; }
const std::vector<FieldInfo>& Table::fields() const { return impl_->layout_.fields; }
bool Table::exclusive() const { return impl_->exclusive_; }
const std::string& Table::indexMissing() const { return impl_->missing_index_; }

std::optional<size_t> Table::fieldIndex(std::string_view name) const {
  const auto& f = impl_->layout_.fields;
  for (size_t i = 0; i < f.size(); ++i) {
    if (SameName(f[i].name, name)) return i;
  }
  return std::nullopt;
}

void TableImpl::Settle() {
  if (mode_ != Mode::kBrowse) Fail("a row is pending: post or cancel it first");
}

void Table::first() {
  impl_->Settle();
  impl_->SeekVisible(0, +1);
  if (impl_->eof_) impl_->bof_ = true;
}

void Table::last() {
  impl_->Settle();
  impl_->SeekVisible(static_cast<ptrdiff_t>(impl_->OrderSize()) - 1, -1);
  if (impl_->bof_) impl_->eof_ = true;
}

void Table::next() {
  impl_->Settle();
  if (impl_->eof_ && impl_->pos_ >= static_cast<ptrdiff_t>(impl_->OrderSize())) return;
  impl_->SeekVisible(impl_->pos_ + 1, +1);
}

void Table::prior() {
  impl_->Settle();
  if (impl_->bof_ && impl_->pos_ < 0) return;
  impl_->SeekVisible(impl_->pos_ - 1, -1);
}

bool Table::eof() const { return impl_->eof_; }
bool Table::bof() const { return impl_->bof_; }

uint32_t Table::recNo() const {
  if (impl_->mode_ == Mode::kInsert) return 0;
  if (impl_->mode_ == Mode::kEdit) return impl_->edit_rec_;
  return impl_->CurrentRec();
}

bool Table::go(uint32_t rec_no) {
  impl_->Settle();
  if (rec_no == 0 || rec_no > impl_->count_ || !impl_->Visible(rec_no)) return false;
  impl_->PlaceOn(rec_no);
  return true;
}

size_t Table::recordCount() const {
  const TableImpl& t = *impl_;
  if (!t.filter_) return t.count_ - t.deleted_;
  size_t n = 0;
  for (uint32_t r = 1; r <= t.count_; ++r) n += t.Visible(r);
  return n;
}

std::vector<uint32_t> Table::visibleOrder() const {
  const TableImpl& t = *impl_;
  std::vector<uint32_t> order;
  order.reserve(t.OrderSize());
  for (size_t pos = 0; pos < t.OrderSize(); ++pos) {
    uint32_t rec = t.RecAt(pos);
    if (t.Visible(rec)) order.push_back(rec);
  }
  return order;
}

// ---- tags

void Table::setTag(std::string_view name) {
  TableImpl& t = *impl_;
  t.Settle();
  uint32_t rec = t.CurrentRec();
  if (name.empty()) {
    t.tag_ = -1;
  } else {
    auto* tag = t.FindTag(name);
    if (!tag) t.Fail("no tag " + std::string(name));
    for (size_t i = 0; i < t.tags_.size(); ++i) {
      if (t.tags_[i].get() == tag) t.tag_ = static_cast<int>(i);
    }
  }
  t.tag_name_ = std::string(name);
  if (rec) t.PlaceOn(rec);
  else first();
}

const std::string& Table::tag() const { return impl_->tag_name_; }

std::vector<std::string> Table::tagNames() const {
  std::vector<std::string> names;
  for (const auto& t : impl_->tags_) names.push_back(t->name());
  return names;
}

std::vector<std::string> Table::tagFields(std::string_view tag) const {
  auto* t = impl_->FindTag(tag);
  if (!t) impl_->Fail("no tag " + std::string(tag));
  std::vector<std::string> names;
  const auto& e = t->expression();
  for (size_t i = 0; i < e.PartCount(); ++i) {
    if (auto f = e.PartField(i)) names.push_back(impl_->layout_.fields[*f].name);
  }
  return names;
}

std::string Table::tagExpression(std::string_view tag) const {
  auto* t = impl_->FindTag(tag);
  if (!t) impl_->Fail("no tag " + std::string(tag));
  return t->expression().text();
}

namespace {

// Puts one key part into the field of a scratch record, so that the tag's
// own expression turns it into key text.
void PutPart(const TableImpl& t, std::string& rec, size_t field, const KeyPart& part) {
  const FieldInfo& f = t.layout_.fields[field];
  char* dst = rec.data() + t.layout_.offsets[field];
  if (IsNumericType(f.type)) {
    double v = 0;
    if (auto* d = std::get_if<double>(&part)) v = *d;
    else if (auto* s = std::get_if<std::string>(&part)) v = internal::ParseNumber(*s).value_or(0);
    if (!internal::FormatNumber(v, f.length, f.decimals, dst)) std::memset(dst, '*', f.length);
  } else if (f.type == FieldType::kDate) {
    if (auto* d = std::get_if<Date>(&part)) internal::FormatDate(*d, dst);
    else if (auto* s = std::get_if<std::string>(&part)) std::memcpy(dst, s->data(), std::min<size_t>(8, s->size()));
  } else {
    std::string text;
    if (auto* s = std::get_if<std::string>(&part)) text = *s;
    else if (auto* d = std::get_if<double>(&part)) {
      char buf[64];
      auto [p, ec] = std::to_chars(buf, buf + sizeof buf, *d);
      text.assign(buf, p);
    } else if (auto* dt = std::get_if<Date>(&part)) {
      text.resize(8);
      internal::FormatDate(*dt, text.data());
    }
    text.resize(f.length, ' ');
    std::memcpy(dst, text.data(), f.length);
  }
}

double PartNumber(const KeyPart& part, internal::KeyType type) {
  if (auto* d = std::get_if<double>(&part)) return *d;
  if (auto* s = std::get_if<std::string>(&part)) {
    if (type == internal::KeyType::kDate) {
      auto d = internal::ParseDate(*s);
      return d ? internal::JulianDay(*d) : 0;
    }
    return internal::ParseNumber(*s).value_or(0);
  }
  return internal::JulianDay(std::get<Date>(part));
}

}  // namespace

// Finds the first visible row at or after the key; `exact` also requires
// the key to match. Returns the position or -1.
static ptrdiff_t Search(TableImpl& t, const std::vector<KeyPart>& key, bool exact) {
  if (t.tag_ < 0) t.Fail("no current tag for a key search");
  if (key.empty()) t.Fail("empty search key");
  const internal::TagIndex& tag = *t.tags_[static_cast<size_t>(t.tag_)];
  const auto size = tag.size();
  if (tag.type() != internal::KeyType::kCharacter) {
    double k = PartNumber(key[0], tag.type());
    for (size_t pos = tag.LowerBound(k); pos < size; ++pos) {
      uint32_t r = tag.RecAt(pos);
      if (exact && tag.NumberKey(r) != k) return -1;
      if (t.Visible(r)) return static_cast<ptrdiff_t>(pos);
    }
    return -1;
  }
  const auto& e = tag.expression();
  std::string rec(t.layout_.record_length, ' ');
  size_t parts = std::min(key.size(), e.PartCount());
  for (size_t i = 0; i < parts; ++i) {
    auto f = e.PartField(i);
    if (!f) t.Fail("tag " + tag.name() + " has a key part without a field");
    PutPart(t, rec, *f, key[i]);
  }
  std::string prefix = e.EvaluateParts(rec.data(), parts);
  if (parts == e.PartCount() && e.PartCount() == 1) prefix = e.KeyText(rec.data());
  for (size_t pos = tag.LowerBound(prefix); pos < size; ++pos) {
    uint32_t r = tag.RecAt(pos);
    if (exact && tag.TextKey(r).substr(0, prefix.size()) != prefix) return -1;
    if (t.Visible(r)) return static_cast<ptrdiff_t>(pos);
  }
  return -1;
}

bool Table::findKey(const std::vector<KeyPart>& key) {
  impl_->Settle();
  ptrdiff_t pos = Search(*impl_, key, true);
  if (pos < 0) return false;
  impl_->pos_ = pos;
  impl_->eof_ = impl_->bof_ = false;
  return true;
}

void Table::findNearest(const std::vector<KeyPart>& key) {
  impl_->Settle();
  ptrdiff_t pos = Search(*impl_, key, false);
  if (pos < 0) {
    impl_->pos_ = static_cast<ptrdiff_t>(impl_->OrderSize());
    impl_->eof_ = true;
    impl_->bof_ = false;
  } else {
    impl_->pos_ = pos;
    impl_->eof_ = impl_->bof_ = false;
  }
}

// ---- filter

void Table::setFilter(std::string_view expression) {
  TableImpl& t = *impl_;
  t.Settle();
  uint32_t rec = t.CurrentRec();
  if (internal::Trim(expression).empty()) {
    t.filter_.reset();
    t.filter_text_.clear();
  } else {
    t.filter_ = internal::Expression::Parse(expression, t.layout_.fields, t.layout_.offsets, t.file_name_);
    t.filter_text_ = std::string(expression);
  }
  if (rec && t.Visible(rec)) t.PlaceOn(rec);
  else first();
}

const std::string& Table::filter() const { return impl_->filter_text_; }

// ---- field values

std::string Table::getString(FieldRef f) const {
  const TableImpl& t = *impl_;
  size_t i = t.Field(f);
  std::string_view raw = t.Raw(i);
  switch (t.layout_.fields[i].type) {
    case FieldType::kCharacter: return std::string(internal::TrimRight(raw));
    case FieldType::kNumeric:
    case FieldType::kFloat: return std::string(internal::Trim(raw));
    case FieldType::kDate: return internal::ParseDate(raw) ? std::string(raw) : std::string();
    case FieldType::kLogical: {
      auto v = getLogical(f);
      return v ? (*v ? "T" : "F") : "";
    }
    case FieldType::kMemo: return std::string(internal::TrimRight(t.MemoText(i)));
  }
  return {};
}

Column Table::column(FieldRef f) const {
  const TableImpl& t = *impl_;
  const size_t i = t.Field(f);
  const FieldInfo& info = t.layout_.fields[i];
  return {i, t.layout_.offsets[i], info.length, info.decimals, info.type};
}

RowView Table::row() const { return RowView(impl_->RowBytes(), recNo(), impl_.get()); }

RowView Table::rowAt(uint32_t rec_no) const {
  const TableImpl& t = *impl_;
  if (rec_no == 0 || rec_no > t.count_) t.Fail("no row " + std::to_string(rec_no));
  return RowView(t.Record(rec_no), rec_no, &t);
}

std::string RowView::memo(const Column& c) const {
  const TableImpl& t = *table_;
  if (t.mode_ != Mode::kBrowse && record_ == t.pending_.data()) {
    auto it = t.pending_memos_.find(c.index);
    if (it != t.pending_memos_.end()) return it->second;
  }
  auto block = MemoBlock(raw(c));
  if (!block || !t.memo_.valid()) return {};
  return t.memo_.Read(*block);
}

std::string Table::storedText(FieldRef f) const {
  return std::string(internal::TrimRight(impl_->Raw(impl_->Field(f))));
}

std::string Table::getStringAt(uint32_t rec_no, FieldRef f) const {
  const RowView row = rowAt(rec_no);
  const Column c = column(f);
  return c.type == FieldType::kMemo ? std::string() : std::string(row.text(c));
}

bool Table::isBlank(FieldRef f) const {
  const TableImpl& t = *impl_;
  size_t i = t.Field(f);
  std::string_view raw = t.Raw(i);
  switch (t.layout_.fields[i].type) {
    case FieldType::kLogical: return raw.empty() || raw[0] == ' ' || raw[0] == '?' || raw[0] == '\0';
    case FieldType::kMemo: return t.MemoText(i).empty();
    default: return internal::IsBlankText(raw);
  }
}

std::optional<double> Table::getNumber(FieldRef f) const {
  const TableImpl& t = *impl_;
  size_t i = t.Field(f);
  const FieldInfo& info = t.layout_.fields[i];
  if (IsNumericType(info.type)) return internal::ParseFieldNumber(t.Raw(i), info.decimals);
  if (info.type != FieldType::kCharacter) return std::nullopt;
  return internal::ParseNumber(t.Raw(i));
}

double Table::asNumber(FieldRef f) const { return getNumber(f).value_or(0); }

int64_t Table::asInteger(FieldRef f) const {
  return static_cast<int64_t>(std::llround(getNumber(f).value_or(0)));
}

std::optional<Date> Table::getDate(FieldRef f) const {
  const TableImpl& t = *impl_;
  size_t i = t.Field(f);
  return internal::ParseDate(t.Raw(i));
}

std::optional<bool> Table::getLogical(FieldRef f) const {
  const TableImpl& t = *impl_;
  size_t i = t.Field(f);
  // A field of width 0 has no byte of its own to read.
  const std::string_view raw = t.Raw(i);
  switch (raw.empty() ? ' ' : raw[0]) {
    case 'T': case 't': case 'Y': case 'y': case 'S': case 's': return true;
    case 'F': case 'f': case 'N': case 'n': return false;
    default: return std::nullopt;
  }
}

void Table::setString(FieldRef f, std::string_view value) {
  TableImpl& t = *impl_;
  size_t i = t.Field(f);
  const FieldInfo& info = t.layout_.fields[i];
  switch (info.type) {
    case FieldType::kCharacter: {
      char* dst = t.Writable(i);
      size_t n = std::min<size_t>(value.size(), info.length);
      std::memcpy(dst, value.data(), n);
      std::memset(dst + n, ' ', info.length - n);
      return;
    }
    case FieldType::kNumeric:
    case FieldType::kFloat: {
      if (internal::Trim(value).empty()) return setBlank(f);
      auto v = internal::ParseNumber(value);
      if (!v) t.Fail("'" + std::string(value) + "' is not a number for field " + info.name);
      return setNumber(f, *v);
    }
    case FieldType::kDate: {
      if (internal::Trim(value).empty()) return setBlank(f);
      auto d = internal::ParseDate(value);
      if (!d) t.Fail("'" + std::string(value) + "' is not a date (yyyymmdd) for field " + info.name);
      return setDate(f, *d);
    }
    case FieldType::kLogical: {
      char c = value.empty() ? 'F' : static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
      return setLogical(f, c == 'T' || c == 'S' || c == 'Y');
    }
    case FieldType::kMemo:
      t.Writable(i);
      t.pending_memos_[i] = std::string(value);
      return;
  }
}

void Table::setNumber(FieldRef f, double value) {
  TableImpl& t = *impl_;
  size_t i = t.Field(f);
  const FieldInfo& info = t.layout_.fields[i];
  if (!IsNumericType(info.type)) t.Fail("field " + info.name + " is not numeric");
  char* dst = t.Writable(i);
  char buf[256];
  if (!internal::FormatNumber(value, info.length, info.decimals, buf)) {
    char v[64];
    auto [p, ec] = std::to_chars(v, v + sizeof v, value, std::chars_format::fixed);
    t.Fail("value " + std::string(v, p) + " does not fit field " + info.name + " N(" +
           std::to_string(info.length) + "," + std::to_string(info.decimals) + ")");
  }
  std::memcpy(dst, buf, info.length);
}

void Table::setDate(FieldRef f, Date value) {
  TableImpl& t = *impl_;
  size_t i = t.Field(f);
  const FieldInfo& info = t.layout_.fields[i];
  if (info.type != FieldType::kDate && info.type != FieldType::kCharacter) {
    t.Fail("field " + info.name + " is not a date");
  }
  if (!value.ok()) t.Fail("invalid date for field " + info.name);
  char* dst = t.Writable(i);
  if (info.type == FieldType::kCharacter) std::memset(dst, ' ', info.length);
  if (info.length >= 8) internal::FormatDate(value, dst);
}

void Table::setLogical(FieldRef f, bool value) {
  TableImpl& t = *impl_;
  size_t i = t.Field(f);
  const FieldInfo& info = t.layout_.fields[i];
  if (info.type != FieldType::kLogical) t.Fail("field " + info.name + " is not logical");
  *t.Writable(i) = value ? 'T' : 'F';
}

void Table::setBlank(FieldRef f) {
  TableImpl& t = *impl_;
  size_t i = t.Field(f);
  std::memset(t.Writable(i), ' ', t.layout_.fields[i].length);
  if (t.layout_.fields[i].type == FieldType::kMemo) t.pending_memos_.erase(i);
}

// ---- modes

Mode Table::mode() const { return impl_->mode_; }

void Table::append() {
  TableImpl& t = *impl_;
  t.Settle();
  if (!t.dbf_.writable()) t.Fail("the file is read-only");
  t.pending_.assign(t.layout_.record_length, ' ');
  t.pending_memos_.clear();
  t.mode_ = Mode::kInsert;
}

void Table::edit() {
  TableImpl& t = *impl_;
  if (t.mode_ == Mode::kEdit) return;
  t.Settle();
  uint32_t rec = t.CurrentRec();
  if (rec == 0) t.Fail("no current row to edit");
  if (!t.dbf_.writable()) t.Fail("the file is read-only");
  if (!t.dbf_.TryLock(internal::kRecordLockBase + rec, true)) {
    t.Fail("record " + std::to_string(rec) + " locked by another process");
  }
  // Start from the row as it is on disk now: another process may have
  // changed it since this table read it.
  const size_t rl = t.layout_.record_length;
  std::string fresh(rl, '\0');
  uint64_t offset = t.layout_.header_length + uint64_t{rec - 1} * rl;
  if (t.dbf_.ReadAt(offset, fresh.data(), rl) == rl &&
      std::memcmp(fresh.data(), t.Record(rec), rl) != 0) {
    bool was_deleted = t.Deleted(rec);
    std::memcpy(t.MutableRecord(rec), fresh.data(), rl);
    t.deleted_ += t.Deleted(rec) - was_deleted;
    for (auto& tag : t.tags_) tag->Put(rec, t.Record(rec));
    t.PlaceOn(rec);
    if (t.Deleted(rec)) {
      t.dbf_.Unlock(internal::kRecordLockBase + rec);
      t.Fail("record " + std::to_string(rec) + " was deleted by another process");
    }
  }
  t.pending_.assign(t.Record(rec), rl);
  t.pending_memos_.clear();
  t.edit_rec_ = rec;
  t.mode_ = Mode::kEdit;
}

bool TableImpl::AppendedElsewhere() const {
  char h[4];
  dbf_.ReadAt(internal::kOffRecordCount, h, 4);
  return internal::GetUint32(h) != count_ ||
         dbf_.Size() < layout_.header_length + uint64_t{count_} * layout_.record_length;
}

bool Table::post() {
  TableImpl& t = *impl_;
  if (t.mode_ == Mode::kBrowse) return true;
  if (t.before_post_ && !t.before_post_(*this)) return false;
  const size_t rl = t.layout_.record_length;
  uint32_t rec = 0;
  {
    // An exclusive open already keeps every other writer out.
    std::optional<LockGuard> guard;
    if (!t.exclusive_) guard.emplace(t.dbf_, internal::kAppendLockOffset, true);
    for (const auto& [field, text] : t.pending_memos_) {
      const FieldInfo& info = t.layout_.fields[field];
      char* dst = t.pending_.data() + t.layout_.offsets[field];
      if (text.empty() || !t.memo_.valid()) {
        std::memset(dst, ' ', info.length);
        continue;
      }
      uint32_t block = t.memo_.Append(text);
      char buf[16];
      // dBase IV writers zero-pad the block number, dBase III ones blank-pad it.
      bool dbase4 = (t.layout_.version & 0x08) != 0;
      std::snprintf(buf, sizeof buf, dbase4 ? "%010u" : "%10u", block);
      std::memcpy(dst, buf, 10);
    }
    if (t.mode_ == Mode::kInsert) {
      if (!t.exclusive_ && t.AppendedElsewhere()) {
        // Another process appended: take its rows first.
        t.LoadAll(/*take_lock=*/false);
        t.RebuildKeys();
      }
      rec = t.count_ + 1;
      uint64_t offset = t.layout_.header_length + uint64_t{t.count_} * rl;
      std::string bytes = t.pending_;
      bytes.push_back(kEofMark);
      t.dbf_.WriteAt(offset, bytes.data(), bytes.size());
      // The record is in the file before the count includes it.
      t.data_.insert(t.data_.end(), t.pending_.begin(), t.pending_.end());
      ++t.count_;
      t.layout_.record_count = t.count_;
      t.WriteHeaderCount();
    } else {
      rec = t.edit_rec_;
      uint64_t offset = t.layout_.header_length + uint64_t{rec - 1} * rl;
      t.dbf_.WriteAt(offset, t.pending_.data(), rl);
      std::memcpy(t.MutableRecord(rec), t.pending_.data(), rl);
      t.dbf_.Unlock(internal::kRecordLockBase + rec);
    }
  }
  for (auto& tag : t.tags_) tag->Put(rec, t.Record(rec));
  t.mode_ = Mode::kBrowse;
  t.pending_.clear();
  t.pending_memos_.clear();
  t.edit_rec_ = 0;
  t.dirty_ = true;
  t.PlaceOn(rec);
  if (t.after_post_) t.after_post_(*this);
  return true;
}

void Table::cancel() {
  TableImpl& t = *impl_;
  if (t.mode_ == Mode::kEdit) {
    t.dbf_.Unlock(internal::kRecordLockBase + t.edit_rec_);
    t.PlaceOn(t.edit_rec_);
  }
  t.mode_ = Mode::kBrowse;
  t.pending_.clear();
  t.pending_memos_.clear();
  t.edit_rec_ = 0;
}

bool Table::remove() {
  TableImpl& t = *impl_;
  if (t.mode_ == Mode::kInsert) {
    cancel();
    return true;
  }
  uint32_t rec = t.mode_ == Mode::kEdit ? t.edit_rec_ : t.CurrentRec();
  if (rec == 0) t.Fail("no current row to delete");
  if (t.before_delete_ && !t.before_delete_(*this)) return false;
  if (t.mode_ != Mode::kEdit) {
    if (!t.dbf_.writable()) t.Fail("the file is read-only");
    if (!t.dbf_.TryLock(internal::kRecordLockBase + rec, true)) {
      t.Fail("record " + std::to_string(rec) + " locked by another process");
    }
  }
  uint64_t offset = t.layout_.header_length + uint64_t{rec - 1} * t.layout_.record_length;
  char flag = kDeletedFlag;
  try {
    t.dbf_.WriteAt(offset, &flag, 1);
  } catch (...) {
    t.dbf_.Unlock(internal::kRecordLockBase + rec);
    throw;
  }
  t.dbf_.Unlock(internal::kRecordLockBase + rec);
  if (!t.Deleted(rec)) ++t.deleted_;
  t.MutableRecord(rec)[0] = kDeletedFlag;
  t.mode_ = Mode::kBrowse;
  t.pending_.clear();
  t.pending_memos_.clear();
  t.edit_rec_ = 0;
  t.dirty_ = true;
  t.SeekVisible(static_cast<ptrdiff_t>(t.PosOf(rec)) + 1, +1);
  return true;
}

void Table::emptyTable() {
  TableImpl& t = *impl_;
  if (!t.exclusive_) t.Fail("emptying the table needs an exclusive open");
  cancel();
  {
    LockGuard guard(t.dbf_, internal::kAppendLockOffset, true);
    t.dbf_.Truncate(t.layout_.header_length);
    char eof = kEofMark;
    t.dbf_.WriteAt(t.layout_.header_length, &eof, 1);
    t.count_ = 0;
    t.layout_.record_count = 0;
    t.WriteHeaderCount();
    if (t.memo_.valid()) t.memo_.Reset(internal::UpperName(t.base_));
  }
  t.data_.clear();
  t.deleted_ = 0;
  t.RebuildKeys();
  t.dirty_ = true;
  t.pos_ = -1;
  t.eof_ = t.bof_ = true;
}

void Table::refresh() {
  TableImpl& t = *impl_;
  t.Settle();
  uint32_t rec = t.CurrentRec();
  t.LoadAll();
  t.RebuildKeys();
  if (rec && rec <= t.count_ && t.Visible(rec)) t.PlaceOn(rec);
  else first();
}

void Table::setBeforePost(Hook hook) { impl_->before_post_ = std::move(hook); }
void Table::setAfterPost(AfterHook hook) { impl_->after_post_ = std::move(hook); }
void Table::setBeforeDelete(Hook hook) { impl_->before_delete_ = std::move(hook); }

void Table::close() {
  TableImpl& t = *impl_;
  if (t.closed_) return;
  cancel();
  t.closed_ = true;
  struct Closer {
    TableImpl& t;
    ~Closer() {
      t.memo_ = internal::MemoFile();
      t.dbf_.Close();
    }
  } closer{t};
  if (t.dirty_ && !t.tags_.empty() && t.dbf_.writable()) t.WriteIndex();
}

}  // namespace kaslo::db
