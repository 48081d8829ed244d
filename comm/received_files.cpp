// Received file names per job kind, and the choice of "&Visualizar Dados".
#include "comm/received_files.h"

#include "comm/jobs.h"
#include "comm/session_protocol.h"
#include "common/numbers.h"

namespace comm {
namespace {

// The file the session stores for a request: the wire file up to its first
// "." + terminal + ".rec", as the receiving side names it.
std::string StoredName(char letter, std::string_view reg, int terminal) {
  std::string wire = WireFile(WireName(letter, std::string(reg) + ".dad"));
  return wire.substr(0, wire.find('.')) + std::to_string(terminal) + ".rec";
}

}  // namespace

std::vector<std::string> ReceivedFileNames(int kind, int terminal, std::string_view month_year) {
  const JobKind* job = FindJob(kind);
  if (!job) return {};
  const std::string n = std::to_string(terminal);
  const std::string reg(job->register_name);
  switch (kind) {
    case 12:
    case 20:
      return {StoredName('S', "finaliz", terminal), StoredName('S', "cfgfinal", terminal)};
    case 13:
      return {StoredName('S', "codbarra", terminal), StoredName('S', "perif", terminal),
              StoredName('S', "flags", terminal)};
    case kJobProductReading:
      return {StoredName('S', "id", terminal), StoredName('S', "Prods", terminal)};
    case kJobLogReading: {
      // The LOG's .rec is converted and deleted at once; the texts remain.
      std::vector<std::string> names{"SLogs" + n + ".trz"};
      if (!month_year.empty()) names.push_back("SLG" + std::string(month_year) + n + ".trz");
      return names;
    }
    case 997:
    case 998:
      return {StoredName('S', "id", terminal), StoredName('S', "Prods", terminal), StoredName('S', reg, terminal),
              reg + n + ".txt"};
    default:
      break;
  }
  if (job->direction == 'G' || job->direction == 'S') return {StoredName(job->direction, reg, terminal)};
  return {};
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
  if (!job || !IsReadingJob(kind)) return target;
  const int n = static_cast<int>(TextoParaInteiro(row->caption));
  const std::string reg(job->register_name);
  auto missing = [&](const std::filesystem::path& p) {
    ViewTarget t;
    t.message = "Não foi localizado o arquivo " + p.string();
    return t;
  };
  if (kind >= 1 && kind <= 7) {
    std::filesystem::path p = dir / StoredName('G', reg, n);
    if (!std::filesystem::exists(p)) {
      ViewTarget t;
      t.message = "Arquivo " + p.string() + ", não encontrado.";
      return t;
    }
    return {ViewTarget::kTextEditor, {}, p, {}};
  }
  if (kind == kJobLogReading || kind == 997 || kind == 998) {
    std::filesystem::path p = dir / (kind == kJobLogReading ? "S" + reg + std::to_string(n) + ".trz"
                                                            : reg + std::to_string(n) + ".txt");
    if (!std::filesystem::exists(p)) return missing(p);
    return {ViewTarget::kTextEditor, {}, p, {}};
  }
  std::filesystem::path p = dir / StoredName('S', reg, n);
  if (!std::filesystem::exists(p)) return missing(p);
  ViewTarget t{ViewTarget::kRegisterViewer, {}, p, {}};
  if (kind == 12) t.companion = dir / StoredName('S', "finaliz", n);
  if (kind == 20) t.companion = dir / StoredName('S', "cfgfinal", n);
  return t;
}

}  // namespace comm
