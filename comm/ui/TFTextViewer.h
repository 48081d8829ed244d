// TFTextViewer: the read-only viewer of the texts a terminal sends back
// (reports, the LOG text, the SINTEGRA file of a reading). It shows the
// Latin-1 file in a fixed-width font under the file's name and can hand the
// file to the desktop's own editor.
#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace kaslo::ui {

class TFTextViewer final : public QDialog {
  Q_OBJECT

 public:
  // Reads `file` at once; load() tells whether it could be read.
  explicit TFTextViewer(std::filesystem::path file, QWidget* owner = nullptr);

  // False when the file could not be read (the viewer then shows nothing).
  bool loaded() const { return loaded_; }

  // Replaces the desktop launcher (tests); an empty function restores it.
  // The launcher returns false when no editor took the file.
  using EditorLauncher = std::function<bool(const std::filesystem::path&)>;
  static void SetEditorLauncher(EditorLauncher launcher);

 private slots:
  void btnEditorClick();

 private:
  std::filesystem::path file_;
  bool loaded_ = false;
  QPlainTextEdit* memTexto;
  QPushButton* btnEditor;
  QPushButton* btnFechar;
};

// Shows `file` modally in a TFTextViewer owned by `owner`; a file that
// cannot be read gives "Não foi localizado o arquivo " + path.
void ShowTextFile(const std::filesystem::path& file, QWidget* owner);

}  // namespace kaslo::ui
