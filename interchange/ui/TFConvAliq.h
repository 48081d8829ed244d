// TFConvAliq, "Conversão de Alíquotas": the 16 slots of the tax conversion
// file Q5200.CVS, slot k holding the text that stands for tax code k in the
// product files. Opened from the product files window; Gravar checks every
// entry and writes the file, Cancelar leaves it as it was.
#pragma once

#include <QDialog>
#include <array>

#include "db/database.h"
#include "interchange/interchange.h"

class QLineEdit;
class QPushButton;

namespace kaslo::ui {

class TFConvAliq final : public QDialog {
  Q_OBJECT

 public:
  // Loads the slots of the file in `db`'s directory (all empty when there
  // is none). `db` must outlive the dialog.
  TFConvAliq(const db::Database& db, QWidget* owner = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void btnGravarClick();

 private:
  const db::Database& db_;
  std::array<QLineEdit*, interchange::kConversionSlots> slots_{};
  QPushButton* btnGravar;
  QPushButton* btnCancelar;
};

}  // namespace kaslo::ui
