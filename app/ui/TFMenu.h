// TFMenu, the main window: the program's start-up runs when it is created
// (table upgrade and index check with the progress window FIndexa), and its
// menu, built from MenuTable, is the way into every other window.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <memory>

#include "app/ui/MenuTable.h"
#include "db/database.h"

class QLabel;

namespace kaslo::ui {

class TFIndexa;

class TFMenu final : public QMainWindow {
  Q_OBJECT

 public:
  // Runs the start-up on data_dir, which must be usable (see
  // CreateMainWindow). An engine error of the start-up is shown and the
  // window is built all the same.
  explicit TFMenu(std::filesystem::path data_dir, QWidget* parent = nullptr);
  ~TFMenu() override;

  const db::Database& database() const { return DBM1_; }

 private slots:
  void FormCreate();
  void Menu028Click();
  void Conversobancodadados1Click();
  void LeituraSINTEGRADiario1Click();
  void Y3Click();
  void SairClick();

 private:
  using Handler = void (TFMenu::*)();
  // The handler of a command this window runs itself, nullptr for others.
  static Handler OwnHandler(std::string_view target);
  void BuildMenu();
  // Opens the registered window or command of an item.
  void OpenRegistered(const MenuItemDef& item);

  db::Database DBM1_;
  TFIndexa* FIndexa = nullptr;
  QLabel* Image1 = nullptr;
};

// Checks the data directory and, when it can be used, makes it the current
// directory and creates the main window. Otherwise shows the box
// "Diretório de dados não encontrado !" and returns nullptr: the program ends
// without a main window.
std::unique_ptr<TFMenu> CreateMainWindow(const std::filesystem::path& data_dir);

// "Kaslo Roza ® v" + version.
QString MainCaption();

}  // namespace kaslo::ui
