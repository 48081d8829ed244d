// Received file names per job kind, and the choice of "&Visualizar Dados".
#include "comm/received_files.h"

#include "comm/jobs.h"
#include "comm/session_protocol.h"
#include "common/numbers.h"

namespace kaslo::comm {
namespace {

// The file the session stores for a request: the wire file up to its first
// "." + terminal + ".rec", as the receiving side names it.
std::string StoredName(char letter, std::string_view reg, int terminal) {
  std::string wire = WireFile(StepWireName({letter, reg}));
  return wire.substr(0, wire.find('.')) + std::to_string(terminal) + ".rec";
}

}  // namespace

std::vector<std::string> ReceivedFileNames(int kind, int terminal, std::string_view month_year) {
  const JobKind* job = FindJob(kind);
  if (!job || job->role == JobRole::kLoad) return {};
  const std::string n = std::to_string(terminal);
  if (job->after_session == AfterSession::kConvertLog) {
    // The LOG's .rec is converted and deleted at once; the texts remain.
    std::vector<std::string> names{"S" + std::string(job->register_name) + n + ".trz"};
    if (!month_year.empty()) names.push_back("SLG" + std::string(month_year) + n + ".trz");
    return names;
  }
  std::vector<std::string> names;
  if (job->identity == Identity::kFile) names.push_back(StoredName('S', "id", terminal));
  for (const JobStep& step : job->steps)
    if (step.letter != 'C') names.push_back(StoredName(step.letter, step.file, terminal));
  if (job->follow_up == RowFollowUp::kSintegraFile) names.push_back(std::string(job->register_name) + n + ".txt");
  return names;
}

std::optional<RegisterFiles> RegisterFilesOf(int kind, const std::filesystem::path& dir, int terminal) {
  const JobKind* job = FindJob(kind);
  if (!job || DataViewOf(*job) != DataView::kRegisterViewer) return std::nullopt;
  RegisterFiles files{dir / StoredName('S', job->register_name, terminal), {}};
  if (!job->companion.empty()) files.companion = dir / StoredName('S', job->companion, terminal);
  return files;
}

ViewTarget DataToView(int kind, const std::filesystem::path& dir, const std::optional<TerminalRow>& row) {
  ViewTarget target;
  if (!row) {
    target.message = std::string(kViewNoRow);
    return target;
  }
  if (row->status != kStatusFinished) {
    target.message = std::string(kViewNotFinished);
    return target;
  }
  const JobKind* job = FindJob(kind);
  if (!job) return target;
  const int n = static_cast<int>(TextoParaInteiro(row->caption));
  const std::string reg(job->register_name);
  auto missing = [&](const std::filesystem::path& p) {
    ViewTarget t;
    t.message = "Não foi localizado o arquivo " + p.string();
    return t;
  };
  auto text = [&](const std::filesystem::path& p) {
    return std::filesystem::exists(p) ? ViewTarget{ViewTarget::kTextEditor, {}, p, {}} : missing(p);
  };
  switch (DataViewOf(*job)) {
    case DataView::kNone:
      return target;
    case DataView::kReportText: {
      std::filesystem::path p = dir / StoredName('G', reg, n);
      if (!std::filesystem::exists(p)) {
        ViewTarget t;
        t.message = "Arquivo " + p.string() + ", não encontrado.";
        return t;
      }
      return {ViewTarget::kTextEditor, {}, p, {}};
    }
    case DataView::kLogText:
      return text(dir / ("S" + reg + std::to_string(n) + ".trz"));
    case DataView::kSintegraText:
      return text(dir / (reg + std::to_string(n) + ".txt"));
    case DataView::kRegisterViewer:
      break;
  }
  const RegisterFiles files = *RegisterFilesOf(kind, dir, n);
  if (!std::filesystem::exists(files.file)) return missing(files.file);
  return {ViewTarget::kRegisterViewer, {}, files.file, files.companion};
}

}  // namespace kaslo::comm
