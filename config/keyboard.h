// The programming of the second terminal model's keyboard: the functions a
// key can carry, offered in the key menu, and their place on the keys as
// Ycotey records it (TEY_BOTON the key position, TEY_NTECLA the function
// code) for the keyboard load (job 211) to send.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "db/table.h"

namespace kaslo::config {

inline constexpr std::string_view kKeyboardModel = "QZV";
inline constexpr int kKeyPositions = 26;
// Positions 1 to 22 and 24 to 26; 23 always goes out blank.
bool IsProgrammableKey(int position);

struct KeyFunction {
  std::string caption;      // "[ D05 ] - DEPTO 05"
  int code = 0;             // 905
  std::string legend;       // "D05", shown on the key; "." for the point
  bool assignable = true;   // "[ CAR ] - Cartão" is listed but does nothing
};

// A menu: its sub-menus first, then its functions.
struct KeyMenuNode {
  std::string caption;
  std::vector<KeyMenuNode> submenus;
  std::vector<KeyFunction> functions;
};
// "Departamentos" (five ranges), "Grupos de Item", "PLU" (five ranges), then
// the register's functions. "Desativar Tecla" is the window's.
const KeyMenuNode& KeyMenu();
// Every function of the menu, in menu order.
std::vector<const KeyFunction*> KeyFunctions();

// The tip of a programmed key, from the function's description and label
// (Latin-1, as stored); UTF-8.
std::string KeyHint(std::string_view description, std::string_view label);

// What a key carries (UTF-8 texts).
struct ProgrammedKey {
  int code = 0;
  std::string legend;
  std::string hint;
};
// The programmable positions that carry a function, from the model's rows.
// Leaves the table unfiltered.
std::map<int, ProgrammedKey> ProgrammedKeys(db::Table& tey);

// Puts the function `code` on the key `position`. kNoFunction: the table
// has no row of the model for the code, nothing written.
struct KeyAssignment {
  enum Result { kAssigned, kNoFunction, kFailed } result = kFailed;
  ProgrammedKey key;  // kAssigned
  std::string cause;  // kFailed: the engine's
};
KeyAssignment AssignKey(db::Table& tey, int position, int code);

// Takes every function off the key. `freed` are their legends.
struct KeyRelease {
  bool ok = false;
  std::vector<std::string> freed;
  std::string cause;
};
KeyRelease ReleaseKey(db::Table& tey, int position);

inline constexpr std::string_view kMsgEditarTeclaFalhou = "Não foi possível editar o registro !";
inline constexpr std::string_view kMsgDesabilitarTeclaFalhou = "Não foi possível desabilitar tecla !";
inline constexpr std::string_view kMsgTeclaFixa = "Esta tecla não pode ser reprogramada !";
inline constexpr std::string_view kDesativarTecla = "Desativar Tecla";
// A function the table does not hold.
std::string FunctionMissingText(std::string_view caption);

}  // namespace kaslo::config
