// The department-group editor's rules.
#include "registers/groups.h"

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/text.h"
#include "db/error.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"

namespace kaslo::registers {

DepartmentGroups::DepartmentGroups(const db::Database& db) {
  auto grp = db.open(ycogrp::kTable);
  for (grp->first(); !grp->eof(); grp->next()) {
    const int64_t dep = grp->asInteger(ycogrp::DEP_CODIGO);
    if (dep > 0) group_.try_emplace(dep, grp->asNumber(ycogrp::GRP_CODIGO));
  }
}

double DepartmentGroups::of(double department) const {
  auto it = group_.find(static_cast<int64_t>(department));
  return it == group_.end() ? 1 : it->second;
}

namespace {

// Rows of a group in `grp`, by record number, whatever its tag.
std::vector<uint32_t> GroupRows(db::Table& grp, double group) {
  std::vector<uint32_t> rows;
  for (uint32_t rec : grp.visibleOrder()) {
    if (TextoParaNumero(grp.getStringAt(rec, ycogrp::GRP_CODIGO)) == group) rows.push_back(rec);
  }
  return rows;
}

}  // namespace

TypedGroup TypeGroupCode(db::Table& grp, double code) {
  auto rows = GroupRows(grp, code);
  if (rows.empty()) return {code > 0 ? GroupRowKind::kNewGroup : GroupRowKind::kNone, {}};
  return {GroupRowKind::kMembership, grp.getStringAt(rows.front(), ycogrp::GRP_DESCR)};
}

std::string GroupDepartmentPanel(db::Table& dep, double code) {
  if (dep.findKey(code)) return dep.getString(ycodep::DEP_DESCR);
  if (code > 0) return Utf8ToLatin1("DEPARTAMENTO NÃO CADASTRADO");
  return {};
}

Validation ValidateGroup(const GroupInput& in, db::Table& grp, db::Table& dep) {
  if (in.group == 0) return Invalid{MustFill("Código"), "GRP_CODIGO"};
  if (in.group > kMaxGroupCode) {
    return Invalid{"O Código do Grupo não pode ser superior a 20 ( vinte ) !", "GRP_CODIGO"};
  }
  if (Apara(in.description).empty()) return Invalid{MustFill("Descrição"), "GRP_DESCR"};
  if (in.membership) {
    if (!dep.findKey(in.department)) return Invalid{"Departamento não cadastrado !", "DEP_CODIGO"};
    if (in.department != in.remembered_department) {
      for (uint32_t rec : grp.visibleOrder()) {
        if (TextoParaNumero(grp.getStringAt(rec, ycogrp::DEP_CODIGO)) != in.department) continue;
        double other = TextoParaNumero(grp.getStringAt(rec, ycogrp::GRP_CODIGO));
        return Invalid{"Departamento [ " + FormataMascara("00", in.department) + " ] ," + " já cadastrado no Grupo [ " +
                           FormataMascara("00", other) + " " +
                           Latin1ToUtf8(grp.getStringAt(rec, ycogrp::GRP_DESCR)) + " ] !",
                       "DEP_CODIGO", true};
      }
    }
  }
  if (in.inserting && !in.membership) {
    for (uint32_t rec : GroupRows(grp, in.group)) {
      if (grp.getStringAt(rec, ycogrp::DEP_CODIGO).empty()) return Invalid{"Grupo Repetido !", "GRP_CODIGO", true};
    }
  }
  return std::nullopt;
}

void RenameGroup(db::Table& grp, double group, std::string_view description) {
  for (uint32_t rec : GroupRows(grp, group)) {
    if (!grp.go(rec)) continue;
    grp.edit();
    grp.setString(ycogrp::GRP_DESCR, description);
    grp.post();
  }
}

void DeleteGroup(db::Table& grp, double group) {
  for (uint32_t rec : GroupRows(grp, group)) {
    if (grp.go(rec)) grp.remove();
  }
}

bool PostGroupRow(db::Table& grp, db::Table& others, std::string_view description, bool membership) {
  // the description lives in the row even when its box is locked
  grp.setString(ycogrp::GRP_DESCR, description);
  if (!membership) grp.setBlank(ycogrp::DEP_CODIGO);
  bool posted = false;
  {
    ScopedProgress wait(kMsgAguarde);
    posted = grp.post();
  }
  if (posted && grp.getString(ycogrp::DEP_CODIGO).empty()) {
    const uint32_t rec = grp.recNo();
    try {
      others.refresh();
      RenameGroup(others, grp.asNumber(ycogrp::GRP_CODIGO), grp.getString(ycogrp::GRP_DESCR));
    } catch (const db::Error&) {
      // the group row stays saved when a membership cannot take the new text
    }
    grp.refresh();
    grp.go(rec);
  }
  return posted;
}

bool DeleteGroupRow(db::Table& grp, db::Table& others) {
  if (grp.asNumber(ycogrp::DEP_CODIGO) > 0) return grp.remove();
  others.refresh();
  DeleteGroup(others, grp.asNumber(ycogrp::GRP_CODIGO));
  grp.refresh();
  grp.first();
  return true;
}

std::string GroupPickerCode(double group, double department) {
  return FormataMascara("000", group) + FormataMascara("000", department);
}

PickedGroup PickedGroupOf(std::string_view code) {
  if (code.size() < 6) return {};
  return {NumeroParaTexto(0, 0, TextoParaNumero(code.substr(0, 3))),
          NumeroParaTexto(0, 0, TextoParaNumero(code.substr(3, 3)))};
}

}  // namespace kaslo::registers
