// Tests of the month routines across leap years and the year's end.
#include "common/dates.h"

#include <gtest/gtest.h>

namespace kaslo {

namespace {

using namespace std::chrono;

TEST(DatesTest, YearAndMonth) {
  EXPECT_EQ(AnoDaData(2007y / December / 31), 2007);
  EXPECT_EQ(MesDaData(2007y / December / 31), 12);
  EXPECT_EQ(MesDaData(2008y / January / 1), 1);
}

TEST(DatesTest, FirstAndLastDayOfTheMonth) {
  for (unsigned d = 1; d <= 29; ++d) {
    EXPECT_EQ(UltimoDiaMes(2008y / February / day{d}), 2008y / February / 29);
    EXPECT_EQ(PrimeiroDiaMes(2008y / February / day{d}), 2008y / February / 1);
  }
  for (unsigned d = 1; d <= 31; ++d) EXPECT_EQ(UltimoDiaMes(2007y / December / day{d}), 2007y / December / 31);
  EXPECT_EQ(UltimoDiaMes(2007y / February / 10), 2007y / February / 28);
  EXPECT_EQ(UltimoDiaMes(1900y / February / 1), 1900y / February / 28);
  EXPECT_EQ(UltimoDiaMes(2000y / February / 1), 2000y / February / 29);
  EXPECT_EQ(UltimoDiaMes(2008y / April / 30), 2008y / April / 30);
  EXPECT_EQ(UltimoDiaMes(2008y / February / 31), 2008y / February / 29);  // invalid day
}

TEST(DatesTest, TypedDatesAndTimes) {
  EXPECT_EQ(ParseDayMonthYear("29/02/2024"), 2024y / February / 29);
  EXPECT_EQ(ParseDayMonthYear("7/3/2026"), 2026y / March / 7);
  for (const char* wrong : {"29/02/2023", "31/04/2026", "00/01/2026", "01/13/2026", "01/01/26", "01/01/20266",
                            " 1/01/2026", "01-01-2026", "01/01/2026 ", "  /  /    ", ""}) {
    EXPECT_FALSE(ParseDayMonthYear(wrong)) << wrong;
  }
  EXPECT_EQ(ParseHourMinute("00:00"), (std::pair{0, 0}));
  EXPECT_EQ(ParseHourMinute("23:59"), (std::pair{23, 59}));
  EXPECT_EQ(ParseHourMinute("9:05"), (std::pair{9, 5}));
  for (const char* wrong : {"24:00", "12:60", "12:5", "12:005", "1205", ":", "  :  ", "+1:00", ""}) {
    EXPECT_FALSE(ParseHourMinute(wrong)) << wrong;
  }
}

}  // namespace

}  // namespace kaslo
