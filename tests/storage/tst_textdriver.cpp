#include "CodePage.h"
#include "StorageFixture.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

using storage_test::count;

namespace {

const QStringList kTable = {
    QStringLiteral("CREATE TABLE T (ID LONG, Prijmeni TEXT(30), Jmeno TEXT(30), PSC TEXT(6), Vaha DOUBLE)"),
    QStringLiteral("INSERT INTO T VALUES (1, 'Dvořák', 'Jan \"Honza\"', '11000', 72.5)"),
    QStringLiteral("INSERT INTO T VALUES (2, 'Novák', Null, '60200', Null)"),
    QStringLiteral("INSERT INTO T VALUES (3, 'Li 中', 'Eva', Null, 60)"),
};

const QString kConnect = QStringLiteral("Text;DATABASE=%F/;LANGID=0x0405;CP=1250;COUNTRY=0");

// The statement with its folder filled in; a quote inside the connect string is doubled.
QString exportStatement(const QString& select, const QString& table, const QString& connect,
                        const QString& folder, const QString& rest = {}) {
    QString c = QString(connect).replace(QStringLiteral("%F"), folder);
    c.replace(u'"', QStringLiteral("\"\""));
    return QStringLiteral("SELECT ") + select + QStringLiteral(" INTO ") + table +
           QStringLiteral(" IN \"\" \"") + c + QStringLiteral("\" FROM T") + rest;
}

// Other sections around the one that counts: none of their keys may apply.
QByteArray schemaWith(const QByteArray& sectionName, const QByteArray& lines) {
    QByteArray body = lines;
    body.replace("\n", "\r\n");
    return "[jiny.txt]\r\nFormat=FixedLength\r\nColNameHeader=False\r\nCharacterSet=OEM\r\n\r\n[" +
           sectionName + "]\r\n" + body +
           "\r\n\r\n[dalsi.csv]\r\nFormat=Delimited(x)\r\nCol1=A Date Width 1\r\n";
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Everything in a folder, hidden files included.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace

// Runs a statement that must succeed and compares the rows it wrote; an engine
// error fails the test with its message.
#define COMPARE_ROWS(database, sql, rows)                                                                    \
    do {                                                                                                     \
        try {                                                                                                \
            QCOMPARE((database).execute((sql), db::Database::FailOnError), (rows));                          \
        } catch (const db::Error& e_) {                                                                      \
            QFAIL(qPrintable(e_.message()));                                                                 \
        }                                                                                                    \
    } while (false)

class TestTextDriver : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void formats_data();
    void formats();
    void decimalPoint_data();
    void decimalPoint();
    void refused_data();
    void refused();
    void existingTargetUntouched();
    void folders_data();
    void folders();
    void targets_data();
    void targets();
    void schemaEncoding_data();
    void schemaEncoding();
    void unwritableFolder();
    void failureKeepsTransaction();

  private:
    // A new empty folder under the test's temporary folder.
    QString newFolder(const QString& name = {}) {
        const QString path = m_dir.filePath(QStringLiteral("f%1/%2").arg(++m_serial).arg(name));
        return QDir().mkpath(path) ? QDir(path).absolutePath() : QString();
    }

    QTemporaryDir m_dir;
    db::Engine m_engine;
    std::unique_ptr<db::Database> m_db;
    int m_serial = 0;
};

void TestTextDriver::initTestCase() {
    QVERIFY(m_dir.isValid());
    m_db = storage_test::createDatabase(m_engine, m_dir.filePath(QStringLiteral("data.mdb")), kTable);
}

void TestTextDriver::init() {
    QLocale::setDefault(QLocale::c());
}

void TestTextDriver::cleanup() {
    QLocale::setDefault(QLocale::c());
}

void TestTextDriver::formats_data() {
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("semicolon, header, every column as text")
        << QByteArray(
               "ColNameHeader=True\nCharacterSet=ANSI\nFormat=Delimited(;)\nCol1=Prijmeni Char Width 30\n"
               "Col2=Jmeno Char Width 30\nCol3=PSC Char Width 30\nCol4=ID Char Width 30")
        << QStringLiteral("Prijmeni, Jmeno, PSC, ID") << QString() << 3
        << QByteArray("\"Prijmeni\";\"Jmeno\";\"PSC\";\"ID\"\r\n"
                      "\"Dvo\xF8\xE1k\";\"Jan \"\"Honza\"\"\";\"11000\";\"1\"\r\n"
                      "\"Nov\xE1k\";;\"60200\";\"2\"\r\n"
                      "\"Li ?\";\"Eva\";;\"3\"\r\n");
    QTest::newRow("comma, no column lines: number values bare")
        << QByteArray("Format=CSVDelimited") << QStringLiteral("ID, Prijmeni, Vaha, ID / 4 AS Ctvrt")
        << QString() << 3
        << QByteArray("\"ID\",\"Prijmeni\",\"Vaha\",\"Ctvrt\"\r\n"
                      "1,\"Dvo\xF8\xE1k\",72.5,0.25\r\n"
                      "2,\"Nov\xE1k\",,0.5\r\n"
                      "3,\"Li ?\",60,0.75\r\n");
    QTest::newRow("tab, no header") << QByteArray("ColNameHeader=False\nFormat=TabDelimited")
                                    << QStringLiteral("Prijmeni, PSC") << QStringLiteral(" WHERE ID < 3") << 2
                                    << QByteArray(
                                           "\"Dvo\xF8\xE1k\"\t\"11000\"\r\n\"Nov\xE1k\"\t\"60200\"\r\n");
    QTest::newRow("text declared as a number is bare")
        << QByteArray("Format=Delimited(;)\nCol1=PSC Integer\nCol2=Jmeno Char")
        << QStringLiteral("PSC, Jmeno") << QString() << 3
        << QByteArray("\"PSC\";\"Jmeno\"\r\n11000;\"Jan \"\"Honza\"\"\"\r\n60200;\r\n;\"Eva\"\r\n");
    QTest::newRow("header from column lines, else the select's names; keys in any case")
        << QByteArray("format=delimited(|)\ncolnameheader=true\ncol2=Krestni char")
        << QStringLiteral("Prijmeni, Jmeno AS J, ID") << QStringLiteral(" WHERE ID = 3") << 1
        << QByteArray("\"Prijmeni\"|\"Krestni\"|\"ID\"\r\n\"Li ?\"|\"Eva\"|3\r\n");
    QTest::newRow("empty width ignored when delimited")
        << QByteArray("Format=Delimited(;)\nCol1=Prijmeni Char Width \nCol2=ID Long Width")
        << QStringLiteral("Prijmeni, ID") << QStringLiteral(" WHERE ID = 2") << 1
        << QByteArray("\"Prijmeni\";\"ID\"\r\n\"Nov\xE1k\";2\r\n");
    QTest::newRow("fixed length pads and cuts, header too")
        << QByteArray(
               "ColNameHeader=True\nFormat=FixedLength\nCol1=Prijmeni Char Width 5\nCol2=Jmeno Char Width 4\n"
               "Col3=PSC Char Width 6\nCol4=ID Long Width 2")
        << QStringLiteral("Prijmeni, Jmeno, PSC, ID") << QString() << 3
        << QByteArray("PrijmJmenPSC   ID\r\n"
                      "Dvo\xF8\xE1"
                      "Jan 11000 1 \r\n"
                      "Nov\xE1k    60200 2 \r\n"
                      "Li ? Eva       3 \r\n");
    QTest::newRow("fixed length counts characters, composed")
        << QByteArray("ColNameHeader=False\nFormat=FixedLength\nCol1=P Char Width 4\nCol2=Q Char Width 3")
        << QStringLiteral("\"\U0001F600r\u030C\u00EDpx\" AS P, \"r\u030C\" AS Q")
        << QStringLiteral(" WHERE ID = 1") << 1 << QByteArray("?\xF8\xEDp\xF8  \r\n");
    QTest::newRow("fixed length keeps a record on one line")
        << QByteArray("ColNameHeader=False\nFormat=FixedLength\nCol1=P Char Width 6")
        << QStringLiteral("\"a\r\nb\nc\" AS P") << QStringLiteral(" WHERE ID = 1") << 1
        << QByteArray("a  b c\r\n");
    QTest::newRow("UTF-8") << QByteArray("CharacterSet=UTF-8\nFormat=Delimited(;)\nColNameHeader=False")
                           << QStringLiteral("Prijmeni") << QString() << 3
                           << QStringLiteral("\"Dvořák\"\r\n\"Novák\"\r\n\"Li 中\"\r\n").toUtf8();
    QTest::newRow("TOP and WHERE") << QByteArray("ColNameHeader=False") << QStringLiteral("TOP 1 Prijmeni")
                                   << QStringLiteral(" WHERE ID > 1 ORDER BY ID") << 1
                                   << QByteArray("\"Nov\xE1k\"\r\n");
    QTest::newRow("no rows: the header alone")
        << QByteArray("Format=Delimited(;)") << QStringLiteral("ID, Prijmeni")
        << QStringLiteral(" WHERE ID > 9") << 0 << QByteArray("\"ID\";\"Prijmeni\"\r\n");
}

void TestTextDriver::formats() {
    QFETCH(QByteArray, section);
    QFETCH(QString, select);
    QFETCH(QString, rest);
    QFETCH(int, rows);
    QFETCH(QByteArray, expected);
    const QString folder = newFolder();
    const QByteArray schema = schemaWith("Export.TXT", section);
    QVERIFY(writeAll(folder + QStringLiteral("/schema.ini"), schema));

    const QString sql = exportStatement(select, QStringLiteral("export#txt"), kConnect, folder, rest);
    COMPARE_ROWS(*m_db, sql, rows);
    QCOMPARE(readAll(folder + QStringLiteral("/export.txt")), expected);
    QCOMPARE(entries(folder), (QStringList{QStringLiteral("export.txt"), QStringLiteral("schema.ini")}));
    QCOMPARE(readAll(folder + QStringLiteral("/schema.ini")), schema);
}

void TestTextDriver::decimalPoint_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QByteArray>("expected");
    const QLocale czech(QLocale::Czech, QLocale::Czechia);
    QTest::newRow("comma") << czech << QByteArray("Delimited(;)") << QStringLiteral("Vaha")
                           << QByteArray("72,5\r\n");
    QTest::newRow("comma quoted in a comma-delimited file")
        << czech << QByteArray("CSVDelimited") << QStringLiteral("Vaha") << QByteArray("\"72,5\"\r\n");
    QTest::newRow("no grouping of thousands")
        << QLocale(QLocale::English, QLocale::UnitedStates) << QByteArray("TabDelimited")
        << QStringLiteral("Vaha * 1000") << QByteArray("72500\r\n");
}

// Decimals follow the program's default locale, which the export sets to ".".
void TestTextDriver::decimalPoint() {
    QFETCH(QLocale, locale);
    QFETCH(QByteArray, format);
    QFETCH(QString, select);
    QFETCH(QByteArray, expected);
    const QString folder = newFolder();
    QVERIFY(writeAll(folder + QStringLiteral("/schema.ini"),
                     schemaWith("v.txt", "ColNameHeader=False\nFormat=" + format)));
    QLocale::setDefault(locale);
    COMPARE_ROWS(
        *m_db,
        exportStatement(select, QStringLiteral("v#txt"), kConnect, folder, QStringLiteral(" WHERE ID = 1")),
        1);
    QCOMPARE(readAll(folder + QStringLiteral("/v.txt")), expected);
}

void TestTextDriver::refused_data() {
    QTest::addColumn<QByteArray>("schema"); // null: no schema.ini
    QTest::addColumn<QString>("statement"); // %F: the folder
    QTest::addColumn<QString>("fragment");

    const QByteArray fixed = "Format=FixedLength\nCol1=Prijmeni Char Width 5\n";
    const QString two = exportStatement(QStringLiteral("Prijmeni, Jmeno"), QStringLiteral("export#txt"),
                                        kConnect, QStringLiteral("%F"));
    QTest::newRow("no schema.ini") << QByteArray() << two << QStringLiteral("schema.ini");
    QTest::newRow("no section for the file")
        << QByteArray("[export.csv]\r\nFormat=TabDelimited\r\n") << two << QStringLiteral("[export.txt]");
    QTest::newRow("fixed length, no width")
        << schemaWith("export.txt", fixed + "Col2=Jmeno Char") << two << QStringLiteral("„Jmeno“");
    QTest::newRow("fixed length, empty width")
        << schemaWith("export.txt", fixed + "Col2=Jmeno Char Width ") << two << QStringLiteral("„Jmeno“");
    QTest::newRow("fixed length, width not a number")
        << schemaWith("export.txt", fixed + "Col2=Jmeno Char Width 1O") << two << QStringLiteral("„Jmeno“");
    QTest::newRow("fixed length, width past any line")
        << schemaWith("export.txt", fixed + "Col2=Jmeno Char Width 999999999") << two
        << QStringLiteral("„Jmeno“");
    QTest::newRow("fixed length, no column line")
        << schemaWith("export.txt", fixed) << two << QStringLiteral("„Jmeno“");
    QTest::newRow("delimiter of two characters")
        << schemaWith("export.txt", "Format=Delimited(;;)") << two << QStringLiteral("Delimited(;;)");
    QTest::newRow("quote as delimiter")
        << schemaWith("export.txt", "Format=Delimited(\")") << two << QStringLiteral("Delimited(\")");
    QTest::newRow("OEM character set")
        << schemaWith("export.txt", "CharacterSet=OEM") << two << QStringLiteral("„OEM“");
    QTest::newRow("unknown column type")
        << schemaWith("export.txt", "Col2=Jmeno Varchar Width 3") << two << QStringLiteral("„Varchar“");
    const QByteArray good = schemaWith("export.txt", "Format=Delimited(;)");
    QTest::newRow("a row fails midway")
        << good
        << exportStatement(QStringLiteral("ID, 10 / (ID - 2) AS X"), QStringLiteral("export#txt"), kConnect,
                           QStringLiteral("%F"), QStringLiteral(" ORDER BY ID"))
        << QStringLiteral("Dělení nulou");
    QTest::newRow("not the text driver")
        << good
        << exportStatement(QStringLiteral("ID"), QStringLiteral("export#txt"),
                           QStringLiteral("dBASE IV;DATABASE=%F"), QStringLiteral("%F"))
        << QStringLiteral("„Text;“");
    QTest::newRow("no folder") << good
                               << exportStatement(QStringLiteral("ID"), QStringLiteral("export#txt"),
                                                  QStringLiteral("Text;LANGID=0x0405;CP=1250"),
                                                  QStringLiteral("%F"))
                               << QStringLiteral("DATABASE");
    QTest::newRow("folder does not exist")
        << good
        << exportStatement(QStringLiteral("ID"), QStringLiteral("export#txt"),
                           QStringLiteral("Text;DATABASE=%F/chybi/;CP=1250"), QStringLiteral("%F"))
        << QStringLiteral("neexistuje");
    QTest::newRow("target outside the folder")
        << good
        << exportStatement(QStringLiteral("ID"), QStringLiteral("[../export#txt]"), kConnect,
                           QStringLiteral("%F"))
        << QStringLiteral("není platný název");
    const QString tooLong(300, u'x');
    QTest::newRow("file name too long to create")
        << schemaWith(tooLong.toUtf8() + ".txt", "Format=Delimited(;)")
        << exportStatement(QStringLiteral("ID"), u'[' + tooLong + QStringLiteral("#txt]"), kConnect,
                           QStringLiteral("%F"))
        << QStringLiteral("nelze zapsat");
    QTest::newRow("into another database")
        << good << QStringLiteral("SELECT ID INTO export#txt IN \"jina.mdb\" \"Text;DATABASE=%F/\" FROM T")
        << QStringLiteral("„jina.mdb“");
    QTest::newRow("into a table of this database")
        << good << QStringLiteral("SELECT ID INTO Kopie FROM T") << QStringLiteral("připojovací řetězec");
}

// A refused statement writes nothing: no file, no temporary file, schema.ini as it was.
void TestTextDriver::refused() {
    QFETCH(QByteArray, schema);
    QFETCH(QString, statement);
    QFETCH(QString, fragment);
    const QString folder = newFolder();
    if (!schema.isNull()) QVERIFY(writeAll(folder + QStringLiteral("/schema.ini"), schema));
    const QStringList before = entries(folder);

    VERIFY_DB_ERROR(
        m_db->execute(QString(statement).replace(QStringLiteral("%F"), folder), db::Database::FailOnError),
        fragment);
    QCOMPARE(entries(folder), before);
    if (!schema.isNull()) QCOMPARE(readAll(folder + QStringLiteral("/schema.ini")), schema);
    QCOMPARE(m_db->tableNames(), QStringList{QStringLiteral("T")});
}

// The engine does not replace a table that exists; the caller deletes the file first.
void TestTextDriver::existingTargetUntouched() {
    const QString folder = newFolder();
    QVERIFY(
        writeAll(folder + QStringLiteral("/schema.ini"), schemaWith("export.txt", "Format=Delimited(;)")));
    QVERIFY(writeAll(folder + QStringLiteral("/export.txt"), "stary obsah"));
    VERIFY_DB_ERROR(
        m_db->execute(exportStatement(QStringLiteral("ID"), QStringLiteral("export#txt"), kConnect, folder),
                      db::Database::FailOnError),
        QStringLiteral("již existuje"));
    QCOMPARE(readAll(folder + QStringLiteral("/export.txt")), QByteArray("stary obsah"));
    QCOMPARE(entries(folder), (QStringList{QStringLiteral("export.txt"), QStringLiteral("schema.ini")}));
}

void TestTextDriver::folders_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("connect");
    QTest::newRow("blank and quote") << QStringLiteral("můj \"datový\" adresář") << kConnect;
    QTest::newRow("no closing slash")
        << QStringLiteral("vystup") << QStringLiteral("Text;DATABASE=%F;LANGID=0x0405;CP=1250;COUNTRY=0");
    QTest::newRow("keys in any case")
        << QStringLiteral("vystup") << QStringLiteral("text;Database=%F/;cp=1250;");
    QTest::newRow("semicolon in the name") << QStringLiteral("a;b") << kConnect;
}

void TestTextDriver::folders() {
    QFETCH(QString, name);
    QFETCH(QString, connect);
    const QString folder = newFolder(name);
    QVERIFY(QFileInfo(folder).fileName() == name);
    const QByteArray schema = schemaWith("export.txt", "ColNameHeader=False");
    QVERIFY(writeAll(folder + QStringLiteral("/schema.ini"), schema));
    // A folder named as the part before a ";" must not receive the file.
    const QString before = QFileInfo(folder).path() + u'/' + name.section(u';', 0, 0);
    QVERIFY(QDir().mkpath(before));
    QVERIFY(writeAll(before + QStringLiteral("/schema.ini"), schema));

    COMPARE_ROWS(*m_db,
                 exportStatement(QStringLiteral("ID"), QStringLiteral("export#txt"), connect, folder,
                                 QStringLiteral(" WHERE ID = 2")),
                 1);
    QCOMPARE(readAll(folder + QStringLiteral("/export.txt")), QByteArray("2\r\n"));
}

void TestTextDriver::targets_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("file");
    QTest::newRow("bare") << QStringLiteral("export_o#txt") << QStringLiteral("export_o.txt");
    QTest::newRow("brackets with a blank")
        << QStringLiteral("[muj export#txt]") << QStringLiteral("muj export.txt");
    QTest::newRow("doubled closing bracket") << QStringLiteral("[a]]b#txt]") << QStringLiteral("a]b.txt");
}

void TestTextDriver::targets() {
    QFETCH(QString, table);
    QFETCH(QString, file);
    const QString folder = newFolder();
    QVERIFY(
        writeAll(folder + QStringLiteral("/schema.ini"), schemaWith(file.toUtf8(), "ColNameHeader=False")));
    const QString sql =
        exportStatement(QStringLiteral("ID"), table, kConnect, folder, QStringLiteral(" WHERE ID = 3"));
    COMPARE_ROWS(*m_db, sql, 1);
    QCOMPARE(readAll(folder + u'/' + file), QByteArray("3\r\n"));
}

void TestTextDriver::schemaEncoding_data() {
    QTest::addColumn<QByteArray>("schema");
    const QString section = QStringLiteral("[Výstup.txt]\r\nFormat=Delimited(;)\r\nCol1=Příjmení Char\r\n");
    QTest::newRow("UTF-8") << section.toUtf8();
    QTest::newRow("UTF-8 with a byte order mark") << "\xEF\xBB\xBF" + section.toUtf8();
    QTest::newRow("Windows-1250") << code_page::toWindows1250(section);
    QTest::newRow("UTF-16 LE with a byte order mark")
        << "\xFF\xFE" + code_page::encode(section, code_page::TextEncoding::Utf16LE);
    QTest::newRow("UTF-16 BE with a byte order mark")
        << "\xFE\xFF" + code_page::encode(section, code_page::TextEncoding::Utf16BE);
}

// schema.ini is read as UTF-8 when it is valid UTF-8, else as Windows-1250.
void TestTextDriver::schemaEncoding() {
    QFETCH(QByteArray, schema);
    const QString folder = newFolder();
    QVERIFY(writeAll(folder + QStringLiteral("/schema.ini"), schema));
    COMPARE_ROWS(*m_db,
                 exportStatement(QStringLiteral("Prijmeni"), QStringLiteral("[výstup#txt]"), kConnect, folder,
                                 QStringLiteral(" WHERE ID = 2")),
                 1);
    QCOMPARE(readAll(folder + QStringLiteral("/výstup.txt")),
             QByteArray("\"P\xF8\xEDjmen\xED\"\r\n\"Nov\xE1k\"\r\n"));
}

void TestTextDriver::unwritableFolder() {
    const QString folder = newFolder();
    QVERIFY(
        writeAll(folder + QStringLiteral("/schema.ini"), schemaWith("export.txt", "Format=Delimited(;)")));
    QVERIFY(QFile::setPermissions(folder,
                                  QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup));
    struct Restore {
        QString folder;
        ~Restore() { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }
    } restore{folder};
    if (writeAll(folder + QStringLiteral("/probe"), "x"))
        QSKIP("This user writes into read-only folders (root).");
    VERIFY_DB_ERROR(
        m_db->execute(exportStatement(QStringLiteral("ID"), QStringLiteral("export#txt"), kConnect, folder),
                      db::Database::FailOnError),
        QStringLiteral("nelze zapsat"));
    QCOMPARE(entries(folder), QStringList{QStringLiteral("schema.ini")});
}

// A failed export changes nothing in the database: an open transaction stays
// open with its changes, which the export reads like any statement.
void TestTextDriver::failureKeepsTransaction() {
    const QString folder = newFolder();
    QVERIFY(
        writeAll(folder + QStringLiteral("/schema.ini"), schemaWith("export.txt", "ColNameHeader=False")));
    m_db->beginTransaction();
    m_db->execute(QStringLiteral("INSERT INTO T (ID, Prijmeni) VALUES (4, 'Nový')"),
                  db::Database::FailOnError);
    VERIFY_DB_ERROR(m_db->execute(exportStatement(QStringLiteral("ID"), QStringLiteral("[export#txt]"),
                                                  QStringLiteral("Text;DATABASE=%F/chybi"), folder),
                                  db::Database::FailOnError),
                    QStringLiteral("neexistuje"));
    QCOMPARE(m_db->transactionDepth(), 1);
    COMPARE_ROWS(*m_db,
                 exportStatement(QStringLiteral("ID"), QStringLiteral("export#txt"), kConnect, folder,
                                 QStringLiteral(" WHERE ID > 2")),
                 2);
    QCOMPARE(readAll(folder + QStringLiteral("/export.txt")), QByteArray("3\r\n4\r\n"));
    m_db->rollback();
    QCOMPARE(count(*m_db, QStringLiteral("T")), 3);
}

QTEST_GUILESS_MAIN(TestTextDriver)
#include "tst_textdriver.moc"
