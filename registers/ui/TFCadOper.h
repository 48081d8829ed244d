// TFCadOper ("Cadastro de Operadores"): the operators of the terminals, at
// most 25, each with a profile, a numeric password shown with four digits
// and twelve permissions that the terminals apply.
#pragma once

#include <array>

#include "registers/ui/RecordEditor.h"

class QLineEdit;

namespace kaslo::ui {

class TDBComboQuelbrix;

class TFCadOper final : public RecordEditor {
  Q_OBJECT

 public:
  TFCadOper(QWidget* owner, const std::filesystem::path& data_dir);
  ~TFCadOper() override;

 protected:
  kaslo::registers::Validation ValidateRecord() override;
  bool PostRecord() override;
  QWidget* FirstField() const override;
  void AfterAppend() override;
  void AfterEditStart() override;
  std::string_view InsertFailedText() const override;
  std::string_view EditFailedText() const override;

 private:
  std::unique_ptr<db::Table> aux_;
  QLineEdit* OPE_CODIGO;
  QLineEdit* OPE_NOME;
  TDBComboQuelbrix* OPE_PERFIL;
  QLineEdit* OPE_SENHA;
  std::array<TDBComboQuelbrix*, 12> permissions_{};
};

}  // namespace kaslo::ui
