// The client window.
#include "registers/ui/TFCadCli.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include "common/numbers.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/qt_text.h"
#include "db/tables/ycocli.h"
#include "registers/clients.h"
#include "registers/ui/TDBComboQuelbrix.h"

namespace kaslo::ui {

namespace reg = kaslo::registers;

namespace {

const WindowRegistrar kRegistrar{"TFCadCli", OpenEditor<TFCadCli>};

QString MaskedTaxNumber(double number) { return QString::fromStdString(reg::TaxNumberText(number)); }

}  // namespace

TFCadCli::TFCadCli(QWidget* owner, const std::filesystem::path& data_dir)
    : RecordEditor(owner, data_dir,
                   {.title = QStringLiteral("Cadastro de Clientes"),
                    .table = std::string(ycocli::kTable),
                    .limit = reg::kClientLimit,
                    .separator_after_excluir = true}) {
  setObjectName(QStringLiteral("TFCadCli"));
  check_digits_ = reg::TaxNumberCheckOn(db_);
  aux_ = db_.open(ycocli::kTable, {.tag = "Um", .exclusive = false});
  SetColumns({
      {std::string(ycocli::CLI_CODIGO.name), QStringLiteral("Código"), {}, Qt::AlignRight | Qt::AlignVCenter},
      {std::string(ycocli::CLI_NOME.name), QStringLiteral("Nome/Razão Social")},
  });
  Grid->setColumnWidth(0, 70);

  auto* box = new QGroupBox(QStringLiteral("  Cliente  "), Target());
  auto* outer = new QVBoxLayout(Target());
  outer->addWidget(box);
  auto* grid = new QGridLayout(box);
  auto label = [&](const QString& text, QWidget* buddy, int r, int c) { AddLabel(grid, text, buddy, r, c); };

  // created in tab order
  CLI_CODIGO = new QLineEdit(box);
  CLI_CODIGO->setMaxLength(ycocli::CLI_CODIGO.length);
  CLI_CODIGO->setMaximumWidth(70);
  BindEdit(CLI_CODIGO, ycocli::CLI_CODIGO);
  label(QStringLiteral("Código:"), CLI_CODIGO, 0, 0);
  grid->addWidget(CLI_CODIGO, 0, 1);

  CLI_CNPJ = new QLineEdit(box);
  CLI_CNPJ->setFixedWidth(160);
  BindEdit(CLI_CNPJ, ycocli::CLI_CNPJ,
           [](const db::Table& t) { return MaskedTaxNumber(t.asNumber(ycocli::CLI_CNPJ)); });
  label(QStringLiteral("CPF / CNPJ:"), CLI_CNPJ, 0, 2);
  grid->addWidget(CLI_CNPJ, 0, 3);

  CLI_STATUS = NewCombo(box, ycocli::CLI_STATUS,
                        {QStringLiteral("VERDE"), QStringLiteral("AMARELO"), QStringLiteral("VERMELHO")},
                        {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")});
  label(QStringLiteral("Status:"), CLI_STATUS, 0, 4);
  grid->addWidget(CLI_STATUS, 0, 5);
  grid->setColumnStretch(6, 1);

  CLI_NOME = new QLineEdit(box);
  BindEdit(CLI_NOME, ycocli::CLI_NOME);
  label(QStringLiteral("Nome / Razão Social:"), CLI_NOME, 1, 0);
  grid->addWidget(CLI_NOME, 1, 1, 1, 6);

  CLI_ENDER = new QLineEdit(box);
  BindEdit(CLI_ENDER, ycocli::CLI_ENDER);
  label(QStringLiteral("Endereço:"), CLI_ENDER, 2, 0);
  grid->addWidget(CLI_ENDER, 2, 1, 1, 6);

  CLI_COMPLE = new QLineEdit(box);
  BindEdit(CLI_COMPLE, ycocli::CLI_COMPLE);
  label(QStringLiteral("Complemento:"), CLI_COMPLE, 3, 0);
  grid->addWidget(CLI_COMPLE, 3, 1, 1, 6);

  SetEnterChain({CLI_CODIGO, CLI_CNPJ, CLI_STATUS, CLI_NOME, CLI_ENDER, CLI_COMPLE}, CLI_COMPLE);
  Start();
}

TFCadCli::~TFCadCli() = default;

QWidget* TFCadCli::FirstField() const {
  return table_->mode() == db::Mode::kInsert ? static_cast<QWidget*>(CLI_CODIGO) : CLI_NOME;
}

void TFCadCli::AfterAppend() {
  table_->setString(ycocli::CLI_STATUS, "0");
  ReadControls();
  CLI_CODIGO->setEnabled(true);
}

void TFCadCli::AfterEditStart() {
  remembered_tax_ = table_->asNumber(ycocli::CLI_CNPJ);
  CLI_CODIGO->setEnabled(false);
}

bool TFCadCli::eventFilter(QObject* watched, QEvent* event) {
  // the user edits the digits alone; the mask comes back on leaving
  if (watched == CLI_CNPJ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    const bool entering = event->type() == QEvent::FocusIn;
    RunShowingEngineError([&] {
      ShowNumber(CLI_CNPJ, [entering](double number) {
        return entering ? QString::fromStdString(reg::TaxNumberDigits(number)) : MaskedTaxNumber(number);
      });
    });
  }
  return RecordEditor::eventFilter(watched, event);
}

reg::Validation TFCadCli::ValidateRecord() {
  aux_->refresh();  // clients other stations saved meanwhile
  const reg::ClientInput client{TextoParaNumero(ToLatin1(CLI_CODIGO->text())), ToLatin1(CLI_CNPJ->text()),
                                ToLatin1(CLI_NOME->text()), ToLatin1(CLI_ENDER->text())};
  return reg::ValidateClient(client,
                             {.inserting = table_->mode() == db::Mode::kInsert,
                              .check_digits = check_digits_,
                              .remembered_tax = remembered_tax_},
                             *aux_);
}

bool TFCadCli::PostRecord() {
  if (table_->mode() == db::Mode::kEdit) return table_->post();
  return reg::InsertClient(db_, *table_, lock_) == reg::Allocation::kDone;
}

}  // namespace kaslo::ui
