// The tax conversion editor.
#include "interchange/ui/TFConvAliq.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/messages.h"
#include "common/ui/engine_error.h"
#include "common/ui/qt_text.h"

namespace kaslo::ui {

namespace {

// Two columns of eight slots keep the dialog short.
constexpr int kRowsPerColumn = 8;

QString SlotNumber(int slot) { return QStringLiteral("%1").arg(slot + 1, 2, 10, QLatin1Char('0')); }

}  // namespace

TFConvAliq::TFConvAliq(const db::Database& db, QWidget* owner)
    : QDialog(owner),
      db_(db),
      btnGravar(new QPushButton(QStringLiteral("&Gravar"), this)),
      btnCancelar(new QPushButton(QStringLiteral("&Cancelar"), this)) {
  setObjectName(QStringLiteral("FConvAliq"));
  setWindowTitle(QStringLiteral("Conversão de Alíquotas"));
  setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
  btnGravar->setObjectName(QStringLiteral("btnGravar"));
  btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
  // Enter belongs to the boxes (next box, Gravar in the last one).
  for (QPushButton* button : {btnGravar, btnCancelar}) {
    button->setAutoDefault(false);
    button->setMinimumWidth(button->sizeHint().width() + 12);
  }

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  const int width = fontMetrics().horizontalAdvance(QStringLiteral("00")) + 16;
  for (int i = 0; i < interchange::kConversionSlots; ++i) {
    auto* label = new QLabel(QStringLiteral("Alíquota %1:").arg(SlotNumber(i)), this);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("edtSlot") + SlotNumber(i));
    edit->setMaxLength(2);
    edit->setFixedWidth(width);
    edit->installEventFilter(this);
    label->setBuddy(edit);
    const int row = i % kRowsPerColumn;
    const int column = (i / kRowsPerColumn) * 3;
    grid->addWidget(label, row, column, Qt::AlignRight);
    grid->addWidget(edit, row, column + 1);
    slots_[i] = edit;
  }
  grid->setColumnMinimumWidth(2, 16);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(btnGravar);
  buttons->addWidget(btnCancelar);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(6);
  layout->addLayout(buttons);

  for (int i = 1; i < interchange::kConversionSlots; ++i) setTabOrder(slots_[i - 1], slots_[i]);
  setTabOrder(slots_.back(), btnGravar);
  setTabOrder(btnGravar, btnCancelar);

  if (const auto read = interchange::ReadConversion(db_)) {
    for (int i = 0; i < interchange::kConversionSlots; ++i) slots_[i]->setText(FromLatin1((*read)[i]));
  }

  connect(btnGravar, &QPushButton::clicked, this, &TFConvAliq::btnGravarClick);
  connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
  setFixedSize(sizeHint());
}

void TFConvAliq::btnGravarClick() {
  interchange::ConversionSlots entries;
  for (int i = 0; i < interchange::kConversionSlots; ++i) {
    entries[i] = ToLatin1(slots_[i]->text().trimmed());
    if (!interchange::IsConversionEntry(entries[i])) {
      Messages().information("Alíquota inválida !");
      slots_[i]->setFocus();
      slots_[i]->selectAll();
      return;
    }
  }
  bool written = false;
  if (!RunShowingEngineError([&] { written = interchange::WriteConversion(db_, entries); })) return;
  if (!written) {
    Messages().information("Erro ao tentar gravar Q5200.CVS !");
    return;
  }
  accept();
}

bool TFConvAliq::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const auto at = std::find(slots_.begin(), slots_.end(), watched);
    if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && at != slots_.end()) {
      if (at + 1 == slots_.end()) {
        btnGravarClick();
      } else {
        (*(at + 1))->setFocus();
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kaslo::ui
