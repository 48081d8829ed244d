// Ycoprm, the store and system parameters, one row: the store's identity and
// address, last-code counters, and the options of both terminal models.
// Flags hold "S" or "N" unless their comment says otherwise.
#pragma once

#include <span>
#include <string_view>

#include "db/field.h"

namespace kaslo::ycoprm {

inline constexpr std::string_view kTable = "Ycoprm";

inline constexpr db::FieldDef PRM_CNPJ = db::Num("PRM_CNPJ", 14);
inline constexpr db::FieldDef PRM_IE = db::Char("PRM_IE", 20);
inline constexpr db::FieldDef PRM_IM = db::Char("PRM_IM", 20);
inline constexpr db::FieldDef PRM_RAZAOS = db::Char("PRM_RAZAOS", 50);
inline constexpr db::FieldDef PRM_ENDERE = db::Char("PRM_ENDERE", 50);
inline constexpr db::FieldDef PRM_CEP = db::Num("PRM_CEP", 5);
inline constexpr db::FieldDef PRM_CEPP = db::Num("PRM_CEPP", 3);
inline constexpr db::FieldDef PRM_BAIRRO = db::Char("PRM_BAIRRO", 20);
inline constexpr db::FieldDef PRM_MUNICI = db::Char("PRM_MUNICI", 20);
inline constexpr db::FieldDef PRM_UF = db::Char("PRM_UF", 2);
inline constexpr db::FieldDef PRM_EMAIL = db::Char("PRM_EMAIL", 50);
inline constexpr db::FieldDef PRM_HPAGE = db::Char("PRM_HPAGE", 70);
inline constexpr db::FieldDef PRM_FONE = db::Num("PRM_FONE", 10);
inline constexpr db::FieldDef PRM_DDD = db::Num("PRM_DDD", 3);
inline constexpr db::FieldDef PRM_FAX = db::Char("PRM_FAX", 20);
inline constexpr db::FieldDef PRM_ARQEXP = db::Char("PRM_ARQEXP", 1);
inline constexpr db::FieldDef PRM_ARQIMP = db::Char("PRM_ARQIMP", 1);
inline constexpr db::FieldDef PRM_TPIMP = db::Char("PRM_TPIMP", 1);
inline constexpr db::FieldDef PRM_PRODIG = db::Char("PRM_PRODIG", 1);
inline constexpr db::FieldDef PRM_CODFRE = db::Char("PRM_CODFRE", 1);
inline constexpr db::FieldDef PRM_UTPROD = db::Num("PRM_UTPROD", 14);
inline constexpr db::FieldDef PRM_UTGRUP = db::Num("PRM_UTGRUP", 6);
inline constexpr db::FieldDef PRM_UTDEPT = db::Num("PRM_UTDEPT", 6);
inline constexpr db::FieldDef PRM_UTETIQ = db::Num("PRM_UTETIQ", 6);
inline constexpr db::FieldDef PRM_ULTCLI = db::Num("PRM_ULTCLI", 6);
inline constexpr db::FieldDef PRM_ULTREG = db::Num("PRM_ULTREG", 6);
inline constexpr db::FieldDef PRM_UTVEND = db::Num("PRM_UTVEND", 6);
inline constexpr db::FieldDef PRM_UTOPER = db::Num("PRM_UTOPER", 6);
inline constexpr db::FieldDef PRM_GERENC = db::Char("PRM_GERENC", 1);
inline constexpr db::FieldDef PRM_ETMPRO = db::Num("PRM_ETMPRO", 3);
inline constexpr db::FieldDef PRM_ULTZNA = db::Num("PRM_ULTZNA", 6);
inline constexpr db::FieldDef PRM_ULTATD = db::Num("PRM_ULTATD", 6);
inline constexpr db::FieldDef PRM_ULTMAP = db::Num("PRM_ULTMAP", 6);
inline constexpr db::FieldDef Q40_MAXREG = db::Num("Q40_MAXREG", 12, 2);
inline constexpr db::FieldDef Q40_DIGCON = db::Char("Q40_DIGCON", 1);
inline constexpr db::FieldDef Q40_ENTER = db::Char("Q40_ENTER", 1);
inline constexpr db::FieldDef Q40_VERAO = db::Char("Q40_VERAO", 1);
inline constexpr db::FieldDef Q40_ZERO = db::Char("Q40_ZERO", 1);
inline constexpr db::FieldDef QRM_MAXREG = db::Num("QRM_MAXREG", 12, 2);
inline constexpr db::FieldDef QRM_DIGCON = db::Char("QRM_DIGCON", 1);
inline constexpr db::FieldDef QRM_ENTER = db::Char("QRM_ENTER", 1);
inline constexpr db::FieldDef QRM_VERAO = db::Char("QRM_VERAO", 1);
inline constexpr db::FieldDef QRM_ZERO = db::Char("QRM_ZERO", 1);
inline constexpr db::FieldDef PRM_ETMGON = db::Num("PRM_ETMGON", 3);
inline constexpr db::FieldDef PRM_NOLOJA = db::Num("PRM_NOLOJA", 4);
inline constexpr db::FieldDef Q40_ADIC1 = db::Char("Q40_ADIC1", 42);
inline constexpr db::FieldDef Q40_ADIC2 = db::Char("Q40_ADIC2", 42);
inline constexpr db::FieldDef Q40_CAMCEN = db::Char("Q40_CAMCEN", 1);
inline constexpr db::FieldDef Q40_EXPA1 = db::Char("Q40_EXPA1", 1);
inline constexpr db::FieldDef Q40_EXPA2 = db::Char("Q40_EXPA2", 1);
inline constexpr db::FieldDef Q40_EXPA3 = db::Char("Q40_EXPA3", 1);
inline constexpr db::FieldDef Q40_EXPA4 = db::Char("Q40_EXPA4", 1);
inline constexpr db::FieldDef PRM_MOEDA = db::Char("PRM_MOEDA", 4);
inline constexpr db::FieldDef PRM_DESISS = db::Char("PRM_DESISS", 1);
inline constexpr db::FieldDef PRM_MSGNF5 = db::Char("PRM_MSGNF5", 42);
inline constexpr db::FieldDef PRM_MSGNF6 = db::Char("PRM_MSGNF6", 42);
inline constexpr db::FieldDef PRM_MSGNF7 = db::Char("PRM_MSGNF7", 42);
inline constexpr db::FieldDef PRM_MSGNF8 = db::Char("PRM_MSGNF8", 42);
inline constexpr db::FieldDef PRM_LABELP = db::Char("PRM_LABELP", 4);
inline constexpr db::FieldDef PRM_HABBAR = db::Char("PRM_HABBAR", 1);
inline constexpr db::FieldDef Q40_LIMAUT = db::Char("Q40_LIMAUT", 1);
inline constexpr db::FieldDef PRM_VERCPF = db::Char("PRM_VERCPF", 1);
inline constexpr db::FieldDef PRM_CONTAT = db::Char("PRM_CONTAT", 28);
inline constexpr db::FieldDef PRM_NUMERO = db::Char("PRM_NUMERO", 5);
inline constexpr db::FieldDef PRM_COMPLE = db::Char("PRM_COMPLE", 22);
inline constexpr db::FieldDef Q40_CEN1 = db::Char("Q40_CEN1", 1);
inline constexpr db::FieldDef Q40_CEN2 = db::Char("Q40_CEN2", 1);
inline constexpr db::FieldDef Q40_CEN3 = db::Char("Q40_CEN3", 1);
inline constexpr db::FieldDef Q40_CEN4 = db::Char("Q40_CEN4", 1);
inline constexpr db::FieldDef Q40_CAMCE1 = db::Char("Q40_CAMCE1", 1);
inline constexpr db::FieldDef Q40_CAMCE2 = db::Char("Q40_CAMCE2", 1);
inline constexpr db::FieldDef Q40_CAMCE3 = db::Char("Q40_CAMCE3", 1);
inline constexpr db::FieldDef Q40_DESCIS = db::Char("Q40_DESCIS", 1);
inline constexpr db::FieldDef Q40_DEPAB = db::Char("Q40_DEPAB", 1);
inline constexpr db::FieldDef Q40_LOGZ = db::Char("Q40_LOGZ", 1);
inline constexpr db::FieldDef Q40_VIASC = db::Char("Q40_VIASC", 1);

inline constexpr db::FieldDef kFields[] = {
    PRM_CNPJ, PRM_IE, PRM_IM, PRM_RAZAOS, PRM_ENDERE, PRM_CEP, PRM_CEPP, PRM_BAIRRO,
    PRM_MUNICI, PRM_UF, PRM_EMAIL, PRM_HPAGE, PRM_FONE, PRM_DDD, PRM_FAX, PRM_ARQEXP,
    PRM_ARQIMP, PRM_TPIMP, PRM_PRODIG, PRM_CODFRE, PRM_UTPROD, PRM_UTGRUP, PRM_UTDEPT,
    PRM_UTETIQ, PRM_ULTCLI, PRM_ULTREG, PRM_UTVEND, PRM_UTOPER, PRM_GERENC, PRM_ETMPRO,
    PRM_ULTZNA, PRM_ULTATD, PRM_ULTMAP, Q40_MAXREG, Q40_DIGCON, Q40_ENTER, Q40_VERAO,
    Q40_ZERO, QRM_MAXREG, QRM_DIGCON, QRM_ENTER, QRM_VERAO, QRM_ZERO, PRM_ETMGON,
    PRM_NOLOJA, Q40_ADIC1, Q40_ADIC2, Q40_CAMCEN, Q40_EXPA1, Q40_EXPA2, Q40_EXPA3,
    Q40_EXPA4, PRM_MOEDA, PRM_DESISS, PRM_MSGNF5, PRM_MSGNF6, PRM_MSGNF7, PRM_MSGNF8,
    PRM_LABELP, PRM_HABBAR, Q40_LIMAUT, PRM_VERCPF, PRM_CONTAT, PRM_NUMERO, PRM_COMPLE,
    Q40_CEN1, Q40_CEN2, Q40_CEN3, Q40_CEN4, Q40_CAMCE1, Q40_CAMCE2, Q40_CAMCE3,
    Q40_DESCIS, Q40_DEPAB, Q40_LOGZ, Q40_VIASC,
};
inline constexpr db::TagDef kTags[] = {
    {"Um", "PRM_CNPJ"},
};

}  // namespace kaslo::ycoprm
