// The product register's round trip over loopback: the complete product load
// of a demo store to kaslo-terminal as a fourth-model terminal, the product
// reading back from the same terminal, the display of what came back and
// the replacement of Ycopro from it. What the terminal was sent is what it
// returns, so the products' prices (three-decimal ones included), stock and
// decimals come out of the round trip as they went in.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <tuple>

#include "comm/job_runner.h"
#include "comm/jobs.h"
#include "comm/protocol_test_support.h"
#include "common/testing/scripted_messages.h"
#include "db/tables/ycopro.h"
#include "db/temp_data_dir.h"
#include "viewers/register_viewer.h"

namespace kaslo::viewers {
namespace {

namespace fs = std::filesystem;
using namespace comm::testing;
using Strings = std::vector<std::string>;

// The fields a product keeps through the terminal: code, price, stock,
// decimals, tax, department, unit.
using Kept = std::tuple<double, double, double, std::string, int64_t, int64_t, std::string>;

std::vector<Kept> KeptFields(const db::Database& db) {
  std::vector<Kept> rows;
  auto pro = db.open(ycopro::kTable, {.tag = "Um"});
  for (pro->first(); !pro->eof(); pro->next())
    rows.emplace_back(pro->asNumber(ycopro::PRO_PLU), pro->asNumber(ycopro::PRO_PCOVEN),
                      pro->asNumber(ycopro::PRO_ESTQ), pro->getString(ycopro::PRO_CASAD),
                      pro->asInteger(ycopro::PRO_TRIBUT), pro->asInteger(ycopro::PRO_DEPTO),
                      pro->getString(ycopro::PRO_PESAD));
  return rows;
}

class ProductRoundTripTest : public ::testing::Test {
 protected:
  void SetUp() override { terminal_dir_ = FreshDir("kaslo_roundtrip_terminal_"); }
  void TearDown() override { fs::remove_all(terminal_dir_); }

  const db::Database& db() const { return dir_.db(); }

  // Runs job `kind` with terminal 1 and kaslo-terminal as a fourth-model
  // terminal from 127.0.0.1, until its row has finished.
  ProcessResult Serve(int kind) {
    comm::JobRunner runner(db(), kind);
    runner.setConfirmation(false);
    EXPECT_TRUE(runner.selectCaptions({"1"}).empty());
    EXPECT_EQ(runner.start(0, "127.0.0.1"), comm::JobRunner::StartResult::kStarted) << kind;
    ProcessResult result = RunTerminal({"--port", std::to_string(runner.port()), "--from", "127.0.0.1", "--model", "4",
                                        "--receive-dir", (terminal_dir_ / "in").string(), "--send-dir",
                                        (terminal_dir_ / "out").string(), "--timeout", "60"});
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!runner.finished() && std::chrono::steady_clock::now() < deadline) {
      runner.waitForChanges(std::chrono::milliseconds(50));
      runner.processChanges();
    }
    EXPECT_TRUE(runner.finished()) << kind;
    runner.close();
    return result;
  }

  db::testing::TempDataDir dir_{{.demo = true}};
  fs::path terminal_dir_;
  kaslo::testing::ScriptedMessages messages_;
};

TEST_F(ProductRoundTripTest, AFourthModelTerminalGivesBackPricesStockAndDecimalsUnchanged) {
  const std::vector<Kept> before = KeptFields(db());
  ASSERT_GT(before.size(), 40u);
  // The demo store sells by weight with three decimals.
  const auto three = std::count_if(before.begin(), before.end(), [](const Kept& k) { return std::get<3>(k) == "3"; });
  ASSERT_GT(three, 0);
  const size_t products = before.size();

  ProcessResult load = Serve(comm::kJobProductLoad);
  ASSERT_EQ(load.exit_code, 0) << load.out;
  const std::string sent = Slurp(terminal_dir_ / "in" / "RProds.dad");
  ASSERT_EQ(sent.size(), products * 86);

  // The terminal keeps what it was loaded with and sends it back.
  Write(terminal_dir_ / "out" / "SProds.dad", sent);
  ProcessResult reading = Serve(18);
  ASSERT_EQ(reading.exit_code, 0) << reading.out;
  EXPECT_EQ(Lines(reading.out), (Strings{"127.0.0.1 sent Sid.dad 25", "127.0.0.1 sent SProds.dad " +
                                                                      std::to_string(sent.size()),
                                         "127.0.0.1 end"}));
  ASSERT_EQ(Slurp(dir_.path() / "SProds1.rec"), sent);

  RegisterGrid grid = DisplayRegister(db(), {kLeituraProdutos, "1", dir_.path() / "SProds1.rec"});
  EXPECT_EQ(grid.message, "");
  ASSERT_EQ(grid.rows.size(), products);
  // PICANHA KG, 79.900 the kilo, 9.875 kg in stock.
  const auto picanha = std::find_if(grid.rows.begin(), grid.rows.end(),
                                    [](const auto& row) { return row[1] == "PICANHA KG"; });
  ASSERT_NE(picanha, grid.rows.end());
  EXPECT_EQ((*picanha)[2], "79.900");
  EXPECT_EQ((*picanha)[6], "3");
  EXPECT_EQ((*picanha)[10], "9.875");

  ReplaceOutcome outcome = ReplaceRegister(db(), kLeituraProdutos, grid);
  EXPECT_TRUE(outcome.completed) << outcome.message << outcome.detail;
  EXPECT_EQ(outcome.rows_written, products);
  EXPECT_EQ(KeptFields(db()), before);
}

}  // namespace
}  // namespace kaslo::viewers
