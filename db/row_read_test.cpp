// The fast paths of reading and ordering: the row view against the field
// getters over the stored forms other programs write, the fixed-width
// number reader against the general one, and the radix-sorted tags against
// the order their keys compare in, deleted rows and ties included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "db/dbf_file.h"
#include "db/engine_test_util.h"
#include "db/hand_made_dbf.h"
#include "db/table.h"
#include "db/table_ops.h"

namespace kaslo::db {
namespace {

using testing::HandField;
using testing::HandTable;
using testing::TempDir;

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Same optional number, NaN equal to NaN.
bool SameNumber(const std::optional<double>& a, const std::optional<double>& b) {
  if (a.has_value() != b.has_value()) return false;
  if (!a) return true;
  if (std::isnan(*a) || std::isnan(*b)) return std::isnan(*a) && std::isnan(*b);
  return *a == *b && std::signbit(*a) == std::signbit(*b);
}

// A record of the hand table from the fields' texts, each padded or cut to
// its width as given (so that a test can put any bytes there).
std::string Record(const std::vector<HandField>& fields, const std::vector<std::string>& texts, char flag = ' ') {
  std::string r(1, flag);
  for (size_t i = 0; i < fields.size(); ++i) {
    std::string t = texts[i];
    t.resize(fields[i].length, ' ');
    r += t;
  }
  return r;
}

TEST(RowViewTest, GivesWhatTheGettersGiveForEveryStoredForm) {
  const std::vector<HandField> fields = {{"NOME", 'C', 6},   {"QTD", 'N', 4},  {"PRECO", 'N', 8, 2},
                                         {"PESO", 'F', 7, 3}, {"DATA", 'D', 8}, {"ATIVO", 'L', 1},
                                         {"LONGO", 'N', 20, 4}};
  HandTable table;
  table.fields = fields;
  // Right-aligned as this engine writes, and every other form seen in files.
  const std::vector<std::vector<std::string>> rows = {
      {"MARIA", "   7", "   12.50", " 1.500", "20240131", "T", "        1234567.1234"},
      {"  JOSE", "0007", "  -12.50", "-1.500", "20240230", "F", "  123456789012.3456"},
      {"", "", "", "", "", "", ""},
      {"A  B", "  -0", "   -0.00", "  -.5", "2024013", "?", "       -0.0000"},
      {"\xC1GUA", " 1.5", "12.50   ", "1,5", "abcdefgh", "y", "1234567890123456.1234"},
      {"X", "****", "    12.5", "  1e3", "00000000", "N", "               .5000"},
      {"Y", "  +3", "  1,50  ", "   .", "19991231", "s", "   -1.5"},
      {"Z", " 1 2", "     .50", "  -  ", "2024 131", " ", "9999999999999.9999  "},
      {"W", "  12", "00012.50", "0.000", "20000229", "t", "   99999999999.9999"},
  };
  for (const auto& row : rows) table.records.push_back(Record(fields, row));
  table.records.push_back(Record(fields, rows[0], '*'));
  TempDir dir;
  WriteBytes(dir.path() / "ODD.DBF", table.Bytes());
  auto t = Database(dir.path()).open("ODD.DBF");
  std::vector<Column> columns;
  for (size_t i = 0; i < fields.size(); ++i) columns.push_back(t->column(i));
  EXPECT_EQ(t->column("preco").index, 2u);
  EXPECT_EQ(t->column("preco").decimals, 2u);
  EXPECT_NE(testing::ErrorOf([&] { t->column("NADA"); }), "");

  size_t seen = 0;
  for (t->first(); !t->eof(); t->next(), ++seen) {
    const RowView row = t->row();
    const RowView at = t->rowAt(t->recNo());
    EXPECT_EQ(row.recNo(), t->recNo());
    for (const Column& c : columns) {
      SCOPED_TRACE("record " + std::to_string(t->recNo()) + " field " + t->fields()[c.index].name);
      EXPECT_EQ(row.text(c), t->getString(c.index));
      EXPECT_EQ(at.text(c), t->getString(c.index));
      EXPECT_EQ(t->getStringAt(t->recNo(), c.index), t->getString(c.index));
      EXPECT_EQ(row.blank(c), t->isBlank(c.index));
      EXPECT_TRUE(SameNumber(row.number(c), t->getNumber(c.index)));
      EXPECT_EQ(row.asNumber(c), t->asNumber(c.index));
      EXPECT_EQ(row.date(c), t->getDate(c.index));
      if (c.type == FieldType::kLogical) {
        EXPECT_EQ(row.logical(c), t->getLogical(c.index));
      }
    }
  }
  EXPECT_EQ(seen, rows.size());
  EXPECT_NE(testing::ErrorOf([&] { t->rowAt(0); }), "");
  EXPECT_NE(testing::ErrorOf([&] { t->rowAt(static_cast<uint32_t>(rows.size() + 2)); }), "");
}

TEST(RowViewTest, PendingRowsAndMemos) {
  TempDir dir;
  Database db(dir.path());
  const FieldDef fields[] = {Num("CODIGO", 6), Char("NOME", 10), Memo("OBS")};
  db.create("NOTAS", fields);
  auto t = db.open("NOTAS");
  const Column code = t->column("CODIGO"), name = t->column("NOME"), obs = t->column("OBS");
  t->append();
  t->setNumber(code, 42);
  t->setString(name, "CAF\xC9");
  t->setString(obs, "linha um\r\nlinha dois  ");
  // The row being inserted, its memo not yet written.
  EXPECT_EQ(t->row().recNo(), 0u);
  EXPECT_EQ(t->row().asNumber(code), 42);
  EXPECT_EQ(t->row().text(name), "CAF\xC9");
  EXPECT_EQ(t->row().memo(obs), "linha um\r\nlinha dois  ");
  ASSERT_TRUE(t->post());
  const RowView stored = t->row();
  EXPECT_EQ(stored.recNo(), 1u);
  EXPECT_EQ(stored.memo(obs), "linha um\r\nlinha dois  ");
  EXPECT_EQ(t->getString(obs), "linha um\r\nlinha dois");
  t->append();
  ASSERT_TRUE(t->post());
  EXPECT_EQ(t->row().memo(obs), "");
  EXPECT_TRUE(t->row().blank(code));
}

TEST(StoredNumbers, FixedWidthReaderAgreesWithTheGeneralOne) {
  // Random stored texts over the characters numbers are made of, at every
  // width and count of decimals; the right-aligned ones take the fast path.
  std::mt19937 random(7);
  const std::string alphabet = "   --0123456789012345678901234567890123456789..,*+e";
  size_t fast = 0;
  for (int n = 0; n < 200000; ++n) {
    const unsigned decimals = random() % 5;
    const size_t width = 1 + random() % 20;
    std::string raw(width, ' ');
    if (n % 2) {
      for (char& c : raw) c = alphabet[random() % alphabet.size()];
    } else {
      // A right-aligned number, as written, with a blemish now and then.
      const long long whole = static_cast<long long>(random() % 1000000000) - 300000000;
      std::string text = std::to_string(whole / static_cast<long long>(1 + random() % 100000));
      if (decimals) {
        text += '.';
        for (unsigned d = 0; d < decimals; ++d) text += static_cast<char>('0' + random() % 10);
      }
      if (random() % 8 == 0) text[random() % text.size()] = alphabet[random() % alphabet.size()];
      if (text.size() > width) continue;
      raw.replace(width - text.size(), text.size(), text);
      ++fast;
    }
    const auto general = internal::ParseNumber(raw);
    const auto fixed = internal::ParseFieldNumber(raw, decimals);
    ASSERT_TRUE(SameNumber(general, fixed)) << "'" << raw << "' with " << decimals << " decimals";
  }
  EXPECT_GT(fast, 50000u);
}

// ---- tag order

// The order a numeric key takes in a .MDX: negatives, then positives below
// 0.1, then zero, then the rest (see the engine's keys).
int Rank(double x) { return x < 0 ? 0 : (x > 0 && x < 0.1) ? 1 : 2; }

struct Row {
  std::string name;  // Latin-1
  double price;
};

// Record numbers of the live rows in key order, ties by record number, as
// computed here from the values.
std::vector<uint32_t> ExpectedOrder(const std::vector<Row>& rows, const std::vector<bool>& deleted, bool by_name) {
  std::vector<uint32_t> recs;
  for (uint32_t r = 1; r <= rows.size(); ++r)
    if (!deleted[r - 1]) recs.push_back(r);
  std::stable_sort(recs.begin(), recs.end(), [&](uint32_t a, uint32_t b) {
    const Row& x = rows[a - 1];
    const Row& y = rows[b - 1];
    if (by_name) {
      std::string kx = x.name, ky = y.name;
      kx.resize(14, ' ');
      ky.resize(14, ' ');
      return std::lexicographical_compare(kx.begin(), kx.end(), ky.begin(), ky.end(),
                                          [](char p, char q) { return static_cast<unsigned char>(p) < static_cast<unsigned char>(q); });
    }
    const double px = x.price == 0 ? 0 : x.price, py = y.price == 0 ? 0 : y.price;
    if (Rank(px) != Rank(py)) return Rank(px) < Rank(py);
    return px < py;
  });
  return recs;
}

std::vector<uint32_t> Walk(Table& t, std::string_view tag) {
  t.setTag(tag);
  std::vector<uint32_t> recs;
  for (t.first(); !t.eof(); t.next()) recs.push_back(t.recNo());
  return recs;
}

// Rows of many shared starts, duplicates, Latin-1 letters above 0x7F,
// blanks and short names; prices across the corners of the key order.
std::vector<Row> RandomRows(size_t count, unsigned seed) {
  const std::vector<std::string> starts = {"BISCOITO ", "BISCOITO INT", "SUCO ", "\xC1GUA ", "\xE1gua ", "", " ", "Z"};
  const std::vector<double> prices = {0, -0.0, 0.05, 0.1, 0.099, -0.05, -1, -1000.5, 1, 2.5, 99999.999, 0.001};
  std::mt19937 random(seed);
  std::vector<Row> rows;
  for (size_t i = 0; i < count; ++i) {
    Row row;
    row.name = starts[random() % starts.size()];
    if (random() % 3) row.name += std::to_string(random() % 50);
    if (random() % 5 == 0) row.name += "\xE9";
    row.price = random() % 4 ? prices[random() % prices.size()] : static_cast<double>(random() % 200000) / 1000 - 50;
    // The value the field gives back: what its three decimals hold.
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", row.price);
    row.price = std::strtod(text, nullptr);
    rows.push_back(row);
  }
  return rows;
}

void WriteRows(Table& t, const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    t.append();
    t.setString("NOME", row.name);
    t.setNumber("PRECO", row.price);
    ASSERT_TRUE(t.post());
  }
}

class TagOrderTest : public ::testing::Test {
 protected:
  void Create(const std::vector<Row>& rows) {
    const FieldDef fields[] = {Char("NOME", 14), Num("PRECO", 10, 3)};
    db_.create("ITENS", fields);
    auto t = db_.open("ITENS", {.tag = "", .exclusive = true});
    WriteRows(*t, rows);
    const TagDef tags[] = {{"NOME", "nome"}, {"PRECO", "preco"}};
    AddTags(*t, tags);
  }
  TempDir dir_;
  Database db_{dir_.path()};
};

TEST_F(TagOrderTest, KeysSortAsTheyCompareInAnyStoredOrder) {
  const std::vector<Row> rows = RandomRows(5000, 11);
  Create(rows);
  auto t = db_.open("ITENS");
  std::vector<bool> deleted(rows.size(), false);
  EXPECT_EQ(Walk(*t, "NOME"), ExpectedOrder(rows, deleted, true));
  EXPECT_EQ(Walk(*t, "PRECO"), ExpectedOrder(rows, deleted, false));

  // Deleted here and in another process: the walks skip them.
  t->setTag("");
  for (uint32_t r : {1u, 77u, 4999u}) {
    ASSERT_TRUE(t->go(r));
    ASSERT_TRUE(t->remove());
    deleted[r - 1] = true;
  }
  {
    auto other = db_.open("ITENS");
    ASSERT_TRUE(other->go(500));
    ASSERT_TRUE(other->remove());
    deleted[499] = true;
  }
  t->refresh();
  EXPECT_EQ(Walk(*t, "NOME"), ExpectedOrder(rows, deleted, true));
  EXPECT_EQ(Walk(*t, "PRECO"), ExpectedOrder(rows, deleted, false));
  EXPECT_EQ(t->recordCount(), rows.size() - 4);
}

TEST_F(TagOrderTest, RowsAlreadyInKeyOrderAndAllEqualKeys) {
  std::vector<Row> rows = RandomRows(3000, 12);
  std::vector<bool> deleted(rows.size() + 400, false);
  // In price order (ties in record order), then a run of one key.
  std::vector<uint32_t> by_price = ExpectedOrder(rows, std::vector<bool>(rows.size(), false), false);
  std::vector<Row> sorted;
  for (uint32_t r : by_price) sorted.push_back(rows[r - 1]);
  for (int i = 0; i < 400; ++i) sorted.push_back({"SAME", 100000});
  Create(sorted);
  auto t = db_.open("ITENS");
  EXPECT_EQ(Walk(*t, "PRECO"), ExpectedOrder(sorted, deleted, false));
  EXPECT_EQ(Walk(*t, "NOME"), ExpectedOrder(sorted, deleted, true));
  // Searches land on the first of equal keys.
  ASSERT_TRUE(t->findKey("SAME"));
  EXPECT_EQ(t->recNo(), 3001u);
  t->setTag("PRECO");
  ASSERT_TRUE(t->findKey(0.05));
  EXPECT_EQ(t->asNumber("PRECO"), 0.05);
  ASSERT_TRUE(t->findKey(0.0));
  EXPECT_EQ(t->asNumber("PRECO"), 0);
}

TEST_F(TagOrderTest, PostsAfterTheSortKeepTheOrder) {
  std::vector<Row> rows = RandomRows(2000, 13);
  Create(rows);
  auto t = db_.open("ITENS");
  Walk(*t, "NOME");
  Walk(*t, "PRECO");  // both tags built
  const std::vector<Row> more = RandomRows(300, 14);
  WriteRows(*t, more);
  rows.insert(rows.end(), more.begin(), more.end());
  t->setTag("");
  ASSERT_TRUE(t->go(10));
  t->edit();
  t->setNumber("PRECO", -0.0);
  t->setString("NOME", "\xC1GUA 1");
  ASSERT_TRUE(t->post());
  rows[9] = {"\xC1GUA 1", 0};
  const std::vector<bool> deleted(rows.size(), false);
  EXPECT_EQ(Walk(*t, "NOME"), ExpectedOrder(rows, deleted, true));
  EXPECT_EQ(Walk(*t, "PRECO"), ExpectedOrder(rows, deleted, false));
}

}  // namespace
}  // namespace kaslo::db
