// TFCadDepto ("Cadastro de Departamentos"): the departments, at most 99,
// whose codes are allocated under the parameter-table lock; the department
// picker of the group window.
#pragma once

#include "registers/ui/RecordEditor.h"

class QLabel;
class QLineEdit;
class QToolButton;

namespace kaslo::ui {

class TFCadDepto final : public RecordEditor {
  Q_OBJECT

 public:
  TFCadDepto(QWidget* owner, const std::filesystem::path& data_dir);
  ~TFCadDepto() override;

  // How long Gravar of a new department waits for the parameter table.
  void SetLockOptions(const kaslo::registers::LockOptions& options) { lock_ = options; }

 protected:
  kaslo::registers::Validation ValidateRecord() override;
  bool PostRecord() override;
  QWidget* FirstField() const override;
  void ShowRecord() override;
  void AfterAppend() override;
  void AfterEditStart() override;

 private:
  void TRB_CODIGOChange();
  void btnTributClick();

  std::unique_ptr<db::Table> trb_;
  kaslo::registers::LockOptions lock_;
  QLineEdit* DEP_CODIGO;
  QLineEdit* DEP_DESCR;
  QLineEdit* TRB_CODIGO;
  QToolButton* btnTribut;
  QLabel* TRB_DESCR;
};

}  // namespace kaslo::ui
