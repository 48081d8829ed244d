// Rules of the department-group editor. Ycogrp holds group rows (blank
// DEP_CODIGO) and membership rows (a department in a group) whose GRP_DESCR
// copies the group's.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "db/database.h"
#include "db/table.h"
#include "registers/editor_rules.h"

namespace kaslo::registers {

inline constexpr int kMaxGroupCode = 20;

// The group of each department, as the first membership row of Ycogrp
// names it, read once for work over many products. Group rows (DEP_CODIGO
// blank or 0) are not members.
class DepartmentGroups {
 public:
  explicit DepartmentGroups(const db::Database& db);
  // 1 for a department of no group.
  double of(double department) const;

 private:
  std::map<int64_t, double> group_;
};

// What typing a group code while inserting makes of the new row.
enum class GroupRowKind {
  kNone,        // code 0 or less: neither description nor department
  kNewGroup,    // an unknown code: a group row, description to type
  kMembership,  // an existing group: its description, a department to choose
};
struct TypedGroup {
  GroupRowKind kind = GroupRowKind::kNone;
  std::string description;  // of an existing group (Latin-1)
};
// `grp` is a cursor on Ycogrp (any tag; it moves).
TypedGroup TypeGroupCode(db::Table& grp, double code);

// The department panel of the group window (Latin-1): the department's
// description, "DEPARTAMENTO NÃO CADASTRADO" when a code above 0 is
// unknown, "" otherwise. `dep` is Ycodep on tag "Um".
std::string GroupDepartmentPanel(db::Table& dep, double code);

struct GroupInput {
  double group = 0;
  std::string description;  // Latin-1
  double department = 0;
  bool membership = false;  // the department control is enabled
  bool inserting = false;
  double remembered_department = 0;  // the row's department when editing began
};
// Focus names: "GRP_CODIGO", "GRP_DESCR", "DEP_CODIGO". A department already
// in a group and a repeated group cancel the record. `grp` is a second
// cursor on Ycogrp (it moves; its filter is cleared again), `dep` Ycodep on
// tag "Um".
Validation ValidateGroup(const GroupInput& input, db::Table& grp, db::Table& dep);

// Copies a group's description to every row of the group.
void RenameGroup(db::Table& grp, double group, std::string_view description);
// Deletes a group with all its memberships.
void DeleteGroup(db::Table& grp, double group);

// Posts the row pending in `grp` (Ycogrp, inserting or editing) with the
// description typed (Latin-1); a group row (not `membership`) gets a blank
// department. Once a group row is posted its memberships take its
// description through `others`, a second cursor on Ycogrp, as far as they
// can be written; `grp` stays on the posted row. Shows "Aguarde, processando
// registro..." while posting. False when the engine refused the post.
bool PostGroupRow(db::Table& grp, db::Table& others, std::string_view description, bool membership);

// Deletes the current row of `grp`: a membership row alone, a group row
// with all its memberships (through `others`; `grp` then goes to its first
// row). False when the engine refused.
bool DeleteGroupRow(db::Table& grp, db::Table& others);

// What the group window returns to the product window: group and
// department, each as three digits ("002005").
std::string GroupPickerCode(double group, double department);
// What the product window writes into its group and department boxes from
// that code: each number without leading zeros ("002005" gives "2" and
// "5"). A shorter code, as a window closed on an empty table returns, gives
// two empty texts.
struct PickedGroup {
  std::string group, department;
  bool operator==(const PickedGroup&) const = default;
};
PickedGroup PickedGroupOf(std::string_view code);

}  // namespace kaslo::registers
