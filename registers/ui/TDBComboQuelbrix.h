// TDBComboQuelbrix, the flag combo: a drop-down list bound to one field,
// with parallel lists of captions shown (Items) and codes stored (Values).
// A stored code that is not in Values shows nothing, and it is kept when the
// record is saved without the combo being touched.
#pragma once

#include <QComboBox>
#include <QStringList>

class TDBComboQuelbrix final : public QComboBox {
  Q_OBJECT

 public:
  explicit TDBComboQuelbrix(QWidget* parent = nullptr);

  void SetItems(const QStringList& items);
  // Refreshes the shown item at once.
  void SetValues(const QStringList& values);
  const QStringList& Items() const { return items_; }
  const QStringList& Values() const { return values_; }

  // Shows the item of a stored code (nothing when it is not in Values).
  void ShowStored(const QString& stored);
  // Whether the user chose an item since the last ShowStored.
  bool Touched() const { return touched_; }
  // The code of the shown caption, or "" when none is shown.
  QString Value() const;
  // Chooses the item of a code as the user would (marks the combo touched).
  void Choose(const QString& value);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QStringList items_;
  QStringList values_;
  QString stored_;
  bool touched_ = false;
};
