// JobRunner: one communication job from selection to close, without a
// window. It owns the terminal list and the server, prepares the job's files
// and reacts to the rows' changes: a row that reaches the finished image
// becomes "Comunicação Finalizada" and gets the job's follow-up once (the
// next continuous LOG reading, or the SINTEGRA file of the terminal).
//
// Threads: the connection threads change rows; the list's observer only
// queues the row index and wakes the owner. Everything else, follow-ups
// included, runs on the owner thread, which drains the queue with
// processChanges(): the command line after waitForChanges(), a window from
// the queued call its wakeup hook posts.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "comm/jobs.h"
#include "comm/server.h"
#include "comm/terminal_list.h"
#include "db/database.h"

namespace kaslo::comm {

inline constexpr std::string_view kNoTerminalSelected = "Não foi selecionado nenhum terminal para comunicação!";
inline constexpr std::string_view kLabelPreparing = "Aguarde, gerando arquivo...";
inline constexpr std::string_view kLabelServerStarted = "Servidor de comunicação inicializado";
inline constexpr std::string_view kLabelServerStopped = "Servidor de comunicação encerrado";

class JobRunner {
 public:
  // Reads the terminal list from Ycoter, the LOG-clear option from the
  // parameters and the continuous LOG reading from the INI file. The
  // confirmation is on, as when the window opens.
  JobRunner(const db::Database& db, int job_kind, JobOptions options = {});
  // Stops the server; asks nothing (call close() for the closing question).
  ~JobRunner();
  JobRunner(const JobRunner&) = delete;
  JobRunner& operator=(const JobRunner&) = delete;

  int jobKind() const { return kind_; }
  const std::string& caption() const { return caption_; }
  TerminalList& list() { return list_; }
  bool logClear() const { return log_clear_; }
  bool continuousLog() const { return continuous_log_; }
  bool selectionLocked() const { return selection_locked_; }
  void setConfirmation(bool on) { confirmation_ = on; }
  bool confirmation() const { return confirmation_; }
  // The wait label: kLabelPreparing, kLabelServerStarted, kLabelServerStopped or "".
  const std::string& label() const { return label_; }

  // ---- selection (owner thread); ignored while the selection is locked.
  // Rows without an address are never selected.
  void toggleRow(size_t row);
  void selectAll();    // "Selecionar &Todos"
  void selectNone();   // "Seleção Individual"
  // Selects the rows with these captions; returns the captions of no
  // selectable row (nothing is selected then).
  std::vector<std::string> selectCaptions(const std::vector<std::string>& captions);

  enum class StartResult {
    kNoSelection,  // kNoTerminalSelected shown, nothing changed
    kDeclined,     // the start question was answered No (selection stays locked)
    kFailed,       // a file could not be written: the message was shown, nothing started
    kNoRecords,    // product load without rows: message shown, the window closes
    kStarted,
  };
  // "Iniciar &Servidor": checks the selection, asks the start question when
  // the confirmation is on, prepares the job's files, sets the selected rows
  // to "Aguardando Comunicação" and starts the server on `port` (0 picks a
  // free one). Messages go through kaslo::Messages().
  StartResult start(uint16_t port, const std::string& bind_address = "0.0.0.0");
  // Whether the listener runs (a failed listen is reported as started, as
  // the window does; the command line checks this), its port and error.
  bool listening() const { return listening_; }
  uint16_t port() const;
  std::string serverError() const;

  // ---- row changes
  // Called on the connection thread after a change has been queued. Set it
  // before start(); it must not block.
  void setWakeup(std::function<void()> wakeup) { wakeup_ = std::move(wakeup); }
  // Told of every follow-up on the owner thread: the row and a short text
  // ("SINTEGRA r60m1.txt", "LOG: nova leitura").
  void setFollowUpListener(std::function<void(size_t, const std::string&)> listener) {
    follow_up_listener_ = std::move(listener);
  }
  // Told of every change of the wait label, on the owner thread, at once:
  // the window shows "Aguarde, gerando arquivo..." before the preparation
  // that follows it on the same thread.
  void setLabelListener(std::function<void(const std::string&)> listener) {
    label_listener_ = std::move(listener);
  }
  // Blocks at most `timeout` until a change is queued; true when one is.
  bool waitForChanges(std::chrono::milliseconds timeout);
  // Owner thread: drains the queue, finishes rows and runs their
  // follow-ups. Returns the changed rows, each once, in order of change.
  std::vector<size_t> processChanges();
  // True when every row armed by start() (or a re-armed LOG reading) has
  // finished and had its follow-up.
  bool finished() const;

  // Close: stops the server and, for 181 and 499, asks whether to empty the
  // change queue (kaslo::Messages().confirm). True when it was emptied.
  bool close();

 private:
  struct RowState {
    bool armed = false;
    bool handled = false;
  };

  void OnRowChanged(size_t row);
  void FollowUp(size_t row);
  // Prepares the job's files and, when ready, sets every selected row
  // waiting. `initial`: the first preparation, which may delete the received
  // files of every row; later ones spare the rows still communicating.
  Preparation Prepare(bool initial);
  void SetLabel(std::string_view text);

  db::Database db_;
  const int kind_;
  const JobOptions options_;
  std::string caption_;
  bool log_clear_ = false;
  bool continuous_log_ = false;
  bool confirmation_ = true;
  bool selection_locked_ = false;
  bool listening_ = false;
  std::string label_;
  std::string first_wire_name_;

  TerminalList list_;
  std::map<size_t, RowState> rows_;  // owner thread only

  std::function<void()> wakeup_;
  std::function<void(size_t, const std::string&)> follow_up_listener_;
  std::function<void(const std::string&)> label_listener_;
  std::mutex queue_mutex_;
  std::condition_variable queue_cv_;
  std::deque<size_t> queue_;

  std::unique_ptr<TMavtroneServer> server_;  // after list_: destroyed first
};

}  // namespace kaslo::comm
