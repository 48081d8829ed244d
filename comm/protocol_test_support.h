// Helpers of the server tests: a fresh exchange folder, file contents, and
// kaslo-terminal run as a child process.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace kaslo::comm::testing {

namespace fs = std::filesystem;

inline fs::path FreshDir(const std::string& prefix) {
  fs::path dir = fs::temp_directory_path() / (prefix + std::to_string(std::random_device{}()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

inline std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Bytes 0..255 repeated, so that misplaced blocks show.
inline std::string Pattern(size_t size, unsigned seed = 0) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + seed + i / 256) & 0xFF);
  return bytes;
}

struct ProcessResult {
  int exit_code = -1;
  std::string out;
};

// A loopback port that nothing listens on right now. It is taken below the
// ephemeral range, where the kernel never puts the local end of a client's
// connection: a port it handed out could be taken by another test's
// terminal before the server listens on it.
inline uint16_t FreeLoopbackPort() {
  static std::minstd_rand random(static_cast<unsigned>(getpid()) * 7919u + static_cast<unsigned>(time(nullptr)));
  for (;;) {
    const auto port = static_cast<uint16_t>(20000 + random() % 12000);
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool free = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    if (free) return port;
  }
}

inline fs::path BinDir() {
  const char* dir = std::getenv("KASLO_BIN_DIR");
  return dir ? fs::path(dir) : fs::path("bin");
}

// Runs build/bin/kaslo-terminal with `args` and waits for it.
inline ProcessResult RunTerminal(const std::vector<std::string>& args) {
  std::string program = (BinDir() / "kaslo-terminal").string();
  std::vector<char*> argv;
  argv.push_back(program.data());
  std::vector<std::string> copy = args;
  for (std::string& arg : copy) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int pipe_fds[2];
  ProcessResult result;
  if (pipe(pipe_fds) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  pid_t pid;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  if (rc != 0) {
    close(pipe_fds[0]);
    result.out = "cannot start " + program;
    return result;
  }
  char buffer[4096];
  ssize_t n;
  while ((n = read(pipe_fds[0], buffer, sizeof(buffer))) > 0) result.out.append(buffer, static_cast<size_t>(n));
  close(pipe_fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace kaslo::comm::testing
