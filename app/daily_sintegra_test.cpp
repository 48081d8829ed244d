// The daily SINTEGRA files from LOG texts written line by line into a
// freshly installed data directory; every line compared whole, every box
// text checked as the user sees it.
#include "app/daily_sintegra.h"

#include <gtest/gtest.h>

#include <fstream>

#include "comm/sintegra_check.h"
#include "comm/sintegra_test_store.h"
#include "common/clock.h"
#include "common/messages.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycoter.h"
#include "db/temp_data_dir.h"

namespace kaslo::app {
namespace {

using namespace std::chrono_literals;

std::string Pad(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}
std::string Blanks(size_t n) { return std::string(n, ' '); }

// Records every box; the input box gives the scripted answer.
class ScriptedMessages final : public kaslo::MessageService {
 public:
  void information(const std::string& text, const std::string&) override { boxes.push_back("info: " + text); }
  void error(const std::string& text, const std::string&) override { boxes.push_back("error: " + text); }
  bool confirm(const std::string& text, const std::string&, kaslo::DefaultAnswer) override {
    boxes.push_back("confirm: " + text);
    return false;
  }
  std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                   const std::string& initial) override {
    boxes.push_back("input: " + title + " | " + prompt + " | " + initial);
    return answer;
  }
  std::vector<std::string> boxes;
  std::optional<std::string> answer;
};

// LOG lines as the LOG conversion writes them.
std::string Date(const char* ddmmyyyy) { return ddmmyyyy; }
std::string Serial(const std::string& text) { return "6001" + text + "CC"; }
std::string Closed(const char* ddmmyyyy) { return "FE" + Date(ddmmyyyy) + "1530" "CC"; }
std::string Cancelled(const char* code, const char* ddmmyyyy) { return code + Date(ddmmyyyy) + "1530" "CC"; }
std::string Item(const char* code12, const char* value16, const char* quantity8, const char* totalizer,
                 const char* rate, const char* text) {
  return std::string("63") + code12 + value16 + quantity8 + "00" + totalizer + rate + Pad(text, 20) + "CC";
}
std::string ItemCancel(const char* code12) { return std::string("61") + code12 + "CC"; }
std::string Adjustment(const char* value19) { return std::string("5300") + value19 + "CC"; }
std::string Rate(const char* sub, const char* rate, const char* value10) {
  return std::string("60") + sub + rate + value10 + "CC";
}
std::string Total(const char* sub, const char* value10) { return std::string("60") + sub + value10 + "CC"; }
std::string Reduction(const char* ddmmyyyy) {
  return std::string("6002") + ddmmyyyy[0] + ddmmyyyy[1] + ddmmyyyy[2] + ddmmyyyy[3] + (ddmmyyyy + 4) +
         "0" "001" "000100" "000250" "000042" "000" "003" "0000123456" "0009876543" "CC";
}

const std::string kSerial = Pad("BE0123456789012", 20);

std::string Line60M(const char* yyyymmdd) {
  return "60M" + std::string(yyyymmdd) + kSerial + "001" "2D" "000100" "000250000042" "003" "000000" "0000123456"
         "000000" "0009876543" + Blanks(37);
}
std::string Line60A(const char* yyyymmdd, const char* tax, const char* value12) {
  return "60A" + std::string(yyyymmdd) + kSerial + tax + value12 + Blanks(79);
}
std::string Line60D(const char* yyyymmdd, const char* code14, const char* qty13, const char* value16,
                    const char* net16, const char* tax, const char* amount13) {
  return "60D" + std::string(yyyymmdd) + kSerial + code14 + qty13 + value16 + net16 + tax + amount13 + Blanks(19);
}
std::string Line75(const char* yyyymmdd, const char* code14, const char* text, const char* rate) {
  return "75" + std::string(yyyymmdd) + yyyymmdd + code14 + Blanks(8) + Pad(text, 53) + "UN    " "00000" + rate +
         "0000" "00000000000000";
}

class DailySintegraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kaslo::SetFixedNow(kaslo::DateTime{2026y / 12 / 20d, 9, 0, 0});
    kaslo::SetMessageService(&messages_);
    auto prm = comm::testing::EditStoreIdentity(db());
    ASSERT_TRUE(prm->post());
  }

  void TearDown() override {
    kaslo::SetMessageService(nullptr);
    kaslo::SetFixedNow(std::nullopt);
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with("SINTEGRA")) {
        EXPECT_EQ(comm::testing::CheckSintegraFile(entry.path()), std::vector<std::string>{}) << name;
      } else if (name == "R60D.TXT" || name == "R75.TXT" || (name.starts_with("ARQ60") && !name.starts_with("ARQ60A"))) {
        EXPECT_EQ(comm::testing::CheckLineWidths(entry.path()), std::vector<std::string>{}) << name;
      }
      EXPECT_FALSE(name == "cupom.dat" || name == "cupom.idx" || name == "r60d.dat" || name == "r60d.idx") << name;
    }
  }

  const db::Database& db() const { return dir_.db(); }
  std::filesystem::path Path(const std::string& name) const { return dir_.path() / name; }

  void WriteLog(int n, const std::vector<std::string>& lines) const {
    std::ofstream out(Path(DailyLogFileName(n)), std::ios::binary);
    for (const auto& l : lines) out << l << "\r\n";
  }
  std::vector<std::string> Lines(const std::string& name) const { return comm::testing::ReadCrLfLines(Path(name)); }

  void AddTerminals(std::initializer_list<int> numbers) const {
    auto t = db().open(ycoter::kTable);
    for (int n : numbers) {
      t->append();
      t->setNumber(ycoter::ESTACAO, n);
      ASSERT_TRUE(t->post());
    }
  }

  static std::string Record10() {
    return "10" "12345678000195" "110042490114  " + Pad("MERCADO EXEMPLO LTDA", 35) + Pad("SAO PAULO", 30) +
           "SP" "1155732100" "20261201" "20261231" "331";
  }
  static std::string Record11() {
    return "11" + Pad("RUA DAS FLORES", 34) + "00120" + Blanks(22) + Blanks(15) + "04117091" + Blanks(28) +
           "001155732100";
  }
  static std::string Record90(const char* type, const char* count8) {
    return "90" "12345678000195" "110042490114  " + std::string(type) + count8 + Blanks(85) + "3";
  }

  ScriptedMessages messages_;
  db::testing::TempDataDir dir_;
};

TEST_F(DailySintegraTest, OneReceiptOfTwoProductsAndAReductionMakeTheWholeFile) {
  WriteLog(1, {
                  Serial("BE0123456789012"),
                  Item("000000000123", "0000000000001000", "00001000", "01", "1800", "ARROZ"),
                  Item("000000000456", "0000000000000550", "00002000", "17", "0000", "CORTE DE CABELO"),
                  Closed("03122026"),
                  Rate("12", "1800", "0000010000"),
                  Rate("13", "0000", "0000000200"),  // no rate: no line
                  Total("03", "0000000050"),
                  Reduction("03122026"),
              });
  ASSERT_TRUE(GenerateDailySintegra(db(), "122026", 1));
  const std::vector<std::string> expected = {
      Record10(),
      Record11(),
      Line60M("20261203"),
      Line60A("20261203", "1800", "000000010000"),
      Line60A("20261203", "CANC", "000000000050"),
      Line60D("20261203", "00000000000123", "0000000001000", "0000000000001000", "0000000000001000", "1800",
              "0000000000180"),
      Line60D("20261203", "00000000000456", "0000000002000", "0000000000000550", "0000000000000550", "ISS ",
              "0000000000000"),
      Line75("20261203", "00000000000123", "ARROZ", "1800"),
      Line75("20261203", "00000000000456", "CORTE DE CABELO", "0000"),
      Record90("60", "00000005"),
      Record90("75", "00000002"),
      Record90("99", "00000012"),
  };
  EXPECT_EQ(Lines("SINTEGRA1.txt"), expected);
  EXPECT_EQ(Lines("ARQ60A1.txt"), std::vector<std::string>{});
  EXPECT_EQ(Lines("R75.TXT"), (std::vector<std::string>{expected[7], expected[8]}));
  EXPECT_EQ(messages_.boxes, std::vector<std::string>{});
}

TEST_F(DailySintegraTest, SalesOfADayAreSummedAndCancelledReceiptsKeepOnlyTheirValue) {
  WriteLog(1, {
                  Serial("BE0123456789012"),
                  Item("000000000123", "0000000000001000", "00001000", "01", "1800", "ARROZ"),
                  Closed("04122026"),
                  Item("000000000123", "0000000000001000", "00001000", "01", "1800", "ARROZ"),
                  Closed("04122026"),
                  // Cancelled receipts: value counted, no quantity, no net.
                  Item("000000000123", "0000000000000700", "00001000", "01", "1800", "ARROZ"),
                  Item("000000000999", "0000000000000300", "00001000", "15", "0000", "SO CANCELADO"),
                  Cancelled("FB", "04122026"),
                  Item("000000000123", "0000000000000100", "00001000", "01", "1800", "ARROZ"),
                  Cancelled("FC", "04122026"),
              });
  ASSERT_TRUE(GenerateDailySintegra(db(), "122026", 1));
  const auto lines = Lines("SINTEGRA1.txt");
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[2], Line60D("20261204", "00000000000123", "0000000002000", "0000000000002800", "0000000000002000",
                              "1800", "0000000000360"));
  EXPECT_EQ(lines[3], Line75("20261204", "00000000000123", "ARROZ", "1800"));
  EXPECT_EQ(lines[4], Record90("60", "00000001"));
  EXPECT_EQ(lines[5], Record90("75", "00000001"));
}

TEST_F(DailySintegraTest, ItemCancellationZeroesNetAndQuantityOfThatItemOnly) {
  WriteLog(1, {
                  Item("000000000123", "0000000000001000", "00001000", "01", "1800", "ARROZ"),
                  Item("000000000456", "0000000000000500", "00003000", "01", "1200", "FEIJAO"),
                  ItemCancel("000000000123"),
                  Closed("05122026"),
                  // The same product twice in one receipt, one of them cancelled.
                  Item("000000000123", "0000000000001000", "00001000", "01", "1800", "ARROZ"),
                  Item("000000000123", "0000000000001000", "00001000", "01", "1800", "ARROZ"),
                  ItemCancel("000000000123"),
                  Closed("05122026"),
                  // Twice and cancelled twice: nothing left.
                  Item("000000000456", "0000000000000500", "00003000", "01", "1200", "FEIJAO"),
                  Item("000000000456", "0000000000000500", "00003000", "01", "1200", "FEIJAO"),
                  ItemCancel("000000000456"),
                  ItemCancel("000000000456"),
                  Closed("05122026"),
              });
  ASSERT_TRUE(GenerateDailySintegra(db(), "122026", 1));
  // No serial in this LOG: the serial field stays blank. No reduction
  // either: no 60M line.
  const std::string blank_serial = Blanks(20);
  const std::vector<std::string> expected = {
      Record10(),
      Record11(),
      "60D" "20261205" + blank_serial + "00000000000123" "0000000001000" "0000000000003000" "0000000000001000"
      "1800" "0000000000180" + Blanks(19),
      "60D" "20261205" + blank_serial + "00000000000456" "0000000003000" "0000000000001500" "0000000000000500"
      "1200" "0000000000060" + Blanks(19),
      Line75("20261205", "00000000000123", "ARROZ", "1800"),
      Line75("20261205", "00000000000456", "FEIJAO", "1200"),
      Record90("60", "00000002"),
      Record90("75", "00000002"),
      Record90("99", "00000009"),
  };
  EXPECT_EQ(Lines("SINTEGRA1.txt"), expected);
}

TEST_F(DailySintegraTest, AdjustmentBeforeTheFirstItemWaitsForItAndAfterAnItemAdjustsIt) {
  WriteLog(1, {
                  Serial("BE0123456789012"),
                  Adjustment("0000000000000000100"),  // no item yet
                  Item("000000000123", "0000000000001000", "00001000", "01", "1800", "ARROZ"),
                  Closed("06122026"),
                  Item("000000000456", "0000000000001000", "00001000", "01", "1800", "FEIJAO"),
                  Adjustment("0000000000000000200"),
                  Closed("06122026"),
                  "52000000000000000001234CC",
              });
  ASSERT_TRUE(GenerateDailySintegra(db(), "122026", 1));
  const auto lines = Lines("SINTEGRA1.txt");
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[2], Line60D("20261206", "00000000000123", "0000000001000", "0000000000001100", "0000000000001000",
                              "1800", "0000000000180"));
  EXPECT_EQ(lines[3], Line60D("20261206", "00000000000456", "0000000001000", "0000000000001000", "0000000000000800",
                              "1800", "0000000000144"));
}

TEST_F(DailySintegraTest, OtherMonthsStayOutAndUnfinishedReductionsStayWaiting) {
  WriteLog(1, {
                  Serial("BE0123456789012"),
                  Item("000000000123", "0000000000001000", "00001000", "01", "1800", "ARROZ"),
                  Closed("30112026"),
                  Rate("12", "1800", "0000001000"),
                  Reduction("30112026"),
                  Item("000000000456", "0000000000000800", "00001000", "16", "0000", "FEIJAO"),
                  Closed("01122026"),
                  Total("08", "0000000800"),
                  Reduction("01122026"),
                  Total("07", "0000000011"),  // its reduction never comes
              });
  ASSERT_TRUE(GenerateDailySintegra(db(), "122026", 1));
  const std::vector<std::string> expected = {
      Record10(),
      Record11(),
      Line60M("20261201"),
      Line60A("20261201", "N   ", "000000000800"),
      Line60D("20261201", "00000000000456", "0000000001000", "0000000000000800", "0000000000000800", "N   ",
              "0000000000000"),
      Line75("20261201", "00000000000456", "FEIJAO", "0000"),
      Record90("60", "00000003"),
      Record90("75", "00000001"),
      Record90("99", "00000009"),
  };
  EXPECT_EQ(Lines("SINTEGRA1.txt"), expected);
  EXPECT_EQ(Lines("ARQ60A1.txt"), std::vector<std::string>{"60A" + kSerial + "I   " "00" "0000000011" + Blanks(79)});
}

TEST_F(DailySintegraTest, ReductionsWithoutReceiptsCarryNothingOfAnEarlierTerminal) {
  WriteLog(1, {Item("000000000123", "0000000000001000", "00001000", "01", "1800", "ARROZ"), Closed("03122026")});
  WriteLog(2, {Serial("BE0123456789012"), Rate("12", "1800", "0000010000"), Reduction("03122026")});
  ASSERT_TRUE(GenerateDailySintegra(db(), "122026", 1));
  ASSERT_EQ(Lines("R75.TXT").size(), 1u);
  ASSERT_TRUE(GenerateDailySintegra(db(), "122026", 2));
  const std::vector<std::string> expected = {
      Record10(),
      Record11(),
      Line60M("20261203"),
      Line60A("20261203", "1800", "000000010000"),
      Record90("60", "00000002"),
      Record90("75", "00000000"),
      Record90("99", "00000007"),
  };
  EXPECT_EQ(Lines("SINTEGRA2.txt"), expected);
  EXPECT_EQ(Lines("R60D.TXT"), std::vector<std::string>{});
  EXPECT_EQ(Lines("R75.TXT"), std::vector<std::string>{});
  EXPECT_TRUE(std::filesystem::exists(Path("SINTEGRA1.txt")));
}

// The LOG conversion gives a record cut off before its end mark a line of
// its own, without "CC"; with the LOG-clear option the next reading is
// appended after it. The cut record must not swallow the record after it.
TEST_F(DailySintegraTest, RecordCutOffInItsTextDoesNotSwallowTheNextRecord) {
  const std::string cut = Item("000000000456", "0000000000000800", "00001000", "01", "1200", "FEI");
  WriteLog(1, {
                  Serial("BE0123456789012"),
                  Item("000000000123", "0000000000001000", "00001000", "01", "1800", "ARROZ"),
                  cut.substr(0, 46 + 3),  // the reading ended inside the description
                  Closed("03122026"),
                  Reduction("03122026"),
              });
  ASSERT_TRUE(GenerateDailySintegra(db(), "122026", 1));
  const std::vector<std::string> expected = {
      Record10(),
      Record11(),
      Line60M("20261203"),
      Line60D("20261203", "00000000000123", "0000000001000", "0000000000001000", "0000000000001000", "1800",
              "0000000000180"),
      Line60D("20261203", "00000000000456", "0000000001000", "0000000000000800", "0000000000000800", "1200",
              "0000000000096"),
      Line75("20261203", "00000000000123", "ARROZ", "1800"),
      Line75("20261203", "00000000000456", "FEI", "1200"),
      Record90("60", "00000003"),
      Record90("75", "00000002"),
      Record90("99", "00000010"),
  };
  EXPECT_EQ(Lines("SINTEGRA1.txt"), expected);
  EXPECT_EQ(messages_.boxes, std::vector<std::string>{});
}

TEST_F(DailySintegraTest, MissingEmptyOrBrokenLogFailsThatTerminalWithItsBox) {
  EXPECT_FALSE(GenerateDailySintegra(db(), "122026", 7));
  WriteLog(8, {});
  EXPECT_FALSE(GenerateDailySintegra(db(), "122026", 8));
  WriteLog(9, {Closed("03122026"), Item("000000000123", "00000000000010X0", "00001000", "01", "1800", "ARROZ")});
  EXPECT_FALSE(GenerateDailySintegra(db(), "122026", 9));
  WriteLog(10, {"FE0312CC"});  // too short for its date
  EXPECT_FALSE(GenerateDailySintegra(db(), "122026", 10));
  EXPECT_EQ(messages_.boxes,
            (std::vector<std::string>{
                "error: Sem arquivo de LOG para geração do Diário. Terminal:7",
                "error: Sem arquivo de LOG para geração do Diário. Terminal:8",
                "error: Linha inválida no arquivo de LOG " + Path("SLogs9.trz").string() + ": linha 2.",
                "error: Linha inválida no arquivo de LOG " + Path("SLogs10.trz").string() + ": linha 1.",
            }));
  for (int n : {7, 8, 9, 10}) EXPECT_FALSE(std::filesystem::exists(Path("SINTEGRA" + std::to_string(n) + ".txt")));
}

TEST_F(DailySintegraTest, CommandAsksThePeriodAndReportsSuccessesThenFailures) {
  AddTerminals({3, 1, 2});
  WriteLog(1, {Serial("BE0123456789012"), Reduction("03122026")});
  WriteLog(3, {Serial("BE0123456789012"), Reduction("03122026")});
  messages_.answer = "12/2026";
  ASSERT_TRUE(GerarArquivoDiario(db()));
  EXPECT_EQ(messages_.boxes, (std::vector<std::string>{
                                 "input: Digite o mês e ano (MM/AAAA) | Prompt | 12/2026",
                                 "error: Sem arquivo de LOG para geração do Diário. Terminal:2",
                                 "info: Arquivo(s) SINTEGRA(N).TXT Gerado!",
                                 "error: Houve erros na geração dos arquivos Sintegra",
                             }));
  EXPECT_TRUE(std::filesystem::exists(Path("SINTEGRA1.txt")));
  EXPECT_TRUE(std::filesystem::exists(Path("SINTEGRA3.txt")));

  messages_.boxes.clear();
  messages_.answer = std::nullopt;
  EXPECT_FALSE(GerarArquivoDiario(db()));
  EXPECT_EQ(messages_.boxes.size(), 1u);

  // "3/2026" is read as the period "3/026", which is no month.
  messages_.boxes.clear();
  EXPECT_EQ(DailyPeriodText("3/2026"), "3/026");
  EXPECT_EQ(DailyPeriodText("03/2008"), "032008");
  EXPECT_EQ(DailyPeriodText(""), "");
  const DailyOutcome outcome = GenerateDailySintegraForAllTerminals(db(), DailyPeriodText("3/2026"));
  EXPECT_EQ(outcome.succeeded, 0);
  EXPECT_EQ(outcome.failed, 3);
  EXPECT_EQ(messages_.boxes.back(), "error: Houve erros na geração dos arquivos Sintegra");
}

TEST_F(DailySintegraTest, NoTerminalNoBox) {
  const DailyOutcome outcome = GenerateDailySintegraForAllTerminals(db(), "122026");
  EXPECT_EQ(outcome.succeeded + outcome.failed, 0);
  EXPECT_EQ(messages_.boxes, std::vector<std::string>{});
}

}  // namespace
}  // namespace kaslo::app
