// The installation of a data directory. Tables are created, filled and only
// then given their tags, so that each index is built once from the rows.
// Texts are written here in UTF-8 and stored as Latin-1.
#include "db/install.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string_view>
#include <system_error>

#include "common/checkdigits.h"
#include "common/clock.h"
#include "common/encoding.h"
#include "db/error.h"
#include "db/table.h"
#include "db/table_ops.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycoetq.h"
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
#include "db/tables/ycoven.h"
#include "db/tables/ycoycf.h"

namespace kaslo::db {
namespace {

namespace fs = std::filesystem;

// Appends one row and posts it when Post() is called; a row never posted is
// cancelled by the table.
class NewRow {
 public:
  explicit NewRow(Table& table) : table_(table) { table_.append(); }

  NewRow& Text(const FieldDef& field, std::string_view utf8) {
    table_.setString(field, kaslo::Utf8ToLatin1(utf8));
    return *this;
  }
  NewRow& Number(const FieldDef& field, double value) {
    table_.setNumber(field, value);
    return *this;
  }
  NewRow& Flag(const FieldDef& field, bool value) {
    table_.setLogical(field, value);
    return *this;
  }
  NewRow& Day(const FieldDef& field, Date value) {
    table_.setDate(field, value);
    return *this;
  }
  void Post() {
    if (!table_.post()) throw Error(table_.fileName() + ": row refused while installing");
  }

 private:
  Table& table_;
};

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string TwoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

// The first *.dbf of `dir` (any case), or "" when there is none.
std::string FirstTableFile(const fs::path& dir) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec)) {
    std::string ext = Upper(entry.path().extension().string());
    if (ext == ".DBF") return entry.path().filename().string();
  }
  return "";
}

// ---- the rows every data directory has

void WriteParameters(Table& t, bool demo) {
  NewRow row(t);
  // Every one-character option starts as "N"; the few that hold another
  // code get it below.
  for (const FieldDef& f : ycoprm::kFields) {
    if (f.type == FieldType::kCharacter && f.length == 1) row.Text(f, "N");
    if (f.type == FieldType::kNumeric) row.Number(f, 0);
  }
  row.Text(ycoprm::Q40_LIMAUT, "0").Text(ycoprm::Q40_VIASC, "1").Text(ycoprm::PRM_MOEDA, "R$");
  row.Number(ycoprm::PRM_NOLOJA, 1).Number(ycoprm::PRM_ETMPRO, 1).Number(ycoprm::PRM_ETMGON, 1);
  if (demo) {
    double cnpj_base = 457231740001;
    double cnpj = cnpj_base * 100 + std::stod(DigitosCNPJ(cnpj_base));
    row.Number(ycoprm::PRM_CNPJ, cnpj)
        .Text(ycoprm::PRM_IE, "110.042.490.114")
        .Text(ycoprm::PRM_IM, "3.456.789-0")
        .Text(ycoprm::PRM_RAZAOS, "MERCADINHO BOA VISTA LTDA")
        .Text(ycoprm::PRM_ENDERE, "RUA DAS PALMEIRAS")
        .Text(ycoprm::PRM_NUMERO, "1250")
        .Text(ycoprm::PRM_COMPLE, "LOJA 2")
        .Text(ycoprm::PRM_BAIRRO, "VILA MARIANA")
        .Text(ycoprm::PRM_MUNICI, "SÃO PAULO")
        .Text(ycoprm::PRM_UF, "SP")
        .Number(ycoprm::PRM_CEP, 4117)
        .Number(ycoprm::PRM_CEPP, 91)
        .Number(ycoprm::PRM_DDD, 11)
        .Number(ycoprm::PRM_FONE, 55732100)
        .Text(ycoprm::PRM_FAX, "(11) 5573-2101")
        .Text(ycoprm::PRM_EMAIL, "contato@mercadinhoboavista.com.br")
        .Text(ycoprm::PRM_HPAGE, "www.mercadinhoboavista.com.br")
        .Text(ycoprm::PRM_CONTAT, "MARIA APARECIDA SOUZA")
        .Text(ycoprm::Q40_ADIC1, "TEL (11) 5573-2100")
        .Text(ycoprm::Q40_ADIC2, "OBRIGADO E VOLTE SEMPRE")
        .Text(ycoprm::Q40_CEN1, "S")
        .Text(ycoprm::Q40_CEN2, "S")
        .Text(ycoprm::Q40_CEN3, "S")
        .Text(ycoprm::Q40_CEN4, "S")
        .Text(ycoprm::Q40_CAMCEN, "S")
        .Text(ycoprm::Q40_CAMCE1, "S")
        .Text(ycoprm::Q40_CAMCE2, "S")
        .Text(ycoprm::Q40_CAMCE3, "S")
        .Text(ycoprm::Q40_DIGCON, "S")
        .Text(ycoprm::QRM_DIGCON, "S")
        .Number(ycoprm::Q40_MAXREG, 5000)
        .Number(ycoprm::QRM_MAXREG, 5000)
        .Number(ycoprm::PRM_ETMGON, 2);
  }
  row.Post();
}

void WriteTerminalOptions(Table& t, bool demo) {
  NewRow row(t);
  for (const FieldDef& f : ycoycf::kFields) {
    if (f.type == FieldType::kCharacter && f.length == 1) row.Text(f, "N");
    if (f.type == FieldType::kNumeric) row.Number(f, 0);
  }
  row.Text(ycoycf::YCF_BALETQ, "P").Text(ycoycf::YCF_PCCOM5, "0");
  for (const FieldDef& f : {ycoycf::YCF_DSTIPO, ycoycf::YCF_DITIPO, ycoycf::YCF_ASTIPO, ycoycf::YCF_AITIPO}) {
    row.Text(f, "P");
  }
  if (demo) {
    row.Text(ycoycf::YCF_BALANC, "S")
        .Text(ycoycf::YCF_TEF, "S")
        .Text(ycoycf::YCF_CHEQUE, "S")
        .Text(ycoycf::YCF_GAVPRE, "2")
        .Text(ycoycf::YCF_GAVABR, "S")
        .Number(ycoycf::YCF_DSPER, 5)
        .Text(ycoycf::YCF_DSALT, "S")
        .Number(ycoycf::YCF_DIPER, 10)
        .Number(ycoycf::YCF_ASPER, 2.5)
        .Text(ycoycf::YCF_MSG1, "OBRIGADO PELA PREFERÊNCIA")
        .Text(ycoycf::YCF_MSG2, "VOLTE SEMPRE!")
        .Text(ycoycf::YCF_MSG3, "TROCAS SOMENTE COM ESTE CUPOM")
        .Text(ycoycf::YCF_CEN1, "S")
        .Text(ycoycf::YCF_CEN2, "S")
        .Text(ycoycf::YCF_CAMCEN, "S")
        .Text(ycoycf::YCF_CAMCE1, "S");
  }
  row.Post();
}

struct TaxCode {
  int code;
  std::string_view description;
  std::string_view legend;
  std::string_view kind;
  double percent;
};

// Codes 14 to 16 are the fixed ones that the windows refuse to edit.
constexpr TaxCode kFixedTaxCodes[] = {
    {14, "SUBST. TRIBUTÁRIA", "F", "T", 0},
    {15, "ISENTO", "I", "T", 0},
    {16, "NÃO TRIBUTADO", "N", "T", 0},
};

constexpr TaxCode kDemoTaxCodes[] = {
    {1, "ICMS 18%", "T18", "T", 18.00},
    {2, "ICMS 12%", "T12", "T", 12.00},
    {3, "ICMS 7%", "T07", "T", 7.00},
    {4, "ISS 5%", "S05", "S", 5.00},
};

void WriteTaxCodes(Table& t, std::span<const TaxCode> codes) {
  for (const TaxCode& c : codes) {
    NewRow(t)
        .Number(ycotrb::TRB_CODIGO, c.code)
        .Text(ycotrb::TRB_DESCR, c.description)
        .Text(ycotrb::TRB_LEGEND, c.legend)
        .Text(ycotrb::TRB_TIPO, c.kind)
        .Number(ycotrb::TRB_PERCEN, c.percent)
        .Post();
  }
}

struct KeyFunction {
  int code;
  std::string_view legend;
  std::string_view description;
  std::string_view label;
};

constexpr KeyFunction kKeyFunctions[] = {
    {1, "LIM", "Limite", "LIMITE"},
    {2, "VAL", "Validação", "VALIDACAO"},
    {3, "DIN", "Dinheiro", "DINHEIRO"},
    {4, "CHQ", "Cheque", "CHEQUE"},
    {5, "CAR", "Cartão", "CARTAO"},
    {6, "VAS", "Vasilhame", "VASILHAME"},
    {7, "BAL", "Balança", "BALANCA"},
    {8, "CON", "Consulta PLU", "CONSULTA PLU"},
    {9, "COR", "Canc.de Item", "CORRIGE"},
    {10, "CAN", "Cancelamento de Ítem", "CANC.ITEM"},
    {11, "DES", "Desconto", "DESCONTO"},
    {12, "ACR", "Acréscimo", "ACRESCIMO"},
    {13, "VEN", "Vendedor", "VENDEDOR"},
    {14, "CCP", "Cancelamento de Cupom", "CANC.CUPOM"},
    {15, "F01", "FUNCAO 01", "FUNCAO 01"},
    {16, "SUB", "Sub Total", "SUBTOTAL"},
    {17, "QTD", "Quantidade", "QUANTIDADE"},
    {18, "CPF", "CPF / CNPJ", "CPF/CNPJ"},
    {19, "SAN", "Sangria", "SANGRIA"},
    {20, "FUN", "Fundo de Caixa", "FUNDO CAIXA"},
    {21, "CCL", "Consulta Cliente", "CONS.CLIENTE"},
    {22, ".", "Ponto", "PONTO"},
    {23, "RCB", "Recebimentos Diversos", "RECEBIMENTOS"},
    {25, "CNF", "Comprovante não Fiscal", "COMPROV.N.FISCAL"},
    {26, "TEF", "Transação Eletrônica de Fundos", "TEF"},
    {43, "CUP", "Avança Cupom", "AVANCA CUPOM"},
};

constexpr std::string_view kSecondModel = "QZV";

void WriteKeyFunction(Table& t, int code, std::string_view legend, std::string_view description,
                      std::string_view label) {
  NewRow(t)
      .Number(ycotey::TEY_NUMBER, code)
      .Text(ycotey::TEY_DESCR, description)
      .Text(ycotey::TEY_DESCRI, label)
      .Text(ycotey::TEY_LEGEND, legend)
      .Number(ycotey::TEY_BOTON, 0)
      .Number(ycotey::TEY_NTECLA, 0)
      .Text(ycotey::TEY_TYPE, kSecondModel)
      .Post();
}

// One row per function a key of the second model can carry: the register's
// functions, the item groups 801-805, the PLU keys 806-899 and the
// departments 900-999, none of them on a key yet.
void WriteKeyFunctions(Table& t) {
  for (const KeyFunction& f : kKeyFunctions) WriteKeyFunction(t, f.code, f.legend, f.description, f.label);
  for (int n = 1; n <= 5; ++n) {
    std::string text = "GRUPO " + TwoDigits(n);
    WriteKeyFunction(t, 800 + n, "G" + TwoDigits(n), text, text);
  }
  for (int n = 6; n <= 99; ++n) {
    std::string text = "PLU " + TwoDigits(n);
    WriteKeyFunction(t, 800 + n, "G" + TwoDigits(n), text, text);
  }
  for (int n = 0; n <= 99; ++n) {
    std::string text = "DEPTO " + TwoDigits(n);
    WriteKeyFunction(t, 900 + n, "D" + TwoDigits(n), text, text);
  }
}

struct LabelLayout {
  int code;
  std::string_view description;
  double width, height;
  int columns;
  double left, top, gap;
  std::string_view prints_description, prints_price, prints_bar_code;
};

void WriteLabelLayout(Table& t, const LabelLayout& l) {
  NewRow(t)
      .Number(ycoetq::ETQ_CODIGO, l.code)
      .Text(ycoetq::ETQ_DESCR, l.description)
      .Number(ycoetq::ETQ_LARGUR, l.width)
      .Number(ycoetq::ETQ_ALTURA, l.height)
      .Number(ycoetq::ETQ_COLUNA, l.columns)
      .Number(ycoetq::ETQ_MARESQ, l.left)
      .Number(ycoetq::ETQ_MARSUP, l.top)
      .Number(ycoetq::ETQ_ESPACO, l.gap)
      .Text(ycoetq::ETQ_DESCRI, l.prints_description)
      .Text(ycoetq::ETQ_PRECO, l.prints_price)
      .Text(ycoetq::ETQ_CODBAR, l.prints_bar_code)
      .Post();
}

// ---- the demo store

struct Department {
  int code;
  std::string_view description;
  int tax_code;
  int group;
};

constexpr Department kDepartments[] = {
    {1, "MERCEARIA", 1, 1},   {2, "BEBIDAS", 1, 1}, {3, "FRIOS/LATICÍNIO", 3, 2},
    {4, "HORTIFRUTI", 15, 2}, {5, "AÇOUGUE", 3, 2}, {6, "PADARIA", 3, 2},
    {7, "LIMPEZA", 1, 3},     {8, "HIGIENE PESSOAL", 2, 3},
};

struct Group {
  int code;
  std::string_view description;
};

constexpr Group kGroups[] = {{1, "MERCEARIA E BEBIDAS"}, {2, "PERECÍVEIS"}, {3, "NÃO ALIMENTOS"}};

const Department& DepartmentOf(int code) {
  return *std::find_if(std::begin(kDepartments), std::end(kDepartments),
                       [code](const Department& d) { return d.code == code; });
}

void WriteDepartments(Table& dep, Table& grp) {
  for (const Department& d : kDepartments) {
    NewRow(dep)
        .Number(ycodep::DEP_CODIGO, d.code)
        .Text(ycodep::DEP_DESCR, d.description)
        .Number(ycodep::TRB_CODIGO, d.tax_code)
        .Post();
  }
  for (const Group& g : kGroups) {
    // The group's own row leaves DEP_CODIGO blank; its members repeat the
    // group's description.
    NewRow(grp).Number(ycogrp::GRP_CODIGO, g.code).Text(ycogrp::GRP_DESCR, g.description).Post();
    for (const Department& d : kDepartments) {
      if (d.group != g.code) continue;
      NewRow(grp)
          .Number(ycogrp::GRP_CODIGO, g.code)
          .Text(ycogrp::GRP_DESCR, g.description)
          .Number(ycogrp::DEP_CODIGO, d.code)
          .Post();
    }
  }
}

struct Product {
  double base;  // the code without its check digit
  std::string_view description;
  std::string_view short_description;
  int department;
  double price;
  std::string_view unit;  // PRO_PESAD
  std::string_view decimals;
  std::string_view item_group;
  double stock;
  bool promotion = false;
};

// Packaged goods carry manufacturers' 789 codes; goods sold by weight or by
// the litre carry in-store codes starting with 2.
constexpr Product kProducts[] = {
    {789100000001, "ARROZ AGULHINHA TIPO 1 5KG", "ARROZ T1 5KG", 1, 24.90, "N", "2", "0", 120},
    {789100000002, "FEIJÃO CARIOCA TIPO 1 1KG", "FEIJAO CARIOCA 1KG", 1, 8.49, "N", "2", "0", 200},
    {789100000003, "AÇÚCAR REFINADO 1KG", "ACUCAR REFINADO 1KG", 1, 4.79, "N", "2", "0", 150},
    {789100000004, "CAFÉ TORRADO E MOÍDO 500G", "CAFE MOIDO 500G", 1, 17.90, "N", "2", "0", 80, true},
    {789100000005, "ÓLEO DE SOJA 900ML", "OLEO SOJA 900ML", 1, 7.29, "N", "2", "0", 96},
    {789100000006, "MACARRÃO ESPAGUETE 500G", "MACARRAO ESPAG 500G", 1, 3.99, "N", "2", "0", 140},
    {789100000007, "FARINHA DE TRIGO 1KG", "FARINHA TRIGO 1KG", 1, 5.49, "N", "2", "0", 60},
    {789100000008, "SAL REFINADO 1KG", "SAL REFINADO 1KG", 1, 2.19, "N", "2", "0", 75},
    {789100000009, "MOLHO DE TOMATE 340G", "MOLHO TOMATE 340G", 1, 2.89, "N", "2", "0", 110},
    {789100000010, "BISCOITO RECHEADO CHOCOLATE 140G", "BISC RECH CHOC 140G", 1, 2.59, "N", "2", "0", 90},
    {789200000011, "REFRIGERANTE COLA 2L", "REFRI COLA 2L", 2, 9.99, "N", "2", "0", 72},
    {789200000012, "REFRIGERANTE GUARANÁ 2L", "REFRI GUARANA 2L", 2, 8.49, "N", "2", "0", 64},
    {789200000013, "ÁGUA MINERAL SEM GÁS 500ML", "AGUA MINERAL 500ML", 2, 1.99, "N", "2", "0", 240},
    {789200000014, "CERVEJA PILSEN LATA 350ML", "CERVEJA LATA 350ML", 2, 3.49, "N", "2", "0", 480},
    {789200000015, "SUCO DE LARANJA INTEGRAL 1L", "SUCO LARANJA 1L", 2, 11.90, "N", "2", "0", 36},
    {200000000016, "CHOPE CLARO (LITRO)", "CHOPE CLARO LT", 2, 18.500, "L", "3", "0", 50.5},
    {789300000017, "LEITE UHT INTEGRAL 1L", "LEITE UHT INTEGR 1L", 3, 4.99, "N", "2", "0", 300},
    {789300000018, "IOGURTE NATURAL 170G", "IOGURTE NATURAL 170G", 3, 2.79, "N", "2", "0", 48},
    {789300000019, "MANTEIGA COM SAL 200G", "MANTEIGA C SAL 200G", 3, 12.49, "N", "2", "0", 30},
    {200000000020, "QUEIJO MUSSARELA FATIADO", "QUEIJO MUSSARELA KG", 3, 44.900, "S", "3", "0", 12.345},
    {200000000021, "PRESUNTO COZIDO FATIADO", "PRESUNTO COZIDO KG", 3, 32.900, "S", "3", "0", 8.750},
    {200000000022, "BANANA NANICA", "BANANA NANICA KG", 4, 5.99, "S", "2", "2", 40.250},
    {200000000023, "TOMATE ITALIANO", "TOMATE ITALIANO KG", 4, 8.49, "S", "2", "2", 25.5},
    {200000000024, "BATATA INGLESA", "BATATA INGLESA KG", 4, 6.29, "S", "2", "2", 60},
    {200000000025, "MAÇÃ GALA", "MACA GALA KG", 4, 10.99, "S", "2", "2", 18.4},
    {789400000026, "ALFACE CRESPA HIDROPÔNICA", "ALFACE CRESPA UN", 4, 3.49, "N", "2", "0", 20},
    {200000000027, "CARNE MOÍDA PATINHO", "CARNE MOIDA KG", 5, 39.90, "S", "2", "3", 15.2},
    {200000000028, "FRANGO INTEIRO CONGELADO", "FRANGO INTEIRO KG", 5, 12.99, "S", "2", "3", 45},
    {200000000029, "PICANHA BOVINA", "PICANHA KG", 5, 79.900, "S", "3", "3", 9.875, true},
    {200000000030, "LINGUIÇA TOSCANA", "LINGUICA TOSCANA KG", 5, 21.90, "S", "2", "3", 22},
    {200000000031, "PÃO FRANCÊS", "PAO FRANCES KG", 6, 16.90, "S", "2", "1", 30},
    {789600000032, "PÃO DE FORMA TRADICIONAL 500G", "PAO DE FORMA 500G", 6, 8.99, "N", "2", "0", 25},
    {789600000033, "BOLO DE CENOURA", "BOLO CENOURA UN", 6, 14.90, "N", "2", "1", 6},
    {789700000034, "DETERGENTE LÍQUIDO 500ML", "DETERGENTE 500ML", 7, 2.49, "N", "2", "0", 130},
    {789700000035, "SABÃO EM PÓ 1KG", "SABAO EM PO 1KG", 7, 13.90, "N", "2", "0", 40},
    {789700000036, "ÁGUA SANITÁRIA 2L", "AGUA SANITARIA 2L", 7, 6.49, "N", "2", "0", 55},
    {200000000037, "DESINFETANTE A GRANEL (LITRO)", "DESINFETANTE GRANEL", 7, 5.875, "L", "3", "4", 100.750},
    {789800000038, "PAPEL HIGIÊNICO FOLHA DUPLA 12 ROLOS", "PAPEL HIG 12 ROLOS", 8, 19.90, "N", "2", "0", 44},
    {789800000039, "CREME DENTAL 90G", "CREME DENTAL 90G", 8, 4.59, "N", "2", "0", 70},
    {789800000040, "SABONETE EM BARRA 85G", "SABONETE 85G", 8, 2.29, "N", "2", "5", 150},
    {789800000041, "XAMPU 350ML", "XAMPU 350ML", 8, 15.49, "N", "2", "5", 24},
    {789800000042, "FIO DENTAL 50M", "FIO DENTAL 50M", 8, 7.99, "N", "2", "0", 18},
};

double UnitOfMeasure(std::string_view unit) {
  if (unit == "S") return 1;
  if (unit == "M") return 2;
  if (unit == "L") return 3;
  return 0;
}

void WriteProduct(Table& t, double code, std::string_view description, std::string_view short_description,
                  int group, int department, int tax_code, double price, std::string_view unit,
                  std::string_view decimals, std::string_view item_group, double stock, bool promotion,
                  Date today) {
  NewRow(t)
      .Number(ycopro::PRO_PLU, code)
      .Text(ycopro::PRO_DESCR, description)
      .Text(ycopro::PRO_RESUM, short_description)
      .Number(ycopro::PRO_GRUPO, group)
      .Number(ycopro::PRO_DEPTO, department)
      .Text(ycopro::PRO_LITRAD, unit == "L" ? "S" : "N")
      .Text(ycopro::PRO_PESAD, unit)
      .Text(ycopro::PRO_CASAD, decimals)
      .Number(ycopro::PRO_PCOVEN, price)
      .Number(ycopro::PRO_PCOPRO, promotion ? std::round(price * 90) / 100 : 0)
      .Number(ycopro::PRO_PCOATA, 0)
      .Text(ycopro::PRO_PROMO, promotion ? "S" : "N")
      .Text(ycopro::PRO_GRPITE, item_group)
      .Number(ycopro::PRO_TRIBUT, tax_code)
      .Flag(ycopro::PRO_Q4000, true)
      .Flag(ycopro::PRO_QZV, true)
      .Flag(ycopro::PRO_QZVRES, true)
      .Day(ycopro::PRO_DTUALT, today)
      .Number(ycopro::PRO_ESTQ, stock)
      .Number(ycopro::PRO_UNMED, UnitOfMeasure(unit))
      .Number(ycopro::PRO_TRB0, 0)
      .Number(ycopro::PRO_TRB1, 0)
      .Post();
}

void WriteDemoProducts(Table& pro, Table& bar, Date today) {
  for (const Product& p : kProducts) {
    const Department& d = DepartmentOf(p.department);
    double code = DigitoEAN(p.base);
    WriteProduct(pro, code, p.description, p.short_description, d.group, d.code, d.tax_code, p.price, p.unit,
                 p.decimals, p.item_group, p.stock, p.promotion, today);
    // Boxes of the packaged goods of the first department are sold under
    // their GTIN-14 (packaging digit 1) as well.
    if (p.department == 1 && p.base >= 780000000000) {
      auto box = static_cast<int64_t>(DigitoEAN(1e12 + p.base));
      NewRow(bar).Number(ycobar::BAR_PLU, code).Text(ycobar::BAR_CODIGO, std::to_string(box)).Post();
    }
  }
}

// The two CPF check digits appended to a nine-digit base.
double CpfWithDigits(int64_t base) {
  int digits[11];
  for (int i = 8; i >= 0; --i, base /= 10) digits[i] = static_cast<int>(base % 10);
  for (int k = 9; k <= 10; ++k) {
    int sum = 0;
    for (int i = 0; i < k; ++i) sum += digits[i] * (k + 1 - i);
    int d = sum * 10 % 11;
    digits[k] = d == 10 ? 0 : d;
  }
  int64_t number = 0;
  for (int d : digits) number = number * 10 + d;
  return static_cast<double>(number);
}

double CnpjWithDigits(double base) { return base * 100 + std::stod(DigitosCNPJ(base)); }

void WriteClients(Table& t) {
  struct Client {
    int code;
    std::string_view name;
    double tax_number;
    std::string_view status;
    std::string_view address;
    std::string_view complement;
  };
  const Client clients[] = {
      {1, "JOSÉ CARLOS DA SILVA", CpfWithDigits(123456789), "0", "RUA VERGUEIRO, 3185", "APTO 42"},
      {2, "ANA PAULA FERREIRA", CpfWithDigits(987654321), "0", "AV. DOMINGOS DE MORAIS, 1200", ""},
      {3, "RESTAURANTE SABOR CASEIRO", CnpjWithDigits(112223330001), "1", "RUA JOAQUIM TÁVORA, 455",
       "TÉRREO"},
      {4, "MARCOS ANTÔNIO PEREIRA", CpfWithDigits(315792468), "2", "RUA SENA MADUREIRA, 77", "CASA 2"},
      {5, "PADARIA PÃO QUENTE LTDA", CnpjWithDigits(271938460001), "0", "RUA LOEFGREN, 1501", ""},
      {6, "LUCIANA OLIVEIRA COSTA", CpfWithDigits(246813579), "0", "RUA BOTUCATU, 610", "BLOCO B"},
  };
  for (const Client& c : clients) {
    NewRow(t)
        .Number(ycocli::CLI_CODIGO, c.code)
        .Text(ycocli::CLI_NOME, c.name)
        .Number(ycocli::CLI_CNPJ, c.tax_number)
        .Text(ycocli::CLI_STATUS, c.status)
        .Text(ycocli::CLI_ENDER, c.address)
        .Text(ycocli::CLI_COMPLE, c.complement)
        .Number(ycocli::REG_CODIGO, 0)
        .Post();
  }
}

void WriteOperators(Table& t) {
  const FieldDef permissions[] = {
      ycoope::OPE_DITEM,  ycoope::OPE_DSUBTO, ycoope::OPE_AITEM,  ycoope::OPE_ASUBTO,
      ycoope::OPE_CITEM,  ycoope::OPE_CCUPOM, ycoope::OPE_LIMITE, ycoope::OPE_RELATO,
      ycoope::OPE_SANGRI, ycoope::OPE_FDCXA,  ycoope::OPE_LEITX,  ycoope::OPE_REDZ,
  };
  struct Operator {
    int code;
    std::string_view name;
    bool manager;
    int password;
  };
  const Operator operators[] = {
      {1, "GERENTE", true, 1234}, {2, "CLÁUDIA", false, 1111}, {3, "ROBERTO", false, 2222}, {4, "FERNANDA", false, 7}};
  for (const Operator& o : operators) {
    NewRow row(t);
    row.Number(ycoope::OPE_CODIGO, o.code)
        .Text(ycoope::OPE_NOME, o.name)
        .Text(ycoope::OPE_PERFIL, o.manager ? "S" : "N")
        .Number(ycoope::OPE_SENHA, o.password);
    // Operators may correct an item and take a reading; the rest is the
    // manager's.
    for (const FieldDef& f : permissions) {
      bool allowed = o.manager || f.name == ycoope::OPE_CITEM.name || f.name == ycoope::OPE_LEITX.name;
      row.Text(f, allowed ? "S" : "N");
    }
    row.Post();
  }
}

void WriteSellers(Table& t) {
  const std::string_view names[] = {"CARLOS EDUARDO", "PATRÍCIA LIMA", "JOÃO BATISTA", "RENATA SOUZA"};
  int code = 0;
  for (std::string_view name : names) NewRow(t).Number(ycoven::VEN_CODIGO, ++code).Text(ycoven::VEN_NOME, name).Post();
}

struct PaymentType {
  int code;
  std::string_view description;
  std::string_view kind, change, drawer, voucher;
  double limit;
};

constexpr PaymentType kPaymentTypes[] = {
    {1, "DINHEIRO", "1", "S", "S", "N", 0},
    {2, "CHEQUE", "2", "S", "S", "N", 500},
    {3, "CARTÃO DE CRÉDITO", "3", "N", "N", "N", 0},
    {4, "CARTÃO DE DÉBITO", "3", "N", "N", "N", 0},
    {5, "CONVÊNIO", "4", "N", "N", "S", 300},
    {6, "VALE ALIMENTAÇÃO", "1", "N", "N", "S", 0},
};

void WritePaymentTypes(Table& t, const FieldDef (&f)[7]) {
  for (const PaymentType& p : kPaymentTypes) {
    NewRow(t)
        .Number(f[0], p.code)
        .Text(f[1], p.description)
        .Text(f[2], p.kind)
        .Text(f[3], p.change)
        .Text(f[4], p.drawer)
        .Text(f[5], p.voucher)
        .Number(f[6], p.limit)
        .Post();
  }
}

void WriteTerminals(Table& ter, Table& tet) {
  for (int n = 1; n <= 3; ++n) {
    std::string address = "127.0.0." + std::to_string(n);
    double ecf_serial = 730000 + n;
    NewRow(ter)
        .Number(ycoter::ESTACAO, n)
        .Text(ycoter::TER_ECFSER, address)
        .Number(ycoter::TER_ECFNO, ecf_serial)
        .Number(ycoter::TER_LOJA, 1)
        .Text(ycoter::TER_PORTA, "3010")
        .Text(ycoter::TER_RESERV, "N")
        .Post();
    NewRow(tet)
        .Number(ycotet::ESTACAO, n)
        .Number(ycotet::TET_TETNO, n)
        .Text(ycotet::TET_PORTA, "3010")
        .Text(ycotet::TET_TETSER, "QZ7300BR00000" + std::to_string(n))
        .Text(ycotet::TET_RESERV, "N")
        .Text(ycotet::TET_TPIMPR, "TERM")
        .Number(ycotet::TET_ECFNO, ecf_serial)
        .Text(ycotet::TET_ECFSER, address)
        .Text(ycotet::TET_RESTAU, "N")
        .Number(ycotet::TET_LOJA, 1)
        .Post();
  }
}

void WriteDemoCounters(Table& prm) {
  prm.first();
  prm.edit();
  prm.setNumber(ycoprm::PRM_UTGRUP, std::size(kGroups));
  prm.setNumber(ycoprm::PRM_UTDEPT, std::size(kDepartments));
  prm.setNumber(ycoprm::PRM_ULTCLI, 6);
  prm.setNumber(ycoprm::PRM_UTVEND, 4);
  prm.setNumber(ycoprm::PRM_UTOPER, 4);
  prm.setNumber(ycoprm::PRM_UTETIQ, 2);
  if (!prm.post()) throw Error(prm.fileName() + ": row refused while installing");
}

// ---- generated products

constexpr std::string_view kNouns[] = {"BISCOITO", "SUCO",   "MOLHO", "CHOCOLATE", "CEREAL", "SABONETE",
                                       "DETERGENTE", "CAFÉ", "LEITE", "IOGURTE",   "MACARRÃO", "TEMPERO"};
constexpr std::string_view kKinds[] = {"TRADICIONAL", "INTEGRAL", "LIGHT", "ZERO", "PREMIUM", "ECONÔMICO"};
constexpr std::string_view kSizes[] = {"90G", "200G", "500G", "1KG", "350ML", "1L", "2L"};

// Codes start at 210000000000 (in-store range, clear of the demo's) and get
// their check digit when the store uses check digits.
void WriteGeneratedProducts(Table& pro, size_t count, bool check_digit, bool demo, Date today) {
  uint64_t state = 20240601;
  auto next = [&state](uint64_t bound) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return (state >> 33) % bound;
  };
  for (size_t i = 1; i <= count; ++i) {
    double base = 210000000000.0 + static_cast<double>(i);
    std::string_view noun = kNouns[next(std::size(kNouns))];
    std::string_view kind = kKinds[next(std::size(kKinds))];
    std::string_view size = kSizes[next(std::size(kSizes))];
    std::string serial = std::to_string(i);
    std::string description = std::string(noun) + " " + std::string(kind) + " " + std::string(size) + " " + serial;
    std::string short_description = std::string(noun).substr(0, 10) + " " + serial;
    double price = static_cast<double>(49 + next(19950)) / 100;
    double stock = static_cast<double>(next(500));
    int group = 0, department = 0, tax_code = 14 + static_cast<int>(i % 3);
    if (demo) {
      const Department& d = kDepartments[i % std::size(kDepartments)];
      group = d.group;
      department = d.code;
      tax_code = d.tax_code;
    }
    WriteProduct(pro, check_digit ? DigitoEAN(base) : base, description, short_description, group, department,
                 tax_code, price, "N", "2", "0", stock, false, today);
  }
}

}  // namespace

std::string InstalledFileName(const TableDef& table) { return Upper(table.name) + ".DBF"; }

void AddTableTags(const Database& db, const TableDef& table) {
  if (table.tags.empty()) return;
  std::unique_ptr<Table> t = db.open(table.name, {.tag = "", .exclusive = true});
  AddTags(*t, table.tags);
  t->close();
}

InstallSummary InstallDataDirectory(const fs::path& dir, const InstallOptions& options) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir)) {
    throw Error(dir.string() + ": cannot create the data directory" + (ec ? ": " + ec.message() : ""));
  }
  if (std::string existing = FirstTableFile(dir); !existing.empty()) {
    throw Error(dir.string() + ": already holds tables (" + existing +
                "); a data directory is installed only into a folder without tables");
  }

  Database db(dir);
  for (const TableDef& def : AllTables()) db.create(InstalledFileName(def), def.fields);

  auto open = [&db](const TableDef* def) { return db.open(def->name, {.tag = "", .exclusive = true}); };
  auto open_name = [&](std::string_view name) { return open(FindTable(name)); };

  const bool demo = options.demo;
  const Date today = kaslo::Today();
  InstallSummary summary;
  summary.tables = AllTables().size();
  {
    auto prm = open_name(ycoprm::kTable);
    WriteParameters(*prm, demo);
    if (demo) WriteDemoCounters(*prm);
  }
  WriteTerminalOptions(*open_name(ycoycf::kTable), demo);
  {
    auto trb = open_name(ycotrb::kTable);
    if (demo) WriteTaxCodes(*trb, kDemoTaxCodes);
    WriteTaxCodes(*trb, kFixedTaxCodes);
  }
  WriteKeyFunctions(*open_name(ycotey::kTable));
  {
    auto etq = open_name(ycoetq::kTable);
    WriteLabelLayout(*etq, {1, "PADRÃO 3 COLUNAS", 33.0, 22.0, 3, 2.0, 1.0, 2.0, "S", "S", "S"});
    if (demo) WriteLabelLayout(*etq, {2, "GÔNDOLA", 80.0, 30.0, 1, 3.0, 2.0, 0.0, "S", "S", "N"});
  }
  {
    auto pro = open_name(ycopro::kTable);
    if (demo) {
      auto dep = open_name(ycodep::kTable);
      auto grp = open_name(ycogrp::kTable);
      WriteDepartments(*dep, *grp);
      WriteDemoProducts(*pro, *open_name(ycobar::kTable), today);
      summary.products += std::size(kProducts);
      WriteClients(*open_name(ycocli::kTable));
      WriteOperators(*open_name(ycoope::kTable));
      WriteSellers(*open_name(ycoven::kTable));
      WritePaymentTypes(*open_name(ycoq40::kTable),
                        {ycoq40::Q40_CODIGO, ycoq40::Q40_DESCR, ycoq40::Q40_TIPO, ycoq40::Q40_TROCO,
                         ycoq40::Q40_GAVETA, ycoq40::Q40_CVALLE, ycoq40::Q40_LIMITE});
      WritePaymentTypes(*open_name(ycoqrm::kTable),
                        {ycoqrm::QRM_CODIGO, ycoqrm::QRM_DESCR, ycoqrm::QRM_TIPO, ycoqrm::QRM_TROCO,
                         ycoqrm::QRM_GAVETA, ycoqrm::QRM_CVALLE, ycoqrm::QRM_LIMITE});
      auto ter = open_name(ycoter::kTable);
      auto tet = open_name(ycotet::kTable);
      WriteTerminals(*ter, *tet);
    }
    WriteGeneratedProducts(*pro, options.generated_products, demo, demo, today);
    summary.products += options.generated_products;
  }

  for (const TableDef& def : AllTables()) AddTableTags(db, def);
  return summary;
}

}  // namespace kaslo::db
