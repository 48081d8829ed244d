// The register viewer's entry points by job kind: which file a kind reads,
// its display and its replacement. The window TFTcpViewCad keeps the job it
// was opened for, calls DisplayRegister when shown and ReplaceRegister after
// the user confirmed "&Substituir Cadastro".
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "db/database.h"
#include "viewers/register_grid.h"

namespace kaslo::viewers {

// Job kinds of the registers and configuration blocks decoded here.
inline constexpr int kLeituraOperadores = 8;
inline constexpr int kLeituraVendedores = 9;
inline constexpr int kLeituraGrupos = 10;
inline constexpr int kLeituraDepartamentos = 11;
inline constexpr int kLeituraCfgFinalizadoras = 12;
inline constexpr int kLeituraParametros = 13;
inline constexpr int kLeituraDescontos = 14;
inline constexpr int kLeituraMensagem = 15;
inline constexpr int kLeituraClientes = 16;
inline constexpr int kLeituraConfigLoja = 17;
inline constexpr int kLeituraProdutos = 18;
inline constexpr int kLeituraDataHora = 19;
inline constexpr int kLeituraFinalizadoras = 20;
inline constexpr int kLeituraTeclado = 21;
inline constexpr int kLeituraDadosLoja = 24;

// What the communication window hands to the viewer.
struct ViewerJob {
  int kind = 0;
  std::string terminal;                 // terminal number as listed ("3")
  std::filesystem::path reception_file; // the main reception file ("S" + register + terminal + ".rec")
  // The payment-type readings' second file: "Sfinaliz" + terminal + ".rec"
  // for 12, "Scfgfinal" + terminal + ".rec" for 20; empty for the others.
  std::filesystem::path companion;
};

// The job for the files a reading of `kind` left in `dir` for terminal
// `terminal` ("3"), as "&Visualizar Dados" would open it. Throws
// std::invalid_argument for a kind not handled here.
ViewerJob ReceivedJob(const std::filesystem::path& dir, int kind, std::string_view terminal);

// The reception file's modification date ("dd/mm/yyyy") and time
// ("hh:mm:ss"), local time, as the viewer's labels show them; both empty
// when the file is missing.
struct FileStamp {
  std::string date;
  std::string time;
};
FileStamp ReceptionFileStamp(const std::filesystem::path& file);

// True for the kinds above.
bool IsRegisterKind(int kind);
// False for 17, which keeps its grid empty; true for the other kinds above.
bool HasDisplay(int kind);
// "&Substituir Cadastro" is disabled and hidden: 19 and 24 are view only.
bool IsViewOnly(int kind);
// True when the replacement writes tables: false for 17 (nothing after the
// confirmation), 19 and 24 and for kinds not handled here.
bool HasReplacement(int kind);

// The register name whose reception file a kind reads ("user" for 8,
// "Prods" for 18); empty for a kind not handled here.
std::string_view RegisterName(int kind);

// The display of the job's kind. Kind 17 shows an empty grid. A reception
// file that cannot be read shows as a register without rows. Reads tables
// (the check-digit option, kind 18) but writes nothing. Throws
// std::invalid_argument for a kind not handled here.
RegisterGrid DisplayRegister(const db::Database& db, const ViewerJob& job);

// The replacement of the job's kind from the grid's cells. Kind 17 writes
// nothing and has no message. Throws std::invalid_argument for a kind not
// handled here or view only; db::Error when the table cannot be emptied.
ReplaceOutcome ReplaceRegister(const db::Database& db, int kind, const RegisterGrid& grid);

}  // namespace kaslo::viewers
