// Communication jobs: the table of job kinds (caption, direction, register),
// the terminal list read from Ycoter, the preparation of a job's files
// before the server starts, and the product change queue that the closing
// of a product load may empty. Everything here runs on the thread that owns
// the database; the running job itself is driven by comm/job_runner.h.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "comm/terminal_list.h"
#include "db/database.h"

namespace comm {

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

struct JobKind {
  int kind;
  std::string_view caption;        // UTF-8; "" keeps kDefaultCaption
  char direction;                  // 'G' report, 'S' request, 'C' command, 'R' load, 0 none
  std::string_view register_name;  // "" for job 4 and the jobs without a register
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
// Readings (1 to 24, 997, 998): "&Visualizar Dados" is enabled and the
// start question says "dos" instead of "para".
bool IsReadingJob(int kind);
// "Confirma  [ " + caption + " ]" + line break + "dos"/"para" + " terminais selecionados ?"
std::string StartQuestion(int kind, std::string_view caption);

// The registers a job writes or asks for, first the job's own: 101 also
// "depto", 12/20/121 "finaliz" and "cfgfinal", 13/131 "codbarra", "perif"
// and "flags", 997/998 also "Prods". Empty for a job without a register.
std::vector<std::string> JobRegisters(int kind);

// Fills `list` with one row per Ycoter row (tag "UM"): caption ESTACAO with
// format "0", address TER_ECFSER, "Stand By", "0 %", image 0.
void FillTerminalList(const db::Database& db, TerminalList& list);
// A row that may be selected: it has an address (a row without one would
// wait for ever, no terminal can match it).
bool IsSelectableRow(const TerminalRow& row);

// Values the preparation reads besides the tables.
struct JobOptions {
  bool stock = true;                          // 499: the caller's stock option
  std::optional<kaslo::DateTime> date_time;   // 191: the date and time boxes (now when unset)
};

struct Preparation {
  enum Outcome { kReady, kFailed, kNoRecords } outcome = kFailed;
  std::string message;          // the text to show when not kReady (UTF-8)
  std::string first_wire_name;  // 13 characters when kReady
};

inline constexpr std::string_view kWaitProcessing = "Aguarde, processando banco de dados...";
inline constexpr std::string_view kNoRecordsMessage = "Não foram localizados registros com esta seleção.";

// Prepares the files of job `kind` in db.dir(): deletes the old working,
// wire and received files of its registers (the received ones for every
// caption given), writes the markers or load files and their wire files,
// and gives the first wire name. Loads show kWaitProcessing through
// MostraProgresso and close it. Nothing is started and the list is not
// touched. kFailed names the file that could not be written; kNoRecords
// (product loads without rows) carries kNoRecordsMessage. Engine errors
// are thrown (db::Error).
Preparation PrepareJobFiles(const db::Database& db, int kind, const JobOptions& options,
                            const std::vector<std::string>& row_captions);

// The product change queue ycoy60.
inline constexpr std::string_view kClearQueueQuestion =
    "Deseja apagar o arquivo de alterações\rde produtos ? [sn]";
bool ProductQueueHasRows(const db::Database& db);
// Deletes "Rnlumnt.dad" and every row of ycoy60.
void ClearProductQueue(const db::Database& db);
// The closing of a job: for 181 and 499 with queued rows, asks
// kClearQueueQuestion through kaslo::Messages() and clears the queue on
// Yes. True when the queue was cleared.
bool CloseJob(const db::Database& db, int kind);

// The continuous LOG reading: key "LogOnLine" of section "Sistema" of
// "RURUDOR.INI" in the data directory is "1". Off when the file or the key
// is missing.
bool ContinuousLogReading(const std::filesystem::path& dir);

}  // namespace comm
