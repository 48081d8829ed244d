// The register viewer offscreen, opened through the window registry as the
// communication window opens it, on a demo data directory with the received
// files written by the tests: what the grid, caption and labels show, and
// the replacements driven by the buttons and the scripted confirmation.
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QtTest>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "common/testing/scripted_messages.h"
#include "common/text.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/qt_text.h"
#include "db/database.h"
#include "db/install.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoven.h"
#include "db/tables/ycoycf.h"
#include "viewers/register_viewer.h"
#include "viewers/ui/TFTcpViewCad.h"
#include "viewers/ui/viewer_test_support.h"

namespace fs = std::filesystem;

namespace kaslo::ui {

using kaslo::testing::MessageKind;
using kaslo::testing::RecordingProgress;
using kaslo::testing::ScriptedMessages;

namespace {

const std::string kConfirma = "Confirma substituir todos os dados do Cadastro, pelos dados selecionados ?";

std::string Lower(std::string_view s) {
  std::string lower(s);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Two operators, 78 characters: code 0000 (shown, never written) and code 7,
// a manager (13th flag "S") allowed to cancel items (3rd flag).
const std::string kOperators = "0000" + CompletaDireita("ZERO", 15) + "1111" + std::string(16, 'N') + "0007" +
                               CompletaDireita("ANA", 15) + "4321" + "NNSNNNNNNNNNSNNN";

// A text record: a code and a text padded to its width.
std::string Rec(const std::string& code, const std::string& text, int width) {
  return code + CompletaDireita(text, width);
}

// A product record of the terminal (80 or 86 bytes).
std::string ProductRecord(const std::string& plu, const std::string& descr, const std::string& dep, uint8_t flags,
                          size_t length) {
  std::string r = CompactaBCD(plu) + CompletaDireita(descr, 20) + CompactaBCD("00000150") + CompactaBCD("01") +
                  CompactaBCD(dep) + CompactaBCD("000000000000") + std::string(36, '\0') +
                  CompactaBCD("00012050") + std::string(1, static_cast<char>(flags)) + "3";
  r.resize(length, '\0');
  return r;
}

std::string ClientRecord(const std::string& code4, const std::string& tax14, const std::string& name, char status) {
  return CompactaBCD(code4 + tax14) + CompletaDireita(name, 30) + CompletaDireita("RUA A", 40) +
         CompletaDireita("", 40) + std::string(1, status) + std::string(8, ' ');
}

QString Q(const std::string& utf8) { return FromUtf8(utf8); }

}  // namespace

class TFTcpViewCadTest : public QObject {
  Q_OBJECT

 private:
  fs::path dir_;
  int case_ = 0;

  fs::path Write(const std::string& name, const std::string& bytes) {
    fs::path p = dir_ / name;
    std::ofstream out(p, std::ios::binary);
    out << bytes;
    return p;
  }

  std::string Completa(const std::string& operation) const {
    return viewer_test::CompletaWithBackup(dir_, operation);
  }

  OpenContext Context(int kind, const std::string& title, const std::string& file) {
    OpenContext context;
    context.data_dir = dir_;
    context.tag = kind;
    context.title = title;
    context.terminal = "1";
    context.address = "127.0.0.1";
    context.file = dir_ / file;
    return context;
  }

  // Opens the viewer as the communication window does, runs act on it once
  // its display is done, and closes it if act left it open. False when no
  // viewer appeared.
  bool Open(const OpenContext& context, const std::function<void(TFTcpViewCad&)>& act) {
    const WindowOpener* opener = FindWindowOpener("TFTcpViewCad");
    return opener && viewer_test::OnViewer([&] { (*opener)(context); }, act);
  }

  static QTableWidget* GridOf(TFTcpViewCad& v) { return viewer_test::GridOf(v); }
  static QString Text(TFTcpViewCad& v, const char* label) {
    return v.findChild<QLabel*>(QString::fromLatin1(label))->text();
  }
  static void Click(TFTcpViewCad& v, const char* button) {
    QTest::mouseClick(v.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
  }
  static QStringList Headers(QTableWidget* grid) {
    QStringList h;
    for (int c = 0; c < grid->columnCount(); ++c) h << grid->horizontalHeaderItem(c)->text();
    return h;
  }
  static QString Cell(QTableWidget* grid, int r, int c) { return viewer_test::Cell(grid, r, c); }

  size_t Rows(std::string_view table) { return db::Database(dir_).open(table)->recordCount(); }

  // Every file of the data directory with its bytes.
  std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      std::ifstream in(entry.path(), std::ios::binary);
      files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
  }

  void WriteProducts(char model, size_t length) {
    Write("Sid1.rec", std::string(21, '0') + model + "000\r\n");
    std::string bytes;
    // Department 9 belongs to no group; 5 is in group 2.
    bytes += ProductRecord("000000001234", "ARROZ TIPO 1", "05", 0x01, length);
    bytes += ProductRecord("000000001235", "OLEO", "09", 0x08, length);
    bytes += ProductRecord("000000001236", "FIO", "05", 0x21, length);
    for (int i = 4; i <= 10; ++i) bytes += ProductRecord(NumeroComZeros(12, 0, 2000 + i), "ITEM", "01", 0, length);
    Write("SProds1.rec", bytes);
  }

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("kaslo_roza")); }

  void init() {
    dir_ = fs::temp_directory_path() /
           ("kaslo_tftcpviewcad_" + std::to_string(QCoreApplication::applicationPid()) + "_" + std::to_string(++case_));
    fs::remove_all(dir_);
    db::InstallDataDirectory(dir_, {.demo = true});
  }
  void cleanup() { fs::remove_all(dir_); }

  void operatorsAreShownAndReplaced() {
    ScriptedMessages messages;
    fs::path file = Write("Suser1.rec", kOperators + "\r\n");
    kaslo::viewers::FileStamp stamp = kaslo::viewers::ReceptionFileStamp(file);
    bool ran = Open(Context(8, "Leitura do Cadastro de Operadores", "Suser1.rec"), [&](TFTcpViewCad& v) {
      QCOMPARE(v.windowTitle(), Q("Leitura do Cadastro de Operadores - Total de Registros [ 2 ]"));
      QCOMPARE(v.minimumSize(), v.maximumSize());
      QCOMPARE(v.findChild<QGroupBox*>(QStringLiteral("GBTer"))->title(), Q("  Dados do Terminal  "));
      QCOMPARE(v.findChild<QGroupBox*>(QStringLiteral("GBGeral"))->title(), Q("  Dados do Cadastro  "));
      QCOMPARE(v.findChild<QPushButton*>(QStringLiteral("BtnSub"))->text(), Q("&Substituir Cadastro"));
      QCOMPARE(v.findChild<QPushButton*>(QStringLiteral("btnCancela"))->text(), Q("&Fechar"));
      QCOMPARE(Text(v, "lbl_estacao"), Q("1"));
      QCOMPARE(Text(v, "lbl_ter_ecfser"), Q("127.0.0.1"));
      QCOMPARE(Text(v, "lblDate"), Q(stamp.date));
      QCOMPARE(Text(v, "lblHr"), Q(stamp.time));
      QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d/\\d\\d/\\d{4}$")).match(Text(v, "lblDate")).hasMatch());

      QTableWidget* grid = GridOf(v);
      QVERIFY(grid->isVisible());
      QCOMPARE(Headers(grid), QStringList({Q("Código"), Q("Nome do Operador"), Q("Gerente"), Q("Senha"),
                                           Q("Desc.Item"), Q("Desc.SubTot."), Q("Canc.Item"), Q("Canc.Cupom"),
                                           Q("Leitura X"), Q("Redução Z"), Q("Sangria"), Q("Fundo de Cx."),
                                           Q("Limite"), Q("Relatórios"), Q("Acr.Item"), Q("Acr.SubTot.")}));
      QCOMPARE(grid->rowCount(), 2);
      QCOMPARE(Cell(grid, 0, 0), Q("0"));
      QCOMPARE(Cell(grid, 1, 0), Q("7"));
      QCOMPARE(Cell(grid, 1, 1), Q("ANA            "));
      QCOMPARE(Cell(grid, 1, 2), Q("SIM"));
      QCOMPARE(Cell(grid, 0, 2), Q("NÃO"));
      QCOMPARE(Cell(grid, 1, 3), Q("4321"));
      QCOMPARE(Cell(grid, 1, 6), Q("SIM"));
      // The code column is the fixed one: it cannot be selected.
      QVERIFY(!(grid->item(1, 0)->flags() & Qt::ItemIsSelectable));
      QVERIFY(grid->item(1, 1)->flags() & Qt::ItemIsSelectable);

      messages.QueueConfirm(true);
      Click(v, "BtnSub");
      QVERIFY(v.isVisible());  // the window stays open after a replacement
    });
    QVERIFY(ran);
    QCOMPARE(messages.texts(), (std::vector<std::string>{kConfirma, Completa("substituicao-ycoope")}));
    QCOMPARE(messages.messages()[0].kind, MessageKind::kConfirm);
    // Replacing a whole register is not what Enter should do by itself.
    QCOMPARE(messages.messages()[0].default_answer, kaslo::DefaultAnswer::kNo);
    QCOMPARE(messages.messages()[1].kind, MessageKind::kInformation);

    db::Database db(dir_);
    auto ope = db.open(ycoope::kTable);
    QCOMPARE(ope->recordCount(), uint32_t{1});
    ope->first();
    QCOMPARE(ope->asInteger(ycoope::OPE_CODIGO), int64_t{7});
    QCOMPARE(ope->getString(ycoope::OPE_PERFIL), std::string("S"));
    QCOMPARE(ope->asInteger(ycoope::OPE_SENHA), int64_t{4321});
    QCOMPARE(ope->getString(ycoope::OPE_CITEM), std::string("S"));
    QCOMPARE(ope->getString(ycoope::OPE_DITEM), std::string("N"));
  }

  void everyRegisterIsReplacedThroughTheWindow() {
    struct Case {
      int kind;
      const char* title;
      const char* file;
      std::string bytes;
      std::string_view table;
      int shown;
      size_t rows_after;
      QString first_cells;  // the first row's cells, joined by "|"
    };
    const std::vector<Case> cases = {
        {9, "Leitura do Cadastro de Vendedores", "Svend1.rec", Rec("0003", "JOANA", 15) + Rec("0004", "PEDRO", 15),
         ycoven::kTable, 2, 2, Q("3|JOANA          ")},
        // The department's code is its first two characters, whatever the next two hold.
        {11, "Leitura do Cadastro de Departamentos", "Sdepto1.rec",
         Rec("05XY", "\xC1GUA NOVA", 15) + Rec("0900", "SEM GRUPO", 15), ycodep::kTable, 2, 2,
         Q("5|ÁGUA NOVA      ")},
        // Three group rows replaced, the eight membership rows kept.
        {10, "Leitura do Cadastro de Grupos de Depto", "Sgrpdepto1.rec",
         Rec("01", "SECOS E MOLHADOS", 20) + Rec("02", "FRESCOS", 20) + Rec("03", "OUTROS", 20), ycogrp::kTable, 3, 11,
         Q("1|SECOS E MOLHADOS    ")},
        // A 300-byte file: two clients, the last 44 bytes ignored.
        {16, "Leitura do Cadastro de Clientes", "SClient1.rec",
         ClientRecord("0012", "11222333000181", "MERCADO BOM", '1') +
             ClientRecord("0013", "00012345678909", "PESSOA", '7') +
             ClientRecord("0014", "00000000000000", "C", '0').substr(0, 44),
         ycocli::kTable, 2, 2, Q("0012|11.222.333/0001-81|MERCADO BOM|RUA A||AMARELO")},
    };
    for (const Case& c : cases) {
      Write(c.file, c.bytes);
      ScriptedMessages messages;
      bool ran = Open(Context(c.kind, c.title, c.file), [&](TFTcpViewCad& v) {
        QTableWidget* grid = GridOf(v);
        QCOMPARE(grid->rowCount(), c.shown);
        QStringList cells;
        for (int col = 0; col < grid->columnCount(); ++col) cells << Cell(grid, 0, col);
        QCOMPARE(cells.join(QLatin1Char('|')), c.first_cells);
        QCOMPARE(v.windowTitle(), Q(c.title) + QStringLiteral(" - Total de Registros [ %1 ]").arg(c.shown));
        messages.QueueConfirm(true);
        Click(v, "BtnSub");
      });
      QVERIFY2(ran, c.title);
      QCOMPARE(messages.texts(), (std::vector<std::string>{kConfirma, Completa("substituicao-" + Lower(c.table))}));
      QCOMPARE(Rows(c.table), c.rows_after);
    }

    db::Database db(dir_);
    auto grp = db.open(ycogrp::kTable);
    for (grp->first(); !grp->eof(); grp->next()) {
      if (grp->asInteger(ycogrp::GRP_CODIGO) == 2) QCOMPARE(grp->getString(ycogrp::GRP_DESCR), std::string("FRESCOS"));
    }
    auto cli = db.open(ycocli::kTable, {.tag = "Um"});
    QVERIFY(cli->findKey(13));
    QCOMPARE(cli->getString(ycocli::CLI_STATUS), std::string("2"));
  }

  void noAtTheConfirmationLeavesEveryTableUntouched() {
    Write("Suser1.rec", kOperators);
    Write("Svend1.rec", Rec("0003", "JOANA", 15));
    Write("Sgrpdepto1.rec", Rec("01", "SECOS E MOLHADOS", 20));
    Write("Sdepto1.rec", Rec("0501", "ACOUGUE", 15));
    Write("SClient1.rec", ClientRecord("0012", "11222333000181", "MERCADO BOM", '1'));
    WriteProducts('3', 80);
    const auto before = Snapshot();
    const std::pair<int, const char*> kinds[] = {{8, "Suser1.rec"},     {9, "Svend1.rec"},   {10, "Sgrpdepto1.rec"},
                                                 {11, "Sdepto1.rec"},   {16, "SClient1.rec"}, {18, "SProds1.rec"}};
    for (const auto& [kind, file] : kinds) {
      ScriptedMessages messages;
      bool closed = false;
      bool ran = Open(Context(kind, "Leitura", file), [&](TFTcpViewCad& v) {
        QVERIFY(GridOf(v)->rowCount() > 0);
        messages.QueueConfirm(false);
        Click(v, "BtnSub");
        QVERIFY(v.isVisible());
        Click(v, "btnCancela");
        closed = !v.isVisible() && v.result() == QDialog::Rejected;
      });
      QVERIFY(ran);
      QVERIFY2(closed, file);
      QCOMPARE(messages.texts(), std::vector<std::string>{kConfirma});
    }
    QVERIFY(before == Snapshot());
  }

  void productsAreShownWithAProgressStepPerRecordAndReplaced() {
    ScriptedMessages messages;
    RecordingProgress progress;
    // An identification whose 22nd character is "5": 86-byte records, 860 bytes, 10 products.
    WriteProducts('5', 86);
    QCOMPARE(fs::file_size(dir_ / "SProds1.rec"), uintmax_t{860});
    QVERIFY(Rows(ycobar::kTable) > 0);
    std::vector<double> codes;
    bool ran = Open(Context(18, "Leitura do Cadastro de Produtos", "SProds1.rec"), [&](TFTcpViewCad& v) {
      QCOMPARE(v.windowTitle(), Q("Leitura do Cadastro de Produtos - Total de Registros [ 10 ]"));
      QCOMPARE(progress.texts(), std::vector<std::string>{"Aguarde, processando arquivos recebidos..."});
      QVERIFY(!progress.visible());
      QTableWidget* grid = GridOf(v);
      QCOMPARE(Headers(grid), QStringList({Q("Código"), Q("Descrição Resumida"), Q("Preço"), Q("Tributação"),
                                           Q("Depto"), Q("Qtde Vendida"), Q("Casas Dec."), Q("Litrado"),
                                           Q("Pesado"), Q("Grupo"), Q("Estoque")}));
      QCOMPARE(grid->rowCount(), 10);
      // The demo store's codes carry their check digit.
      QCOMPARE(Cell(grid, 0, 0), Q("1234-8"));
      QCOMPARE(Cell(grid, 0, 1), Q("ARROZ TIPO 1"));
      QCOMPARE(Cell(grid, 0, 2), Q("1.50"));
      QCOMPARE(Cell(grid, 0, 4), Q("05"));
      QCOMPARE(Cell(grid, 0, 8), Q("KG"));
      QCOMPARE(Cell(grid, 0, 10), Q("12.050"));
      QCOMPARE(Cell(grid, 1, 7), Q("SIM"));
      QCOMPARE(Cell(grid, 1, 8), Q("UN"));
      QCOMPARE(Cell(grid, 2, 8), Q("OU"));
      for (int r = 0; r < 2; ++r) codes.push_back(Cell(grid, r, 0).remove(QLatin1Char('-')).toDouble());

      messages.QueueConfirm(true);
      Click(v, "BtnSub");
    });
    QVERIFY(ran);
    QCOMPARE(messages.texts(), (std::vector<std::string>{kConfirma, Completa("substituicao-produtos")}));
    QVERIFY(progress.Saw("Aguarde, processando registros atuais..."));
    QVERIFY(!progress.visible());

    db::Database db(dir_);
    QVERIFY(!db.exists("propro.dbf"));
    QVERIFY(!db.exists("barbar.dbf"));
    QCOMPARE(Rows(ycobar::kTable), size_t{0});
    auto pro = db.open(ycopro::kTable, {.tag = "Um"});
    QCOMPARE(pro->recordCount(), uint32_t{10});
    QCOMPARE(codes.size(), size_t{2});
    QVERIFY(pro->findKey(codes[0]));
    QCOMPARE(codes[0], 12348.0);
    QCOMPARE(pro->getString(ycopro::PRO_PESAD), std::string("S"));
    QCOMPARE(pro->asInteger(ycopro::PRO_GRUPO), int64_t{2});
    QCOMPARE(pro->asNumber(ycopro::PRO_ESTQ), 12.05);
    QVERIFY(pro->findKey(codes[1]));
    QCOMPARE(pro->getString(ycopro::PRO_PESAD), std::string("N"));
    QCOMPARE(pro->getString(ycopro::PRO_LITRAD), std::string("S"));
    QCOMPARE(pro->asInteger(ycopro::PRO_GRUPO), int64_t{1});  // department 9 has no group
  }

  void pricesShowAndKeepTheDecimalsOfTheirProduct() {
    {
      // The store sells this rice with three decimals.
      auto pro = db::Database(dir_).open(ycopro::kTable);
      pro->append();
      pro->setNumber(ycopro::PRO_PLU, 12348);
      pro->setString(ycopro::PRO_CASAD, "3");
      pro->setNumber(ycopro::PRO_PCOVEN, 0.15);
      QVERIFY(pro->post());
    }
    WriteProducts('3', 80);
    ScriptedMessages messages;
    bool ran = Open(Context(18, "Leitura do Cadastro de Produtos", "SProds1.rec"), [&](TFTcpViewCad& v) {
      QTableWidget* grid = GridOf(v);
      QCOMPARE(Cell(grid, 0, 0), Q("1234-8"));
      QCOMPARE(Cell(grid, 0, 2), Q("0.150"));
      QCOMPARE(Cell(grid, 0, 6), Q("3"));
      // A code the table does not have: two decimals.
      QCOMPARE(Cell(grid, 1, 2), Q("1.50"));
      QCOMPARE(Cell(grid, 1, 6), Q("2"));
      messages.QueueConfirm(true);
      Click(v, "BtnSub");
    });
    QVERIFY(ran);
    QCOMPARE(messages.texts(), (std::vector<std::string>{kConfirma, Completa("substituicao-produtos")}));
    auto pro = db::Database(dir_).open(ycopro::kTable, {.tag = "Um"});
    QVERIFY(pro->findKey(12348));
    QCOMPARE(pro->getString(ycopro::PRO_CASAD), std::string("3"));
    QCOMPARE(pro->asNumber(ycopro::PRO_PCOVEN), 0.15);
  }

  void aProductFileOfTornRecordsIsRefusedAndCannotReplace() {
    // A fourth-model identification: 86-byte records, and 800 bytes are not
    // a whole number of them.
    WriteProducts('4', 80);
    const auto before = Snapshot();
    ScriptedMessages messages;
    bool ran = Open(Context(18, "Leitura do Cadastro de Produtos", "SProds1.rec"), [&](TFTcpViewCad& v) {
      QCOMPARE(GridOf(v)->rowCount(), 0);
      QCOMPARE(GridOf(v)->columnCount(), 11);
      QVERIFY(!v.findChild<QPushButton*>(QStringLiteral("BtnSub"))->isEnabled());
      Click(v, "BtnSub");
    });
    QVERIFY(ran);
    QCOMPARE(messages.texts(), std::vector<std::string>{"Arquivo SProds1.rec com tamanho inválido (800 bytes) !"});
    QCOMPARE(messages.messages()[0].kind, MessageKind::kInformation);
    QVERIFY(before == Snapshot());
  }

  void productsWithoutAUsableIdentificationShowWhyAndNoRows() {
    WriteProducts('5', 86);
    for (const std::string& id : {std::string(), std::string("TERMINAL 1 MODELO\r\n5")}) {
      fs::remove(dir_ / "Sid1.rec");
      if (!id.empty()) Write("Sid1.rec", id);
      ScriptedMessages messages;
      bool ran = Open(Context(18, "Leitura do Cadastro de Produtos", "SProds1.rec"), [&](TFTcpViewCad& v) {
        QCOMPARE(GridOf(v)->rowCount(), 0);
        QCOMPARE(GridOf(v)->columnCount(), 11);
        QCOMPARE(v.windowTitle(), Q("Leitura do Cadastro de Produtos - Total de Registros [ 0 ]"));
        // Nothing to replace Ycopro with.
        QVERIFY(!v.findChild<QPushButton*>(QStringLiteral("BtnSub"))->isEnabled());
      });
      QVERIFY(ran);
      QCOMPARE(messages.texts(), std::vector<std::string>{"Arquivo de identificação do terminal não encontrado ou "
                                                          "inválido: " + (dir_ / "Sid1.rec").string()});
      QCOMPARE(messages.messages()[0].kind, MessageKind::kInformation);
    }
  }

  void productsInUseElsewhereLeaveBothTables() {
    ScriptedMessages messages;
    WriteProducts('3', 80);
    const auto before = Snapshot();
    bool ran = Open(Context(18, "Leitura do Cadastro de Produtos", "SProds1.rec"), [&](TFTcpViewCad& v) {
      // Another workstation has the product table open.
      db::Database other(dir_);
      auto held = other.open(ycopro::kTable);
      messages.QueueConfirm(true);
      Click(v, "BtnSub");
    });
    QVERIFY(ran);
    QCOMPARE(messages.texts(),
             (std::vector<std::string>{kConfirma,
                                       "Erro ao tentar atualizar tabela de produtos !\rCertifique-se de que nenhuma "
                                       "estação de trabalho esteja\rutilizando o cadastro de produtos."}));
    auto after = Snapshot();
    for (const char* name : {"YCOPRO.DBF", "YCOPRO.MDX", "YCOBAR.DBF", "YCOBAR.MDX"}) {
      QVERIFY2(after.count(name) && after[name] == before.at(name), name);
    }
  }

  void anEngineErrorIsShownWithItsTextAndTheWindowGoesOn() {
    ScriptedMessages messages;
    Write("Svend1.rec", Rec("0003", "JOANA", 15));
    bool ran = Open(Context(9, "Leitura do Cadastro de Vendedores", "Svend1.rec"), [&](TFTcpViewCad& v) {
      fs::remove(db::Database(dir_).find("YCOVEN.DBF"));
      messages.QueueConfirm(true);
      Click(v, "BtnSub");
      QVERIFY(v.isVisible());
      QCOMPARE(GridOf(v)->rowCount(), 1);
    });
    QVERIFY(ran);
    QCOMPARE(messages.messages().size(), size_t{2});
    QCOMPARE(messages.messages()[1].kind, MessageKind::kError);
    QVERIFY(QString::fromStdString(messages.messages()[1].text).contains(QStringLiteral("YCOVEN"), Qt::CaseInsensitive));
  }

  void aMissingReceptionFileIsAnEmptyRegister() {
    ScriptedMessages messages;
    bool ran = Open(Context(9, "Leitura do Cadastro de Vendedores", "Svend1.rec"), [&](TFTcpViewCad& v) {
      QCOMPARE(GridOf(v)->rowCount(), 0);
      QCOMPARE(v.windowTitle(), Q("Leitura do Cadastro de Vendedores - Total de Registros [ 0 ]"));
      QCOMPARE(Text(v, "lblDate"), QString());
    });
    QVERIFY(ran);
    QVERIFY(messages.messages().empty());
  }

  void storeConfigurationShowsNoRowsAndYesWritesNothing() {
    ScriptedMessages messages;
    Write("Scodbarra1.rec", "PN00000");
    const auto before = Snapshot();
    bool ran = Open(Context(17, "Leitura de Configuração da Loja", "Scodbarra1.rec"), [&](TFTcpViewCad& v) {
      QCOMPARE(GridOf(v)->rowCount(), 0);
      QCOMPARE(v.windowTitle(), Q("Leitura de Configuração da Loja - Total de Registros [ 0 ]"));
      messages.QueueConfirm(true);
      Click(v, "BtnSub");
    });
    QVERIFY(ran);
    QCOMPARE(messages.texts(), std::vector<std::string>{kConfirma});
    QVERIFY(before == Snapshot());
  }

  void viewOnlyReadingsHideTheReplacement() {
    ScriptedMessages messages;
    RecordingProgress progress;
    Write("Sdatahora1.rec", "091220261435");
    Write("Sheader1.rec", CompletaDireita("MERCADO BOM PRECO LTDA", 42) + "SN");
    bool ran = Open(Context(19, "Leitura de Data e Hora do Equipamento", "Sdatahora1.rec"), [&](TFTcpViewCad& v) {
      auto* sub = v.findChild<QPushButton*>(QStringLiteral("BtnSub"));
      QVERIFY(!sub->isVisible());
      QVERIFY(!sub->isEnabled());
      QTableWidget* grid = GridOf(v);
      QCOMPARE(Headers(grid), QStringList({Q("Data"), Q("Horário")}));
      QCOMPARE(Cell(grid, 0, 0), Q("09/12/2026"));
      QCOMPARE(Cell(grid, 0, 1), Q("14:35"));
      QCOMPARE(v.windowTitle(), Q("Leitura de Data e Hora do Equipamento - Total de Registros [ 1 ]"));
    });
    QVERIFY(ran);
    // The clock is read without the progress window.
    QVERIFY(progress.texts().empty());
    ran = Open(Context(24, "Leitura dos dados da loja", "Sheader1.rec"), [&](TFTcpViewCad& v) {
      QVERIFY(!v.findChild<QPushButton*>(QStringLiteral("BtnSub"))->isVisible());
      QTableWidget* grid = GridOf(v);
      QCOMPARE(grid->rowCount(), 4);
      QCOMPARE(Cell(grid, 0, 0), Q("RAZÃO SOCIAL:"));
      QCOMPARE(Cell(grid, 0, 1), Q("MERCADO BOM PRECO LTDA"));
      QCOMPARE(Cell(grid, 0, 3), Q("NÃO"));
      QCOMPARE(Cell(grid, 3, 0), Q("ADICIONAL [2]:"));
    });
    QVERIFY(ran);
    QVERIFY(progress.Saw("Aguarde, processando arquivos recebidos..."));
    QVERIFY(messages.messages().empty());
  }

  void parametersAreShownWithReadableLabelsAndReplaced() {
    ScriptedMessages messages;
    Write("Sperif1.rec", "SNG1");
    Write("Scodbarra1.rec", "PS 12 345");
    Write("Sflags1.rec", "SNSNSNSN31");
    bool ran = Open(Context(13, "Leitura de Configuração de Parâmetros Diversos/Periféricos", "Sperif1.rec"),
                    [&](TFTcpViewCad& v) {
                      QTableWidget* grid = GridOf(v);
                      QCOMPARE(grid->rowCount(), 9);
                      QCOMPARE(Cell(grid, 2, 1), Q("12,345.00"));
                      // Every label is read whole.
                      const QFontMetrics metrics(grid->font());
                      for (int r = 0; r < grid->rowCount(); ++r)
                        for (int c : {0, 2})
                          QVERIFY2(metrics.horizontalAdvance(Cell(grid, r, c)) < grid->columnWidth(c),
                                   qPrintable(Cell(grid, r, c)));
                      // The peripherals' labels are fixed like the first column.
                      QVERIFY(!(grid->item(0, 2)->flags() & Qt::ItemIsSelectable));
                      QVERIFY(grid->item(0, 3)->flags() & Qt::ItemIsSelectable);
                      messages.QueueConfirm(true);
                      Click(v, "BtnSub");
                    });
    QVERIFY(ran);
    QCOMPARE(messages.texts(), (std::vector<std::string>{kConfirma, Completa("substituicao-ycoprm")}));
    db::Database db(dir_);
    QCOMPARE(db.open(ycoycf::kTable)->getString(ycoycf::YCF_GAVPRE), std::string("G"));
    QCOMPARE(db.open(ycoprm::kTable)->asNumber(ycoprm::Q40_MAXREG), 12345.0);
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::TFTcpViewCadTest)
#include "TFTcpViewCad_test.moc"
