#include "config/ui/TFCadPrmAdm.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QTabWidget>

#include "comm/system_ini.h"
#include "common/messages.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/engine_error.h"
#include "common/ui/qt_text.h"
#include "config/parameters.h"
#include "db/tables/ycoprm.h"
#include "registers/ui/TDBComboQuelbrix.h"

namespace kaslo::ui {

namespace {

const WindowRegistrar kRegistrar{"TFCadPrmAdm", [](const OpenContext& context) {
                                   TFCadPrmAdm window(context.owner, context.data_dir);
                                   window.exec();
                                 }};

}  // namespace

QLineEdit* TFCadPrmAdm::Edit(QWidget* parent, const db::FieldDef& field, int width) {
  auto* edit = new QLineEdit(parent);
  edit->setFixedWidth(width);
  Fields(*prm_).BindEdit(edit, field);
  return edit;
}

TFCadPrmAdm::TFCadPrmAdm(QWidget* owner, const std::filesystem::path& data_dir) : ConfigWindow(owner, data_dir) {
  setObjectName(QStringLiteral("TFCadPrmAdm"));
  setWindowTitle(QStringLiteral("Parametrização do Sistema Administrativo"));
  prm_ = db_.open(ycoprm::kTable, {.tag = "", .exclusive = false});

  QAction* alterar = AddCommand("Alterar", QStringLiteral("&Alterar"), QKeySequence(Qt::ALT | Qt::Key_A),
                                QStringLiteral("Alterar|Altera os parâmetros do sistema"), [this] { Alterar(); });
  QAction* cancelar = AddCommand("Cancelar", QStringLiteral("Cancelar"), QKeySequence(Qt::ALT | Qt::Key_C),
                                 QStringLiteral("Cancelar|Cancelar as modificações efetuadas"), [this] { Cancelar(); });
  QAction* gravar = AddCommand("Gravar", QStringLiteral("Gravar"), QKeySequence(Qt::ALT | Qt::Key_G),
                               QStringLiteral("Gravar|Grava as alterações efetuadas"), [this] { Gravar(); });
  QAction* sair = AddCommand("Sair", QStringLiteral("Sair"), QKeySequence(Qt::Key_Escape),
                             QStringLiteral("Sair|Sair da tela atual"), [this] { Sair(); });
  BuildBars({alterar, cancelar, gravar, nullptr, sair}, {alterar, cancelar, gravar, nullptr, sair});

  // ---- "Operacional I"
  QWidget* first = AddPage(QStringLiteral("Operacional I"));
  QGridLayout* grid = AddGroup(first, QStringLiteral("  Dados da Empresa  "), "GroupEmpresa");
  QWidget* company = grid->parentWidget();
  AddPanel(company);
  std::vector<QWidget*> chain;
  int row = 0;
  auto line = [&](const QString& text, QWidget* control, int span = 1) {
    AddLabel(grid, text, control, row, 0);
    grid->addWidget(control, row, 1, 1, span);
    chain.push_back(control);
  };
  auto choices = [&](int index, const db::FieldDef& expanded, const db::FieldDef& centred) {
    auto* exp = NewCombo(*prm_, company, expanded, kNaoSim, kNS);
    auto* cen = NewCombo(*prm_, company, centred, kNaoSim, kNS);
    exp->setObjectName(FromLatin1(expanded.name));
    cen->setObjectName(QStringLiteral("CEN%1").arg(index + 1));
    AddRow(grid, QStringLiteral("Exp.?"), exp, row, 3);
    AddRow(grid, QStringLiteral("Cent.?"), cen, row, 5);
    chain.push_back(exp);
    chain.push_back(cen);
    centring_[static_cast<size_t>(index)] = cen;
  };

  PRM_NOLOJA = Edit(company, ycoprm::PRM_NOLOJA, 50);
  line(QStringLiteral("Nº da Loja:"), PRM_NOLOJA);
  ++row;
  line(QStringLiteral("CNPJ:"), Edit(company, ycoprm::PRM_CNPJ, 130));
  ++row;
  line(QStringLiteral("I.E.:"), Edit(company, ycoprm::PRM_IE, 160));
  ++row;
  line(QStringLiteral("I.M.:"), Edit(company, ycoprm::PRM_IM, 160));
  ++row;
  line(QStringLiteral("Razão Social:"), Edit(company, ycoprm::PRM_RAZAOS, 320));
  choices(0, ycoprm::Q40_EXPA1, config::kHeaderCentring[0].shown);
  ++row;
  line(QStringLiteral("Endereço:"), Edit(company, ycoprm::PRM_ENDERE, 320));
  choices(1, ycoprm::Q40_EXPA2, config::kHeaderCentring[1].shown);
  ++row;
  line(QStringLiteral("Complemento:"), Edit(company, ycoprm::PRM_COMPLE, 180));
  ++row;
  line(QStringLiteral("Adicional [1]:"), Edit(company, ycoprm::Q40_ADIC1, 320));
  choices(2, ycoprm::Q40_EXPA3, config::kHeaderCentring[2].shown);
  ++row;
  line(QStringLiteral("Adicional [2]:"), Edit(company, ycoprm::Q40_ADIC2, 320));
  choices(3, ycoprm::Q40_EXPA4, config::kHeaderCentring[3].shown);
  ++row;
  line(QStringLiteral("Bairro:"), Edit(company, ycoprm::PRM_BAIRRO, 180));
  ++row;
  line(QStringLiteral("Município:"), Edit(company, ycoprm::PRM_MUNICI, 180));
  ++row;
  line(QStringLiteral("UF:"), Edit(company, ycoprm::PRM_UF, 36));
  ++row;
  {
    const auto [cep, cepp] = AddCepRow(grid, *prm_, row);
    chain.push_back(cep);
    chain.push_back(cepp);
  }
  ++row;
  line(QStringLiteral("DDD:"), Edit(company, ycoprm::PRM_DDD, 40));
  ++row;
  QLineEdit* fone = Edit(company, ycoprm::PRM_FONE, 100);
  AddRow(grid, QStringLiteral("Fone/Fax:"), fone, row);
  grid->setColumnStretch(2, 1);
  grid->setColumnMinimumWidth(2, 12);
  first->layout()->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
  SetEnterChain(chain, {fone});

  // ---- "Operacional II"
  QWidget* second = AddPage(QStringLiteral("Operacional II"));
  QGridLayout* comm_grid = AddGroup(second, QStringLiteral("  Interface de Comunicação  "), "GroupComunicacao");
  QWidget* comm_box = comm_grid->parentWidget();
  AddPanel(comm_box);
  auto* logz = NewCombo(*prm_, comm_box, ycoprm::Q40_LOGZ, kNaoSim, kNS);
  AddRow(comm_grid, QStringLiteral("Zerar LOG no terminal após leitura?:"), logz, 0);
  LogOnLine = new QComboBox(comm_box);
  LogOnLine->setObjectName(QStringLiteral("LogOnLine"));
  LogOnLine->addItems({QStringLiteral("NAO"), QStringLiteral("SIM")});
  AddRow(comm_grid, QStringLiteral("LOG On Line ?:"), LogOnLine, 1);
  comm_grid->setColumnStretch(2, 1);

  QGridLayout* reg_grid = AddGroup(second, QStringLiteral("  Parametrização de Cadastro  "), "GroupCadastro");
  QWidget* reg_box = reg_grid->parentWidget();
  AddPanel(reg_box);
  auto* digcon = NewCombo(*prm_, reg_box, ycoprm::Q40_DIGCON, kNaoSim, kNS);
  AddRow(reg_grid, QStringLiteral("Habilitar gerenciamento do Código de Barras ?:"), digcon, 0);
  free_code_ = NewCombo(*prm_, reg_box, ycoprm::PRM_CODFRE, kNaoSim, kNS);
  AddRow(reg_grid, QStringLiteral("Procura código livre a partir do registro inicial ?:"), free_code_, 1);
  reg_grid->setColumnStretch(2, 1);
  second->layout()->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
  SetEnterChain({logz, LogOnLine, digcon, free_code_, logz}, {});
  first_of_second_page_ = logz;

  resize(720, 560);
  ReadLogOnLine();
  prm_->first();
  Start();
}

QWidget* TFCadPrmAdm::PageFirstField() {
  return Pages()->currentIndex() == 0 ? static_cast<QWidget*>(PRM_NOLOJA) : first_of_second_page_;
}

bool TFCadPrmAdm::BeginEdit(db::Table& table) {
  config::BeginParameterEdit(table);
  return true;
}

void TFCadPrmAdm::BeforePost(db::Table& table) {
  for (size_t line = 0; line < centring_.size(); ++line) {
    if (centring_[line]->Touched()) {
      config::WriteCentring(table, config::kHeaderCentring[line], ToLatin1(centring_[line]->Value()));
    }
  }
}

void TFCadPrmAdm::AfterPost() {
  // the INI file follows the row, never a cancelled edit
  comm::SetLogOnLine(db_.dir(), config::LogOnLineChosen(ToUtf8(LogOnLine->currentText())));
}

void TFCadPrmAdm::AfterCancel() { ReadLogOnLine(); }

void TFCadPrmAdm::ReadLogOnLine() {
  LogOnLine->setCurrentText(FromUtf8(config::LogOnLineText(comm::LogOnLine(db_.dir()))));
}

std::string TFCadPrmAdm::PostFailedText(const std::string& cause) const {
  return config::EditFailure(config::kMsgAlterarFalhou, cause);
}

void TFCadPrmAdm::UpdateCommands(bool editing) {
  Command("Alterar")->setEnabled(!editing);
  Command("Sair")->setEnabled(!editing);
  Command("Gravar")->setEnabled(editing);
  Command("Cancelar")->setEnabled(editing);
}

void TFCadPrmAdm::ShowRows() {
  // a blank choice searches from the first code, as "SIM" does
  if (Fields(*prm_).HasRow() && !free_code_->Touched()) {
    free_code_->ShowStored(FromLatin1(config::FreeCodeSearchShown(prm_->getString(ycoprm::PRM_CODFRE))));
  }
}

}  // namespace kaslo::ui
