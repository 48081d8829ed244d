// The server on a free loopback port, served to kaslo-terminal (a child
// process connecting from 127.0.0.x): what the terminal received and what
// the server stored, byte for byte, and the rows the sessions left.
#include "comm/server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "comm/protocol_test_support.h"
#include "comm/session_protocol.h"
#include "common/clock.h"

namespace kaslo::comm {
namespace {

using namespace comm::testing;

class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = FreshDir("kaslo_server_");
    terminal_dir_ = FreshDir("kaslo_terminal_");
  }
  void TearDown() override {
    server_.reset();
    kaslo::SetFixedNow(std::nullopt);
    fs::remove_all(dir_);
    fs::remove_all(terminal_dir_);
  }

  void AddRow(const std::string& caption, const std::string& address, const char* status = kStatusWaiting,
              int image = kImageWaiting) {
    list_.addRow(TerminalRow{caption, address, status, "0 %", image});
  }

  void Start(int job_kind, const std::string& first_file, bool log_clear = false) {
    std::string wire = first_file.empty() ? std::string() : WireName(first_file[0], first_file.substr(1));
    server_ = std::make_unique<TMavtroneServer>(ServerJob{job_kind, dir_, wire, log_clear}, list_);
    ASSERT_TRUE(server_->start(0, "127.0.0.1")) << server_->startError();
  }

  // kaslo-terminal from `from` with its folders under terminal_dir_.
  ProcessResult Terminal(const std::string& from, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--port", std::to_string(server_->port()), "--from", from,
                                     "--receive-dir", (terminal_dir_ / "in").string(),
                                     "--send-dir", (terminal_dir_ / "out").string(), "--timeout", "30"};
    args.insert(args.end(), extra.begin(), extra.end());
    ProcessResult result = RunTerminal(args);
    // The session's last row change follows the close the terminal saw.
    WaitIdle();
    return result;
  }

  void WaitIdle() {
    for (int i = 0; i < 500 && server_->activeSessions() > 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  fs::path In(const std::string& name) const { return terminal_dir_ / "in" / name; }
  fs::path Out(const std::string& name) const { return terminal_dir_ / "out" / name; }

  fs::path dir_;
  fs::path terminal_dir_;
  TerminalList list_;
  std::unique_ptr<TMavtroneServer> server_;
};

using Strings = std::vector<std::string>;

TEST_F(ServerTest, LoadReachesTerminalByteForByte) {
  AddRow("2", "127.0.0.2");
  std::string content = Pattern(300);
  Write(dir_ / "Ruser.dad", content);
  Start(88, "Ruser.dad");
  ProcessResult result = Terminal("127.0.0.2");
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Lines(result.out), (Strings{"127.0.0.2 received Ruser.dad 300", "127.0.0.2 end"}));
  EXPECT_EQ(Slurp(In("Ruser.dad")), content);
  TerminalRow row = list_.row(0);
  EXPECT_EQ(row.status, kStatusCommunicating);
  EXPECT_EQ(row.image, kImageFinished);
  EXPECT_EQ(row.progress, "100 %");
}

TEST_F(ServerTest, ClientLoadAndZeroLengthFile) {
  AddRow("3", "127.0.0.3");
  std::string content = Pattern(400, 5);
  Write(dir_ / "RClient.dad", content);
  Start(161, "RClient.dad");
  ProcessResult result = Terminal("127.0.0.3");
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Slurp(In("RClient.dad")), content);

  server_.reset();
  list_.update(0, [](TerminalRow& row) { row.status = kStatusWaiting; });
  Write(dir_ / "Rvend.dad", "");
  Start(99, "Rvend.dad");
  result = Terminal("127.0.0.3");
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Lines(result.out), (Strings{"127.0.0.3 received Rvend.dad 0", "127.0.0.3 end"}));
  EXPECT_TRUE(fs::exists(In("Rvend.dad")));
  EXPECT_EQ(fs::file_size(In("Rvend.dad")), 0u);
}

class ProductLoadTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    using namespace std::chrono;
    kaslo::SetFixedNow(kaslo::DateTime{year{2026} / month{12} / day{8}, 9, 5, 7});
    AddRow("1", "127.0.0.4");
    AddRow("2", "127.0.0.5");
    Write(dir_ / "RProds.dad", "08/12/2026 09:05:07\r\n");
    Write(dir_ / "Prods3", Pattern(160, 3));  // two 80-byte records
    Write(dir_ / "Prods5", Pattern(172, 5));  // two 86-byte records
  }
};

TEST_F(ProductLoadTest, IdentitySelectsRecordSize) {
  Write(dir_ / "Rnlumnt.dad", "2000000000001PRODUTO\r\n");
  Start(181, "");
  ProcessResult model4 = Terminal("127.0.0.4", {"--model", "4"});
  EXPECT_EQ(model4.exit_code, 0) << model4.out;
  EXPECT_EQ(Lines(model4.out), (Strings{"127.0.0.4 sent Sid.dad 25", "127.0.0.4 received RProds.dad 172",
                                        "127.0.0.4 received Rnlumnt.dad 22", "127.0.0.4 end"}));
  EXPECT_EQ(Slurp(In("RProds.dad")), Pattern(172, 5));
  EXPECT_EQ(Slurp(In("Rnlumnt.dad")), "2000000000001PRODUTO\r\n");
  EXPECT_EQ(Slurp(dir_ / "Sid.dad"), "08/12/2026 09:05:07\r\n");

  ProcessResult model3 = Terminal("127.0.0.5", {"--model", "3"});
  EXPECT_EQ(model3.exit_code, 0) << model3.out;
  EXPECT_EQ(Slurp(In("RProds.dad")), Pattern(160, 3));
  EXPECT_EQ(list_.row(0).image, kImageFinished);
  EXPECT_EQ(list_.row(1).image, kImageFinished);
}

TEST_F(ProductLoadTest, IdentityInPiecesWithoutProductList) {
  Start(181, "");
  // The identity arrives in pieces of 5 bytes; no Rnlumnt.dad: the session
  // ends with the no-data reply instead of the end frame.
  ProcessResult result = Terminal("127.0.0.4", {"--chunk", "5"});
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Lines(result.out), (Strings{"127.0.0.4 sent Sid.dad 25", "127.0.0.4 received RProds.dad 172",
                                        "127.0.0.4 no data"}));
  EXPECT_EQ(Slurp(In("RProds.dad")), Pattern(172, 5));
}

TEST_F(ServerTest, UnknownAndNotWaitingTerminalsGetNoData) {
  AddRow("1", "127.0.0.6", kStatusStandBy, kImageStandBy);
  AddRow("2", "127.0.0.7", kStatusSelected, kImageSelected);
  Write(dir_ / "Ruser.dad", "abc");
  Start(88, "Ruser.dad");
  for (const char* from : {"127.0.0.6", "127.0.0.7", "127.0.0.9"}) {
    ProcessResult result = Terminal(from);
    EXPECT_EQ(result.exit_code, 0) << result.out;
    EXPECT_EQ(Lines(result.out), Strings{std::string(from) + " no data"});
  }
  EXPECT_FALSE(fs::exists(In("Ruser.dad")));
  ASSERT_EQ(list_.size(), 3u);
  EXPECT_EQ(list_.row(0).status, kStatusStandBy);
  EXPECT_EQ(list_.row(1).status, kStatusSelected);
  TerminalRow added = list_.row(2);
  EXPECT_EQ(added.caption, "");
  EXPECT_EQ(added.address, "127.0.0.9");
  EXPECT_EQ(added.image, kImageFinished);
}

TEST_F(ServerTest, MissingLoadFileGetsNoData) {
  AddRow("1", "127.0.0.2");
  Start(88, "Ruser.dad");
  ProcessResult result = Terminal("127.0.0.2");
  EXPECT_EQ(Lines(result.out), Strings{"127.0.0.2 no data"});
}

TEST_F(ServerTest, RegisterReadingWithUnknownSizeInSmallChunks) {
  AddRow("3", "127.0.0.2");
  Write(dir_ / "Suser.dad", "08/12/2026 09:05:07\r\n");
  // Data ending like the start of the marker are not mistaken for it.
  std::string answer = Pattern(200, 9) + std::string(kDataEndMarker).substr(0, 3);
  Write(Out("Suser.dad"), answer);
  Start(8, "Suser.dad");
  ProcessResult result = Terminal("127.0.0.2", {"--unknown-size", "--chunk", "7"});
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Lines(result.out), (Strings{"127.0.0.2 sent Suser.dad 203", "127.0.0.2 end"}));
  EXPECT_EQ(Slurp(dir_ / "Suser3.rec"), answer);
  EXPECT_EQ(list_.row(0).image, kImageFinished);
}

TEST_F(ServerTest, TwoFileReadingAndBadHeaderChecksum) {
  AddRow("4", "127.0.0.2");
  Write(dir_ / "Sfinaliz.dad", "marker");
  Write(dir_ / "Scfgfinal.dad", "marker");
  Write(Out("Sfinaliz.dad"), Pattern(150, 1));
  Write(Out("Scfgfinal.dad"), Pattern(90, 2));
  Start(12, "Sfinaliz.dad");
  // The first header goes once with a wrong checksum: it is ignored.
  ProcessResult result = Terminal("127.0.0.2", {"--corrupt-first-header"});
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Lines(result.out),
            (Strings{"127.0.0.2 sent Sfinaliz.dad 150", "127.0.0.2 sent Scfgfinal.dad 90", "127.0.0.2 end"}));
  EXPECT_EQ(Slurp(dir_ / "Sfinaliz4.rec"), Pattern(150, 1));
  EXPECT_EQ(Slurp(dir_ / "Scfgfinal4.rec"), Pattern(90, 2));
}

TEST_F(ServerTest, SilentTerminalTimesOut) {
  AddRow("5", "127.0.0.2");
  Write(dir_ / "Svend.dad", "marker");
  Start(9, "Svend.dad");
  ProcessResult result = Terminal("127.0.0.2", {"--silent"});
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Lines(result.out), (Strings{"127.0.0.2 ignored Svend.dad", "127.0.0.2 end"}));
  EXPECT_FALSE(fs::exists(dir_ / "Svend5.rec"));
  EXPECT_EQ(list_.row(0).image, kImageFinished);
}

class LogReadingTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    using namespace std::chrono;
    kaslo::SetFixedNow(kaslo::DateTime{year{2026} / month{12} / day{8}, 9, 5, 7});
    AddRow("6", "127.0.0.2");
    Write(dir_ / "SLogs.dad", "marker");
  }
  void Reading(const std::string& log, const Strings& expected_lines) {
    Write(Out("SLogs.dad"), log);
    list_.update(0, [](TerminalRow& row) { row.status = kStatusWaiting; });
    ProcessResult result = Terminal("127.0.0.2");
    EXPECT_EQ(result.exit_code, 0) << result.out;
    EXPECT_EQ(Lines(result.out), expected_lines);
  }
};

TEST_F(LogReadingTest, LogClearAsksToClearAndCollectsReadings) {
  Write(dir_ / "CZLogs.dad", "marker");
  Start(23, "SLogs.dad", true);
  std::string first = std::string("\x60\x01") + "ABERTURA" + "\xCC" + "\x10\x20\xCC";
  Reading(first, {"127.0.0.2 sent SLogs.dad 14", "127.0.0.2 command CZLogs.dad", "127.0.0.2 end"});
  Reading(std::string("\x30\xCC"), {"127.0.0.2 sent SLogs.dad 2", "127.0.0.2 command CZLogs.dad", "127.0.0.2 end"});
  EXPECT_EQ(Slurp(dir_ / "SLogs6.trz"), "6001ABERTURACC\r\n1020CC\r\n30CC\r\n");
  EXPECT_EQ(Slurp(dir_ / "SLG1220266.trz"), "6001ABERTURACC\r\n1020CC\r\n30CC\r\n");
  EXPECT_FALSE(fs::exists(dir_ / "SLogs6.rec"));
}

TEST_F(LogReadingTest, NoClearCommandWithoutItsFile) {
  Start(23, "SLogs.dad", true);
  Reading(std::string("\x30\xCC"), {"127.0.0.2 sent SLogs.dad 2", "127.0.0.2 end"});
  EXPECT_EQ(Slurp(dir_ / "SLogs6.trz"), "30CC\r\n");
}

TEST_F(ServerTest, TwentyTerminalsAtOnce) {
  std::vector<std::string> addresses;
  for (int i = 1; i <= 20; ++i) {
    addresses.push_back("127.0.0." + std::to_string(i));
    AddRow(std::to_string(i), addresses.back());
  }
  std::string content = Pattern(250, 4);
  Write(dir_ / "Rdepto.dad", content);
  Start(111, "Rdepto.dad");
  ProcessResult result = Terminal("127.0.0.1", {"--terminals", "20"});
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Lines(result.out).size(), 40u);
  for (size_t i = 0; i < addresses.size(); ++i) {
    EXPECT_EQ(Slurp(terminal_dir_ / "in" / addresses[i] / "Rdepto.dad"), content) << addresses[i];
    EXPECT_EQ(list_.row(i).image, kImageFinished) << addresses[i];
  }
}

// A terminal played by the test itself, for what kaslo-terminal never sends.
class RawTerminal {
 public:
  RawTerminal(uint16_t port, const std::string& from) {
    std::string error;
    socket_ = Socket::Connect("127.0.0.1", port, from, 5000, &error);
    EXPECT_TRUE(socket_.valid()) << error;
  }
  std::string ReadAll() {
    std::string all;
    char buffer[1024];
    long n;
    while ((n = socket_.ReadSome(buffer, sizeof(buffer), 10000)) > 0) all.append(buffer, static_cast<size_t>(n));
    return all;
  }
  Socket socket_;
};

// Reads the server's request for the operators and answers it with a
// header announcing `size`, followed by `data`.
void AnswerOperators(RawTerminal& terminal, const std::string& size, const std::string& data = {}) {
  const std::string request = RequestFrame(WireName('S', "user.dad"));
  std::string got(request.size(), '\0');
  ASSERT_TRUE(terminal.socket_.ReadExact(got.data(), got.size(), 5000));
  EXPECT_EQ(got, request);
  std::string header = "\x02" + WireName('S', "user.dad") + size + "\x03";
  header += static_cast<char>(Checksum(header));
  ASSERT_TRUE(terminal.socket_.WriteAll(header + data));
}

TEST_F(ServerTest, HugeOrNegativeSizeEndsSession) {
  AddRow("7", "127.0.0.2");
  Write(dir_ / "Suser.dad", "marker");
  Start(8, "Suser.dad");
  for (std::string size : {std::to_string(kMaxReceivedFileSize + 1), std::string("-5")}) {
    list_.update(0, [](TerminalRow& row) { row.status = kStatusWaiting; });
    RawTerminal terminal(server_->port(), "127.0.0.2");
    AnswerOperators(terminal, size, "some data");
    EXPECT_EQ(terminal.ReadAll(), EndFrame()) << size;
    WaitIdle();
    EXPECT_FALSE(fs::exists(dir_ / "Suser7.rec")) << size;
  }
}

TEST_F(ServerTest, ABlankSizeIsAnEmptyFile) {
  AddRow("7", "127.0.0.2");
  Write(dir_ / "Suser.dad", "marker");
  Start(8, "Suser.dad");
  for (std::string size : {std::string("     "), std::string("??")}) {
    list_.update(0, [](TerminalRow& row) { row.status = kStatusWaiting; });
    fs::remove(dir_ / "Suser7.rec");
    RawTerminal terminal(server_->port(), "127.0.0.2");
    AnswerOperators(terminal, size);
    // The operators' reading has no next request: the end frame.
    EXPECT_EQ(terminal.ReadAll(), EndFrame()) << size;
    WaitIdle();
    ASSERT_TRUE(fs::exists(dir_ / "Suser7.rec")) << size;
    EXPECT_EQ(fs::file_size(dir_ / "Suser7.rec"), 0u) << size;
  }
}

TEST_F(ServerTest, AReadingInPiecesEndsAtZeroPercent) {
  AddRow("3", "127.0.0.2");
  Write(dir_ / "Suser.dad", "08/12/2026 09:05:07\r\n");
  const std::string answer = Pattern(900, 4);
  Write(Out("Suser.dad"), answer);
  Start(8, "Suser.dad");
  ProcessResult result = Terminal("127.0.0.2", {"--chunk", "300"});
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Lines(result.out), (Strings{"127.0.0.2 sent Suser.dad 900", "127.0.0.2 end"}));
  EXPECT_EQ(Slurp(dir_ / "Suser3.rec"), answer);
  TerminalRow row = list_.row(0);
  EXPECT_EQ(row.image, kImageFinished);
  EXPECT_EQ(row.progress, "0 %");
}

TEST_F(ServerTest, ConnectionsAboveLimitAreClosedAndStopEndsAll) {
  AddRow("8", "127.0.0.1");
  Write(dir_ / "Suser.dad", "marker");
  Start(8, "Suser.dad");
  std::vector<std::unique_ptr<RawTerminal>> held;
  std::string request = RequestFrame(WireName('S', "user.dad"));
  for (size_t i = 0; i < kMaxConnections; ++i) {
    held.push_back(std::make_unique<RawTerminal>(server_->port(), "127.0.0.1"));
    std::string got(request.size(), '\0');
    ASSERT_TRUE(held.back()->socket_.ReadExact(got.data(), got.size(), 5000));
  }
  EXPECT_EQ(server_->activeSessions(), kMaxConnections);
  RawTerminal extra(server_->port(), "127.0.0.1");
  EXPECT_EQ(extra.ReadAll(), "");  // closed without a byte
  // Stopping wakes every session waiting for its terminal and joins them.
  server_->stop();
  EXPECT_EQ(server_->activeSessions(), 0u);
}

}  // namespace
}  // namespace kaslo::comm
