// Reading import files into rows and cells, the mapping of their columns and
// the saved schemas of mappings.

#include "CodePage.h"
#include "ImportFile.h"
#include "ImportMapping.h"
#include "ImportSchemas.h"
#include "SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace io;

namespace {

using Rows = QList<QStringList>;

// The non-empty head of each row, so that expectations need not list the padding.
Rows trimmed(const Rows& rows) {
    Rows out;
    for (QStringList row : rows) {
        while (!row.isEmpty() && row.last().isEmpty())
            row.removeLast();
        out << row;
    }
    return out;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class TestImportFile : public QObject {
    Q_OBJECT

  private slots:
    void split_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<Rows>("rows");
        const QChar semi = u';', comma = u',', tab = u'\t';
        QTest::newRow("quoted separator kept, quotes dropped")
            << u"Novák;\"Brno; Líšeň\";777123456\r\n"_s << semi
            << Rows{{u"Novák"_s, u"Brno; Líšeň"_s, u"777123456"_s}};
        QTest::newRow("CR LF lines") << u"a;b\r\nc;d\r\n"_s << semi
                                     << Rows{{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}};
        QTest::newRow("LF only lines are lines")
            << u"a;b\nc;d\n"_s << semi << Rows{{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}};
        QTest::newRow("with a CR, a lone LF ends a line too")
            << u"a;b\nc\r\nd\r\n"_s << semi << Rows{{u"a"_s, u"b"_s}, {u"c"_s}, {u"d"_s}};
        QTest::newRow("CR alone ends a line") << u"a\rb\r"_s << semi << Rows{{u"a"_s}, {u"b"_s}};
        QTest::newRow("last line without an end")
            << u"a;b\r\nc;d"_s << semi << Rows{{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}};
        QTest::newRow("empty lines are no rows")
            << u"a\r\n\r\nb\r\n\r\n"_s << semi << Rows{{u"a"_s}, {u"b"_s}};
        QTest::newRow("other separators are text")
            << u"a,b;c\td\r\n"_s << semi << Rows{{u"a,b"_s, u"c\td"_s}};
        QTest::newRow("comma") << u"a,\"b,c\",d\r\n"_s << comma << Rows{{u"a"_s, u"b,c"_s, u"d"_s}};
        QTest::newRow("tab") << u"a\tb;c\r\n"_s << tab << Rows{{u"a"_s, u"b;c"_s}};
        QTest::newRow("a quote never closed is text")
            << u"\"a;b\r\nc;d\r\n"_s << semi << Rows{{u"\"a"_s, u"b"_s}, {u"c"_s, u"d"_s}};
        QTest::newRow("doubled quote is one quote")
            << u"\"a\"\"b\";c\r\n"_s << semi << Rows{{u"a\"b"_s, u"c"_s}};
        QTest::newRow("our own export") << u"\"Pekárna \"\"U Kočky\"\"; s.r.o.\";\"777\"\r\n"_s << semi
                                        << Rows{{u"Pekárna \"U Kočky\"; s.r.o."_s, u"777"_s}};
        QTest::newRow("quote inside an unquoted cell kept")
            << u"Pekárna \"U Kočky\";x\r\n"_s << semi << Rows{{u"Pekárna \"U Kočky\""_s, u"x"_s}};
        QTest::newRow("text after the closing quote") << u"\"a\"b;c\r\n"_s << semi << Rows{{u"ab"_s, u"c"_s}};
        QTest::newRow("empty quoted cell") << u"\"\";x\r\n"_s << semi << Rows{{QString(), u"x"_s}};
        QTest::newRow("CR LF inside quotes, CR LF file")
            << u"a;\"řádek 1\r\nřádek 2\";b\r\nc;d\r\n"_s << semi
            << Rows{{u"a"_s, u"řádek 1\nřádek 2"_s, u"b"_s}, {u"c"_s, u"d"_s}};
        QTest::newRow("LF inside quotes, LF file")
            << u"a;\"x\n\ny\";b\nc;d\n"_s << semi << Rows{{u"a"_s, u"x\n\ny"_s, u"b"_s}, {u"c"_s, u"d"_s}};
        QTest::newRow("separator and quote inside quotes over lines")
            << u"\"1;\r\n\"\"2\"\"\"\r\n"_s << semi << Rows{{u"1;\n\"2\""_s}};
        QTest::newRow("empty cells kept") << u";;x\r\n"_s << semi << Rows{{QString(), QString(), u"x"_s}};
        QTest::newRow("nothing") << QString() << semi << Rows{};
    }
    // Without column names every line is a data row.
    void split() {
        QFETCH(QString, text);
        QFETCH(QChar, separator);
        QFETCH(Rows, rows);
        const ImportTable table = splitText(text, separator, false);
        QCOMPARE(trimmed(table.rows()), rows);
        for (const QStringList& row : table.rows())
            QCOMPARE(row.size(), table.columnCount());
    }

    void names_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("firstLineNames");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("dataRows");
        QTest::newRow("three columns, no names")
            << u"a;b;c\r\nd;e;f\r\n"_s << false
            << QStringList{u"Pole0"_s, u"Pole1"_s, u"Pole2"_s, u"Pole3"_s, u"Pole4"_s, u"Pole5"_s} << 2;
        QTest::newRow("seven columns, no names")
            << u"1;2;3;4;5;6;7\r\n"_s << false
            << QStringList{u"Pole0"_s, u"Pole1"_s, u"Pole2"_s, u"Pole3"_s, u"Pole4"_s, u"Pole5"_s, u"Pole6"_s}
            << 1;
        QTest::newRow("names padded to six")
            << u"Jméno;Tel\r\nJan;1\r\n"_s << true
            << QStringList{u"Jméno"_s, u"Tel"_s, QString(), QString(), QString(), QString()} << 1;
        QTest::newRow("a wider data line adds unnamed columns")
            << u"A;B\r\n1;2;3;4;5;6;7;8\r\n"_s << true
            << QStringList{u"A"_s, u"B"_s, QString(), QString(), QString(), QString(), QString(), QString()}
            << 1;
        QTest::newRow("only names") << u"A;B"_s << true
                                    << QStringList{u"A"_s, u"B"_s, QString(), QString(), QString(), QString()}
                                    << 0;
    }
    void names() {
        QFETCH(QString, text);
        QFETCH(bool, firstLineNames);
        QFETCH(QStringList, names);
        QFETCH(int, dataRows);
        const ImportTable table = splitText(text, u';', firstLineNames);
        QCOMPARE(table.names(), names);
        QCOMPARE(table.rows().size(), dataRows);
    }

    // Every encoding as the file reader applies it, the first cell included.
    void encodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("firstCell");
        const QString name = u"Řehoř"_s;
        const QByteArray mark("\xEF\xBB\xBF");
        using Encoding = code_page::TextEncoding;
        QTest::newRow("UTF-8") << (name + u";Plzeň\r\n"_s).toUtf8() << int(Encoding::Utf8) << name;
        QTest::newRow("UTF-8 with the mark")
            << mark + (name + u";x\r\n"_s).toUtf8() << int(Encoding::Utf8) << name;
        QTest::newRow("mark on ASCII") << mark + QByteArray("abc;x\r\n") << int(Encoding::Utf8) << u"abc"_s;
        QTest::newRow("Windows-1250")
            << code_page::toWindows1250(name + u";Plzeň\r\n"_s) << int(Encoding::Windows1250) << name;
        QTest::newRow("ASCII") << QByteArray("Novak;1\r\n") << int(Encoding::Windows1250) << u"Novak"_s;
        // "Unicode text" as spreadsheets save it.
        QTest::newRow("UTF-16 LE with the mark")
            << "\xFF\xFE" + code_page::encode(name + u";Plzeň\r\n"_s, Encoding::Utf16LE)
            << int(Encoding::Utf16LE) << name;
        QTest::newRow("UTF-16 BE with the mark")
            << "\xFE\xFF" + code_page::encode(name + u";Plzeň\r\n"_s, Encoding::Utf16BE)
            << int(Encoding::Utf16BE) << name;
    }
    void encodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(QString, firstCell);
        QTemporaryDir dir;
        const ReadResult read =
            readImportFile(writeFile(dir, u"a.csv"_s, bytes), Separator::Semicolon, false);
        QVERIFY(read.table);
        QCOMPARE(int(read.encoding), encoding);
        QCOMPARE(read.table->cell(0, 0), firstCell);
    }

    void notText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL byte") << QByteArray("a;b\0c\r\n", 7);
        QTest::newRow("PNG image") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
        QTest::newRow("UTF-16 without a mark") << QByteArray("a\0;\0b\0", 6);
    }
    void notText() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = writeFile(dir, u"b.csv"_s, bytes);
        const ReadResult read = readImportFile(path, Separator::Semicolon, true);
        QVERIFY(!read.table);
        QCOMPARE(read.error, notTextMessage(path));
    }

    // Adding fills an empty current row, else appends; removing the last row leaves an empty one.
    void mappingEdits() {
        ImportMapping m;
        QCOMPARE(m.size(), 1);
        QVERIFY(!m.isReady());
        QCOMPARE(m.add(0, {u"Tel"_s, 1, 12}), 0);
        QVERIFY(m.isReady());
        QCOMPARE(m.add(0, {u"Jméno"_s, 0, 1}), 1);
        QVERIFY(m.overwrite(1, {u"Jméno"_s, 0, 2}));
        QCOMPARE(m.row(1).target, 2);
        QVERIFY(!m.overwrite(5, {}));
        QVERIFY(m.remove(0));
        QCOMPARE(m.row(0).source, u"Jméno"_s);
        QVERIFY(m.remove(0));
        QCOMPARE(m.size(), 1);
        QVERIFY(m.row(0).isEmpty());
        QVERIFY(!m.remove(3));
    }

    // Each row keeps its own target, also when two rows take the same column;
    // names match without regard to case, and a column the preview lacks is named.
    void assignments() {
        ImportMapping m;
        m.add(0, {u"TEL"_s, 1, 12});
        m.add(0, {u"tel"_s, 1, 14});
        m.add(1, {u"Fax"_s, 4, 16});
        m.add(2, {QString(), -1, 3}); // incomplete: skipped
        QStringList missing;
        const QStringList names{u"Jméno"_s, u"Tel"_s, QString(), QString(), QString(), QString()};
        const QList<Assignment> a = m.assignments(names, &missing);
        QCOMPARE(a, (QList<Assignment>{{1, 12}, {1, 14}}));
        QCOMPARE(missing, QStringList{u"Fax"_s});
    }

    // Of two columns with one name, the one chosen stays chosen.
    void duplicateNames() {
        const QStringList names{u"Tel"_s, u"Tel"_s, QString(), QString(), QString(), QString()};
        QCOMPARE(ImportMapping::sourceColumn({u"Tel"_s, 1, 12}, names), 1);
        QCOMPARE(ImportMapping::sourceColumn({u"Tel"_s, 4, 12}, names), 0);
        QCOMPARE(ImportMapping::sourceColumn({u"Fax"_s, 0, 12}, names), -1);
    }

    // A schema goes into the store by positions and comes back in its order,
    // in memory and in the INI files the program uses.
    void schemaRoundTrip_data() {
        QTest::addColumn<bool>("ini");
        QTest::newRow("memory") << false;
        QTest::newRow("ini files") << true;
    }
    void schemaRoundTrip() {
        QFETCH(bool, ini);
        QTemporaryDir dir;
        std::unique_ptr<platform::SettingsStore> store;
        if (ini)
            store =
                platform::makeIniSettingsStore(dir.filePath(u"user.ini"_s), dir.filePath(u"machine.ini"_s));
        else
            store = std::make_unique<platform::MemorySettingsStore>();
        ImportSchemas schemas(*store);
        QCOMPARE(schemas.names(), QStringList());
        const QList<Assignment> rows{{3, 12}, {0, 2}, {7, 35}};
        QVERIFY(schemas.save(u"Adresář/Firmy"_s, rows));
        QVERIFY(schemas.save(u"Druhé"_s, {{1, 1}}));
        QCOMPARE(schemas.names(), (QStringList{u"Adresář/Firmy"_s, u"Druhé"_s}));
        QCOMPARE(schemas.load(u"Adresář/Firmy"_s), rows);
        // The data is the target's position, the name the column's.
        auto key = store->open(platform::Root::CurrentUser, ImportSchemas::keyOf(u"Druhé"_s),
                               platform::Access::Read);
        QVERIFY(key);
        QCOMPARE(key->readString(u"1"_s), u"1"_s);
        // Saving again replaces the rows.
        QVERIFY(schemas.save(u"Adresář/Firmy"_s, {{5, 6}}));
        QCOMPARE(schemas.load(u"Adresář/Firmy"_s), (QList<Assignment>{{5, 6}}));
        QVERIFY(schemas.exists(u"druhé"_s));
        QVERIFY(schemas.remove(u"Druhé"_s));
        QCOMPARE(schemas.names(), QStringList{u"Adresář/Firmy"_s});
        QCOMPARE(schemas.load(u"Druhé"_s), std::nullopt);
    }
};

QTEST_MAIN(TestImportFile)
#include "tst_importfile.moc"
