// Departments and department groups: validations, code allocation in both
// code modes, group typing, the already-in-a-group and repeated-group
// checks, posting a group row with its memberships' descriptions, renaming
// and deleting a whole group.
#include "registers/departments.h"

#include "common/encoding.h"
#include "common/testing/scripted_messages.h"
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
  // Puts `t` on the row (group, department); department 0 is the group row.
  static void GoTo(db::Table& t, int group, int department) {
    for (t.first(); !t.eof(); t.next()) {
      if (t.asInteger(ycogrp::GRP_CODIGO) == group && t.asInteger(ycogrp::DEP_CODIGO) == department) return;
    }
    ADD_FAILURE() << "no row " << group << "/" << department;
  }
  std::string Description(int group, int department) {
    auto t = Db().open(ycogrp::kTable, {.tag = "Um"});
    GoTo(*t, group, department);
    return Latin1ToUtf8(t->getString(ycogrp::GRP_DESCR));
  }
  std::unique_ptr<db::Table> others_ = Db().open(ycogrp::kTable, {.tag = "Um"});
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

TEST_F(Groups, PostingAGroupRowRenamesItsMembershipsAndStaysOnIt) {
  kaslo::testing::RecordingProgress progress;
  GoTo(*grp_, 2, 0);
  const uint32_t rec = grp_->recNo();
  grp_->edit();
  ASSERT_TRUE(PostGroupRow(*grp_, *others_, "FRESCOS", false));
  EXPECT_EQ(grp_->mode(), db::Mode::kBrowse);
  EXPECT_EQ(grp_->recNo(), rec);
  for (int department : {0, 3, 4, 5, 6}) EXPECT_EQ(Description(2, department), "FRESCOS") << department;
  EXPECT_EQ(Description(1, 0), "MERCEARIA E BEBIDAS");
  EXPECT_EQ(Description(3, 7), "NÃO ALIMENTOS");
  EXPECT_EQ(progress.texts(), std::vector<std::string>{"Aguarde, processando registro..."});
  EXPECT_FALSE(progress.visible());
}

TEST_F(Groups, ANewGroupRowDropsADepartmentAndAMembershipRenamesNothing) {
  grp_->append();
  grp_->setNumber(ycogrp::GRP_CODIGO, 9);
  grp_->setNumber(ycogrp::DEP_CODIGO, 4);  // left from a code typed before the box was locked
  ASSERT_TRUE(PostGroupRow(*grp_, *others_, "NOVO", false));
  EXPECT_TRUE(grp_->isBlank(ycogrp::DEP_CODIGO));
  EXPECT_EQ(Description(9, 0), "NOVO");

  GoTo(*grp_, 2, 4);
  grp_->edit();
  ASSERT_TRUE(PostGroupRow(*grp_, *others_, "OUTRO", true));
  EXPECT_EQ(grp_->asInteger(ycogrp::DEP_CODIGO), 4);
  EXPECT_EQ(Description(2, 4), "OUTRO");
  EXPECT_EQ(Description(2, 0), "PERECÍVEIS");
  EXPECT_EQ(Description(2, 5), "PERECÍVEIS");
}

TEST_F(Groups, AMembershipHeldElsewhereKeepsItsTextAndTheGroupRowIsSaved) {
  auto holder = Db().open(ycogrp::kTable, {.tag = "Um"});
  GoTo(*holder, 2, 5);
  holder->edit();
  GoTo(*grp_, 2, 0);
  grp_->edit();
  EXPECT_TRUE(PostGroupRow(*grp_, *others_, "FRESCOS", false));
  EXPECT_EQ(grp_->asInteger(ycogrp::GRP_CODIGO), 2);
  EXPECT_EQ(Description(2, 0), "FRESCOS");
  EXPECT_EQ(Description(2, 5), "PERECÍVEIS");
  holder->cancel();
}

TEST_F(Groups, ARefusedPostRenamesNothing) {
  kaslo::testing::RecordingProgress progress;
  grp_->setBeforePost([](db::Table&) { return false; });
  GoTo(*grp_, 2, 0);
  grp_->edit();
  EXPECT_FALSE(PostGroupRow(*grp_, *others_, "FRESCOS", false));
  EXPECT_EQ(grp_->mode(), db::Mode::kEdit);
  EXPECT_FALSE(progress.visible());
  grp_->cancel();
  EXPECT_EQ(Description(2, 0), "PERECÍVEIS");
  EXPECT_EQ(Description(2, 3), "PERECÍVEIS");
}

TEST_F(Groups, DeletingAMembershipOrAWholeGroup) {
  GoTo(*grp_, 3, 7);
  EXPECT_TRUE(DeleteGroupRow(*grp_, *others_));
  EXPECT_EQ(Rows(), (std::vector<std::pair<int, int>>{
                        {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 3}, {2, 4}, {2, 5}, {2, 6}, {3, 0}, {3, 8}}));
  GoTo(*grp_, 2, 0);
  EXPECT_TRUE(DeleteGroupRow(*grp_, *others_));
  EXPECT_EQ(grp_->asInteger(ycogrp::GRP_CODIGO), 1);  // back on the first row
  EXPECT_EQ(grp_->asInteger(ycogrp::DEP_CODIGO), 0);
  EXPECT_EQ(Rows(), (std::vector<std::pair<int, int>>{{1, 0}, {1, 1}, {1, 2}, {3, 0}, {3, 8}}));
}

}  // namespace
}  // namespace kaslo::registers
