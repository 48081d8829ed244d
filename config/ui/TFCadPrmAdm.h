// TFCadPrmAdm, "Parametrização do Sistema Administrativo": the store's
// identification and a few communication options, the one row of Ycoprm,
// and the continuous LOG reading of the program's INI file.
#pragma once

#include <array>
#include <memory>

#include "config/ui/ConfigWindow.h"

class QComboBox;
class QLineEdit;

namespace kaslo::ui {

class TFCadPrmAdm final : public ConfigWindow {
  Q_OBJECT

 public:
  TFCadPrmAdm(QWidget* owner, const std::filesystem::path& data_dir);

 protected:
  db::Table* PageTable() override { return prm_.get(); }
  QWidget* PageFirstField() override;
  bool BeginEdit(db::Table& table) override;
  void BeforePost(db::Table& table) override;
  void AfterPost() override;
  void AfterCancel() override;
  std::string PostFailedText(const std::string& cause) const override;
  void UpdateCommands(bool editing) override;
  void ShowRows() override;

 private:
  QLineEdit* Edit(QWidget* parent, const db::FieldDef& field, int width);
  void ReadLogOnLine();

  std::unique_ptr<db::Table> prm_;
  std::array<TDBComboQuelbrix*, 4> centring_{};
  TDBComboQuelbrix* free_code_ = nullptr;
  QComboBox* LogOnLine = nullptr;
  QLineEdit* PRM_NOLOJA = nullptr;
  QWidget* first_of_second_page_ = nullptr;
};

}  // namespace kaslo::ui
