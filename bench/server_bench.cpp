// kaslo-server-bench: the communication server serving twenty simulated
// terminals at once (kaslo-terminal from 127.0.0.1 to 127.0.0.20), each
// sending one register reading of a given size. For every size a fresh
// process hosts the server alone, so that its CPU time and peak resident
// memory (getrusage) are the server's; the terminals run in a child process.
// Peak memory that stays flat from 1 MiB to 50 MiB per terminal shows that
// the sessions stream to disk instead of holding files.
//
//   kaslo-server-bench [--terminals N] [--sizes 1,50] [--dir FOLDER]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "comm/server.h"
#include "comm/session_protocol.h"
#include "comm/terminal_list.h"

extern char** environ;

namespace kaslo::bench {

namespace {

namespace fs = std::filesystem;

struct Figures {
  double wall_s = 0;
  double cpu_s = 0;
  long peak_kib = 0;
  int finished = 0;
  bool files_ok = false;
};

std::string Address(int i) { return "127.0.0." + std::to_string(i); }

// Writes `mib` MiB of a byte pattern once; the other terminals link to it.
// One terminal alone answers from the send folder itself.
void WriteReadings(const fs::path& send_root, int terminals, size_t mib) {
  fs::path first = terminals == 1 ? send_root / "Suser.dad" : send_root / Address(1) / "Suser.dad";
  fs::create_directories(first.parent_path());
  std::string block(1 << 20, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  std::ofstream out(first, std::ios::binary);
  for (size_t m = 0; m < mib; ++m) out.write(block.data(), static_cast<std::streamsize>(block.size()));
  out.close();
  for (int t = 2; t <= terminals; ++t) {
    fs::create_directories(send_root / Address(t));
    fs::create_hard_link(first, send_root / Address(t) / "Suser.dad");
  }
}

pid_t SpawnTerminals(uint16_t port, int terminals, const fs::path& root) {
  std::string program = std::string(KASLO_BIN_DIR) + "/kaslo-terminal";
  std::vector<std::string> args = {program, "--port", std::to_string(port), "--from", Address(1), "--terminals",
                                   std::to_string(terminals), "--receive-dir", (root / "in").string(),
                                   "--send-dir", (root / "out").string(), "--timeout", "600"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

double Seconds(const timeval& tv) { return static_cast<double>(tv.tv_sec) + tv.tv_usec / 1e6; }

// One run in this process: the server on a free port, the terminals in a child.
Figures Run(const fs::path& root, int terminals, size_t mib) {
  Figures f;
  fs::path data = root / "data";
  fs::create_directories(data);
  std::ofstream(data / "Suser.dad") << "08/12/2026 09:05:07\r\n";
  WriteReadings(root / "out", terminals, mib);

  comm::TerminalList list;
  for (int t = 1; t <= terminals; ++t)
    list.addRow({std::to_string(t), Address(t), comm::kStatusWaiting, "0 %", comm::kImageWaiting});
  comm::TMavtroneServer server({8, data, comm::WireName('S', "user.dad"), false}, list);
  if (!server.start(0, "127.0.0.1")) {
    std::fprintf(stderr, "cannot listen: %s\n", server.startError().c_str());
    return f;
  }
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  auto start = std::chrono::steady_clock::now();
  pid_t pid = SpawnTerminals(server.port(), terminals, root);
  int status = 0;
  if (pid > 0) waitpid(pid, &status, 0);
  for (int i = 0; i < 6000 && server.activeSessions() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  f.wall_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  server.stop();
  f.cpu_s = Seconds(after.ru_utime) - Seconds(before.ru_utime) + Seconds(after.ru_stime) - Seconds(before.ru_stime);
  f.peak_kib = after.ru_maxrss;
  f.files_ok = true;
  for (int t = 1; t <= terminals; ++t) {
    if (list.row(t - 1).image == comm::kImageFinished) ++f.finished;
    std::error_code ec;
    if (fs::file_size(data / ("Suser" + std::to_string(t) + ".rec"), ec) != mib << 20) f.files_ok = false;
  }
  return f;
}

}  // namespace

int Main(int argc, char** argv) {
  int terminals = 20;
  std::vector<size_t> sizes = {1, 50};
  fs::path base = fs::temp_directory_path();
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string opt = argv[i], value = argv[i + 1];
    if (opt == "--terminals") {
      terminals = std::atoi(value.c_str());
    } else if (opt == "--sizes") {
      sizes.clear();
      for (size_t at = 0; at < value.size();) {
        size_t comma = value.find(',', at);
        sizes.push_back(std::strtoul(value.substr(at, comma - at).c_str(), nullptr, 10));
        at = comma == std::string::npos ? value.size() : comma + 1;
      }
    } else if (opt == "--dir") {
      base = value;
    } else {
      std::fprintf(stderr, "usage: kaslo-server-bench [--terminals N] [--sizes 1,50] [--dir FOLDER]\n");
      return 2;
    }
  }
  if (terminals < 1 || terminals > 250) return 2;

  std::printf("%-10s %9s %8s %8s %10s %9s %s\n", "MiB/term", "terminals", "wall s", "cpu s", "peak KiB", "finished",
              "files");
  int failures = 0;
  for (size_t mib : sizes) {
    // A fresh process per size: ru_maxrss is a lifetime peak.
    int fds[2];
    if (pipe(fds) != 0) return 1;
    pid_t child = fork();
    if (child == 0) {
      close(fds[0]);
      fs::path root = base / ("kaslo-server-bench-" + std::to_string(getpid()));
      fs::remove_all(root);
      Figures f = Run(root, terminals, mib);
      fs::remove_all(root);
      ssize_t written = write(fds[1], &f, sizeof f);
      _exit(written == sizeof f ? 0 : 1);
    }
    close(fds[1]);
    Figures f;
    bool got = read(fds[0], &f, sizeof f) == sizeof f;
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!got || f.finished != terminals || !f.files_ok) ++failures;
    std::printf("%-10zu %9d %8.2f %8.2f %10ld %9d %s\n", mib, terminals, f.wall_s, f.cpu_s, f.peak_kib, f.finished,
                f.files_ok ? "ok" : "WRONG");
    std::fflush(stdout);
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace kaslo::bench

int main(int argc, char** argv) { return kaslo::bench::Main(argc, argv); }
