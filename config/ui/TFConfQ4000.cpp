#include "config/ui/TFConfQ4000.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "common/ui/WindowRegistry.h"
#include "common/ui/engine_error.h"
#include "common/ui/qt_text.h"
#include "config/parameters.h"
#include "config/ui/OrderedGrid.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycoycf.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/TFLocaliza.h"

namespace kaslo::ui {

using config::OptionsPage;

namespace {

const QStringList kSimNao = {QStringLiteral("Sim"), QStringLiteral("Não")};
const QStringList kSN = {QStringLiteral("S"), QStringLiteral("N")};

// A group with one control and no label, as the option groups are.
QGridLayout* Box(QWidget* parent, QGridLayout* into, const QString& caption, const char* name, int row, int column,
                 int span = 1) {
  auto* group = new QGroupBox(caption, parent);
  group->setObjectName(QString::fromLatin1(name));
  into->addWidget(group, row, column, 1, span);
  auto* grid = new QGridLayout(group);
  grid->setColumnStretch(ConfigWindow::kSpareColumn, 1);
  return grid;
}

// The page's groups laid in a grid at its top.
QGridLayout* GroupsGrid(QWidget* page) {
  auto* holder = new QWidget(page);
  auto* grid = new QGridLayout(holder);
  grid->setContentsMargins(0, 0, 0, 0);
  page->layout()->addWidget(holder);
  static_cast<QVBoxLayout*>(page->layout())->addStretch();
  return grid;
}

const WindowRegistrar kRegistrar{"TFConfQ4000", [](const OpenContext& context) {
                                   TFConfQ4000 window(context.owner, context.data_dir);
                                   window.exec();
                                 }};

}  // namespace

TFConfQ4000::TFConfQ4000(QWidget* owner, const std::filesystem::path& data_dir) : ConfigWindow(owner, data_dir) {
  setObjectName(QStringLiteral("TFConfQ4000"));
  setWindowTitle(FromUtf8(config::kCaptionByCode));
  q40_ = db_.open(ycoq40::kTable, {.tag = "Um", .exclusive = false});
  prm_ = db_.open(ycoprm::kTable, {.tag = "", .exclusive = false});
  ycf_ = db_.open(ycoycf::kTable, {.tag = "", .exclusive = false});

  auto* alterar = AddCommand("Alterar", QStringLiteral("&Alterar"), QKeySequence(Qt::ALT | Qt::Key_A),
                             QStringLiteral("Alterar|Altera a configuração da página atual"), [this] { Alterar(); });
  auto* cancelar = AddCommand("Cancelar", QStringLiteral("&Cancelar"), QKeySequence(Qt::ALT | Qt::Key_C),
                              QStringLiteral("Cancelar|Cancelar as modificações efetuadas"), [this] { Cancelar(); });
  auto* gravar = AddCommand("Gravar", QStringLiteral("&Gravar"), QKeySequence(Qt::ALT | Qt::Key_G),
                            QStringLiteral("Gravar|Grava as alterações efetuadas"), [this] { Gravar(); });
  auto* localizar = AddCommand("Localizar", QStringLiteral("&Localizar"), QKeySequence(Qt::ALT | Qt::Key_L),
                               QStringLiteral("Localizar registro|Localiza uma finalizadora"), [this] { Localizar(); });
  auto* ler = AddCommand("Ler", QStringLiteral("Lêr"), QKeySequence(),
                         QStringLiteral("Lêr|Leitura da configuração da máquina"), [this] { Comunicar(false); });
  auto* enviar = AddCommand("Enviar", QStringLiteral("Enviar"), QKeySequence(),
                            QStringLiteral("Enviar|Enviar configuração para a máquina"), [this] { Comunicar(true); });
  auto* imprimir = AddCommand("Imprimir", QStringLiteral("Imprimir"), QKeySequence(), QStringLiteral("Imprimir|"));
  auto* sair = AddCommand("Sair", QStringLiteral("Sair"), QKeySequence(Qt::Key_Escape),
                          QStringLiteral("Sair|Sair da tela atual"), [this] { Sair(); });
  BuildBars({alterar, cancelar, gravar, nullptr, localizar, nullptr, ler, enviar, nullptr, imprimir, nullptr, sair},
            {alterar, cancelar, gravar, localizar, ler, enviar, nullptr, sair});

  BuildPaymentTypes(AddPage(QStringLiteral("Finalizadoras")));
  BuildMiscellaneous(AddPage(QStringLiteral("Parâmetros Diversos")));
  BuildPeripherals(AddPage(QStringLiteral("Periféricos")));
  BuildAdjustments(AddPage(QStringLiteral("Desconto && Acréscimo")));
  BuildMessage(AddPage(QStringLiteral("Mensagem")));
  LockPagesWhileEditing();

  resize(640, 520);
  q40_->first();
  prm_->first();
  ycf_->first();
  Start();
  Grid->Reload();
}

// ---- pages

void TFConfQ4000::BuildPaymentTypes(QWidget* page) {
  Grid = new OrderedGrid(
      page, *q40_,
      {{std::string(ycoq40::Q40_CODIGO.name), QStringLiteral("Código"),
        [](const db::Table& t, uint32_t rec) {
          return FromLatin1(t.getStringAt(rec, ycoq40::Q40_CODIGO)).rightJustified(2, QLatin1Char('0'));
        },
        Qt::AlignRight | Qt::AlignVCenter},
       {std::string(ycoq40::Q40_DESCR.name), QStringLiteral("Descrição")}},
      "Grid");
  Grid->setColumnWidth(0, 70);
  page->layout()->addWidget(Grid);
  Grid->frozen = [this] { return AnyEditing(); };
  Grid->moved = [this] { ReadAll(); };
  Grid->reordered = [this](bool by_code) {
    setWindowTitle(FromUtf8(by_code ? config::kCaptionByCode : config::kCaptionByDescription));
  };

  QGridLayout* grid = AddGroup(page, QStringLiteral("  Configuração da Finalizadora  "), "GroupFinalizadora");
  QWidget* box = grid->parentWidget();
  AddPanel(box);
  auto* descr = new QLineEdit(box);
  Fields(*q40_).BindEdit(descr, ycoq40::Q40_DESCR);
  AddLabel(grid, QStringLiteral("Descrição:"), descr, 0);
  descr->setFixedWidth(200);
  grid->addWidget(descr, 0, 1, 1, 3);
  auto* tipo = NewCombo(*q40_, box, ycoq40::Q40_TIPO,
                        {QStringLiteral("Padrão"), QStringLiteral("Cheque"), QStringLiteral("TEF"),
                         QStringLiteral("Convênio")},
                        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
  AddRow(grid, QStringLiteral("Tipo:"), tipo, 1);
  auto* troco = NewCombo(*q40_, box, ycoq40::Q40_TROCO, kSimNao, kSN);
  AddRow(grid, QStringLiteral("Permite Troco ?:"), troco, 2);
  auto* gaveta = NewCombo(*q40_, box, ycoq40::Q40_GAVETA, kSimNao, kSN);
  AddRow(grid, QStringLiteral("Abrir a Gaveta ?:"), gaveta, 3);
  auto* vale = NewCombo(*q40_, box, ycoq40::Q40_CVALLE, kSimNao, kSN);
  AddRow(grid, QStringLiteral("Emitir Contra-Vale ?:"), vale, 4);
  auto* limite = new QLineEdit(box);
  Fields(*q40_).BindEdit(limite, ycoq40::Q40_LIMITE, DecimalsShown(ycoq40::Q40_LIMITE, 2));
  limite->setAlignment(Qt::AlignRight);
  limite->setFixedWidth(110);
  AddRow(grid, QStringLiteral("Limite de Recebimento:"), limite, 5);
  grid->setColumnStretch(3, 1);
  SetEnterChain({descr, tipo, troco, gaveta, vale}, {limite});
  first_fields_[0] = tipo;
}

void TFConfQ4000::BuildMiscellaneous(QWidget* page) {
  QGridLayout* grid = GroupsGrid(page);
  QWidget* holder = grid->parentWidget();

  auto panel = [&](QGridLayout* g) {
    AddPanel(g->parentWidget());
    return g->parentWidget();
  };
  QGridLayout* report = Box(holder, grid, QStringLiteral("  Configuração de Relatório  "), "GroupRelatorio", 0, 0);
  auto* zero = NewCombo(*prm_, panel(report), ycoprm::Q40_ZERO, kSimNao, kSN);
  AddRow(report, QStringLiteral("Totais em Zero ?:"), zero, 0);
  QGridLayout* enter = Box(holder, grid, QStringLiteral("  ENTER = Total  "), "GroupEnter", 0, 1);
  auto* enter_total = NewCombo(*prm_, panel(enter), ycoprm::Q40_ENTER, kSimNao, kSN);
  enter->addWidget(enter_total, 0, 0);
  QGridLayout* digit = Box(holder, grid, QStringLiteral("  Produto com dígito de contrôle?  "), "GroupDigito", 1, 0);
  auto* digcon = NewCombo(*prm_, panel(digit), ycoprm::Q40_DIGCON, kSimNao, kSN);
  digit->addWidget(digcon, 0, 0);
  QGridLayout* max = Box(holder, grid, QStringLiteral("  Vlr. Máx.p/ Registro  "), "GroupMaxReg", 1, 1);
  auto* maxreg = new QLineEdit(panel(max));
  Fields(*prm_).BindEdit(maxreg, ycoprm::Q40_MAXREG, DecimalsShown(ycoprm::Q40_MAXREG, 2));
  maxreg->setAlignment(Qt::AlignRight);
  maxreg->setFixedWidth(110);
  max->addWidget(maxreg, 0, 0);
  QGridLayout* auth = Box(holder, grid, QStringLiteral("  Limite de Autenticações   "), "GroupLimAut", 2, 0);
  const QStringList zero_to_five = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                    QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
  auto* limaut = NewCombo(*prm_, panel(auth), ycoprm::Q40_LIMAUT, zero_to_five, zero_to_five);
  auth->addWidget(limaut, 0, 0);
  QGridLayout* copies = Box(holder, grid, QStringLiteral("  Vias Convênio  "), "GroupViasC", 2, 1);
  const QStringList one_two = {QStringLiteral("1"), QStringLiteral("2")};
  auto* viasc = NewCombo(*prm_, panel(copies), ycoprm::Q40_VIASC, one_two, one_two);
  copies->addWidget(viasc, 0, 0);

  // shown for what they are, never changed here
  int column = 0;
  for (const auto& [caption, name, field] :
       {std::tuple{QStringLiteral("  Desconto ISS  "), "GroupDescIss", ycoprm::Q40_DESCIS},
        std::tuple{QStringLiteral("  Depto. Aberto  "), "GroupDeptoAberto", ycoprm::Q40_DEPAB},
        std::tuple{QStringLiteral("  Logs Z  "), "GroupLogsZ", ycoprm::Q40_LOGZ}}) {
    QGridLayout* greyed = Box(holder, grid, caption, name, 3 + column / 2, column % 2);
    greyed->parentWidget()->setEnabled(false);
    greyed->addWidget(NewCombo(*prm_, greyed->parentWidget(), field, kSimNao, kSN), 0, 0);
    ++column;
  }
  SetEnterChain({zero, enter_total, digcon, maxreg, limaut}, {viasc});
  first_fields_[1] = zero;
}

void TFConfQ4000::BuildPeripherals(QWidget* page) {
  QGridLayout* grid = GroupsGrid(page);
  QWidget* holder = grid->parentWidget();

  QGridLayout* scale = Box(holder, grid, QStringLiteral("  Configuração de Balança  "), "GroupBalanca", 0, 0, 2);
  AddPanel(scale->parentWidget());
  auto* balanca = NewCombo(*ycf_, scale->parentWidget(), ycoycf::YCF_BALANC,
                           {QStringLiteral("AUSENTE"), QStringLiteral("PRESENTE"), QString()},
                           {QStringLiteral("N"), QStringLiteral("S"), QString()});
  AddRow(scale, QStringLiteral("Balança:"), balanca, 0);
  auto* etiqueta = NewCombo(*ycf_, scale->parentWidget(), ycoycf::YCF_BALETQ,
                            {QStringLiteral("PESO"), QStringLiteral("VALOR")}, {QStringLiteral("P"), QStringLiteral("V")});
  AddRow(scale, QStringLiteral("Tipo de Etiqueta:"), etiqueta, 0, 2);

  QGridLayout* tef = Box(holder, grid, QStringLiteral("  Placa TEF / POS  "), "GroupTef", 1, 0);
  AddPanel(tef->parentWidget());
  auto* tef_box = NewCombo(*ycf_, tef->parentWidget(), ycoycf::YCF_TEF, {QStringLiteral("NÂO"), QStringLiteral("SIM")},
                           kNS);
  tef->addWidget(tef_box, 0, 0);
  QGridLayout* tef12 = Box(holder, grid, QStringLiteral("  TEF1/TEF2  "), "GroupTef12", 1, 1);
  AddPanel(tef12->parentWidget());
  const QStringList zero_to_two = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")};
  auto* pccom5 = NewCombo(*ycf_, tef12->parentWidget(), ycoycf::YCF_PCCOM5, zero_to_two, zero_to_two);
  tef12->addWidget(pccom5, 0, 0);

  QGridLayout* drawer = Box(holder, grid, QStringLiteral("  Funções de Gaveta  "), "GroupGaveta", 2, 0, 2);
  QWidget* box = drawer->parentWidget();
  AddPanel(box);
  auto* abr = NewCombo(*ycf_, box, ycoycf::YCF_GAVABR, kNaoSim, kNS);
  AddRow(drawer, QStringLiteral("Habilitar Abertura de Gaveta com Tecla Sub-Total ?:"), abr, 0);
  auto* imp = NewCombo(*ycf_, box, ycoycf::YCF_GAVIMP, kNaoSim, kNS);
  AddRow(drawer, QStringLiteral("Imprimir Comprovante após Abertura de Gaveta ( s/ registro) ?:"), imp, 1);
  auto* rel = NewCombo(*ycf_, box, ycoycf::YCF_GAVREL, kNaoSim, kNS);
  AddRow(drawer, QStringLiteral("Abrir Gaveta após Emissão de Relatório ?:"), rel, 2);
  auto* pre = NewCombo(*ycf_, box, ycoycf::YCF_GAVPRE,
                       {QStringLiteral("NÃO"), QStringLiteral("(2) Na Impressora"),
                        QStringLiteral("(3) Na Impressora com adaptador")},
                       {QStringLiteral("N"), QStringLiteral("2"), QStringLiteral("3")});
  AddRow(drawer, QStringLiteral("Gaveta Presente?:"), pre, 3);
  SetEnterChain({balanca, etiqueta, tef_box, pccom5, abr, imp, rel}, {pre});
  first_fields_[2] = balanca;
}

void TFConfQ4000::BuildAdjustments(QWidget* page) {
  QGridLayout* grid = GroupsGrid(page);
  QWidget* holder = grid->parentWidget();

  std::vector<QWidget*> chain;
  QWidget* last = nullptr;
  const char* names[4] = {"GroupDescSubTotal", "GroupDescItem", "GroupAcrSubTotal", "GroupAcrItem"};
  for (size_t i = 0; i < config::kAdjustmentGroups.size(); ++i) {
    const config::AdjustmentGroup& g = config::kAdjustmentGroups[i];
    if (i % 2 == 0) {
      const bool discount = i == 0;
      auto* outer = new QGroupBox(discount ? QStringLiteral("  Desconto  ") : QStringLiteral("  Acréscimo  "), holder);
      outer->setObjectName(discount ? QStringLiteral("GroupDesconto") : QStringLiteral("GroupAcrescimo"));
      new QHBoxLayout(outer);
      grid->addWidget(outer, static_cast<int>(i / 2), 0);
    }
    auto* outer = static_cast<QGroupBox*>(grid->itemAtPosition(static_cast<int>(i / 2), 0)->widget());
    auto* group = new QGroupBox(i % 2 == 0 ? QStringLiteral("  Sub Total  ") : QStringLiteral("  Ítem  "), outer);
    group->setObjectName(QString::fromLatin1(names[i]));
    outer->layout()->addWidget(group);
    AddPanel(group);
    auto* inner = new QGridLayout(group);
    inner->setColumnStretch(ConfigWindow::kSpareColumn, 1);
    auto* type = NewCombo(*ycf_, group, g.type, {QStringLiteral("PORCENTAGEM"), QStringLiteral("VALOR")},
                          {QStringLiteral("P"), QStringLiteral("V")});
    AddRow(inner, QStringLiteral("Tipo:"), type, 0);
    auto* rate = new QLineEdit(group);
    Fields(*ycf_).BindEdit(rate, g.rate, DecimalsShown(g.rate, 2));
    rate->setAlignment(Qt::AlignRight);
    rate->setFixedWidth(70);
    AddLabel(inner, QStringLiteral("%"), rate, 1);
    inner->addWidget(rate, 1, 1, Qt::AlignLeft);
    auto* alter = NewCombo(*ycf_, group, g.may_alter, kNaoSim, kNS);
    AddRow(inner, QStringLiteral("Permite Alterar Porc.% ?:"), alter, 2);
    rate_types_[i] = type;
    rates_[i] = rate;
    rate_alters_[i] = alter;
    connect(type, &QComboBox::currentIndexChanged, this, [this, i] { ApplyRateRule(i); });
    chain.insert(chain.end(), {type, rate});
    if (i + 1 < config::kAdjustmentGroups.size()) chain.push_back(alter);
    else last = alter;
  }
  SetEnterChain(chain, {last});
  first_fields_[3] = rate_types_[0];
}

void TFConfQ4000::BuildMessage(QWidget* page) {
  QGridLayout* grid = AddGroup(page, QStringLiteral("  Mensagem de Venda  "), "GroupMensagem");
  QWidget* box = grid->parentWidget();
  AddPanel(box);
  static_cast<QVBoxLayout*>(page->layout())->addStretch();
  const db::FieldDef texts[4] = {ycoycf::YCF_MSG1, ycoycf::YCF_MSG2, ycoycf::YCF_MSG3, ycoycf::YCF_MSG4};
  const db::FieldDef expanded[4] = {ycoycf::YCF_EXPA1, ycoycf::YCF_EXPA2, ycoycf::YCF_EXPA3, ycoycf::YCF_EXPA4};
  std::vector<QWidget*> chain;
  for (int i = 0; i < 4; ++i) {
    auto* text = new QLineEdit(box);
    Fields(*ycf_).BindEdit(text, texts[i]);
    text->setFixedWidth(360);
    AddLabel(grid, QStringLiteral("Campo [ %1 ]:").arg(i + 1), text, i * 2, 0);
    grid->addWidget(text, i * 2, 1, 1, 4);
    auto* exp = NewCombo(*ycf_, box, expanded[i], kNaoSim, kNS);
    AddRow(grid, QStringLiteral("Expandido?:"), exp, i * 2 + 1, 1);
    auto* cen = NewCombo(*ycf_, box, config::kMessageCentring[i].shown, kNaoSim, kNS);
    cen->setObjectName(QStringLiteral("CEN%1").arg(i + 1));
    AddRow(grid, QStringLiteral("Centralizado?:"), cen, i * 2 + 1, 3);
    centring_[static_cast<size_t>(i)] = cen;
    chain.insert(chain.end(), {text, exp});
    if (i < 3) chain.push_back(cen);
    if (i == 0) first_fields_[4] = text;
  }
  SetEnterChain(chain, {centring_[3]});
}

// ---- the frame's hooks

OptionsPage TFConfQ4000::CurrentPage() const { return static_cast<OptionsPage>(Pages()->currentIndex()); }

db::Table* TFConfQ4000::PageTable() {
  switch (CurrentPage()) {
    case OptionsPage::kPaymentTypes: return q40_.get();
    case OptionsPage::kMiscellaneous: return prm_.get();
    default: return ycf_.get();
  }
}

QWidget* TFConfQ4000::PageFirstField() { return first_fields_[static_cast<size_t>(Pages()->currentIndex())]; }

bool TFConfQ4000::BeginEdit(db::Table& table) {
  if (&table == q40_.get()) table.edit();
  else config::BeginParameterEdit(table);  // the one row, made when missing
  return true;
}

void TFConfQ4000::BeforePost(db::Table& table) {
  if (&table != ycf_.get()) return;
  for (size_t line = 0; line < centring_.size(); ++line) {
    if (centring_[line]->Touched()) {
      config::WriteCentring(table, config::kMessageCentring[line], ToLatin1(centring_[line]->Value()));
    }
  }
}

std::string TFConfQ4000::PostFailedText(const std::string& cause) const {
  return config::EditFailure(config::kMsgGravarFalhou, cause);
}

void TFConfQ4000::UpdateCommands(bool editing) {
  if (!editing) q40_->refresh();
  const config::OptionCommands c = config::AvailableOptionCommands(editing, !q40_->empty());
  Command("Alterar")->setEnabled(c.alterar);
  Command("Cancelar")->setEnabled(c.cancelar);
  Command("Gravar")->setEnabled(c.gravar);
  Command("Localizar")->setEnabled(c.localizar);
  Command("Ler")->setEnabled(c.ler);
  Command("Enviar")->setEnabled(c.enviar);
  Command("Sair")->setEnabled(c.sair);
  Command("Imprimir")->setEnabled(false);  // nothing to print yet
  if (Grid) Grid->setEnabled(!editing);
}

void TFConfQ4000::ShowRows() {
  for (size_t i = 0; i < rate_types_.size(); ++i) ApplyRateRule(i);
}

void TFConfQ4000::ApplyRateRule(size_t group) {
  const bool applies = config::RateApplies(ToLatin1(rate_types_[group]->Value()));
  rates_[group]->setEnabled(applies);
  rate_alters_[group]->setEnabled(applies);
}

// ---- commands

void TFConfQ4000::Localizar() {
  if (AnyEditing() || q40_->empty()) return;
  TFLocaliza find(this, *q40_, Grid->KeyLabels(), [this] {
    Grid->Reload();
    ReadAll();
  });
  find.exec();
}

void TFConfQ4000::Comunicar(bool send) {
  if (AnyEditing()) return;
  const config::PageJobs jobs = config::JobsOfPage(CurrentPage());
  Command("Ler")->setEnabled(false);
  Command("Enviar")->setEnabled(false);
  OpenCommunication(send ? jobs.send : jobs.read);
  if (!send) {
    // a replacement made in the viewer shows at once
    q40_->refresh();
    prm_->refresh();
    ycf_->refresh();
    if (q40_->eof() || q40_->recNo() == 0) q40_->first();
    prm_->first();
    ycf_->first();
  }
  SetBrowseState();
  Grid->Reload();
  ReadAll();
}

}  // namespace kaslo::ui
