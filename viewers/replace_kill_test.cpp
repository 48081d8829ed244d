// The viewer's replacements killed at many points: the product register
// (Ycopro and Ycobar together), a register that empties its table (sellers)
// and two that edit rows in place (department groups; the parameters' rows
// of two tables). After each kill the
// data directory opens sound and the tables hold all of their old rows or
// all of the new ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "db/kill_testing.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoven.h"
#include "db/tables/ycoycf.h"
#include "viewers/config_registers.h"
#include "viewers/product_register.h"
#include "viewers/text_registers.h"

namespace kaslo::viewers {
namespace {

namespace fs = std::filesystem;
using db::testing::Copies;
using db::testing::ExpectOldOrNewAfterEveryKill;

void MustComplete(const ReplaceOutcome& outcome) {
  if (!outcome.completed) throw std::runtime_error(outcome.message + " " + outcome.detail);
}

TEST(ReplacementKilled, ProductsAndBarCodesAreTheOldOnesOrTheReceivedOnes) {
  Copies copies({.demo = true});
  ASSERT_GT(copies.db().open(ycobar::kTable)->recordCount(), 0u);
  RegisterGrid grid;
  for (int i = 1; i <= 150; ++i) {
    grid.rows.push_back({std::to_string(5000 + i), "PRODUTO " + std::to_string(i), "1.50", "01", "05", "0", "2",
                         "NÃO", "UN", "01", "3.000"});
  }
  ExpectOldOrNewAfterEveryKill(
      copies, {std::string(ycopro::kTable), std::string(ycobar::kTable)},
      [&](const fs::path& dir) { MustComplete(ReplaceProducts(db::Database(dir), grid)); }, 25, 35);
}

TEST(ReplacementKilled, SellersAreTheOldOnesOrTheReceivedOnes) {
  Copies copies({.demo = true});
  {
    auto ven = copies.db().open(ycoven::kTable);
    for (int code = 1; code <= 5; ++code) {
      ven->append();
      ven->setNumber(ycoven::VEN_CODIGO, 70 + code);
      ven->setString(ycoven::VEN_NOME, "ANTIGO " + std::to_string(code));
      ven->post();
    }
  }
  std::string line;
  for (int code = 1; code <= 30; ++code) line += "00" + std::string(code < 10 ? "0" : "") + std::to_string(code) + "VENDEDOR " + std::to_string(code + 10) + "    ";
  const RegisterGrid grid = DecodeSellers(line);
  ASSERT_EQ(grid.rows.size(), 30u);
  ExpectOldOrNewAfterEveryKill(
      copies, {std::string(ycoven::kTable)},
      [&](const fs::path& dir) { MustComplete(ReplaceSellers(db::Database(dir), grid)); }, 20, 30);
}

TEST(ReplacementKilled, GroupsEditedInPlaceAreTheOldOnesOrTheReceivedOnes) {
  Copies copies({.demo = true});
  {
    auto grp = copies.db().open(ycogrp::kTable);
    for (int dep = 1; dep <= 6; ++dep) {
      grp->append();
      grp->setNumber(ycogrp::GRP_CODIGO, 1 + dep % 2);
      grp->setString(ycogrp::GRP_DESCR, "VELHO");
      grp->setNumber(ycogrp::DEP_CODIGO, dep);
      grp->post();
    }
  }
  const RegisterGrid grid = DecodeGroups("01BEBIDAS             02LIMPEZA             03PADARIA             ");
  ExpectOldOrNewAfterEveryKill(
      copies, {std::string(ycogrp::kTable)},
      [&](const fs::path& dir) { MustComplete(ReplaceGroups(db::Database(dir), grid)); }, 20, 30);
}

// Parameters edit the one row of two tables: both change together or not at all.
TEST(ReplacementKilled, ParametersChangeBothTablesOrNeither) {
  Copies copies({.demo = true});
  const RegisterGrid grid = DecodeParameters("SNG1", "PS 12 345", "SNSNSNS431");
  ExpectOldOrNewAfterEveryKill(
      copies, {std::string(ycoprm::kTable), std::string(ycoycf::kTable)},
      [&](const fs::path& dir) { MustComplete(ReplaceParameters(db::Database(dir), grid)); }, 20, 30);
}

}  // namespace
}  // namespace kaslo::viewers
