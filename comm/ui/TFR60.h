// TFR60, "Emissão de Relatório SINTEGRA": the user chooses the period of the
// SINTEGRA reading (this month or the previous one) and the communication
// window runs it as job 998 or 997; the dialog closes with that window.
#pragma once

#include <QDialog>
#include <filesystem>

class QLabel;
class QPushButton;
class QRadioButton;

namespace kaslo::ui {

class TFR60 final : public QDialog {
  Q_OBJECT

 public:
  explicit TFR60(std::filesystem::path data_dir, QWidget* owner = nullptr);

  // 998 for "Mês atual", 997 for "Mês anterior".
  int JobKind() const;

 private slots:
  void btnOkClick();

 private:
  std::filesystem::path data_dir_;
  QLabel* lblTexto;
  QRadioButton* rbAtual;
  QRadioButton* rbAnterior;
  QPushButton* btnOk;
  QPushButton* btnFechar;
};

}  // namespace kaslo::ui
