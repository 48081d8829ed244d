// The About window.
#include "app/ui/TFSobre.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "common/files.h"
#include "common/ui/qt_text.h"

namespace kaslo::ui {

TFSobre::TFSobre(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      Image1(new QLabel(this)),
      lbl_nome(new QLabel(this)),
      lbl_versao(new QLabel(this)) {
  setObjectName(QStringLiteral("FSobre"));
  setWindowTitle(QStringLiteral("Kaslo Roza ®"));
  setStyleSheet(QStringLiteral("TFSobre { background: white; border: 2px solid #1d3f73; }"));

  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setPixmap(QPixmap(QStringLiteral(":/kaslo_roza/logo.png"))
                        .scaledToWidth(320, Qt::SmoothTransformation));
  Image1->setAlignment(Qt::AlignCenter);
  lbl_nome->setObjectName(QStringLiteral("lbl_nome"));
  lbl_nome->setText(QStringLiteral("Kaslo Roza ®"));
  lbl_nome->setAlignment(Qt::AlignCenter);
  lbl_nome->setStyleSheet(QStringLiteral("font-size: 16pt; font-weight: bold; color: #1d3f73;"));
  lbl_versao->setObjectName(QStringLiteral("lbl_versao"));
  lbl_versao->setAlignment(Qt::AlignCenter);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 20);
  layout->addWidget(Image1);
  layout->addWidget(lbl_nome);
  layout->addWidget(lbl_versao);

  FormCreate();
}

void TFSobre::FormCreate() {
  lbl_versao->setText(QStringLiteral("Versão  ") + FromUtf8(VersaoArquivo()));
}

// Clicks on the labels reach the window too: labels do not take them.
void TFSobre::mousePressEvent(QMouseEvent* event) {
  event->accept();
  accept();
}

void TFSobre::keyPressEvent(QKeyEvent* event) {
  event->accept();
  accept();
}

}  // namespace kaslo::ui
