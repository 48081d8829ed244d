// Rules of the product editor: the product-code rule (an EAN-13 check digit
// when the store uses one), display formats by decimals and unit, the
// validation, the flags written before a post and the row of the product
// change queue ycoy60 that every insertion, change and deletion leaves.
#pragma once

#include <optional>
#include <string>

#include "db/database.h"
#include "db/field.h"
#include "db/table.h"
#include "registers/editor_rules.h"

namespace kaslo::registers {

// True exactly when Q40_DIGCON of the parameter row is "S": product codes,
// queue rows and load files then carry the check digit as the last digit.
bool CheckDigitOn(const db::Database& db);

// The code box after Enter: with the check digit on and fewer than 13
// characters, the text without "-" read as a number followed by its check
// digit ("12" gives "123"); otherwise the text unchanged.
std::string CodeOnEnter(std::string_view text, bool check_digit);
// The number in the code box, every "-" removed; 0 when it is no number.
double CodeOfText(std::string_view text);
// How the grid and the code box show a stored code: "12-3" with the check
// digit on (format "0-0"), "123" otherwise.
std::string CodeDisplay(double code, bool check_digit);
// The key of the product's queue row: the code without its check digit when
// the check digit is on, the code itself otherwise.
double QueueKey(double code, bool check_digit);

// The code searched when a product code is typed into the find dialog. With
// the check digit on, digits typed without a hyphen are the code before its
// check digit ("12" searches 123, whatever the length typed); a code typed
// with its hyphen ("12-3") is searched without it. With the check digit off
// the text is searched as typed.
std::string ProductFindKey(std::string_view typed, bool check_digit);

// Display formats: the stock by unit (PRO_PESAD "N", shown "UN", has no
// decimals), the prices by decimals (PRO_CASAD "3" or "2").
int StockDecimals(std::string_view pesad);
int PriceDecimals(std::string_view casad);
std::string FormatDecimals(double value, int decimals);  // "12.50"

// The short description filled from the description: its first 20 characters.
std::string ShortDescriptionOf(std::string_view description);

// Texts beside the tax and department boxes (Latin-1). TaxPanelOfText takes
// the box's text; `trb` is Ycotrb on tag "Um". ProductDepartmentPanel
// searches `grp` (Ycogrp on tag "Quatro") and `dep` (Ycodep on "Um") and
// gives the group found in *group.
std::string TaxPanelOfText(db::Table& trb, std::string_view text);
std::string ProductDepartmentPanel(db::Table& grp, db::Table& dep, double department, std::optional<double>* group);

struct ProductInput {
  std::string code_text;  // as the code box holds it
  bool inserting = false;
  std::string description;        // Latin-1
  std::string short_description;  // Latin-1
  double tax = 0;
  double group = 0;
  double department = 0;
};
// Focus names are the field names. `aux` is a second cursor on Ycopro,
// `trb` Ycotrb, `grp` Ycogrp and `dep` Ycodep; their cursors move and grp is
// left on tag "Quatro".
Validation ValidateProduct(const ProductInput& input, db::Table& aux, db::Table& trb, db::Table& grp,
                           db::Table& dep);

// What a product appended to `pro` holds before anything is typed:
// PRO_PESAD, PRO_LITRAD and PRO_PROMO "N", PRO_GRPITE "0", PRO_CASAD "2",
// and 0 in the stock, the three prices, PRO_UNMED, PRO_TRB0 and PRO_TRB1.
void SetNewProductDefaults(db::Table& pro);

// The values a product had when its edit began.
struct RememberedProduct {
  double tax = 0, sale = 0, promo = 0, wholesale = 0;
};
RememberedProduct RememberProduct(const db::Table& pro);

// Flags written on every post of a product (pending in `pro`): PRO_FLAGPC
// "*" when an edit changed the tax code and at least one price, PRO_DTUALT
// today.
void StampProduct(db::Table& pro, const std::optional<RememberedProduct>& edit_from);

// Today as the queue's Y60_DATA holds it: "mmdd".
std::string QueueDay();

enum class QueueStatus : char { kDeleted = '1', kInserted = '2', kChanged = '3', kChangedNoStock = '4' };
// "3" for a change with stock, "4" with a zero stock.
QueueStatus ChangeStatus(double stock);

// Writes (replacing or appending) the queue row of the product current or
// pending in `pro`, and flushes it to the file. The stock is written except
// for a deletion. Throws db::Error when the table cannot be written.
void WriteQueueRow(const db::Database& db, const db::Table& pro, bool check_digit, QueueStatus status);

// "Cadastro de Produtos   -   Ordenado por Código   -   Total de Registros: [ 40 ]"
std::string ProductCaption(bool by_description, size_t count);

}  // namespace kaslo::registers
