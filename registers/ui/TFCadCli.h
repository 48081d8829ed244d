// TFCadCli ("Cadastro de Clientes"): the clients, at most 200, with the
// CPF/CNPJ shown in its mask and edited as digits, the check digits when
// the store asks for them, and each new client counted in PRM_ULTCLI under
// the parameter-table lock.
#pragma once

#include "registers/editor_rules.h"
#include "registers/ui/RecordEditor.h"

class QLineEdit;

namespace kaslo::ui {

class TDBComboQuelbrix;

class TFCadCli final : public RecordEditor {
  Q_OBJECT

 public:
  TFCadCli(QWidget* owner, const std::filesystem::path& data_dir);
  ~TFCadCli() override;

  // How long Gravar of a new client waits for the parameter table.
  void SetLockOptions(const kaslo::registers::LockOptions& options) { lock_ = options; }

 protected:
  kaslo::registers::Validation ValidateRecord() override;
  bool PostRecord() override;
  QWidget* FirstField() const override;
  void AfterAppend() override;
  void AfterEditStart() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<db::Table> aux_;
  kaslo::registers::LockOptions lock_;
  bool check_digits_ = false;
  double remembered_tax_ = 0;
  QLineEdit* CLI_CODIGO;
  QLineEdit* CLI_CNPJ;
  TDBComboQuelbrix* CLI_STATUS;
  QLineEdit* CLI_NOME;
  QLineEdit* CLI_ENDER;
  QLineEdit* CLI_COMPLE;
};

}  // namespace kaslo::ui
