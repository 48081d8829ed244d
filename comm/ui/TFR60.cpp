// The SINTEGRA period dialog.
#include "comm/ui/TFR60.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "comm/sintegra_reading.h"
#include "common/messages.h"
#include "common/progress.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/engine_error.h"
#include "db/error.h"

namespace kaslo::ui {

TFR60::TFR60(std::filesystem::path data_dir, QWidget* owner)
    : QDialog(owner),
      data_dir_(std::move(data_dir)),
      lblTexto(new QLabel(QStringLiteral("Selecione o período de apuração e tecle em <OK>."), this)),
      rbAtual(new QRadioButton(QStringLiteral("Mês atual"), this)),
      rbAnterior(new QRadioButton(QStringLiteral("Mês anterior"), this)),
      btnOk(new QPushButton(QStringLiteral("&Ok"), this)),
      btnFechar(new QPushButton(QStringLiteral("&Fechar"), this)) {
  setObjectName(QStringLiteral("FR60"));
  setWindowTitle(QStringLiteral("Emissão de Relatório SINTEGRA"));
  setModal(true);
  lblTexto->setObjectName(QStringLiteral("lblTexto"));
  lblTexto->setTextFormat(Qt::PlainText);
  rbAtual->setObjectName(QStringLiteral("rbAtual"));
  rbAnterior->setObjectName(QStringLiteral("rbAnterior"));
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnFechar->setObjectName(QStringLiteral("btnFechar"));
  rbAtual->setChecked(true);
  btnOk->setDefault(true);

  auto* period = new QGroupBox(this);
  period->setObjectName(QStringLiteral("gbPeriodo"));
  auto* radios = new QVBoxLayout(period);
  radios->addWidget(rbAtual);
  radios->addWidget(rbAnterior);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOk);
  buttons->addWidget(btnFechar);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblTexto);
  layout->addWidget(period);
  layout->addLayout(buttons);
  setFixedSize(sizeHint().expandedTo(QSize(340, 0)));

  connect(btnOk, &QPushButton::clicked, this, &TFR60::btnOkClick);
  connect(btnFechar, &QPushButton::clicked, this, &QDialog::reject);
}

int TFR60::JobKind() const {
  return rbAnterior->isChecked() ? comm::kJobSintegraPreviousMonth : comm::kJobSintegraCurrentMonth;
}

void TFR60::btnOkClick() {
  hide();
  // The wait window goes once the communication window is there; a failure
  // to open it must not leave the wait window behind.
  ScopedProgress wait("Aguarde, verificando estações...");
  const WindowOpener* opener = FindWindowOpener("TFCargaTcp");
  OpenContext context;
  context.owner = parentWidget();
  context.data_dir = data_dir_;
  context.tag = JobKind();
  RunShowingEngineError([&] {
    if (opener) (*opener)(context);
  });
  accept();
}

// The menu item's tag (998) is not the window's: the dialog chooses.
static const WindowRegistrar kRegistrar{"TFR60", [](const OpenContext& context) {
                                                      TFR60 dialog(context.data_dir, context.owner);
                                                      dialog.exec();
                                                    }};

}  // namespace kaslo::ui
