// The checker that every SINTEGRA test runs on the files it writes: a sound
// file passes, and each kind of damage a writer could do is reported.
#include "comm/sintegra_check.h"

#include <gtest/gtest.h>

#include "comm/sintegra_header.h"
#include "db/temp_data_dir.h"

namespace kaslo::comm::testing {
namespace {

std::string Line(std::string start) {
  start.resize(126, ' ');
  return start;
}

class SintegraCheckTest : public ::testing::Test {
 protected:
  // A sound daily file: 10, 11, 60M, 60D, 75 and the three 90 records.
  std::vector<std::string> Sound() const {
    std::vector<std::string> lines = {
        Line("10" "12345678000195" "110042490114  MERCADO"),
        Line("11RUA"),
        Line("60M20261203"),
        Line("60D20261203" + std::string(20, ' ') + "00000000000123"),
        Line("752026120320261203" "00000000000123"),
    };
    for (const auto& l : ClosingRecords(lines[0], 2, 1, lines.size())) lines.push_back(l);
    return lines;
  }
  std::vector<std::string> Check(const std::vector<std::string>& lines, const std::string& end = "\r\n") const {
    std::ofstream out(File(), std::ios::binary | std::ios::trunc);
    for (const auto& l : lines) out << l << end;
    out.close();
    return CheckSintegraFile(File());
  }
  std::filesystem::path File() const { return dir_.path() / "SINTEGRA1.txt"; }

  db::testing::TempDataDir dir_{{}, false};
};

TEST_F(SintegraCheckTest, SoundFilePasses) { EXPECT_EQ(Check(Sound()), std::vector<std::string>{}); }

TEST_F(SintegraCheckTest, EachDamageIsReported) {
  EXPECT_FALSE(Check(Sound(), "\n").empty());  // LF alone: one run-on line

  auto lines = Sound();
  lines[2].pop_back();  // 125 characters
  EXPECT_EQ(Check(lines), std::vector<std::string>{"SINTEGRA1.txt: line 3 has 125 characters"});

  lines = Sound();
  lines[6][39] = '2';  // the "75" count says 2
  ASSERT_EQ(Check(lines).size(), 1u);
  EXPECT_TRUE(Check(lines)[0].starts_with("SINTEGRA1.txt: record 90 75 is")) << Check(lines)[0];

  lines = Sound();
  lines.insert(lines.begin() + 4, Line("60D20261204" + std::string(20, ' ') + "00000000000123"));  // no 75 that day
  const auto problems = Check(lines);
  EXPECT_NE(std::find(problems.begin(), problems.end(), "SINTEGRA1.txt: line 5 has no record 75"), problems.end());

  lines = Sound();
  std::swap(lines[3], lines[4]);  // a 75 before a 60D
  EXPECT_EQ(Check(lines), std::vector<std::string>{"SINTEGRA1.txt: line 5 is out of order"});

  lines = Sound();
  lines[2] = Line("61R20261203");
  EXPECT_NE(Check(lines).front().find("line 3 is no record of ours"), std::string::npos);
}

}  // namespace
}  // namespace kaslo::comm::testing
