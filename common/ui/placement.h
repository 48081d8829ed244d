// Where a window first shows.
#pragma once

class QWidget;

namespace kaslo::ui {

// Centres the window's frame on the primary screen's free area.
void CentreOnScreen(QWidget& window);

}  // namespace kaslo::ui
