// Rules of the client editor: the CPF/CNPJ shown in its mask, the
// validation of a client, and the insertion that counts the new client in
// PRM_ULTCLI under the parameter-table lock.
#pragma once

#include <string>
#include <string_view>

#include "db/database.h"
#include "db/table.h"
#include "registers/editor_rules.h"

namespace kaslo::registers {

inline constexpr int kClientLimit = 200;

// The tax number as the grid and the box show it while browsing: a valid
// CNPJ (0 included) in "00.000.000/0000-00", anything else in
// "000.000.000-00".
std::string TaxNumberText(double number);
// The box's text while it has the focus: the plain digits, "" for 0.
std::string TaxNumberDigits(double number);
// The number a box's text holds once ".", "-" and "/" are removed; 0 for
// an empty box.
double ReadTaxNumber(std::string_view text);

// Whether PRM_VERCPF asks for the check digits ("S").
bool TaxNumberCheckOn(const db::Database& db);

// What the client window holds when it saves, as typed (Latin-1).
struct ClientInput {
  double code = 0;
  std::string tax_text;  // the CPF/CNPJ box, with or without its mask
  std::string name;
  std::string address;
};

struct ClientCheck {
  bool inserting = true;
  bool check_digits = false;   // PRM_VERCPF
  double remembered_tax = 0;   // CLI_CNPJ when the edit began
};

// The client rules in order: code above 0, the check digits when asked,
// a repeated code (insert only), a tax number held by another client
// (insert, or a changed number), the name, the address. A tax number of 0
// is no tax number and is never a repetition. `aux` is a second cursor on
// Ycocli; its tag and position change. Focus names are the fields'.
Validation ValidateClient(const ClientInput& client, const ClientCheck& check, db::Table& aux);

// Posts the client pending insertion in `cli` with the code typed, and
// raises PRM_ULTCLI by one, under the exclusive open of Ycoprm. On kGaveUp
// and kFailed the client stays in insert mode and the counter is as it was.
Allocation InsertClient(const db::Database& db, db::Table& cli, const LockOptions& options = {});

}  // namespace kaslo::registers
