// The seller window.
#include "registers/ui/TFCadVend.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QTableView>

#include "common/ui/WindowRegistry.h"
#include "common/ui/qt_text.h"
#include "db/tables/ycoven.h"
#include "registers/staff.h"

namespace kaslo::ui {

namespace reg = kaslo::registers;

namespace {

const WindowRegistrar kRegistrar{"TFCadVend", OpenEditor<TFCadVend>};

}  // namespace

TFCadVend::TFCadVend(QWidget* owner, const std::filesystem::path& data_dir)
    : RecordEditor(owner, data_dir,
                   {.title = QStringLiteral("Cadastro de Vendedores"),
                    .table = std::string(ycoven::kTable),
                    .limit = reg::kSellerLimit,
                    .separator_after_excluir = true,
                    .second_order = reg::kOrdenadoNome}) {
  setObjectName(QStringLiteral("TFCadVend"));
  aux_ = db_.open(ycoven::kTable, {.tag = "Um", .exclusive = false});
  SetColumns({
      {std::string(ycoven::VEN_CODIGO.name), QStringLiteral("Código"), {}, Qt::AlignRight | Qt::AlignVCenter},
      {std::string(ycoven::VEN_NOME.name), QStringLiteral("Nome")},
  });
  Grid->setColumnWidth(0, 70);

  auto* box = new QGroupBox(QStringLiteral("  Vendedor  "), Target());
  auto* outer = new QVBoxLayout(Target());
  outer->addWidget(box);
  auto* form = new QFormLayout(box);
  VEN_CODIGO = new QLineEdit(box);
  VEN_CODIGO->setMaxLength(ycoven::VEN_CODIGO.length);
  VEN_CODIGO->setMaximumWidth(70);
  BindEdit(VEN_CODIGO, ycoven::VEN_CODIGO);
  form->addRow(QStringLiteral("Código:"), VEN_CODIGO);
  VEN_NOME = new QLineEdit(box);
  VEN_NOME->setMaximumWidth(260);
  BindEdit(VEN_NOME, ycoven::VEN_NOME);
  form->addRow(QStringLiteral("Nome:"), VEN_NOME);
  SetEnterChain({VEN_CODIGO, VEN_NOME}, VEN_NOME);
  Start();
}

TFCadVend::~TFCadVend() = default;

QWidget* TFCadVend::FirstField() const {
  return table_->mode() == db::Mode::kInsert ? VEN_CODIGO : VEN_NOME;
}

void TFCadVend::AfterAppend() { VEN_CODIGO->setEnabled(true); }
void TFCadVend::AfterEditStart() { VEN_CODIGO->setEnabled(false); }

std::string_view TFCadVend::InsertFailedText() const { return reg::kMsgGravarPessoaFalhou; }
std::string_view TFCadVend::EditFailedText() const { return reg::kMsgGravarPessoaFalhou; }

reg::Validation TFCadVend::ValidateRecord() {
  aux_->refresh();  // sellers other stations saved meanwhile
  return reg::ValidateSeller(table_->mode() == db::Mode::kInsert, ToLatin1(VEN_CODIGO->text()),
                             ToLatin1(VEN_NOME->text()), *aux_);
}

}  // namespace kaslo::ui
