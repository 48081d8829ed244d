// One terminal session: the sending side's file steps, the receiving side's
// next-request table, and the end of the session.
#include "comm/session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <memory>
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
// Large reads keep the system calls per received megabyte few; the buffer
// is the session's only one.
constexpr size_t kReadBufferSize = 256 * 1024;

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool WriteAllTo(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// A descriptor closed with its owner.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }

  int get() const { return fd_; }
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  // False when the close reports an error the writes did not (a delayed
  // write that failed).
  bool Close() {
    if (fd_ < 0) return true;
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_ = -1;
};

}  // namespace

// The receiving side's answers to the parser: one target file at a time,
// held open from its header to its end, and the next request when a file
// is complete.
class TTerminalSession::Receiver final : public ReceiveSink {
 public:
  explicit Receiver(TTerminalSession& session) : s_(session) {}

  // The session ends: a file cut short is closed and not kept.
  void End() {
    file_.Close();
    if (in_progress_) {
      in_progress_ = false;
      std::error_code ec;
      fs::remove(target_, ec);
    }
  }

  bool OnHeader(std::optional<uint64_t> size) override {
    file_.Close();
    std::string file = WireFile(s_.wire_name_);
    file = file.substr(0, file.find('.'));
    target_ = s_.job_.exchange_dir / (file + std::to_string(s_.terminal_) + ".rec");
    std::error_code ec;
    fs::remove(target_, ec);
    file_.Reset(::open(target_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    in_progress_ = true;
    return file_.get() >= 0;
  }

  // A file removed while it arrives (by hand, or by a viewer taking it)
  // ends the session. The open file is asked rather than its path: no
  // lookup in the folder per read.
  bool OnData(std::string_view bytes) override {
    struct stat st;
    if (file_.get() < 0 || ::fstat(file_.get(), &st) != 0 || st.st_nlink == 0) return false;
    return WriteAllTo(file_.get(), bytes);
  }

  void OnProgress(uint64_t remaining, uint64_t total) override {
    auto text = ReceiveProgressText(remaining, total, s_.base_);
    // The row changes only at a new percentage, not at every read: fewer
    // turns of the list's lock and of its observer.
    if (!text || *text == shown_) return;
    shown_ = *text;
    s_.SetProgress(shown_);
  }

  bool OnComplete() override {
    // A close that fails is a write that failed: the file is not kept.
    if (!file_.Close()) return false;
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
  FileDescriptor file_;
  bool in_progress_ = false;
  std::string shown_;
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
  // Not value-initialised: the pages are touched only as far as reads fill them.
  std::unique_ptr<char[]> buffer(new char[kReadBufferSize]);
  while (!stopping_) {
    long n = socket_.ReadSome(buffer.get(), kReadBufferSize, read_timeout_ms_);
    if (n <= 0) break;
    ReceiveParser::Result result = parser.Feed(std::string_view(buffer.get(), static_cast<size_t>(n)), receiver);
    if (result != ReceiveParser::Result::kContinue) break;
  }
  buffer.reset();
  // A file cut short (the terminal gone or silent, the server stopping, a
  // stream past the size limit) is not kept: a viewer would replace tables
  // with it, and a partial LOG would be converted now and again whole at
  // the next reading, as the terminal was never told to clear it.
  receiver.End();
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
