// The observer-driven job runner shared by `kaslo serve` and the window.
#include "comm/job_runner.h"

#include <algorithm>
#include <set>

#include "comm/load_files.h"
#include "comm/sintegra_reading.h"
#include "comm/system_ini.h"
#include "common/clock.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "db/error.h"

namespace kaslo::comm {

JobRunner::JobRunner(const db::Database& db, int job_kind, JobOptions options)
    : db_(db), kind_(job_kind), options_(std::move(options)) {
  caption_ = JobCaption(kind_, options_.stock);
  log_clear_ = LogClearOption(db_);
  continuous_log_ = LogOnLine(db_.dir());
  FillTerminalList(db_, list_);
  list_.setObserver([this](size_t row) { OnRowChanged(row); });
}

JobRunner::~JobRunner() {
  if (server_) server_->stop();
  server_.reset();
}

void JobRunner::toggleRow(size_t row) {
  if (selection_locked_ || row >= list_.size()) return;
  TerminalRow r = list_.row(row);
  if (!IsSelectableRow(r)) return;
  bool select = r.image != kImageSelected;
  list_.update(row, [select](TerminalRow& t) {
    t.image = select ? kImageSelected : kImageStandBy;
    t.status = select ? kStatusSelected : kStatusStandBy;
  });
}

void JobRunner::selectAll() {
  if (selection_locked_) return;
  for (size_t i = 0; i < list_.size(); ++i) {
    if (!IsSelectableRow(list_.row(i))) continue;
    list_.update(i, [](TerminalRow& t) {
      t.image = kImageSelected;
      t.status = kStatusSelected;
    });
  }
}

void JobRunner::selectNone() {
  if (selection_locked_) return;
  for (size_t i = 0; i < list_.size(); ++i)
    list_.update(i, [](TerminalRow& t) {
      t.image = kImageStandBy;
      t.status = kStatusStandBy;
    });
}

std::vector<std::string> JobRunner::selectCaptions(const std::vector<std::string>& captions) {
  std::vector<std::string> unknown;
  std::vector<size_t> rows;
  auto snapshot = list_.snapshot();
  for (const std::string& c : captions) {
    auto it = std::find_if(snapshot.begin(), snapshot.end(),
                           [&](const TerminalRow& r) { return r.caption == c && IsSelectableRow(r); });
    if (it == snapshot.end())
      unknown.push_back(c);
    else
      rows.push_back(static_cast<size_t>(it - snapshot.begin()));
  }
  if (!unknown.empty() || selection_locked_) return unknown;
  for (size_t row : rows)
    if (list_.row(row).image != kImageSelected) toggleRow(row);
  return unknown;
}

JobRunner::StartResult JobRunner::start(uint16_t port, const std::string& bind_address) {
  if (server_) return StartResult::kStarted;
  auto rows = list_.snapshot();
  bool any = std::any_of(rows.begin(), rows.end(), [](const TerminalRow& r) { return r.image == kImageSelected; });
  if (!any) {
    kaslo::Messages().information(std::string(kNoTerminalSelected));
    return StartResult::kNoSelection;
  }
  selection_locked_ = true;
  if (confirmation_ && !kaslo::Messages().confirm(StartQuestion(kind_, caption_))) return StartResult::kDeclined;
  SetLabel(kLabelPreparing);

  const JobKind* job = FindJob(kind_);
  std::string reg = job ? std::string(job->register_name) : std::string();
  if (!reg.empty()) {
    ApagaArquivo(db_.dir() / ("S" + reg + ".rec"));
    ApagaArquivo(db_.dir() / ("R" + reg + ".rec"));
  }
  Preparation prep;
  try {
    prep = Prepare(true);
  } catch (...) {
    SetLabel("");  // an engine error stops the preparation: nothing is being prepared any more
    throw;
  }
  if (prep.outcome != Preparation::kReady) {
    SetLabel("");
    if (prep.outcome == Preparation::kNoRecords) {
      kaslo::Messages().information(prep.message);
      return StartResult::kNoRecords;
    }
    kaslo::Messages().error(prep.message);
    return StartResult::kFailed;
  }

  ServerJob server_job;
  server_job.job_kind = kind_;
  server_job.exchange_dir = db_.dir();
  server_job.first_wire_name = first_wire_name_;
  server_job.log_clear = log_clear_;
  server_ = std::make_unique<TMavtroneServer>(server_job, list_);
  listening_ = server_->start(port, bind_address);
  SetLabel(kLabelServerStarted);
  return StartResult::kStarted;
}

uint16_t JobRunner::port() const { return server_ ? server_->port() : 0; }

std::string JobRunner::serverError() const { return server_ ? server_->startError() : std::string(); }

void JobRunner::OnRowChanged(size_t row) {
  {
    std::lock_guard lock(queue_mutex_);
    queue_.push_back(row);
  }
  queue_cv_.notify_all();
  if (wakeup_) wakeup_();
}

bool JobRunner::waitForChanges(std::chrono::milliseconds timeout) {
  std::unique_lock lock(queue_mutex_);
  return queue_cv_.wait_for(lock, timeout, [this] { return !queue_.empty(); });
}

std::vector<size_t> JobRunner::processChanges() {
  std::vector<size_t> changed;
  for (;;) {
    std::deque<size_t> batch;
    {
      std::lock_guard lock(queue_mutex_);
      batch.swap(queue_);
    }
    if (batch.empty()) break;
    for (size_t row : batch) {
      if (std::find(changed.begin(), changed.end(), row) == changed.end()) changed.push_back(row);
      TerminalRow r = list_.row(row);
      if (r.image != kImageFinished) continue;
      if (r.status == kStatusCommunicating)
        list_.update(row, [](TerminalRow& t) {
          if (t.status == kStatusCommunicating) t.status = kStatusFinished;
        });
      auto it = rows_.find(row);
      if (it == rows_.end() || !it->second.armed || it->second.handled) continue;
      it->second.handled = true;
      FollowUp(row);
    }
  }
  return changed;
}

bool JobRunner::finished() const {
  bool any = false;
  for (const auto& [row, state] : rows_) {
    if (!state.armed) continue;
    any = true;
    if (!state.handled) return false;
  }
  return any;
}

void JobRunner::FollowUp(size_t row) {
  TerminalRow r = list_.row(row);
  const JobKind* job = FindJob(kind_);
  const RowFollowUp follow_up = job ? job->follow_up : RowFollowUp::kNone;
  if (follow_up == RowFollowUp::kRepeatLog && continuous_log_) {
    // The next reading of this terminal: selected again and armed at once,
    // without the start question; the running server serves it.
    list_.update(row, [](TerminalRow& t) {
      t.image = kImageSelected;
      t.status = kStatusSelected;
    });
    confirmation_ = false;
    Preparation prep = Prepare(false);
    if (prep.outcome != Preparation::kReady)
      kaslo::Messages().error(prep.message);
    else if (follow_up_listener_)
      follow_up_listener_(row, "LOG: nova leitura");
    return;
  }
  if (follow_up == RowFollowUp::kSintegraFile) {
    int terminal = static_cast<int>(TextoParaInteiro(r.caption));
    std::string file = std::string(job->register_name) + std::to_string(terminal) + ".txt";
    try {
      bool built = BuildSintegraFromReading(db_, terminal, kind_, SintegraPeriodDate(kind_, kaslo::Today()));
      if (follow_up_listener_) follow_up_listener_(row, built ? "SINTEGRA " + file : "SINTEGRA sem dados " + file);
    } catch (const db::Error& e) {
      kaslo::Messages().error(e.what());
    }
  }
}

Preparation JobRunner::Prepare(bool initial) {
  // Rows still communicating keep their received files.
  std::vector<std::string> captions;
  for (const auto& r : list_.snapshot())
    if (initial || r.image != kImageCommunicating) captions.push_back(r.caption);
  Preparation prep = PrepareJobFiles(db_, kind_, options_, captions);
  if (prep.outcome != Preparation::kReady) return prep;
  first_wire_name_ = prep.first_wire_name;
  for (size_t i = 0; i < list_.size(); ++i) {
    if (list_.row(i).image != kImageSelected) continue;
    rows_[i] = RowState{true, false};
    list_.update(i, [](TerminalRow& t) {
      t.image = kImageWaiting;
      t.status = kStatusWaiting;
      t.progress = "0 %";
    });
  }
  return prep;
}

void JobRunner::SetLabel(std::string_view text) {
  label_ = text;
  if (label_listener_) label_listener_(label_);
}

bool JobRunner::close() {
  if (server_) {
    server_->stop();
    listening_ = false;
    SetLabel(kLabelServerStopped);
  }
  return CloseJob(db_, kind_);
}

}  // namespace kaslo::comm
