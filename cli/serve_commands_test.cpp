// `kaslo serve` run as a user runs it, against kaslo-terminal over loopback:
// the SINTEGRA readings of the current and the previous month, from the
// identity, product memory and reductions the terminal answers to the file
// "r60m1.txt" or "r60mold1.txt" compared line by line, and the rows the
// command prints. Then `kaslo sintegra` and `kaslo sintegra-daily`, the
// same files built from the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <tuple>

#include "comm/protocol_test_support.h"
#include "comm/sintegra_check.h"
#include "comm/sintegra_test_store.h"
#include "comm/terminal_bytes_test_support.h"
#include "common/clock.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycoycf.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoter.h"
#include "db/tables/ycotrb.h"
#include "db/temp_data_dir.h"
#include "viewers/payment_types_testing.h"

namespace kaslo::cli {

namespace {

using namespace comm::testing;
using Strings = std::vector<std::string>;

// An 86-byte record of the terminal's product memory.
std::string ProductMemory(std::string_view plu12, std::string_view description, std::string_view quantity12,
                          uint32_t value_int, uint16_t value_frac) {
  std::string r = Bcd(plu12);
  std::string d(description);
  d.resize(20, '\0');
  r += d + Bcd("00001250") + Bcd("01") + Bcd("01") + std::string(6, '\0');
  r += Bcd(quantity12) + Le(value_int, 4) + Le(value_frac, 2) + Le(value_int, 4) + Le(value_frac, 2);
  r += std::string(18, '\x11') + Bcd("00000000") + "\x01" "0";
  r.resize(86, '\0');
  return r;
}

// A daily reduction of 227 bytes: day ddmmyy, one ICMS rate of 18 %.
std::string ReductionRecord(const std::string& ddmmyy) {
  std::string r = Bcd(ddmmyy) + Pad("BE0123456789012", 15) + BcdLowFirst("0001") + Bcd("000100") + Bcd("000250") +
                  BcdLowFirst("0042") + BcdLowFirst("0003") + Bcd("00000000123456") + Bcd("000000000009876543");
  r += std::string(2, '\0') + Bcd(std::string(14, '0')) + Bcd(std::string(14, '0'));
  r += Bcd("1800");
  for (int i = 1; i < 16; ++i) r += Bcd("0000");
  r += Bcd("00000000010000");
  for (int i = 1; i < 16; ++i) r += Bcd(std::string(14, '0'));
  r += Bcd(std::string(14, '0')) + Bcd(std::string(14, '0')) + Bcd(std::string(14, '0'));
  return r;
}

// `kaslo serve` as a child process whose output is read as it comes.
class ServeProcess {
 public:
  explicit ServeProcess(const Strings& args) {
    std::string program = (BinDir() / "kaslo").string();
    std::vector<std::string> copy = args;
    copy.insert(copy.begin(), program);
    std::vector<char*> argv;
    for (std::string& arg : copy) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out_ = fdopen(fds[0], "r");
  }
  ~ServeProcess() {
    if (pid_ > 0) Wait();
  }
  // The next line without its end; false at the end of the output.
  bool ReadLine(std::string& line) {
    line.clear();
    if (!out_) return false;
    for (int c; (c = std::fgetc(out_)) != EOF;) {
      if (c == '\n') return true;
      line.push_back(static_cast<char>(c));
    }
    return !line.empty();
  }
  int Wait() {
    if (out_) {
      std::fclose(out_);
      out_ = nullptr;
    }
    int status = 0;
    if (pid_ > 0) waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
};

class ServeCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    terminal_dir_ = FreshDir("kaslo_serve_terminal_");
    auto prm = comm::testing::EditStoreIdentity(db());
    prm->setString(ycoprm::PRM_COMPLE, "LOJA 2");
    prm->setString(ycoprm::PRM_BAIRRO, "CENTRO");
    prm->setString(ycoprm::PRM_CONTAT, "MARIA SOUZA");
    ASSERT_TRUE(prm->post());
    prm.reset();

    auto trb = db().open(ycotrb::kTable);
    trb->append();
    trb->setNumber(ycotrb::TRB_CODIGO, 1);
    trb->setString(ycotrb::TRB_DESCR, "ICMS");
    trb->setNumber(ycotrb::TRB_PERCEN, 18.0);
    ASSERT_TRUE(trb->post());
    auto pro = db().open(ycopro::kTable);
    pro->append();
    pro->setNumber(ycopro::PRO_PLU, 123);
    pro->setString(ycopro::PRO_DESCR, "ARROZ 5KG");
    pro->setNumber(ycopro::PRO_TRIBUT, 1);
    pro->setNumber(ycopro::PRO_UNMED, 1);
    ASSERT_TRUE(pro->post());
    auto ter = db().open(ycoter::kTable);
    ter->append();
    ter->setNumber(ycoter::ESTACAO, 1);
    ter->setString(ycoter::TER_ECFSER, "127.0.0.1");
    ASSERT_TRUE(ter->post());
  }
  void TearDown() override { fs::remove_all(terminal_dir_); }
  const db::Database& db() const { return dir_.db(); }

  // The port `kaslo serve` says it listens on ("... (porta P)"); empty
  // when its output ends first.
  static std::string AnnouncedPort(ServeProcess& serve) {
    for (std::string line; serve.ReadLine(line);) {
      const auto at = line.find("(porta ");
      if (at != std::string::npos) return line.substr(at + 7, line.size() - at - 8);
    }
    return {};
  }

  // Serves a SINTEGRA reading (job 998 or 997) to kaslo-terminal, whose
  // reductions are dated the 3rd of the period's month, and checks the rows
  // the command prints; returns the period of the file, read from the same
  // clock as the command's.
  struct Period {
    std::string mm, yyyy, first, last;
  };
  Period ServeReading(int job, const std::string& title, const std::string& reductions_wire,
                      const std::string& result_file) {
    using namespace std::chrono;
    const year_month_day today = kaslo::Today();
    const year_month_day date =
        job == 998 ? today : year_month_day{sys_days{today.year() / today.month() / day{1}} - days{1}};
    char mm[8], yyyy[8], yy[8], last_day[8];
    std::snprintf(mm, sizeof mm, "%02u", static_cast<unsigned>(date.month()));
    std::snprintf(yyyy, sizeof yyyy, "%04d", static_cast<int>(date.year()));
    std::snprintf(yy, sizeof yy, "%02d", static_cast<int>(date.year()) % 100);
    std::snprintf(last_day, sizeof last_day, "%02u",
                  static_cast<unsigned>(year_month_day_last{date.year(), month_day_last{date.month()}}.day()));
    Period period{mm, yyyy, std::string(yyyy) + mm + "01", std::string(yyyy) + mm + last_day};

    const fs::path out = terminal_dir_ / "out";
    Write(out / "Sid.dad", "QZV7300 FW 01.02.03 N5XYZ\r\n");
    Write(out / "SProds.dad", ProductMemory("000000000123", "ARROZ 5KG", "000000002500", 1500, 50));
    Write(out / reductions_wire, ReductionRecord(std::string("03") + mm + yy));

    ServeProcess serve({"serve", dir_.path().string(), "--job", std::to_string(job), "--terminals", "1", "--port",
                        "0", "--bind", "127.0.0.1", "--timeout", "120"});
    std::string line;
    EXPECT_TRUE(serve.ReadLine(line));
    EXPECT_EQ(line, title);
    const std::string port = AnnouncedPort(serve);
    Strings rows;
    if (port.empty()) {
      ADD_FAILURE() << "no port announced";
      return period;
    }
    ProcessResult terminal = RunTerminal({"--port", port, "--from", "127.0.0.1", "--receive-dir",
                                          (terminal_dir_ / "in").string(), "--send-dir", out.string(), "--timeout",
                                          "60"});
    EXPECT_EQ(terminal.exit_code, 0) << terminal.out;
    EXPECT_EQ(Lines(terminal.out), (Strings{"127.0.0.1 sent Sid.dad 27", "127.0.0.1 sent SProds.dad 86",
                                            "127.0.0.1 sent " + reductions_wire + " 227", "127.0.0.1 end"}));
    while (serve.ReadLine(line)) rows.push_back(line);
    EXPECT_EQ(serve.Wait(), 0);
    EXPECT_GE(rows.size(), 3u);
    if (rows.empty()) return period;
    EXPECT_EQ(rows.front(), "1\t127.0.0.1\tComunicando\t0 %");
    EXPECT_NE(std::find(rows.begin(), rows.end(),
                        "1\t127.0.0.1\tComunicação Finalizada\t0 %\tSINTEGRA " + result_file),
              rows.end());
    EXPECT_EQ(rows.back(), "Servidor de comunicação encerrado");
    return period;
  }

  static std::string Record10(const Period& p) {
    return "10" "12345678000195" "110042490114  " + Pad("MERCADO EXEMPLO LTDA", 35) + Pad("SAO PAULO", 30) +
           "SP" "1155732100" + p.first + p.last + "331";
  }
  static std::string Record11() {
    return "11" + Pad("RUA DAS FLORES", 34) + "00120" + Pad("LOJA 2", 22) + Pad("CENTRO", 15) + "04117091" +
           Pad("MARIA SOUZA", 28) + "001155732100";
  }
  static std::string Record90(const std::string& type, const std::string& count8) {
    return "90" "12345678000195" "110042490114  " + type + count8 + Blanks(85) + "3";
  }

  // The file of the reading served above.
  static Strings ExpectedFile(const Period& p) {
    const std::string serial = Pad("BE0123456789012", 20);
    const std::string day = p.first.substr(0, 6) + "03";
    return {
        Record10(p),
        Record11(),
        "60M" + day + serial + "001" "2D" "000100" "000250" "000042" "003" "0000000000123456" "0000000009876543" +
            Blanks(37),
        "60A" + day + serial + "1800" "000000010000" + Blanks(79),
        "60R" + p.mm + p.yyyy + "00000000000123" "0000000002500" "0000000000150050" "0000000000150050"
            "0001" + Blanks(54),
        "75" + p.first + p.last + "00000000000123" + Blanks(8) + Pad("ARROZ 5KG", 53) + "KG    " "00000" "1800"
            "0000" "00000000000000",
        Record90("60", "00000003"),
        Record90("75", "00000001"),
        Record90("99", "00000009"),
    };
  }

  db::testing::TempDataDir dir_;
  fs::path terminal_dir_;
};

TEST_F(ServeCommandTest, SintegraReadingOfTheCurrentMonth) {
  const Period period = ServeReading(998, "Leitura SINTEGRA - Mês Atual", "Sr60m.dad", "r60m1.txt");
  const fs::path file = dir_.path() / "r60m1.txt";
  EXPECT_EQ(CheckSintegraFile(file), Strings{});
  EXPECT_EQ(ReadCrLfLines(file), ExpectedFile(period));
  // The inputs of the file go; the identity stays.
  EXPECT_FALSE(fs::exists(dir_.path() / "SProds1.rec"));
  EXPECT_FALSE(fs::exists(dir_.path() / "Sr60m1.rec"));
  EXPECT_TRUE(fs::exists(dir_.path() / "Sid1.rec"));
}

// "Mês anterior": the terminal is asked for its old reductions, and the file
// covers the calendar month before today's.
TEST_F(ServeCommandTest, SintegraReadingOfThePreviousMonth) {
  const Period period = ServeReading(997, "Leitura SINTEGRA - Mês Anterior", "Sr60mold.dad", "r60mold1.txt");
  const fs::path file = dir_.path() / "r60mold1.txt";
  EXPECT_EQ(CheckSintegraFile(file), Strings{});
  EXPECT_EQ(ReadCrLfLines(file), ExpectedFile(period));
  EXPECT_FALSE(fs::exists(dir_.path() / "r60m1.txt"));
  EXPECT_FALSE(fs::exists(dir_.path() / "SProds1.rec"));
  EXPECT_FALSE(fs::exists(dir_.path() / "Sr60mold1.rec"));
}

// `kaslo sintegra` builds the file of a reading already received, for the
// period its --today gives: "Mês anterior" read on 31 March is February.
TEST_F(ServeCommandTest, SintegraCommandBuildsTheFileOfAReceivedReading) {
  Write(dir_.path() / "Sid1.rec", "QZV7300 FW 01.02.03 N5XYZ\r\n");
  Write(dir_.path() / "SProds1.rec", ProductMemory("000000000123", "ARROZ 5KG", "000000002500", 1500, 50));
  Write(dir_.path() / "Sr60mold1.rec", ReductionRecord("030226"));
  ServeProcess missing({"sintegra", dir_.path().string(), "--terminal", "2", "--job", "997"});
  EXPECT_EQ(missing.Wait(), 1);

  ServeProcess run({"sintegra", dir_.path().string(), "--terminal", "1", "--job", "997", "--today", "31/03/2026"});
  std::string line;
  ASSERT_TRUE(run.ReadLine(line));
  const fs::path file = dir_.path() / "r60mold1.txt";
  EXPECT_EQ(line, file.string());
  EXPECT_EQ(run.Wait(), 0);
  EXPECT_EQ(CheckSintegraFile(file), Strings{});
  EXPECT_EQ(ReadCrLfLines(file), ExpectedFile({"02", "2026", "20260201", "20260228"}));
}

// `kaslo sintegra-daily` builds the daily file of every terminal of Ycoter
// from its LOG text.
TEST_F(ServeCommandTest, SintegraDailyCommandBuildsTheFileOfEveryTerminal) {
  Write(dir_.path() / "SLogs1.trz",
        "6001BE0123456789012CC\r\n"
        "63" "000000000123" "0000000000001000" "00001000" "00" "01" "1800" + Pad("ARROZ", 20) + "CC\r\n"
        "FE03122026" "1530" "CC\r\n"
        "6012" "1800" "0000001000" "CC\r\n"
        "6002" "03122026" "0" "001" "000100" "000250" "000042" "000" "003" "0000123456" "0009876543" "CC\r\n");
  ServeProcess run({"sintegra-daily", dir_.path().string(), "12/2026"});
  EXPECT_EQ(run.Wait(), 0);
  const fs::path file = dir_.path() / "SINTEGRA1.txt";
  EXPECT_EQ(CheckSintegraFile(file), Strings{});
  const std::string serial = Pad("BE0123456789012", 20);
  const Strings expected = {
      Record10({"12", "2026", "20261201", "20261231"}),
      Record11(),
      "60M" "20261203" + serial + "001" "2D" "000100" "000250000042" "003" "000000" "0000123456" "000000"
      "0009876543" + Blanks(37),
      "60A" "20261203" + serial + "1800" "000000001000" + Blanks(79),
      "60D" "20261203" + serial + "00000000000123" "0000000001000" "0000000000001000" "0000000000001000" "1800"
      "0000000000180" + Blanks(19),
      "75" "20261203" "20261203" "00000000000123" + Blanks(8) + Pad("ARROZ", 53) + "UN    " "00000" "1800" "0000"
      "00000000000000",
      Record90("60", "00000003"),
      Record90("75", "00000001"),
      Record90("99", "00000009"),
  };
  EXPECT_EQ(ReadCrLfLines(file), expected);

  // A terminal without its LOG text fails the command.
  fs::remove(dir_.path() / "SLogs1.trz");
  ServeProcess failed({"sintegra-daily", dir_.path().string(), "12/2026"});
  EXPECT_EQ(failed.Wait(), 1);
  EXPECT_FALSE(fs::exists(file));
}

// Configuration readings served by `kaslo serve` to kaslo-terminal, then
// written back by `kaslo replace`: the tables read field by field.
class ReplaceCommandTest : public ServeCommandTest {
 protected:
  // Serves reading `job` to terminal 1 until it finished; the terminal sends
  // what lies in its send folder.
  void Serve(int job) {
    ServeProcess serve({"serve", dir_.path().string(), "--job", std::to_string(job), "--terminals", "1", "--port",
                        "0", "--bind", "127.0.0.1", "--timeout", "120"});
    const std::string port = AnnouncedPort(serve);
    ASSERT_FALSE(port.empty()) << job;
    ProcessResult terminal = RunTerminal({"--port", port, "--from", "127.0.0.1", "--receive-dir",
                                          (terminal_dir_ / "in").string(), "--send-dir",
                                          (terminal_dir_ / "out").string(), "--timeout", "60"});
    EXPECT_EQ(terminal.exit_code, 0) << terminal.out;
    for (std::string line; serve.ReadLine(line);) {
    }
    EXPECT_EQ(serve.Wait(), 0) << job;
  }

  // `kaslo replace` of job `job` from terminal 1, answered yes on the line;
  // the lines it printed.
  Strings Replace(int job) {
    ServeProcess replace({"replace", dir_.path().string(), "--job", std::to_string(job), "--terminal", "1", "--yes"});
    Strings lines;
    for (std::string line; replace.ReadLine(line);) lines.push_back(line);
    EXPECT_EQ(replace.Wait(), 0) << job;
    return lines;
  }

  void Send(const std::string& wire, const std::string& bytes) { Write(terminal_dir_ / "out" / wire, bytes); }
  std::string Ycf(const db::FieldDef& f) { return db().open(ycoycf::kTable)->getString(f); }
  std::string Prm(const db::FieldDef& f) { return db().open(ycoprm::kTable)->getString(f); }
};

bool Printed(const Strings& lines, const std::string& text) {
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}

TEST_F(ReplaceCommandTest, ParametersAndPeripherals) {
  Send("Sperif.dad", "NSG2");
  Send("Scodbarra.dad", "VN0001500");
  Send("Sflags.dad", "NSNSNSNS42");
  Serve(13);
  EXPECT_TRUE(Printed(Replace(13), "Substituição de cadastro completa !"));
  EXPECT_EQ(Ycf(ycoycf::YCF_BALANC), "N");
  EXPECT_EQ(Ycf(ycoycf::YCF_TEF), "S");
  EXPECT_EQ(Ycf(ycoycf::YCF_GAVPRE), "G");
  EXPECT_EQ(Ycf(ycoycf::YCF_PCCOM5), "2");
  EXPECT_EQ(Ycf(ycoycf::YCF_BALETQ), "V");
  EXPECT_EQ(Ycf(ycoycf::YCF_GAVABR), "N");
  EXPECT_EQ(Ycf(ycoycf::YCF_GAVIMP), "S");
  EXPECT_EQ(Ycf(ycoycf::YCF_GAVREL), "N");
  EXPECT_EQ(Prm(ycoprm::Q40_DIGCON), "N");
  EXPECT_EQ(db().open(ycoprm::kTable)->asNumber(ycoprm::Q40_MAXREG), 1500);
  EXPECT_EQ(Prm(ycoprm::Q40_ZERO), "N");
  EXPECT_EQ(Prm(ycoprm::Q40_ENTER), "S");
  EXPECT_EQ(Prm(ycoprm::Q40_DESCIS), "S");
  EXPECT_EQ(Prm(ycoprm::Q40_DEPAB), "N");
  EXPECT_EQ(Prm(ycoprm::Q40_LOGZ), "S");
  EXPECT_EQ(Prm(ycoprm::Q40_LIMAUT), "4");
  EXPECT_EQ(Prm(ycoprm::Q40_VIASC), "2");
}

TEST_F(ReplaceCommandTest, DiscountsAndSurcharges) {
  Send("Sdescacr.dad", "P1000SV0050NP0250SV0100N");
  Serve(14);
  EXPECT_TRUE(Printed(Replace(14), "Substituição de cadastro completa !"));
  auto ycf = db().open(ycoycf::kTable);
  EXPECT_EQ(ycf->getString(ycoycf::YCF_DSTIPO) + ycf->getString(ycoycf::YCF_DSALT), "PS");
  EXPECT_EQ(ycf->asNumber(ycoycf::YCF_DSPER), 10);
  EXPECT_EQ(ycf->getString(ycoycf::YCF_DITIPO) + ycf->getString(ycoycf::YCF_DIALT), "VN");
  EXPECT_EQ(ycf->asNumber(ycoycf::YCF_DIPER), 0.5);
  EXPECT_EQ(ycf->getString(ycoycf::YCF_ASTIPO) + ycf->getString(ycoycf::YCF_ASALT), "PS");
  EXPECT_EQ(ycf->asNumber(ycoycf::YCF_ASPER), 2.5);
  EXPECT_EQ(ycf->getString(ycoycf::YCF_AITIPO) + ycf->getString(ycoycf::YCF_AIALT), "VN");
  EXPECT_EQ(ycf->asNumber(ycoycf::YCF_AIPER), 1);
}

TEST_F(ReplaceCommandTest, SaleMessage) {
  std::string footer;
  for (const char* text : {"OBRIGADO", "VOLTE SEMPRE", "", "SAC 0800"}) footer += Pad(text, 42) + (footer.empty() ? "SN" : "NS");
  Send("Sfooter.dad", footer);
  Serve(15);
  EXPECT_TRUE(Printed(Replace(15), "Substituição de cadastro completa!"));
  EXPECT_EQ(Ycf(ycoycf::YCF_MSG1), "OBRIGADO");
  EXPECT_EQ(Ycf(ycoycf::YCF_MSG2), "VOLTE SEMPRE");
  EXPECT_EQ(Ycf(ycoycf::YCF_MSG3), "");
  EXPECT_EQ(Ycf(ycoycf::YCF_MSG4), "SAC 0800");
  EXPECT_EQ(Ycf(ycoycf::YCF_EXPA1) + Ycf(ycoycf::YCF_EXPA2) + Ycf(ycoycf::YCF_EXPA3) + Ycf(ycoycf::YCF_EXPA4), "SNNN");
  EXPECT_EQ(Ycf(ycoycf::YCF_CAMCEN) + Ycf(ycoycf::YCF_CAMCE1) + Ycf(ycoycf::YCF_CAMCE2) + Ycf(ycoycf::YCF_CAMCE3),
            "NSSS");
}

TEST_F(ReplaceCommandTest, PaymentTypesReplaceTheTable) {
  auto q40 = db().open(ycoq40::kTable);
  q40->append();
  q40->setNumber(ycoq40::Q40_CODIGO, 9);
  q40->setString(ycoq40::Q40_DESCR, "ANTIGA");
  ASSERT_TRUE(q40->post());
  q40.reset();
  // The second name is blank: not defined on the terminal.
  Send("Sfinaliz.dad", Pad("DINHEIRO", 15) + Pad("", 15) + Pad("CHEQUE", 15));
  Send("Scfgfinal.dad", "00000SS1N00000NN1N00500NS2N");
  Serve(20);
  EXPECT_TRUE(Printed(Replace(20), "Substituição de cadastro completa !"));
  using Row = viewers::testing::PaymentTypeRow;
  EXPECT_EQ(viewers::testing::PaymentTypeRows(db()), (std::vector<Row>{{1, "DINHEIRO", "1", "S", "S", "N", 0}, {3, "CHEQUE", "2", "N", "S", "N", 500}}));
}

}  // namespace

}  // namespace kaslo::cli
