// Controls bound to the fields of one table: edit boxes and flag combos
// show the current or pending row, and what the user changed goes back into
// the pending row. The record editor frame binds its main table with it; a
// window with several tables keeps one per table.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "db/field.h"
#include "db/table.h"

class QLineEdit;
class QWidget;

namespace kaslo::ui {

class TDBComboQuelbrix;

class FieldBindings {
 public:
  // `window` holds the labels that name the controls in messages.
  FieldBindings(QWidget* window, db::Table& table) : window_(window), table_(&table) {}

  db::Table& table() const { return *table_; }
  bool Editing() const { return table_->mode() != db::Mode::kBrowse; }
  // A record to show: the pending one, or a current one.
  bool HasRow() const;

  // An edit box bound to a field. `show` gives the text shown for the row
  // (a display format); by default the field as stored. The box takes only
  // what the field can hold (a minus sign only with `negative`), and on
  // saving the field is written only when the user changed the text shown,
  // so that a display format never rounds a stored value.
  void BindEdit(QLineEdit* edit, const db::FieldDef& field, std::function<QString(const db::Table&)> show = {},
                bool negative = false);
  // Shows a bound numeric box in another display format. A value the user
  // did not change is shown from the row; a typed one goes to the pending
  // row first, rounded to the field's own decimals only.
  void ShowNumber(QLineEdit* edit, const std::function<QString(double)>& format);
  // The combo asks `edit_request` for edit mode before a choice, and writes
  // its code to the pending row when the user leaves it.
  void BindCombo(TDBComboQuelbrix* combo, const db::FieldDef& field, std::function<bool()> edit_request);
  // A flag combo in `parent` showing `items` for the codes `values`.
  TDBComboQuelbrix* NewCombo(QWidget* parent, const db::FieldDef& field, const QStringList& items,
                             const QStringList& values, std::function<bool()> edit_request);

  bool Binds(const QWidget* control) const;
  // The current or pending row into the bound controls.
  void Read();
  // Bound controls the user changed into the pending row. A value the field
  // cannot hold is refused with the message named by the control's label and
  // the control focused; then false.
  bool Write();
  // The name of a control in messages: its label without the colon.
  std::string LabelNameOf(const QWidget* control) const;

 private:
  struct Binding {
    QWidget* control;
    std::string field;
    std::function<QString(const db::Table&)> show;
    QString shown;  // the text put into the box
  };
  Binding* BindingOf(const QWidget* control);
  const db::FieldInfo& FieldOf(const Binding& binding) const;
  std::optional<std::string> WriteEdit(const Binding& binding);

  QWidget* window_;
  db::Table* table_;
  std::vector<Binding> bindings_;
};

}  // namespace kaslo::ui
