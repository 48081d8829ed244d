// The terminal list from Ycoter, the preparation of a job's
// files and the product change queue.
#include "comm/jobs.h"


#include <algorithm>
#include <fstream>

#include "comm/load_files.h"
#include "comm/session_protocol.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/progress.h"
#include "common/text.h"
#include "db/tables/ycoter.h"
#include "db/tables/ycoy60.h"

namespace kaslo::comm {
namespace {

// Writes the whole file; false when it cannot be created or written.
bool WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

Preparation Failed(std::string message) { return {Preparation::kFailed, std::move(message), {}}; }
Preparation Ready(std::string wire_name) { return {Preparation::kReady, {}, std::move(wire_name)}; }

class Preparer {
 public:
  Preparer(const db::Database& db, const JobKind& job, const JobOptions& options,
           const std::vector<std::string>& captions)
      : db_(db), dir_(db.dir()), job_(job), context_(db, options, captions) {}

  Preparation Run() {
    DeleteOldFiles();
    if (job_.clear) job_.clear(context_);
    return job_.role == JobRole::kLoad ? Load() : Request();
  }

 private:
  std::filesystem::path Path(std::string_view name) const { return dir_ / std::string(name); }
  void Delete(std::string_view name) const {
    if (!name.empty()) ApagaArquivo(Path(name));
  }

  void DeleteOldFiles() const {
    for (const std::string& reg : JobRegisters(job_.kind)) DeleteRegisterFiles(reg);
    if (job_.register_name.empty()) DeleteRegisterFiles("");  // job 4: "G.dad", "G" + n + ".rec"
    // A reading asks only for what it prepared: the requests other kinds
    // left behind go (job 13 leaves "Sperif.dad" and "Sflags.dad").
    if (job_.role == JobRole::kLoad) return;
    for (const JobKind& other : JobTable())
      for (const JobStep& step : other.steps)
        if (step.letter != 'R' && !AsksFor(step)) Delete(WireFile(StepWireName(step)));
  }

  bool AsksFor(const JobStep& request) const {
    return std::any_of(job_.steps.begin(), job_.steps.end(), [&](const JobStep& own) {
      return own.letter == request.letter && own.file == request.file;
    });
  }

  void DeleteRegisterFiles(const std::string& reg) const {
    for (std::string_view prefix : {"", "S", "G", "R"}) {
      std::string stem = std::string(prefix) + reg;
      if (stem.empty()) continue;
      for (std::string_view ext : {"", ".dad", ".dat", ".rec"}) Delete(stem + std::string(ext));
      if (std::string_view(prefix).empty()) continue;
      for (const std::string& caption : context_.captions) Delete(stem + caption + ".rec");
    }
  }

  bool Wanted(const JobStep& step) const { return !step.only_with_log_clear || LogClearOption(db_); }

  std::string MarkerError(const JobStep& step, bool copying) const {
    if (!step.error.empty()) return std::string(step.error);
    if (!job_.names_each_marker) return "Erro ao tentar criar [ " + std::string(job_.register_name) + " ] !";
    return "Erro ao tentar criar [ " + std::string(step.file) + (copying ? " ]!" : " ] ![w]");
  }

  // Reports, register requests and commands: one marker per file asked
  // for, copied to the file of its wire name.
  Preparation Request() {
    for (const JobStep& step : job_.steps) {
      if (!Wanted(step)) continue;
      // A command's marker has no line end.
      const std::string marker = step.letter == 'C' ? JobMarker() : JobMarker() + "\r\n";
      // The marker is copied to the file the session looks for: the wire
      // name without blanks ("GM00019999.da" for the 13-character name of
      // the fiscal-memory report). Job 4 has no register, so no working
      // file: its marker is the wire file.
      const std::string wire = WireFile(StepWireName(step));
      if (step.file.empty()) {
        if (!WriteFile(Path(wire), marker)) return Failed(MarkerError(step, false));
        continue;
      }
      if (!WriteFile(Path(step.file), marker)) return Failed(MarkerError(step, false));
      if (!CopiaArquivo(Path(step.file), Path(wire))) return Failed(MarkerError(step, true));
    }
    return Ready(StepWireName(job_.steps.front()));
  }

  Preparation Load() {
    kaslo::ScopedProgress wait(kWaitProcessing);
    for (const JobStep& step : job_.steps) {
      const std::string error =
          step.error.empty() ? "Erro ao tentar criar " + std::string(step.file) + " ![w]" : std::string(step.error);
      LoadContent content = step.build(context_);
      if (content.outcome == LoadContent::kNoRecords)
        return {Preparation::kNoRecords, std::string(kNoRecordsMessage), {}};
      if (content.outcome == LoadContent::kSkip) continue;
      for (const auto& [name, bytes] : content.contents)
        if (!WriteFile(Path(name), bytes)) return Failed(error);
      const std::string wire = WireFile(StepWireName(step));
      if (!WriteFile(Path(step.file), content.bytes) || !CopiaArquivo(Path(step.file), Path(wire)))
        return Failed(error);
    }
    return Ready(StepWireName(job_.steps.front()));
  }

  const db::Database& db_;
  std::filesystem::path dir_;
  const JobKind& job_;
  JobContext context_;
};

}  // namespace

void FillTerminalList(const db::Database& db, TerminalList& list) {
  auto t = db.open(ycoter::kTable, {.tag = "UM"});
  for (t->first(); !t->eof(); t->next()) {
    TerminalRow row;
    row.caption = std::to_string(t->asInteger(ycoter::ESTACAO));
    row.address = Apara(t->getString(ycoter::TER_ECFSER));
    row.status = kStatusStandBy;
    row.progress = "0 %";
    row.image = kImageStandBy;
    list.addRow(std::move(row));
  }
}

bool IsSelectableRow(const TerminalRow& row) { return !Apara(row.address).empty(); }

Preparation PrepareJobFiles(const db::Database& db, int kind, const JobOptions& options,
                            const std::vector<std::string>& row_captions) {
  const JobKind* job = FindJob(kind);
  if (!job || !IsServableJob(kind) || job->steps.empty()) return Failed("Erro ao tentar criar [  ] !");
  return Preparer(db, *job, options, row_captions).Run();
}

bool ProductQueueHasRows(const db::Database& db) {
  auto t = db.open(ycoy60::kTable);
  t->first();
  return !t->eof();
}

void ClearProductQueue(const db::Database& db) {
  ApagaArquivo(db.dir() / "Rnlumnt.dad");
  auto t = db.open(ycoy60::kTable);
  for (t->first(); !t->eof();)
    if (!t->remove()) t->next();
}

bool CloseJob(const db::Database& db, int kind) {
  const JobKind* job = FindJob(kind);
  if (!job || !job->offers_queue_clear) return false;
  if (!ProductQueueHasRows(db)) return false;
  if (!kaslo::ConfirmDestructive(std::string(kClearQueueQuestion))) return false;
  ClearProductQueue(db);
  return true;
}

}  // namespace kaslo::comm
