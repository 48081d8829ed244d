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

}  // namespace

}  // namespace kaslo
