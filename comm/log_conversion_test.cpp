// The LOG conversion against files in a temporary folder.
#include "comm/log_conversion.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

namespace kaslo::comm {
namespace {

namespace fs = std::filesystem;

kaslo::DateTime March2026() {
  using namespace std::chrono;
  return kaslo::DateTime{year{2026} / month{3} / day{15}, 10, 20, 30};
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class LogConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kaslo_log_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST(LogRecordLineTest, HexAndRawTails) {
  EXPECT_EQ(LogRecordLine(std::string("\x01\x0A\xFF\xCC")), "010AFFCC");
  // 0x63: bytes from the 24th on are characters; the 30th is "A".
  std::string record(1, '\x63');
  record += std::string(22, '\x10');
  record += "xxxxxxAbc";
  record += '\xCC';
  ASSERT_EQ(record[29], 'A');
  std::string hex;
  for (int i = 0; i < 22; ++i) hex += "10";
  EXPECT_EQ(LogRecordLine(record), "63" + hex + "xxxxxxAbcCC");
  // 0x60 0x01: characters from the 3rd byte; 0x60 0x02 stays hexadecimal.
  EXPECT_EQ(LogRecordLine(std::string("\x60\x01Hello\xCC")), "6001HelloCC");
  EXPECT_EQ(LogRecordLine(std::string("\x60\x02Hi\xCC")), "6002" "4869CC");
  // A short 0x63 record never reaches its tail.
  EXPECT_EQ(LogRecordLine(std::string("\x63\x41\xCC")), "6341CC");
}

TEST_F(LogConversionTest, LinesTargetsAndSourceRemoved) {
  // Three records; a 0xCC inside the raw tail of the second still ends it,
  // and the source's last byte 0xCC leaves no extra line.
  std::string source = std::string("\x01\x02\xCC") + "\x60\x01" "ab" "\xCC" "\x7F\xCC";
  Write(dir_ / "SLogs3.rec", source);
  ConvertLog(dir_, 3, false, March2026());
  const std::string expected = "0102CC\r\n6001abCC\r\n7FCC\r\n";
  EXPECT_EQ(Slurp(dir_ / "SLogs3.trz"), expected);
  EXPECT_EQ(Slurp(dir_ / "SLG0320263.trz"), expected);
  EXPECT_FALSE(fs::exists(dir_ / "SLogs3.rec"));
  EXPECT_EQ(MonthLogFileName(12, March2026()), "SLG03202612.trz");
}

TEST_F(LogConversionTest, CutLastRecordStillGetsItsLine) {
  Write(dir_ / "SLogs1.rec", std::string("\x01\xCC\x02\x03"));
  ConvertLog(dir_, 1, false, March2026());
  EXPECT_EQ(Slurp(dir_ / "SLogs1.trz"), "01CC\r\n0203\r\n");
}

TEST_F(LogConversionTest, LogClearAppendsReadingsOtherwiseRewrites) {
  Write(dir_ / "SLogs2.rec", std::string("\x11\xCC"));
  ConvertLog(dir_, 2, true, March2026());
  Write(dir_ / "SLogs2.rec", std::string("\x22\xCC"));
  ConvertLog(dir_, 2, true, March2026());
  EXPECT_EQ(Slurp(dir_ / "SLogs2.trz"), "11CC\r\n22CC\r\n");

  // Without the option the reading replaces the file; the month file
  // collects every reading all the same.
  Write(dir_ / "SLogs2.rec", std::string("\x33\xCC"));
  ConvertLog(dir_, 2, false, March2026());
  EXPECT_EQ(Slurp(dir_ / "SLogs2.trz"), "33CC\r\n");
  EXPECT_EQ(Slurp(dir_ / "SLG0320262.trz"), "11CC\r\n22CC\r\n33CC\r\n");
}

TEST_F(LogConversionTest, MissingSourceTouchesNothing) {
  Write(dir_ / "SLogs4.trz", "old\r\n");
  ConvertLog(dir_, 4, false, March2026());
  EXPECT_EQ(Slurp(dir_ / "SLogs4.trz"), "old\r\n");
  EXPECT_FALSE(fs::exists(dir_ / "SLG0320264.trz"));
}

TEST_F(LogConversionTest, LargeLogStreamsAcrossReadBlocks) {
  std::string source;
  std::string expected;
  for (int i = 0; i < 30000; ++i) {
    source += "\x60\x01";
    source += "record text";
    source += '\xCC';
    expected += "6001record textCC\r\n";
  }
  Write(dir_ / "SLogs5.rec", source);
  ConvertLog(dir_, 5, false, March2026());
  EXPECT_EQ(Slurp(dir_ / "SLogs5.trz"), expected);
}

}  // namespace
}  // namespace kaslo::comm
