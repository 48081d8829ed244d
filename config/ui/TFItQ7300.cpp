#include "config/ui/TFItQ7300.h"

#include <QAction>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>

#include "comm/job_table.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/engine_error.h"
#include "common/ui/qt_text.h"
#include "config/keyboard.h"
#include "config/parameters.h"
#include "config/ui/OrderedGrid.h"
#include "config/ui/TerminalKeyboard.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycoqrm.h"
#include "db/tables/ycoter.h"
#include "db/tables/ycotet.h"
#include "db/tables/ycotey.h"
#include "db/tables/ycotrb.h"
#include "registers/editor_rules.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/TFLocaliza.h"

namespace kaslo::ui {

using config::TechnicalPage;

namespace {

std::string Typed(const QLineEdit* edit) { return ToLatin1(edit->text()); }

// A group holding a grid, captioned as the grid is.
void AddGridBox(QWidget* page, const QString& caption, const char* name, QWidget* grid) {
  auto* box = new QGroupBox(caption, page);
  box->setObjectName(QString::fromLatin1(name));
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(grid);
  page->layout()->addWidget(box);
}

const WindowRegistrar kRegistrar{"TFItQ7300", [](const OpenContext& context) {
                                   TFItQ7300 window(context.owner, context.data_dir);
                                   window.exec();
                                 }};

}  // namespace

TFItQ7300::TFItQ7300(QWidget* owner, const std::filesystem::path& data_dir) : ConfigWindow(owner, data_dir) {
  setObjectName(QStringLiteral("TFItQ7300"));
  setWindowTitle(FromUtf8(config::kCaptionTechnical));
  ter_ = db_.open(ycoter::kTable, {.tag = "Um", .exclusive = false});
  prm_ = db_.open(ycoprm::kTable, {.tag = "", .exclusive = false});
  trb_ = db_.open(ycotrb::kTable, {.tag = "Um", .exclusive = false});
  tey_ = db_.open(ycotey::kTable, {.tag = "Um", .exclusive = false});
  tet_ = db_.open(ycotet::kTable, {.tag = "Um", .exclusive = false});
  q40_ = db_.open(ycoq40::kTable, {.tag = "Um", .exclusive = false});
  qrm_ = db_.open(ycoqrm::kTable, {.tag = "Um", .exclusive = false});

  auto* incluir = AddCommand("Incluir", QStringLiteral("&Incluir"), QKeySequence(Qt::ALT | Qt::Key_I),
                             QStringLiteral("Incluir|Inclui um novo registro"), [this] { Incluir(); });
  auto* alterar = AddCommand("Alterar", QStringLiteral("&Alterar"), QKeySequence(Qt::ALT | Qt::Key_A),
                             QStringLiteral("Alterar|Altera o registro da página atual"), [this] { Alterar(); });
  auto* excluir = AddCommand("Excluir", QStringLiteral("&Excluir"), QKeySequence(Qt::ALT | Qt::Key_E),
                             QStringLiteral("Excluir|Exclui o registro atual"), [this] { Excluir(); });
  auto* cancelar = AddCommand("Cancelar", QStringLiteral("&Cancelar"), QKeySequence(Qt::ALT | Qt::Key_C),
                              QStringLiteral("Cancelar|Cancelar as modificações efetuadas"), [this] { Cancelar(); });
  auto* gravar = AddCommand("Gravar", QStringLiteral("&Gravar"), QKeySequence(Qt::ALT | Qt::Key_G),
                            QStringLiteral("Gravar|Grava as alterações efetuadas"), [this] { Gravar(); });
  auto* localizar = AddCommand("Localizar", QStringLiteral("&Localizar"), QKeySequence(Qt::ALT | Qt::Key_L),
                               QStringLiteral("Localizar registro|Localiza um registro da lista"),
                               [this] { Localizar(); });
  auto* ler = AddCommand("Ler", QStringLiteral("Lêr"), QKeySequence(),
                         QStringLiteral("Lêr|Leitura do cadastro da máquina"), [this] { Comunicar(false); });
  auto* enviar = AddCommand("Enviar", QStringLiteral("Enviar"), QKeySequence(),
                            QStringLiteral("Enviar|Enviar cadastro para a máquina"), [this] { Comunicar(true); });
  auto* sair = AddCommand("Sair", QStringLiteral("Sair"), QKeySequence(Qt::Key_Escape),
                          QStringLiteral("Sair|Sair da tela atual"), [this] { Sair(); });
  BuildBars({incluir, alterar, excluir, nullptr, cancelar, gravar, nullptr, localizar, nullptr, ler, enviar, nullptr,
             sair},
            {incluir, alterar, excluir, cancelar, gravar, localizar, ler, enviar, nullptr, sair});

  BuildTerminals(AddPage(QStringLiteral("Terminais")));
  BuildHeader(AddPage(QStringLiteral("Dados da loja (Cliche)")));
  BuildTaxes(AddPage(QStringLiteral("Tributações")));
  BuildKeyboard(AddPage(QStringLiteral("Teclado")));
  BuildDateTime(AddPage(QStringLiteral("Opções Complementares")));
  BuildStore(AddPage(QStringLiteral("Dados da Loja (R60)")));
  LockPagesWhileEditing();
  connect(Pages(), &QTabWidget::currentChanged, this, [this] {
    if (!AnyEditing()) UpdateCommands(false);
  });

  resize(760, 600);
  ter_->first();
  prm_->first();
  trb_->first();
  Start();
  ShowTables();
  ShowKeyboard();
}

QLineEdit* TFItQ7300::Edit(db::Table& table, QWidget* parent, const db::FieldDef& field, int width, const char* name) {
  auto* edit = new QLineEdit(parent);
  if (name) edit->setObjectName(QString::fromLatin1(name));
  edit->setFixedWidth(width);
  Fields(table).BindEdit(edit, field);
  return edit;
}

// ---- pages

void TFItQ7300::BuildTerminals(QWidget* page) {
  GridTerminais = new OrderedGrid(page, *ter_,
                                  {{std::string(ycoter::ESTACAO.name), QStringLiteral("Nº do Terminal"), {},
                                    Qt::AlignRight | Qt::AlignVCenter},
                                   {std::string(ycoter::TER_ECFSER.name), QStringLiteral("End.IP.")}},
                                  "GridTerminais");
  GridTerminais->setColumnWidth(0, 110);
  GridTerminais->frozen = [this] { return AnyEditing(); };
  GridTerminais->moved = [this] { ReadAll(); };
  AddGridBox(page, QStringLiteral("RW5020   -   Terminais  "), "GroupGridTerminais", GridTerminais);

  QGridLayout* grid = AddGroup(page, QStringLiteral("  QZV 7300   -   Dados do Terminal  "), "GroupTerminal");
  QWidget* box = grid->parentWidget();
  AddPanel(box);
  QLineEdit* number = Edit(*ter_, box, ycoter::ESTACAO, 50);
  QLineEdit* address = Edit(*ter_, box, ycoter::TER_ECFSER, 220);
  QLineEdit* serial = Edit(*ter_, box, ycoter::TER_ECFNO, 110);
  AddRow(grid, QStringLiteral("Nº do Terminal:"), number, 0);
  AddRow(grid, QStringLiteral("End. IP: "), address, 1);
  AddRow(grid, QStringLiteral("Nº de Série do Ecf:"), serial, 2);
  SetEnterChain({number, address, serial, number}, {});
  terminal_fields_ = {number, address, serial};
  first_fields_[0] = number;
}

void TFItQ7300::BuildHeader(QWidget* page) {
  QGridLayout* grid = AddGroup(page, QStringLiteral("  Dados do Cliente  "), "GroupCliche");
  QWidget* box = grid->parentWidget();
  AddPanel(box);
  static_cast<QVBoxLayout*>(page->layout())->addStretch();
  const QString captions[4] = {QStringLiteral("Razão Social:"), QStringLiteral("Endereço:"),
                               QStringLiteral("Adicional [ 1 ]:"), QStringLiteral("Adicional [ 2 ]:")};
  const db::FieldDef texts[4] = {ycoprm::PRM_RAZAOS, ycoprm::PRM_ENDERE, ycoprm::Q40_ADIC1, ycoprm::Q40_ADIC2};
  const db::FieldDef expanded[4] = {ycoprm::Q40_EXPA1, ycoprm::Q40_EXPA2, ycoprm::Q40_EXPA3, ycoprm::Q40_EXPA4};
  std::vector<QWidget*> chain;
  for (size_t i = 0; i < 4; ++i) {
    const int row = static_cast<int>(i) * 2;
    QLineEdit* text = Edit(*prm_, box, texts[i], 360);
    AddLabel(grid, captions[i], text, row, 0);
    grid->addWidget(text, row, 1, 1, 4);
    auto* exp = NewCombo(*prm_, box, expanded[i], kNaoSim, kNS);
    AddRow(grid, QStringLiteral("Expandido?:"), exp, row + 1, 1);
    auto* cen = NewCombo(*prm_, box, config::kHeaderCentring[i].shown, kNaoSim, kNS);
    cen->setObjectName(QStringLiteral("CEN%1").arg(i + 1));
    AddRow(grid, QStringLiteral("Centralizado?:"), cen, row + 1, 3);
    centring_[i] = cen;
    chain.insert(chain.end(), {text, exp});
    if (i < 3) chain.push_back(cen);
    if (i < 2) header_fields_.push_back(text);
  }
  SetEnterChain(chain, {centring_[3]});
  first_fields_[1] = header_fields_[0];
}

void TFItQ7300::BuildTaxes(QWidget* page) {
  GridTributacoes = new OrderedGrid(
      page, *trb_,
      {{std::string(ycotrb::TRB_CODIGO.name), QStringLiteral("Código"),
        [](const db::Table& t, uint32_t rec) {
          return FromLatin1(t.getStringAt(rec, ycotrb::TRB_CODIGO)).rightJustified(2, QLatin1Char('0'));
        },
        Qt::AlignRight | Qt::AlignVCenter},
       {std::string(ycotrb::TRB_DESCR.name), QStringLiteral("Descrição")}},
      "GridTributacoes");
  GridTributacoes->setColumnWidth(0, 70);
  GridTributacoes->frozen = [this] { return AnyEditing(); };
  GridTributacoes->moved = [this] { ReadAll(); };
  AddGridBox(page, QStringLiteral("  Tributações  Cadastradas  "), "GroupGridTributacoes", GridTributacoes);

  QGridLayout* grid = AddGroup(page, QStringLiteral("  Tributação"), "GroupTributacao");
  QWidget* box = grid->parentWidget();
  AddPanel(box);
  QLineEdit* code = Edit(*trb_, box, ycotrb::TRB_CODIGO, 50);
  QLineEdit* descr = Edit(*trb_, box, ycotrb::TRB_DESCR, 200);
  QLineEdit* legend = Edit(*trb_, box, ycotrb::TRB_LEGEND, 50);
  auto* kind = NewCombo(*trb_, box, ycotrb::TRB_TIPO, {QStringLiteral("ICMS"), QStringLiteral("ISS")},
                        {QStringLiteral("T"), QStringLiteral("S")});
  auto* percent = new QLineEdit(box);
  percent->setFixedWidth(70);
  percent->setAlignment(Qt::AlignRight);
  Fields(*trb_).BindEdit(percent, ycotrb::TRB_PERCEN, DecimalsShown(ycotrb::TRB_PERCEN, 2));
  AddRow(grid, QStringLiteral("Código:"), code, 0);
  AddRow(grid, QStringLiteral("Descrição:"), descr, 1);
  AddRow(grid, QStringLiteral("Legenda:"), legend, 2);
  AddRow(grid, QStringLiteral("Tipo:"), kind, 3);
  auto* percent_line = new QHBoxLayout;
  percent_line->addWidget(percent);
  percent_line->addWidget(new QLabel(QStringLiteral("%"), box));
  percent_line->addStretch();
  AddLabel(grid, QStringLiteral("Percentual:"), percent, 4);
  grid->addLayout(percent_line, 4, 1);
  SetEnterChain({code, descr, legend, kind}, {percent});
  tax_fields_ = {code, descr, legend};
  first_fields_[2] = code;
}

void TFItQ7300::BuildKeyboard(QWidget* page) {
  auto* group = new QGroupBox(QStringLiteral("  Teclado QZV 7300  "), page);
  group->setObjectName(QStringLiteral("GroupTeclado"));
  auto* layout = new QHBoxLayout(group);
  Teclado = new TerminalKeyboard(group);
  layout->addStretch();
  layout->addWidget(Teclado);
  layout->addStretch();
  page->layout()->addWidget(group);
  static_cast<QVBoxLayout*>(page->layout())->addStretch();
  connect(Teclado, &TerminalKeyboard::programmableClicked, this,
          [this](int position) { RunShowingEngineError([&] { KeyClicked(position); }); });
  connect(Teclado, &TerminalKeyboard::fixedClicked, this,
          [] { Messages().information(std::string(config::kMsgTeclaFixa)); });
  BuildKeyMenu();
}

void TFItQ7300::BuildKeyMenu() {
  key_menu_ = new QMenu(this);
  key_menu_->setObjectName(QStringLiteral("PopupTeclado"));
  std::function<void(QMenu*, const config::KeyMenuNode&)> fill = [&](QMenu* menu, const config::KeyMenuNode& node) {
    for (const config::KeyMenuNode& sub : node.submenus) fill(menu->addMenu(FromUtf8(sub.caption)), sub);
    for (const config::KeyFunction& function : node.functions) {
      QAction* action = menu->addAction(FromUtf8(function.caption));
      action->setObjectName(QStringLiteral("Funcao%1").arg(function.code));
      function_actions_[function.code] = action;
      connect(action, &QAction::triggered, this,
              [this, &function] { RunShowingEngineError([&] { FunctionChosen(function); }); });
    }
  };
  fill(key_menu_, config::KeyMenu());
  key_menu_->addSeparator();
  QAction* release = key_menu_->addAction(FromUtf8(config::kDesativarTecla));
  release->setObjectName(QStringLiteral("DesativarTecla"));
  connect(release, &QAction::triggered, this, [this] { RunShowingEngineError([&] { ReleaseKey(); }); });
}

void TFItQ7300::BuildDateTime(QWidget* page) {
  QGridLayout* grid = AddGroup(page, QStringLiteral("  Data  && Horário  "), "GroupDataHora");
  QWidget* box = grid->parentWidget();
  AddPanel(box);
  static_cast<QVBoxLayout*>(page->layout())->addStretch();
  edtData = new QLineEdit(box);
  edtData->setObjectName(QStringLiteral("edtData"));
  edtData->setInputMask(QStringLiteral("99/99/9999"));
  edtData->setFixedWidth(100);
  edtHora = new QLineEdit(box);
  edtHora->setObjectName(QStringLiteral("edtHora"));
  edtHora->setInputMask(QStringLiteral("99:99"));
  edtHora->setFixedWidth(60);
  AddRow(grid, QStringLiteral("Data:"), edtData, 0);
  AddRow(grid, QStringLiteral("Hora:"), edtHora, 1);
  const QDateTime now = QDateTime::currentDateTime();
  saved_date_ = now.toString(QStringLiteral("dd/MM/yyyy"));
  saved_hour_ = now.toString(QStringLiteral("hh:mm"));
  edtData->setText(saved_date_);
  edtHora->setText(saved_hour_);
  SetEnterChain({edtData}, {edtHora});
  date_fields_ = {edtData, edtHora};
  first_fields_[4] = edtData;
}

void TFItQ7300::BuildStore(QWidget* page) {
  QGridLayout* grid = AddGroup(page, QStringLiteral("  Dados do Cliente  "), "GroupR60");
  QWidget* box = grid->parentWidget();
  AddPanel(box);
  // the name, the address and the extra lines are the header page's fields too
  QLineEdit* cnpj = Edit(*prm_, box, ycoprm::PRM_CNPJ, 130);
  QLineEdit* noloja = Edit(*prm_, box, ycoprm::PRM_NOLOJA, 50, "R60_PRM_NOLOJA");
  QLineEdit* ie = Edit(*prm_, box, ycoprm::PRM_IE, 160);
  QLineEdit* im = Edit(*prm_, box, ycoprm::PRM_IM, 160);
  QLineEdit* name = Edit(*prm_, box, ycoprm::PRM_RAZAOS, 360, "R60_PRM_RAZAOS");
  QLineEdit* address = Edit(*prm_, box, ycoprm::PRM_ENDERE, 360, "R60_PRM_ENDERE");
  QLineEdit* complement = Edit(*prm_, box, ycoprm::PRM_COMPLE, 180);
  QLineEdit* district = Edit(*prm_, box, ycoprm::PRM_BAIRRO, 160);
  QLineEdit* city = Edit(*prm_, box, ycoprm::PRM_MUNICI, 160);
  QLineEdit* state = Edit(*prm_, box, ycoprm::PRM_UF, 36);
  QLineEdit* ddd = Edit(*prm_, box, ycoprm::PRM_DDD, 40);
  QLineEdit* phone = Edit(*prm_, box, ycoprm::PRM_FONE, 100);
  QLineEdit* contact = Edit(*prm_, box, ycoprm::PRM_CONTAT, 220);
  QLineEdit* extra1 = Edit(*prm_, box, ycoprm::Q40_ADIC1, 360, "R60_Q40_ADIC1");
  QLineEdit* extra2 = Edit(*prm_, box, ycoprm::Q40_ADIC2, 360, "R60_Q40_ADIC2");

  AddRow(grid, QStringLiteral("CNPJ:"), cnpj, 0);
  AddRow(grid, QStringLiteral("Nº da Loja:"), noloja, 0, 2);
  AddRow(grid, QStringLiteral("Inscr.Est.:"), ie, 1);
  AddRow(grid, QStringLiteral("Inscr.Munic.:"), im, 1, 2);
  AddLabel(grid, QStringLiteral("Razão Social:"), name, 2);
  grid->addWidget(name, 2, 1, 1, 4);
  AddLabel(grid, QStringLiteral("Endereço:"), address, 3);
  grid->addWidget(address, 3, 1, 1, 4);
  AddRow(grid, QStringLiteral("Complemento:"), complement, 4);
  AddRow(grid, QStringLiteral("Bairro:"), district, 4, 2);
  AddRow(grid, QStringLiteral("Município:"), city, 5);
  const auto [cep, cepp] = AddCepRow(grid, *prm_, 5, 2);
  AddRow(grid, QStringLiteral("UF:"), state, 6);
  {
    auto* line = new QHBoxLayout;
    line->addWidget(ddd);
    auto* label = new QLabel(QStringLiteral("Fone/Fax:"), box);
    label->setBuddy(phone);
    line->addWidget(label);
    line->addWidget(phone);
    line->addStretch();
    AddLabel(grid, QStringLiteral("DDD:"), ddd, 6, 2);
    grid->addLayout(line, 6, 3);
  }
  AddRow(grid, QStringLiteral("Contato:"), contact, 7);
  AddLabel(grid, QStringLiteral("Adicional [ 1 ]:"), extra1, 8);
  grid->addWidget(extra1, 8, 1, 1, 4);
  AddLabel(grid, QStringLiteral("Adicional [ 2 ]:"), extra2, 9);
  grid->addWidget(extra2, 9, 1, 1, 4);
  SetEnterChain({cnpj, noloja, ie, im, name, address, complement, district, city, cep, cepp, state, ddd, phone, contact,
                 extra1},
                {extra2});
  store_fields_ = {cnpj, ie, city, district, cep, state, ddd, phone, contact};
  first_fields_[5] = cnpj;

  QGridLayout* count = AddGroup(page, QStringLiteral("  Total de Terminais Cadastrados  "), "GroupTotalTerminais");
  lblTerminais = new QLabel(count->parentWidget());
  lblTerminais->setObjectName(QStringLiteral("lblTerminais"));
  count->addWidget(lblTerminais, 0, 0);
  static_cast<QVBoxLayout*>(page->layout())->addStretch();
}

// ---- the frame's hooks

TechnicalPage TFItQ7300::CurrentPage() const { return static_cast<TechnicalPage>(Pages()->currentIndex()); }

db::Table* TFItQ7300::PageTable() {
  switch (CurrentPage()) {
    case TechnicalPage::kTerminals: return ter_.get();
    case TechnicalPage::kTaxes: return trb_.get();
    case TechnicalPage::kHeader:
    case TechnicalPage::kStore: return prm_.get();
    case TechnicalPage::kKeyboard:
    case TechnicalPage::kDateTime: return nullptr;
  }
  return nullptr;
}

QWidget* TFItQ7300::PageFirstField() { return first_fields_[static_cast<size_t>(Pages()->currentIndex())]; }

bool TFItQ7300::BeginEdit(db::Table& table) {
  if (&table == prm_.get()) {
    config::BeginParameterEdit(table);  // the one row, made when missing
    return true;
  }
  table.refresh();
  if (table.eof() || table.recNo() == 0) return false;
  if (&table == trb_.get() && config::IsFixedTaxCode(table.asNumber(ycotrb::TRB_CODIGO))) {
    Messages().information(std::string(config::kMsgTributacaoFixa));
    return false;
  }
  table.edit();
  return true;
}

bool TFItQ7300::Refuse(const config::RuleFailure& failure, const std::vector<QWidget*>& fields) {
  Messages().information(failure.message);
  if (failure.field >= 0 && static_cast<size_t>(failure.field) < fields.size()) fields[failure.field]->setFocus();
  return false;
}

bool TFItQ7300::Validate() {
  auto text = [](QWidget* w) { return Typed(static_cast<QLineEdit*>(w)); };
  config::RuleResult failed;
  switch (CurrentPage()) {
    case TechnicalPage::kTerminals: {
      const uint32_t own = ter_->mode() == db::Mode::kInsert ? 0 : ter_->recNo();
      failed = config::CheckTerminal(
          db_, {text(terminal_fields_[0]), text(terminal_fields_[1]), text(terminal_fields_[2])}, own);
      if (failed) return Refuse(*failed, terminal_fields_);
      break;
    }
    case TechnicalPage::kHeader:
      failed = config::CheckHeader({text(header_fields_[0]), text(header_fields_[1])});
      if (failed) return Refuse(*failed, header_fields_);
      break;
    case TechnicalPage::kTaxes:
      failed = config::CheckTax(db_, {text(tax_fields_[0]), text(tax_fields_[1]), text(tax_fields_[2])},
                                trb_->mode() == db::Mode::kInsert);
      if (failed) return Refuse(*failed, tax_fields_);
      break;
    case TechnicalPage::kStore: {
      config::StoreInput in;
      std::string* values[] = {&in.cnpj,  &in.ie,        &in.city,  &in.district, &in.cep,
                               &in.state, &in.area_code, &in.phone, &in.contact};
      for (size_t i = 0; i < store_fields_.size(); ++i) *values[i] = text(store_fields_[i]);
      failed = config::CheckStore(in);
      if (failed) return Refuse(*failed, store_fields_);
      break;
    }
    case TechnicalPage::kDateTime:
      // nothing is written, but a wrong box is better said now than on Enviar
      return TypedDateTime().has_value();
    case TechnicalPage::kKeyboard: break;
  }
  return true;
}

std::optional<kaslo::DateTime> TFItQ7300::TypedDateTime() {
  const auto read = config::ReadDateTime({Typed(edtData), Typed(edtHora)});
  if (const auto* failure = std::get_if<config::RuleFailure>(&read)) {
    Refuse(*failure, date_fields_);
    return std::nullopt;
  }
  return std::get<kaslo::DateTime>(read);
}

void TFItQ7300::BeforePost(db::Table& table) {
  if (&table != prm_.get()) return;
  for (size_t line = 0; line < centring_.size(); ++line) {
    if (centring_[line]->Touched()) {
      config::WriteCentring(table, config::kHeaderCentring[line], ToLatin1(centring_[line]->Value()));
    }
  }
}

void TFItQ7300::AfterPost() {
  saved_date_ = edtData->text();
  saved_hour_ = edtHora->text();
  ShowTables();
}

void TFItQ7300::AfterCancel() {
  edtData->setText(saved_date_);
  edtHora->setText(saved_hour_);
  if (ter_->eof() || ter_->recNo() == 0) ter_->first();
  if (trb_->eof() || trb_->recNo() == 0) trb_->first();
  ShowTables();
}

std::string TFItQ7300::PostFailedText(const std::string& cause) const {
  return config::EditFailure(config::kMsgGravarFalhou, cause);
}

void TFItQ7300::UpdateCommands(bool editing) {
  if (!editing) RefreshAll();
  const config::TechnicalPageUse use = config::UseOfPage(CurrentPage());
  const bool grid_page = !use.insert_table.empty();
  db::Table* table = PageTable();
  const bool has_row = table && (table == prm_.get() || !table->empty());
  Command("Incluir")->setEnabled(!editing && grid_page);
  Command("Alterar")->setEnabled(!editing && use.alterar && (has_row || !table));
  Command("Excluir")->setEnabled(!editing && grid_page && has_row);
  Command("Cancelar")->setEnabled(editing);
  Command("Gravar")->setEnabled(editing);
  Command("Localizar")->setEnabled(!editing && grid_page && has_row);
  Command("Ler")->setEnabled(!editing && use.read_job != 0);
  Command("Enviar")->setEnabled(!editing && use.send_job != 0);
  Command("Sair")->setEnabled(!editing);
  GridTerminais->setEnabled(!editing);
  GridTributacoes->setEnabled(!editing);
}

void TFItQ7300::ShowRows() {
  lblTerminais->setText(QString::fromStdString(NumeroComZeros(2, 0, static_cast<double>(ter_->recordCount()))) +
                        QStringLiteral(" - Terminais"));
}

void TFItQ7300::ShowTables() {
  GridTerminais->Reload();
  GridTributacoes->Reload();
  ReadAll();
}

void TFItQ7300::RefreshAll() {
  for (db::Table* t : {ter_.get(), prm_.get(), trb_.get(), tey_.get(), tet_.get(), q40_.get(), qrm_.get()}) {
    if (t->mode() != db::Mode::kBrowse) continue;
    t->refresh();
    if (t->eof() || t->recNo() == 0) t->first();
  }
}

// ---- commands

void TFItQ7300::Incluir() {
  if (AnyEditing()) return;
  const config::TechnicalPageUse use = config::UseOfPage(CurrentPage());
  if (use.insert_table.empty()) return;
  db::Table& table = *PageTable();
  ter_->refresh();
  trb_->refresh();
  tey_->refresh();
  std::string cause;
  try {
    table.append();
  } catch (const db::Error& e) {
    cause = e.what();
  }
  if (table.mode() != db::Mode::kInsert) {
    Messages().information(config::EditFailure(registers::kMsgIncluirFalhou, cause));
    return;
  }
  ReadAll();
  SetEditingState();
  if (QWidget* first = PageFirstField()) first->setFocus();
}

void TFItQ7300::Excluir() {
  if (AnyEditing() || config::UseOfPage(CurrentPage()).insert_table.empty()) return;
  db::Table& table = *PageTable();
  if (table.eof() || table.recNo() == 0) return;
  if (!ConfirmDestructive(std::string(registers::kMsgConfirmaExclusao))) return;
  std::string cause;
  bool deleted = false;
  try {
    deleted = table.remove();
  } catch (const db::Error& e) {
    cause = e.what();
  }
  if (!deleted) Messages().information(config::EditFailure(registers::kMsgExcluirFalhou, cause));
  if (table.eof()) table.first();
  SetBrowseState();
  ShowTables();
}

void TFItQ7300::Localizar() {
  if (AnyEditing()) return;
  OrderedGrid* grid = CurrentPage() == TechnicalPage::kTerminals ? GridTerminais
                      : CurrentPage() == TechnicalPage::kTaxes   ? GridTributacoes
                                                                 : nullptr;
  if (!grid) return;
  db::Table& table = *PageTable();
  if (table.empty()) return;
  TFLocaliza find(this, table, grid->KeyLabels(), [this, grid] {
    grid->Reload();
    ReadAll();
  });
  find.exec();
}

void TFItQ7300::Comunicar(bool send) {
  if (AnyEditing()) return;
  const config::TechnicalPageUse use = config::UseOfPage(CurrentPage());
  const int job = send ? use.send_job : use.read_job;
  if (job == 0) return;
  std::optional<kaslo::DateTime> when;
  if (job == comm::kJobDateTimeLoad) {
    when = TypedDateTime();
    if (!when) return;
  }
  Command("Ler")->setEnabled(false);
  Command("Enviar")->setEnabled(false);
  OpenCommunication(job, when);
  // a reading replaced in the viewer shows at once
  SetBrowseState();
  if (!send) prm_->first();
  ShowTables();
  ShowKeyboard();
}

// ---- the keyboard

QPoint TFItQ7300::KeyMenuPoint(const QWidget* key) const {
  const QPoint key_left = key->mapToGlobal(QPoint(0, 0));
  return {key_left.x() - 30, frameGeometry().top() + key->y() + height() / 2};
}

void TFItQ7300::ShowKeyboard() {
  Teclado->ClearAll();
  for (auto& [code, action] : function_actions_) action->setEnabled(true);
  for (const auto& [position, key] : config::ProgrammedKeys(*tey_)) {
    Teclado->SetLegend(position, FromUtf8(key.legend), FromUtf8(key.hint));
    if (auto it = function_actions_.find(key.code); it != function_actions_.end()) it->second->setEnabled(false);
  }
}

void TFItQ7300::KeyClicked(int position) {
  KeyCap* key = Teclado->Key(position);
  if (!key) return;
  key_position_ = position;
  key_shows_legend_ = !key->text().isEmpty();
  key_menu_->popup(KeyMenuPoint(key));
}

void TFItQ7300::FunctionChosen(const config::KeyFunction& function) {
  key_menu_->close();
  if (!function.assignable || key_shows_legend_ || key_position_ == 0) return;
  const config::KeyAssignment outcome = config::AssignKey(*tey_, key_position_, function.code);
  switch (outcome.result) {
    case config::KeyAssignment::kAssigned:
      Teclado->SetLegend(key_position_, FromUtf8(function.legend), FromUtf8(outcome.key.hint));
      function_actions_[function.code]->setEnabled(false);
      key_shows_legend_ = true;
      break;
    case config::KeyAssignment::kNoFunction:
      Messages().information(config::FunctionMissingText(function.caption));
      break;
    case config::KeyAssignment::kFailed:
      Messages().information(config::EditFailure(config::kMsgEditarTeclaFalhou, outcome.cause));
      break;
  }
}

void TFItQ7300::ReleaseKey() {
  key_menu_->close();
  if (key_position_ == 0) return;
  const config::KeyRelease outcome = config::ReleaseKey(*tey_, key_position_);
  if (!outcome.ok) {
    Messages().information(config::EditFailure(config::kMsgDesabilitarTeclaFalhou, outcome.cause));
    return;
  }
  for (const std::string& legend : outcome.freed) {
    for (const config::KeyFunction* function : config::KeyFunctions()) {
      if (function->legend == legend) function_actions_[function->code]->setEnabled(true);
    }
  }
  Teclado->SetLegend(key_position_, QString(), QString());
  key_shows_legend_ = false;
}

}  // namespace kaslo::ui
