// Decoding and replacement of the text registers: operators, sellers,
// department groups and departments.
#include "viewers/text_registers.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/text.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycoven.h"
#include "viewers/register_common.h"

namespace kaslo::viewers {
namespace {

// The common reading loop: while what is left of the line is not blank, the
// front record becomes a row and is cut off. A short last record gives the
// fields it has.
RegisterGrid DecodeRecords(std::string_view line, size_t record_length, std::vector<std::string> headers,
                           const std::function<GridRow(std::string_view)>& fill) {
  RegisterGrid grid;
  grid.headers = std::move(headers);
  while (!Vazio(line)) {
    grid.rows.push_back(fill(line.substr(0, record_length)));
    line.remove_prefix(std::min(record_length, line.size()));
  }
  return grid;
}

std::string CodeCell(std::string_view digits) { return FormatWhole(TextoParaNumero(digits)); }

// ---- operators

constexpr size_t kOperatorLength = 39;
constexpr size_t kOperatorFlags = 24;   // position of flag 1
constexpr size_t kManagerFlag = 13;

// Permission columns in the order of flags 1 to 12, with the field each one
// is written back to.
struct Permission {
  const char* header;
  db::FieldDef field;
};
const Permission kPermissions[] = {
    {"Desc.Item", ycoope::OPE_DITEM},   {"Desc.SubTot.", ycoope::OPE_DSUBTO},
    {"Canc.Item", ycoope::OPE_CITEM},   {"Canc.Cupom", ycoope::OPE_CCUPOM},
    {"Leitura X", ycoope::OPE_LEITX},   {"Redução Z", ycoope::OPE_REDZ},
    {"Sangria", ycoope::OPE_SANGRI},    {"Fundo de Cx.", ycoope::OPE_FDCXA},
    {"Limite", ycoope::OPE_LIMITE},     {"Relatórios", ycoope::OPE_RELATO},
    {"Acr.Item", ycoope::OPE_AITEM},    {"Acr.SubTot.", ycoope::OPE_ASUBTO},
};
enum OperatorColumn { kOpeCode, kOpeName, kOpeManager, kOpePassword, kOpeFirstPermission };

char FlagAt(std::string_view record, size_t flag) {
  std::string_view f = Field(record, kOperatorFlags + flag - 1, 1);
  return f.empty() ? ' ' : f[0];
}

GridRow OperatorRow(std::string_view record) {
  GridRow row;
  row.push_back(CodeCell(Field(record, 1, 4)));
  row.push_back(Latin1ToUtf8(Field(record, 5, 15)));
  row.push_back(SimNao(FlagAt(record, kManagerFlag)));
  row.push_back(Latin1ToUtf8(Field(record, 20, 4)));
  for (size_t flag = 1; flag <= std::size(kPermissions); ++flag) row.push_back(SimNao(FlagAt(record, flag)));
  return row;
}

void InsertOperator(db::Table& ope, const GridRow& row) {
  ope.append();
  ope.setNumber(ycoope::OPE_CODIGO, CellNumber(Cell(row, kOpeCode)));
  ope.setString(ycoope::OPE_NOME, CellLatin1(Cell(row, kOpeName)));
  ope.setString(ycoope::OPE_PERFIL, FirstChar(Cell(row, kOpeManager)));
  ope.setNumber(ycoope::OPE_SENHA, CellNumber(Cell(row, kOpePassword)));
  for (size_t i = 0; i < std::size(kPermissions); ++i)
    ope.setString(kPermissions[i].field, FirstChar(Cell(row, kOpeFirstPermission + i)));
  ope.post();
}

// ---- sellers

constexpr size_t kSellerLength = 19;

GridRow SellerRow(std::string_view record) {
  return {CodeCell(Field(record, 1, 4)), Latin1ToUtf8(Field(record, 5, 15))};
}

void InsertSeller(db::Table& ven, const GridRow& row) {
  ven.append();
  ven.setNumber(ycoven::VEN_CODIGO, CellNumber(Cell(row, 0)));
  ven.setString(ycoven::VEN_NOME, CellLatin1(Cell(row, 1)));
  ven.post();
}

// ---- department groups

constexpr size_t kGroupLength = 22;

GridRow GroupRow(std::string_view record) {
  return {CodeCell(Field(record, 1, 2)), Latin1ToUtf8(Field(record, 3, 20))};
}

// A row that names a group rather than making a department its member.
bool IsGroupDefinition(const db::Table& grp) { return grp.asNumber(ycogrp::DEP_CODIGO) == 0; }

void DeleteGroupDefinitions(db::Table& grp) {
  grp.first();
  while (!grp.eof()) {
    if (IsGroupDefinition(grp)) {
      grp.remove();  // moves on to the next row
    } else {
      grp.next();
    }
  }
}

// UPDATE Ycogrp SET GRP_DESCR = :Descr WHERE GRP_CODIGO = :Cod
void UpdateGroupDescription(db::Table& grp, double code, const std::string& descr) {
  for (grp.first(); !grp.eof(); grp.next()) {
    if (grp.asNumber(ycogrp::GRP_CODIGO) != code) continue;
    grp.edit();
    grp.setString(ycogrp::GRP_DESCR, descr);
    grp.post();
  }
}

void InsertGroup(db::Table& grp, const GridRow& row) {
  double code = CellNumber(Cell(row, 0));
  std::string descr = CellLatin1(Cell(row, 1));
  // The members take the new description before the group's own row is
  // added, so the update never meets the row being written.
  UpdateGroupDescription(grp, code, descr);
  grp.append();
  grp.setNumber(ycogrp::GRP_CODIGO, code);
  grp.setString(ycogrp::GRP_DESCR, descr);
  grp.setBlank(ycogrp::DEP_CODIGO);
  grp.post();
}

// ---- departments

constexpr size_t kDepartmentLength = 19;

GridRow DepartmentRow(std::string_view record) {
  return {CodeCell(Field(record, 1, 2)), Latin1ToUtf8(Field(record, 5, 15))};
}

void InsertDepartment(db::Table& dep, const GridRow& row) {
  dep.append();
  dep.setNumber(ycodep::DEP_CODIGO, CellNumber(Cell(row, 0)));
  dep.setString(ycodep::DEP_DESCR, CellLatin1(Cell(row, 1)));
  dep.post();
}

// Replaces a whole table: an empty new one, the rows inserted.
ReplaceOutcome ReplaceTable(const db::Database& db, std::string_view table, const RegisterGrid& grid,
                            std::string_view failure_message,
                            const std::function<void(db::Table&, const GridRow&)>& insert) {
  db::Table* t = nullptr;
  return ReplaceRows(
      db, {std::string(table)}, grid, failure_message, [&](ReplacedTables& replaced) { t = &replaced.empty(table); },
      [&](const GridRow& row) { insert(*t, row); });
}

}  // namespace

RegisterGrid DecodeOperators(std::string_view line) {
  std::vector<std::string> headers = {"Código", "Nome do Operador", "Gerente", "Senha"};
  for (const Permission& p : kPermissions) headers.emplace_back(p.header);
  return DecodeRecords(line, kOperatorLength, std::move(headers), OperatorRow);
}

RegisterGrid DisplayOperators(const std::filesystem::path& file) { return DisplayLine(file, DecodeOperators); }

ReplaceOutcome ReplaceOperators(const db::Database& db, const RegisterGrid& grid) {
  return ReplaceTable(db, ycoope::kTable, grid, kErroIncluir, InsertOperator);
}

RegisterGrid DecodeSellers(std::string_view line) {
  return DecodeRecords(line, kSellerLength, {"Código", "Nome do Vendedor"}, SellerRow);
}

RegisterGrid DisplaySellers(const std::filesystem::path& file) { return DisplayLine(file, DecodeSellers); }

ReplaceOutcome ReplaceSellers(const db::Database& db, const RegisterGrid& grid) {
  return ReplaceTable(db, ycoven::kTable, grid, kErroIncluir, InsertSeller);
}

RegisterGrid DecodeGroups(std::string_view line) {
  return DecodeRecords(line, kGroupLength, {"Código", "Descrição"}, GroupRow);
}

RegisterGrid DisplayGroups(const std::filesystem::path& file) { return DisplayLine(file, DecodeGroups); }

ReplaceOutcome ReplaceGroups(const db::Database& db, const RegisterGrid& grid) {
  db::Table* grp = nullptr;
  return ReplaceRows(
      db, {std::string(ycogrp::kTable)}, grid, kErroIncluirExclamacao,
      [&](ReplacedTables& replaced) {
        grp = &replaced.copy(ycogrp::kTable);
        DeleteGroupDefinitions(*grp);
      },
      [&](const GridRow& row) { InsertGroup(*grp, row); });
}

RegisterGrid DecodeDepartments(std::string_view line) {
  return DecodeRecords(line, kDepartmentLength, {"Código", "Descrição"}, DepartmentRow);
}

RegisterGrid DisplayDepartments(const std::filesystem::path& file) { return DisplayLine(file, DecodeDepartments); }

ReplaceOutcome ReplaceDepartments(const db::Database& db, const RegisterGrid& grid) {
  return ReplaceTable(db, ycodep::kTable, grid, kErroIncluirExclamacao, InsertDepartment);
}

}  // namespace kaslo::viewers
