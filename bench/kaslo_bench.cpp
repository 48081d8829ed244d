// kaslo-bench: whole-process measurements over one table file, so that the
// engine can be timed side by side with other programs reading the same
// file (pgdbf, cat). Each subcommand does one job, prints a checksum of what
// it touched (so that nothing is optimised away) and writes the time of its
// phases to stderr.
//
//   kaslo-bench read FILE        read and convert every field of every row
//   kaslo-bench index FILE       read, then build the table's tags in memory
//   kaslo-bench seek FILE N      N random exact searches on tag Um
//   kaslo-bench append FILE N    N appends with their keys, into a copy
//   kaslo-bench shuffle FILE DIR the table with its records in a random
//                                order (and its tags), written into DIR
//
// The copies go to a fresh folder under the system's temporary directory and
// are removed at the end; FILE itself is only read.
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/files.h"
#include "db/database.h"
#include "db/dbf_file.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_ops.h"
#include "db/tables/ycopro.h"

namespace fs = std::filesystem;

namespace kaslo::bench {

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Phase(const char* name, Clock::time_point start) {
  std::fprintf(stderr, "%-8s %10.2f ms\n", name, MillisecondsSince(start));
}

// FNV-1a over everything read, plus sums, so that each conversion counts.
class Checksum {
 public:
  // A text counts by its length and its first and last bytes: enough to
  // keep the conversion, without timing a hash of every byte.
  void Add(std::string_view bytes) {
    uint64_t v = bytes.size();
    if (!bytes.empty()) v = v << 16 | static_cast<unsigned char>(bytes.front()) << 8 | static_cast<unsigned char>(bytes.back());
    hash_ = (hash_ ^ v) * 0x100000001B3ull;
  }
  void Add(double value) { sum_ += value; }
  void Add(int64_t value) { hash_ = (hash_ ^ static_cast<uint64_t>(value)) * 0x100000001B3ull; }
  void Print(const char* what, size_t count) const {
    std::printf("%s %zu checksum %016llx sum %.3f\n", what, count, static_cast<unsigned long long>(hash_), sum_);
  }

 private:
  uint64_t hash_ = 0xCBF29CE484222325ull;
  double sum_ = 0;
};

// The table's folder and name as the engine opens it.
struct TableFile {
  fs::path dir;
  std::string name;  // file name with its extension
};

TableFile Locate(const fs::path& file) {
  if (!fs::is_regular_file(file)) throw db::Error(file.string() + ": no such table file");
  fs::path dir = file.parent_path();
  if (dir.empty()) dir = ".";
  return {dir, file.filename().string()};
}

// The tags to build: those of the table set when the file is one of its
// tables, otherwise the product tags.
std::span<const db::TagDef> TagsFor(const TableFile& table) {
  if (const db::TableDef* def = db::FindTable(fs::path(table.name).stem().string()); def && !def->tags.empty())
    return def->tags;
  return ycopro::kTags;
}

// A fresh folder for copies, removed when the scratch goes out of scope.
class Scratch {
 public:
  Scratch() {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("kaslo_bench_" + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const fs::path& dir() const { return dir_; }

  // Copies the table with its memo and index files (whatever the case of
  // their extensions); with_index false leaves the .MDX behind and clears
  // the header's index flag, so that the copy opens without tags.
  void CopyTable(const TableFile& table, bool with_index) const {
    const std::string stem = fs::path(table.name).stem().string();
    for (const auto& entry : fs::directory_iterator(table.dir)) {
      const fs::path& p = entry.path();
      if (!entry.is_regular_file() || !SameText(p.stem().string(), stem)) continue;
      const std::string ext = p.extension().string();
      const bool wanted = SameText(ext, ".dbf") || SameText(ext, ".dbt") || (with_index && SameText(ext, ".mdx"));
      if (wanted && !CopiaArquivo(p, dir_ / p.filename())) throw db::Error(p.string() + ": cannot be copied");
    }
    if (!with_index && !db::LimpaIndiceDbf(dir_ / table.name))
      throw db::Error(table.name + ": cannot clear the index flag of the copy");
  }

 private:
  static bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
  }
  fs::path dir_;
};

// Reads every live row and converts each field by its type.
size_t ReadAll(db::Table& table, Checksum& sum) {
  std::vector<db::Column> columns;
  for (size_t i = 0; i < table.fields().size(); ++i) columns.push_back(table.column(i));
  size_t rows = 0;
  for (table.first(); !table.eof(); table.next()) {
    ++rows;
    const db::RowView row = table.row();
    for (const db::Column& c : columns) {
      switch (c.type) {
        case db::FieldType::kNumeric:
        case db::FieldType::kFloat:
          sum.Add(row.asNumber(c));
          break;
        case db::FieldType::kDate:
          if (const auto d = row.date(c)) sum.Add(static_cast<int64_t>(std::chrono::sys_days(*d).time_since_epoch().count()));
          break;
        case db::FieldType::kLogical:
          sum.Add(static_cast<int64_t>(row.logical(c).value_or(false)));
          break;
        case db::FieldType::kCharacter:
          sum.Add(row.text(c));
          break;
        case db::FieldType::kMemo:
          sum.Add(row.memo(c));
          break;
      }
    }
  }
  return rows;
}

int Read(const fs::path& file) {
  const TableFile table = Locate(file);
  const auto start = Clock::now();
  db::Database database(table.dir);
  auto t = database.open(table.name);
  Phase("open", start);
  const auto read_start = Clock::now();
  Checksum sum;
  const size_t rows = ReadAll(*t, sum);
  Phase("read", read_start);
  sum.Print("rows", rows);
  Phase("total", start);
  return 0;
}

// Every row is reachable through each tag.
void WalkTags(db::Table& t, std::span<const db::TagDef> tags, size_t rows) {
  for (const db::TagDef& tag : tags) {
    t.setTag(tag.name);
    size_t through_tag = 0;
    for (t.first(); !t.eof(); t.next()) ++through_tag;
    if (through_tag != rows) throw db::Error(std::string(tag.name) + ": tag misses rows");
  }
}

// The tags are built in memory from the rows, as every open of an indexed
// table does when a tag is first used; the file is only read. A table
// without an index gets its tags on a copy, .MDX written included.
int Index(const fs::path& file) {
  const TableFile table = Locate(file);
  const auto start = Clock::now();
  db::Database database(table.dir);
  auto t = database.open(table.name);
  std::optional<Scratch> scratch;
  if (t->tagNames().empty()) {
    t.reset();
    scratch.emplace();
    scratch->CopyTable(table, false);
    Phase("copy", start);
    t = db::Database(scratch->dir()).open(table.name, {.tag = "", .exclusive = true});
  }
  Phase("open", start);
  const auto read_start = Clock::now();
  Checksum sum;
  const size_t rows = ReadAll(*t, sum);
  Phase("read", read_start);
  const auto tags_start = Clock::now();
  if (scratch) db::AddTags(*t, TagsFor(table));
  WalkTags(*t, TagsFor(table), rows);
  Phase("tags", tags_start);
  sum.Print("rows", rows);
  Phase("total", start);
  return 0;
}

size_t Count(const char* text) {
  char* end = nullptr;
  const unsigned long long n = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0' || n == 0) throw db::Error(std::string(text) + ": not a positive count");
  return static_cast<size_t>(n);
}

int Seek(const fs::path& file, size_t n) {
  const TableFile table = Locate(file);
  const auto start = Clock::now();
  db::Database database(table.dir);
  auto t = database.open(table.name, {.tag = "Um"});
  Phase("open", start);
  std::vector<double> keys;
  for (t->first(); !t->eof(); t->next()) keys.push_back(t->asNumber(ycopro::PRO_PLU));
  if (keys.empty()) throw db::Error(table.name + ": no rows to seek");
  // One search in eight is for a code that is not there (between two codes
  // or past the last one).
  std::mt19937_64 random(20071231);
  std::uniform_int_distribution<size_t> pick(0, keys.size() - 1);
  const auto seek_start = Clock::now();
  size_t found = 0;
  Checksum sum;
  for (size_t i = 0; i < n; ++i) {
    const double key = keys[pick(random)] + (i % 8 == 7 ? 0.5 : 0);
    if (t->findKey(key)) {
      ++found;
      sum.Add(static_cast<int64_t>(t->recNo()));
    }
  }
  const double ms = MillisecondsSince(seek_start);
  std::fprintf(stderr, "seek     %10.2f ms (%.3f us each)\n", ms, ms * 1000 / static_cast<double>(n));
  sum.Print("found", found);
  Phase("total", start);
  return 0;
}

int Append(const fs::path& file, size_t n) {
  const TableFile table = Locate(file);
  Scratch scratch;
  const auto start = Clock::now();
  scratch.CopyTable(table, true);
  Phase("copy", start);
  db::Database database(scratch.dir());
  const auto open_start = Clock::now();
  auto t = database.open(table.name, {.tag = "Um"});
  Phase("open", open_start);
  double next_code = 1;
  t->last();
  if (!t->eof()) next_code = t->asNumber(ycopro::PRO_PLU) + 1;
  const size_t before = t->recordCount();
  const auto append_start = Clock::now();
  for (size_t i = 0; i < n; ++i) {
    t->append();
    t->setNumber(ycopro::PRO_PLU, next_code + static_cast<double>(i));
    t->setString(ycopro::PRO_DESCR, "PRODUTO DE TESTE " + std::to_string(i));
    t->setNumber(ycopro::PRO_PCOVEN, 1.5 + static_cast<double>(i % 1000));
    t->post();
  }
  const double ms = MillisecondsSince(append_start);
  std::fprintf(stderr, "append   %10.2f ms (%.3f us each)\n", ms, ms * 1000 / static_cast<double>(n));
  const auto close_start = Clock::now();
  const size_t after = t->recordCount();
  t->close();
  Phase("close", close_start);
  if (after != before + n) throw db::Error("appended rows missing");
  std::printf("rows %zu appended %zu\n", after, n);
  Phase("total", start);
  return 0;
}

// A store's products are not stored in code order: codes are EAN numbers
// entered over the years. The same rows in a random order (a fixed seed, so
// that runs compare) show what the tags cost there.
int Shuffle(const fs::path& file, const fs::path& out_dir) {
  const TableFile table = Locate(file);
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const db::internal::DbfLayout layout = db::internal::ParseDbfHeader(bytes, table.name, bytes.size());
  const size_t length = layout.record_length;
  const size_t count = std::min<size_t>(layout.record_count, (bytes.size() - layout.header_length) / length);
  std::vector<size_t> order(count);
  for (size_t i = 0; i < count; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937_64(19991231));
  fs::create_directories(out_dir);
  std::string header = bytes.substr(0, layout.header_length);
  header[db::internal::kOffMdxFlag] = 0;  // the tags are built below
  db::internal::PutUint32(header.data() + db::internal::kOffRecordCount, static_cast<uint32_t>(count));
  std::ofstream out(out_dir / table.name, std::ios::binary | std::ios::trunc);
  out << header;
  for (size_t i : order) out.write(bytes.data() + layout.header_length + i * length, static_cast<std::streamsize>(length));
  out << db::internal::kEofMark;
  out.close();
  if (!out) throw db::Error((out_dir / table.name).string() + ": cannot be written");
  const std::string stem = fs::path(table.name).stem().string();
  for (const char* memo : {".DBT", ".dbt"})
    if (fs::exists(table.dir / (stem + memo))) fs::copy_file(table.dir / (stem + memo), out_dir / (stem + memo), fs::copy_options::overwrite_existing);
  auto t = db::Database(out_dir).open(table.name, {.tag = "", .exclusive = true});
  db::AddTags(*t, TagsFor(table));
  t->close();
  std::printf("rows %zu shuffled into %s\n", count, (out_dir / table.name).string().c_str());
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: kaslo-bench read FILE\n"
               "       kaslo-bench index FILE\n"
               "       kaslo-bench seek FILE N\n"
               "       kaslo-bench append FILE N\n"
               "       kaslo-bench shuffle FILE DIR\n");
  return 2;
}

}  // namespace

int Main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  try {
    if (args.size() == 2 && args[0] == "read") return Read(argv[2]);
    if (args.size() == 2 && args[0] == "index") return Index(argv[2]);
    if (args.size() == 3 && args[0] == "seek") return Seek(argv[2], Count(argv[3]));
    if (args.size() == 3 && args[0] == "append") return Append(argv[2], Count(argv[3]));
    if (args.size() == 3 && args[0] == "shuffle") return Shuffle(argv[2], argv[3]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kaslo-bench: %s\n", e.what());
    return 1;
  }
  return Usage();
}

}  // namespace kaslo::bench

int main(int argc, char** argv) { return kaslo::bench::Main(argc, argv); }
