// The text viewer of received reports, LOG and SINTEGRA texts.
#include "comm/ui/TFTextViewer.h"

#include <QDesktopServices>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <fstream>
#include <iterator>

#include "common/messages.h"
#include "common/ui/qt_text.h"

namespace kaslo::ui {

namespace {

inline constexpr const char* kEditorFailed = "Não foi possível abrir o editor de textos.";

TFTextViewer::EditorLauncher& Launcher() {
  static TFTextViewer::EditorLauncher launcher;
  return launcher;
}

bool DesktopOpen(const std::filesystem::path& file) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

}  // namespace

TFTextViewer::TFTextViewer(std::filesystem::path file, QWidget* owner)
    : QDialog(owner),
      file_(std::move(file)),
      memTexto(new QPlainTextEdit(this)),
      btnEditor(new QPushButton(QStringLiteral("Abrir no editor"), this)),
      btnFechar(new QPushButton(QStringLiteral("&Fechar"), this)) {
  setObjectName(QStringLiteral("FTextViewer"));
  setWindowTitle(QString::fromStdString(file_.filename().string()));
  setModal(true);

  memTexto->setObjectName(QStringLiteral("memTexto"));
  memTexto->setReadOnly(true);
  memTexto->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const QFontMetrics metrics(font);
  if (metrics.horizontalAdvance(QLatin1Char('i')) != metrics.horizontalAdvance(QLatin1Char('W'))) {
    // Platforms without a fixed system font (offscreen, bare X servers).
    font = QFont(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
  }
  memTexto->setFont(font);
  btnEditor->setObjectName(QStringLiteral("btnEditor"));
  btnFechar->setObjectName(QStringLiteral("btnFechar"));
  btnFechar->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnEditor);
  buttons->addWidget(btnFechar);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memTexto);
  layout->addLayout(buttons);
  // Room for a SINTEGRA line of 126 characters.
  const int char_width = memTexto->fontMetrics().horizontalAdvance(QLatin1Char('0'));
  resize(char_width * 130 + 60, 560);

  connect(btnEditor, &QPushButton::clicked, this, &TFTextViewer::btnEditorClick);
  connect(btnFechar, &QPushButton::clicked, this, &QDialog::accept);

  std::ifstream in(file_, std::ios::binary);
  if (!in) return;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return;
  QString text = FromLatin1(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  memTexto->setPlainText(text);
  loaded_ = true;
}

void TFTextViewer::SetEditorLauncher(EditorLauncher launcher) { Launcher() = std::move(launcher); }

void TFTextViewer::btnEditorClick() {
  const bool opened = Launcher() ? Launcher()(file_) : DesktopOpen(file_);
  if (!opened) kaslo::Messages().error(kEditorFailed);
}

void ShowTextFile(const std::filesystem::path& file, QWidget* owner) {
  TFTextViewer viewer(file, owner);
  if (!viewer.loaded()) {
    kaslo::Messages().information("Não foi localizado o arquivo " + file.string());
    return;
  }
  viewer.exec();
}

}  // namespace kaslo::ui
