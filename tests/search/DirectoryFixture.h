#pragma once

// A small directory database built row by row for the search tests, with the
// program's working databases beside it.

#include "Database.h"
#include "Dataset.h"
#include "Scramble.h"
#include "WorkingFiles.h"

#include <QHash>
#include <memory>

namespace search_test {

class DirectoryFixture : test_support::WorkingFiles {
  public:
    struct Entry {
        QString surname, firstName, title, street, houseNumber, municipality, part, postalCode, note,
            district;
        QString number;      // nine digits
        qint64 euroIsdn = 0; // 0: no subscriber key
    };

    DirectoryFixture() {
        db::OpenOptions o;
        o.disposable = true;
        m_db = engine().defaultWorkspace().createDatabase(dir.filePath(QStringLiteral("ordat.mdb")),
                                                          db::kCzechLocale, o);
        createSchema(*m_db);
        exec(QStringLiteral("INSERT INTO KRAJE (UTO, Kraj) VALUES (\"1\", \"Hl.m. Praha\")"));
        exec(QStringLiteral("INSERT INTO KRAJE (UTO, Kraj) VALUES (\"2\", \"Pardubický\")"));
    }

    // The directory's tables: the lookups, KRAJE, Osoby, Firmy and their additional numbers.
    static void createSchema(db::Database& d) {
        for (const QString& t : lookups())
            d.execute(QStringLiteral("CREATE TABLE %1 (ID LONG PRIMARY KEY, %1 TEXT(100))").arg(t),
                      db::Database::FailOnError);
        d.execute(QStringLiteral("CREATE TABLE KRAJE (UTO TEXT(5), Kraj TEXT(50))"),
                  db::Database::FailOnError);
        d.execute(
            QStringLiteral(
                "CREATE TABLE Osoby (ID LONG PRIMARY KEY, ID_Titul LONG, ID_Jmeno LONG, ID_Prijmeni LONG, "
                "ID_Ulice LONG, ID_CP LONG, ID_Obec LONG, ID_Cast LONG, ID_PSC LONG, ID_Poznamka LONG, "
                "ID_UTO LONG, euroISDN LONG, Tel_a LONG, TelExt_a TEXT(12))"),
            db::Database::FailOnError);
        d.execute(
            QStringLiteral(
                "CREATE TABLE Firmy (ID LONG PRIMARY KEY, id_firma LONG, id_poznamka LONG, id_ulice LONG, "
                "id_cp LONG, id_obec LONG, id_cast LONG, id_psc LONG, id_url LONG, id_uto LONG, "
                "euroISDN LONG, Tel_a LONG, TelExt_a TEXT(12))"),
            db::Database::FailOnError);
        for (const char* t : {"Osoby_TEL_Navic", "Firmy_TEL_Navic"})
            d.execute(
                QStringLiteral("CREATE TABLE %1 (ID LONG, EuroISDN LONG, Tel_a LONG, TelExt_a TEXT(12), "
                               "Poznamka TEXT(20))")
                    .arg(QLatin1String(t)),
                db::Database::FailOnError);
    }

    db::Engine& engine() { return WorkingFiles::engine; }
    db::Database& database() { return *m_db; }
    const db::OwnPaths& paths() const { return WorkingFiles::paths; }

    void exec(const QString& sql) { m_db->execute(sql, db::Database::FailOnError); }

    // Ends the building: the directory is searched read-only, as from the disc.
    db::Database* openReadOnly() {
        m_db->close();
        db::OpenOptions o;
        o.readOnly = true;
        m_db = engine().defaultWorkspace().openDatabase(dir.filePath(QStringLiteral("ordat.mdb")), o);
        return m_db.get();
    }

    // Adds a person (firm: surname is the firm name, firstName unused) and returns its ID.
    qint64 add(bool firm, const Entry& e) {
        const qint64 id = ++m_lastId;
        const QString district = e.district.isEmpty() ? QStringLiteral("1") : e.district;
        // The looked-up columns in the order of the table's columns.
        const QList<std::pair<const char*, QString>> looked =
            firm ? QList<std::pair<const char*, QString>>{{"Firma", e.surname},     {"Poznamka", e.note},
                                                          {"Ulice", e.street},      {"CP", e.houseNumber},
                                                          {"Obec", e.municipality}, {"Cast", e.part},
                                                          {"PSC", e.postalCode},    {"URL", QString()},
                                                          {"UTO", district}}
                 : QList<std::pair<const char*, QString>>{{"Titul", e.title},      {"Jmeno", e.firstName},
                                                          {"Prijmeni", e.surname}, {"Ulice", e.street},
                                                          {"CP", e.houseNumber},   {"Obec", e.municipality},
                                                          {"Cast", e.part},        {"PSC", e.postalCode},
                                                          {"Poznamka", e.note},    {"UTO", district}};
        QStringList values{QString::number(id)};
        for (const auto& [table, value] : looked)
            values << QString::number(lookup(QLatin1String(table), value));
        values << (e.euroIsdn ? QString::number(e.euroIsdn) : QStringLiteral("Null")) << e.number.left(4)
               << u'"' + scrambled(e.number, id).mid(4) + u'"';
        exec(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                 .arg(firm ? QStringLiteral("Firmy") : QStringLiteral("Osoby"),
                      values.join(QStringLiteral(", "))));
        return id;
    }

    // An additional number of the subscriber.
    void addExtra(bool firm, qint64 euroIsdn, const QString& number, const QString& note = {}) {
        const qint64 id = ++m_lastExtraId;
        exec(QStringLiteral("INSERT INTO %1 VALUES (%2, %3, %4, \"%5\", \"%6\")")
                 .arg(firm ? QStringLiteral("Firmy_TEL_Navic") : QStringLiteral("Osoby_TEL_Navic"))
                 .arg(id)
                 .arg(euroIsdn)
                 .arg(number.left(4), scrambled(number, id).mid(4), note));
    }

  private:
    static QStringList lookups() {
        return {"Titul", "Jmeno", "Prijmeni", "Firma",    "Ulice", "CP",
                "Obec",  "Cast",  "PSC",      "Poznamka", "URL",   "UTO"};
    }
    // Scrambling is its own inverse.
    static QString scrambled(const QString& number, qint64 id) {
        return phone::unscramble(number, QString::number(id));
    }

    qint64 lookup(const QString& table, const QString& value) {
        QHash<QString, qint64>& ids = m_lookups[table];
        if (auto it = ids.find(value); it != ids.end()) return *it;
        const qint64 id = ids.size() + 1;
        QString v = value;
        v.replace(u'"', QStringLiteral("\"\""));
        exec(QStringLiteral("INSERT INTO %1 VALUES (%2, %3)")
                 .arg(table)
                 .arg(id)
                 .arg(value.isEmpty() ? QStringLiteral("Null") : u'"' + v + u'"'));
        ids.insert(value, id);
        return id;
    }

    std::unique_ptr<db::Database> m_db;
    QHash<QString, QHash<QString, qint64>> m_lookups;
    qint64 m_lastId = 0;
    qint64 m_lastExtraId = 0;
};

} // namespace search_test
