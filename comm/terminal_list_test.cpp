// The session lookups of the terminal list and its observer.
#include "comm/terminal_list.h"

#include <gtest/gtest.h>

namespace kaslo::comm {
namespace {

TerminalRow Row(const std::string& caption, const std::string& address, const char* status, int image) {
  return TerminalRow{caption, address, status, "0 %", image};
}

TEST(TerminalListTest, CheckAndMark) {
  TerminalList list;
  list.addRow(Row("1", "10.0.0.1", kStatusStandBy, kImageStandBy));
  list.addRow(Row("2", "10.0.0.2", kStatusWaiting, kImageWaiting));
  list.addRow(Row("x", "10.0.0.3", kStatusWaiting, kImageWaiting));
  list.addRow(Row("7", "10.0.0.1", kStatusWaiting, kImageWaiting));  // second row, same address

  // Without marking nothing changes.
  EXPECT_EQ(list.checkAndMark("10.0.0.2", false), 2);
  EXPECT_EQ(list.row(1).status, kStatusWaiting);
  // Marking: "Comunicando", image 2; a communicating row still qualifies.
  EXPECT_EQ(list.checkAndMark("10.0.0.2", true), 2);
  EXPECT_EQ(list.row(1).status, kStatusCommunicating);
  EXPECT_EQ(list.row(1).image, kImageCommunicating);
  EXPECT_EQ(list.checkAndMark("10.0.0.2", true), 2);
  // The first qualifying row of an address, skipping a Stand By one.
  EXPECT_EQ(list.checkAndMark("10.0.0.1", true), 7);
  EXPECT_EQ(list.row(0).status, kStatusStandBy);
  // A caption that is not a number gives 0.
  EXPECT_EQ(list.checkAndMark("10.0.0.3", true), 0);

  list.update(3, [](TerminalRow& row) { row.status = kStatusFinished; });
  EXPECT_EQ(list.checkAndMark("10.0.0.1", true), 0);  // rows exist, none waiting
  EXPECT_EQ(list.size(), 4u);

  // An unknown address gets a row with an empty caption.
  EXPECT_EQ(list.checkAndMark("10.0.0.9", false), 5);
  TerminalRow added = list.row(4);
  EXPECT_EQ(added.caption, "");
  EXPECT_EQ(added.address, "10.0.0.9");
  EXPECT_EQ(added.status, kStatusWaiting);
  EXPECT_EQ(added.image, kImageCommunicating);
  // Marked afterwards it qualifies, but its empty caption gives 0.
  EXPECT_EQ(list.checkAndMark("10.0.0.9", true), 0);
}

TEST(TerminalListTest, NumberOnlyAndRowIndex) {
  TerminalList list;
  list.addRow(Row("1", "10.0.0.1", kStatusStandBy, kImageStandBy));
  list.addRow(Row("4", "10.0.0.1", kStatusCommunicating, kImageCommunicating));
  EXPECT_EQ(list.numberOnly("10.0.0.1"), 4);
  EXPECT_EQ(list.numberOnly("10.0.0.8"), 0);
  EXPECT_EQ(list.size(), 2u);  // never appends
  EXPECT_EQ(list.rowIndex("10.0.0.1"), 0u);
  EXPECT_EQ(list.rowIndex("10.0.0.8"), std::nullopt);
}

TEST(TerminalListTest, ObserverRunsUnlockedForEveryChange) {
  TerminalList list;
  std::vector<size_t> seen;
  std::vector<std::string> statuses;
  // Reading the list from the observer would deadlock if it ran locked.
  list.setObserver([&](size_t row) {
    seen.push_back(row);
    statuses.push_back(list.row(row).status);
  });
  list.addRow(Row("1", "10.0.0.1", kStatusWaiting, kImageWaiting));
  list.checkAndMark("10.0.0.1", false);  // no change, no call
  list.checkAndMark("10.0.0.1", true);
  list.checkAndMark("10.0.0.2", false);  // appended
  list.update(7, [](TerminalRow& row) { row.image = 5; });  // out of range
  EXPECT_EQ(seen, (std::vector<size_t>{0, 0, 1}));
  EXPECT_EQ(statuses, (std::vector<std::string>{kStatusWaiting, kStatusCommunicating, kStatusWaiting}));
}

}  // namespace
}  // namespace kaslo::comm
