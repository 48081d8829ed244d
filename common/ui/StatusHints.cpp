#include "common/ui/StatusHints.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QStatusTipEvent>
#include <QWidget>

namespace kaslo::ui {

QAction* AddCommand(QWidget* window, const char* name, const QString& caption, const QKeySequence& key,
                    const QString& hint) {
  auto* action = new QAction(caption, window);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(key);
  action->setShortcutContext(Qt::WindowShortcut);
  const auto bar = hint.indexOf(QLatin1Char('|'));
  action->setToolTip(hint.left(bar));
  action->setStatusTip(hint.mid(bar + 1));
  window->addAction(action);
  return action;
}

void StatusHints::SetOn(bool on) {
  on_ = on;
  if (!on) panel_->clear();
}

bool StatusHints::StatusTip(QEvent* event) {
  if (event->type() != QEvent::StatusTip) return false;
  if (on_) panel_->setText(static_cast<QStatusTipEvent*>(event)->tip());
  return true;
}

void StatusHints::Entered(QWidget* control) {
  QString tip;
  for (QWidget* w = control; w && w != window_ && tip.isEmpty(); w = w->parentWidget()) tip = w->statusTip();
  if (on_) panel_->setText(tip);
}

}  // namespace kaslo::ui
