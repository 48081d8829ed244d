// Tests of the Latin-1 / UTF-8 conversion used where texts meet widgets.
#include "common/encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace kaslo {

namespace {

TEST(EncodingTest, RoundTripOfPortugueseTexts) {
  for (const std::string utf8 : {"Ação", "ÍTEM", "Comunicação Finalizada", "plain", ""}) {
    const std::string latin1 = kaslo::Utf8ToLatin1(utf8);
    EXPECT_EQ(kaslo::Latin1ToUtf8(latin1), utf8);
  }
  EXPECT_EQ(kaslo::Utf8ToLatin1("Ação"), "A\xE7\xE3o");
  EXPECT_EQ(kaslo::Utf8ToLatin1("ÍTEM"), "\xCDTEM");
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  EXPECT_EQ(kaslo::Utf8ToLatin1(kaslo::Latin1ToUtf8(all)), all);
}

TEST(EncodingTest, OutsideLatin1BecomesQuestionMark) {
  EXPECT_EQ(kaslo::Utf8ToLatin1("€5"), "?5");
  EXPECT_EQ(kaslo::Utf8ToLatin1("a😀b"), "a?b");
  EXPECT_EQ(kaslo::Utf8ToLatin1("\xC3"), "?");  // truncated sequence
  EXPECT_EQ(kaslo::Utf8ToLatin1("\xE2\x82"), "?");
}

}  // namespace

}  // namespace kaslo
