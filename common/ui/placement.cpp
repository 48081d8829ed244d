#include "common/ui/placement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace kaslo::ui {

void CentreOnScreen(QWidget& window) {
  QScreen* screen = QApplication::primaryScreen();
  if (!screen) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

}  // namespace kaslo::ui
