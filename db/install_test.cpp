// The installation of a data directory: every table as its definition says,
// the rows the system relies on, the demo store's data consistent and valid,
// and generated products.
#include "db/install.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <set>

#include "common/checkdigits.h"
#include "db/error.h"
#include "db/table.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycoqrm.h"
#include "db/tables/ycotey.h"
#include "db/tables/ycoter.h"
#include "db/tables/ycotet.h"
#include "db/tables/ycotrb.h"
#include "db/tables/ycoycf.h"
#include "db/tableset_check.h"
#include "db/temp_data_dir.h"

namespace kaslo::db {
namespace {

namespace fs = std::filesystem;
using testing::TempDataDir;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

size_t CountRows(const Database& db, std::string_view table) { return db.open(table)->recordCount(); }

TEST(Install, EveryTableHasItsFieldsAndTags) {
  TempDataDir dir;
  for (const TableDef& def : AllTables()) {
    SCOPED_TRACE(std::string(def.name));
    EXPECT_TRUE(fs::exists(dir.path() / InstalledFileName(def)));
    auto t = dir.db().open(def.name);
    ASSERT_EQ(t->fields().size(), def.fields.size());
    for (size_t i = 0; i < def.fields.size(); ++i) {
      const FieldInfo& found = t->fields()[i];
      EXPECT_EQ(found.name, def.fields[i].name);
      EXPECT_EQ(found.type, def.fields[i].type) << found.name;
      EXPECT_EQ(found.length, def.fields[i].length) << found.name;
      EXPECT_EQ(found.decimals, def.fields[i].decimals) << found.name;
    }
    std::set<std::string> tags;
    for (const std::string& tag : t->tagNames()) tags.insert(Lower(tag));
    EXPECT_EQ(tags.size(), def.tags.size());
    for (const TagDef& tag : def.tags) {
      EXPECT_TRUE(tags.count(Lower(tag.name))) << tag.name;
      // Opening on the tag works the way every window opens its tables.
      EXPECT_NO_THROW(dir.db().open(def.name, {.tag = std::string(tag.name)})) << tag.name;
    }
  }
  EXPECT_TRUE(CheckDataDirectory(dir.db()).empty());
  // Tables the index check does not visit are opened on "UM" all the same.
  EXPECT_NO_THROW(dir.db().open("Ycouse", {.tag = "UM"}));
  EXPECT_NO_THROW(dir.db().open("Ycoetq", {.tag = "UM"}));
}

TEST(Install, RefusesAFolderThatHoldsTables) {
  TempDataDir dir;
  auto before = fs::last_write_time(dir.path() / "YCOPRO.DBF");
  auto size = fs::file_size(dir.path() / "YCOPRO.DBF");
  try {
    InstallDataDirectory(dir.path(), {.demo = true});
    FAIL() << "installed twice";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("already holds tables"), std::string::npos) << e.what();
  }
  EXPECT_EQ(fs::last_write_time(dir.path() / "YCOPRO.DBF"), before);
  EXPECT_EQ(fs::file_size(dir.path() / "YCOPRO.DBF"), size);
  EXPECT_EQ(CountRows(dir.db(), "Ycopro"), 0u);

  // Any table, in any case of its name, stops it; other files do not.
  TempDataDir other({}, false);
  std::ofstream(other.path() / "notes.txt") << "x";
  std::ofstream(other.path() / "old.DbF") << "x";
  EXPECT_THROW(InstallDataDirectory(other.path(), {}), Error);
  EXPECT_FALSE(fs::exists(other.path() / "YCOPRO.DBF"));
  fs::remove(other.path() / "old.DbF");
  EXPECT_NO_THROW(InstallDataDirectory(other.path(), {}));
}

TEST(Install, CreatesMissingFolders) {
  TempDataDir parent({}, false);
  fs::path dir = parent.path() / "loja" / "dados";
  InstallDataDirectory(dir, {});
  EXPECT_TRUE(fs::exists(dir / "YCOPRM.DBF"));
  EXPECT_TRUE(fs::exists(dir / "YCOPRM.MDX"));
  EXPECT_FALSE(fs::exists(dir / "YCOY60.MDX"));  // read without a tag
}

TEST(Install, WritesTheRowsEveryStoreNeeds) {
  TempDataDir dir;
  auto prm = dir.db().open("Ycoprm");
  ASSERT_EQ(prm->recordCount(), 1u);
  prm->first();
  EXPECT_EQ(prm->getString(ycoprm::Q40_DIGCON), "N");
  EXPECT_EQ(prm->getString(ycoprm::PRM_CODFRE), "N");
  EXPECT_EQ(prm->getString(ycoprm::PRM_MOEDA), "R$");
  EXPECT_EQ(prm->getString(ycoprm::Q40_LOGZ), "N");
  EXPECT_EQ(prm->getString(ycoprm::Q40_VIASC), "1");
  EXPECT_EQ(prm->getString(ycoprm::Q40_LIMAUT), "0");
  EXPECT_EQ(prm->getNumber(ycoprm::PRM_ULTCLI), 0.0);
  // The label layouts the parameters name exist.
  auto etq = dir.db().open("Ycoetq", {.tag = "UM"});
  EXPECT_TRUE(etq->findKey(prm->asNumber(ycoprm::PRM_ETMPRO)));

  auto ycf = dir.db().open("Ycoycf");
  ASSERT_EQ(ycf->recordCount(), 1u);
  ycf->first();
  EXPECT_EQ(ycf->getString(ycoycf::YCF_BALANC), "N");
  EXPECT_EQ(ycf->getString(ycoycf::YCF_DSTIPO), "P");
  EXPECT_EQ(ycf->getNumber(ycoycf::YCF_DSPER), 0.0);

  // Only the fixed tax codes, which the windows refuse to edit.
  auto trb = dir.db().open("Ycotrb", {.tag = "Um"});
  std::vector<std::pair<int64_t, std::string>> codes;
  for (trb->first(); !trb->eof(); trb->next()) {
    codes.emplace_back(trb->asInteger(ycotrb::TRB_CODIGO), trb->getString(ycotrb::TRB_LEGEND));
  }
  EXPECT_EQ(codes, (std::vector<std::pair<int64_t, std::string>>{{14, "F"}, {15, "I"}, {16, "N"}}));

  for (std::string_view empty : {"Ycopro", "Ycobar", "Ycogrp", "Ycodep", "Ycocli", "Ycoter", "Ycotet", "ycoy60"}) {
    EXPECT_EQ(CountRows(dir.db(), empty), 0u) << empty;
  }
}

TEST(Install, KeyFunctionsOfTheSecondModel) {
  TempDataDir dir;
  auto tey = dir.db().open("Ycotey", {.tag = "Um"});
  tey->setFilter("TEY_TYPE='QZV'");
  // 26 register functions, 5 item groups, 94 PLU keys, 100 departments.
  EXPECT_EQ(tey->recordCount(), 225u);
  struct Expected {
    double code;
    std::string legend, description;
  };
  for (const Expected& e : {Expected{905, "D05", "DEPTO 05"}, Expected{900, "D00", "DEPTO 00"},
                            Expected{999, "D99", "DEPTO 99"}, Expected{801, "G01", "GRUPO 01"},
                            Expected{805, "G05", "GRUPO 05"}, Expected{806, "G06", "PLU 06"},
                            Expected{864, "G64", "PLU 64"}, Expected{1, "LIM", "Limite"},
                            Expected{22, ".", "Ponto"}, Expected{43, "CUP", "Avan\xE7"
                                                                             "a Cupom"}}) {
    ASSERT_TRUE(tey->findKey(e.code)) << e.code;
    EXPECT_EQ(tey->getString(ycotey::TEY_LEGEND), e.legend);
    EXPECT_EQ(tey->getString(ycotey::TEY_DESCR), e.description);
    EXPECT_EQ(tey->getNumber(ycotey::TEY_BOTON), 0.0);
    EXPECT_EQ(tey->getNumber(ycotey::TEY_NTECLA), 0.0);
  }
  EXPECT_FALSE(tey->findKey(24.0));
  EXPECT_FALSE(tey->findKey(800.0));
  // The keyboard load reads by key position: nothing is on a key yet.
  tey->setTag("Tres");
  tey->last();
  EXPECT_EQ(tey->getNumber(ycotey::TEY_BOTON), 0.0);
}

class DemoStore : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dir_ = new TempDataDir({.demo = true}); }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  const Database& db() { return dir_->db(); }
  static TempDataDir* dir_;
};
TempDataDir* DemoStore::dir_ = nullptr;

TEST_F(DemoStore, IsSoundForTheChecks) { EXPECT_EQ(CheckDataDirectory(db()), std::vector<std::string>{}); }

// The filters as the windows and jobs write them, on the tables they read.
TEST_F(DemoStore, FiltersOfTheWindowsAndJobs) {
  auto tey = db().open("Ycotey");
  tey->setFilter("TEY_NUMBER = '905' AND TEY_TYPE = 'QZV'");  // a quoted number against N(3)
  ASSERT_EQ(tey->recordCount(), 1u);
  tey->first();
  EXPECT_EQ(tey->getString(ycotey::TEY_LEGEND), "D05");
  tey->setFilter("TEY_TYPE='QZV' AND (TEY_NUMBER < 801 OR TEY_NUMBER > 999)");
  EXPECT_EQ(tey->recordCount(), 26u);
  tey->setFilter("TEY_TYPE <> 'QZV'");
  EXPECT_EQ(tey->recordCount(), 0u);

  auto trb = db().open("Ycotrb");
  trb->setFilter("TRB_LEGEND = 'T07'");
  ASSERT_EQ(trb->recordCount(), 1u);
  trb->first();
  EXPECT_EQ(trb->asInteger(ycotrb::TRB_CODIGO), 3);
  trb->setFilter("TRB_LEGEND = 'T01'");
  EXPECT_EQ(trb->recordCount(), 0u);

  // A group's own row has a blank department, which '0' matches.
  auto grp = db().open("Ycogrp");
  grp->setFilter("DEP_CODIGO = '0'");
  size_t groups = grp->recordCount();
  EXPECT_GT(groups, 0u);
  for (grp->first(); !grp->eof(); grp->next()) EXPECT_TRUE(grp->isBlank(ycogrp::DEP_CODIGO));
  grp->setFilter("DEP_CODIGO <> '0'");
  EXPECT_EQ(grp->recordCount() + groups, CountRows(db(), "Ycogrp"));
}

TEST_F(DemoStore, StoreIdentityIsValid) {
  auto prm = db().open("Ycoprm");
  prm->first();
  double cnpj = prm->asNumber(ycoprm::PRM_CNPJ);
  EXPECT_GT(cnpj, 1e12);
  EXPECT_TRUE(ValidaCNPJ(cnpj)) << cnpj;
  EXPECT_EQ(prm->getString(ycoprm::Q40_DIGCON), "S");
  EXPECT_EQ(prm->getString(ycoprm::PRM_MUNICI), "S\xC3O PAULO");  // Latin-1, not UTF-8
  EXPECT_FALSE(prm->getString(ycoprm::PRM_IE).empty());
  EXPECT_GT(prm->asNumber(ycoprm::PRM_CEP), 0);
  EXPECT_GT(prm->asNumber(ycoprm::PRM_DDD), 0);
  EXPECT_GT(prm->asNumber(ycoprm::PRM_FONE), 0);
  EXPECT_FALSE(prm->getString(ycoprm::PRM_CONTAT).empty());
  EXPECT_FALSE(prm->getString(ycoprm::PRM_BAIRRO).empty());
  EXPECT_EQ(prm->getString(ycoprm::PRM_UF), "SP");
  // The counters follow the codes in use, so new codes do not collide.
  EXPECT_EQ(prm->asInteger(ycoprm::PRM_ULTCLI), static_cast<int64_t>(CountRows(db(), "Ycocli")));
  EXPECT_EQ(prm->asInteger(ycoprm::PRM_UTDEPT), static_cast<int64_t>(CountRows(db(), "Ycodep")));
}

TEST_F(DemoStore, ProductsAreValidAndPointAtExistingCodes) {
  auto pro = db().open("Ycopro", {.tag = "Um"});
  auto trb = db().open("Ycotrb", {.tag = "Um"});
  auto dep = db().open("Ycodep", {.tag = "Um"});
  auto grp = db().open("Ycogrp", {.tag = "Um"});
  EXPECT_GE(pro->recordCount(), 35u);
  std::set<std::string> units, item_groups;
  int three_decimals = 0, litre = 0;
  double previous = 0;
  for (pro->first(); !pro->eof(); pro->next()) {
    double code = pro->asNumber(ycopro::PRO_PLU);
    SCOPED_TRACE(std::to_string(static_cast<int64_t>(code)));
    EXPECT_GT(code, previous);  // unique codes
    previous = code;
    EXPECT_GE(code, 1e12);
    EXPECT_LT(code, 1e13);
    EXPECT_EQ(DigitoEAN(TiraDigito(code)), code);
    EXPECT_TRUE(trb->findKey(pro->asNumber(ycopro::PRO_TRIBUT)));
    EXPECT_TRUE(dep->findKey(pro->asNumber(ycopro::PRO_DEPTO)));
    EXPECT_TRUE(grp->findKey({pro->asNumber(ycopro::PRO_GRUPO), pro->asNumber(ycopro::PRO_DEPTO)}));
    EXPECT_LE(pro->getString(ycopro::PRO_DESCR).size(), 50u);
    EXPECT_FALSE(pro->getString(ycopro::PRO_RESUM).empty());
    EXPECT_EQ(pro->getLogical(ycopro::PRO_Q4000), true);
    EXPECT_EQ(pro->getLogical(ycopro::PRO_QZV), true);
    std::string casad = pro->getString(ycopro::PRO_CASAD);
    EXPECT_TRUE(casad == "2" || casad == "3");
    three_decimals += casad == "3";
    double price = pro->asNumber(ycopro::PRO_PCOVEN);
    double scale = casad == "3" ? 1000 : 100;
    EXPECT_NEAR(price * scale, std::round(price * scale), 1e-6) << "price " << price;
    EXPECT_GT(price, 0);
    std::string unit = pro->getString(ycopro::PRO_PESAD);
    units.insert(unit);
    bool by_litre = pro->getString(ycopro::PRO_LITRAD) == "S";
    litre += by_litre;
    EXPECT_EQ(by_litre, unit == "L");
    item_groups.insert(pro->getString(ycopro::PRO_GRPITE));
    EXPECT_TRUE(pro->getDate(ycopro::PRO_DTUALT).has_value());
  }
  EXPECT_TRUE(units.count("S")) << "no product sold by weight";
  EXPECT_GT(litre, 0);
  EXPECT_GT(three_decimals, 0);
  for (std::string g : {"0", "1", "2", "3", "4", "5"}) EXPECT_TRUE(item_groups.count(g)) << "item group " << g;

  auto bar = db().open("Ycobar", {.tag = "Um"});
  EXPECT_GT(bar->recordCount(), 0u);
  for (bar->first(); !bar->eof(); bar->next()) {
    EXPECT_TRUE(pro->findKey(bar->asNumber(ycobar::BAR_PLU)));
    double box = std::stod(bar->getString(ycobar::BAR_CODIGO));
    EXPECT_EQ(DigitoEAN(std::floor(box / 10)), box);
  }
}

TEST_F(DemoStore, GroupsAndMembershipsAgree) {
  auto grp = db().open("Ycogrp");
  auto dep = db().open("Ycodep", {.tag = "Um"});
  std::map<int64_t, std::string> groups;         // definition rows
  std::map<int64_t, int64_t> group_of;            // department -> group
  std::vector<std::pair<int64_t, std::string>> memberships;
  for (grp->first(); !grp->eof(); grp->next()) {
    int64_t code = grp->asInteger(ycogrp::GRP_CODIGO);
    EXPECT_GT(code, 0);
    EXPECT_LE(code, 20);
    if (grp->isBlank(ycogrp::DEP_CODIGO)) {
      EXPECT_TRUE(groups.emplace(code, grp->getString(ycogrp::GRP_DESCR)).second) << "group twice " << code;
    } else {
      int64_t d = grp->asInteger(ycogrp::DEP_CODIGO);
      EXPECT_TRUE(group_of.emplace(d, code).second) << "department " << d << " in two groups";
      EXPECT_TRUE(dep->findKey(static_cast<double>(d)));
      memberships.emplace_back(code, grp->getString(ycogrp::GRP_DESCR));
    }
  }
  EXPECT_GE(groups.size(), 2u);
  for (const auto& [code, description] : memberships) {
    ASSERT_TRUE(groups.count(code)) << "membership of a group without its row: " << code;
    EXPECT_EQ(groups[code], description);
  }
  // Every department belongs to a group and suggests a tax code that exists.
  auto trb = db().open("Ycotrb", {.tag = "Um"});
  for (dep->first(); !dep->eof(); dep->next()) {
    int64_t d = dep->asInteger(ycodep::DEP_CODIGO);
    EXPECT_TRUE(group_of.count(d)) << "department " << d;
    EXPECT_LE(d, 99);
    EXPECT_TRUE(trb->findKey(dep->asNumber(ycodep::TRB_CODIGO))) << "department " << d;
  }
}

TEST_F(DemoStore, ClientsOperatorsAndPaymentTypes) {
  auto cli = db().open("Ycocli");
  std::set<double> tax_numbers;
  int companies = 0, people = 0;
  for (cli->first(); !cli->eof(); cli->next()) {
    double n = cli->asNumber(ycocli::CLI_CNPJ);
    EXPECT_TRUE(tax_numbers.insert(n).second) << "CPF/CNPJ twice: " << n;
    if (n >= 1e11) {
      ++companies;
      EXPECT_TRUE(ValidaCNPJ(n)) << n;
    } else {
      ++people;
      EXPECT_GT(n, 0);
      EXPECT_TRUE(ValidaCPF(n)) << n;
    }
  }
  EXPECT_GT(companies, 0);
  EXPECT_GT(people, 0);

  auto ope = db().open("Ycoope");
  int managers = 0;
  for (ope->first(); !ope->eof(); ope->next()) {
    managers += ope->getString(ycoope::OPE_PERFIL) == "S";
    EXPECT_LE(ope->asInteger(ycoope::OPE_SENHA), 9999);
  }
  EXPECT_EQ(managers, 1);
  EXPECT_GT(CountRows(db(), "Ycoven"), 0u);

  for (const auto& [table, description] : {std::pair{"Ycoq40", ycoq40::Q40_DESCR}, std::pair{"Ycoqrm", ycoqrm::QRM_DESCR}}) {
    auto q = db().open(table, {.tag = "Um"});
    ASSERT_TRUE(q->findKey(1.0)) << table;
    EXPECT_EQ(q->getString(description), "DINHEIRO") << table;
    EXPECT_GE(q->recordCount(), 3u) << table;
  }
}

TEST_F(DemoStore, ThreeTerminalsOnLoopback) {
  auto ter = db().open("Ycoter", {.tag = "Um"});
  auto tet = db().open("Ycotet", {.tag = "Tres"});
  ASSERT_EQ(ter->recordCount(), 3u);
  int n = 0;
  for (ter->first(); !ter->eof(); ter->next()) {
    ++n;
    EXPECT_EQ(ter->asInteger(ycoter::ESTACAO), n);
    EXPECT_EQ(ter->getString(ycoter::TER_ECFSER), "127.0.0." + std::to_string(n));
    EXPECT_GT(ter->asNumber(ycoter::TER_ECFNO), 0);
    ASSERT_TRUE(tet->findKey(static_cast<double>(n)));
    EXPECT_EQ(tet->asNumber(ycotet::TET_ECFNO), ter->asNumber(ycoter::TER_ECFNO));
  }
  EXPECT_EQ(tet->recordCount(), 3u);
}

TEST(Install, GeneratedProducts) {
  TempDataDir plain({.generated_products = 2000});
  auto pro = plain.db().open("Ycopro", {.tag = "Um"});
  EXPECT_EQ(pro->recordCount(), 2000u);
  auto trb = plain.db().open("Ycotrb", {.tag = "Um"});
  double previous = 0;
  for (pro->first(); !pro->eof(); pro->next()) {
    double code = pro->asNumber(ycopro::PRO_PLU);
    ASSERT_GT(code, previous);
    previous = code;
    // Without check digits the codes fit the 12 digits the terminals take.
    ASSERT_LT(code, 1e12);
    ASSERT_TRUE(trb->findKey(pro->asNumber(ycopro::PRO_TRIBUT)));
    ASSERT_LE(pro->asNumber(ycopro::PRO_PCOVEN), 999999.99);
  }

  // With the demo, they follow its products, carry check digits and use its
  // departments; the same count gives the same rows.
  TempDataDir a({.demo = true, .generated_products = 500});
  TempDataDir b({.demo = true, .generated_products = 500});
  auto pa = a.db().open("Ycopro", {.tag = "Um"});
  auto pb = b.db().open("Ycopro", {.tag = "Um"});
  auto dep = a.db().open("Ycodep", {.tag = "Um"});
  EXPECT_GT(pa->recordCount(), 500u);
  ASSERT_EQ(pa->recordCount(), pb->recordCount());
  for (pa->first(), pb->first(); !pa->eof(); pa->next(), pb->next()) {
    double code = pa->asNumber(ycopro::PRO_PLU);
    ASSERT_EQ(DigitoEAN(TiraDigito(code)), code);
    ASSERT_EQ(pb->asNumber(ycopro::PRO_PLU), code);
    ASSERT_EQ(pb->getString(ycopro::PRO_DESCR), pa->getString(ycopro::PRO_DESCR));
    ASSERT_EQ(pb->asNumber(ycopro::PRO_PCOVEN), pa->asNumber(ycopro::PRO_PCOVEN));
    ASSERT_TRUE(dep->findKey(pa->asNumber(ycopro::PRO_DEPTO)));
  }
}

}  // namespace
}  // namespace kaslo::db
