// The main window and its menu.
#include "app/ui/TFMenu.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <map>
#include <system_error>

#include "app/daily_sintegra.h"
#include "app/maintenance.h"
#include "app/startup.h"
#include "app/ui/TFSobre.h"
#include "common/files.h"
#include "common/progress.h"
#include "common/ui/TFIndexa.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/engine_error.h"
#include "common/ui/placement.h"
#include "common/ui/qt_text.h"
#include "db/tableset_ops.h"

// The logo lies in this library's resources, which a static library must
// register itself (from outside any namespace).
static void InitResources() { Q_INIT_RESOURCE(kaslo_roza); }

namespace kaslo::ui {

namespace {

constexpr int kClientWidth = 732;
constexpr int kClientHeight = 515;
constexpr int kLogoAreaHeight = 478;

}  // namespace

QString MainCaption() { return QStringLiteral("Kaslo Roza ® v") + FromUtf8(VersaoArquivo()); }

TFMenu::TFMenu(std::filesystem::path data_dir, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      DBM1_(std::move(data_dir)) {
  setObjectName(QStringLiteral("FMenu"));
  InitResources();

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(kClientWidth, kClientHeight);
  client->setAutoFillBackground(true);
  QPalette palette = client->palette();
  palette.setColor(QPalette::Window, Qt::white);
  client->setPalette(palette);
  Image1 = new QLabel(client);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(0, 0, kClientWidth, kLogoAreaHeight);
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setPixmap(QPixmap(QStringLiteral(":/kaslo_roza/logo.png")));
  setCentralWidget(client);

  BuildMenu();
  FormCreate();
}

TFMenu::~TFMenu() {
  // The progress window dies with this window: the port must not outlive it.
  if (FIndexa && &kaslo::Progress() == FIndexa) kaslo::SetProgressPort(nullptr);
}

void TFMenu::FormCreate() {
  FIndexa = new TFIndexa(this);
  kaslo::SetProgressPort(FIndexa);
  kaslo::app::RunStartup(DBM1_);
  // The caption is set even after a failed start-up: the window opens.
  setWindowTitle(MainCaption());
  adjustSize();
  setFixedSize(size());
  CentreOnScreen(*this);
}

void TFMenu::BuildMenu() {
  std::map<std::string_view, QMenu*> menus;
  for (const MenuItemDef& item : MainMenuItems()) {
    const QString name = FromUtf8(item.name);
    const QString caption = FromUtf8(item.caption);
    QMenu* parent_menu = item.parent.empty() ? nullptr : menus.at(item.parent);
    QAction* action = nullptr;
    switch (item.action) {
      case MenuAction::kSubmenu: {
        auto* menu = new QMenu(caption, this);
        menu->setObjectName(name);
        menus[item.name] = menu;
        action = parent_menu ? parent_menu->addMenu(menu) : menuBar()->addMenu(menu);
        break;
      }
      case MenuAction::kSeparator:
        action = parent_menu->addSeparator();
        break;
      case MenuAction::kWindow:
      case MenuAction::kCommand: {
        action = new QAction(caption, this);
        if (parent_menu) {
          parent_menu->addAction(action);
        } else {
          menuBar()->addAction(action);
        }
        // The commands leave engine errors to the menu: the user reads the
        // engine's own text and the menu stays usable.
        if (Handler own = OwnHandler(item.target)) {
          connect(action, &QAction::triggered, this,
                  [this, own] { RunShowingEngineError([this, own] { (this->*own)(); }); });
        } else {
          connect(action, &QAction::triggered, this,
                  [this, &item] { RunShowingEngineError([this, &item] { OpenRegistered(item); }); });
        }
        break;
      }
    }
    action->setObjectName(name);
    if (!item.shortcut.empty()) action->setShortcut(QKeySequence(FromUtf8(item.shortcut)));
    if (item.hidden) action->setVisible(false);
    const bool available = item.action == MenuAction::kSubmenu || item.action == MenuAction::kSeparator ||
                           OwnHandler(item.target) || FindWindowOpener(item.target);
    // A window that is not part of the program yet is shown but cannot be chosen.
    action->setEnabled(available);
  }
}

TFMenu::Handler TFMenu::OwnHandler(std::string_view target) {
  static const std::pair<std::string_view, Handler> kHandlers[] = {
      {"Menu028Click", &TFMenu::Menu028Click},
      {"Conversobancodadados1Click", &TFMenu::Conversobancodadados1Click},
      {"LeituraSINTEGRADiario1Click", &TFMenu::LeituraSINTEGRADiario1Click},
      {"Y3Click", &TFMenu::Y3Click},
      {"SairClick", &TFMenu::SairClick},
  };
  for (const auto& [name, handler] : kHandlers) {
    if (name == target) return handler;
  }
  return nullptr;
}

void TFMenu::OpenRegistered(const MenuItemDef& item) {
  const WindowOpener* opener = FindWindowOpener(item.target);
  if (!opener) return;
  if (item.converts_stock) db::ConverteEstoque(DBM1_, db::StockConversion::kOnlyWhenNeeded);
  OpenContext context;
  context.owner = this;
  context.data_dir = DBM1_.dir();
  context.tag = item.tag;
  (*opener)(context);
}

void TFMenu::Menu028Click() { kaslo::app::Reindex(DBM1_); }

void TFMenu::Conversobancodadados1Click() { kaslo::app::ConversaoBancoDados(DBM1_); }

void TFMenu::LeituraSINTEGRADiario1Click() { app::GerarArquivoDiario(DBM1_); }

void TFMenu::Y3Click() {
  TFSobre sobre(this);
  sobre.exec();
}

void TFMenu::SairClick() { close(); }

std::unique_ptr<TFMenu> CreateMainWindow(const std::filesystem::path& data_dir) {
  if (!kaslo::app::PrepareDataDirectory(data_dir)) return nullptr;
  // Files named without a directory are the data directory's.
  std::error_code ec;
  std::filesystem::current_path(data_dir, ec);
  return std::make_unique<TFMenu>(data_dir);
}

}  // namespace kaslo::ui
