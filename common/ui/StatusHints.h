// A window's commands with their hints, and the first panel of its status
// bar showing the long hint of what is under the mouse: a command's, through
// the status tip events the window receives, or a control's, the nearest
// status tip up its parents. Hints show only while on (the browsing state
// of the editors).
#pragma once

#include <QString>

class QAction;
class QEvent;
class QKeySequence;
class QLabel;
class QWidget;

namespace kaslo::ui {

// A command of `window` (toolbar and menu share it) under the object name
// `name`, whose hint is "short|long": the tool tip, then the status tip.
QAction* AddCommand(QWidget* window, const char* name, const QString& caption, const QKeySequence& key,
                    const QString& hint);

class StatusHints {
 public:
  StatusHints(QWidget* window, QLabel* panel) : window_(window), panel_(panel) {}

  // Off clears the panel.
  void SetOn(bool on);
  // For the window's event(): true when `event` was a status tip, shown.
  bool StatusTip(QEvent* event);
  // The mouse entered `control`.
  void Entered(QWidget* control);

 private:
  QWidget* window_;
  QLabel* panel_;
  bool on_ = true;
};

}  // namespace kaslo::ui
