// kaslo_roza, the program of the store's back office: its main window and
// every window behind its menu, on the data directory of the executable or
// the one given with --data.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/startup.h"
#include "app/ui/TFMenu.h"
#include "common/messages.h"
#include "common/ui/QtMessageService.h"

namespace kaslo::ui {

int Main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kaslo_roza"));
  QApplication::setApplicationVersion(MainCaption());
  // Qt's own texts (file dialogs, context menus) in Portuguese where the
  // translations are installed.
  QTranslator qt_texts;
  if (qt_texts.load(QLocale(QStringLiteral("pt_BR")), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qt_texts);

  QCommandLineParser parser;
  parser.addHelpOption();
  QCommandLineOption data_option(QStringLiteral("data"),
                                 QStringLiteral("Data directory (default: the executable's directory)."),
                                 QStringLiteral("DIR"));
  parser.addOption(data_option);
  parser.process(application);

  QtMessageService messages;
  kaslo::SetMessageService(&messages);

  std::optional<std::filesystem::path> data_dir;
  if (parser.isSet(data_option)) data_dir = QFile::encodeName(parser.value(data_option)).toStdString();
  const std::filesystem::path executable_dir = QFile::encodeName(QApplication::applicationDirPath()).toStdString();

  int result = 1;
  if (std::unique_ptr<TFMenu> window =
          CreateMainWindow(kaslo::app::ResolveDataDirectory(executable_dir, data_dir))) {
    window->show();
    result = QApplication::exec();
  }
  kaslo::SetMessageService(nullptr);
  return result;
}

}  // namespace kaslo::ui

int main(int argc, char** argv) { return kaslo::ui::Main(argc, argv); }
