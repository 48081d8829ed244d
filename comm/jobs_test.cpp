// Job control without a terminal: the job table, the terminal list read from
// Ycoter, the selection and start of the job runner with its messages, the
// closing question of the product loads and the continuous LOG option.
#include "comm/jobs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "comm/job_runner.h"
#include "common/testing/scripted_messages.h"
#include "db/tables/ycoter.h"
#include "db/tables/ycoy60.h"
#include "db/temp_data_dir.h"

namespace kaslo::comm {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(JobTable, EveryKind) {
  struct Case {
    int kind;
    const char* caption;
    char direction;
    const char* reg;
  } cases[] = {
      {1, "Efetuar Leitura X", 'G', "X"},
      {2, "Efetuar Leitura de Memória Fiscal", 'G', "M00019999"},
      {3, "Relatório de Vendas por Vendedor", 'G', "6"},
      {4, "Relatório de Vendas por Horário", 'G', ""},
      {5, "Relatório de Vendas por Produtos", 'G', "5"},
      {6, "Relatório de Vendas por Departamento", 'G', "1"},
      {7, "Relatório de Vendas por Operador", 'G', "3"},
      {8, "Leitura do Cadastro de Operadores", 'S', "user"},
      {9, "Leitura do Cadastro de Vendedores", 'S', "vend"},
      {10, "Leitura do Cadastro de Grupos de Depto", 'S', "grpdepto"},
      {11, "Leitura do Cadastro de Departamentos", 'S', "depto"},
      {12, "Leitura de Configuração de Finalizadoras", 'S', "cfgfinal"},
      {13, "Leitura de Configuração de Parâmetros Diversos/Periféricos", 'S', "perif"},
      {14, "Leitura de Configuração de Parâmetros Descontos/Acréscimos", 'S', "descacr"},
      {15, "Leitura de Configuração de Mensagem de Venda", 'S', "footer"},
      {16, "Leitura do Cadastro de Clientes", 'S', "Client"},
      {17, "Leitura de Configuração da Loja", 'S', "codbarra"},
      {18, "Leitura do Cadastro de Produtos", 'S', "Prods"},
      {19, "Leitura de Data e Hora do Equipamento", 'S', "datahora"},
      {20, "Leitura de Finalizadoras", 'S', "finaliz"},
      {21, "Leitura de Layout de Teclado", 'S', "teclado"},
      {23, "Leitura de LOG", 'S', "Logs"},
      {24, "Leitura dos dados da loja", 'S', "header"},
      {87, "Efetuar Limpeza de LOG", 'C', "ZLogs"},
      {88, "Enviar Cadastro de Operadores", 'R', "user"},
      {99, "Enviar Cadastro de Vendedores", 'R', "vend"},
      {101, "Enviar Cadastro de Grupos de Depto", 'R', "grpdepto"},
      {111, "Enviar Cadastro de Departamentos", 'R', "depto"},
      {121, "Enviar Configuração de Finalizadoras", 'R', "finaliz"},
      {131, "Enviar Configuração de Parâmetros Diversos/Periféricos", 'R', "perif"},
      {141, "Enviar Configuração de Parâmetros Descontos/Acréscimos", 'R', "descacr"},
      {151, "Enviar Configuração de Mensagem de Venda", 'R', "footer"},
      {161, "Enviar Cadastro de Clientes", 'R', "Client"},
      {171, "Enviar Configuração da Loja", 0, ""},
      {181, "Enviar Cadastro de Produtos (Carga Completa)", 'R', "Prods"},
      {191, "Envio de Data e Hora do Equipamento", 'R', "datahora"},
      {202, "Enviar Cadastro de Finalizadoras", 0, ""},
      {211, "Enviar Layout de Teclado", 'R', "teclado"},
      {232, "Enviar Programacão da Loja", 0, ""},
      {241, "Carga de Terminais", 'R', "header"},
      {499, "Enviar Cadastro de Produtos(Alterar Estoque)", 'R', "nlumnt"},
      {997, "Leitura SINTEGRA - Mês Anterior", 'S', "r60mold"},
      {998, "Leitura SINTEGRA - Mês Atual", 'S', "r60m"},
  };
  ASSERT_EQ(JobTable().size(), std::size(cases));
  for (const Case& c : cases) {
    const JobKind* job = FindJob(c.kind);
    ASSERT_NE(job, nullptr) << c.kind;
    EXPECT_EQ(JobCaption(c.kind), c.caption) << c.kind;
    EXPECT_EQ(job->direction, c.direction) << c.kind;
    EXPECT_EQ(job->register_name, c.reg) << c.kind;
    EXPECT_EQ(IsServableJob(c.kind), c.direction != 0) << c.kind;
    EXPECT_EQ(IsReadingJob(c.kind), c.kind <= 24 || c.kind >= 997) << c.kind;
  }
  EXPECT_EQ(FindJob(22), nullptr);
  EXPECT_FALSE(IsServableJob(500));
  EXPECT_EQ(JobCaption(500), "Carga de Terminais");
  EXPECT_EQ(JobCaption(499, false), "Enviar Cadastro de Produtos(Não Alterar Estoque)");
  EXPECT_EQ(StartQuestion(1, "Efetuar Leitura X"), "Confirma  [ Efetuar Leitura X ]\rdos terminais selecionados ?");
  EXPECT_EQ(StartQuestion(88, "X"), "Confirma  [ X ]\rpara terminais selecionados ?");
  EXPECT_EQ(JobRegisters(131), (Strings{"perif", "codbarra", "flags"}));
  EXPECT_EQ(JobRegisters(101), (Strings{"grpdepto", "depto"}));
  EXPECT_EQ(JobRegisters(998), (Strings{"r60m", "id", "Prods"}));
}

// What the preparation, the sessions and the viewer rely on in every row.
TEST(JobTable, RowsAgreeWithThemselves) {
  for (const JobKind& job : JobTable()) {
    SCOPED_TRACE(job.kind);
    if (!IsServableJob(job.kind)) {
      EXPECT_TRUE(job.steps.empty());
      EXPECT_EQ(job.role, JobRole::kNone);
      continue;
    }
    ASSERT_FALSE(job.steps.empty());
    EXPECT_EQ(job.steps.front().letter, job.direction);
    EXPECT_FALSE(job.steps.front().only_with_log_clear);
    bool has_register = job.register_name.empty();
    for (const JobStep& step : job.steps) {
      // A load sends built files and asks nothing; the others ask and build nothing.
      EXPECT_EQ(step.letter == 'R', job.role == JobRole::kLoad) << step.file;
      EXPECT_EQ(step.build != nullptr, job.role == JobRole::kLoad) << step.file;
      EXPECT_LE(StepWireName(step).size(), 13u);
      has_register |= step.file == job.register_name;
    }
    EXPECT_TRUE(has_register);
    EXPECT_EQ(JobRegisters(job.kind).empty(), job.register_name.empty());
    if (!job.companion.empty()) {
      EXPECT_NE(job.companion, job.register_name);
      EXPECT_TRUE(std::any_of(job.steps.begin(), job.steps.end(),
                              [&](const JobStep& s) { return s.file == job.companion; }));
    }
    // The identity answer is read on the sending side, before a load's files.
    if (job.identity == Identity::kAnswer) EXPECT_EQ(job.role, JobRole::kLoad);
    EXPECT_EQ(BlockSize(job.kind), job.kind == kJobClientLoad ? 128u : 80u);
  }
  EXPECT_EQ(BlockSize(22), 80u);
}

// A reading asks only for what it prepared: job 13's requests do not make
// job 17 a three-register reading, and a load leaves requests alone.
TEST(JobPreparation, RequestsOfOtherKindsAreDeleted) {
  db::testing::TempDataDir dir({.demo = true});
  auto exists = [&](const char* name) { return fs::exists(dir.path() / name); };
  ASSERT_EQ(PrepareJobFiles(dir.db(), 13, {}, {"1"}).outcome, Preparation::kReady);
  ASSERT_TRUE(exists("Sperif.dad") && exists("Sflags.dad") && exists("Scodbarra.dad"));
  ASSERT_EQ(PrepareJobFiles(dir.db(), 88, {}, {"1"}).outcome, Preparation::kReady);
  EXPECT_TRUE(exists("Sperif.dad") && exists("Sflags.dad"));
  ASSERT_EQ(PrepareJobFiles(dir.db(), 17, {}, {"1"}).outcome, Preparation::kReady);
  EXPECT_TRUE(exists("Scodbarra.dad"));
  EXPECT_FALSE(exists("Sperif.dad"));
  EXPECT_FALSE(exists("Sflags.dad"));
  ASSERT_EQ(PrepareJobFiles(dir.db(), 8, {}, {"1"}).outcome, Preparation::kReady);
  EXPECT_FALSE(exists("Scodbarra.dad"));
  EXPECT_TRUE(exists("Suser.dad"));
  // A kind without steps prepares nothing.
  EXPECT_EQ(PrepareJobFiles(dir.db(), 171, {}, {"1"}).message, "Erro ao tentar criar [  ] !");
}

// The demo store: terminals 1 to 3 at 127.0.0.1 to 127.0.0.3, plus a
// terminal 12 without an address.
class JobRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto t = dir_.db().open(ycoter::kTable);
    t->append();
    t->setNumber(ycoter::ESTACAO, 12);
    ASSERT_TRUE(t->post());
  }
  const db::Database& db() const { return dir_.db(); }
  void QueueProduct() {
    auto t = db().open(ycoy60::kTable);
    t->append();
    t->setNumber(ycoy60::Y60_PROPLU, 7);
    t->setString(ycoy60::Y60_STATUS, "2");
    ASSERT_TRUE(t->post());
  }
  size_t QueueRows() const { return db().open(ycoy60::kTable)->recordCount(); }

  db::testing::TempDataDir dir_{{.demo = true}};
  kaslo::testing::ScriptedMessages messages_;
};

TEST_F(JobRunnerTest, TerminalListFromYcoter) {
  JobRunner runner(db(), 88);
  EXPECT_EQ(runner.caption(), "Enviar Cadastro de Operadores");
  auto rows = runner.list().snapshot();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (TerminalRow{"1", "127.0.0.1", "Stand By", "0 %", kImageStandBy}));
  EXPECT_EQ(rows[2], (TerminalRow{"3", "127.0.0.3", "Stand By", "0 %", kImageStandBy}));
  EXPECT_EQ(rows[3], (TerminalRow{"12", "", "Stand By", "0 %", kImageStandBy}));
  EXPECT_FALSE(IsSelectableRow(rows[3]));
}

TEST_F(JobRunnerTest, SelectionNeverTakesARowWithoutAddress) {
  JobRunner runner(db(), 88);
  runner.selectAll();
  EXPECT_EQ(runner.list().row(0).image, kImageSelected);
  EXPECT_EQ(runner.list().row(0).status, "Selecionado");
  EXPECT_EQ(runner.list().row(3).image, kImageStandBy);
  runner.toggleRow(3);
  EXPECT_EQ(runner.list().row(3).image, kImageStandBy);
  runner.toggleRow(1);
  EXPECT_EQ(runner.list().row(1).image, kImageStandBy);
  runner.selectNone();
  EXPECT_EQ(runner.list().row(0).status, "Stand By");
  EXPECT_EQ(runner.selectCaptions({"2", "12"}), Strings{"12"});
  EXPECT_EQ(runner.list().row(1).image, kImageStandBy);  // nothing selected on an unknown caption
  EXPECT_TRUE(runner.selectCaptions({"2"}).empty());
  EXPECT_EQ(runner.list().row(1).image, kImageSelected);
}

TEST_F(JobRunnerTest, StartWithoutSelectionOnlyShowsTheMessage) {
  JobRunner runner(db(), 88);
  auto before = runner.list().snapshot();
  EXPECT_EQ(runner.start(0, "127.0.0.1"), JobRunner::StartResult::kNoSelection);
  EXPECT_EQ(messages_.texts(), Strings{"Não foi selecionado nenhum terminal para comunicação!"});
  EXPECT_EQ(runner.list().snapshot(), before);
  EXPECT_FALSE(runner.selectionLocked());
  EXPECT_FALSE(fs::exists(dir_.path() / "Ruser.dad"));
}

TEST_F(JobRunnerTest, DeclinedStartKeepsSelectionLocked) {
  JobRunner runner(db(), 1);
  runner.toggleRow(0);
  messages_.QueueConfirm(false);
  EXPECT_EQ(runner.start(0, "127.0.0.1"), JobRunner::StartResult::kDeclined);
  EXPECT_EQ(messages_.texts(), Strings{"Confirma  [ Efetuar Leitura X ]\rdos terminais selecionados ?"});
  EXPECT_TRUE(runner.selectionLocked());
  runner.toggleRow(1);
  EXPECT_EQ(runner.list().row(1).image, kImageStandBy);
  EXPECT_FALSE(fs::exists(dir_.path() / "GX.dad"));
}

TEST_F(JobRunnerTest, StartArmsSelectedRowsOnly) {
  JobRunner runner(db(), 88);
  runner.toggleRow(1);
  messages_.QueueConfirm(true);
  ASSERT_EQ(runner.start(0, "127.0.0.1"), JobRunner::StartResult::kStarted);
  EXPECT_TRUE(runner.listening()) << runner.serverError();
  EXPECT_NE(runner.port(), 0);
  EXPECT_EQ(runner.label(), "Servidor de comunicação inicializado");
  EXPECT_EQ(runner.list().row(0).status, "Stand By");
  EXPECT_EQ(runner.list().row(1), (TerminalRow{"2", "127.0.0.2", "Aguardando Comunicação", "0 %", kImageWaiting}));
  EXPECT_TRUE(fs::exists(dir_.path() / "Ruser.dad"));
  EXPECT_FALSE(runner.finished());
  EXPECT_FALSE(runner.close());
  EXPECT_EQ(runner.label(), "Servidor de comunicação encerrado");
  EXPECT_FALSE(runner.listening());
  EXPECT_EQ(messages_.pending(), 0u);
}

TEST_F(JobRunnerTest, ProductLoadWithoutProductsClosesWithMessage) {
  db().open("Ycopro", {.tag = "", .exclusive = true})->emptyTable();
  JobRunner runner(db(), kJobProductLoad);
  runner.setConfirmation(false);
  runner.selectAll();
  EXPECT_EQ(runner.start(0, "127.0.0.1"), JobRunner::StartResult::kNoRecords);
  EXPECT_EQ(messages_.texts(), Strings{"Não foram localizados registros com esta seleção."});
  EXPECT_FALSE(runner.listening());
}

TEST_F(JobRunnerTest, FileThatCannotBeWrittenStartsNothing) {
  fs::create_directory(dir_.path() / "vend");
  std::ofstream(dir_.path() / "vend" / "keep") << "x";
  JobRunner runner(db(), 99);
  runner.setConfirmation(false);
  runner.selectAll();
  EXPECT_EQ(runner.start(0, "127.0.0.1"), JobRunner::StartResult::kFailed);
  EXPECT_EQ(messages_.texts(), Strings{"Erro ao tentar criar vend ![w]"});
  EXPECT_EQ(runner.list().row(0).image, kImageSelected);
  EXPECT_FALSE(runner.listening());
}

TEST_F(JobRunnerTest, ClosingQuestionOfProductLoads) {
  for (int kind : {kJobProductLoad, kJobChangedProducts}) {
    for (bool yes : {false, true}) {
      QueueProduct();
      std::ofstream(dir_.path() / "Rnlumnt.dad") << "line\r\n";
      messages_.Clear();
      messages_.QueueConfirm(yes);
      JobRunner runner(db(), kind);
      EXPECT_EQ(runner.close(), yes) << kind;
      EXPECT_EQ(messages_.texts(), Strings{"Deseja apagar o arquivo de alterações\rde produtos ? [sn]"}) << kind;
      // Emptying the queue loses the changes not yet sent: No is the default.
      EXPECT_EQ(messages_.messages()[0].default_answer, kaslo::DefaultAnswer::kNo) << kind;
      EXPECT_EQ(QueueRows() == 0, yes) << kind;
      EXPECT_EQ(fs::exists(dir_.path() / "Rnlumnt.dad"), !yes) << kind;
    }
  }
  // An empty queue, or another job: no question.
  messages_.Clear();
  EXPECT_FALSE(JobRunner(db(), kJobProductLoad).close());
  QueueProduct();
  EXPECT_FALSE(JobRunner(db(), 88).close());
  EXPECT_TRUE(messages_.texts().empty());
  EXPECT_EQ(QueueRows(), 1u);
}

TEST_F(JobRunnerTest, ContinuousLogOptionOfTheIniFile) {
  EXPECT_FALSE(JobRunner(db(), kJobLogReading).continuousLog());
  std::ofstream(dir_.path() / "rurudor.ini") << "[Sistema]\r\nLogOnLine=1\r\n";
  EXPECT_TRUE(JobRunner(db(), kJobLogReading).continuousLog());
}

}  // namespace
}  // namespace kaslo::comm
