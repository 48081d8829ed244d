// The progress window.
#include "common/ui/TFIndexa.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "common/ui/qt_text.h"

namespace kaslo::ui {

namespace {
constexpr int kWidth = 456;
constexpr int kHeight = 69;
}  // namespace

TFIndexa::TFIndexa(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_ArqMdx(new QLabel(this)),
      PB(new QProgressBar(this)) {
  setObjectName(QStringLiteral("FIndexa"));
  setFixedSize(kWidth, kHeight);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setStyleSheet(QStringLiteral("TFIndexa { background: #d4d0c8; border: 1px solid #404040; }"));

  m_ArqMdx->setObjectName(QStringLiteral("m_ArqMdx"));
  m_ArqMdx->setAlignment(Qt::AlignCenter);
  m_ArqMdx->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  m_ArqMdx->setStyleSheet(QStringLiteral("color: #0000c0; font-weight: bold;"));

  PB->setObjectName(QStringLiteral("PB"));
  PB->setTextVisible(false);
  PB->setFixedHeight(8);
  PB->setRange(0, 0);
  PB->setVisible(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  layout->addWidget(m_ArqMdx, 1);
  layout->addWidget(PB);
}

void TFIndexa::show(const std::string& text) {
  m_ArqMdx->setText(FromUtf8(text));
  if (!isVisible()) {
    CentreOnScreen();
    QWidget::show();
    raise();
  }
  repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFIndexa::setMaximum(int maximum) {
  PB->setVisible(maximum > 0);
  PB->setRange(0, maximum > 0 ? maximum : 0);
  PB->setValue(0);
  repaint();
}

void TFIndexa::setPosition(int position) {
  PB->setValue(position);
  PB->repaint();
}

void TFIndexa::hide() {
  QWidget::hide();
  PB->setVisible(false);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFIndexa::CentreOnScreen() {
  QScreen* screen = QApplication::primaryScreen();
  if (!screen) return;
  QRect area = screen->availableGeometry();
  move(area.center() - QPoint(kWidth / 2, kHeight / 2));
}

}  // namespace kaslo::ui
