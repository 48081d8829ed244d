// The department window.
#include "registers/ui/TFCadDepto.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/qt_text.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycotrb.h"
#include "registers/departments.h"
#include "registers/ui/TFCadTrib.h"

namespace kaslo::ui {

namespace reg = kaslo::registers;

namespace {

const WindowRegistrar kRegistrar{"TFCadDepto", OpenEditor<TFCadDepto>};

QString TwoDigits(const std::string& text) {
  return text.empty() ? QString() : FromLatin1(text).rightJustified(2, QLatin1Char('0'));
}

}  // namespace

TFCadDepto::TFCadDepto(QWidget* owner, const std::filesystem::path& data_dir)
    : RecordEditor(owner, data_dir,
                   {.title = QStringLiteral("Cadastro de Departamentos"),
                    .table = std::string(ycodep::kTable),
                    .limit = reg::kDepartmentLimit,
                    .separator_after_excluir = true}) {
  setObjectName(QStringLiteral("TFCadDepto"));
  trb_ = db_.open(ycotrb::kTable, {.tag = "Um", .exclusive = false});
  SetColumns({
      {std::string(ycodep::DEP_CODIGO.name), QStringLiteral("Código"),
       [](const db::Table& t, uint32_t rec) { return TwoDigits(t.getStringAt(rec, ycodep::DEP_CODIGO)); }},
      {std::string(ycodep::DEP_DESCR.name), QStringLiteral("Descrição")},
  });
  Grid->setColumnWidth(0, 70);

  auto* box = new QGroupBox(QStringLiteral("  Departamento  "), Target());
  auto* outer = new QVBoxLayout(Target());
  outer->addWidget(box);
  auto* form = new QFormLayout(box);
  DEP_CODIGO = new QLineEdit(box);
  BindEdit(DEP_CODIGO, ycodep::DEP_CODIGO, [](const db::Table& t) { return TwoDigits(t.getString(ycodep::DEP_CODIGO)); });
  DEP_CODIGO->setMaximumWidth(60);
  form->addRow(QStringLiteral("Código:"), DEP_CODIGO);
  DEP_DESCR = new QLineEdit(box);
  DEP_DESCR->setMaxLength(ycodep::DEP_DESCR.length);
  BindEdit(DEP_DESCR, ycodep::DEP_DESCR);
  form->addRow(QStringLiteral("Descrição:"), DEP_DESCR);
  auto* line = new QWidget(box);
  auto* row = new QHBoxLayout(line);
  row->setContentsMargins(0, 0, 0, 0);
  TRB_CODIGO = new QLineEdit(line);
  TRB_CODIGO->setMaximumWidth(60);
  BindEdit(TRB_CODIGO, ycodep::TRB_CODIGO);
  btnTribut = new QToolButton(line);
  btnTribut->setObjectName(QStringLiteral("btnTRB_CODIGO"));
  btnTribut->setText(QStringLiteral("..."));
  TRB_DESCR = new QLabel(line);
  TRB_DESCR->setObjectName(QStringLiteral("TRB_DESCR"));
  TRB_DESCR->setFrameShape(QFrame::Panel);
  TRB_DESCR->setFrameShadow(QFrame::Sunken);
  row->addWidget(TRB_CODIGO);
  row->addWidget(btnTribut);
  row->addWidget(TRB_DESCR, 1);
  form->addRow(QStringLiteral("Cód. da Tributação:"), line);
  connect(TRB_CODIGO, &QLineEdit::textChanged, this, Guard([this] { TRB_CODIGOChange(); }));
  connect(btnTribut, &QToolButton::clicked, this, Guard([this] { btnTributClick(); }));
  SetEnterChain({DEP_CODIGO, DEP_DESCR, TRB_CODIGO}, TRB_CODIGO);
  Start();
}

TFCadDepto::~TFCadDepto() = default;

QWidget* TFCadDepto::FirstField() const { return DEP_DESCR; }

void TFCadDepto::AfterAppend() { DEP_CODIGO->setEnabled(false); }
void TFCadDepto::AfterEditStart() { DEP_CODIGO->setEnabled(false); }

void TFCadDepto::ShowRecord() { TRB_CODIGOChange(); }

void TFCadDepto::TRB_CODIGOChange() {
  TRB_DESCR->setText(FromLatin1(reg::TaxPanel(*trb_, TextoParaNumero(ToLatin1(TRB_CODIGO->text())))));
}

void TFCadDepto::btnTributClick() {
  TFCadTrib picker(this, db_.dir());
  const std::string code = RecordEditor::Pick(picker);
  trb_->refresh();
  TRB_CODIGO->setText(QString::fromStdString(code));
  TRB_CODIGOChange();
}

reg::Validation TFCadDepto::ValidateRecord() {
  return reg::ValidateDepartment(ToLatin1(DEP_DESCR->text()), TextoParaNumero(ToLatin1(TRB_CODIGO->text())), *trb_);
}

bool TFCadDepto::PostRecord() {
  if (table_->mode() == db::Mode::kEdit) return table_->post();
  switch (reg::InsertDepartment(db_, *table_, lock_)) {
    case reg::Allocation::kDone: return true;
    case reg::Allocation::kGaveUp:
    case reg::Allocation::kFailed: break;
  }
  return false;
}

}  // namespace kaslo::ui
