// The server under load and faults, over loopback: many short connections,
// terminals that vanish halfway through a frame or a file while others are
// served, a stream without a size that never ends, and rounds of twenty
// terminals at once. Threads, descriptors and memory are read from /proc.
#include "comm/server.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "comm/protocol_test_support.h"
#include "comm/session_protocol.h"
#include "common/clock.h"

namespace kaslo::comm {
namespace {

using namespace comm::testing;
using Clock = std::chrono::steady_clock;
using Strings = std::vector<std::string>;

size_t EntriesIn(const fs::path& dir) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++count;
  return count;
}

size_t ThreadCount() { return EntriesIn("/proc/self/task"); }
size_t DescriptorCount() { return EntriesIn("/proc/self/fd"); }

// Resident memory in KiB.
long ResidentKib() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// Polls `done` every 10 ms for at most `limit`; true once it holds.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// A terminal played by the test with a bare socket, for the faults that
// kaslo-terminal never commits.
class RawTerminal {
 public:
  RawTerminal(uint16_t port, const std::string& from) {
    std::string error;
    socket_ = Socket::Connect("127.0.0.1", port, from, 5000, &error);
    EXPECT_TRUE(socket_.valid()) << error;
  }
  // True when exactly `expected` arrives next.
  bool Expect(const std::string& expected) {
    std::string got(expected.size(), '\0');
    return socket_.ReadExact(got.data(), got.size(), 5000) && got == expected;
  }
  bool Send(std::string_view bytes) { return socket_.WriteAll(bytes); }
  // Closes its end wherever it stands, as a terminal whose program stops.
  void Drop() { socket_.Close(); }
  // Vanishes with a reset, as after a network error.
  void Reset() {
    linger off{1, 0};
    setsockopt(socket_.fd(), SOL_SOCKET, SO_LINGER, &off, sizeof(off));
    socket_.Close();
  }

  Socket socket_;
};

std::string TerminalHeader(const std::string& file, const std::string& size_field) {
  std::string header = "\x02" + WireName('S', file) + size_field + "\x03";
  header += static_cast<char>(Checksum(header));
  return header;
}

class ServerStressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = FreshDir("kaslo_stress_");
    terminal_dir_ = FreshDir("kaslo_stress_terminal_");
  }
  void TearDown() override {
    server_.reset();
    if (background_.joinable()) background_.join();  // after a failed assertion
    kaslo::SetFixedNow(std::nullopt);
    fs::remove_all(dir_);
    fs::remove_all(terminal_dir_);
  }

  void AddRow(const std::string& caption, const std::string& address) {
    list_.addRow(TerminalRow{caption, address, kStatusWaiting, "0 %", kImageWaiting});
  }
  void SetAllWaiting() {
    for (size_t i = 0; i < list_.size(); ++i) {
      list_.update(i, [](TerminalRow& row) {
        row.status = kStatusWaiting;
        row.image = kImageWaiting;
      });
    }
  }

  void Start(int job_kind, const std::string& first_file) {
    std::string wire = first_file.empty() ? std::string() : WireName(first_file[0], first_file.substr(1));
    server_ = std::make_unique<TMavtroneServer>(ServerJob{job_kind, dir_, wire, false}, list_);
    ASSERT_TRUE(server_->start(0, "127.0.0.1")) << server_->startError();
  }

  std::vector<std::string> TerminalArgs(const std::string& from, unsigned terminals,
                                        std::vector<std::string> extra = {}) const {
    // Several terminals take the folders named by their addresses; one is
    // given its own.
    const fs::path in = terminals > 1 ? terminal_dir_ / "in" : terminal_dir_ / "in" / from;
    const fs::path out = terminals > 1 ? terminal_dir_ / "out" : terminal_dir_ / "out" / from;
    std::vector<std::string> args = {"--port", std::to_string(server_->port()), "--from", from,
                                     "--terminals", std::to_string(terminals),
                                     "--receive-dir", in.string(), "--send-dir", out.string(), "--timeout", "30"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }

  // kaslo-terminal on its own thread, so that the test can misbehave
  // beside it; Finish() waits for it.
  void Launch(std::vector<std::string> args) {
    background_ = std::thread([this, args] { background_result_ = RunTerminal(args); });
  }
  ProcessResult Finish() {
    background_.join();
    return background_result_;
  }

  bool WaitIdle() {
    return WaitFor([&] { return server_->activeSessions() == 0; });
  }

  // Path of a per-address folder of kaslo-terminal.
  fs::path In(const std::string& address, const std::string& file) const {
    return terminal_dir_ / "in" / address / file;
  }
  fs::path Out(const std::string& address, const std::string& file) const {
    return terminal_dir_ / "out" / address / file;
  }

  fs::path dir_;
  fs::path terminal_dir_;
  TerminalList list_;
  std::unique_ptr<TMavtroneServer> server_;
  std::thread background_;
  ProcessResult background_result_;
};

TEST_F(ServerStressTest, ManyShortConnectionsLeaveNoThreadOrDescriptor) {
  AddRow("1", "127.0.0.1");
  Write(dir_ / "Suser.dad", "marker");
  Start(8, "Suser.dad");
  const size_t threads = ThreadCount();
  const size_t descriptors = DescriptorCount();

  const std::string request = RequestFrame(WireName('S', "user.dad"));
  int requests_read = 0;
  for (int i = 0; i < 200; ++i) {
    RawTerminal terminal(server_->port(), "127.0.0.1");
    switch (i % 5) {
      case 0:  // gone before the server says a word
        break;
      case 1:  // gone after the request
        requests_read += terminal.Expect(request);
        break;
      case 2:  // gone in the middle of its header
        requests_read += terminal.Expect(request);
        terminal.Send(TerminalHeader("user.dad", "12").substr(0, 9));
        break;
      case 3:  // gone in the middle of its data
        requests_read += terminal.Expect(request);
        terminal.Send(TerminalHeader("user.dad", "NNNNN") + Pattern(300));
        break;
      case 4:  // reset at once
        terminal.Reset();
        break;
    }
    terminal.Drop();
  }
  EXPECT_GT(requests_read, 0);

  // Every session ends on its own, without stop(), and its thread is
  // joined without waiting for another terminal.
  ASSERT_TRUE(WaitIdle());
  EXPECT_TRUE(WaitFor([&] { return server_->connectionThreads() == 0; }));
  EXPECT_TRUE(WaitFor([&] { return ThreadCount() == threads && DescriptorCount() == descriptors; }))
      << "threads " << ThreadCount() << " (before " << threads << "), descriptors " << DescriptorCount()
      << " (before " << descriptors << ")";
  EXPECT_FALSE(fs::exists(dir_ / "Suser1.rec"));
  EXPECT_EQ(list_.size(), 1u) << "a row for a terminal gone before its address was read";

  // Then the listener goes too.
  server_->stop();
  EXPECT_TRUE(WaitFor([&] { return ThreadCount() == threads - 1; }));
  EXPECT_EQ(DescriptorCount(), descriptors - 1);
}

// Connections above the limit are closed at once and leave nothing either;
// once the held ones go, the server takes terminals again.
TEST_F(ServerStressTest, RefusedConnectionsLeaveNoThreadOrDescriptor) {
  AddRow("1", "127.0.0.1");
  Write(dir_ / "Suser.dad", "marker");
  Start(8, "Suser.dad");
  const size_t threads = ThreadCount();
  const size_t descriptors = DescriptorCount();

  const std::string request = RequestFrame(WireName('S', "user.dad"));
  std::vector<std::unique_ptr<RawTerminal>> held;
  for (size_t i = 0; i < kMaxConnections; ++i) {
    held.push_back(std::make_unique<RawTerminal>(server_->port(), "127.0.0.1"));
    ASSERT_TRUE(held.back()->Expect(request));
  }
  for (int i = 0; i < 20; ++i) {
    RawTerminal refused(server_->port(), "127.0.0.1");
    char byte;
    EXPECT_EQ(refused.socket_.ReadSome(&byte, 1, 5000), Socket::kClosed);
  }
  EXPECT_EQ(server_->activeSessions(), kMaxConnections);
  held.clear();

  ASSERT_TRUE(WaitIdle());
  EXPECT_TRUE(WaitFor([&] { return ThreadCount() == threads && DescriptorCount() == descriptors; }))
      << "threads " << ThreadCount() << " (before " << threads << "), descriptors " << DescriptorCount()
      << " (before " << descriptors << ")";
  RawTerminal again(server_->port(), "127.0.0.1");
  EXPECT_TRUE(again.Expect(request));
}

// Four terminals read their operators in pieces while three others vanish
// halfway: the four files arrive whole, the half files are not kept, and
// the server goes on serving.
TEST_F(ServerStressTest, DroppedReadingsLeaveOtherTransfersWhole) {
  const Strings served = {"127.0.0.21", "127.0.0.22", "127.0.0.23", "127.0.0.24"};
  for (size_t i = 0; i < served.size(); ++i) {
    AddRow(std::to_string(i + 1), served[i]);
    Write(Out(served[i], "Suser.dad"), Pattern(40000 + 1000 * i, static_cast<unsigned>(i)));
  }
  AddRow("5", "127.0.0.25");
  AddRow("6", "127.0.0.26");
  AddRow("7", "127.0.0.27");
  Write(dir_ / "Suser.dad", "marker");
  Start(8, "Suser.dad");

  const std::string request = RequestFrame(WireName('S', "user.dad"));
  RawTerminal header_drop(server_->port(), "127.0.0.25");
  RawTerminal known_drop(server_->port(), "127.0.0.26");
  RawTerminal unknown_drop(server_->port(), "127.0.0.27");
  for (RawTerminal* raw : {&header_drop, &known_drop, &unknown_drop}) ASSERT_TRUE(raw->Expect(request));

  // The three misbehave once the four are connected, whose files take
  // twenty pieces each.
  Launch(TerminalArgs("127.0.0.21", 4, {"--chunk", "2000"}));
  ASSERT_TRUE(WaitFor([&] { return server_->activeSessions() == 7; }));
  ASSERT_TRUE(header_drop.Send(TerminalHeader("user.dad", "5000").substr(0, 10)));
  ASSERT_TRUE(known_drop.Send(TerminalHeader("user.dad", "5000") + Pattern(1200, 6)));
  ASSERT_TRUE(unknown_drop.Send(TerminalHeader("user.dad", "NNNNN") + Pattern(1200, 7)));
  ASSERT_TRUE(WaitFor([&] { return fs::exists(dir_ / "Suser6.rec") && fs::exists(dir_ / "Suser7.rec"); }));
  for (RawTerminal* raw : {&header_drop, &known_drop, &unknown_drop}) raw->Drop();

  ProcessResult result = Finish();
  EXPECT_EQ(result.exit_code, 0) << result.out;
  ASSERT_TRUE(WaitIdle());
  for (size_t i = 0; i < served.size(); ++i) {
    EXPECT_EQ(Slurp(dir_ / ("Suser" + std::to_string(i + 1) + ".rec")), Slurp(Out(served[i], "Suser.dad")))
        << served[i];
  }
  EXPECT_FALSE(fs::exists(dir_ / "Suser5.rec"));
  EXPECT_FALSE(fs::exists(dir_ / "Suser6.rec"));
  EXPECT_FALSE(fs::exists(dir_ / "Suser7.rec"));
  for (size_t i = 0; i < list_.size(); ++i) EXPECT_EQ(list_.row(i).image, kImageFinished) << i;

  // Still serving: one of the dropped terminals tries again and succeeds.
  SetAllWaiting();
  Write(Out("127.0.0.26", "Suser.dad"), Pattern(5000, 6));
  result = RunTerminal(TerminalArgs("127.0.0.26", 1));
  EXPECT_EQ(result.exit_code, 0) << result.out;
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Slurp(dir_ / "Suser6.rec"), Pattern(5000, 6));
}

// A terminal that falls silent in the middle of its file (a cable pulled)
// is given up after the read time-out, and one still sending when the
// server stops is cut there: neither half file is kept.
TEST_F(ServerStressTest, FilesCutBySilenceOrStopAreRemoved) {
  AddRow("3", "127.0.0.2");
  AddRow("4", "127.0.0.3");
  Write(dir_ / "Suser.dad", "marker");
  Start(8, "Suser.dad");
  const std::string request = RequestFrame(WireName('S', "user.dad"));

  RawTerminal silent(server_->port(), "127.0.0.2");
  ASSERT_TRUE(silent.Expect(request));
  ASSERT_TRUE(silent.Send(TerminalHeader("user.dad", "5000") + Pattern(1200)));
  ASSERT_TRUE(WaitFor([&] { return fs::exists(dir_ / "Suser3.rec"); }));
  // The session ends at the time-out and says so with the end frame.
  EXPECT_TRUE(silent.Expect(EndFrame()));
  ASSERT_TRUE(WaitIdle());
  EXPECT_FALSE(fs::exists(dir_ / "Suser3.rec"));

  RawTerminal stopped(server_->port(), "127.0.0.3");
  ASSERT_TRUE(stopped.Expect(request));
  ASSERT_TRUE(stopped.Send(TerminalHeader("user.dad", "NNNNN") + Pattern(1200)));
  ASSERT_TRUE(WaitFor([&] { return fs::exists(dir_ / "Suser4.rec"); }));
  server_->stop();
  EXPECT_FALSE(fs::exists(dir_ / "Suser4.rec"));
}

// The complete product load: one terminal vanishes in the middle of its
// identity answer, another in the middle of the product file; three others
// receive both files whole.
TEST_F(ServerStressTest, DroppedProductLoadsLeaveOtherTransfersWhole) {
  using namespace std::chrono;
  kaslo::SetFixedNow(kaslo::DateTime{year{2026} / month{12} / day{8}, 9, 5, 7});
  const Strings served = {"127.0.0.31", "127.0.0.32", "127.0.0.33"};
  for (size_t i = 0; i < served.size(); ++i) AddRow(std::to_string(i + 1), served[i]);
  AddRow("4", "127.0.0.34");
  AddRow("5", "127.0.0.35");
  Write(dir_ / "RProds.dad", "08/12/2026 09:05:07\r\n");
  // Long enough (40 blocks, over a second) to be cut in the middle.
  Write(dir_ / "Prods3", Pattern(80 * 40, 3));
  Write(dir_ / "Prods5", Pattern(86 * 40, 5));
  Write(dir_ / "Rnlumnt.dad", "2000000000001PRODUTO\r\n");
  Start(181, "");

  const std::string identity_request = RequestFrame(WireName('S', "id.dad"));
  RawTerminal identity_drop(server_->port(), "127.0.0.34");
  RawTerminal file_drop(server_->port(), "127.0.0.35");
  for (RawTerminal* raw : {&identity_drop, &file_drop}) ASSERT_TRUE(raw->Expect(identity_request));

  // The two misbehave once the three are connected.
  Launch(TerminalArgs("127.0.0.31", 3));
  ASSERT_TRUE(WaitFor([&] { return server_->activeSessions() == 5; }));
  const std::string identity = TerminalHeader("id.dad", "25") + "KT127.0.0.35         4000";
  ASSERT_EQ(identity.size(), kIdentitySize);
  ASSERT_TRUE(identity_drop.Send(identity.substr(0, 30)));
  ASSERT_TRUE(file_drop.Send(identity));
  ASSERT_TRUE(file_drop.Expect(FileHeaderFrame(WireName('R', "Prods.dad"), 86 * 40)));
  ASSERT_TRUE(file_drop.Expect(Pattern(86 * 40, 5).substr(0, 160)));
  identity_drop.Drop();
  file_drop.Drop();

  ProcessResult result = Finish();
  EXPECT_EQ(result.exit_code, 0) << result.out;
  ASSERT_TRUE(WaitIdle());
  for (const std::string& address : served) {
    EXPECT_EQ(Slurp(In(address, "RProds.dad")), Pattern(86 * 40, 5)) << address;
    EXPECT_EQ(Slurp(In(address, "Rnlumnt.dad")), "2000000000001PRODUTO\r\n") << address;
  }
  EXPECT_EQ(list_.row(3).image, kImageFinished);
  EXPECT_EQ(list_.row(4).image, kImageFinished);

  SetAllWaiting();
  result = RunTerminal(TerminalArgs("127.0.0.35", 1, {"--model", "3"}));
  EXPECT_EQ(result.exit_code, 0) << result.out;
  EXPECT_EQ(Slurp(In("127.0.0.35", "RProds.dad")), Pattern(80 * 40, 3));
}

// Data announced as "NNNNN" that run past the limit without their end
// marker: the session ends and the part received is removed, as nothing is
// written when a header announces too many bytes.
TEST_F(ServerStressTest, EndlessStreamOfUnknownSizeIsCutOffAndRemoved) {
  AddRow("7", "127.0.0.2");
  Write(dir_ / "Suser.dad", "marker");
  Start(8, "Suser.dad");

  RawTerminal terminal(server_->port(), "127.0.0.2");
  ASSERT_TRUE(terminal.Expect(RequestFrame(WireName('S', "user.dad"))));
  ASSERT_TRUE(terminal.Send(TerminalHeader("user.dad", "NNNNN")));
  // Once the server stops reading, a write fails or waits for room, so the
  // writing goes on a thread of its own.
  std::thread writer([&] {
    const std::string piece = Pattern(1 << 20, 1);
    for (uint64_t sent = 0; sent < kMaxReceivedFileSize + 16 * piece.size() && terminal.Send(piece);)
      sent += piece.size();
  });
  const bool ended = WaitFor([&] { return list_.row(0).image == kImageFinished; }, std::chrono::seconds(60));
  terminal.socket_.Shutdown();
  writer.join();
  ASSERT_TRUE(ended);
  EXPECT_FALSE(fs::exists(dir_ / "Suser7.rec"));
  ASSERT_TRUE(WaitIdle());
}

// Up to the limit, a stream of unknown size is stored whole.
TEST_F(ServerStressTest, StreamOfUnknownSizeUpToTheLimitIsKept) {
  AddRow("7", "127.0.0.2");
  Write(dir_ / "Suser.dad", "marker");
  Start(8, "Suser.dad");

  RawTerminal terminal(server_->port(), "127.0.0.2");
  ASSERT_TRUE(terminal.Expect(RequestFrame(WireName('S', "user.dad"))));
  ASSERT_TRUE(terminal.Send(TerminalHeader("user.dad", "NNNNN")));
  const std::string piece = Pattern(1 << 20, 2);
  for (uint64_t sent = 0; sent < kMaxReceivedFileSize; sent += piece.size()) ASSERT_TRUE(terminal.Send(piece));
  ASSERT_TRUE(terminal.Send(kDataEndMarker));
  // The operators' reading has no next request: the end frame.
  EXPECT_TRUE(terminal.Expect(EndFrame()));
  terminal.Drop();
  ASSERT_TRUE(WaitIdle());
  std::error_code ec;
  EXPECT_EQ(fs::file_size(dir_ / "Suser7.rec", ec), kMaxReceivedFileSize);
  std::ifstream stored(dir_ / "Suser7.rec", std::ios::binary);
  std::string last(piece.size(), '\0');
  stored.seekg(static_cast<std::streamoff>(kMaxReceivedFileSize - piece.size()));
  stored.read(last.data(), static_cast<std::streamsize>(last.size()));
  EXPECT_EQ(last, piece);
}

// Rounds of twenty terminals, each answering with a megabyte: what the
// first round brings in (thread stacks, allocator arenas) stays, and later
// rounds add nothing of their own.
TEST_F(ServerStressTest, TwentyTerminalsAtOnceKeepMemoryFlat) {
  Strings addresses;
  for (int i = 1; i <= 20; ++i) {
    addresses.push_back("127.0.0." + std::to_string(40 + i));
    AddRow(std::to_string(i), addresses.back());
    Write(Out(addresses.back(), "Suser.dad"), Pattern((1 << 20) + 100 * i, static_cast<unsigned>(i)));
  }
  Write(dir_ / "Suser.dad", "marker");
  Start(8, "Suser.dad");

  auto round = [&] {
    SetAllWaiting();
    for (int i = 1; i <= 20; ++i) fs::remove(dir_ / ("Suser" + std::to_string(i) + ".rec"));
    ProcessResult result = RunTerminal(TerminalArgs("127.0.0.41", 20, {"--unknown-size"}));
    EXPECT_EQ(result.exit_code, 0) << result.out;
    EXPECT_EQ(Lines(result.out).size(), 40u) << result.out;
    EXPECT_TRUE(WaitIdle());
    for (size_t i = 0; i < addresses.size(); ++i) {
      std::error_code ec;
      EXPECT_EQ(fs::file_size(dir_ / ("Suser" + std::to_string(i + 1) + ".rec"), ec), (1u << 20) + 100 * (i + 1))
          << addresses[i];
    }
    return ResidentKib();
  };
  round();
  const long second = round();
  const long third = round();
  ASSERT_GT(second, 0);
  // One terminal's megabyte held per session would add 20 MiB a round.
  EXPECT_LT(third - second, 8 * 1024) << "second round " << second << " KiB, third " << third << " KiB";
  EXPECT_EQ(Slurp(dir_ / "Suser20.rec"), Slurp(Out(addresses.back(), "Suser.dad")));
}

}  // namespace
}  // namespace kaslo::comm
