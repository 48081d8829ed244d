// The main window offscreen: its menu against the system's menu, the
// commands it runs itself, the windows it opens through the registry, and
// the start-up boxes.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>
#include <filesystem>
#include <vector>

#include "app/ui/TFMenu.h"
#include "app/ui/TFSobre.h"
#include "common/files.h"
#include "common/testing/scripted_messages.h"
#include "common/ui/ModalHelper.h"
#include "common/ui/TFIndexa.h"
#include "common/ui/WindowRegistry.h"
#include "db/backup.h"
#include "db/install.h"
#include "db/tables/ycopro.h"

namespace fs = std::filesystem;

namespace kaslo::ui {

using kaslo::testing::MessageKind;
using kaslo::testing::ScriptedMessages;

namespace {

// The menu as the user sees it, depth first: name, caption ("-" for a
// separator), depth, hidden.
struct Shown {
  QString name;
  QString caption;
  int depth;
  bool hidden;
  bool operator==(const Shown&) const = default;
};

const std::vector<Shown> kExpectedMenu = {
    {"Menu001", "&Parametrização", 0, false},
    {"Menu002_AR", "Configurações do Sistema", 1, false},
    {"N5", "-", 1, false},
    {"Menu005", "Equipamentos - Manutenção", 1, false},
    {"Menu004", "Equipamentos - Opções Complementares", 1, false},
    {"Menu119", "&Cadastros", 0, false},
    {"Menu120", "Pro&dutos", 1, false},
    {"Menu129", "&Clientes", 1, false},
    {"Menu133", "Vendedores", 1, false},
    {"Menu135", "Operadores", 1, false},
    {"N1", "-", 1, false},
    {"Menu137_AR", "Grupos de Departamento", 1, false},
    {"Menu138_AR", "Departamentos", 1, false},
    {"Menu126_AR", "Tributações", 1, false},
    {"Menu020", "Processa&mento", 0, false},
    {"Menu028", "Reindexação de Tabelas", 1, false},
    {"N3", "-", 1, false},
    {"Menu033", "Exportação de Arquivos", 1, false},
    {"Menu034", "Importação de Arquivos", 1, false},
    {"N2", "-", 1, false},
    {"Conversobancodadados1", "Conversão banco da dados", 1, false},
    {"Menu090", "Com&unicação", 0, false},
    {"Menu117", "Cargas", 1, false},
    {"Menu093", "Clientes ", 2, false},
    {"Menu149", "Departamentos", 2, true},
    {"Menu148", "Grupos de Depto", 2, true},
    {"Menu122", "Operadores", 2, false},
    {"Menu092", "Produtos", 2, false},
    {"Menu118", "Vendedores", 2, false},
    {"Menu123", "Leituras", 1, false},
    {"Menu111", "Leitura de LOG", 2, false},
    {"Menu110", "Leitura de Memória Fiscal", 2, false},
    {"Menu104", "Leitura X", 2, false},
    {"Menu099", "Leitura SINTEGRA", 2, false},
    {"Menu094", "Leitura de Cadastro", 2, false},
    {"Menu101", "de Clientes", 3, false},
    {"Menu152", "de Configuração de Descontos/Acréscimos", 3, false},
    {"Menu146", "de Configuração de Finalizadoras", 3, false},
    {"Menu155", "de Configuração de Mensagem de Venda", 3, false},
    {"Menu150", "de Configuração de Parâmetros Diversos/Periféricos", 3, false},
    {"Menu147", "de Grupos de Depto", 3, false},
    {"Menu098", "de Departamentos", 3, false},
    {"Menu096", "de Produtos", 3, false},
    {"Menu124", "de Operadores", 3, false},
    {"Menu100", "de Vendedores", 3, false},
    {"Menu095", "Leitura de Relatório de Vendas", 2, false},
    {"Menu105", "por Produtos", 3, false},
    {"Menu106", "por Depto", 3, false},
    {"Menu107", "por Operador", 3, false},
    {"Menu108", "por Produtos II", 3, false},
    {"Menu109", "por Horário", 3, false},
    {"LeituraSINTEGRADiario1", "Gerar arquivo diario", 2, false},
    {"Menu035", "Limpeza de LOG", 1, false},
    {"Sobre", "&Sobre", 0, false},
    {"Y3", "Kaslo Roza ®...", 1, false},
    {"Sair", "Sair", 0, false},
};

void Walk(const QList<QAction*>& actions, int depth, std::vector<Shown>& out) {
  for (QAction* a : actions) {
    if (QMenu* sub = a->menu()) {
      out.push_back({sub->objectName(), sub->title(), depth, !a->isVisible()});
      Walk(sub->actions(), depth + 1, out);
    } else {
      out.push_back({a->objectName(), a->isSeparator() ? QStringLiteral("-") : a->text(), depth, !a->isVisible()});
    }
  }
}

}  // namespace

class TFMenuTest : public QObject {
  Q_OBJECT

 private:
  fs::path dir_;
  int case_ = 0;

  QAction* Item(TFMenu& menu, const char* name) {
    for (QAction* a : menu.findChildren<QAction*>()) {
      if (a->objectName() == QLatin1String(name)) return a;
    }
    return nullptr;
  }

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("kaslo_roza")); }

  void init() {
    dir_ = fs::temp_directory_path() / ("kaslo_tfmenu_" + std::to_string(QCoreApplication::applicationPid()) + "_" +
                                        std::to_string(++case_));
    fs::remove_all(dir_);
    db::InstallDataDirectory(dir_, {.demo = true});
  }
  void cleanup() { fs::remove_all(dir_); }

  void menuMatchesTheSystemsMenu() {
    ScriptedMessages messages;
    TFMenu menu(dir_);
    std::vector<Shown> shown;
    Walk(menu.menuBar()->actions(), 0, shown);
    QCOMPARE(shown.size(), kExpectedMenu.size());
    for (size_t i = 0; i < shown.size(); ++i) {
      QCOMPARE(shown[i].name, kExpectedMenu[i].name);
      QCOMPARE(shown[i].caption, kExpectedMenu[i].caption);
      QCOMPARE(shown[i].depth, kExpectedMenu[i].depth);
      QCOMPARE(shown[i].hidden, kExpectedMenu[i].hidden);
    }
    QCOMPARE(Item(menu, "Sair")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
    QVERIFY(messages.messages().empty());
  }

  void anItemWithoutItsWindowIsDisabledAndTheLinkedOnesAreNot() {
    ScriptedMessages messages;
    {
      TFMenu menu(dir_);
      for (const char* own : {"Menu028", "Conversobancodadados1", "LeituraSINTEGRADiario1", "Y3", "Sair"})
        QVERIFY2(Item(menu, own)->isEnabled(), own);
      for (const char* window : {"Menu005", "Menu002_AR", "Menu120", "Menu129", "Menu133", "Menu135", "Menu137_AR",
                                 "Menu138_AR", "Menu126_AR", "Menu033", "Menu034"})
        QVERIFY2(Item(menu, window)->isEnabled(), window);
    }
    const WindowOpener* linked = FindWindowOpener("TFExpoImpNlu");
    QVERIFY(linked);
    const WindowOpener real = *linked;
    UnregisterWindow("TFExpoImpNlu");
    bool export_enabled = true;
    bool import_enabled = true;
    {
      TFMenu menu(dir_);
      export_enabled = Item(menu, "Menu033")->isEnabled();
      import_enabled = Item(menu, "Menu034")->isEnabled();
    }
    RegisterWindow("TFExpoImpNlu", real);
    QVERIFY(!export_enabled && !import_enabled);
  }

  void communicationItemsOpenTheWindow() {
    ScriptedMessages messages;
    TFMenu menu(dir_);
    for (const char* item : {"Menu093", "Menu122", "Menu118", "Menu092", "Menu111", "Menu110", "Menu104", "Menu099", "Menu101", "Menu147",
                             "Menu098", "Menu096", "Menu124", "Menu100", "Menu105", "Menu109", "Menu035", "Menu146",
                             "Menu150", "Menu152", "Menu155"})
      QVERIFY2(Item(menu, item)->isEnabled(), item);
  }

  void mainWindowLooksAsItShould() {
    ScriptedMessages messages;
    TFMenu menu(dir_);
    QCOMPARE(menu.windowTitle(), QStringLiteral("Kaslo Roza ® v") + QString::fromStdString(VersaoArquivo()));
    QCOMPARE(menu.centralWidget()->size(), QSize(732, 515));
    QCOMPARE(menu.centralWidget()->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(menu.minimumSize(), menu.maximumSize());
    QVERIFY(!(menu.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(menu.windowFlags() & Qt::WindowMinimizeButtonHint);
    auto* logo = menu.findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(logo && !logo->pixmap().isNull());
    QCOMPARE(logo->geometry(), QRect(0, 0, 732, 478));
    QVERIFY(menu.findChild<TFIndexa*>(QStringLiteral("FIndexa")));
  }

  void registeredWindowOpensWithTheItemsTag() {
    std::vector<OpenContext> opened;
    const WindowOpener* linked = FindWindowOpener("TFCargaTcp");
    const WindowOpener real = linked ? *linked : WindowOpener{};
    RegisterWindow("TFCargaTcp", [&](const OpenContext& c) { opened.push_back(c); });
    const WindowOpener* linked_nlu = FindWindowOpener("TFExpoImpNlu");
    const WindowOpener real_nlu = linked_nlu ? *linked_nlu : WindowOpener{};
    RegisterWindow("TFExpoImpNlu", [&](const OpenContext& c) { opened.push_back(c); });
    ScriptedMessages messages;
    {
      TFMenu menu(dir_);
      QVERIFY(Item(menu, "Menu092")->isEnabled());
      Item(menu, "Menu092")->trigger();
      Item(menu, "Menu035")->trigger();
      Item(menu, "Menu034")->trigger();
      QCOMPARE(opened.size(), size_t{3});
      QCOMPARE(opened[0].tag, 181);
      QCOMPARE(opened[0].owner, static_cast<QWidget*>(&menu));
      QCOMPARE(opened[0].data_dir, dir_);
      QCOMPARE(opened[1].tag, 87);
      QCOMPARE(opened[2].tag, 1);
    }
    if (real) {
      RegisterWindow("TFCargaTcp", real);
    } else {
      UnregisterWindow("TFCargaTcp");
    }
    if (real_nlu) {
      RegisterWindow("TFExpoImpNlu", real_nlu);
    } else {
      UnregisterWindow("TFExpoImpNlu");
    }
    QVERIFY(messages.messages().empty());
  }

  void conversionAsksThenConverts() {
    ScriptedMessages messages;
    TFMenu menu(dir_);
    messages.QueueConfirm(false);
    Item(menu, "Conversobancodadados1")->trigger();
    messages.QueueConfirm(true);
    Item(menu, "Conversobancodadados1")->trigger();
    QCOMPARE(messages.messages().size(), size_t{3});
    QCOMPARE(messages.messages()[0].title, std::string("ATENÇÃO"));
    QCOMPARE(messages.messages()[1].kind, MessageKind::kConfirm);
    QCOMPARE(messages.messages()[2].kind, MessageKind::kInformation);
    // The backup of the table as it was is named on the last line.
    const std::vector<db::BackupInfo> backups = db::ListBackups(db::Database(dir_));
    QCOMPARE(backups.size(), size_t{1});
    QCOMPARE(backups.back().operation, std::string("conversao-estoque"));
    QCOMPARE(messages.messages()[2].text, "Operação realizada\rCópia de segurança: backup/" + backups.back().name);
  }

  void dailySintegraAsksThePeriodAndReportsEachTerminal() {
    ScriptedMessages messages;
    TFMenu menu(dir_);
    messages.QueueInput(std::nullopt);
    Item(menu, "LeituraSINTEGRADiario1")->trigger();
    QCOMPARE(messages.messages().size(), size_t{1});
    QCOMPARE(messages.messages()[0].title, std::string("Digite o mês e ano (MM/AAAA)"));
    QCOMPARE(messages.messages()[0].text, std::string("Prompt"));

    // The demo terminals have no LOG text yet: each one fails with its box.
    messages.Clear();
    messages.QueueInput(std::string("11/2026"));
    Item(menu, "LeituraSINTEGRADiario1")->trigger();
    const std::vector<std::string> texts = messages.texts();
    QVERIFY(!texts.empty());
    QCOMPARE(texts.back(), std::string("Houve erros na geração dos arquivos Sintegra"));
  }

  void engineErrorOfACommandIsShownAndTheMenuGoesOn() {
    ScriptedMessages messages;
    TFMenu menu(dir_);
    fs::remove(db::Database(dir_).find("YCOPRO.DBF"));
    messages.QueueConfirm(true);
    Item(menu, "Conversobancodadados1")->trigger();
    QCOMPARE(messages.messages().size(), size_t{2});
    QCOMPARE(messages.messages()[1].kind, MessageKind::kError);
    QVERIFY(messages.messages()[1].text.find("YCOPRO") != std::string::npos);
  }

  void startupErrorIsShownAndTheWindowOpensAllTheSame() {
    db::Database db(dir_);
    fs::remove(db.find("YCOTRB.DBF"));
    fs::remove(db.find("YCOTRB.MDX"));
    ScriptedMessages messages;
    TFMenu menu(dir_);
    QCOMPARE(messages.messages().size(), size_t{1});
    QCOMPARE(messages.messages()[0].kind, MessageKind::kError);
    QVERIFY(messages.messages()[0].text.find("YCOTRB") != std::string::npos);
    QVERIFY(!menu.findChild<TFIndexa*>()->isVisible());
    QVERIFY(menu.windowTitle().startsWith(QStringLiteral("Kaslo Roza ® v")));
  }

  void unusableDataDirectoryEndsBeforeTheMainWindow() {
    ScriptedMessages messages;
    const fs::path missing = dir_ / "nao_existe";
    QVERIFY(CreateMainWindow(missing) == nullptr);
    QCOMPARE(messages.texts(), std::vector<std::string>{"Diretório de dados não encontrado !\r" + missing.string()});
    QCOMPARE(messages.messages()[0].kind, MessageKind::kInformation);
    QVERIFY(QApplication::topLevelWidgets().empty() ||
            std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                         [](QWidget* w) { return qobject_cast<TFMenu*>(w) != nullptr; }));
  }

  void reindexFromTheMenuRebuildsTheIndexes() {
    ScriptedMessages messages;
    TFMenu menu(dir_);
    db::Database db(dir_);
    const fs::path mdx = db.find("YCOPRO.MDX");
    Item(menu, "Menu028")->trigger();
    QVERIFY(fs::exists(mdx));
    QVERIFY(db.exists("YCOETQ.MDX"));
    QVERIFY(!menu.findChild<TFIndexa*>()->isVisible());
    QVERIFY(messages.messages().empty());
  }

  void aboutShowsTheVersionAndAKeyClosesIt() {
    ScriptedMessages messages;
    TFMenu menu(dir_);
    QString version;
    bool closed_by_key = false;
    WhenModal([&](QWidget* w) {
      auto* sobre = qobject_cast<TFSobre*>(w);
      QVERIFY(sobre);
      version = sobre->findChild<QLabel*>(QStringLiteral("lbl_versao"))->text();
      QTest::keyClick(sobre, Qt::Key_Space);
      closed_by_key = !sobre->isVisible();
    });
    Item(menu, "Y3")->trigger();
    QVERIFY(closed_by_key);
    QCOMPARE(version, QStringLiteral("Versão  ") + QString::fromStdString(VersaoArquivo()));

    bool closed_by_click = false;
    WhenModal([&](QWidget* w) {
      QTest::mouseClick(w->findChild<QLabel*>(QStringLiteral("lbl_versao")), Qt::LeftButton);
      closed_by_click = !w->isVisible();
    });
    Item(menu, "Y3")->trigger();
    QVERIFY(closed_by_click);
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::TFMenuTest)
#include "TFMenu_test.moc"
