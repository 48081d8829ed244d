// TFCadProd_DB ("Cadastro de Produtos"): the products, with the store's
// code rule, the department's group, the display formats by decimals and
// unit, and a row of the change queue ycoy60 for every insertion, change and
// deletion.
#pragma once

#include <optional>

#include "registers/products.h"
#include "registers/ui/RecordEditor.h"

class QLabel;
class QLineEdit;
class QToolButton;

namespace kaslo::ui {

class TFCadProd_DB final : public RecordEditor {
  Q_OBJECT

 public:
  TFCadProd_DB(QWidget* owner, const std::filesystem::path& data_dir);
  ~TFCadProd_DB() override;

 protected:
  kaslo::registers::Validation ValidateRecord() override;
  bool BeforePost() override;
  bool BeforeDelete() override;
  QWidget* FirstField() const override;
  bool EnterPressed(QWidget* control) override;
  void ShowRecord() override;
  void BeforeEditing() override;
  void AfterAppend() override;
  void AfterEditStart() override;
  void AfterBrowse() override;
  void GridColumnEntered(int column) override;
  void RefreshLookups() override;
  CodeKeyRule FindCodeRule() const override;
  void SetOrderCaption(bool by_code) override;
  void ShowTotal() override {}
  std::string_view EditFailedText() const override { return kaslo::registers::kMsgIncluirFalhou; }
  std::string AppendFailedText() const override { return "Não é possível incluir um novo registro."; }

 private:
  void PRO_TRIBUTChange();
  void PRO_DEPTOChange();
  void ApplyFormats();
  void btnTributClick();
  void btnDeptoClick();

  std::unique_ptr<db::Table> aux_, trb_, grp_, dep_;
  bool check_digit_ = false;
  bool by_description_ = false;
  std::optional<kaslo::registers::RememberedProduct> remembered_;
  QLineEdit* PRO_PLU;
  QLineEdit* PRO_DESCR;
  QLineEdit* PRO_RESUM;
  QLineEdit* PRO_TRIBUT;
  QLineEdit* PRO_DEPTO;
  QLineEdit* PRO_GRUPO;
  QLineEdit* PRO_PCOVEN;
  QLineEdit* PRO_ESTQ;
  QLabel* TRB_DESCR;
  QLabel* DEP_DESCR;
  class TDBComboQuelbrix* PRO_PESAD;
  class TDBComboQuelbrix* PRO_CASAD;
  class TDBComboQuelbrix* PRO_PROMO;
  class TDBComboQuelbrix* PRO_UNMED;
};

}  // namespace kaslo::ui
