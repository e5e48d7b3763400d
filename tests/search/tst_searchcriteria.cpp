#include "DirectoryFixture.h"
// The search fields of the persons and firms pages turned into checks and
// statement lines, and those statements run against a small directory.

#include "SearchCriteria.h"

#include "Database.h"
#include "Dataset.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace search_criteria;

Q_DECLARE_METATYPE(search_criteria::Directory)
Q_DECLARE_METATYPE(search_criteria::SearchFields)

namespace {

const QString kTop201 = QStringLiteral("SELECT TOP 201 ");

// Typed values that would end the literal, open a second statement or turn the
// condition true for every row if they reached the statement unescaped.
struct Nasty {
    QString name = QStringLiteral("Nov\"ák]; (x) \" OR \"a\" LIKE \"a");
    QString second = QStringLiteral("J\"an); DELETE * FROM Osoby; \"");
    QString street = QStringLiteral("Hlavní\" AND 1=1 ;)");
    QString houseNumber = QStringLiteral("1\"2/3]");
    QString municipality = QStringLiteral("Br\"no); --");
    QString postalCode = QStringLiteral("7\"0;)0]");
    QString region = QStringLiteral("Kraj\" OR \"x\"=\"x");
    QString note = QStringLiteral("Pozn\"ámka;");
    QString url = QStringLiteral("URL: \"x\";");
};

SearchFields nastyFields(Directory directory) {
    const Nasty n;
    SearchFields f;
    f.name = directory == Directory::Persons ? n.name : n.name + QStringLiteral(" s.r.o.");
    f.second = directory == Directory::Persons ? n.second : n.note;
    f.street = n.street;
    f.houseNumber = n.houseNumber;
    f.municipality = n.municipality;
    f.postalCode = n.postalCode;
    f.region = 1;
    f.regionText = n.region;
    return f;
}

QStringList conditionsOf(const QStringList& lines) {
    return lines.mid(3);
}

} // namespace

class TestSearchCriteria : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    db::Engine m_engine;
    std::unique_ptr<db::Database> m_db;

    void exec(const QString& sql) { m_db->execute(sql, db::Database::FailOnError); }

    void insert(const QString& table, const QVariantList& values) {
        db::Dataset ds;
        ds.setDatabase(m_db.get());
        ds.setSql(QStringLiteral("SELECT * FROM ") + table);
        ds.open();
        ds.append();
        for (int i = 0; i < values.size(); ++i)
            ds.setValue(ds.fieldName(i), values[i]);
        ds.post();
    }

    // The values of one column of every row the statement returns.
    QStringList run(const QString& sql, const QString& column = QStringLiteral("ID")) {
        db::Dataset ds;
        ds.setDatabase(m_db.get());
        ds.setSql(sql);
        ds.open();
        QStringList out;
        for (; !ds.eof(); ds.next())
            out << ds.text(column);
        return out;
    }
    QStringList run(const QStringList& lines, const QString& column = QStringLiteral("ID")) {
        return run(lines.join(u'\n'), column);
    }

  private slots:
    // A directory of two persons and two firms: row 1 carries the awkward
    // values in every lookup, row 2 plain ones that no search below asks for.
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_db = m_engine.defaultWorkspace().createDatabase(m_dir.filePath(QStringLiteral("dir.mdb")),
                                                          db::kCzechLocale);
        const QStringList lookups{"Titul", "Jmeno", "Prijmeni", "Firma",    "Ulice", "CP",
                                  "Obec",  "Cast",  "PSC",      "Poznamka", "URL",   "UTO"};
        search_test::DirectoryFixture::createSchema(*m_db);

        const Nasty n;
        const QHash<QString, QString> awkward{
            {"Titul", "Ing.\""},           {"Jmeno", n.second}, {"Prijmeni", n.name},
            {"Firma", n.name + " s.r.o."}, {"Ulice", n.street}, {"CP", n.houseNumber},
            {"Obec", n.municipality},      {"Cast", "Č\"ást"},  {"PSC", n.postalCode},
            {"Poznamka", n.note},          {"URL", n.url},      {"UTO", "1"},
        };
        for (const QString& t : lookups) {
            insert(t, {1, awkward.value(t)});
            insert(t, {2, t == QLatin1String("UTO") ? QStringLiteral("4") : QStringLiteral("obyčejná ") + t});
        }
        insert(QStringLiteral("KRAJE"), {"1", n.region});
        // District "4" belongs to another region here: only the firms' extra
        // comparison brings it into the Pardubický region.
        insert(QStringLiteral("KRAJE"), {"4", "Jihočeský"});
        for (int id : {1, 2}) {
            insert(QStringLiteral("Osoby"),
                   {id, id, id, id, id, id, id, id, id, id, id, 100 + id, 6050 + id, "1234"});
            insert(QStringLiteral("Firmy"),
                   {id, id, id, id, id, id, id, id, id, id, 200 + id, 6050 + id, "1234"});
        }
        insert(QStringLiteral("Osoby_TEL_Navic"), {7, 101, 7771, "999", "byt"});
        insert(QStringLiteral("Firmy_TEL_Navic"), {8, 201, 7771, "999", "sklad"});
    }

    void valueFilter_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("star alone") << "*"
                                    << "";
        QTest::newRow("question mark alone") << "?"
                                             << "";
        QTest::newRow("bracket alone") << "["
                                       << "";
        QTest::newRow("character class") << "Nov[aá]k"
                                         << "";
        QTest::newRow("two stars") << "**"
                                   << "**";
        QTest::newRow("star with blank") << "* "
                                         << "* ";
        QTest::newRow("prefix search") << "Nov*"
                                       << "Nov*";
        QTest::newRow("question mark in a word") << "Nov?k"
                                                 << "Nov?k";
        QTest::newRow("closing bracket") << "a]"
                                         << "a]";
        QTest::newRow("quote") << "O\"Neil"
                               << "O\"Neil";
        QTest::newRow("empty") << ""
                               << "";
    }
    void valueFilter() {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QCOMPARE(search_criteria::valueFilter(value), expected);
    }

    // One field at a time, with every wildcard switch on or off.
    void normalise_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("switchesOn");
        QTest::addColumn<QString>("expected");
        QTest::newRow("municipality gets a star") << "municipality"
                                                  << "Brno" << true << "Brno*";
        QTest::newRow("municipality switch off") << "municipality"
                                                 << "Brno" << false << "Brno";
        QTest::newRow("no second star") << "municipality"
                                        << "Brno*" << true << "Brno*";
        QTest::newRow("star inside still gets one") << "street"
                                                    << "Na *ce" << true << "Na *ce*";
        QTest::newRow("surname gets a star") << "name"
                                             << "Nov" << true << "Nov*";
        QTest::newRow("empty stays empty") << "name"
                                           << "" << true << "";
        QTest::newRow("lone star filtered before appending") << "name"
                                                             << "*" << true << "";
        QTest::newRow("lone question mark") << "street"
                                            << "?" << true << "";
        QTest::newRow("bracket clears") << "municipality"
                                        << "Br[n]o" << true << "";
        QTest::newRow("first name has no switch") << "second"
                                                  << "Jan" << true << "Jan";
        QTest::newRow("house number has no switch") << "houseNumber"
                                                    << "12" << true << "12";
        QTest::newRow("house number lone star") << "houseNumber"
                                                << "*" << false << "";
        QTest::newRow("postal code blanks") << "postalCode"
                                            << " 602 00 " << true << "60200";
        QTest::newRow("postal code keeps star") << "postalCode"
                                                << "60 *" << true << "60*";
        QTest::newRow("postal code bracket") << "postalCode"
                                             << "6[0]" << false << "";
        QTest::newRow("telephone blanks and hyphen") << "telephone"
                                                     << "605 123-456" << false << "605123456";
        QTest::newRow("telephone typed text") << "telephone"
                                              << "60\"5; 1)" << false << "6051";
        QTest::newRow("telephone lone star") << "telephone"
                                             << "*" << false << "";
        QTest::newRow("street blanks kept") << "street"
                                            << "Na Příkopě " << false << "Na Příkopě ";
    }
    void normalise() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(bool, switchesOn);
        QFETCH(QString, expected);
        const QHash<QString, QString SearchFields::*> members{
            {"name", &SearchFields::name},
            {"second", &SearchFields::second},
            {"street", &SearchFields::street},
            {"houseNumber", &SearchFields::houseNumber},
            {"municipality", &SearchFields::municipality},
            {"postalCode", &SearchFields::postalCode},
            {"telephone", &SearchFields::telephone},
        };
        SearchFields f;
        f.nameWildcard = f.streetWildcard = f.municipalityWildcard = switchesOn;
        f.*members.value(field) = value;
        search_criteria::normalise(f);
        for (auto it = members.cbegin(); it != members.cend(); ++it)
            QCOMPARE(f.*(it.value()), it.key() == field ? expected : QString());
    }

    void emptyRequest_data() {
        QTest::addColumn<SearchFields>("fields");
        QTest::addColumn<bool>("empty");
        QTest::newRow("nothing") << SearchFields{} << true;
        QTest::newRow("lone star surname") << SearchFields{.name = "*", .municipalityWildcard = true} << true;
        QTest::newRow("bracket street") << SearchFields{.street = "[a]", .streetWildcard = true} << true;
        QTest::newRow("only a region") << SearchFields{.region = 3, .regionText = "Jihomoravský"} << false;
        QTest::newRow("only telephone") << SearchFields{.telephone = "6"} << false;
        QTest::newRow("only postal code") << SearchFields{.postalCode = "602 00"} << false;
        QTest::newRow("only house number") << SearchFields{.houseNumber = "1"} << false;
        QTest::newRow("only first name") << SearchFields{.second = "Jan"} << false;
    }
    void emptyRequest() {
        QFETCH(SearchFields, fields);
        QFETCH(bool, empty);
        search_criteria::normalise(fields);
        QCOMPARE(isEmptyRequest(fields), empty);
    }

    void probes_data() {
        QTest::addColumn<Directory>("directory");
        QTest::addColumn<SearchFields>("fields");
        QTest::addColumn<QStringList>("expected"); // table, value, message
        const SearchFields all{.name = "N",
                               .second = "S",
                               .street = "U",
                               .houseNumber = "C",
                               .municipality = "O",
                               .postalCode = "P",
                               .telephone = "6051",
                               .region = 2,
                               .regionText = "Jihočeský"};
        QTest::newRow("persons order and messages")
            << Directory::Persons << all << QStringList{"Prijmeni|N|Bylo zadáno neexistující příjmení!",
                                                        "Jmeno|S|Bylo zadáno neexistující jméno!",
                                                        "Ulice|U|Byla zadána neexistující ulice!",
                                                        "CP|C|Bylo zadáno neexistující popisné číslo!",
                                                        "Obec|O|Byla zadána neexistující obec!",
                                                        "PSC|P|Bylo zadáno neexistující PSČ!"};
        QTest::newRow("firms order and messages")
            << Directory::Firms << all << QStringList{"Firma|N|Byl zadán neexistující název firmy!",
                                                      "Poznamka|S|Byla zadána neexistující poznámka!",
                                                      "Ulice|U|Byla zadána neexistující ulice!",
                                                      "CP|C|Bylo zadáno neexistující popisné číslo!",
                                                      "Obec|O|Byla zadána neexistující obec!",
                                                      "PSC|P|Bylo zadáno neexistující PSČ!"};
        QTest::newRow("empty fields are not checked")
            << Directory::Persons << SearchFields{.second = "Jan", .postalCode = "60200"}
            << QStringList{"Jmeno|Jan|Bylo zadáno neexistující jméno!",
                           "PSC|60200|Bylo zadáno neexistující PSČ!"};
        QTest::newRow("firms šternberk not checked")
            << Directory::Firms << SearchFields{.name = "A*", .municipality = "šternberk*"}
            << QStringList{"Firma|A*|Byl zadán neexistující název firmy!"};
        QTest::newRow("firms štramberk inside not checked")
            << Directory::Firms << SearchFields{.municipality = "Město štramberk"} << QStringList{};
        QTest::newRow("firms capital Šternberk checked")
            << Directory::Firms << SearchFields{.municipality = "Šternberk"}
            << QStringList{"Obec|Šternberk|Byla zadána neexistující obec!"};
        QTest::newRow("firms šTRAMBERK checked")
            << Directory::Firms << SearchFields{.municipality = "šTRAMBERK"}
            << QStringList{"Obec|šTRAMBERK|Byla zadána neexistující obec!"};
        QTest::newRow("firms štenberk checked")
            << Directory::Firms << SearchFields{.municipality = "štenberk"}
            << QStringList{"Obec|štenberk|Byla zadána neexistující obec!"};
        QTest::newRow("persons štramberk checked")
            << Directory::Persons << SearchFields{.municipality = "štramberk"}
            << QStringList{"Obec|štramberk|Byla zadána neexistující obec!"};
    }
    void probes() {
        QFETCH(Directory, directory);
        QFETCH(SearchFields, fields);
        QFETCH(QStringList, expected);
        QStringList got;
        for (const Probe& p : search_criteria::probes(directory, fields)) {
            QCOMPARE(p.column, p.table);
            got << p.table + u'|' + p.value + u'|' + p.message;
        }
        QCOMPARE(got, expected);
    }

    void probeStatement_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Nov*"
                               << "SELECT TOP 1 * FROM Prijmeni WHERE Prijmeni LIKE \"Nov*\"";
        QTest::newRow("quote") << "O\"Neil"
                               << "SELECT TOP 1 * FROM Prijmeni WHERE Prijmeni LIKE \"O\"\"Neil\"";
        QTest::newRow("quotes at both ends")
            << "\"x\""
            << "SELECT TOP 1 * FROM Prijmeni WHERE Prijmeni LIKE \"\"\"x\"\"\"";
        QTest::newRow("statement after a quote")
            << "a\"; DROP TABLE Osoby; --"
            << "SELECT TOP 1 * FROM Prijmeni WHERE Prijmeni LIKE \"a\"\"; DROP TABLE Osoby; --\"";
    }
    void probeStatement() {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QCOMPARE(
            search_criteria::probeStatement(QStringLiteral("Prijmeni"), QStringLiteral("Prijmeni"), value),
            expected);
    }

    // The head, the WHERE line and which body each search gets.
    void heads_data() {
        QTest::addColumn<Directory>("directory");
        QTest::addColumn<QString>("telephone");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("head");
        QTest::addColumn<QString>("where");
        QTest::newRow("persons limit 200") << Directory::Persons << "" << 200 << kTop201 << "WHERE";
        QTest::newRow("persons limit 0") << Directory::Persons << "" << 0 << "SELECT TOP 1 "
                                         << "WHERE";
        QTest::newRow("persons telephone") << Directory::Persons << "605" << 200 << "SELECT  "
                                           << "WHERE";
        QTest::newRow("firms limit 999") << Directory::Firms << "" << 999 << "SELECT TOP 1000 "
                                         << "WHERE ";
        QTest::newRow("firms telephone") << Directory::Firms << "6051234" << 999 << "SELECT  "
                                         << "WHERE ";
    }
    void heads() {
        QFETCH(Directory, directory);
        QFETCH(QString, telephone);
        QFETCH(int, limit);
        QFETCH(QString, head);
        QFETCH(QString, where);
        const QStringList lines = statementLines(directory, SearchFields{.telephone = telephone}, limit);
        QCOMPARE(lines.size(), telephone.isEmpty() ? 3 : 4);
        QCOMPARE(lines[0], head);
        QCOMPARE(lines[2], where);
        const QString extras = directory == Directory::Persons ? "Osoby_TEL_Navic" : "Firmy_TEL_Navic";
        QCOMPARE(lines[1].contains(extras + ".ID as nID, "), !telephone.isEmpty());
        QCOMPARE(lines[1].endsWith(u' '), directory == Directory::Persons);
    }

    void conditions_data() {
        QTest::addColumn<Directory>("directory");
        QTest::addColumn<SearchFields>("fields");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("persons only a region")
            << Directory::Persons << SearchFields{.region = 2, .regionText = "Jihočeský"}
            << QStringList{"UTO.UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE \"Jihočeský\")"};
        QTest::newRow("persons surname and house number")
            << Directory::Persons << SearchFields{.name = "Novák", .houseNumber = "12"}
            << QStringList{"Prijmeni.Prijmeni LIKE \"Novák\"", "AND CP.CP LIKE \"12\""};
        QTest::newRow("persons every field")
            << Directory::Persons
            << SearchFields{.name = "N*",
                            .second = "Jan",
                            .street = "U*",
                            .houseNumber = "1",
                            .municipality = "Brno*",
                            .postalCode = "60200",
                            .telephone = "605123456",
                            .region = 9,
                            .regionText = "Pardubický"}
            << QStringList{"Prijmeni.Prijmeni LIKE \"N*\"",
                           "AND Jmeno.Jmeno LIKE \"Jan\"",
                           "AND Ulice.Ulice LIKE \"U*\"",
                           "AND Obec.Obec LIKE \"Brno*\"",
                           "AND CP.CP LIKE \"1\"",
                           "AND PSC.PSC LIKE \"60200\"",
                           "AND UTO.UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE \"Pardubický\")",
                           "AND (Osoby.Tel_a =6051)"};
        QTest::newRow("persons short telephone alone")
            << Directory::Persons << SearchFields{.telephone = "60"} << QStringList{"(Osoby.Tel_a =60)"};
        QTest::newRow("persons štramberk is ordinary")
            << Directory::Persons << SearchFields{.municipality = "štramberk"}
            << QStringList{"Obec.Obec LIKE \"štramberk\""};
        QTest::newRow("firms every field")
            << Directory::Firms
            << SearchFields{.name = "A*",
                            .second = "Kavárna",
                            .street = "U*",
                            .houseNumber = "1",
                            .municipality = "Brno*",
                            .postalCode = "60200",
                            .telephone = "6051234",
                            .region = 14,
                            .regionText = "Zlínský"}
            << QStringList{"Poznamka.poznamka LIKE \"Kavárna\"",
                           "AND Firma.Firma LIKE \"A*\"",
                           "AND Ulice.Ulice LIKE \"U*\"",
                           "AND Obec.Obec LIKE \"Brno*\"",
                           "AND CP.CP LIKE \"1\"",
                           "AND PSC.PSC LIKE \"60200\"",
                           "AND (UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE \"Zlínský\")",
                           ")",
                           "AND (Firmy.Tel_a LIKE 6051)"};
        QTest::newRow("firms štramberk lower case")
            << Directory::Firms << SearchFields{.municipality = "štramberk"}
            << QStringList{"(Obec.Obec LIKE \"Štenberk\" OR Obec.Obec LIKE \"Štramberk\")",
                           "AND (PSC.PSC LIKE \"74266\")"};
        QTest::newRow("firms Štramberk capital")
            << Directory::Firms << SearchFields{.municipality = "Štramberk"}
            << QStringList{"Obec.Obec LIKE \"Štramberk\""};
        QTest::newRow("firms ŠTRAMBERK all capitals")
            << Directory::Firms << SearchFields{.municipality = "ŠTRAMBERK*"}
            << QStringList{"Obec.Obec LIKE \"ŠTRAMBERK*\""};
        QTest::newRow("firms šTRAMBERK folds A-Z")
            << Directory::Firms << SearchFields{.municipality = "šTRAMBERK*"}
            << QStringList{"(Obec.Obec LIKE \"Štenberk\" OR Obec.Obec LIKE \"Štramberk\")",
                           "AND (PSC.PSC LIKE \"74266\")"};
        QTest::newRow("firms šternberk after a firm name")
            << Directory::Firms << SearchFields{.name = "A*", .municipality = "šternberk*"}
            << QStringList{"Firma.Firma LIKE \"A*\"",
                           "AND (Obec.Obec LIKE \"Štenberk\" OR Obec.Obec LIKE \"Šternberk\")",
                           "AND (PSC.PSC LIKE \"78501\")"};
        QTest::newRow("firms štenberk ordinary name, postal code")
            << Directory::Firms << SearchFields{.municipality = "štenberk"}
            << QStringList{"Obec.Obec LIKE \"štenberk\"", "AND (PSC.PSC LIKE \"78501\")"};
        QTest::newRow("firms štramberk with postal code given")
            << Directory::Firms << SearchFields{.municipality = "štramberk", .postalCode = "7*"}
            << QStringList{"(Obec.Obec LIKE \"Štenberk\" OR Obec.Obec LIKE \"Štramberk\")",
                           "AND PSC.PSC LIKE \"7*\""};
        QTest::newRow("firms house number between municipality and special postal code")
            << Directory::Firms << SearchFields{.houseNumber = "5", .municipality = "šternberk"}
            << QStringList{"(Obec.Obec LIKE \"Štenberk\" OR Obec.Obec LIKE \"Šternberk\")",
                           "AND CP.CP LIKE \"5\"", "AND (PSC.PSC LIKE \"78501\")"};
        QTest::newRow("firms Pardubický two lines")
            << Directory::Firms << SearchFields{.region = 9, .regionText = "Pardubický"}
            << QStringList{"(UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE \"Pardubický\")",
                           " OR UTO = \"4\")"};
        QTest::newRow("firms pardubický is not Pardubický")
            << Directory::Firms << SearchFields{.region = 9, .regionText = "pardubický"}
            << QStringList{"(UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE \"pardubický\")", ")"};
        QTest::newRow("firms region then telephone")
            << Directory::Firms << SearchFields{.telephone = "777", .region = 9, .regionText = "Pardubický"}
            << QStringList{"(UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE \"Pardubický\")",
                           " OR UTO = \"4\")", "AND (Firmy.Tel_a LIKE 777)"};
        QTest::newRow("telephone with typed text keeps digits")
            << Directory::Persons << SearchFields{.telephone = "6\"0);5x1"}
            << QStringList{"(Osoby.Tel_a =6051)"};
    }
    void conditions() {
        QFETCH(Directory, directory);
        QFETCH(SearchFields, fields);
        QFETCH(QStringList, expected);
        QCOMPARE(conditionsOf(statementLines(directory, fields, 200)), expected);
    }

    // Every value between double quotes has its quotes doubled.
    void escaping_data() {
        QTest::addColumn<Directory>("directory");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("persons")
            << Directory::Persons
            << QStringList{
                   "Prijmeni.Prijmeni LIKE \"Nov\"\"ák]; (x) \"\" OR \"\"a\"\" LIKE \"\"a\"",
                   "AND Jmeno.Jmeno LIKE \"J\"\"an); DELETE * FROM Osoby; \"\"\"",
                   "AND Ulice.Ulice LIKE \"Hlavní\"\" AND 1=1 ;)\"",
                   "AND Obec.Obec LIKE \"Br\"\"no); --\"",
                   "AND CP.CP LIKE \"1\"\"2/3]\"",
                   "AND PSC.PSC LIKE \"7\"\"0;)0]\"",
                   "AND UTO.UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE \"Kraj\"\" OR \"\"x\"\"=\"\"x\")"};
        QTest::newRow("firms")
            << Directory::Firms
            << QStringList{
                   "Poznamka.poznamka LIKE \"Pozn\"\"ámka;\"",
                   "AND Firma.Firma LIKE \"Nov\"\"ák]; (x) \"\" OR \"\"a\"\" LIKE \"\"a s.r.o.\"",
                   "AND Ulice.Ulice LIKE \"Hlavní\"\" AND 1=1 ;)\"",
                   "AND Obec.Obec LIKE \"Br\"\"no); --\"",
                   "AND CP.CP LIKE \"1\"\"2/3]\"",
                   "AND PSC.PSC LIKE \"7\"\"0;)0]\"",
                   "AND (UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE \"Kraj\"\" OR \"\"x\"\"=\"\"x\")",
                   ")"};
    }
    void escaping() {
        QFETCH(Directory, directory);
        QFETCH(QStringList, expected);
        QCOMPARE(conditionsOf(statementLines(directory, nastyFields(directory), 200)), expected);
    }

    void countStatement_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("limit removed")
            << QStringList{kTop201, "body", "WHERE", "A"} << 200 << "SELECT \nbody\nWHERE\nA";
        QTest::newRow("letter case ignored") << QStringList{"select top 201 x"} << 200 << "select x";
        QTest::newRow("other limit kept") << QStringList{kTop201, "b"} << 100 << "SELECT TOP 201 \nb";
        QTest::newRow("longer number kept") << QStringList{"SELECT TOP 2010 x"} << 200 << "SELECT TOP 2010 x";
        QTest::newRow("only the first line") << QStringList{kTop201, "WHERE x IN (SELECT TOP 201 y)"} << 200
                                             << "SELECT \nWHERE x IN (SELECT TOP 201 y)";
        QTest::newRow("every occurrence in the first line") << QStringList{"TOP 6 TOP 6 z"} << 5 << "z";
        QTest::newRow("telephone head unchanged") << QStringList{"SELECT  ", "b"} << 200 << "SELECT  \nb";
    }
    void countStatement() {
        QFETCH(QStringList, lines);
        QFETCH(int, limit);
        QFETCH(QString, expected);
        QCOMPARE(search_criteria::countStatement(lines, limit), expected);
    }

    void extraNumbers_data() {
        QTest::addColumn<Directory>("directory");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("expected");
        // Head, body and WHERE line stay: the row keeps showing its main number.
        const QString head = "SELECT  ";
        const QString body =
            "Osoby.ID as ID, Osoby.Tel_a, Osoby.TelExt_a, Osoby_TEL_Navic.Tel_a as nTel_a FROM x ";
        QTest::newRow("persons condition, select list kept")
            << Directory::Persons
            << QStringList{head, body, "WHERE", "Prijmeni.Prijmeni LIKE \"Osoby.Tel_a\"",
                           "AND (Osoby.Tel_a =6051)"}
            << QStringList{head, body, "WHERE", "Prijmeni.Prijmeni LIKE \"Osoby_TEL_Navic.Tel_a\"",
                           "AND (Osoby_TEL_Navic.Tel_a =6051)"};
        QTest::newRow("persons letter case, twice")
            << Directory::Persons
            << QStringList{head, body, "WHERE", "(OSOBY.TEL_A =6051) OR osoby.tel_a, Firmy.Tel_a"}
            << QStringList{head, body, "WHERE",
                           "(Osoby_TEL_Navic.Tel_a =6051) OR Osoby_TEL_Navic.Tel_a, Firmy.Tel_a"};
        QTest::newRow("firms condition")
            << Directory::Firms
            << QStringList{head, "Firmy.Tel_a", "WHERE ", "(Firmy.Tel_a LIKE 6051)", "Osoby.Tel_a"}
            << QStringList{head, "Firmy.Tel_a", "WHERE ", "(Firmy_TEL_Navic.Tel_a LIKE 6051)", "Osoby.Tel_a"};
        QTest::newRow("already rewritten stays")
            << Directory::Firms << QStringList{head, body, "WHERE ", "Firmy_TEL_Navic.Tel_a LIKE 6051"}
            << QStringList{head, body, "WHERE ", "Firmy_TEL_Navic.Tel_a LIKE 6051"};
    }
    void extraNumbers() {
        QFETCH(Directory, directory);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, expected);
        QCOMPARE(extraNumbersLines(directory, lines), expected);
    }

    // Built statements run on the engine as one statement each and find
    // exactly the row whose values were typed, however awkward they are.
    void statementsRun_data() {
        QTest::addColumn<Directory>("directory");
        QTest::newRow("persons") << Directory::Persons;
        QTest::newRow("firms") << Directory::Firms;
    }
    void statementsRun() {
        QFETCH(Directory, directory);
        SearchFields f = nastyFields(directory);
        f.municipalityWildcard = true;
        search_criteria::normalise(f);

        for (const Probe& p : search_criteria::probes(directory, f))
            QVERIFY2(run(search_criteria::probeStatement(p), p.column).size() == 1,
                     qPrintable(search_criteria::probeStatement(p)));

        const QStringList lines = statementLines(directory, f, 200);
        for (const QString& sql : {lines.join(u'\n'), search_criteria::countStatement(lines, 200)}) {
            QCOMPARE(m_db->translate(sql).statements.size(), 1);
            QCOMPARE(run(sql), QStringList{"1"});
        }
        const QStringList columns = m_db->translate(lines.join(u'\n')).columnNames;
        QCOMPARE(columns.first(), QStringLiteral("ID"));
        QVERIFY(columns.contains(QStringLiteral("TelExt_a"), Qt::CaseInsensitive));

        // A telephone search over the main numbers, then over the additional ones.
        f.telephone = QStringLiteral("6051999");
        const QStringList phoneLines = statementLines(directory, f, 200);
        QCOMPARE(run(phoneLines), QStringList{"1"});
        QCOMPARE(run(phoneLines, QStringLiteral("nTel_a")), QStringList{"7771"});
        QVERIFY(run(extraNumbersLines(directory, phoneLines)).isEmpty());
        f.telephone = QStringLiteral("7771999");
        const QStringList extraLines = extraNumbersLines(directory, statementLines(directory, f, 200));
        QCOMPARE(run(extraLines, QStringLiteral("nID")),
                 QStringList{directory == Directory::Persons ? "7" : "8"});
    }

    // Text that would make the condition true for every row finds nothing.
    void injectionFindsNothing_data() {
        QTest::addColumn<Directory>("directory");
        QTest::newRow("persons") << Directory::Persons;
        QTest::newRow("firms") << Directory::Firms;
    }
    void injectionFindsNothing() {
        QFETCH(Directory, directory);
        const QString typed = QStringLiteral("zz\" OR \"a\" LIKE \"a");
        for (QString SearchFields::*member :
             {&SearchFields::name, &SearchFields::second, &SearchFields::street, &SearchFields::houseNumber,
              &SearchFields::municipality, &SearchFields::postalCode}) {
            SearchFields f;
            f.*member = typed;
            const QList<Probe> checks = search_criteria::probes(directory, f);
            QCOMPARE(checks.size(), 1);
            QVERIFY(run(search_criteria::probeStatement(checks.first()), checks.first().column).isEmpty());
            QVERIFY(run(statementLines(directory, f, 200)).isEmpty());
        }
        SearchFields region{.region = 1, .regionText = QStringLiteral("zz\" OR \"a\" LIKE \"a")};
        QVERIFY(run(statementLines(directory, region, 200)).isEmpty());
    }

    // The Pardubický region also takes district "4", where firm 2 is.
    void pardubickyTakesDistrictFour() {
        const SearchFields f{.region = 9, .regionText = QStringLiteral("Pardubický")};
        QCOMPARE(run(statementLines(Directory::Firms, f, 200)), QStringList{"2"});
        QVERIFY(run(statementLines(Directory::Persons, f, 200)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSearchCriteria)
#include "tst_searchcriteria.moc"
