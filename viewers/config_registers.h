// The configuration blocks a first-model terminal sends back: payment types
// (job kinds 12 and 20), general parameters and peripherals (13), discounts
// and surcharges (14), the sale message (15), the store data (24), date and
// time (19) and the keyboard layout (21).
//
// Decode* turn the received lines into the grid and touch nothing else;
// Display* read the reception files' first lines (a file that cannot be
// read is a blank line) with the progress window shown, but for 19;
// Replace* write the grid's cells back into Ycoq40, Ycoycf, Ycoprm or Ycotey.
// Every replacement's failure message is "Erro ao tentar incluir novo
// registro!".
#pragma once

#include <filesystem>
#include <string_view>

#include "db/database.h"
#include "viewers/register_grid.h"

namespace kaslo::viewers {

// Payment types: one name of 15 characters per type in `finaliz`, one
// configuration record of 9 in `cfgfinal`:
//   POS LEN CONTENT
//   1   5   receiving limit, whole number (read over 1-6: the flag at 6 ends it)
//   6   1   change allowed, "S"
//   7   1   open the drawer, "S"
//   8   1   kind, 1 to 5
//   9   1   "Em.Cont.Val.", "S"
// 12: one row per name, the n-th configuration record fills row n; rows
// beyond the configuration line keep only their name (no number).
RegisterGrid DecodePaymentConfig(std::string_view names, std::string_view configs);
// 20: names and configurations read in step while names are left; a blank
// name shows "FINALIZADORA NÃO DEFINIDA".
RegisterGrid DecodePayments(std::string_view names, std::string_view configs);
RegisterGrid DisplayPaymentConfig(const std::filesystem::path& finaliz, const std::filesystem::path& cfgfinal);
RegisterGrid DisplayPayments(const std::filesystem::path& finaliz, const std::filesystem::path& cfgfinal);
// 12: every numbered row is written into Ycoq40 in place (found by
// Q40_CODIGO, else appended); nothing is deleted.
ReplaceOutcome ReplacePaymentConfig(const db::Database& db, const RegisterGrid& grid);
// 20: Ycoq40 is emptied, then every numbered row but the undefined ones is
// appended.
ReplaceOutcome ReplacePayments(const db::Database& db, const RegisterGrid& grid);

// 13: the nine fixed rows of "Parâmetros Diversos" and "Periféricos" from
// the lines of `perif`, `codbarra` and `flags`.
RegisterGrid DecodeParameters(std::string_view perif, std::string_view codbarra, std::string_view flags);
RegisterGrid DisplayParameters(const std::filesystem::path& perif, const std::filesystem::path& codbarra,
                               const std::filesystem::path& flags);
// Writes the single rows of Ycoycf and Ycoprm.
ReplaceOutcome ReplaceParameters(const db::Database& db, const RegisterGrid& grid);

// 14: one line of four groups of 6 (kind, rate of 4 digits with two implied
// decimals, change flag): subtotal discount, item discount, subtotal
// surcharge, item surcharge.
RegisterGrid DecodeDiscounts(std::string_view descacr);
RegisterGrid DisplayDiscounts(const std::filesystem::path& descacr);
// Writes the single row of Ycoycf.
ReplaceOutcome ReplaceDiscounts(const db::Database& db, const RegisterGrid& grid);

// 15 and 24: four records of 44 characters (42 of text, the expanded-print
// flag, the centring flag; "N" = no).
RegisterGrid DecodeSaleMessage(std::string_view footer);
RegisterGrid DisplaySaleMessage(const std::filesystem::path& footer);
// Writes the message and its flags into the single row of Ycoycf; success
// message "Substituição de cadastro completa!".
ReplaceOutcome ReplaceSaleMessage(const db::Database& db, const RegisterGrid& grid);
RegisterGrid DecodeStoreData(std::string_view header);
RegisterGrid DisplayStoreData(const std::filesystem::path& header);

// 19: date ddmmyyyy (1-8) and time (9-20); shown without the progress window.
RegisterGrid DecodeDateTime(std::string_view datahora);
RegisterGrid DisplayDateTime(const std::filesystem::path& datahora);

// 21: key records of 6 characters (key code; for 27 a PLU or group number
// at 3-4, for 28 a department at 5-6), looked up among the second-model
// keys of Ycotey (TEY_TYPE "QZV").
RegisterGrid DecodeKeyboard(const db::Database& db, std::string_view teclado);
RegisterGrid DisplayKeyboard(const db::Database& db, const std::filesystem::path& teclado);
// Clears TEY_NTECLA and TEY_BOTON of the "QZV" keys, then gives each key
// found its number and its position on the terminal's keyboard.
ReplaceOutcome ReplaceKeyboard(const db::Database& db, const RegisterGrid& grid);

inline constexpr std::string_view kFinalizadoraNaoDefinida = "FINALIZADORA NÃO DEFINIDA";
inline constexpr std::string_view kTeclaNaoProgramavel = "TECLA NÃO PROGRAMÁVEL";
inline constexpr std::string_view kTeclaDesativada = "TECLA DESATIVADA";
inline constexpr std::string_view kSubstituicaoCompletaMensagem = "Substituição de cadastro completa!";

}  // namespace kaslo::viewers
