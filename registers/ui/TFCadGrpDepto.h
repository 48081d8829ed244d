// TFCadGrpDepto ("Cadastro de Grupos de Departamentos"): the groups and the
// membership of departments in them, in one table; the department picker of
// the product window, which receives group and department as "002005".
#pragma once

#include "registers/ui/RecordEditor.h"

class QLabel;
class QLineEdit;
class QToolButton;

namespace kaslo::ui {

class TFCadGrpDepto final : public RecordEditor {
  Q_OBJECT

 public:
  TFCadGrpDepto(QWidget* owner, const std::filesystem::path& data_dir);
  ~TFCadGrpDepto() override;

 protected:
  kaslo::registers::Validation ValidateRecord() override;
  bool PostRecord() override;
  bool DeleteRecord() override;
  QWidget* FirstField() const override;
  bool EnterPressed(QWidget* control) override;
  void ShowRecord() override;
  void AfterAppend() override;
  void AfterEditStart() override;
  void AfterBrowse() override;
  void GridColumnEntered(int column) override;
  void RefreshLookups() override;
  void RunFind() override;
  std::string PickerCode() override;
  void ShowTotal() override {}

 private:
  void GRP_CODIGOChange();
  void DEP_CODIGOChange();
  void btnDeptoClick();
  bool Membership() const;

  std::unique_ptr<db::Table> aux_, dep_;
  double remembered_department_ = 0;
  bool typing_ = false;
  QLabel* lblcod;
  QLabel* lblDesc;
  QLabel* lblDep;
  QLineEdit* GRP_CODIGO;
  QLineEdit* GRP_DESCR;
  QLineEdit* DEP_CODIGO;
  QToolButton* btnDepto;
  QLabel* DEP_DESCR;
};

}  // namespace kaslo::ui
