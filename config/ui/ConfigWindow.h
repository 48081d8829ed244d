// The frame of the configuration windows: the toolbar SpeedBar1 and the menu
// "&Manutenção", the pages, the status bar whose first panel shows the hint
// of the control under the mouse while browsing, the browsing and editing
// states, Enter moving on (and saving in a page's last field), and the
// Alterar, Cancelar, Gravar and Sair of the table that the current page
// edits. Several tables may be bound; each has its own field bindings. A
// page may edit no table (its fields are unlocked by Alterar and Gravar
// writes nothing).
#pragma once

#include <QDialog>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/clock.h"
#include "db/database.h"
#include "db/table.h"
#include "registers/ui/FieldBindings.h"

class QAction;
class QGridLayout;
class QLabel;
class QLineEdit;
class QTabWidget;
class QToolBar;

namespace kaslo::ui {

// The "NÃO"/"SIM" list of a flag stored "N"/"S".
inline const QStringList kNaoSim = {QStringLiteral("NÃO"), QStringLiteral("SIM")};
inline const QStringList kNS = {QStringLiteral("N"), QStringLiteral("S")};
// What an edit box shows of a number: laid into a digit mask (a blank
// field stays blank), or with a fixed count of decimals.
std::function<QString(const db::Table&)> MaskShown(const db::FieldDef& field, const char* mask);
std::function<QString(const db::Table&)> DecimalsShown(const db::FieldDef& field, int decimals);

class StatusHints;
class TDBComboQuelbrix;

class ConfigWindow : public QDialog {
  Q_OBJECT

 public:
  // The column of a group's grid that takes the room its controls leave.
  static constexpr int kSpareColumn = 9;

  ~ConfigWindow() override;

  void Alterar();
  void Cancelar();
  void Gravar();
  void Sair();

 protected:
  ConfigWindow(QWidget* owner, const std::filesystem::path& data_dir);

  // ---- building
  // A command; the hint is "short|long" (toolbar tip | status bar). `run`
  // is what it does, an engine failure shown in a box.
  QAction* AddCommand(const char* name, const QString& caption, const QKeySequence& key, const QString& hint,
                      std::function<void()> run = {});
  // The menu "&Manutenção" and the toolbar, in order (nullptr: a separator
  // in the menu, the spring before Sair in the toolbar).
  void BuildBars(const std::vector<QAction*>& menu, const std::vector<QAction*>& toolbar);
  QWidget* AddPage(const QString& caption);
  // A group box with a grid layout on `page`.
  QGridLayout* AddGroup(QWidget* page, const QString& caption, const char* name);
  // A right-aligned label at (row, column); its buddy names the control in
  // the messages of values a field cannot hold.
  static void AddLabel(QGridLayout* grid, const QString& text, QWidget* buddy, int row, int column = 0);
  // A label with its control in the next column.
  static void AddRow(QGridLayout* grid, const QString& text, QWidget* control, int row, int column = 0);
  // "CEP:" with the two boxes of PRM_CEP "-" PRM_CEPP of the parameter row,
  // at (row, column); the boxes, in order.
  std::pair<QLineEdit*, QLineEdit*> AddCepRow(QGridLayout* grid, db::Table& prm, int row, int column = 0);
  // Widgets enabled only while editing.
  void AddPanel(QWidget* panel) { panels_.push_back(panel); }
  // The bindings of a table; made on first use.
  FieldBindings& Fields(db::Table& table);
  // A "NÃO"/"SIM" (or other) flag combo bound to a field of `table`.
  TDBComboQuelbrix* NewCombo(db::Table& table, QWidget* parent, const db::FieldDef& field, const QStringList& items,
                             const QStringList& values);
  // Enter in one of `controls` moves to the next one of the list; in a
  // control of `last` it runs Gravar.
  void SetEnterChain(std::vector<QWidget*> controls, std::vector<QWidget*> last);
  // While a table is in edit the other pages cannot be chosen.
  void LockPagesWhileEditing() { lock_pages_ = true; }
  // Browsing state, rows shown.
  void Start();

  // ---- hooks
  // The table that the current page edits; nullptr when it edits none.
  virtual db::Table* PageTable() = 0;
  virtual QWidget* PageFirstField() = 0;
  // Alterar: puts the table in edit (the parameter window appends a first
  // row); false when the window refused, its message shown.
  virtual bool BeginEdit(db::Table& table) {
    table.edit();
    return true;
  }
  // Gravar: the page's rules over the typed values; false when one failed,
  // its message shown and its field focused.
  virtual bool Validate() { return true; }
  // Gravar: more writes into the pending row after the bound controls.
  virtual void BeforePost(db::Table&) {}
  virtual void AfterPost() {}
  virtual void AfterCancel() {}
  // The message of a failed post, with the engine's cause ("" when none).
  virtual std::string PostFailedText(const std::string& cause) const = 0;
  // Enables the commands for the state.
  virtual void UpdateCommands(bool editing) = 0;
  // After the bound controls were filled from the rows.
  virtual void ShowRows() {}

  // ---- for subclasses
  bool AnyEditing() const;
  // Editing state on a page that edits no table, left by Gravar or Cancelar.
  void BeginEditWithoutTable();
  void SetBrowseState();
  void SetEditingState();
  void ReadAll();  // every table's row into its controls, then ShowRows
  QTabWidget* Pages() const { return PageControl1; }
  // Opens the communication window on a job, modally, under the wait text
  // "Aguarde, verificando estações...", which that window closes.
  void OpenCommunication(int job, std::optional<kaslo::DateTime> date_time = std::nullopt);
  QAction* Command(const char* name) const;

  db::Database db_;
  QLabel* status0_ = nullptr;

  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void CancelAll();

  QTabWidget* PageControl1 = nullptr;
  QToolBar* SpeedBar1 = nullptr;
  std::vector<QWidget*> panels_;
  std::vector<std::pair<db::Table*, std::unique_ptr<FieldBindings>>> fields_;
  std::vector<QWidget*> enter_chain_;
  std::vector<QWidget*> last_fields_;
  std::unique_ptr<StatusHints> hints_;
  bool lock_pages_ = false;
  bool editing_without_table_ = false;
  int edit_page_ = 0;
};

}  // namespace kaslo::ui
