// A session run over a local socket pair that keeps message boundaries, so
// that every write of the server is seen as one piece: the blocks of a load
// and the frames around them.
#include "comm/session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "comm/protocol_test_support.h"
#include "comm/session_protocol.h"

namespace kaslo::comm {
namespace {

using namespace comm::testing;

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = FreshDir("kaslo_session_");
    list_.addRow(TerminalRow{"2", "127.0.0.2", kStatusWaiting, "0 %", kImageWaiting});
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the session for `job` and returns every piece the terminal side
  // read until the server closed.
  std::vector<std::string> Serve(const ServerJob& job) {
    Socket server_side, terminal_side;
    EXPECT_TRUE(Socket::Pair(&server_side, &terminal_side));
    std::thread session([&] {
      TTerminalSession(job, list_, server_side, "127.0.0.2", stopping_).Run();
      server_side.Close();
    });
    std::vector<std::string> pieces;
    char buffer[4096];
    for (;;) {
      long n = terminal_side.ReadSome(buffer, sizeof(buffer), 10000);
      if (n <= 0) break;
      pieces.emplace_back(buffer, static_cast<size_t>(n));
    }
    terminal_side.Close();
    session.join();
    return pieces;
  }

  fs::path dir_;
  TerminalList list_;
  std::atomic<bool> stopping_{false};
};

TEST_F(SessionTest, ClientLoadGoesIn128ByteBlocks) {
  std::string content = Pattern(300);
  Write(dir_ / "RClient.dad", content);
  std::vector<std::string> pieces = Serve({161, dir_, WireName('R', "Client.dad"), false});
  ASSERT_EQ(pieces.size(), 5u);
  EXPECT_EQ(pieces[0], FileHeaderFrame(WireName('R', "Client.dad"), 300));
  EXPECT_EQ(pieces[1], content.substr(0, 128));
  EXPECT_EQ(pieces[2], content.substr(128, 128));
  EXPECT_EQ(pieces[3], content.substr(256));
  EXPECT_EQ(pieces[4], EndFrame());
  TerminalRow row = list_.row(0);
  EXPECT_EQ(row.image, kImageFinished);
  EXPECT_EQ(row.status, kStatusCommunicating);
  EXPECT_EQ(row.progress, "100 %");
}

TEST_F(SessionTest, GroupLoadSendsBothFilesIn80ByteBlocks) {
  Write(dir_ / "Rgrpdepto.dad", Pattern(440, 1));
  Write(dir_ / "Rdepto.dad", Pattern(170, 2));
  std::vector<std::string> pieces = Serve({101, dir_, WireName('R', "grpdepto.dad"), false});
  // Header + 6 blocks (5 of 80, one of 40), header + 3 blocks, end frame.
  ASSERT_EQ(pieces.size(), 1u + 6 + 1 + 3 + 1);
  EXPECT_EQ(pieces[0], FileHeaderFrame(WireName('R', "grpdepto.dad"), 440));
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(pieces[i].size(), 80u);
  EXPECT_EQ(pieces[6], Pattern(440, 1).substr(400));
  EXPECT_EQ(pieces[7], FileHeaderFrame(WireName('R', "depto.dad"), 170));
  EXPECT_EQ(pieces[8] + pieces[9] + pieces[10], Pattern(170, 2));
  EXPECT_EQ(pieces[10].size(), 10u);
  EXPECT_EQ(pieces[11], EndFrame());
}

TEST_F(SessionTest, OptionLoadWalksThreeFilesAndStopsAtMissingOne) {
  Write(dir_ / "Rperif.dad", "SNNNN");
  Write(dir_ / "Rcodbarra.dad", "SS00100");
  // No Rflags.dad: the third step answers with the no-data reply.
  std::vector<std::string> pieces = Serve({131, dir_, WireName('R', "perif.dad"), false});
  ASSERT_EQ(pieces.size(), 5u);
  EXPECT_EQ(pieces[0], FileHeaderFrame(WireName('R', "perif.dad"), 5));
  EXPECT_EQ(pieces[1], "SNNNN");
  EXPECT_EQ(pieces[2], FileHeaderFrame(WireName('R', "codbarra.dad"), 7));
  EXPECT_EQ(pieces[3], "SS00100");
  EXPECT_EQ(pieces[4], NoDataReply());
}

TEST_F(SessionTest, ZeroLengthFileIsAnnouncedAsZero) {
  Write(dir_ / "Ruser.dad", "");
  std::vector<std::string> pieces = Serve({88, dir_, WireName('R', "user.dad"), false});
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0], std::string("\x02Ruser.dad    0\x03") + static_cast<char>(Checksum("\x02Ruser.dad    0\x03")));
  EXPECT_EQ(pieces[1], EndFrame());
}

// The receiving side, one piece per write of the terminal.
class ReadingSessionTest : public SessionTest {
 protected:
  // Runs the session for `job`; `terminal` plays the terminal's side and
  // returns when it is done, then everything left is read until the close.
  void Converse(const ServerJob& job, const std::function<void(Socket&)>& terminal) {
    Socket server_side, terminal_side;
    ASSERT_TRUE(Socket::Pair(&server_side, &terminal_side));
    std::thread session([&] {
      TTerminalSession(job, list_, server_side, "127.0.0.2", stopping_).Run();
      server_side.Close();
    });
    terminal(terminal_side);
    char buffer[4096];
    while (terminal_side.ReadSome(buffer, sizeof(buffer), 10000) > 0) {
    }
    terminal_side.Close();
    session.join();
  }
  // The next piece the server sent.
  static std::string Next(Socket& terminal) {
    char buffer[4096];
    long n = terminal.ReadSome(buffer, sizeof(buffer), 10000);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
  }
};

TEST_F(ReadingSessionTest, AFinishedReadingEndsAtZeroPercent) {
  Write(dir_ / "Suser.dad", "08/12/2026 09:05:07\r\n");
  const std::string data = Pattern(900, 7);
  Converse({8, dir_, WireName('S', "user.dad"), false}, [&](Socket& terminal) {
    ASSERT_EQ(Next(terminal), RequestFrame(WireName('S', "user.dad")));
    ASSERT_TRUE(terminal.WriteAll(TerminalHeaderFrame(WireName('S', "user.dad"), 900)));
    for (size_t at = 0; at < data.size(); at += 300) ASSERT_TRUE(terminal.WriteAll(data.substr(at, 300)));
    EXPECT_EQ(Next(terminal), EndFrame());
  });
  EXPECT_EQ(Slurp(dir_ / "Suser2.rec"), data);
  TerminalRow row = list_.row(0);
  EXPECT_EQ(row.image, kImageFinished);
  EXPECT_EQ(row.progress, "0 %");
}

TEST_F(ReadingSessionTest, ABlankSizeIsAnEmptyFileAndTheReadingGoesOn) {
  Write(dir_ / "SProds.dad", "");
  const std::string products = Pattern(172, 3);
  Converse({18, dir_, WireName('S', "Prods.dad"), false}, [&](Socket& terminal) {
    ASSERT_EQ(Next(terminal), RequestFrame(WireName('S', "id.dad")));
    std::string blank = "\x02" + WireName('S', "id.dad") + "     \x03";
    ASSERT_TRUE(terminal.WriteAll(blank + static_cast<char>(Checksum(blank))));
    ASSERT_EQ(Next(terminal), RequestFrame(WireName('S', "Prods.dad")));
    ASSERT_TRUE(terminal.WriteAll(TerminalHeaderFrame(WireName('S', "Prods.dad"), products.size()) + products));
    EXPECT_EQ(Next(terminal), EndFrame());
  });
  ASSERT_TRUE(fs::exists(dir_ / "Sid2.rec"));
  EXPECT_EQ(fs::file_size(dir_ / "Sid2.rec"), 0u);
  EXPECT_EQ(Slurp(dir_ / "SProds2.rec"), products);
}

// The identity file removed while it arrives (by hand, or a viewer taking
// it): the session ends at the next piece with the end frame instead of
// asking for the products, and the file does not come back.
TEST_F(ReadingSessionTest, AFileRemovedWhileArrivingEndsTheSession) {
  Write(dir_ / "SProds.dad", "");
  const std::string identity = Pattern(600, 4);
  const fs::path target = dir_ / "Sid2.rec";
  for (bool unknown_size : {false, true}) {
    Converse({18, dir_, WireName('S', "Prods.dad"), false}, [&](Socket& terminal) {
      ASSERT_EQ(Next(terminal), RequestFrame(WireName('S', "id.dad")));
      std::optional<uint64_t> size;
      if (!unknown_size) size = identity.size();
      ASSERT_TRUE(terminal.WriteAll(TerminalHeaderFrame(WireName('S', "id.dad"), size)));
      ASSERT_TRUE(terminal.WriteAll(identity.substr(0, 300)));
      for (int i = 0; i < 1000; ++i) {
        std::error_code ec;
        if (fs::file_size(target, ec) > 0 && !ec) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      ASSERT_TRUE(fs::remove(target));
      ASSERT_TRUE(terminal.WriteAll(identity.substr(300) + (unknown_size ? std::string(kDataEndMarker) : "")));
      EXPECT_EQ(Next(terminal), EndFrame()) << unknown_size;
    });
    EXPECT_FALSE(fs::exists(target)) << unknown_size;
    EXPECT_FALSE(fs::exists(dir_ / "SProds2.rec")) << unknown_size;
    EXPECT_EQ(list_.row(0).image, kImageFinished);
  }
}

}  // namespace
}  // namespace kaslo::comm
