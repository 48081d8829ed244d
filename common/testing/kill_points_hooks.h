// The counting side of kill tests: kill_points_hooks.cpp replaces libc's
// file-changing functions in the test binary; these switch its counting on
// and off in the calling process.
#pragma once

#include <filesystem>

namespace kaslo::testing::internal {

// From now on counts the changes inside dir made by this process. With
// kill_at > 0 the process dies of SIGKILL just before change kill_at.
void ArmKillPoints(const std::filesystem::path& dir, int kill_at);
// Stops counting and returns the number of changes counted since arming.
int DisarmKillPoints();

}  // namespace kaslo::testing::internal
