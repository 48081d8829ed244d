// The operator window.
#include "registers/ui/TFCadOper.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include "common/numbers.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/qt_text.h"
#include "db/tables/ycoope.h"
#include "registers/staff.h"
#include "registers/ui/TDBComboQuelbrix.h"

namespace kaslo::ui {

namespace reg = kaslo::registers;

namespace {

const WindowRegistrar kRegistrar{"TFCadOper", OpenEditor<TFCadOper>};

// The labels of the permissions, in the order of kOperatorPermissions.
const char* const kPermissionLabels[] = {
    "Desc.de Ítem ?:", "Desc.de Sub Total ?:", "Canc.de Ítem ?:", "Canc.de Cupom ?:",
    "Leitura X ?:",    "Redução Z ?:",         "Sangria ?:",      "Fundo de Caixa ?:",
    "Limite ?:",       "Relatório ?:",         "Acrésc.Ítem ?:",  "Acrésc.Sub Total ?:",
};
static_assert(std::size(kPermissionLabels) == std::size(reg::kOperatorPermissions));

}  // namespace

TFCadOper::TFCadOper(QWidget* owner, const std::filesystem::path& data_dir)
    : RecordEditor(owner, data_dir,
                   {.title = QStringLiteral("Cadastro de Operadores"),
                    .table = std::string(ycoope::kTable),
                    .limit = reg::kOperatorLimit,
                    .separator_after_excluir = true,
                    .second_order = reg::kOrdenadoNome}) {
  setObjectName(QStringLiteral("TFCadOper"));
  aux_ = db_.open(ycoope::kTable, {.tag = "Um", .exclusive = false});
  SetColumns({
      {std::string(ycoope::OPE_CODIGO.name), QStringLiteral("Código"), {}, Qt::AlignRight | Qt::AlignVCenter},
      {std::string(ycoope::OPE_NOME.name), QStringLiteral("Nome")},
  });
  Grid->setColumnWidth(0, 70);

  auto* outer = new QVBoxLayout(Target());
  auto* box = new QGroupBox(QStringLiteral("  Operador  "), Target());
  outer->addWidget(box);
  auto* grid = new QGridLayout(box);

  // created in tab order
  OPE_CODIGO = new QLineEdit(box);
  OPE_CODIGO->setMaxLength(ycoope::OPE_CODIGO.length);
  OPE_CODIGO->setMaximumWidth(70);
  BindEdit(OPE_CODIGO, ycoope::OPE_CODIGO);
  AddLabel(grid, QStringLiteral("Código:"), OPE_CODIGO, 0, 0);
  grid->addWidget(OPE_CODIGO, 0, 1);

  OPE_NOME = new QLineEdit(box);
  OPE_NOME->setFixedWidth(180);
  BindEdit(OPE_NOME, ycoope::OPE_NOME);
  AddLabel(grid, QStringLiteral("Nome:"), OPE_NOME, 0, 2);
  grid->addWidget(OPE_NOME, 0, 3, Qt::AlignLeft);

  OPE_PERFIL = NewCombo(box, ycoope::OPE_PERFIL, {QStringLiteral("GERENTE"), QStringLiteral("OPERADOR")},
                          {QStringLiteral("S"), QStringLiteral("N")});
  OPE_PERFIL->setMinimumWidth(110);
  AddLabel(grid, QStringLiteral("Perfil:"), OPE_PERFIL, 1, 0);
  grid->addWidget(OPE_PERFIL, 1, 1);

  OPE_SENHA = new QLineEdit(box);
  OPE_SENHA->setMaxLength(ycoope::OPE_SENHA.length);
  OPE_SENHA->setMaximumWidth(70);
  BindEdit(OPE_SENHA, ycoope::OPE_SENHA, [](const db::Table& t) {
    return t.isBlank(ycoope::OPE_SENHA) ? QString() : QString::fromStdString(reg::PasswordText(t.asNumber(ycoope::OPE_SENHA)));
  });
  AddLabel(grid, QStringLiteral("Senha:"), OPE_SENHA, 1, 2);
  grid->addWidget(OPE_SENHA, 1, 3, Qt::AlignLeft);
  grid->setColumnStretch(3, 1);

  auto* rights = new QGroupBox(QStringLiteral("  Permissões  "), Target());
  outer->addWidget(rights);
  auto* columns = new QGridLayout(rights);
  for (size_t i = 0; i < permissions_.size(); ++i) {
    const int column = static_cast<int>(i / 4) * 2;
    const int row = static_cast<int>(i % 4);
    permissions_[i] = NewCombo(rights, reg::kOperatorPermissions[i], {QStringLiteral("NÃO"), QStringLiteral("SIM")},
                                 {QStringLiteral("N"), QStringLiteral("S")});
    AddLabel(columns, QString::fromUtf8(kPermissionLabels[i]), permissions_[i], row, column);
    columns->addWidget(permissions_[i], row, column + 1);
  }

  std::vector<QWidget*> chain = {OPE_CODIGO, OPE_NOME, OPE_PERFIL, OPE_SENHA};
  chain.insert(chain.end(), permissions_.begin(), permissions_.end());
  SetEnterChain(chain, permissions_.back());
  Start();
}

TFCadOper::~TFCadOper() = default;

QWidget* TFCadOper::FirstField() const {
  return table_->mode() == db::Mode::kInsert ? OPE_CODIGO : OPE_NOME;
}

void TFCadOper::AfterAppend() {
  reg::SetNewOperatorDefaults(*table_);
  ReadControls();
  OPE_CODIGO->setEnabled(true);
}

void TFCadOper::AfterEditStart() { OPE_CODIGO->setEnabled(false); }

std::string_view TFCadOper::InsertFailedText() const { return reg::kMsgGravarPessoaFalhou; }
std::string_view TFCadOper::EditFailedText() const { return reg::kMsgGravarPessoaFalhou; }

reg::Validation TFCadOper::ValidateRecord() {
  aux_->refresh();  // operators other stations saved meanwhile
  return reg::ValidateOperator(table_->mode() == db::Mode::kInsert, TextoParaNumero(ToLatin1(OPE_CODIGO->text())),
                               ToLatin1(OPE_NOME->text()), ToLatin1(OPE_SENHA->text()), *aux_);
}

bool TFCadOper::PostRecord() {
  // an empty code box was checked as code 0; it is stored as 0
  if (table_->mode() == db::Mode::kInsert && table_->isBlank(ycoope::OPE_CODIGO)) table_->setNumber(ycoope::OPE_CODIGO, 0);
  return table_->post();
}

}  // namespace kaslo::ui
