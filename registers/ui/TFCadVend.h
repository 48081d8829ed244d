// TFCadVend ("Cadastro de Vendedores"): the sellers, at most 200, a code
// above 0 and a name each.
#pragma once

#include "registers/ui/RecordEditor.h"

class QLineEdit;

namespace kaslo::ui {

class TFCadVend final : public RecordEditor {
  Q_OBJECT

 public:
  TFCadVend(QWidget* owner, const std::filesystem::path& data_dir);
  ~TFCadVend() override;

 protected:
  kaslo::registers::Validation ValidateRecord() override;
  QWidget* FirstField() const override;
  void AfterAppend() override;
  void AfterEditStart() override;
  std::string_view InsertFailedText() const override;
  std::string_view EditFailedText() const override;

 private:
  std::unique_ptr<db::Table> aux_;
  QLineEdit* VEN_CODIGO;
  QLineEdit* VEN_NOME;
};

}  // namespace kaslo::ui
