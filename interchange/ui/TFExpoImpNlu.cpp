// The product files window.
#include "interchange/ui/TFExpoImpNlu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cstdint>

#include "common/messages.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/engine_error.h"
#include "common/ui/placement.h"
#include "common/ui/qt_text.h"
#include "interchange/ui/TFConvAliq.h"

namespace kaslo::ui {

namespace {

// The window is no narrower than this, so that the longest caption
// ("Exportação de Produtos ( Alterados ) - Arquivo [ NLUMNT.MTR ]") has
// room in most title bars.
constexpr int kMinWidth = 460;

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// The core's gauge on Gauge1. Import maxima are file sizes in bytes, which
// may pass what a QProgressBar holds: those are scaled down.
class GaugeBar final : public interchange::Gauge {
 public:
  explicit GaugeBar(QProgressBar* bar) : bar_(bar) {}

  void start(int64_t maximum) override {
    maximum = std::max<int64_t>(maximum, 0);
    divisor_ = maximum > INT_MAX ? maximum / INT_MAX + 1 : 1;
    bar_->setRange(0, static_cast<int>(maximum / divisor_));
    bar_->setValue(0);
    bar_->show();
    Repaint();
  }
  void move(int64_t position) override {
    bar_->setValue(static_cast<int>(std::clamp<int64_t>(position / divisor_, 0, bar_->maximum())));
    Repaint();
  }
  void stop() override { bar_->hide(); }

 private:
  void Repaint() {
    bar_->repaint();
    // Paints and window-system events only: a click must not start anything
    // while the operation runs.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }

  QProgressBar* bar_;
  int64_t divisor_ = 1;
};

}  // namespace

TFExpoImpNlu::TFExpoImpNlu(QWidget* owner, std::filesystem::path data_dir, int tag)
    : QDialog(owner),
      db_(std::move(data_dir)),
      direction_(tag == 0 ? interchange::Direction::kExport : interchange::Direction::kImport),
      btnOk(Named(new QPushButton(QStringLiteral("&Exportar"), this), "btnOk")),
      btnCancela(Named(new QPushButton(QStringLiteral("&Fechar"), this), "btnCancela")),
      lblConverte(Named(new QLabel(QStringLiteral("Converter Alíquotas?:"), this), "lblConverte")),
      YCB(Named(new QComboBox(this), "YCB")),
      btnConverte(Named(new QPushButton(QStringLiteral("Conversão de &Alíquotas"), this), "btnConverte")),
      RB1(Named(new QRadioButton(QStringLiteral("Todos os Produtos")), "RB1")),
      RB2(Named(new QRadioButton(QStringLiteral("Somente Produtos Alterados")), "RB2")),
      rdgNLUFILE(Named(new QRadioButton(QStringLiteral("NLUFILE")), "rdgNLUFILE")),
      rdgOPtCash(Named(new QRadioButton(QStringLiteral("OPTICASH")), "rdgOPtCash")),
      Gauge1(Named(new QProgressBar(this), "Gauge1")) {
  setObjectName(QStringLiteral("FExpoImpNlu"));
  setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);

  YCB->addItem(QStringLiteral("Não"), QStringLiteral("0"));
  YCB->addItem(QStringLiteral("Sim"), QStringLiteral("1"));
  lblConverte->setBuddy(YCB);
  // Some styles leave a button's text touching its frame.
  for (QPushButton* button : {btnOk, btnCancela, btnConverte})
    button->setMinimumWidth(button->sizeHint().width() + 12);
  btnOk->setDefault(true);
  btnConverte->setAutoDefault(false);
  btnCancela->setAutoDefault(false);
  Gauge1->setTextVisible(false);
  Gauge1->setFixedHeight(12);
  // Hidden without the window changing its size.
  QSizePolicy gauge_policy = Gauge1->sizePolicy();
  gauge_policy.setRetainSizeWhenHidden(true);
  Gauge1->setSizePolicy(gauge_policy);
  LayOut();

  connect(RB1, &QRadioButton::toggled, this, [this](bool on) { if (on) RB1Click(); });
  connect(RB2, &QRadioButton::toggled, this, [this](bool on) { if (on) RB2Click(); });
  connect(rdgNLUFILE, &QRadioButton::toggled, this, [this](bool on) { if (on) rdgNLUFILEClick(); });
  connect(rdgOPtCash, &QRadioButton::toggled, this, [this](bool on) { if (on) rdgOPtCashClick(); });
  connect(YCB, &QComboBox::currentIndexChanged, this, &TFExpoImpNlu::YCBChange);
  connect(btnOk, &QPushButton::clicked, this, &TFExpoImpNlu::btnOkClick);
  connect(btnCancela, &QPushButton::clicked, this, &TFExpoImpNlu::reject);
  connect(btnConverte, &QPushButton::clicked, this, &TFExpoImpNlu::btnConverteClick);

  FormCreate();
  setFixedSize(sizeHint().expandedTo(QSize(kMinWidth, 0)));
}

void TFExpoImpNlu::LayOut() {
  auto* scope = Named(new QGroupBox(QStringLiteral("  Selecione o opção desejada  "), this), "gbOpcao");
  auto* scope_layout = new QVBoxLayout(scope);
  scope_layout->addWidget(RB1);
  scope_layout->addWidget(RB2);
  auto* source = Named(new QGroupBox(QStringLiteral("Tipo de Arquivo"), this), "gbTipoArquivo");
  auto* source_layout = new QVBoxLayout(source);
  source_layout->addWidget(rdgNLUFILE);
  source_layout->addWidget(rdgOPtCash);
  auto* groups = new QHBoxLayout;
  groups->addWidget(scope, 3);
  groups->addWidget(source, 2);

  auto* conversion = new QHBoxLayout;
  conversion->addWidget(lblConverte);
  conversion->addWidget(YCB);
  conversion->addStretch(1);
  conversion->addWidget(btnConverte);

  // The gauge runs beside the buttons, in the room it keeps while hidden.
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Gauge1, 1);
  buttons->addSpacing(12);
  buttons->addWidget(btnOk);
  buttons->addWidget(btnCancela);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(conversion);
  layout->addSpacing(6);
  layout->addLayout(buttons);

  setTabOrder(RB1, RB2);
  setTabOrder(RB2, rdgNLUFILE);
  setTabOrder(rdgNLUFILE, rdgOPtCash);
  setTabOrder(rdgOPtCash, YCB);
  setTabOrder(YCB, btnConverte);
  setTabOrder(btnConverte, btnOk);
  setTabOrder(btnOk, btnCancela);
}

void TFExpoImpNlu::FormCreate() {
  const bool import = direction_ == interchange::Direction::kImport;
  rdgNLUFILE->setEnabled(import);
  rdgOPtCash->setEnabled(import);
  rdgNLUFILE->setChecked(true);
  YCB->setCurrentIndex(0);
  YCBChange();
  Gauge1->hide();
  RB1->setChecked(true);
  RB1Click();
}

interchange::Operation TFExpoImpNlu::ChosenOperation() const {
  interchange::Operation op;
  op.direction = direction_;
  op.scope = RB2->isChecked() ? interchange::Scope::kChanged : interchange::Scope::kAll;
  op.source = rdgOPtCash->isChecked() ? interchange::Source::kOpticash : interchange::Source::kNlufile;
  op.convert = YCB->currentData().toString() == QLatin1String("1");
  return op;
}

void TFExpoImpNlu::ShowScope(interchange::Scope scope) {
  setWindowTitle(FromUtf8(interchange::WindowCaption(direction_, scope)));
  if (direction_ == interchange::Direction::kImport) btnOk->setText(QStringLiteral("Importar"));
}

void TFExpoImpNlu::RB1Click() { ShowScope(interchange::Scope::kAll); }

void TFExpoImpNlu::RB2Click() { ShowScope(interchange::Scope::kChanged); }

void TFExpoImpNlu::rdgNLUFILEClick() {
  RB1->setEnabled(!running_);
  RB2->setEnabled(!running_);
}

// OPTICASH.TXT is always a whole list.
void TFExpoImpNlu::rdgOPtCashClick() {
  RB1->setChecked(true);
  RB1->setEnabled(false);
  RB2->setEnabled(false);
}

void TFExpoImpNlu::YCBChange() { btnConverte->setEnabled(!running_ && YCB->currentIndex() == 1); }

void TFExpoImpNlu::SetRunning(bool running) {
  running_ = running;
  btnOk->setEnabled(!running);
  btnCancela->setEnabled(!running);
  YCB->setEnabled(!running);
  YCBChange();
  const bool scope_free = !running && !rdgOPtCash->isChecked();
  RB1->setEnabled(scope_free);
  RB2->setEnabled(scope_free);
  if (running) {
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->show();
  } else {
    Gauge1->hide();
  }
}

void TFExpoImpNlu::btnOkClick() {
  if (running_ || !ConfirmDestructive(interchange::Question(direction_))) return;
  const interchange::Operation op = ChosenOperation();
  SetRunning(true);
  // The controls come back whatever ends the operation.
  struct Restore {
    TFExpoImpNlu* window;
    ~Restore() { window->SetRunning(false); }
  } restore{this};
  GaugeBar gauge(Gauge1);
  interchange::Outcome outcome;
  const bool ran = RunShowingEngineError([&] { outcome = interchange::Run(db_, op, gauge); },
                                         [&] { Gauge1->hide(); });
  if (!ran) return;
  Gauge1->hide();
  if (!outcome.message.empty()) Messages().information(outcome.message);
}

void TFExpoImpNlu::btnConverteClick() {
  RunShowingEngineError([&] {
    TFConvAliq editor(db_, this);
    editor.exec();
  });
}

void TFExpoImpNlu::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (centred_) return;
  centred_ = true;
  CentreOnScreen(*this);
}

void TFExpoImpNlu::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TFExpoImpNlu::reject() {
  if (running_) return;
  QDialog::reject();
}

// Menu items 033 (tag 0, export) and 034 (tag 1, import).
static const WindowRegistrar kRegistrar{"TFExpoImpNlu", [](const OpenContext& context) {
                                          TFExpoImpNlu window(context.owner, context.data_dir, context.tag);
                                          window.exec();
                                        }};

}  // namespace kaslo::ui
