// The items of the main menu, in display order.
#include "app/ui/MenuTable.h"


namespace kaslo::ui {

namespace {

using A = MenuAction;

constexpr std::string_view kCarga = "TFCargaTcp";

const MenuItemDef kItems[] = {
    {"Menu001", "&Parametrização", "", A::kSubmenu},
    {"Menu002_AR", "Configurações do Sistema", "Menu001", A::kWindow, "TFCadPrmAdm"},
    {"N5", "", "Menu001", A::kSeparator},
    {"Menu005", "Equipamentos - Manutenção", "Menu001", A::kWindow, "TFItQ7300"},
    {"Menu004", "Equipamentos - Opções Complementares", "Menu001", A::kWindow, "TFConfQ4000"},

    {"Menu119", "&Cadastros", "", A::kSubmenu},
    {"Menu120", "Pro&dutos", "Menu119", A::kWindow, "TFCadProd_DB"},
    {"Menu129", "&Clientes", "Menu119", A::kWindow, "TFCadCli"},
    {"Menu133", "Vendedores", "Menu119", A::kWindow, "TFCadVend"},
    {"Menu135", "Operadores", "Menu119", A::kWindow, "TFCadOper"},
    {"N1", "", "Menu119", A::kSeparator},
    {"Menu137_AR", "Grupos de Departamento", "Menu119", A::kWindow, "TFCadGrpDepto"},
    {"Menu138_AR", "Departamentos", "Menu119", A::kWindow, "TFCadDepto"},
    {"Menu126_AR", "Tributações", "Menu119", A::kWindow, "TFCadTrib"},

    {"Menu020", "Processa&mento", "", A::kSubmenu},
    {"Menu028", "Reindexação de Tabelas", "Menu020", A::kCommand, "Menu028Click"},
    {"N3", "", "Menu020", A::kSeparator},
    {"Menu033", "Exportação de Arquivos", "Menu020", A::kWindow, "TFExpoImpNlu", 0, false, true},
    {"Menu034", "Importação de Arquivos", "Menu020", A::kWindow, "TFExpoImpNlu", 1, false, true},
    {"N2", "", "Menu020", A::kSeparator},
    {"Conversobancodadados1", "Conversão banco da dados", "Menu020", A::kCommand,
     "Conversobancodadados1Click"},

    {"Menu090", "Com&unicação", "", A::kSubmenu},
    {"Menu117", "Cargas", "Menu090", A::kSubmenu},
    {"Menu093", "Clientes ", "Menu117", A::kWindow, kCarga, 161},
    {"Menu149", "Departamentos", "Menu117", A::kWindow, kCarga, 111, true},
    {"Menu148", "Grupos de Depto", "Menu117", A::kWindow, kCarga, 101, true},
    {"Menu122", "Operadores", "Menu117", A::kWindow, kCarga, 88},
    {"Menu092", "Produtos", "Menu117", A::kWindow, kCarga, 181},
    {"Menu118", "Vendedores", "Menu117", A::kWindow, kCarga, 99},
    {"Menu123", "Leituras", "Menu090", A::kSubmenu},
    {"Menu111", "Leitura de LOG", "Menu123", A::kWindow, kCarga, 23},
    {"Menu110", "Leitura de Memória Fiscal", "Menu123", A::kWindow, kCarga, 2},
    {"Menu104", "Leitura X", "Menu123", A::kWindow, kCarga, 1},
    // The item carries 998; the window does not take it.
    {"Menu099", "Leitura SINTEGRA", "Menu123", A::kWindow, "TFR60", 998},
    {"Menu094", "Leitura de Cadastro", "Menu123", A::kSubmenu},
    {"Menu101", "de Clientes", "Menu094", A::kWindow, kCarga, 16},
    {"Menu152", "de Configuração de Descontos/Acréscimos", "Menu094", A::kWindow, kCarga, 14},
    {"Menu146", "de Configuração de Finalizadoras", "Menu094", A::kWindow, kCarga, 12},
    {"Menu155", "de Configuração de Mensagem de Venda", "Menu094", A::kWindow, kCarga, 15},
    {"Menu150", "de Configuração de Parâmetros Diversos/Periféricos", "Menu094", A::kWindow, kCarga, 13},
    {"Menu147", "de Grupos de Depto", "Menu094", A::kWindow, kCarga, 10},
    {"Menu098", "de Departamentos", "Menu094", A::kWindow, kCarga, 11},
    {"Menu096", "de Produtos", "Menu094", A::kWindow, kCarga, 18},
    {"Menu124", "de Operadores", "Menu094", A::kWindow, kCarga, 8},
    {"Menu100", "de Vendedores", "Menu094", A::kWindow, kCarga, 9},
    {"Menu095", "Leitura de Relatório de Vendas", "Menu123", A::kSubmenu},
    {"Menu105", "por Produtos", "Menu095", A::kWindow, kCarga, 5},
    {"Menu106", "por Depto", "Menu095", A::kWindow, kCarga, 6},
    {"Menu107", "por Operador", "Menu095", A::kWindow, kCarga, 7},
    {"Menu108", "por Produtos II", "Menu095", A::kWindow, kCarga, 3},
    {"Menu109", "por Horário", "Menu095", A::kWindow, kCarga, 4},
    {"LeituraSINTEGRADiario1", "Gerar arquivo diario", "Menu123", A::kCommand, "LeituraSINTEGRADiario1Click"},
    {"Menu035", "Limpeza de LOG", "Menu090", A::kWindow, kCarga, 87},

    {"Sobre", "&Sobre", "", A::kSubmenu},
    {"Y3", "Kaslo Roza ®...", "Sobre", A::kCommand, "Y3Click"},
    {"Sair", "Sair", "", A::kCommand, "SairClick", 0, false, false, "Alt+F4"},
};

}  // namespace

std::span<const MenuItemDef> MainMenuItems() { return kItems; }

}  // namespace kaslo::ui
