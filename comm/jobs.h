// Communication jobs: the terminal list read from Ycoter, the preparation
// of a job's files as its row of the job table (comm/job_table.h) says
// before the server starts, and the product change queue that the closing
// of a product load may empty. Everything here runs on the thread that owns
// the database; the running job itself is driven by comm/job_runner.h.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "comm/job_table.h"
#include "common/clock.h"
#include "comm/terminal_list.h"
#include "db/database.h"

namespace kaslo::comm {

// Fills `list` with one row per Ycoter row (tag "UM"): caption ESTACAO with
// format "0", address TER_ECFSER, "Stand By", "0 %", image 0.
void FillTerminalList(const db::Database& db, TerminalList& list);
// A row that may be selected: it has an address (a row without one would
// wait for ever, no terminal can match it).
bool IsSelectableRow(const TerminalRow& row);

struct Preparation {
  enum Outcome { kReady, kFailed, kNoRecords } outcome = kFailed;
  std::string message;          // the text to show when not kReady (UTF-8)
  std::string first_wire_name;  // 13 characters when kReady
};

inline constexpr std::string_view kWaitProcessing = "Aguarde, processando banco de dados...";
inline constexpr std::string_view kNoRecordsMessage = "Não foram localizados registros com esta seleção.";

// Prepares the files of job `kind` in db.dir(): deletes the old working,
// wire and received files of its registers (the received ones for every
// caption given) and, for a reading, the requests other kinds left behind;
// writes the markers or load files and their wire files, and gives the wire
// name of the first. Loads show kWaitProcessing through
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

}  // namespace kaslo::comm
