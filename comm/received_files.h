// Where the data a terminal sent in a job are found: the received file names
// per job kind and terminal number, and what "&Visualizar Dados" opens for a
// finished row (a text in the editor, or the register viewer with the
// received file and, for the payment types, its companion file).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comm/terminal_list.h"

namespace kaslo::comm {

// The files job `kind` leaves for terminal `terminal` (decimal, no leading
// zeros): "GX3.rec" for a Leitura X of terminal 3, "Suser3.rec", "Sfinaliz3.rec"
// and "Scfgfinal3.rec", "SLogs3.trz" and the month file "SLG" + mmyyyy + n +
// ".trz" (month_year "mmyyyy" is needed for it; without it that name is
// left out), "r60m3.txt" for the SINTEGRA readings. Empty for loads.
std::vector<std::string> ReceivedFileNames(int kind, int terminal, std::string_view month_year = {});

inline constexpr std::string_view kViewNoRow =
    "Não foi selecionado nenhum terminal para visualização de dados.\rSelecione o terminal desejado e "
    "clique em < Visualizar Dados >.";
inline constexpr std::string_view kViewNotFinished =
    "Não foi finalizada a comunicação com o terminal selecionado.\rAguarde o termino da comunicação e "
    "clique em < Visualizar Dados >.";

struct ViewTarget {
  enum Kind {
    kMessage,         // nothing to open: show `message`
    kTextEditor,      // open `file` in the text editor
    kRegisterViewer,  // open the register viewer on `file` (and `companion`)
  } kind = kMessage;
  std::string message;              // UTF-8
  std::filesystem::path file;       // full path
  std::filesystem::path companion;  // jobs 12 and 20: the other payment-type file
};

// The reception file a register reading of job `kind` leaves in `dir` for
// terminal `terminal`, and the companion file of the payment-type readings
// (12: "Sfinaliz" + n + ".rec", 20: "Scfgfinal" + n + ".rec"; empty for the
// others). nullopt for a kind whose data the register viewer does not show.
struct RegisterFiles {
  std::filesystem::path file;
  std::filesystem::path companion;
};
std::optional<RegisterFiles> RegisterFilesOf(int kind, const std::filesystem::path& dir, int terminal);

// What "&Visualizar Dados" does for job `kind` on the selected row (nullopt
// when no row is selected), with the received files in `dir`.
ViewTarget DataToView(int kind, const std::filesystem::path& dir, const std::optional<TerminalRow>& row);

}  // namespace kaslo::comm
