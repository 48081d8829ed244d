// FIndexa, the progress window shared by the whole program: a borderless
// 456 x 69 window centred on the screen with a blue text panel and a thin
// progress bar. It is created once at start-up, installed as the progress
// port, and only shown (MostraProgresso) and hidden (FechaProgresso).
#pragma once

#include <QWidget>

#include "common/progress.h"

class QLabel;
class QProgressBar;

namespace kaslo::ui {

class TFIndexa final : public QWidget, public kaslo::ProgressPort {
  Q_OBJECT

 public:
  explicit TFIndexa(QWidget* owner = nullptr);

  // ProgressPort: each call repaints at once, so that work running on the
  // user-interface thread still shows its text.
  void show(const std::string& text) override;
  void setMaximum(int maximum) override;
  void setPosition(int position) override;
  void hide() override;

 private:
  void CentreOnScreen();

  QLabel* m_ArqMdx;
  QProgressBar* PB;
};

}  // namespace kaslo::ui
