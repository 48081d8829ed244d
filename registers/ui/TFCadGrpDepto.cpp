// The department-group window.
#include "registers/ui/TFCadGrpDepto.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/qt_text.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "registers/groups.h"
#include "registers/ui/TFCadDepto.h"
#include "registers/ui/TFLocaliza.h"

namespace kaslo::ui {

namespace reg = kaslo::registers;

namespace {

const WindowRegistrar kRegistrar{"TFCadGrpDepto", OpenEditor<TFCadGrpDepto>};

QString TwoDigits(const std::string& text) {
  return text.empty() ? QString() : FromLatin1(text).rightJustified(2, QLatin1Char('0'));
}

double NumberOf(const QLineEdit* edit) { return TextoParaNumero(ToLatin1(edit->text())); }

}  // namespace

TFCadGrpDepto::TFCadGrpDepto(QWidget* owner, const std::filesystem::path& data_dir)
    : RecordEditor(owner, data_dir,
                   {.title = QStringLiteral("Cadastro de Grupos de Departamentos"),
                    .table = std::string(ycogrp::kTable),
                    .total_in_status = false}) {
  setObjectName(QStringLiteral("TFCadGrpDepto"));
  aux_ = db_.open(ycogrp::kTable, {.tag = "Um", .exclusive = false});
  dep_ = db_.open(ycodep::kTable, {.tag = "Um", .exclusive = false});
  auto* deps = dep_.get();
  SetColumns({
      {std::string(ycogrp::GRP_CODIGO.name), QStringLiteral("Código"),
       [](const db::Table& t, uint32_t rec) { return TwoDigits(t.getStringAt(rec, ycogrp::GRP_CODIGO)); }},
      {std::string(ycogrp::GRP_DESCR.name), QStringLiteral("Descrição")},
      {std::string(ycogrp::DEP_CODIGO.name), QStringLiteral("Cód.Depto"),
       [](const db::Table& t, uint32_t rec) { return TwoDigits(t.getStringAt(rec, ycogrp::DEP_CODIGO)); }},
      {std::string(ycogrp::DEP_CODIGO.name), QStringLiteral("Descr.do Depto"),
       [deps](const db::Table& t, uint32_t rec) {
         const std::string code = t.getStringAt(rec, ycogrp::DEP_CODIGO);
         if (code.empty() || !deps->findKey(TextoParaNumero(code))) return QString();
         return FromLatin1(deps->getString(ycodep::DEP_DESCR));
       }},
  });

  // whole group descriptions; the department's description takes the rest
  Grid->setColumnWidth(0, 70);
  Grid->setColumnWidth(1, 260);
  Grid->setColumnWidth(2, 80);

  auto* box = new QGroupBox(QStringLiteral("  Grupo de Departamento  "), Target());
  auto* outer = new QVBoxLayout(Target());
  outer->addWidget(box);
  auto* grid = new QGridLayout(box);
  lblcod = new QLabel(QStringLiteral("Código:"), box);
  lblcod->setObjectName(QStringLiteral("lblcod"));
  GRP_CODIGO = new QLineEdit(box);
  GRP_CODIGO->setMaximumWidth(60);
  BindEdit(GRP_CODIGO, ycogrp::GRP_CODIGO, [](const db::Table& t) { return TwoDigits(t.getString(ycogrp::GRP_CODIGO)); });
  lblDesc = new QLabel(QStringLiteral("Descrição:"), box);
  lblDesc->setObjectName(QStringLiteral("lblDesc"));
  GRP_DESCR = new QLineEdit(box);
  GRP_DESCR->setMaxLength(ycogrp::GRP_DESCR.length);
  BindEdit(GRP_DESCR, ycogrp::GRP_DESCR);
  lblDep = new QLabel(QStringLiteral("Código do Depto:"), box);
  lblDep->setObjectName(QStringLiteral("lblDep"));
  DEP_CODIGO = new QLineEdit(box);
  DEP_CODIGO->setMaximumWidth(60);
  BindEdit(DEP_CODIGO, ycogrp::DEP_CODIGO, [](const db::Table& t) { return TwoDigits(t.getString(ycogrp::DEP_CODIGO)); });
  btnDepto = new QToolButton(box);
  btnDepto->setObjectName(QStringLiteral("btnDEP_CODIGO"));
  btnDepto->setText(QStringLiteral("..."));
  btnDepto->setFocusPolicy(Qt::NoFocus);
  DEP_DESCR = new QLabel(box);
  DEP_DESCR->setObjectName(QStringLiteral("DEP_DESCR"));
  DEP_DESCR->setFrameShape(QFrame::Panel);
  DEP_DESCR->setFrameShadow(QFrame::Sunken);
  lblcod->setBuddy(GRP_CODIGO);
  lblDesc->setBuddy(GRP_DESCR);
  lblDep->setBuddy(DEP_CODIGO);
  grid->addWidget(lblcod, 0, 0);
  grid->addWidget(GRP_CODIGO, 0, 1);
  grid->addWidget(lblDesc, 1, 0);
  grid->addWidget(GRP_DESCR, 1, 1, 1, 3);
  grid->addWidget(lblDep, 2, 0);
  grid->addWidget(DEP_CODIGO, 2, 1);
  grid->addWidget(btnDepto, 2, 2);
  grid->addWidget(DEP_DESCR, 2, 3);
  grid->setColumnStretch(3, 1);
  connect(GRP_CODIGO, &QLineEdit::textChanged, this, Guard([this] { GRP_CODIGOChange(); }));
  connect(DEP_CODIGO, &QLineEdit::textChanged, this, Guard([this] { DEP_CODIGOChange(); }));
  connect(btnDepto, &QToolButton::clicked, this, Guard([this] { btnDeptoClick(); }));
  SetEnterChain({GRP_CODIGO, GRP_DESCR, DEP_CODIGO}, DEP_CODIGO);
  Start();
}

TFCadGrpDepto::~TFCadGrpDepto() = default;

bool TFCadGrpDepto::Membership() const { return DEP_CODIGO->isEnabled(); }

QWidget* TFCadGrpDepto::FirstField() const {
  if (table_->mode() == db::Mode::kInsert) return GRP_CODIGO;
  return table_->asNumber(ycogrp::DEP_CODIGO) > 0 ? static_cast<QWidget*>(DEP_CODIGO) : GRP_DESCR;
}

bool TFCadGrpDepto::EnterPressed(QWidget* control) {
  if (control == GRP_DESCR && !DEP_CODIGO->isEnabled()) {
    Gravar();
    return true;
  }
  return false;
}

void TFCadGrpDepto::ShowRecord() { DEP_CODIGOChange(); }

void TFCadGrpDepto::GRP_CODIGOChange() {
  if (typing_) return;
  const auto mode = table_->mode();
  if (mode == db::Mode::kInsert) {
    aux_->refresh();
    const auto typed = reg::TypeGroupCode(*aux_, NumberOf(GRP_CODIGO));
    const bool member = typed.kind == reg::GroupRowKind::kMembership;
    const bool group = typed.kind == reg::GroupRowKind::kNewGroup;
    typing_ = true;
    if (member) GRP_DESCR->setText(FromLatin1(typed.description));
    else if (group) {
      GRP_DESCR->clear();
      DEP_CODIGO->clear();
    }
    typing_ = false;
    lblDesc->setEnabled(group);
    GRP_DESCR->setEnabled(group);
    lblDep->setEnabled(member);
    DEP_CODIGO->setEnabled(member);
    btnDepto->setEnabled(member);
    if (!member) DEP_DESCR->clear();
  } else if (mode == db::Mode::kEdit) {
    const bool member = table_->asNumber(ycogrp::DEP_CODIGO) > 0;
    lblcod->setEnabled(false);
    GRP_CODIGO->setEnabled(false);
    lblDesc->setEnabled(!member);
    GRP_DESCR->setEnabled(!member);
    lblDep->setEnabled(member);
    DEP_CODIGO->setEnabled(member);
    btnDepto->setEnabled(member);
  }
}

void TFCadGrpDepto::DEP_CODIGOChange() {
  DEP_DESCR->setText(FromLatin1(reg::GroupDepartmentPanel(*dep_, NumberOf(DEP_CODIGO))));
}

void TFCadGrpDepto::btnDeptoClick() {
  TFCadDepto picker(this, db_.dir());
  const std::string code = RecordEditor::Pick(picker);
  dep_->refresh();
  DEP_CODIGO->setText(QString::fromStdString(code));
  DEP_CODIGOChange();
}

void TFCadGrpDepto::AfterAppend() {
  remembered_department_ = 0;
  for (QWidget* w : std::initializer_list<QWidget*>{lblDep, DEP_CODIGO, btnDepto, GRP_DESCR, lblDesc}) {
    w->setEnabled(false);
  }
  DEP_DESCR->clear();
}

void TFCadGrpDepto::AfterEditStart() {
  remembered_department_ = table_->asNumber(ycogrp::DEP_CODIGO);
  GRP_CODIGOChange();
}

void TFCadGrpDepto::AfterBrowse() {
  for (QWidget* w : std::initializer_list<QWidget*>{lblcod, GRP_CODIGO, lblDesc, GRP_DESCR, lblDep, DEP_CODIGO,
                                                    btnDepto}) {
    w->setEnabled(true);
  }
}

reg::Validation TFCadGrpDepto::ValidateRecord() {
  aux_->refresh();
  dep_->refresh();
  reg::GroupInput in{.group = NumberOf(GRP_CODIGO),
                     .description = ToLatin1(GRP_DESCR->text()),
                     .department = NumberOf(DEP_CODIGO),
                     .membership = Membership(),
                     .inserting = table_->mode() == db::Mode::kInsert,
                     .remembered_department = remembered_department_};
  return reg::ValidateGroup(in, *aux_, *dep_);
}

bool TFCadGrpDepto::PostRecord() {
  return reg::PostGroupRow(*table_, *aux_, ToLatin1(GRP_DESCR->text()), Membership());
}

bool TFCadGrpDepto::DeleteRecord() { return reg::DeleteGroupRow(*table_, *aux_); }

void TFCadGrpDepto::GridColumnEntered(int column) {
  const bool to_description = column == 1 && !table_->tag().empty() && table_->tag() != "Dois" &&
                              QString::fromStdString(table_->tag()).compare("Um", Qt::CaseInsensitive) == 0;
  table_->setTag(to_description ? "Dois" : "Um");
  SetOrderCaption(!to_description);
  ReloadGrid();
}

void TFCadGrpDepto::RefreshLookups() {
  dep_->refresh();
}

void TFCadGrpDepto::RunFind() {
  // on the order by group and department the dialog asks for the group alone
  const bool by_code = QString::fromStdString(table_->tag()).compare("Um", Qt::CaseInsensitive) == 0;
  if (!by_code) {
    RecordEditor::RunFind();
    return;
  }
  table_->setTag("Tres");
  try {
    RecordEditor::RunFind();
  } catch (...) {
    table_->setTag("Um");
    throw;
  }
  table_->setTag("Um");
}

std::string TFCadGrpDepto::PickerCode() {
  if (table_->eof() || table_->recNo() == 0) return {};
  return reg::GroupPickerCode(table_->asNumber(ycogrp::GRP_CODIGO), table_->asNumber(ycogrp::DEP_CODIGO));
}

}  // namespace kaslo::ui
