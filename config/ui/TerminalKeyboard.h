// The drawing of the second model's keyboard: five rows of five
// programmable keys (positions 1 to 22 and 24 to 26), each showing the
// legend of its function and, as its tip, what the function is; and the
// numeric pad with the keys that cannot be programmed.
#pragma once

#include <QAbstractButton>
#include <QFrame>
#include <map>

namespace kaslo::ui {

// One key cap: its letter in the corner (A for position 1 to Z for 26), its
// legend in the middle.
class KeyCap final : public QAbstractButton {
  Q_OBJECT

 public:
  enum class Kind { kProgrammable, kDigit, kFunction, kEnter, kBlank };
  KeyCap(QWidget* parent, Kind kind, int position, const QString& legend);

  int position() const { return position_; }  // 0 for a key that cannot be programmed
  Kind kind() const { return kind_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Kind kind_;
  int position_;
};

class TerminalKeyboard final : public QFrame {
  Q_OBJECT

 public:
  explicit TerminalKeyboard(QWidget* parent);

  // The key of a programmable position; nullptr for any other.
  KeyCap* Key(int position) const;
  QString Legend(int position) const;
  void SetLegend(int position, const QString& legend, const QString& hint);
  void ClearAll();

 signals:
  void programmableClicked(int position);
  void fixedClicked();

 private:
  std::map<int, KeyCap*> keys_;
};

}  // namespace kaslo::ui
