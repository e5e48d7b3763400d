#include "DirectoryIndexes.h"

#include "Database.h"

namespace db {

void createDirectoryIndexes(Database& d) {
    // The foreign keys the statements reach the big tables through (composite
    // where one serves two searches), the numbers and subscriber keys, and
    // folded values of the lookups for LIKE with a prefix.
    static const char* const indexes[] = {
        "CREATE INDEX ix_osoby_prijmeni ON Osoby (ID_Prijmeni, ID_Obec)",
        "CREATE INDEX ix_osoby_obec ON Osoby (ID_Obec, ID_Ulice)",
        "CREATE INDEX ix_osoby_jmeno ON Osoby (ID_Jmeno)",
        "CREATE INDEX ix_osoby_ulice ON Osoby (ID_Ulice)",
        "CREATE INDEX ix_osoby_psc ON Osoby (ID_PSC)",
        "CREATE INDEX ix_osoby_tel ON Osoby (Tel_a)",
        "CREATE INDEX ix_osoby_euroisdn ON Osoby (euroISDN)",
        "CREATE INDEX ix_firmy_firma ON Firmy (id_firma)",
        "CREATE INDEX ix_firmy_obec ON Firmy (id_obec, id_ulice)",
        "CREATE INDEX ix_firmy_poznamka ON Firmy (id_poznamka)",
        "CREATE INDEX ix_firmy_psc ON Firmy (id_psc)",
        "CREATE INDEX ix_firmy_tel ON Firmy (Tel_a)",
        "CREATE INDEX ix_firmy_euroisdn ON Firmy (euroISDN)",
        "CREATE INDEX ix_osoby_navic_euroisdn ON Osoby_TEL_Navic (EuroISDN)",
        "CREATE INDEX ix_osoby_navic_tel ON Osoby_TEL_Navic (Tel_a)",
        "CREATE INDEX ix_firmy_navic_euroisdn ON Firmy_TEL_Navic (EuroISDN)",
        "CREATE INDEX ix_firmy_navic_tel ON Firmy_TEL_Navic (Tel_a)",
        "CREATE INDEX ix_kraje_kraj ON KRAJE (Kraj)",
    };
    for (const char* sql : indexes)
        d.executeNative(QString::fromLatin1(sql));
    for (const char* t : {"Jmeno", "Prijmeni", "Firma", "Ulice", "CP", "Obec", "PSC", "Poznamka"})
        d.executeNative(QStringLiteral("CREATE INDEX ix_%1_fold ON \"%2\" (jet_fold(\"%2\"))")
                            .arg(QString::fromLatin1(t).toLower(), QString::fromLatin1(t)));
    d.executeNative(QStringLiteral("PRAGMA analysis_limit=2000; ANALYZE;"));
}

} // namespace db
