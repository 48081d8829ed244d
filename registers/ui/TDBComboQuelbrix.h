// TDBComboQuelbrix, the flag combo: a drop-down list bound to one field,
// with parallel lists of captions shown (Items) and codes stored (Values).
// A stored code that is not in Values shows nothing, and it is kept when the
// record is saved without the combo being touched. Before the user changes
// the choice the combo asks for the table's edit mode (DataSource.Edit).
#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

namespace kaslo::ui {

class TDBComboQuelbrix final : public QComboBox {
  Q_OBJECT

 public:
  explicit TDBComboQuelbrix(QWidget* parent = nullptr);

  void SetItems(const QStringList& items);
  // Refreshes the shown item at once.
  void SetValues(const QStringList& values);
  const QStringList& Items() const { return items_; }
  const QStringList& Values() const { return values_; }
  // A read-only combo neither drops down nor changes by keys.
  void SetReadOnly(bool read_only) { read_only_ = read_only; }
  bool ReadOnly() const { return read_only_; }
  // Asked before the list drops down and before a key changes the choice;
  // true when the table is (now) in insert or edit mode. Unset: always true.
  void SetEditRequest(std::function<bool()> request) { edit_request_ = std::move(request); }

  // Shows the item of a stored code (nothing when it is not in Values).
  void ShowStored(const QString& stored);
  // Whether the user chose an item since the last ShowStored.
  bool Touched() const { return touched_; }
  // The code of the shown caption, or "" when none is shown.
  QString Value() const;
  // Chooses the item of a code as the user would (marks the combo touched).
  void Choose(const QString& value);

  void showPopup() override;

 signals:
  // The focus left the combo: the pending value goes to the record.
  void Left();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool MayChange();

  QStringList items_;
  QStringList values_;
  QString stored_;
  bool touched_ = false;
  bool read_only_ = false;
  std::function<bool()> edit_request_;
};

}  // namespace kaslo::ui
