// TFConfQ4000, the non-fiscal options of the first terminal model: payment
// types (Ycoq40), general parameters (Ycoprm), peripherals, discounts and
// surcharges and the sale message (Ycoycf), each page editing its table,
// and "Lêr"/"Enviar" of the current page's block through the communication
// window.
#pragma once

#include <array>
#include <memory>

#include "config/terminal_options.h"
#include "config/ui/ConfigWindow.h"

class QLineEdit;

namespace kaslo::ui {

class OrderedGrid;

class TFConfQ4000 final : public ConfigWindow {
  Q_OBJECT

 public:
  TFConfQ4000(QWidget* owner, const std::filesystem::path& data_dir);

  void Localizar();
  // Opens the communication window on the current page's job (`send`:
  // "Enviar", else "Lêr").
  void Comunicar(bool send);

 protected:
  db::Table* PageTable() override;
  QWidget* PageFirstField() override;
  bool BeginEdit(db::Table& table) override;
  void BeforePost(db::Table& table) override;
  std::string PostFailedText(const std::string& cause) const override;
  void UpdateCommands(bool editing) override;
  void ShowRows() override;

 private:
  config::OptionsPage CurrentPage() const;
  void BuildPaymentTypes(QWidget* page);
  void BuildMiscellaneous(QWidget* page);
  void BuildPeripherals(QWidget* page);
  void BuildAdjustments(QWidget* page);
  void BuildMessage(QWidget* page);
  // VALOR/PORCENTAGEM: the rate and its "may alter" follow the type.
  void ApplyRateRule(size_t group);

  std::unique_ptr<db::Table> q40_;
  std::unique_ptr<db::Table> prm_;
  std::unique_ptr<db::Table> ycf_;
  OrderedGrid* Grid = nullptr;
  std::array<QWidget*, config::kOptionsPageCount> first_fields_{};
  std::array<TDBComboQuelbrix*, 4> rate_types_{};
  std::array<QWidget*, 4> rates_{};
  std::array<QWidget*, 4> rate_alters_{};
  std::array<TDBComboQuelbrix*, 4> centring_{};
};

}  // namespace kaslo::ui
