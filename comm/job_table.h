// The job table: one record per job kind, the only place that says what a
// kind sends, asks for and receives. The preparation (comm/jobs.h), the
// sessions, the received-file names, the communication window, the register
// viewer and the menu all read it. A new load kind is one row and its
// builder; a new reading kind is one row (and, in viewers/, its display).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "comm/load_files.h"
#include "common/clock.h"
#include "db/database.h"

namespace kaslo::comm {

// Job kinds named in code.
inline constexpr int kJobProductReading = 18;
inline constexpr int kJobLogReading = 23;
inline constexpr int kJobLogClear = 87;
inline constexpr int kJobClientLoad = 161;
inline constexpr int kJobProductLoad = 181;
inline constexpr int kJobDateTimeLoad = 191;
inline constexpr int kJobChangedProducts = 499;

// The caption every job without its own keeps.
inline constexpr std::string_view kDefaultCaption = "Carga de Terminais";

// Values the preparation reads besides the tables.
struct JobOptions {
  bool stock = true;                          // 499: the caller's stock option
  std::optional<kaslo::DateTime> date_time;   // 191: the date and time boxes (now when unset)
};

// What the builders of one job's files share: the tables, the options, the
// terminal rows, and the products of a complete load read once for all its
// files.
class JobContext {
 public:
  JobContext(const db::Database& db, const JobOptions& options, const std::vector<std::string>& captions)
      : db(db), options(options), captions(captions) {}
  const std::vector<ProductValues>& products();

  const db::Database& db;
  const JobOptions& options;
  const std::vector<std::string>& captions;  // every terminal row's caption

 private:
  std::optional<std::vector<ProductValues>> products_;
};

// What a load file's builder makes of the tables.
struct LoadContent {
  enum Outcome {
    kWrite,      // write `bytes` as the working file and copy it to its wire file
    kSkip,       // no file: the session ends with the no-data reply when it gets there
    kNoRecords,  // nothing to send at all: the job does not start
  } outcome = kWrite;
  std::string bytes = {};
  // Files written beside the working file under their own names; the wire
  // file then only stands for them (a step with `content_by_model`).
  std::vector<std::pair<std::string, std::string>> contents = {};
};
using LoadBuilder = LoadContent (*)(JobContext&);

// One file a job sends or asks for, in the order of the session.
struct JobStep {
  char letter;            // 'R' sent, 'S' register asked, 'G' report asked, 'C' command
  std::string_view file;  // the register: working file `file`, wire file letter + file + ".dad"
  LoadBuilder build = nullptr;  // 'R': the working file's builder; others get a marker
  std::string_view error = {};  // when its file cannot be written; "" keeps the job's rule
  bool only_with_log_clear = false;  // asked only with the LOG-clear option on
  bool content_by_model = false;     // sent from the product file of the terminal's record length
  bool last_read = false;            // once it is in, the session ends at the next read
};

enum class JobRole { kNone, kReport, kReading, kCommand, kLoad };

// How the terminal's identity comes before the steps.
enum class Identity {
  kNone,
  kFile,    // "Sid.dad" asked for as a register and stored like one
  kAnswer,  // "Sid.dad" asked for and the 43-byte answer read at once
};

// What the session does with a terminal's data when it ends.
enum class AfterSession { kNone, kConvertLog };

// What the job does once a terminal's row has finished.
enum class RowFollowUp {
  kNone,
  kRepeatLog,     // continuous LOG reading: the row waits again
  kSintegraFile,  // the SINTEGRA text of the terminal
};

// What "&Visualizar Dados" opens for a finished terminal.
enum class DataView { kNone, kReportText, kLogText, kSintegraText, kRegisterViewer };

struct JobKind {
  int kind;
  std::string_view caption;        // UTF-8; "" keeps kDefaultCaption
  char direction;                  // 'G' report, 'S' request, 'C' command, 'R' load, 0 none
  std::string_view register_name;  // "" for job 4 and the jobs without a register
  JobRole role = JobRole::kNone;
  std::span<const JobStep> steps = {};
  Identity identity = Identity::kNone;
  std::size_t block_size = 80;  // bytes sent between pauses
  // A marker that cannot be written names its own file ("[ finaliz ] ![w]")
  // rather than the job's register ("[ perif ] !").
  bool names_each_marker = false;
  // What the preparation deletes besides the files of the job's registers.
  void (*clear)(JobContext&) = nullptr;
  AfterSession after_session = AfterSession::kNone;
  RowFollowUp follow_up = RowFollowUp::kNone;
  // The register viewer also gets this register's received file.
  std::string_view companion = {};
  // The product loads offer to empty the change queue when they close.
  bool offers_queue_clear = false;
  // The caption when the caller's stock option is off.
  std::string_view caption_without_stock = {};
};

// Every job kind with a caption, in ascending order.
std::span<const JobKind> JobTable();
// nullptr for a kind outside the table.
const JobKind* FindJob(int kind);
// A job that can be prepared and served: in the table with a direction
// (the captioned kinds 171, 202 and 232 have none).
bool IsServableJob(int kind);
// The window caption; job 499 takes it from the caller's stock option.
std::string JobCaption(int kind, bool stock_option = true);
// Reports and readings: "&Visualizar Dados" is enabled and the start
// question says "dos" instead of "para".
bool IsReadingJob(int kind);
// "Confirma  [ " + caption + " ]" + line break + "dos"/"para" + " terminais selecionados ?"
std::string StartQuestion(int kind, std::string_view caption);
DataView DataViewOf(const JobKind& job);

// The registers whose old files a preparation deletes, first the job's own:
// then "id" when the identity comes as a file, then every file the job sends
// or asks for (not its commands). Empty for a job without a register.
std::vector<std::string> JobRegisters(int kind);

// 128 bytes for the client load (job 161), else 80; 80 for a kind outside
// the table.
std::size_t BlockSize(int job_kind);

// The wire name of a step ("R" + "depto.dad" padded).
std::string StepWireName(const JobStep& step);
// A marker's line: the current date and time as "dd/mm/yyyy hh:mm:ss".
std::string JobMarker();
// The product file of one record length that "RProds.dad" stands for:
// "Prods3" (80-byte records) or "Prods5" (86).
std::string ProductContentFile(ProductRecordSize size);

namespace testing {
// Adds a row to the job table for the life of the object (tests only; set
// before a server starts, as the sessions read the table unlocked).
class ScopedJobKind {
 public:
  explicit ScopedJobKind(const JobKind& job);
  ~ScopedJobKind();
  ScopedJobKind(const ScopedJobKind&) = delete;
  ScopedJobKind& operator=(const ScopedJobKind&) = delete;

 private:
  int kind_;
};
}  // namespace testing

}  // namespace kaslo::comm
