// The export's names, statements and schema.ini handling, and a run of it on a
// working table, without widgets.

#include "DecimalSeparators.h"
#include "Export.h"
#include "ImportFile.h"
#include "SchemaIniSection.h"

#include "CodePage.h"
#include "Database.h"
#include "DatabaseLogin.h"
#include "Error.h"
#include "OwnDatabases.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using io::AddressChoice;
using io::ExportFormat;
using io::ExportKind;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The three working tables in one database, as the pages' result databases hold them.
struct Results {
    QTemporaryDir dir;
    db::Engine engine;
    std::unique_ptr<db::Workspace> workspace;
    std::unique_ptr<db::Database> database;

    Results() {
        const QString workgroup = dir.filePath(QStringLiteral("ordat.mdw"));
        db::createLoginWorkgroup(workgroup);
        engine.setWorkgroupFile(workgroup);
        db::OpenOptions options;
        options.disposable = true;
        const QString path = dir.filePath(QStringLiteral("results.mdb"));
        db::createDatabaseWithTables(
            engine, path, {db::layouts::persons(), db::layouts::firmsResult(), db::layouts::personalResult()},
            options);
        const db::Login login = db::databaseLogin();
        workspace = engine.openWorkspace(login.user, login.password);
        database = workspace->openDatabase(path, options);
    }
    void exec(const QString& sql) { database->execute(sql, db::Database::FailOnError); }
    // A folder for the exported files.
    QString folder(const QString& name) {
        const QString path = dir.filePath(name) + u'/';
        QDir().mkpath(path);
        return path;
    }
};

} // namespace

Q_DECLARE_METATYPE(ExportKind)
Q_DECLARE_METATYPE(ExportFormat)
Q_DECLARE_METATYPE(AddressChoice)
Q_DECLARE_METATYPE(io::Separator)

class TestExport : public QObject {
    Q_OBJECT

  private slots:
    // The extension follows the filter selected when the save dialog closed,
    // whatever was typed; the rest of the name stays.
    void targetFile_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("target");
        QTest::newRow("no extension, txt") << "/d/export_o" << 1 << "/d/export_o.txt";
        QTest::newRow("csv typed, txt filter") << "/d/data.csv" << 1 << "/d/data.txt";
        QTest::newRow("txt typed, csv filter") << "/d/data.txt" << 2 << "/d/data.csv";
        QTest::newRow("all files, own extension") << "/d/data.dat" << 3 << "/d/data.txt";
        QTest::newRow("all files, csv typed") << "/d/data.csv" << 3 << "/d/data.txt";
        QTest::newRow("several dots") << "/d/a.b.txt" << 1 << "/d/a.b.txt";
        QTest::newRow("dot in the folder only") << "/d.x/name" << 2 << "/d.x/name.csv";
        QTest::newRow("name begins with a dot") << "/d/.hidden" << 1 << "/d/.hidden.txt";
        QTest::newRow("blank and quote in the folder") << "/d/my \"x\"/e.txt" << 1 << "/d/my \"x\"/e.txt";
    }
    void targetFile() {
        QFETCH(QString, chosen);
        QFETCH(int, filter);
        QFETCH(QString, target);
        QCOMPARE(io::targetFile(chosen, filter), target);
        QVERIFY(io::folderOf(target).endsWith(u'/'));
    }

    // Every dot becomes "#"; a name the SQL would not take bare goes in brackets.
    void tableName_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("table");
        QTest::newRow("default") << "export_o.txt"
                                 << "export_o#txt";
        QTest::newRow("several dots") << "a.b.txt"
                                      << "a#b#txt";
        QTest::newRow("Czech letters")
            << QString::fromUtf8("žluťoučký.csv") << QString::fromUtf8("žluťoučký#csv");
        QTest::newRow("blank") << "my file.txt"
                               << "[my file#txt]";
        QTest::newRow("closing bracket") << "a]b.txt"
                                         << "[a]]b#txt]";
        QTest::newRow("opening bracket") << "a[b.txt"
                                         << "[a[b#txt]";
        QTest::newRow("hyphen") << "a-b.txt"
                                << "[a-b#txt]";
        QTest::newRow("quote") << "a\"b.txt"
                               << "[a\"b#txt]";
        QTest::newRow("leading digit") << "2024.txt"
                                       << "[2024#txt]";
        QTest::newRow("leading dot") << ".x.txt"
                                     << "[#x#txt]";
    }
    void tableName() {
        QFETCH(QString, file);
        QFETCH(QString, table);
        QCOMPARE(io::tableNameFor(file), table);
    }

    // The keys in order; the width goes to every column exactly as typed.
    void schemaSection_data() {
        QTest::addColumn<ExportKind>("kind");
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("format line");
        QTest::addColumn<QString>("first column");
        QTest::newRow("persons, width 12") << ExportKind::Persons << ExportFormat::Comma << "12"
                                           << "Format=Delimited(,)"
                                           << "Col1=Prijmeni Char Width 12";
        QTest::newRow("firms, tab") << ExportKind::Firms << ExportFormat::Tab << "30"
                                    << "Format=TabDelimited"
                                    << "Col1=Firma Char Width 30";
        QTest::newRow("personal, empty width") << ExportKind::Personal << ExportFormat::FixedWidth << ""
                                               << "Format=FixedLength"
                                               << "Col1=prijmeni Char Width ";
        QTest::newRow("not a number") << ExportKind::Persons << ExportFormat::Semicolon << " x%1"
                                      << "Format=Delimited(;)"
                                      << "Col1=Prijmeni Char Width  x%1";
    }
    void schemaSection() {
        QFETCH(ExportKind, kind);
        QFETCH(ExportFormat, format);
        QFETCH(QString, width);
        const QStringList columns = io::ExportDescription::of(kind).columns;
        const QString text = io::schemaSection(QStringLiteral("e.txt"), format, width, columns);
        QVERIFY(text.endsWith(QStringLiteral("\r\n")));
        const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(0, 3), (QStringList{"[e.txt]", "ColNameHeader=True", "CharacterSet=ANSI"}));
        QTEST(lines[3], "format line");
        QTEST(lines[4], "first column");
        QCOMPARE(lines.size(), 4 + columns.size());
        for (qsizetype i = 0; i < columns.size(); ++i)
            QCOMPARE(lines[4 + i], QStringLiteral("Col") + QString::number(i + 1) + u'=' + columns[i] +
                                       QStringLiteral(" Char Width ") + width);
    }

    // While it lives the section leads the file; afterwards the file is as it
    // was, byte for byte, whether restore() ran or an error unwound it.
    void schemaIniKept_data() {
        QTest::addColumn<bool>("existed");
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<QByteArray>("encoded"); // the section as it leads the file
        const QByteArray utf8("[\xc5\xbdLU\xc5\xa4.TXT]\r\nFormat=Delimited(,)\r\n");
        const QByteArray cp1250("[\x8eLU\x8d.TXT]\r\nFormat=Delimited(,)\r\n");
        const QByteArray odd(
            "[\x9elu\x9d.txt]\nFormat=TabDelimited\n\n; \xe8\xed\x9a\r\n[other.csv]\r\nColNameHeader=False");
        QTest::newRow("none, restored") << false << QByteArray() << true << utf8;
        QTest::newRow("none, unwound") << false << QByteArray() << false << utf8;
        QTest::newRow("same section in Windows-1250, restored") << true << odd << true << cp1250;
        QTest::newRow("same section in Windows-1250, unwound") << true << odd << false << cp1250;
        QTest::newRow("byte-order mark")
            << true << QByteArray("\xEF\xBB\xBF[x.txt]\r\nFormat=FixedLength\r\n") << false << utf8;
        QTest::newRow("UTF-8 without mark") << true << QByteArray("; \xc5\xbe\r\n[x.txt]") << true << utf8;
        QTest::newRow("empty file") << true << QByteArray() << true << utf8;
    }
    void schemaIniKept() {
        QFETCH(bool, existed);
        QFETCH(QByteArray, original);
        QFETCH(bool, restored);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("schema.ini"));
        if (existed) writeBytes(path, original);
        QFETCH(QByteArray, encoded);
        const QString section = QString::fromUtf8("[ŽLUŤ.TXT]\r\nFormat=Delimited(,)\r\n");
        try {
            io::SchemaIniSection schema(dir.path(), section);
            QByteArray during = readBytes(path), rest = original;
            if (rest.startsWith("\xEF\xBB\xBF")) {
                QVERIFY(during.startsWith("\xEF\xBB\xBF"));
                during.remove(0, 3);
                rest.remove(0, 3);
            }
            QCOMPARE(during, encoded + rest);
            if (!restored) throw db::Error(QStringLiteral("failed"));
            schema.restore();
        } catch (const db::Error&) {
        }
        QCOMPARE(QFile::exists(path), existed);
        if (existed) QCOMPARE(readBytes(path), original);
    }

    // A schema.ini that cannot be written stops the export before anything is changed.
    void schemaIniNotWritable() {
        QTemporaryDir dir;
        QDir().mkdir(dir.filePath(QStringLiteral("schema.ini")));
        QVERIFY_THROWS_EXCEPTION(db::Error, io::SchemaIniSection(dir.path(), QStringLiteral("[e.txt]\r\n")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("schema.ini"))).isDir());
    }

    // The default locale writes "." while the guard lives and is back after it,
    // also when an error unwinds it.
    void decimalSeparators_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("switched");
        QTest::newRow("Czech") << "cs_CZ" << true;
        QTest::newRow("English") << "en_US" << false;
    }
    void decimalSeparators() {
        QFETCH(QString, locale);
        QFETCH(bool, switched);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        try {
            platform::DecimalSeparators separators;
            QCOMPARE(separators.switched(), switched);
            QCOMPARE(QLocale().toString(1.5), QStringLiteral("1.5"));
            throw db::Error(QStringLiteral("failed"));
        } catch (const db::Error&) {
        }
        QCOMPARE(QLocale().name(), locale);
        QLocale::setDefault(before);
    }

    // The personal statement and the file's columns, as the program has always
    // written them, for each address choice.
    void personalStatement_data() {
        QTest::addColumn<AddressChoice>("address");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("postalCode");
        QTest::newRow("home") << AddressChoice::Home << "domu_"
                              << "domu_PSC as PSC";
        QTest::newRow("work") << AddressChoice::Work << "zam_"
                              << "zam_PSC as PSC";
        QTest::newRow("other") << AddressChoice::Other << "jine_"
                               << "jine_PSC as PSC";
        QTest::newRow("record default") << AddressChoice::RecordDefault << ""
                                        << "PSC";
    }
    void personalStatement() {
        QFETCH(AddressChoice, address);
        QFETCH(QString, prefix);
        QFETCH(QString, postalCode);
        QString expected = QStringLiteral(
            "SELECT prijmeni, (jmeno_1 & \" \" & titul_1) as jmeno_titul, firma, ({p}ulice & \" \" & {p}cp) "
            "as "
            "nazev_ulice, ({p}obec & iif(isnull({p}cast),\"\",\" - \" & {p}cast)) as nazev_obce, {PSC}, "
            "Tel_1 as tel_mobil_1, Tel_2 as tel_mobil_2, Tel_3 as tel_domu_1, Tel_4 as tel_domu_2, "
            "Tel_5 as tel_firma_1, Tel_6 as tel_firma_2 INTO export_v#txt IN \"\" "
            "\"Text;DATABASE=/d/;LANGID=0x0405;CP=1250;COUNTRY=0\" FROM vlastni WHERE Zn = True");
        expected.replace(QStringLiteral("{PSC}"), postalCode).replace(QStringLiteral("{p}"), prefix);
        QCOMPARE(io::exportStatement(ExportKind::Personal, QStringLiteral("export_v#txt"),
                                     QStringLiteral("/d/"), 200, address),
                 expected);
        QCOMPARE(io::ExportDescription::of(ExportKind::Personal).columns,
                 (QStringList{"prijmeni", "jmeno_titul", "firma", "nazev_ulice", "nazev_obce", "PSC",
                              "tel_mobil_1", "tel_mobil_2", "tel_domu_1", "tel_domu_2", "tel_firma_1",
                              "tel_firma_2"}));
    }

    // Nothing marked: nothing is written, not even schema.ini.
    void nothingMarked() {
        Results results;
        results.exec(QStringLiteral("INSERT INTO Osoby (Prijmeni, Zn) VALUES (\"Novák\", False)"));
        const QString folder = results.folder(QStringLiteral("out"));
        io::ExportRequest request;
        request.target = folder + QStringLiteral("export_o.txt");
        QCOMPARE(io::runExport(*results.database, request), 0);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
    }

    // A failed statement leaves the folder as it was: no new file, the old
    // target and schema.ini as they were, the locale back.
    void failureLeavesFolder_data() {
        QTest::addColumn<bool>("oldTarget");
        QTest::addColumn<bool>("oldSchema");
        QTest::newRow("empty folder") << false << false;
        QTest::newRow("target and schema.ini exist") << true << true;
    }
    void failureLeavesFolder() {
        QFETCH(bool, oldTarget);
        QFETCH(bool, oldSchema);
        Results results;
        results.exec(QStringLiteral("INSERT INTO Osoby (Prijmeni, Zn) VALUES (\"Novák\", True)"));
        const QString folder = results.folder(QStringLiteral("out"));
        const QByteArray target("old\r\n"), schema("[export_o.txt]\r\nFormat=Delimited(;)\r\n");
        if (oldTarget) writeBytes(folder + QStringLiteral("export_o.txt"), target);
        if (oldSchema) writeBytes(folder + QStringLiteral("schema.ini"), schema);
        const QStringList before = QDir(folder).entryList(QDir::Files);
        const QLocale locale;
        QLocale::setDefault(QLocale(QStringLiteral("cs_CZ")));

        io::ExportRequest request;
        request.format = ExportFormat::FixedWidth;
        request.width = QStringLiteral("x"); // not a width: the driver refuses the layout
        request.target = folder + QStringLiteral("export_o.txt");
        QVERIFY_THROWS_EXCEPTION(db::Error, io::runExport(*results.database, request));

        QCOMPARE(QLocale().name(), QStringLiteral("cs_CZ"));
        QLocale::setDefault(locale);
        QCOMPARE(QDir(folder).entryList(QDir::Files), before);
        if (oldTarget) QCOMPARE(readBytes(folder + QStringLiteral("export_o.txt")), target);
        if (oldSchema) QCOMPARE(readBytes(folder + QStringLiteral("schema.ini")), schema);
    }

    // The driver reads "#" in a table name as a dot: such a file is refused
    // before anything is written.
    void hashInFileNameRefused() {
        Results results;
        results.exec(QStringLiteral("INSERT INTO Osoby (Prijmeni, Zn) VALUES (\"Novák\", True)"));
        const QString folder = results.folder(QStringLiteral("out"));
        io::ExportRequest request;
        request.target = folder + QStringLiteral("a#b.txt");
        try {
            io::runExport(*results.database, request);
            QFAIL("a file name with # was taken");
        } catch (const db::Error& e) {
            QVERIFY(e.message().contains(u'#'));
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
    }

    // The marked rows only, in the format chosen, whatever the extension; the
    // street and municipality columns put together; at most the search limit.
    void directoryFile_data() {
        QTest::addColumn<ExportKind>("kind");
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("persons, comma, limit 1")
            << ExportKind::Persons << ExportFormat::Comma << 1
            << QStringList{"\"Prijmeni\",\"Jmeno_titul\",\"Nazev_ulice\",\"Nazev_obce\",\"PSC\",\"Tel\"",
                           "\"Novák\",\"Jan Ing.\",\"Dlouhá 5\",\"Brno - Líše\",\"62800\",\"541 222 333\""};
        QTest::newRow("firms, tab")
            << ExportKind::Firms << ExportFormat::Tab << 200
            << QStringList{
                   "\"Firma\"\t\"Poznamka\"\t\"Nazev_ulice\"\t\"Nazev_obce\"\t\"PSC\"\t\"Tel\"",
                   "\"Alfa s.r.o.\"\t\"sklad\"\t\"Dlouhá 5\"\t\"Brno - Líše\"\t\"62800\"\t\"541 222 333\"",
                   "\"Beta a.s.\"\t\t\"Krátká 1\"\t\"Kolín\"\t\"28002\"\t\"321 000 111\""};
    }
    void directoryFile() {
        QFETCH(ExportKind, kind);
        QFETCH(ExportFormat, format);
        QFETCH(int, limit);
        QFETCH(QStringList, lines);
        Results results;
        const bool firms = kind == ExportKind::Firms;
        const QString insert =
            firms ? QStringLiteral(
                        "INSERT INTO Firmy (Firma, Poznamka, Ulice, CP, Obec, Cast, PSC, Tel, Zn) VALUES ")
                  : QStringLiteral("INSERT INTO Osoby (Prijmeni, Jmeno, Titul, Ulice, CP, Obec, Cast, PSC, "
                                   "Tel, Zn) VALUES ");
        const QString second = firms ? QStringLiteral("\"sklad\", ") : QStringLiteral("\"Jan\", \"Ing.\", ");
        results.exec(
            insert + (firms ? QStringLiteral("(\"Alfa s.r.o.\", ") : QStringLiteral("(\"Novák\", ")) +
            second +
            QStringLiteral("\"Dlouhá\", \"5\", \"Brno\", \"Líše\", \"62800\", \"541 222 333\", True)"));
        results.exec(
            insert +
            (firms ? QStringLiteral("(\"Gama\", \"x\", ") : QStringLiteral("(\"Cihla\", \"Jan\", Null, ")) +
            QStringLiteral("\"Nová\", \"9\", \"Beroun\", Null, \"26601\", \"311 000 000\", False)"));
        results.exec(insert +
                     (firms ? QStringLiteral("(\"Beta a.s.\", Null, ")
                            : QStringLiteral("(\"Bláha\", \"Petr\", Null, ")) +
                     QStringLiteral("\"Krátká\", \"1\", \"Kolín\", Null, \"28002\", \"321 000 111\", True)"));
        const QString folder = results.folder(QStringLiteral("out"));
        io::ExportRequest request;
        request.kind = kind;
        request.format = format;
        request.searchLimit = limit;
        request.target = io::targetFile(folder + QStringLiteral("vystup.csv"), 1);
        QCOMPARE(io::runExport(*results.database, request), lines.size() - 1);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"vystup.txt"});
        QCOMPARE(code_page::fromWindows1250(readBytes(request.target)),
                 lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }

    // The personal file takes the address chosen, or each record's own.
    void personalAddress_data() {
        QTest::addColumn<AddressChoice>("address");
        QTest::addColumn<QString>("street");
        QTest::newRow("home") << AddressChoice::Home << "\"Domovská 1\";\"Brno - Líšeň\";\"61100\"";
        QTest::newRow("work") << AddressChoice::Work << "\"Pracovní 2\";\"Praha\";\"11000\"";
        // Nothing but the blank between two empty values; an empty postal code is no value at all.
        QTest::newRow("other") << AddressChoice::Other << "\" \";\"\";";
        QTest::newRow("record's own")
            << AddressChoice::RecordDefault << "\"Výchozí 3\";\"Ostrava\";\"70030\"";
    }
    void personalAddress() {
        QFETCH(AddressChoice, address);
        QFETCH(QString, street);
        Results results;
        results.exec(QStringLiteral("INSERT INTO vlastni (Prijmeni, Jmeno_1, Titul_1, Firma, domu_ulice, "
                                    "domu_CP, domu_Obec, domu_Cast, "
                                    "domu_PSC, zam_ulice, zam_CP, zam_Obec, zam_PSC, Ulice, CP, Obec, PSC, "
                                    "Tel_1, Tel_2, Tel_3, Tel_4, Tel_5, "
                                    "Tel_6, Zn) VALUES (\"Malá\", \"Eva\", \"Mgr.\", \"Delta\", "
                                    "\"Domovská\", \"1\", \"Brno\", \"Líšeň\", "
                                    "\"61100\", \"Pracovní\", \"2\", \"Praha\", \"11000\", \"Výchozí\", "
                                    "\"3\", \"Ostrava\", \"70030\", "
                                    "\"1\", \"2\", \"3\", \"4\", \"5\", \"6\", True)"));
        results.exec(QStringLiteral("INSERT INTO vlastni (Prijmeni, Zn) VALUES (\"Neoznačená\", False)"));
        const QString folder = results.folder(QStringLiteral("out"));
        io::ExportRequest request;
        request.kind = ExportKind::Personal;
        request.address = address;
        request.target = folder + QStringLiteral("export_v.txt");
        QCOMPARE(io::runExport(*results.database, request), 1);
        const QStringList lines =
            code_page::fromWindows1250(readBytes(request.target)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(
            lines[0],
            QStringLiteral("\"prijmeni\";\"jmeno_titul\";\"firma\";\"nazev_ulice\";\"nazev_obce\";\"PSC\";"
                           "\"tel_mobil_1\";\"tel_mobil_2\";\"tel_domu_1\";\"tel_domu_2\";\"tel_firma_1\";"
                           "\"tel_firma_2\""));
        QCOMPARE(lines[1], QStringLiteral("\"Malá\";\"Eva Mgr.\";\"Delta\";") + street +
                               QStringLiteral(";\"1\";\"2\";\"3\";\"4\";\"5\";\"6\""));
    }

    // A folder with a blank and a quote in its name, a file name with a blank,
    // a schema.ini of the folder's own with a section of the same name, and an
    // old file of the same name: the new file is written in the format
    // chosen, schema.ini is back as it was, the old file is gone.
    void awkwardFolder() {
        Results results;
        results.exec(QStringLiteral("INSERT INTO Osoby (Prijmeni, Tel, Zn) VALUES (\"Novák\", \"1\", True)"));
        const QString folder = results.folder(QStringLiteral("můj \"export\" 1"));
        const QByteArray schema(
            "[MOJE DATA.TXT]\r\nFormat=TabDelimited\r\nColNameHeader=False\r\n\r\n[x.txt]\n");
        writeBytes(folder + QStringLiteral("schema.ini"), schema);
        writeBytes(folder + QStringLiteral("moje data.txt"), "old");
        io::ExportRequest request;
        request.format = ExportFormat::FixedWidth;
        request.width = QStringLiteral("12");
        request.target = folder + QStringLiteral("moje data.txt");
        QCOMPARE(io::runExport(*results.database, request), 1);
        QCOMPARE(readBytes(folder + QStringLiteral("schema.ini")), schema);
        QCOMPARE(QDir(folder).entryList(QDir::Files), (QStringList{"moje data.txt", "schema.ini"}));
        const QString padded = QString::fromUtf8("Novák").leftJustified(12) + QString(12 * 4, u' ') +
                               QStringLiteral("1").leftJustified(12);
        QCOMPARE(code_page::fromWindows1250(readBytes(request.target)).split(QStringLiteral("\r\n")).value(1),
                 padded);
    }

    // A schema.ini the folder holds in UTF-16 ("Unicode text") gets the
    // section in UTF-16 too, so the driver reads it, and is put back as it was.
    void unicodeSchemaIni_data() {
        QTest::addColumn<int>("encoding");
        QTest::newRow("UTF-16 LE") << int(code_page::TextEncoding::Utf16LE);
        QTest::newRow("UTF-16 BE") << int(code_page::TextEncoding::Utf16BE);
    }
    void unicodeSchemaIni() {
        QFETCH(int, encoding);
        const auto e = code_page::TextEncoding(encoding);
        Results results;
        results.exec(
            QStringLiteral("INSERT INTO Osoby (Prijmeni, Tel, Zn) VALUES (\"Žluťoučký\", \"1\", True)"));
        const QString folder = results.folder(QStringLiteral("utf16"));
        const QByteArray schema =
            code_page::byteOrderMark(e) +
            code_page::encode(QString::fromUtf8("[jiný.txt]\r\nFormat=TabDelimited\r\n"), e);
        writeBytes(folder + QStringLiteral("schema.ini"), schema);
        io::ExportRequest request;
        request.format = ExportFormat::Semicolon;
        request.target = folder + QString::fromUtf8("žluťoučký kůň.txt");
        QCOMPARE(io::runExport(*results.database, request), 1);
        QCOMPARE(readBytes(folder + QStringLiteral("schema.ini")), schema);
        QCOMPARE(code_page::fromWindows1250(readBytes(request.target)).split(QStringLiteral("\r\n")).value(1),
                 QString::fromUtf8("\"Žluťoučký\";\" \";\" \";\"\";;\"1\""));
    }

    // The import reads back what the export wrote, value for value: quotes,
    // separators and line breaks inside values included.
    void readBackOwnExport_data() {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<io::Separator>("separator");
        QTest::newRow("semicolon") << ExportFormat::Semicolon << io::Separator::Semicolon;
        QTest::newRow("comma") << ExportFormat::Comma << io::Separator::Comma;
        QTest::newRow("tab") << ExportFormat::Tab << io::Separator::Tab;
    }
    void readBackOwnExport() {
        QFETCH(ExportFormat, format);
        QFETCH(io::Separator, separator);
        Results results;
        const QStringList values{QString::fromUtf8("Pekárna \"U Kočky\"; s.r.o."),
                                 QString::fromUtf8("Alfa, \"Beta\"\tGama"),
                                 QString::fromUtf8("první řádek\ndruhý \"\" řádek"), QStringLiteral("\"")};
        results.exec(QStringLiteral("INSERT INTO vlastni (Prijmeni, Firma, Tel_1, Tel_2, Zn) VALUES (\"") +
                     QString(values[0]).replace(u'"', QStringLiteral("\"\"")) + QStringLiteral("\", \"") +
                     QString(values[1]).replace(u'"', QStringLiteral("\"\"")) + QStringLiteral("\", \"") +
                     QString(values[2]).replace(u'"', QStringLiteral("\"\"")) + QStringLiteral("\", \"") +
                     QString(values[3]).replace(u'"', QStringLiteral("\"\"")) + QStringLiteral("\", True)"));
        io::ExportRequest request;
        request.kind = ExportKind::Personal;
        request.format = format;
        request.target = results.folder(QStringLiteral("out")) + QStringLiteral("export_v.txt");
        QCOMPARE(io::runExport(*results.database, request), 1);
        const io::ReadResult read = io::readImportFile(request.target, separator, true);
        QVERIFY(read.table);
        QCOMPARE(read.table->rows().size(), 1);
        QCOMPARE(read.table->names().mid(0, 3), (QStringList{"prijmeni", "jmeno_titul", "firma"}));
        QCOMPARE(read.table->cell(0, 0), values[0]);
        QCOMPARE(read.table->cell(0, 2), values[1]);
        QCOMPARE(read.table->cell(0, 6), values[2]);
        QCOMPARE(read.table->cell(0, 7), values[3]);
    }

    // The values of the marked rows that lose characters to Windows-1250.
    void valuesOutsideCodePage() {
        Results results;
        results.exec(QString::fromUtf8("INSERT INTO Osoby (Prijmeni, Jmeno, Obec, Zn) VALUES "
                                       "(\"Søren\", \"Řehoř\", \"Plzeň\", True)"));
        results.exec(
            QString::fromUtf8("INSERT INTO Osoby (Prijmeni, Obec, Zn) VALUES (\"Li\", \"北京\", True)"));
        results.exec(
            QString::fromUtf8("INSERT INTO Osoby (Prijmeni, Obec, Zn) VALUES (\"Ø\", \"Ø\", False)"));
        io::ExportRequest request;
        request.target = results.folder(QStringLiteral("out")) + QStringLiteral("export_o.txt");
        QCOMPARE(io::runExport(*results.database, request), 2);
        QCOMPARE(io::valuesOutsideCodePage(*results.database, request), 2);
        QVERIFY(code_page::fromWindows1250(readBytes(request.target)).contains(QStringLiteral("\"S?ren\"")));
        QCOMPARE(
            io::lostCharactersMessage(2),
            QString::fromUtf8("Znaky, které kódování Windows-1250 nezná, jsou v souboru zapsány jako \"?\". "
                              "Počet hodnot, kterých se to týká: 2."));
    }

    void messages() {
        QCOMPARE(io::noMarksMessage(), QString::fromUtf8("Není označen žádný záznam pro export."));
        QCOMPARE(io::resultMessage(QStringLiteral("/d/%1 e.txt"), 3),
                 QString::fromUtf8("Do souboru \"/d/%1 e.txt\" bylo exportováno 3 záznamů."));
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
