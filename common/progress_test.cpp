// The progress guards against a port that logs every call in order.
#include "common/progress.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace kaslo {
namespace {

using Calls = std::vector<std::string>;

class CallLog final : public ProgressPort {
 public:
  void show(const std::string& text) override { calls.push_back("show " + text); }
  void setMaximum(int maximum) override { calls.push_back("maximum " + std::to_string(maximum)); }
  void setPosition(int position) override { calls.push_back("position " + std::to_string(position)); }
  void hide() override { calls.push_back("hide"); }
  Calls calls;
};

class ProgressGuards : public ::testing::Test {
 protected:
  CallLog log_;
  ScopedProgressPort installed_{log_};
};

TEST_F(ProgressGuards, TextAloneLeavesTheBarAlone) {
  {
    ScopedProgress progress("Aguarde...");
    progress.text("Aguarde, gravando...");
  }
  EXPECT_EQ(log_.calls, (Calls{"show Aguarde...", "show Aguarde, gravando...", "hide"}));
}

TEST_F(ProgressGuards, AMaximumShowsTheBarAndPutsItBack) {
  {
    ScopedProgress progress("Lendo", 3);
    progress.step();
    progress.text("Gravando");
    progress.step();
    progress.step();
  }
  EXPECT_EQ(log_.calls, (Calls{"show Lendo", "maximum 3", "position 1", "show Gravando", "position 2", "position 3",
                               "maximum 0", "hide"}));
}

TEST_F(ProgressGuards, HidesWhenAnExceptionLeavesTheScope) {
  try {
    ScopedProgress progress("Aguarde...", 10);
    progress.step();
    throw std::runtime_error("falhou");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(log_.calls, (Calls{"show Aguarde...", "maximum 10", "position 1", "maximum 0", "hide"}));
}

TEST_F(ProgressGuards, ClosedEarlyHidesOnce) {
  {
    ScopedProgress progress("Aguarde...");
    progress.close();
    log_.calls.push_back("after close");
    progress.close();
  }
  EXPECT_EQ(log_.calls, (Calls{"show Aguarde...", "hide", "after close"}));
}

TEST_F(ProgressGuards, ALongBarMovesByVisibleStepsAndReachesTheEnd) {
  constexpr int kMaximum = 1003;  // a stride of 5 that does not end on the maximum
  {
    ScopedProgress progress("Lendo", kMaximum);
    for (int i = 0; i < kMaximum; ++i) progress.step();
  }
  std::vector<int> positions;
  for (const std::string& call : log_.calls) {
    if (call.rfind("position ", 0) == 0) positions.push_back(std::stoi(call.substr(9)));
  }
  ASSERT_EQ(positions.size(), 201u);
  EXPECT_EQ(positions[0], 5);
  EXPECT_EQ(positions[199], 1000);
  EXPECT_EQ(positions.back(), kMaximum);
}

TEST_F(ProgressGuards, APortInstalledForAScopeGivesBackThePreviousOne) {
  CallLog inner;
  {
    ScopedProgressPort scope(inner);
    MostraProgresso("dentro");
  }
  MostraProgresso("fora");
  EXPECT_EQ(inner.calls, (Calls{"show dentro"}));
  EXPECT_EQ(log_.calls, (Calls{"show fora"}));
}

}  // namespace
}  // namespace kaslo
