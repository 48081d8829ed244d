// Departments and department groups: validations, code allocation in both
// code modes, group typing, the already-in-a-group and repeated-group
// checks, renaming and deleting a whole group.
#include "registers/departments.h"

#include "common/encoding.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycotrb.h"
#include "registers/groups.h"
#include "registers/test_support.h"

namespace kaslo::registers {
namespace {

using testing::DemoStore;

class Departments : public DemoStore {
 protected:
  void KeepOnly(std::initializer_list<int> codes) {
    auto dep = Db().open(ycodep::kTable);
    for (dep->first(); !dep->eof();) {
      int code = static_cast<int>(dep->asInteger(ycodep::DEP_CODIGO));
      if (std::find(codes.begin(), codes.end(), code) == codes.end()) dep->remove();
      else dep->next();
    }
  }
  double Insert(const std::string& description) {
    auto dep = Db().open(ycodep::kTable, {.tag = "Um"});
    dep->append();
    dep->setString(ycodep::DEP_DESCR, description);
    EXPECT_EQ(InsertDepartment(Db(), *dep), Allocation::kDone);
    EXPECT_EQ(dep->mode(), db::Mode::kBrowse);
    return dep->asNumber(ycodep::DEP_CODIGO);
  }
};

TEST_F(Departments, FreeCodesAreReusedWhenCodesAreFree) {
  KeepOnly({1, 2, 4});
  SetParameter(ycoprm::PRM_CODFRE, "S");
  EXPECT_EQ(Insert("NOVO"), 3);
  EXPECT_EQ(Parameter(ycoprm::PRM_UTDEPT), "4");
  EXPECT_EQ(Insert("OUTRO"), 5);
  EXPECT_EQ(Parameter(ycoprm::PRM_UTDEPT), "5");
}

TEST_F(Departments, NextCounterValueWhenCodesAreNotFree) {
  KeepOnly({1, 2, 4});
  SetParameter(ycoprm::PRM_CODFRE, "N");
  SetParameter(ycoprm::PRM_UTDEPT, "4");
  EXPECT_EQ(Insert("NOVO"), 5);
  EXPECT_EQ(Parameter(ycoprm::PRM_UTDEPT), "5");
}

TEST_F(Departments, ValidationNamesTheFieldToFocus) {
  auto trb = Db().open(ycotrb::kTable, {.tag = "Um"});
  EXPECT_EQ(ValidateDepartment("   ", 0, *trb), (Invalid{"O campo [ Descrição ] deve ser preenchido !", "DEP_DESCR"}));
  EXPECT_EQ(ValidateDepartment("X", 7, *trb), (Invalid{"Tributação não cadastrada  !", "TRB_CODIGO"}));
  EXPECT_EQ(ValidateDepartment("X", 0, *trb), std::nullopt);
  EXPECT_EQ(ValidateDepartment("X", 3, *trb), std::nullopt);
  EXPECT_EQ(TaxPanel(*trb, 3), "ICMS 7%");
  EXPECT_EQ(Latin1ToUtf8(TaxPanel(*trb, 7)), "TRIBUTAÇÃO NÃO CADASTRADA");
  EXPECT_EQ(TaxPanel(*trb, 0), "");
}

class Groups : public DemoStore {
 protected:
  std::unique_ptr<db::Table> grp_ = Db().open(ycogrp::kTable, {.tag = "Um"});
  std::unique_ptr<db::Table> dep_ = Db().open(ycodep::kTable, {.tag = "Um"});
  std::vector<std::pair<int, int>> Rows() {
    std::vector<std::pair<int, int>> rows;
    grp_->refresh();
    for (grp_->first(); !grp_->eof(); grp_->next()) {
      rows.emplace_back(grp_->asInteger(ycogrp::GRP_CODIGO), grp_->asInteger(ycogrp::DEP_CODIGO));
    }
    return rows;
  }
};

TEST_F(Groups, TypingACodeTellsNewGroupFromMembership) {
  EXPECT_EQ(TypeGroupCode(*grp_, 0).kind, GroupRowKind::kNone);
  EXPECT_EQ(TypeGroupCode(*grp_, 9).kind, GroupRowKind::kNewGroup);
  auto existing = TypeGroupCode(*grp_, 2);
  EXPECT_EQ(existing.kind, GroupRowKind::kMembership);
  EXPECT_EQ(Latin1ToUtf8(existing.description), "PERECÍVEIS");
  EXPECT_EQ(GroupDepartmentPanel(*dep_, 5), Utf8ToLatin1("AÇOUGUE"));
  EXPECT_EQ(Latin1ToUtf8(GroupDepartmentPanel(*dep_, 50)), "DEPARTAMENTO NÃO CADASTRADO");
  EXPECT_EQ(GroupDepartmentPanel(*dep_, 0), "");
}

TEST_F(Groups, ValidationOfCodesDescriptionsAndMemberships) {
  auto check = [&](GroupInput in) { return ValidateGroup(in, *grp_, *dep_); };
  EXPECT_EQ(check({.group = 0, .description = "X"})->message, "O campo [ Código ] deve ser preenchido !");
  EXPECT_EQ(check({.group = 21, .description = "X"}),
            (Invalid{"O Código do Grupo não pode ser superior a 20 ( vinte ) !", "GRP_CODIGO"}));
  EXPECT_EQ(check({.group = 20, .description = " "})->focus, "GRP_DESCR");
  EXPECT_EQ(check({.group = 20, .description = "NOVO", .inserting = true}), std::nullopt);
  EXPECT_EQ(check({.group = 2, .description = "X", .inserting = true}), (Invalid{"Grupo Repetido !", "GRP_CODIGO", true}));
  EXPECT_EQ(check({.group = 3, .description = "X", .department = 50, .membership = true, .inserting = true}),
            (Invalid{"Departamento não cadastrado !", "DEP_CODIGO"}));
  EXPECT_EQ(check({.group = 3, .description = "X", .department = 5, .membership = true, .inserting = true}),
            (Invalid{"Departamento [ 05 ] , já cadastrado no Grupo [ 02 PERECÍVEIS ] !", "DEP_CODIGO", true}));
  // editing the membership row (2, 5) without changing its department
  EXPECT_EQ(check({.group = 2, .description = "X", .department = 5, .membership = true, .remembered_department = 5}),
            std::nullopt);
}

TEST_F(Groups, RenameAndDeleteAWholeGroup) {
  RenameGroup(*grp_, 2, "FRESCOS");
  for (grp_->first(); !grp_->eof(); grp_->next()) {
    if (grp_->asInteger(ycogrp::GRP_CODIGO) == 2) EXPECT_EQ(grp_->getString(ycogrp::GRP_DESCR), "FRESCOS");
    else EXPECT_NE(grp_->getString(ycogrp::GRP_DESCR), "FRESCOS");
  }
  DeleteGroup(*grp_, 2);
  EXPECT_EQ(Rows(), (std::vector<std::pair<int, int>>{{1, 0}, {1, 1}, {1, 2}, {3, 0}, {3, 7}, {3, 8}}));
  EXPECT_EQ(GroupPickerCode(2, 5), "002005");
  EXPECT_EQ(GroupPickerCode(12, 0), "012000");
  EXPECT_EQ(PickedGroupOf("002005"), (PickedGroup{"2", "5"}));
  EXPECT_EQ(PickedGroupOf("012000"), (PickedGroup{"12", "0"}));
  EXPECT_EQ(PickedGroupOf(""), PickedGroup{});  // closed on an empty table
}

}  // namespace
}  // namespace kaslo::registers
