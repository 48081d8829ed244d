// TFItQ7300, "Configuração Técnica": the technician's window for the
// terminals of the second model. Its pages keep the terminal list (Ycoter),
// the receipt header and the store data (the row of Ycoprm), the tax codes
// (Ycotrb), the keyboard programming (Ycotey) and the date and hour to
// send; "Lêr" and "Enviar" read and send them through the communication
// window.
#pragma once

#include <QString>
#include <array>
#include <map>
#include <memory>
#include <optional>

#include "config/keyboard.h"
#include "config/technical.h"
#include "config/ui/ConfigWindow.h"

class QLabel;
class QLineEdit;
class QMenu;

namespace kaslo::ui {

class OrderedGrid;
class TerminalKeyboard;

class TFItQ7300 final : public ConfigWindow {
  Q_OBJECT

 public:
  TFItQ7300(QWidget* owner, const std::filesystem::path& data_dir);

  void Incluir();
  void Excluir();
  void Localizar();
  // Opens the communication window on the current page's job (`send`:
  // "Enviar", else "Lêr").
  void Comunicar(bool send);

  // Where the key menu of a key opens: 30 pixels left of the key, its top
  // at the key's top in the drawing plus half the window's height.
  QPoint KeyMenuPoint(const QWidget* key) const;
  QMenu* KeyMenu() const { return key_menu_; }

 protected:
  db::Table* PageTable() override;
  QWidget* PageFirstField() override;
  bool BeginEdit(db::Table& table) override;
  bool Validate() override;
  void BeforePost(db::Table& table) override;
  void AfterPost() override;
  void AfterCancel() override;
  std::string PostFailedText(const std::string& cause) const override;
  void UpdateCommands(bool editing) override;
  void ShowRows() override;

 private:
  config::TechnicalPage CurrentPage() const;
  void BuildTerminals(QWidget* page);
  void BuildHeader(QWidget* page);
  void BuildTaxes(QWidget* page);
  void BuildKeyboard(QWidget* page);
  void BuildDateTime(QWidget* page);
  void BuildStore(QWidget* page);
  void BuildKeyMenu();
  QLineEdit* Edit(db::Table& table, QWidget* parent, const db::FieldDef& field, int width, const char* name = nullptr);
  // A failed rule: its message, the focus on its field.
  bool Refuse(const config::RuleFailure& failure, const std::vector<QWidget*>& fields);

  // The date and hour boxes; a wrong one is said and focused (nullopt).
  std::optional<kaslo::DateTime> TypedDateTime();
  void RefreshAll();
  // Both grids and every bound field from the rows.
  void ShowTables();
  void ShowKeyboard();
  void KeyClicked(int position);
  void FunctionChosen(const config::KeyFunction& function);
  void ReleaseKey();

  std::unique_ptr<db::Table> ter_, prm_, trb_, tey_, tet_, q40_, qrm_;
  OrderedGrid* GridTerminais = nullptr;
  OrderedGrid* GridTributacoes = nullptr;
  std::array<QWidget*, config::kTechnicalPageCount> first_fields_{};
  std::vector<QWidget*> terminal_fields_, header_fields_, tax_fields_, store_fields_, date_fields_;
  std::array<TDBComboQuelbrix*, 4> centring_{};
  TerminalKeyboard* Teclado = nullptr;
  QMenu* key_menu_ = nullptr;
  std::map<int, QAction*> function_actions_;  // by code
  int key_position_ = 0;
  bool key_shows_legend_ = false;
  QLineEdit* edtData = nullptr;
  QLineEdit* edtHora = nullptr;
  QString saved_date_, saved_hour_;
  QLabel* lblTerminais = nullptr;
};

}  // namespace kaslo::ui
