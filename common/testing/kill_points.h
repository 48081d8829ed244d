// Kill tests: run an operation in a child process, kill it with SIGKILL at a
// chosen change of a data directory, and let the test reopen the directory
// and check what a crash at that moment leaves.
//
// A "change" is one call that alters a file or folder inside the directory:
// creating, truncating or writing a file, syncing it, renaming, removing,
// making a folder (write, writev, pwrite, open with O_CREAT/O_TRUNC, fopen
// for writing, fwrite, fflush, fclose, sendfile, copy_file_range, ftruncate,
// fallocate, fsync, fdatasync, rename, renameat(2), link, symlink, unlink,
// unlinkat, remove, rmdir, mkdir, mkdirat, truncate). The test binary
// replaces those libc functions with counting ones (kill_points_hooks.cpp);
// linking kaslo_kill_testing exports them so that calls from libstdc++
// (std::filesystem, std::ofstream) are counted too. Changes that libc makes
// on its own behalf are not seen: fprintf and fputs count only when their
// buffer is flushed through fflush or fclose.
//
// Changes are counted in the child only, and only those whose path or file
// descriptor lies inside the chosen directory, so the test's own output and
// other folders never shift the points. The same operation on the same
// starting files gives the same points, so a test can count them once and
// then kill at each point on a fresh copy of the starting files. Every run
// changes the directory for real, counting included.
//
// The child ends with _exit: no destructor, exit handler or test-framework
// code of the parent runs twice. An exception or a failed EXPECT/ASSERT in
// the operation, a crash or a run longer than a minute becomes a failure of
// the calling test with the child's text.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

namespace kaslo::testing {

struct KillRun {
  bool killed = false;  // the child died at the point
  int mutations = 0;    // changes carried out: point - 1 when killed, else all
};

// Runs the operation to its end in a child process and returns how many
// changes it made inside dir (-1, and a test failure, when it failed).
int CountMutations(const std::filesystem::path& dir, const std::function<void()>& operation);

// Runs the operation in a child process that dies of SIGKILL just before
// its point-th change (1-based) inside dir: changes 1..point-1 were made,
// the point-th and later ones never were. A point past the last change lets
// the operation finish (killed false).
KillRun RunKilledAt(const std::filesystem::path& dir, int point, const std::function<void()>& operation);

// `spread` points spread evenly over 1..total (both ends included) and
// every one of the last `tail` points, sorted and without repeats: many
// points of a large operation and every step of its commit.
std::vector<int> KillPoints(int total, int spread, int tail);

}  // namespace kaslo::testing
