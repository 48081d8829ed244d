// TFExpoImpNlu: the export (menu tag 0) or import (tag 1) of the product
// files NLUFILE.MTR, NLUMNT.MTR and OPTICASH.TXT. The window only reads its
// controls into an interchange::Operation, asks, runs it with its gauge and
// shows the outcome; the files and tables are the core's.
#pragma once

#include <QDialog>
#include <filesystem>

#include "db/database.h"
#include "interchange/interchange.h"

class QCloseEvent;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QShowEvent;

namespace kaslo::ui {

class TFExpoImpNlu final : public QDialog {
  Q_OBJECT

 public:
  // `tag` 0 exports, anything else imports.
  TFExpoImpNlu(QWidget* owner, std::filesystem::path data_dir, int tag);

  // The operation that btnOk would run with the controls as they stand.
  interchange::Operation ChosenOperation() const;
  // True while an operation runs; the window cannot be closed meanwhile.
  bool Running() const { return running_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 public slots:
  void reject() override;

 private slots:
  void FormCreate();
  void RB1Click();
  void RB2Click();
  void rdgNLUFILEClick();
  void rdgOPtCashClick();
  void YCBChange();
  void btnOkClick();
  void btnConverteClick();

 private:
  void LayOut();
  void ShowScope(interchange::Scope scope);
  // Disables the controls while an operation runs and gives them back after.
  void SetRunning(bool running);

  db::Database db_;
  const interchange::Direction direction_;
  bool running_ = false;
  bool centred_ = false;

  QPushButton* btnOk;
  QPushButton* btnCancela;
  QLabel* lblConverte;
  QComboBox* YCB;
  QPushButton* btnConverte;
  QRadioButton* RB1;
  QRadioButton* RB2;
  QRadioButton* rdgNLUFILE;
  QRadioButton* rdgOPtCash;
  QProgressBar* Gauge1;
};

}  // namespace kaslo::ui
