// The rules of the technical intervention window and the programming of the
// second model's keyboard, over the tables of a demo installation.
#include <gtest/gtest.h>

#include <set>

#include "comm/load_files.h"
#include "config/keyboard.h"
#include "config/technical.h"
#include "db/tables/ycoter.h"
#include "db/tables/ycotey.h"
#include "db/tables/ycotrb.h"
#include "db/temp_data_dir.h"

namespace kaslo::config {
namespace {

using db::testing::TempDataDir;

std::string MessageOf(const RuleResult& r) { return r ? r->message : ""; }

uint32_t RecordOfTerminal(const db::Database& db, int number) {
  auto ter = db.open(ycoter::kTable, {.tag = "Um", .exclusive = false});
  return ter->findKey(number) ? ter->recNo() : 0;
}

TEST(TerminalRules, InTheirOrderAndAgainstTheOtherRows) {
  TempDataDir dir({.demo = true});  // terminals 1-3 at 127.0.0.1-3
  const db::Database& db = dir.db();
  EXPECT_EQ(MessageOf(CheckTerminal(db, {"0", "10.0.0.9", "1"}, 0)), "Nº de Terminal inválido !");
  EXPECT_EQ(MessageOf(CheckTerminal(db, {"", "", ""}, 0)), "Nº de Terminal inválido !");
  EXPECT_EQ(MessageOf(CheckTerminal(db, {"4", "  ", ""}, 0)), "End.IP inválido !");
  const RuleResult serial = CheckTerminal(db, {"4", "10.0.0.9", " "}, 0);
  EXPECT_EQ(MessageOf(serial), "Nº de Série do Ecf inválido !");
  EXPECT_EQ(serial->field, TerminalInput::kSerial);

  EXPECT_EQ(MessageOf(CheckTerminal(db, {"2", "10.0.0.9", "5"}, 0)), "Nº de Terminal já existente !");
  const RuleResult address = CheckTerminal(db, {"4", "127.0.0.2", "5"}, 0);
  EXPECT_EQ(MessageOf(address), "End. IP já existente !");
  EXPECT_EQ(address->field, TerminalInput::kAddress);
  EXPECT_FALSE(CheckTerminal(db, {"4", "10.0.0.9", "5"}, 0));

  // a row keeps its own number and address, but cannot take another's
  const uint32_t second = RecordOfTerminal(db, 2);
  ASSERT_NE(second, 0u);
  EXPECT_FALSE(CheckTerminal(db, {"2", "127.0.0.2", "730002"}, second));
  EXPECT_EQ(MessageOf(CheckTerminal(db, {"3", "127.0.0.2", "730002"}, second)), "Nº de Terminal já existente !");
  EXPECT_EQ(MessageOf(CheckTerminal(db, {"2", "127.0.0.1", "730002"}, second)), "End. IP já existente !");
}

TEST(HeaderRules, NameThenAddress) {
  EXPECT_EQ(MessageOf(CheckHeader({" ", " "})), "Razão Social inválida !");
  EXPECT_EQ(MessageOf(CheckHeader({"MERCADO", ""})), "Endereço inválido !");
  EXPECT_FALSE(CheckHeader({"MERCADO", "RUA A, 1"}));
}

TEST(TaxRules, RepeatsOnlyForNewRowsThenTheCodeAndTexts) {
  TempDataDir dir({.demo = true});  // codes 1-4 (T18, T12, T07, S05) and 14-16
  const db::Database& db = dir.db();
  EXPECT_EQ(MessageOf(CheckTax(db, {"2", "ICMS 25%", "T25"}, true)), "Cód. de Tributação repetido !");
  const RuleResult legend = CheckTax(db, {"5", "ICMS 25%", "T12"}, true);
  EXPECT_EQ(MessageOf(legend), "Legenda de Tributação repetida !");
  EXPECT_EQ(legend->field, TaxInput::kLegend);
  EXPECT_FALSE(CheckTax(db, {"2", "ICMS 12%", "T12"}, false));

  EXPECT_EQ(MessageOf(CheckTax(db, {"17", "ICMS 25%", "T25"}, true)), "Código da Tributação inválido !");
  EXPECT_EQ(MessageOf(CheckTax(db, {"0", "ICMS 25%", "T25"}, true)), "Código da Tributação inválido !");
  EXPECT_EQ(MessageOf(CheckTax(db, {"5", " ", "T25"}, true)), "Descrição da Tributação inválida !");
  EXPECT_EQ(MessageOf(CheckTax(db, {"5", "ICMS 25%", ""}, true)), "Legenda da Tributação inválida !");
  EXPECT_FALSE(CheckTax(db, {"5", "ICMS 25%", "T25"}, true));

  EXPECT_FALSE(IsFixedTaxCode(13));
  EXPECT_TRUE(IsFixedTaxCode(14));
  EXPECT_TRUE(IsFixedTaxCode(15));
}

TEST(StoreRules, CnpjCheckDigitsThenEveryField) {
  const StoreInput good{"11.222.333/0001-81", "123", "SAO PAULO", "CENTRO", "01001", "SP", "11", "32221000", "ANA"};
  EXPECT_FALSE(CheckStore(good));
  StoreInput in = good;
  in.cnpj = "11.222.333/0001-82";
  EXPECT_EQ(MessageOf(CheckStore(in)), "CNPJ inválido !");
  in.cnpj = "0";  // a store without a CNPJ yet
  EXPECT_FALSE(CheckStore(in));
  in.cnpj = "";
  EXPECT_FALSE(CheckStore(in));

  const std::pair<std::string StoreInput::*, const char*> order[] = {
      {&StoreInput::ie, "I.E. inválida !"},       {&StoreInput::city, "Municipio inválido !"},
      {&StoreInput::district, "Bairro inválido !"}, {&StoreInput::cep, "CEP inválido !"},
      {&StoreInput::state, "UF inválido !"},      {&StoreInput::area_code, "DDD inválido !"},
      {&StoreInput::phone, "Fone inválido !"},    {&StoreInput::contact, "Contato inválido !"},
  };
  // emptied from the last to the first, each message shows only once the
  // fields before it are good
  in = good;
  for (auto it = std::rbegin(order); it != std::rend(order); ++it) {
    in.*(it->first) = it->first == &StoreInput::cep || it->first == &StoreInput::area_code ||
                              it->first == &StoreInput::phone
                          ? "0"
                          : " ";
    EXPECT_EQ(MessageOf(CheckStore(in)), it->second);
  }
}

TEST(DateTimeBoxes, TheBoxThatIsWrongIsNamed) {
  const auto ok = ReadDateTime({"07/03/2026", "09:05"});
  ASSERT_TRUE(std::holds_alternative<kaslo::DateTime>(ok));
  const auto& when = std::get<kaslo::DateTime>(ok);
  EXPECT_EQ(when.date, std::chrono::year{2026} / 3 / 7);
  EXPECT_EQ(when.hour, 9);
  EXPECT_EQ(when.minute, 5);
  const auto date = ReadDateTime({"31/02/2026", "25:00"});
  ASSERT_TRUE(std::holds_alternative<RuleFailure>(date));
  EXPECT_EQ(std::get<RuleFailure>(date).message, "Data inválida !");
  const auto hour = ReadDateTime({"28/02/2026", "24:00"});
  ASSERT_TRUE(std::holds_alternative<RuleFailure>(hour));
  EXPECT_EQ(std::get<RuleFailure>(hour).message, "Hora inválida !");
  EXPECT_EQ(std::get<RuleFailure>(hour).field, DateTimeInput::kHour);
}

TEST(PageUse, TablesAndJobsOfEachPage) {
  EXPECT_EQ(UseOfPage(TechnicalPage::kTerminals).insert_table, "Ycoter");
  EXPECT_EQ(UseOfPage(TechnicalPage::kHeader).insert_table, "");
  EXPECT_EQ(UseOfPage(TechnicalPage::kHeader).send_job, 241);
  EXPECT_EQ(UseOfPage(TechnicalPage::kTaxes).edit_table, "Ycotrb");
  EXPECT_FALSE(UseOfPage(TechnicalPage::kKeyboard).alterar);
  EXPECT_EQ(UseOfPage(TechnicalPage::kKeyboard).read_job, 21);
  EXPECT_EQ(UseOfPage(TechnicalPage::kDateTime).send_job, 191);
  EXPECT_EQ(UseOfPage(TechnicalPage::kStore).read_job, 0);
}

const KeyFunction* FunctionNamed(std::string_view caption) {
  for (const KeyFunction* f : KeyFunctions()) {
    if (f->caption == caption) return f;
  }
  return nullptr;
}

TEST(KeyMenu, SubmenusRangesCodesAndLegends) {
  const KeyMenuNode& menu = KeyMenu();
  ASSERT_EQ(menu.submenus.size(), 3u);
  EXPECT_EQ(menu.submenus[0].caption, "Departamentos");
  EXPECT_EQ(menu.submenus[1].caption, "Grupos de Item");
  EXPECT_EQ(menu.submenus[2].caption, "PLU");
  std::vector<std::string> ranges;
  for (const KeyMenuNode& r : menu.submenus[0].submenus) ranges.push_back(r.caption);
  EXPECT_EQ(ranges, (std::vector<std::string>{"de 00 a 20", "de 21 a 40", "de 41 a 60", "de 61 a 80", "de 81 a 99"}));
  EXPECT_EQ(menu.submenus[2].submenus.front().caption, "de 06 a 20");
  EXPECT_EQ(menu.submenus[2].submenus.front().functions.size(), 15u);
  EXPECT_EQ(menu.submenus[1].functions.size(), 5u);

  const std::vector<const KeyFunction*> all = KeyFunctions();
  EXPECT_EQ(all.size(), 100u + 5u + 94u + 26u);
  std::set<int> codes;
  for (const KeyFunction* f : all) codes.insert(f->code);
  EXPECT_EQ(codes.size(), all.size());

  const KeyFunction* d05 = FunctionNamed("[ D05 ] - DEPTO 05");
  ASSERT_TRUE(d05);
  EXPECT_EQ(d05->code, 905);
  EXPECT_EQ(d05->legend, "D05");
  ASSERT_TRUE(FunctionNamed("[ G64 ] - PLU 64"));
  EXPECT_EQ(FunctionNamed("[ G64 ] - PLU 64")->code, 864);
  EXPECT_EQ(FunctionNamed("[ G03 ] - GRUPO 03")->code, 803);
  EXPECT_EQ(FunctionNamed("[ D99 ] - DEPTO 99")->code, 999);
  EXPECT_EQ(FunctionNamed("[ . ] - Ponto")->legend, ".");
  EXPECT_EQ(FunctionNamed("[ QTD ] -Quantidade")->legend, "QTD");
  EXPECT_EQ(FunctionNamed("[ CUP ] - Avança Cupom")->code, 43);
  EXPECT_FALSE(FunctionNamed("[ CAR ] - Cartão")->assignable);
  EXPECT_TRUE(FunctionNamed("[ CHQ ] - Cheque")->assignable);

  EXPECT_TRUE(IsProgrammableKey(1) && IsProgrammableKey(22) && IsProgrammableKey(24) && IsProgrammableKey(26));
  EXPECT_FALSE(IsProgrammableKey(0) || IsProgrammableKey(23) || IsProgrammableKey(27));
}

TEST(KeyProgramming, AssignReleaseAndWhatTheLoadSends) {
  TempDataDir dir({.demo = true});
  auto tey = dir.db().open(ycotey::kTable, {.tag = "Um", .exclusive = false});
  EXPECT_TRUE(ProgrammedKeys(*tey).empty());

  KeyAssignment d05 = AssignKey(*tey, 3, 905);
  ASSERT_EQ(d05.result, KeyAssignment::kAssigned) << d05.cause;
  EXPECT_EQ(d05.key.legend, "D05");
  EXPECT_EQ(d05.key.hint, "  Função: DEPTO 05\nEtiqueta: DEPTO 05");
  ASSERT_EQ(AssignKey(*tey, 24, 864).result, KeyAssignment::kAssigned);
  ASSERT_EQ(AssignKey(*tey, 1, 22).result, KeyAssignment::kAssigned);
  EXPECT_EQ(tey->filter(), "");

  // what job 211 sends: button n in slot n
  std::string expected(156, '0');
  expected.replace(0, 6, "220000");
  expected.replace(2 * 6, 6, "280005");
  expected.replace(23 * 6, 6, "276400");
  EXPECT_EQ(comm::KeyboardFile(dir.db()), expected);

  std::map<int, ProgrammedKey> keys = ProgrammedKeys(*tey);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[1].legend, ".");
  EXPECT_EQ(keys[3].code, 905);
  EXPECT_EQ(keys[24].legend, "G64");
  EXPECT_EQ(keys[24].hint, "  Função: PLU 64\nEtiqueta: PLU 64");

  const KeyRelease released = ReleaseKey(*tey, 3);
  ASSERT_TRUE(released.ok) << released.cause;
  EXPECT_EQ(released.freed, std::vector<std::string>{"D05"});
  EXPECT_EQ(ProgrammedKeys(*tey).count(3), 0u);
  auto again = dir.db().open(ycotey::kTable, {.tag = "Um", .exclusive = false});
  ASSERT_TRUE(again->findKey(905.0));
  EXPECT_EQ(again->asNumber(ycotey::TEY_BOTON), 0);
  EXPECT_EQ(again->asNumber(ycotey::TEY_NTECLA), 0);

  // a key without a function: nothing to free
  const KeyRelease none = ReleaseKey(*tey, 5);
  EXPECT_TRUE(none.ok);
  EXPECT_TRUE(none.freed.empty());
}

TEST(KeyProgramming, AFunctionTheTableLacksWritesNothing) {
  TempDataDir dir({.demo = true});
  auto tey = dir.db().open(ycotey::kTable, {.tag = "Um", .exclusive = false});
  ASSERT_TRUE(tey->findKey(43.0));
  ASSERT_TRUE(tey->remove());
  EXPECT_EQ(AssignKey(*tey, 2, 43).result, KeyAssignment::kNoFunction);
  EXPECT_TRUE(ProgrammedKeys(*tey).empty());
  EXPECT_EQ(FunctionMissingText("[ CUP ] - Avança Cupom"), "Função [ CUP ] - Avança Cupom não cadastrada !");
}

TEST(KeyProgramming, ARowAnotherStationEditsIsReported) {
  TempDataDir dir({.demo = true});
  auto other = dir.db().open(ycotey::kTable, {.tag = "Um", .exclusive = false});
  ASSERT_TRUE(other->findKey(905.0));
  other->edit();
  auto tey = dir.db().open(ycotey::kTable, {.tag = "Um", .exclusive = false});
  const KeyAssignment locked = AssignKey(*tey, 3, 905);
  EXPECT_EQ(locked.result, KeyAssignment::kFailed);
  EXPECT_FALSE(locked.cause.empty());
  EXPECT_EQ(tey->mode(), db::Mode::kBrowse);
  EXPECT_EQ(tey->filter(), "");
  other->cancel();
  ASSERT_EQ(AssignKey(*tey, 3, 905).result, KeyAssignment::kAssigned);
  ASSERT_TRUE(other->findKey(905.0));
  other->edit();
  const KeyRelease release = ReleaseKey(*tey, 3);
  EXPECT_FALSE(release.ok);
  EXPECT_FALSE(release.cause.empty());
  other->cancel();
  EXPECT_EQ(ProgrammedKeys(*tey).count(3), 1u);
}

}  // namespace
}  // namespace kaslo::config
