// Every job kind run by the job runner against kaslo-terminal over loopback,
// on a demo store: what a terminal received is compared byte for byte with
// what the load writers make of the tables, and what the server stored with
// what the terminal sent (readings, reports, the LOG and its conversion).
// Also the continuous LOG reading, a terminal that was not selected and the
// product loads to both record sizes with their closing question.
#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "comm/job_runner.h"
#include "comm/jobs.h"
#include "comm/load_files.h"
#include "comm/log_conversion.h"
#include "comm/protocol_test_support.h"
#include "comm/received_files.h"
#include "common/clock.h"
#include "common/testing/scripted_messages.h"
#include "db/tables/ycoy60.h"
#include "db/temp_data_dir.h"

namespace kaslo::comm {
namespace {

using namespace comm::testing;
using Strings = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

class JobE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    using namespace std::chrono;
    kaslo::SetFixedNow(kaslo::DateTime{year{2026} / month{12} / day{8}, 9, 5, 7});
    terminal_dir_ = FreshDir("kaslo_job_terminal_");
  }
  void TearDown() override {
    kaslo::SetFixedNow(std::nullopt);
    fs::remove_all(terminal_dir_);
  }
  const db::Database& db() const { return dir_.db(); }
  fs::path Data(const std::string& name) const { return dir_.path() / name; }
  fs::path In(const std::string& from, const std::string& name) const { return terminal_dir_ / from / "in" / name; }
  fs::path Out(const std::string& from, const std::string& name) const { return terminal_dir_ / from / "out" / name; }

  // Selects the rows of `captions`, starts the job on a free loopback port.
  std::unique_ptr<JobRunner> Start(int kind, const Strings& captions, JobOptions options = {}) {
    auto runner = std::make_unique<JobRunner>(db(), kind, options);
    runner->setConfirmation(false);
    EXPECT_TRUE(runner->selectCaptions(captions).empty());
    EXPECT_EQ(runner->start(0, "127.0.0.1"), JobRunner::StartResult::kStarted) << kind;
    EXPECT_TRUE(runner->listening()) << runner->serverError();
    return runner;
  }

  // kaslo-terminal from `from`, with its own folders.
  ProcessResult Terminal(JobRunner& runner, const std::string& from, Strings extra = {}) {
    Strings args = {"--port", std::to_string(runner.port()), "--from", from, "--receive-dir",
                    (terminal_dir_ / from / "in").string(), "--send-dir", (terminal_dir_ / from / "out").string(),
                    "--timeout", "60"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTerminal(args);
  }

  // Runs the owner's loop as `kaslo serve` does until every armed row has
  // finished and had its follow-up (or a generous time-out).
  static bool Drain(JobRunner& runner) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!runner.finished() && std::chrono::steady_clock::now() < deadline) {
      runner.waitForChanges(std::chrono::milliseconds(50));
      runner.processChanges();
    }
    return runner.finished();
  }

  db::testing::TempDataDir dir_{{.demo = true}};
  fs::path terminal_dir_;
  kaslo::testing::ScriptedMessages messages_;
};

// ---- the plain loads: one terminal, every file compared with its writer

TEST_F(JobE2eTest, EveryLoadReachesTheTerminalByteForByte) {
  using namespace std::chrono;
  JobOptions date_time;
  date_time.date_time = kaslo::DateTime{year{2026} / month{3} / day{7}, 9, 5, 0};
  struct Case {
    int kind;
    std::vector<std::pair<std::string, std::string>> files;  // wire file, bytes, in sending order
    JobOptions options = {};
  } cases[] = {
      {88, {{"Ruser.dad", OperatorsFile(db())}}},
      {99, {{"Rvend.dad", SellersFile(db())}}},
      {101, {{"Rgrpdepto.dad", GroupsFile(db())}, {"Rdepto.dad", DepartmentsFile(db())}}},
      {111, {{"Rdepto.dad", DepartmentsFile(db())}}},
      {121, {{"Rfinaliz.dad", PaymentNamesFile(db())}, {"Rcfgfinal.dad", PaymentConfigFile(db())}}},
      {131, {{"Rperif.dad", PeripheralsFile(db())}, {"Rcodbarra.dad", BarCodeOptionsFile(db())},
             {"Rflags.dad", FlagsFile(db())}}},
      {141, {{"Rdescacr.dad", DiscountsFile(db())}}},
      {151, {{"Rfooter.dad", FooterFile(db())}}},
      {161, {{"RClient.dad", ClientsFile(db())}}},
      {191, {{"Rdatahora.dad", "070320260905"}}, date_time},
      {211, {{"Rteclado.dad", KeyboardFile(db())}}},
      {241, {{"Rheader.dad", HeaderFile(db())}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    fs::remove_all(terminal_dir_ / "127.0.0.2");
    auto runner = Start(c.kind, {"2"}, c.options);
    ProcessResult result = Terminal(*runner, "127.0.0.2");
    EXPECT_EQ(result.exit_code, 0) << result.out;
    Strings lines;
    for (const auto& [file, bytes] : c.files) {
      ASSERT_FALSE(bytes.empty()) << file;
      lines.push_back("127.0.0.2 received " + file + " " + std::to_string(bytes.size()));
      EXPECT_EQ(Slurp(In("127.0.0.2", file)), bytes) << file;
    }
    lines.push_back("127.0.0.2 end");
    EXPECT_EQ(Lines(result.out), lines);
    ASSERT_TRUE(Drain(*runner));
    EXPECT_EQ(runner->list().row(1), (TerminalRow{"2", "127.0.0.2", kStatusFinished, "100 %", kImageFinished}));
    EXPECT_EQ(runner->list().row(0).status, kStatusStandBy);
    EXPECT_FALSE(runner->close());
  }
  EXPECT_TRUE(messages_.texts().empty());
}

// ---- the readings and reports: what the terminal sends is what is stored

TEST_F(JobE2eTest, EveryReadingIsStoredAsSent) {
  struct Case {
    int kind;
    Strings sent;  // the wire files the terminal answers, in order
  } cases[] = {
      {1, {"GX.dad"}},         {2, {"GM00019999.da"}}, {3, {"G6.dad"}},         {4, {"G.dad"}},
      {5, {"G5.dad"}},         {6, {"G1.dad"}},        {7, {"G3.dad"}},         {8, {"Suser.dad"}},
      {9, {"Svend.dad"}},      {10, {"Sgrpdepto.dad"}}, {11, {"Sdepto.dad"}},
      {12, {"Sfinaliz.dad", "Scfgfinal.dad"}},
      {13, {"Scodbarra.dad", "Sperif.dad", "Sflags.dad"}},
      {14, {"Sdescacr.dad"}},  {15, {"Sfooter.dad"}},  {16, {"SClient.dad"}},   {17, {"Scodbarra.dad"}},
      {18, {"Sid.dad", "SProds.dad"}},
      {19, {"Sdatahora.dad"}}, {20, {"Sfinaliz.dad", "Scfgfinal.dad"}},
      {21, {"Steclado.dad"}},  {24, {"Sheader.dad"}},
  };
  const std::string from = "127.0.0.3";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    fs::remove_all(terminal_dir_ / from);
    Files sent;
    unsigned seed = 0;
    for (const std::string& file : c.sent) {
      // Sid.dad: the product reading asks for the identity first (43 bytes
      // of a fifth-model terminal).
      sent[file] = file == "Sid.dad" ? std::string(39, '1') + "5" + "000" : Pattern(200 + 37 * seed, seed);
      Write(Out(from, file), sent[file]);
      ++seed;
    }
    auto runner = Start(c.kind, {"3"});
    ProcessResult result = Terminal(*runner, from);
    EXPECT_EQ(result.exit_code, 0) << result.out;
    Strings lines;
    for (const std::string& file : c.sent)
      lines.push_back(from + " sent " + file + " " + std::to_string(sent[file].size()));
    lines.push_back(from + " end");
    EXPECT_EQ(Lines(result.out), lines);
    ASSERT_TRUE(Drain(*runner));
    Strings stored = ReceivedFileNames(c.kind, 3);
    ASSERT_EQ(stored.size(), c.sent.size());
    for (size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(Slurp(Data(stored[i])), sent[c.sent[i]]) << stored[i];
    EXPECT_EQ(runner->list().row(2).status, kStatusFinished);
    runner->close();
  }
  EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(JobE2eTest, LogReadingConvertedAndClearCommand) {
  const std::string log = std::string("\x60\x01") + "ABERTURA" + "\xCC" + "\x10\x20\xCC";
  Write(Out("127.0.0.1", "SLogs.dad"), log);
  auto runner = Start(kJobLogReading, {"1"});
  ProcessResult result = Terminal(*runner, "127.0.0.1");
  EXPECT_EQ(Lines(result.out), (Strings{"127.0.0.1 sent SLogs.dad 14", "127.0.0.1 end"}));
  ASSERT_TRUE(Drain(*runner));
  EXPECT_EQ(Slurp(Data("SLogs1.trz")), "6001ABERTURACC\r\n1020CC\r\n");
  EXPECT_EQ(Slurp(Data("SLG1220261.trz")), "6001ABERTURACC\r\n1020CC\r\n");
  EXPECT_FALSE(fs::exists(Data("SLogs1.rec")));
  runner->close();

  // The clear command alone.
  runner = Start(kJobLogClear, {"1"});
  result = Terminal(*runner, "127.0.0.1");
  EXPECT_EQ(Lines(result.out), (Strings{"127.0.0.1 command CZLogs.dad", "127.0.0.1 end"}));
  ASSERT_TRUE(Drain(*runner));
  runner->close();
}

TEST_F(JobE2eTest, ContinuousLogReadingServesTheTerminalAgain) {
  Write(Data("RURUDOR.INI"), "[Sistema]\r\nLogOnLine=1\r\n");
  auto runner = Start(kJobLogReading, {"1"});
  ASSERT_TRUE(runner->continuousLog());
  Strings follow_ups;
  runner->setFollowUpListener([&](size_t row, const std::string& what) {
    follow_ups.push_back(std::to_string(row) + " " + what);
  });
  auto wait_armed = [&] {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (runner->list().row(0).image != kImageWaiting && std::chrono::steady_clock::now() < deadline) {
      runner->waitForChanges(std::chrono::milliseconds(50));
      runner->processChanges();
    }
    return runner->list().row(0).image == kImageWaiting;
  };
  for (const char* log : {"\x30\xCC", "\x31\x32\xCC"}) {
    Write(Out("127.0.0.1", "SLogs.dad"), log);
    ProcessResult result = Terminal(*runner, "127.0.0.1");
    EXPECT_EQ(result.exit_code, 0) << result.out;
    // The finished row is selected again and waits for its next reading.
    ASSERT_TRUE(wait_armed());
    EXPECT_FALSE(runner->finished());
  }
  EXPECT_EQ(follow_ups, (Strings{"0 LOG: nova leitura", "0 LOG: nova leitura"}));
  EXPECT_FALSE(runner->confirmation());
  // Without the LOG-clear option the text holds the last reading, the month file all.
  EXPECT_EQ(Slurp(Data("SLogs1.trz")), "3132CC\r\n");
  EXPECT_EQ(Slurp(Data("SLG1220261.trz")), "30CC\r\n3132CC\r\n");
  runner->close();
}

TEST_F(JobE2eTest, TerminalNotSelectedGetsNoData) {
  Write(Out("127.0.0.2", "Suser.dad"), "not asked");
  auto runner = Start(8, {"1"});
  ProcessResult result = Terminal(*runner, "127.0.0.2");
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Lines(result.out), Strings{"127.0.0.2 no data"});
  runner->processChanges();
  EXPECT_EQ(runner->list().row(1).status, kStatusStandBy);
  EXPECT_EQ(runner->list().row(0).status, kStatusWaiting);
  EXPECT_FALSE(fs::exists(Data("Suser2.rec")));
  EXPECT_FALSE(runner->finished());
  runner->close();
}

TEST_F(JobE2eTest, ProductLoadToBothRecordSizesAndClosingQuestion) {
  {
    auto t = db().open(ycoy60::kTable);
    t->append();
    t->setNumber(ycoy60::Y60_PROPLU, 7);
    t->setString(ycoy60::Y60_STATUS, "2");
    ASSERT_TRUE(t->post());
  }
  auto products = LoadProducts(db(), true);
  auto runner = Start(kJobProductLoad, {"1", "2"});
  ProcessResult model5 = Terminal(*runner, "127.0.0.1", {"--model", "5"});
  ProcessResult model3 = Terminal(*runner, "127.0.0.2", {"--model", "3"});
  const std::string list = CompleteProductList(products);
  for (auto [from, result, bytes] : {std::tuple{"127.0.0.1", &model5, ProductsFile(products, ProductRecordSize::k86)},
                                     std::tuple{"127.0.0.2", &model3, ProductsFile(products, ProductRecordSize::k80)}}) {
    std::string f(from);
    EXPECT_EQ(result->exit_code, 0) << result->out;
    EXPECT_EQ(Lines(result->out), (Strings{f + " sent Sid.dad 25", f + " received RProds.dad " + std::to_string(bytes.size()),
                                           f + " received Rnlumnt.dad " + std::to_string(list.size()), f + " end"}));
    EXPECT_EQ(Slurp(In(f, "RProds.dad")), bytes) << f;
    EXPECT_EQ(Slurp(In(f, "Rnlumnt.dad")), list) << f;
  }
  ASSERT_TRUE(Drain(*runner));
  messages_.QueueConfirm(true);
  EXPECT_TRUE(runner->close());
  EXPECT_EQ(messages_.texts(), Strings{"Deseja apagar o arquivo de alterações\rde produtos ? [sn]"});
  EXPECT_EQ(db().open(ycoy60::kTable)->recordCount(), 0u);
  EXPECT_FALSE(fs::exists(Data("Rnlumnt.dad")));
}

TEST_F(JobE2eTest, ChangedProductsLoad) {
  for (auto [plu, status] : {std::pair{30.0, "2"}, {10.0, "1"}}) {
    auto t = db().open(ycoy60::kTable);
    t->append();
    t->setNumber(ycoy60::Y60_PROPLU, plu);
    t->setString(ycoy60::Y60_RESUM, "ITEM");
    t->setString(ycoy60::Y60_STATUS, status);
    ASSERT_TRUE(t->post());
  }
  JobOptions no_stock;
  no_stock.stock = false;
  auto runner = Start(kJobChangedProducts, {"3"}, no_stock);
  EXPECT_EQ(runner->caption(), "Enviar Cadastro de Produtos(Não Alterar Estoque)");
  ProcessResult result = Terminal(*runner, "127.0.0.3");
  std::string sent = Slurp(In("127.0.0.3", "Rnlumnt.dad"));
  EXPECT_EQ(Lines(result.out), (Strings{"127.0.0.3 received Rnlumnt.dad 118", "127.0.0.3 end"}));
  ASSERT_EQ(sent.size(), 118u);
  EXPECT_EQ(sent.substr(0, 13), "1000000000010");
  EXPECT_EQ(sent.substr(59, 13), "4000000000030");
  EXPECT_EQ(sent, Slurp(Data("nlumnt")));
  ASSERT_TRUE(Drain(*runner));
  messages_.QueueConfirm(false);
  EXPECT_FALSE(runner->close());
  EXPECT_EQ(db().open(ycoy60::kTable)->recordCount(), 2u);
  EXPECT_TRUE(fs::exists(Data("Rnlumnt.dad")));
}

// ---- a kind added to the job table is served with nothing else changed

LoadContent FromTablesForTest(JobContext& c) { return {LoadContent::kWrite, DepartmentsFile(c.db)}; }
LoadContent GreetingLoad(JobContext& c) { return {LoadContent::kWrite, "BOM DIA " + c.db.dir().filename().string()}; }
constexpr JobStep kSendGreeting[] = {{'R', "saudacao", GreetingLoad}, {'R', "depto", FromTablesForTest}};
constexpr JobStep kAskWeather[] = {{'S', "clima"}, {'S', "vento"}};

TEST_F(JobE2eTest, NewKindsAreOneRowEach) {
  testing::ScopedJobKind load({.kind = 251, .caption = "Enviar Saudação", .direction = 'R',
                               .register_name = "saudacao", .role = JobRole::kLoad, .steps = kSendGreeting});
  testing::ScopedJobKind reading({.kind = 25, .caption = "Leitura do Clima", .direction = 'S',
                                  .register_name = "clima", .role = JobRole::kReading, .steps = kAskWeather});

  auto runner = Start(251, {"2"});
  EXPECT_EQ(runner->caption(), "Enviar Saudação");
  ProcessResult result = Terminal(*runner, "127.0.0.2");
  const std::string greeting = "BOM DIA " + dir_.path().filename().string();
  const std::string departments = DepartmentsFile(db());
  EXPECT_EQ(Lines(result.out), (Strings{"127.0.0.2 received Rsaudacao.dad " + std::to_string(greeting.size()),
                                        "127.0.0.2 received Rdepto.dad " + std::to_string(departments.size()),
                                        "127.0.0.2 end"}));
  EXPECT_EQ(Slurp(In("127.0.0.2", "Rsaudacao.dad")), greeting);
  EXPECT_EQ(Slurp(In("127.0.0.2", "Rdepto.dad")), departments);
  ASSERT_TRUE(Drain(*runner));
  runner->close();

  Write(Out("127.0.0.3", "Sclima.dad"), "SOL");
  Write(Out("127.0.0.3", "Svento.dad"), "NORTE 12");
  runner = Start(25, {"3"});
  EXPECT_EQ(StartQuestion(25, runner->caption()), "Confirma  [ Leitura do Clima ]\rdos terminais selecionados ?");
  result = Terminal(*runner, "127.0.0.3");
  EXPECT_EQ(Lines(result.out),
            (Strings{"127.0.0.3 sent Sclima.dad 3", "127.0.0.3 sent Svento.dad 8", "127.0.0.3 end"}));
  ASSERT_TRUE(Drain(*runner));
  EXPECT_EQ(ReceivedFileNames(25, 3), (Strings{"Sclima3.rec", "Svento3.rec"}));
  EXPECT_EQ(Slurp(Data("Sclima3.rec")), "SOL");
  EXPECT_EQ(Slurp(Data("Svento3.rec")), "NORTE 12");
  runner->close();
  EXPECT_TRUE(messages_.texts().empty());
}

}  // namespace
}  // namespace kaslo::comm
