// TTerminalSession: one connection with one terminal, run on the
// connection's thread. The sending side pushes the job's files (or the
// first request) and walks the job's file steps; the receiving side stores
// what the terminal answers and asks for the next file; the end updates the
// terminal's row and, for a LOG reading, converts the LOG.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "comm/job_table.h"
#include "comm/server.h"
#include "comm/socket.h"
#include "comm/terminal_list.h"
#include "common/clock.h"

namespace kaslo::comm {

// Pause after each block sent: the terminals take data at this pace.
inline constexpr int kBlockPauseMs = 30;
inline constexpr int kReportReadTimeoutMs = 40000;
inline constexpr int kReadTimeoutMs = 4000;
inline constexpr int kAfterLogReadTimeoutMs = 1;

class TTerminalSession {
 public:
  // `socket` is the accepted connection; `peer` its address as text. The
  // job, the list and the stop flag must outlive the session.
  TTerminalSession(const ServerJob& job, TerminalList& list, Socket& socket, std::string peer,
                   const std::atomic<bool>& stopping);
  TTerminalSession(const TTerminalSession&) = delete;
  TTerminalSession& operator=(const TTerminalSession&) = delete;

  // Serves the connection to its end and closes it; then marks the row of
  // the address finished (image 5).
  void Run();

  int terminalNumber() const { return terminal_; }

 private:
  class Receiver;

  // True when the receiving side takes over.
  bool SendSide();
  void ReceiveSide();
  bool SendFile(const std::filesystem::path& content);
  void SendNoData();
  void EndWithEndFrame();
  void Drop();
  void SetProgress(const std::string& text);
  void Disconnected();
  void WriteIdentityMarker() const;
  std::filesystem::path FileOf(const std::string& wire_name) const;
  // The job's step being served; nullptr for the identity and for a job
  // outside the table.
  const JobStep* CurrentStep() const;
  // Moves to the job's next step that applies; nullptr when none is left.
  const JobStep* NextStep();

  const ServerJob& job_;
  const JobKind* kind_;  // nullptr for a kind outside the table: the first file only
  TerminalList& list_;
  Socket& socket_;
  const std::string peer_;
  const std::atomic<bool>& stopping_;
  int terminal_ = 0;
  std::optional<size_t> row_;
  uint64_t done_ = 0;
  uint64_t total_ = 0;
  uint64_t base_ = 0;
  int step_ = 0;  // index in the job's steps; -1 while the identity is asked
  std::string wire_name_;
  int read_timeout_ms_ = -1;
  std::string identity_;
};

}  // namespace kaslo::comm
