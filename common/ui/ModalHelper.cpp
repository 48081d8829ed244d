// Test helper that acts on the next modal dialog.
#include "common/ui/ModalHelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTimer>

namespace kaslo::ui {

void WhenModal(std::function<void(QWidget*)> act, int timeout_ms) {
  QPointer<QWidget> before = QApplication::activeModalWidget();
  auto* timer = new QTimer(QCoreApplication::instance());
  auto remaining = std::make_shared<int>(timeout_ms / 10 + 1);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, before, remaining, act = std::move(act)]() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != before.data() && modal->isVisible()) {
      timer->stop();
      timer->deleteLater();
      act(modal);
      return;
    }
    if (--*remaining <= 0) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(10);
}

void AnswerNextBox(QMessageBox::StandardButton button, SeenBox* seen) {
  WhenModal([button, seen](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (!box) return;
    if (seen) {
      seen->text = box->text();
      seen->title = box->windowTitle();
      seen->icon = box->icon();
      seen->seen = true;
    }
    if (QAbstractButton* b = box->button(button)) {
      b->click();
    } else {
      box->reject();  // never leave a test waiting on a box without that button
    }
  });
}

}  // namespace kaslo::ui
