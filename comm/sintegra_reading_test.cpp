// The SINTEGRA file of a reading, from received files written byte by byte
// into a freshly installed data directory, compared line by line.
#include "comm/sintegra_reading.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>

#include "comm/sintegra_check.h"
#include "comm/sintegra_test_store.h"
#include "comm/terminal_bytes_test_support.h"
#include "comm/sintegra_header.h"
#include "common/clock.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycotrb.h"
#include "db/temp_data_dir.h"

namespace kaslo::comm {
namespace {

using std::chrono::year_month_day;
using namespace std::chrono_literals;

using namespace comm::testing;

// One product record of the terminal's memory.
std::string ProductRecord(std::string_view plu12, std::string_view description, std::string_view tax2,
                          std::string_view quantity12, uint32_t value_int, uint16_t value_frac, uint32_t base_int,
                          uint16_t base_frac, size_t size = 80) {
  std::string r = Bcd(plu12);
  std::string d(description);
  d.resize(20, '\0');
  r += d;
  r += Bcd("00001250");  // price
  r += Bcd(tax2);
  r += Bcd("01");        // department
  r += std::string(6, '\0');
  r += Bcd(quantity12) + Le(value_int, 4) + Le(value_frac, 2) + Le(base_int, 4) + Le(base_frac, 2);
  r += std::string(18, '\x11');  // second group of accumulators: not read
  r += Bcd("00000000") + "\x01" "0";
  r.resize(size, '\0');
  return r;
}

struct Reduction {
  std::string ddmmyy = "031226";
  std::string serial = "BE0123456789012";
  std::string order = "0001";
  std::string first = "000100";
  std::string last = "000250";
  std::string reductions = "0042";
  std::string restarts = "0003";
  std::string gross = "00000000123456";
  std::string grand = "000000000009876543";
  uint16_t iss_bits = 0;
  std::string cancellations = std::string(14, '0');
  std::string discounts = std::string(14, '0');
  std::array<std::string, 16> rates;
  std::array<std::string, 16> totals;
  std::string exempt = std::string(14, '0');
  std::string not_taxed = std::string(14, '0');
  std::string substitution = std::string(14, '0');

  Reduction() {
    rates.fill("0000");
    totals.fill(std::string(14, '0'));
  }

  std::string Bytes() const {
    std::string r = Bcd(ddmmyy) + Pad(serial, 15) + BcdLowFirst(order) + Bcd(first) + Bcd(last) +
                    BcdLowFirst(reductions) + BcdLowFirst(restarts) + Bcd(gross) + Bcd(grand);
    r.push_back(static_cast<char>(iss_bits >> 8));
    r.push_back(static_cast<char>(iss_bits & 0xFF));
    r += Bcd(cancellations) + Bcd(discounts);
    for (const auto& rate : rates) r += Bcd(rate);
    for (const auto& t : totals) r += Bcd(t);
    r += Bcd(exempt) + Bcd(not_taxed) + Bcd(substitution);
    EXPECT_EQ(r.size(), 227u);
    return r;
  }
};

class SintegraReadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kaslo::SetFixedNow(kaslo::DateTime{2026y / 12 / 8d, 10, 0, 0});
    auto prm = comm::testing::EditStoreIdentity(db());
    prm->setString(ycoprm::PRM_COMPLE, "LOJA 2");
    prm->setString(ycoprm::PRM_BAIRRO, "CENTRO");
    prm->setString(ycoprm::PRM_CONTAT, "MARIA SOUZA");
    prm->setString(ycoprm::Q40_DIGCON, "N");
    ASSERT_TRUE(prm->post());
  }

  void TearDown() override {
    kaslo::SetFixedNow(std::nullopt);
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with("r60m")) {
        EXPECT_EQ(testing::CheckSintegraFile(entry.path()), std::vector<std::string>{}) << name;
      }
    }
  }

  const db::Database& db() const { return dir_.db(); }
  std::filesystem::path Path(const std::string& name) const { return dir_.path() / name; }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::vector<std::string> Lines(const std::string& name) const { return testing::ReadCrLfLines(Path(name)); }

  void AddTax(int code, double percent) const {
    auto t = db().open(ycotrb::kTable);
    t->append();
    t->setNumber(ycotrb::TRB_CODIGO, code);
    t->setString(ycotrb::TRB_DESCR, "ICMS");
    t->setNumber(ycotrb::TRB_PERCEN, percent);
    ASSERT_TRUE(t->post());
  }
  void AddProduct(double plu, int tax, int unit, int trb0, int trb1) const {
    auto t = db().open(ycopro::kTable);
    t->append();
    t->setNumber(ycopro::PRO_PLU, plu);
    t->setString(ycopro::PRO_DESCR, "DESCRICAO DA TABELA");
    t->setNumber(ycopro::PRO_TRIBUT, tax);
    t->setNumber(ycopro::PRO_UNMED, unit);
    t->setNumber(ycopro::PRO_TRB0, trb0);
    t->setNumber(ycopro::PRO_TRB1, trb1);
    ASSERT_TRUE(t->post());
  }
  // Identity whose 22nd character is the model digit.
  void WriteIdentity(int n, char model) const {
    std::string id = "QZV7300 FW 01.02.03 N" + std::string(1, model) + "XYZ";
    Write("Sid" + std::to_string(n) + ".rec", id + "\r\n");
  }

  static std::string Record10(const std::string& first, const std::string& last) {
    return "10" "12345678000195" "110042490114  " + Pad("MERCADO EXEMPLO LTDA", 35) + Pad("SAO PAULO", 30) +
           "SP" "1155732100" + first + last + "331";
  }
  static std::string Record11() {
    return "11" + Pad("RUA DAS FLORES", 34) + "00120" + Pad("LOJA 2", 22) + Pad("CENTRO", 15) + "04117091" +
           Pad("MARIA SOUZA", 28) + "001155732100";
  }
  static std::string Record90(const std::string& type, const std::string& count8) {
    return "90" "12345678000195" "110042490114  " + type + count8 + Blanks(85) + "3";
  }

  db::testing::TempDataDir dir_;
};

TEST_F(SintegraReadingTest, ReadingBecomesTheWholeFileAndItsInputsGo) {
  AddTax(1, 18.0);
  AddProduct(123, 1, 1, 1, 2);  // KG, IPI digits 1 and 2
  WriteIdentity(1, '3');
  Write("SProds1.rec",
        ProductRecord("000000000123", "ARROZ 5KG", "01", "000000002500", 1500, 50, 1500, 50) +
            ProductRecord("000000000456", "FEIJAO", "02", "000000000000", 10, 0, 10, 0) +  // nothing sold
            ProductRecord("000000000789", "SABAO", "15", "000000000001", 7, 5, 0, 0));     // not in the tables
  Reduction r;
  r.rates[0] = "1800";
  r.totals[0] = "00000000010000";
  r.rates[1] = "0500";
  r.totals[1] = "00000000002000";  // totalizer 2 is ISS
  r.iss_bits = 0x4000;
  r.rates[2] = "1200";              // total zero: no line
  r.exempt = "00000000000300";
  r.substitution = "00000000000400";
  r.cancellations = "00000000000050";
  r.discounts = "00000000000025";
  Write("Sr60m1.rec", r.Bytes());

  ASSERT_TRUE(BuildSintegraFromReading(db(), 1, kJobSintegraCurrentMonth, 2026y / 12 / 8d));

  const std::string serial = Pad("BE0123456789012", 20);
  const std::vector<std::string> expected = {
      Record10("20261201", "20261231"),
      Record11(),
      "60M" "20261203" + serial + "001" "2D" "000100" "000250" "000042" "003" "0000000000123456"
      "0000000009876543" + Blanks(37),
      "60A" "20261203" + serial + "1800" "000000010000" + Blanks(79),
      "60A" "20261203" + serial + "ISS " "000000002000" + Blanks(79),
      "60A" "20261203" + serial + "I   " "000000000300" + Blanks(79),
      "60A" "20261203" + serial + "F   " "000000000400" + Blanks(79),
      "60A" "20261203" + serial + "CANC" "000000000050" + Blanks(79),
      "60A" "20261203" + serial + "DESC" "000000000025" + Blanks(79),
      "60R" "122026" "00000000000123" "0000000002500" "0000000000150050" "0000000000150050" "0001" + Blanks(54),
      "60R" "122026" "00000000000789" "0000000000001" "0000000000000750" "0000000000000000" "0015" + Blanks(54),
      "75" "20261201" "20261231" "00000000000123" + Blanks(8) + Pad("ARROZ 5KG", 53) + "KG    " "12000" "1800"
      "0000" "00000000000000",
      "75" "20261201" "20261231" "00000000000789" + Blanks(8) + Pad("SABAO", 53) + "UN    " "00000" "0000"
      "0000" "00000000000000",
      Record90("60", "00000009"),
      Record90("75", "00000002"),
      Record90("99", "00000016"),
  };
  EXPECT_EQ(Lines("r60m1.txt"), expected);
  EXPECT_FALSE(std::filesystem::exists(Path("SProds1.rec")));
  EXPECT_FALSE(std::filesystem::exists(Path("Sr60m1.rec")));
  EXPECT_TRUE(std::filesystem::exists(Path("Sid1.rec")));
}

TEST_F(SintegraReadingTest, TerminalWithoutReductionsStillGetsHeaderProductsAndTotals) {
  WriteIdentity(2, '3');
  Write("SProds2.rec", ProductRecord("000000000042", "LEITE", "16", "000000001000", 4, 99, 0, 0));
  Write("Sr60m2.rec", "");
  ASSERT_TRUE(BuildSintegraFromReading(db(), 2, kJobSintegraCurrentMonth, 2026y / 12 / 8d));
  const std::vector<std::string> expected = {
      Record10("20261201", "20261231"),
      Record11(),
      "60R" "122026" "00000000000042" "0000000001000" "0000000000000499" "0000000000000000" "0016" + Blanks(54),
      "75" "20261201" "20261231" "00000000000042" + Blanks(8) + Pad("LEITE", 53) + "UN    " "00000" "0000"
      "0000" "00000000000000",
      Record90("60", "00000001"),
      Record90("75", "00000001"),
      Record90("99", "00000007"),
  };
  EXPECT_EQ(Lines("r60m2.txt"), expected);
}

TEST_F(SintegraReadingTest, ModelFiveSendsLongRecordsAndTheCheckDigitFindsTheProduct) {
  {
    auto prm = db().open(ycoprm::kTable);
    prm->first();
    prm->edit();
    prm->setString(ycoprm::Q40_DIGCON, "S");
    ASSERT_TRUE(prm->post());
  }
  AddTax(2, 7.0);
  AddProduct(7891000000014, 2, 3, 0, 0);  // EAN-13 of the base 789100000001, LT
  WriteIdentity(3, '5');
  Write("SProds3.rec", ProductRecord("789100000001", "OLEO", "02", "000000000003", 30, 0, 30, 0, 86) +
                           ProductRecord("000000000005", "PAO", "15", "000000000004", 1, 0, 0, 0, 86));
  Write("Sr60m3.rec", "");
  ASSERT_TRUE(BuildSintegraFromReading(db(), 3, kJobSintegraCurrentMonth, 2026y / 12 / 8d));
  const auto lines = Lines("r60m3.txt");
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[2], "60R" "122026" "00789100000001" "0000000000003" "0000000000003000" "0000000000003000"
                      "0002" + Blanks(54));
  EXPECT_EQ(lines[3], "60R" "122026" "00000000000005" "0000000000004" "0000000000000100" "0000000000000000"
                      "0015" + Blanks(54));
  EXPECT_EQ(lines[4], "75" "20261201" "20261231" "00789100000001" + Blanks(8) + Pad("OLEO", 53) +
                          "LT    " "00000" "0700" "0000" "00000000000000");
}

TEST_F(SintegraReadingTest, ModelFourSendsLongRecords) {
  AddTax(1, 18.0);
  AddProduct(123, 1, 1, 0, 0);
  WriteIdentity(8, '4');
  Write("SProds8.rec", ProductRecord("000000000123", "ARROZ 5KG", "01", "000000002500", 1500, 50, 1500, 50, 86) +
                           ProductRecord("000000000005", "PAO", "15", "000000000004", 1, 0, 0, 0, 86));
  Write("Sr60m8.rec", "");
  ASSERT_TRUE(BuildSintegraFromReading(db(), 8, kJobSintegraCurrentMonth, 2026y / 12 / 8d));
  const auto lines = Lines("r60m8.txt");
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[2], "60R" "122026" "00000000000123" "0000000002500" "0000000000150050" "0000000000150050"
                      "0001" + Blanks(54));
  EXPECT_EQ(lines[3], "60R" "122026" "00000000000005" "0000000000004" "0000000000000100" "0000000000000000"
                      "0015" + Blanks(54));
}

TEST_F(SintegraReadingTest, AProductFileOfTornRecordsIsRefusedAndEveryFileStays) {
  // 86-byte records of a fourth-model terminal read as the older 80-byte
  // ones, and 80-byte records where 86 are due.
  const std::string long_records = ProductRecord("000000000123", "ARROZ", "01", "000000000001", 1, 0, 1, 0, 86);
  const std::string short_records =
      ProductRecord("000000000123", "ARROZ", "01", "000000000001", 1, 0, 1, 0) +
      ProductRecord("000000000124", "FEIJAO", "01", "000000000001", 1, 0, 1, 0);
  const struct {
    char model;
    std::string bytes;
    const char* message;
  } cases[] = {
      {'3', long_records, "Arquivo SProds9.rec com tamanho inválido (86 bytes) !"},
      {'4', short_records, "Arquivo SProds9.rec com tamanho inválido (160 bytes) !"},
  };
  for (const auto& c : cases) {
    WriteIdentity(9, c.model);
    Write("SProds9.rec", c.bytes);
    Write("Sr60m9.rec", "");
    try {
      BuildSintegraFromReading(db(), 9, kJobSintegraCurrentMonth, 2026y / 12 / 8d);
      ADD_FAILURE() << "built from a torn product file, model " << c.model;
    } catch (const db::Error& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_FALSE(std::filesystem::exists(Path("r60m9.txt")));
    std::ifstream in(Path("SProds9.rec"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.bytes);
    EXPECT_TRUE(std::filesystem::exists(Path("Sr60m9.rec")));
  }
}

TEST_F(SintegraReadingTest, WideValuesKeepTheirRightmostDigitsAndABadDateIsToday) {
  WriteIdentity(4, '3');
  Write("SProds4.rec", "");
  Reduction r;
  r.ddmmyy = "311126";  // 31 November
  r.order = "1234";
  r.restarts = "5678";
  r.reductions = "9999";
  r.gross = "98765432109876";
  r.grand = "123456789012345678";
  r.rates[15] = "2500";
  r.totals[15] = "12345678901234";
  r.not_taxed = "00000000000007";
  Write("Sr60m4.rec", r.Bytes());
  ASSERT_TRUE(BuildSintegraFromReading(db(), 4, kJobSintegraCurrentMonth, 2026y / 12 / 8d));
  const std::string serial = Pad("BE0123456789012", 20);
  const auto lines = Lines("r60m4.txt");
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[2], "60M" "20261208" + serial + "234" "2D" "000100" "000250" "009999" "678" "0098765432109876"
                      "3456789012345678" + Blanks(37));
  EXPECT_EQ(lines[3], "60A" "20261208" + serial + "2500" "345678901234" + Blanks(79));
  EXPECT_EQ(lines[4], "60A" "20261208" + serial + "N   " "000000000007" + Blanks(79));
}

TEST_F(SintegraReadingTest, PreviousMonthReadsTheOldReductionsAndCoversDecember) {
  WriteIdentity(5, '3');
  Write("SProds5.rec", ProductRecord("000000000001", "X", "01", "000000000001", 1, 0, 1, 0));
  Reduction r;
  r.ddmmyy = "311226";
  Write("Sr60mold5.rec", r.Bytes());
  Write("Sr60m5.rec", "must stay");
  const auto date = SintegraPeriodDate(kJobSintegraPreviousMonth, 2027y / 1 / 15d);
  ASSERT_TRUE(BuildSintegraFromReading(db(), 5, kJobSintegraPreviousMonth, date));
  const std::string serial = Pad("BE0123456789012", 20);
  const std::vector<std::string> expected = {
      Record10("20261201", "20261231"),
      Record11(),
      "60M" "20261231" + serial + "001" "2D" "000100" "000250" "000042" "003" "0000000000123456"
      "0000000009876543" + Blanks(37),
      "60R" "122026" "00000000000001" "0000000000001" "0000000000000100" "0000000000000100" "0001" + Blanks(54),
      "75" "20261201" "20261231" "00000000000001" + Blanks(8) + Pad("X", 53) + "UN    " "00000" "0000"
      "0000" "00000000000000",
      Record90("60", "00000002"),
      Record90("75", "00000001"),
      Record90("99", "00000008"),
  };
  EXPECT_EQ(Lines("r60mold5.txt"), expected);
  EXPECT_FALSE(std::filesystem::exists(Path("r60m5.txt")));
  EXPECT_TRUE(std::filesystem::exists(Path("Sr60m5.rec")));
  EXPECT_FALSE(std::filesystem::exists(Path("Sr60mold5.rec")));
}

// Read on 31 March, "Mês anterior" is February: today minus 30 days would
// still be March.
TEST_F(SintegraReadingTest, PreviousMonthReadOn31MarchCoversFebruary) {
  kaslo::SetFixedNow(kaslo::DateTime{2026y / 3 / 31d, 18, 0, 0});
  AddTax(1, 12.0);
  AddProduct(77, 1, 2, 0, 0);  // MT
  WriteIdentity(7, '3');
  Write("SProds7.rec", ProductRecord("000000000077", "FIO", "01", "000000000250", 12, 5, 12, 5));
  Reduction r;
  r.ddmmyy = "270226";
  r.rates[0] = "1200";
  r.totals[0] = "00000000001205";
  r.rates[4] = "0700";
  r.totals[4] = "00000000000100";
  Write("Sr60mold7.rec", r.Bytes());
  const auto date = SintegraPeriodDate(kJobSintegraPreviousMonth, kaslo::Today());
  ASSERT_TRUE(BuildSintegraFromReading(db(), 7, kJobSintegraPreviousMonth, date));
  const std::string serial = Pad("BE0123456789012", 20);
  const std::vector<std::string> expected = {
      Record10("20260201", "20260228"),
      Record11(),
      "60M" "20260227" + serial + "001" "2D" "000100" "000250" "000042" "003" "0000000000123456"
      "0000000009876543" + Blanks(37),
      "60A" "20260227" + serial + "1200" "000000001205" + Blanks(79),
      "60A" "20260227" + serial + "0700" "000000000100" + Blanks(79),
      "60R" "022026" "00000000000077" "0000000000250" "0000000000001250" "0000000000001250" "0001" + Blanks(54),
      "75" "20260201" "20260228" "00000000000077" + Blanks(8) + Pad("FIO", 53) + "MT    " "00000" "1200"
      "0000" "00000000000000",
      Record90("60", "00000004"),
      Record90("75", "00000001"),
      Record90("99", "00000010"),
  };
  EXPECT_EQ(Lines("r60mold7.txt"), expected);
}

TEST_F(SintegraReadingTest, MissingReceivedFileBuildsNothing) {
  WriteIdentity(6, '3');
  Write("SProds6.rec", ProductRecord("000000000001", "X", "01", "000000000001", 1, 0, 1, 0));
  EXPECT_FALSE(BuildSintegraFromReading(db(), 6, kJobSintegraCurrentMonth, 2026y / 12 / 8d));
  EXPECT_FALSE(std::filesystem::exists(Path("r60m6.txt")));
  EXPECT_TRUE(std::filesystem::exists(Path("SProds6.rec")));
  Write("Sr60m6.rec", "");
  EXPECT_FALSE(BuildSintegraFromReading(db(), 6, 18, 2026y / 12 / 8d));
}

TEST(SintegraPeriodDateTest, PreviousMonthIsTheCalendarMonthBefore) {
  EXPECT_EQ(SintegraPeriodDate(kJobSintegraPreviousMonth, 2027y / 1 / 15d), 2026y / 12 / 31d);
  EXPECT_EQ(SintegraPeriodDate(kJobSintegraPreviousMonth, 2026y / 3 / 31d), 2026y / 2 / 28d);
  EXPECT_EQ(SintegraPeriodDate(kJobSintegraPreviousMonth, 2028y / 3 / 1d), 2028y / 2 / 29d);
  EXPECT_EQ(SintegraPeriodDate(kJobSintegraCurrentMonth, 2026y / 3 / 31d), 2026y / 3 / 31d);
  EXPECT_EQ(PeriodOf(2028y / 2 / 29d).Text(), "2028020120280229");
  EXPECT_EQ(PeriodOf(2026y / 2 / 28d).MonthYear(), "022026");
}

TEST_F(SintegraReadingTest, HeaderWriterWritesRecords10And11ForAPeriodText) {
  EXPECT_EQ(GravaCabecalhoSintegra(db(), Path("ARQ.txt"), "022028"), "2028020120280229");
  EXPECT_EQ(Lines("ARQ.txt"), (std::vector<std::string>{Record10("20280201", "20280229"), Record11()}));
  EXPECT_EQ(testing::CheckLineWidths(Path("ARQ.txt")), std::vector<std::string>{});
  EXPECT_EQ(GravaCabecalhoSintegra(db(), Path("BAD.txt"), "3/008"), "");
  EXPECT_EQ(GravaCabecalhoSintegra(db(), Path("BAD.txt"), "132008"), "");
  EXPECT_FALSE(std::filesystem::exists(Path("BAD.txt")));
}

}  // namespace
}  // namespace kaslo::comm
