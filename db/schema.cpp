// The table set: every table of the data directory with its fields and tags,
// in the order the index check visits them, then the tables it leaves alone.
#include "db/schema.h"

#include <algorithm>
#include <cctype>

#include "db/tables/ycoatd.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycoetq.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycoqrm.h"
#include "db/tables/ycotey.h"
#include "db/tables/ycoter.h"
#include "db/tables/ycotet.h"
#include "db/tables/ycotrb.h"
#include "db/tables/ycouse.h"
#include "db/tables/ycoven.h"
#include "db/tables/ycoy60.h"
#include "db/tables/ycoycf.h"

namespace kaslo::db {
namespace {

constexpr size_t kIndexCheckCount = 15;

// Captions are those the progress window shows while a table is reindexed.
const TableDef kTables[] = {
    {ycopro::kTable, ycopro::kFields, ycopro::kTags, "Produtos do Pelda Roza ®"},
    {ycobar::kTable, ycobar::kFields, ycobar::kTags, "Códigos de Barra"},
    {ycogrp::kTable, ycogrp::kFields, ycogrp::kTags, "Grupos de Departamento"},
    {ycodep::kTable, ycodep::kFields, ycodep::kTags, "Departamentos"},
    {ycoven::kTable, ycoven::kFields, ycoven::kTags, "Vendedores"},
    {ycoope::kTable, ycoope::kFields, ycoope::kTags, "Operadores"},
    {ycotrb::kTable, ycotrb::kFields, ycotrb::kTags, "Tributações"},
    {ycoatd::kTable, ycoatd::kFields, ycoatd::kTags, "Atendentes"},
    {ycocli::kTable, ycocli::kFields, ycocli::kTags, "Clientes"},
    {ycoq40::kTable, ycoq40::kFields, ycoq40::kTags, "Finalizadoras"},
    {ycoqrm::kTable, ycoqrm::kFields, ycoqrm::kTags, "Finalizadoras QZV 7300"},
    {ycoter::kTable, ycoter::kFields, ycoter::kTags, "Terminais KT 5500"},
    {ycotet::kTable, ycotet::kFields, ycotet::kTags, "Terminais QZV 7300"},
    {ycotey::kTable, ycotey::kFields, ycotey::kTags, "Teclado KT 5500"},
    {ycoprm::kTable, ycoprm::kFields, ycoprm::kTags, "Parâmetros"},
    // Not visited by the index check: their tags (if any) come with the
    // installation.
    {ycouse::kTable, ycouse::kFields, ycouse::kTags, ""},
    {ycoycf::kTable, ycoycf::kFields, ycoycf::kTags, ""},
    {ycoetq::kTable, ycoetq::kFields, ycoetq::kTags, ""},
    {ycoy60::kTable, ycoy60::kFields, ycoy60::kTags, ""},
};

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

bool EndsWithDbf(std::string_view name) {
  return name.size() > 4 && SameName(name.substr(name.size() - 4), ".dbf");
}

}  // namespace

std::span<const TableDef> AllTables() { return kTables; }

std::span<const TableDef> IndexCheckTables() {
  return std::span<const TableDef>(kTables).first(kIndexCheckCount);
}

const TableDef* FindTable(std::string_view name) {
  if (EndsWithDbf(name)) name.remove_suffix(4);
  for (const TableDef& t : kTables) {
    if (SameName(t.name, name)) return &t;
  }
  return nullptr;
}

}  // namespace kaslo::db
