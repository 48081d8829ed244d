// Kill tests: the child process that runs the operation, and what the parent
// makes of its end.
#include "common/testing/kill_points.h"

#include <fcntl.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "common/testing/kill_points_hooks.h"

namespace kaslo::testing {
namespace {

constexpr std::chrono::seconds kChildTimeout{60};

// How a child ended, and the one line it wrote back: "done <count>" or
// "error <text>"; nothing when it died before the end.
struct ChildEnd {
  int status = 0;
  bool timed_out = false;
  std::string report;
};

// The child's copy of the test framework would record an EXPECT or ASSERT
// failure of the operation where the parent never sees it; it is caught
// here and sent back with the report instead.
std::string RunOperation(const std::filesystem::path& dir, int kill_at, const std::function<void()>& operation) {
  // Both scopes: a reporter of this thread inherited from the parent (a
  // test of failures) would otherwise come first.
  using Reporter = ::testing::ScopedFakeTestPartResultReporter;
  ::testing::TestPartResultArray failures;
  Reporter all_threads(Reporter::INTERCEPT_ALL_THREADS, &failures);
  Reporter this_thread(Reporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
  std::string error;
  try {
    internal::ArmKillPoints(dir, kill_at);
    operation();
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "an exception that is not a std::exception";
  }
  int count = internal::DisarmKillPoints();
  for (int i = 0; i < failures.size(); ++i) {
    const ::testing::TestPartResult& failure = failures.GetTestPartResult(i);
    if (!failure.failed()) continue;
    if (!error.empty()) error += "\n";
    if (failure.file_name()) error += std::string(failure.file_name()) + ":" + std::to_string(failure.line_number()) + ": ";
    error += failure.message();
  }
  return error.empty() ? "done " + std::to_string(count) : "error " + error;
}

[[noreturn]] void ChildMain(int report_fd, const std::filesystem::path& dir, int kill_at,
                            const std::function<void()>& operation) {
  std::string report = RunOperation(dir, kill_at, operation);
  for (size_t done = 0; done < report.size();) {
    ssize_t n = ::write(report_fd, report.data() + done, report.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  std::fflush(nullptr);
  // _exit: the parent's exit handlers, static destructors and the test
  // framework's end-of-run output belong to the parent alone.
  ::_exit(0);
}

// Reads the child's report until it closes its end (exits or dies); false
// when the time is up first.
bool ReadReport(int fd, std::string& report) {
  const auto deadline = std::chrono::steady_clock::now() + kChildTimeout;
  char buffer[4096];
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return true;
    report.append(buffer, static_cast<size_t>(n));
  }
}

ChildEnd RunChild(const std::filesystem::path& dir, int kill_at, const std::function<void()>& operation) {
  ChildEnd end;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    end.report = std::string("error pipe: ") + std::strerror(errno);
    return end;
  }
  // What is buffered now would otherwise be written by both processes.
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    ChildMain(fds[1], dir, kill_at, operation);
  }
  ::close(fds[1]);
  if (pid < 0) {
    ::close(fds[0]);
    end.report = std::string("error fork: ") + std::strerror(errno);
    return end;
  }
  end.timed_out = !ReadReport(fds[0], end.report);
  ::close(fds[0]);
  if (end.timed_out) ::kill(pid, SIGKILL);
  while (::waitpid(pid, &end.status, 0) < 0 && errno == EINTR) {
  }
  return end;
}

std::optional<int> Finished(const ChildEnd& end) {
  if (end.timed_out || !WIFEXITED(end.status) || WEXITSTATUS(end.status) != 0) return std::nullopt;
  if (!end.report.starts_with("done ")) return std::nullopt;
  return std::stoi(end.report.substr(5));
}

bool KilledAtPoint(const ChildEnd& end) {
  return !end.timed_out && end.report.empty() && WIFSIGNALED(end.status) && WTERMSIG(end.status) == SIGKILL;
}

std::string Failure(const ChildEnd& end) {
  if (end.timed_out) return "the operation did not end within " + std::to_string(kChildTimeout.count()) + " s";
  if (end.report.starts_with("error ")) return "the operation failed in the child process: " + end.report.substr(6);
  if (WIFSIGNALED(end.status)) {
    return "the child process died of signal " + std::to_string(WTERMSIG(end.status)) + " (" +
           strsignal(WTERMSIG(end.status)) + ")";
  }
  return "the child process exited with status " + std::to_string(WEXITSTATUS(end.status)) + " and report \"" +
         end.report + "\"";
}

}  // namespace

int CountMutations(const std::filesystem::path& dir, const std::function<void()>& operation) {
  ChildEnd end = RunChild(dir, 0, operation);
  if (std::optional<int> count = Finished(end)) return *count;
  ADD_FAILURE() << Failure(end);
  return -1;
}

KillRun RunKilledAt(const std::filesystem::path& dir, int point, const std::function<void()>& operation) {
  if (point < 1) {
    ADD_FAILURE() << "kill points count from 1, not " << point;
    return {};
  }
  ChildEnd end = RunChild(dir, point, operation);
  if (KilledAtPoint(end)) return {true, point - 1};
  if (std::optional<int> count = Finished(end)) return {false, *count};
  ADD_FAILURE() << "at kill point " << point << ": " << Failure(end);
  return {};
}

std::vector<int> KillPoints(int total, int spread, int tail) {
  std::vector<int> points;
  if (total <= 0) return points;
  for (int i = 0; i < spread; ++i) {
    points.push_back(spread == 1 ? 1 : 1 + static_cast<int>(int64_t{i} * (total - 1) / (spread - 1)));
  }
  for (int p = std::max(1, total - tail + 1); p <= total; ++p) points.push_back(p);
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end()), points.end());
  return points;
}

}  // namespace kaslo::testing
