// TFSobre (form FSobre), the About window: the logo, the program's name and
// its version. A click anywhere on it or any key closes it.
#pragma once

#include <QDialog>

class QLabel;

namespace kaslo::ui {

class TFSobre final : public QDialog {
  Q_OBJECT

 public:
  explicit TFSobre(QWidget* owner = nullptr);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private slots:
  void FormCreate();

 private:
  QLabel* Image1;
  QLabel* lbl_nome;
  QLabel* lbl_versao;
};

}  // namespace kaslo::ui
