// The record editor frame that every master-data window stands on: the
// toolbar SpeedBar1 and the menu "&Manutenção" with the seven commands, the
// Grid over the main table, the detail panel Target, the two-panel
// StatusBar, the browsing and editing states (driven only by the table's
// mode), Enter moving on and saving in the last field, validation in Gravar
// and again before the post, the sort toggle, the find dialog and the
// picker protocol. A window adds its controls to Target, binds them to
// fields, and overrides the hooks for its rules.
#pragma once

#include <QDialog>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/ui/WindowRegistry.h"
#include "common/ui/engine_error.h"
#include "db/database.h"
#include "db/table.h"
#include "registers/editor_rules.h"
#include "registers/ui/FieldBindings.h"
#include "registers/ui/RecordTableModel.h"
#include "registers/ui/TFLocaliza.h"

class QAction;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenuBar;
class QTableView;
class QToolBar;

namespace kaslo::ui {

class StatusHints;
class TDBComboQuelbrix;

class RecordEditor : public QDialog {
  Q_OBJECT

 public:
  ~RecordEditor() override;

  db::Table& MainTable() { return *table_; }
  // Opens a picker window modally and gives the code its caption holds
  // when it closes (UTF-8; "" for an empty table).
  static std::string Pick(RecordEditor& picker);

  // The generic commands, as the toolbar and the menu run them.
  void Incluir();
  void Alterar();
  void Excluir();
  void Cancelar();
  void Gravar();
  void Localizar();
  void Sair();

 protected:
  struct Options {
    QString title;             // "Cadastro de Departamentos"
    std::string table;         // "Ycodep"
    int limit = 0;             // record limit; 0 for none
    bool total_in_status = true;
    bool separator_after_excluir = false;
    bool view_only = false;    // the tax window: only Localizar and Sair act
    // the caption's end in the order of tag "Dois"
    std::string_view second_order = kaslo::registers::kOrdenadoDescricao;
  };
  RecordEditor(QWidget* owner, const std::filesystem::path& data_dir, Options options);

  // ---- building (from the subclass's constructor)
  void SetColumns(std::vector<GridColumn> columns);
  QWidget* Target() const { return Target_; }
  // An edit box bound to a field. `show` gives the text shown for the row
  // (a display format); by default the field as stored. The box takes only
  // what the field can hold (a minus sign only with `negative`), and on
  // saving the field is written only when the user changed the text the
  // frame showed, so that a display format never rounds a stored value.
  void BindEdit(QLineEdit* edit, const db::FieldDef& field, std::function<QString(const db::Table&)> show = {},
                bool negative = false);
  // Shows a bound numeric box in another display format. A value the user
  // did not change is shown from the row; a typed one goes to the pending
  // row first, rounded to the field's own decimals only.
  void ShowNumber(QLineEdit* edit, const std::function<QString(double)>& format);
  // The combo asks the frame for edit mode before a choice, and writes its
  // code to the pending row when the user leaves it.
  void BindCombo(TDBComboQuelbrix* combo, const db::FieldDef& field);
  // A flag combo in `parent` showing `items` for the codes `values`, bound
  // to the field.
  TDBComboQuelbrix* NewCombo(QWidget* parent, const db::FieldDef& field, const QStringList& items,
                             const QStringList& values);
  // A label at (row, column) of a detail grid; its buddy names the control
  // in the messages of values a field cannot hold.
  static void AddLabel(QGridLayout* grid, const QString& text, QWidget* buddy, int row, int column);
  // Enter in these controls moves on; in `last` it runs Gravar.
  void SetEnterChain(std::vector<QWidget*> controls, QWidget* last);
  // Finishes opening: browsing state, last record then first.
  void Start();

  // ---- hooks
  // Runs in Gravar and as the table's before-post check.
  virtual kaslo::registers::Validation ValidateRecord() = 0;
  // Posts the pending record; false when the table refused.
  virtual bool PostRecord();
  // More before-post work after the validation passed (queue rows).
  virtual bool BeforePost() { return true; }
  virtual bool BeforeDelete() { return true; }
  virtual bool DeleteRecord();
  // Runs before Incluir appends and before Alterar edits.
  virtual void BeforeEditing() {}
  virtual void AfterAppend() {}
  virtual void AfterEditStart() {}
  virtual void AfterBrowse() {}
  virtual QWidget* FirstField() const = 0;
  // Enter in a control; true when handled.
  virtual bool EnterPressed(QWidget* control) { return false; }
  // Fills the window's own panels from the current or pending row.
  virtual void ShowRecord() {}
  // The code the caption holds when the window closes (UTF-8).
  virtual std::string PickerCode();
  // Entering a grid column: toggles "Um" and "Dois".
  virtual void GridColumnEntered(int column);
  // Leaving a grid column while browsing: the main table is refreshed (to
  // see what other stations wrote), then the window's lookup tables.
  virtual void RefreshLookups() {}
  virtual void SetOrderCaption(bool by_code);
  virtual void ShowTotal();
  // The texts of failed posts (insert, edit) and of a failed append.
  virtual std::string_view InsertFailedText() const { return kaslo::registers::kMsgIncluirFalhou; }
  virtual std::string_view EditFailedText() const { return kaslo::registers::kMsgAlterarFalhou; }
  virtual std::string AppendFailedText() const { return std::string(kaslo::registers::kMsgIncluirFalhou); }
  // Labels of the current tag's fields for the find dialog.
  virtual std::vector<std::string> FindLabels() const;

  // Runs the find dialog on the main table; the window may search on
  // another tag meanwhile (the group window).
  virtual void RunFind();
  // How the find dialog reads a typed code (the product window's check digit).
  virtual CodeKeyRule FindCodeRule() const { return {}; }

  // ---- for subclasses
  // A command of the user for a signal. An error of the table engine that
  // the command does not turn into a message of its own is shown with the
  // engine's text, and the window stays usable.
  template <class F>
  static auto Guard(F command) {
    return [command] { RunShowingEngineError(command); };
  }
  void SyncState();       // SetBrowseState or SetEditingState by the table's mode
  void SetBrowseState();
  void SetEditingState();
  bool Editing() const { return table_->mode() != db::Mode::kBrowse; }
  void ReloadGrid();      // rows changed or order changed; keeps the current record
  void FollowTable();     // grid and controls follow the table's current record
  // The grid's highlighted row is the current record's (none while a new
  // record is being made).
  void ShowCurrentRow();
  // The grid column the order was last chosen by; a window that changes the
  // order by itself sets the column that order belongs to, so that the next
  // click on another column is seen as a change.
  void SetGridColumn(int column) { grid_column_ = column; }
  // Bound controls the user changed into the pending row. A value the
  // field cannot hold is refused with the message named by the control's
  // label and the control focused; then false.
  bool WriteControls();
  // Puts the main table into edit mode for a control that is about to
  // change the record (a flag combo); true when the table is editing.
  bool EditFromControl();
  void ReadControls();    // current or pending row into the bound controls
  void FocusField(const std::string& name);
  void ShowInvalid(const kaslo::registers::Invalid& invalid);
  QString Title() const { return options_.title; }

  db::Database db_;
  std::unique_ptr<db::Table> table_;
  QTableView* Grid = nullptr;
  QLabel* status0_ = nullptr;
  QLabel* status1_ = nullptr;

  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  void done(int result) override;

 private:
  bool HasRow() const { return fields_->HasRow(); }
  QAction* AddCommand(const char* name, const QString& caption, const QKeySequence& key, const QString& hint);
  void BuildFrame();
  void GridRowChanged(int row);
  void GridColumnChanged(int column);

  Options options_;
  RecordTableModel* model_ = nullptr;
  QToolBar* SpeedBar1 = nullptr;
  QMenuBar* MainMenu1 = nullptr;
  QWidget* Target_ = nullptr;
  QAction* act_incluir_ = nullptr;
  QAction* act_alterar_ = nullptr;
  QAction* act_excluir_ = nullptr;
  QAction* act_cancelar_ = nullptr;
  QAction* act_gravar_ = nullptr;
  QAction* act_localizar_ = nullptr;
  QAction* act_sair_ = nullptr;
  std::unique_ptr<FieldBindings> fields_;
  std::vector<QWidget*> enter_chain_;
  QWidget* last_field_ = nullptr;
  std::unique_ptr<StatusHints> hints_;
  bool following_ = false;
  bool closing_ = false;
  int grid_column_ = 0;  // the grid opens on its first column
};

// The menu's opener of an editor: the window runs modally and is released
// when it closes.
template <class Editor>
void OpenEditor(const OpenContext& context) {
  Editor window(context.owner, context.data_dir);
  window.exec();
}

}  // namespace kaslo::ui
