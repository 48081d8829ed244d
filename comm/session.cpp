// One terminal session: the sending side's file steps, the receiving side's
// next-request table, and the end of the session.
#include "comm/session.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <thread>
#include <vector>

#include "comm/job_table.h"
#include "comm/load_files.h"
#include "comm/log_conversion.h"
#include "comm/session_protocol.h"

namespace kaslo::comm {
namespace {

namespace fs = std::filesystem;

// Time given to the terminal to read the last frame and close its side.
constexpr int kLingerMs = 500;
constexpr size_t kReadBufferSize = 16384;

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

// The receiving side's answers to the parser: one target file at a time,
// appended chunk by chunk, and the next request when a file is complete.
class TTerminalSession::Receiver final : public ReceiveSink {
 public:
  explicit Receiver(TTerminalSession& session) : s_(session) {}

  // The file being received, if one is not yet complete.
  const fs::path* partial() const { return in_progress_ ? &target_ : nullptr; }

  bool OnHeader(std::optional<uint64_t> size) override {
    std::string file = WireFile(s_.wire_name_);
    file = file.substr(0, file.find('.'));
    target_ = s_.job_.exchange_dir / (file + std::to_string(s_.terminal_) + ".rec");
    std::error_code ec;
    fs::remove(target_, ec);
    std::ofstream create(target_, std::ios::binary | std::ios::trunc);
    in_progress_ = true;
    return static_cast<bool>(create);
  }

  bool OnData(std::string_view bytes) override {
    std::error_code ec;
    if (!fs::exists(target_, ec)) return false;
    std::FILE* file = std::fopen(target_.c_str(), "ab");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
  }

  void OnProgress(uint64_t remaining, uint64_t total) override {
    if (auto text = ReceiveProgressText(remaining, total, s_.base_)) s_.SetProgress(*text);
  }

  bool OnComplete() override {
    in_progress_ = false;
    const JobStep* done = s_.CurrentStep();
    // Whatever comes now, the session ends at the next read.
    if (done && done->last_read) s_.read_timeout_ms_ = kAfterLogReadTimeoutMs;
    const JobStep* next = s_.NextStep();
    if (!next) return false;
    std::string wire = StepWireName(*next);
    std::ifstream probe(s_.FileOf(wire), std::ios::binary);
    if (!probe) return false;
    probe.close();
    s_.wire_name_ = wire;
    return s_.socket_.WriteAll(RequestFrame(wire));
  }

 private:
  TTerminalSession& s_;
  fs::path target_;
  bool in_progress_ = false;
};

TTerminalSession::TTerminalSession(const ServerJob& job, TerminalList& list, Socket& socket, std::string peer,
                                   const std::atomic<bool>& stopping)
    : job_(job), kind_(FindJob(job.job_kind)), list_(list), socket_(socket), peer_(std::move(peer)), stopping_(stopping) {}

const JobStep* TTerminalSession::CurrentStep() const {
  if (!kind_ || step_ < 0 || static_cast<size_t>(step_) >= kind_->steps.size()) return nullptr;
  return &kind_->steps[static_cast<size_t>(step_)];
}

const JobStep* TTerminalSession::NextStep() {
  if (!kind_) return nullptr;
  while (static_cast<size_t>(++step_) < kind_->steps.size()) {
    const JobStep& step = kind_->steps[static_cast<size_t>(step_)];
    if (step.only_with_log_clear && !job_.log_clear) continue;
    return &step;
  }
  return nullptr;
}

void TTerminalSession::Run() {
  if (SendSide()) ReceiveSide();
  Disconnected();
}

fs::path TTerminalSession::FileOf(const std::string& wire_name) const {
  return job_.exchange_dir / WireFile(wire_name);
}

void TTerminalSession::WriteIdentityMarker() const {
  std::ofstream out(job_.exchange_dir / "Sid.dad", std::ios::binary | std::ios::trunc);
  out << JobMarker() << "\r\n";
}

bool TTerminalSession::SendSide() {
  terminal_ = list_.checkAndMark(peer_, false);
  row_ = list_.rowIndex(peer_);
  base_ = done_ = BlockSize(job_.job_kind);
  const Identity identity = kind_ ? kind_->identity : Identity::kNone;
  if (identity != Identity::kNone) {
    // The identity comes before the job's first step.
    step_ = -1;
    wire_name_ = WireName('S', "id.dad");
    WriteIdentityMarker();
  } else {
    step_ = 0;
    wire_name_ = job_.first_wire_name;
  }

  for (;;) {
    std::error_code ec;
    if (wire_name_.empty() || !fs::exists(FileOf(wire_name_), ec) || list_.checkAndMark(peer_, true) == 0) {
      SendNoData();
      return false;
    }
    fs::path content = FileOf(wire_name_);
    const JobStep* step = CurrentStep();
    if (step && step->content_by_model) {
      bool long_records = identity_.size() == kIdentitySize &&
                          ProductRecordSizeOfModel(identity_[kIdentityModelOffset]) == ProductRecordSize::k86;
      content = job_.exchange_dir / ProductContentFile(long_records ? ProductRecordSize::k86 : ProductRecordSize::k80);
    }
    if (wire_name_[0] == 'R') {
      if (!SendFile(content)) {
        Drop();
        return false;
      }
    } else {
      if (!socket_.WriteAll(RequestFrame(wire_name_))) {
        Drop();
        return false;
      }
      const bool report = kind_ && kind_->role == JobRole::kReport;
      read_timeout_ms_ = report ? kReportReadTimeoutMs : kReadTimeoutMs;
    }
    const bool identity_answer = step_ < 0 && identity == Identity::kAnswer;
    if (identity_answer) {
      identity_.assign(kIdentitySize, '\0');
      if (!socket_.ReadExact(identity_.data(), identity_.size(), read_timeout_ms_)) {
        identity_.clear();
        Drop();
        return false;
      }
    }
    // A request hands over to the receiving side, which asks for the rest.
    if (wire_name_[0] != 'R' && !identity_answer) return true;
    const JobStep* next = NextStep();
    if (!next) break;
    wire_name_ = StepWireName(*next);
  }
  EndWithEndFrame();
  return false;
}

// The header announces the content file's size; the content follows in
// blocks with a pause after each, read from the file block by block.
bool TTerminalSession::SendFile(const fs::path& content) {
  std::error_code ec;
  uint64_t size = fs::file_size(content, ec);
  if (ec) return false;
  std::ifstream in(content, std::ios::binary);
  if (!in) return false;
  total_ = size;
  done_ = base_;
  if (!socket_.WriteAll(FileHeaderFrame(wire_name_, size))) return false;
  std::vector<char> block(base_);
  uint64_t left = size;
  while (left > 0) {
    if (stopping_) return false;
    size_t n = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
    if (!in.read(block.data(), static_cast<std::streamsize>(n))) return false;
    if (!socket_.WriteAll(std::string_view(block.data(), n))) return false;
    left -= n;
    done_ += base_;
    SetProgress(SendProgressText(done_, total_, base_));
    Sleep(kBlockPauseMs);
  }
  return true;
}

void TTerminalSession::ReceiveSide() {
  terminal_ = list_.numberOnly(peer_);
  row_ = list_.rowIndex(peer_);
  base_ = done_ = 80;
  Receiver receiver(*this);
  ReceiveParser parser;
  std::vector<char> buffer(kReadBufferSize);
  while (!stopping_) {
    long n = socket_.ReadSome(buffer.data(), buffer.size(), read_timeout_ms_);
    if (n <= 0) break;
    ReceiveParser::Result result = parser.Feed(std::string_view(buffer.data(), static_cast<size_t>(n)), receiver);
    if (result != ReceiveParser::Result::kContinue) break;
  }
  // A file cut short (the terminal gone or silent, the server stopping, a
  // stream past the size limit) is not kept: a viewer would replace tables
  // with it, and a partial LOG would be converted now and again whole at
  // the next reading, as the terminal was never told to clear it.
  if (receiver.partial()) {
    std::error_code ec;
    fs::remove(*receiver.partial(), ec);
  }
  if (kind_ && kind_->after_session == AfterSession::kConvertLog) {
    try {
      ConvertLog(job_.exchange_dir, terminal_, job_.log_clear, kaslo::Now());
    } catch (const std::exception&) {
      // The received file stays for a later look; the session still ends.
    }
  }
  EndWithEndFrame();
}

void TTerminalSession::SendNoData() {
  socket_.WriteAll(NoDataReply());
  if (!stopping_) socket_.FinishGracefully(kLingerMs);
}

void TTerminalSession::EndWithEndFrame() {
  socket_.WriteAll(EndFrame());
  Sleep(kBlockPauseMs);
  if (!stopping_) socket_.FinishGracefully(kLingerMs);
}

void TTerminalSession::Drop() {
  if (row_) list_.update(*row_, [](TerminalRow& row) { row.image = kImageFinished; });
  socket_.Shutdown();
}

void TTerminalSession::SetProgress(const std::string& text) {
  if (row_) list_.update(*row_, [&](TerminalRow& row) { row.progress = text; });
}

void TTerminalSession::Disconnected() {
  if (auto index = list_.rowIndex(peer_)) {
    list_.update(*index, [](TerminalRow& row) { row.image = kImageFinished; });
  }
}

}  // namespace kaslo::comm
