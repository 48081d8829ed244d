// The grid model of the register viewer TFTcpViewCad and the outcome of a
// replacement. A display turns the files a terminal sent back into a
// RegisterGrid; the window only shows it. A replacement takes the grid's
// cell texts, as the window holds them, and writes them into the tables.
// Grid texts and messages are UTF-8; tables hold Latin-1.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kaslo::viewers {

struct RegisterGrid {
  std::vector<std::string> headers;
  // Data rows only (the header row is not one of them); each row has one
  // cell per header.
  std::vector<std::vector<std::string>> rows;
  // A text the window shows in an information box once the display is
  // done (a received file it could not decode); empty normally.
  std::string message;
  // The received file could not be decoded: nothing may replace a table
  // from this grid.
  bool refused = false;
  // Columns beyond the first that hold fixed labels ("Periféricos" of the
  // parameters); the window draws them like the first.
  std::vector<size_t> label_columns;
};

struct ReplaceOutcome {
  // True when every row was written (or the kind writes nothing).
  bool completed = false;
  // What the window shows in an information box; empty: show nothing.
  std::string message;
  // The engine's text of the failure that stopped the replacement.
  std::string detail;
  // Rows written before the end or the failure; after a failure none of
  // them is kept.
  size_t rows_written = 0;
  // The backup folder's name taken of the replaced tables; empty when
  // nothing was replaced.
  std::string backup;
  // The backup of an older stock field converted first (the product
  // register); empty when the field was already converted.
  std::string conversion_backup;
};

// What the window and `kaslo replace` show: the message, and after a
// finished replacement the backup's line (db::BackupLine) after "\r".
std::string ShownMessage(const ReplaceOutcome& outcome);

// The system's texts of the viewer.
inline constexpr std::string_view kConfirmaSubstituir =
    "Confirma substituir todos os dados do Cadastro, pelos dados selecionados ?";
inline constexpr std::string_view kSubstituicaoCompleta = "Substituição de cadastro completa !";
inline constexpr std::string_view kProcessandoRecebidos = "Aguarde, processando arquivos recebidos...";
inline constexpr std::string_view kEliminandoAnteriores = "Aguarde, eliminando registros anteriores...";
inline constexpr std::string_view kProcessandoAtuais = "Aguarde, processando registros atuais...";
// The failure messages of the replacements, with and without the "!".
inline constexpr std::string_view kErroIncluir = "Erro ao tentar incluir novo registro";
inline constexpr std::string_view kErroIncluirExclamacao = "Erro ao tentar incluir novo registro!";

// The window's caption after a display: job title + " - Total de Registros [ "
// + number of data rows + " ]".
std::string ViewerCaption(std::string_view job_title, const RegisterGrid& grid);

// "S" + register name + terminal + ".rec": the file a terminal's register is
// received into ("user" and "3" give "Suser3.rec").
std::string ReceptionFileName(std::string_view register_name, std::string_view terminal);

}  // namespace kaslo::viewers
