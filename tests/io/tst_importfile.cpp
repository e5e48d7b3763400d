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

using namespace io;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

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
            << u8("Novák;\"Brno; Líšeň\";777123456\r\n") << semi
            << Rows{{u8("Novák"), u8("Brno; Líšeň"), u8("777123456")}};
        QTest::newRow("CR LF lines") << u8("a;b\r\nc;d\r\n") << semi
                                     << Rows{{u8("a"), u8("b")}, {u8("c"), u8("d")}};
        QTest::newRow("LF only lines are lines")
            << u8("a;b\nc;d\n") << semi << Rows{{u8("a"), u8("b")}, {u8("c"), u8("d")}};
        QTest::newRow("with a CR, a lone LF ends a line too")
            << u8("a;b\nc\r\nd\r\n") << semi << Rows{{u8("a"), u8("b")}, {u8("c")}, {u8("d")}};
        QTest::newRow("CR alone ends a line") << u8("a\rb\r") << semi << Rows{{u8("a")}, {u8("b")}};
        QTest::newRow("last line without an end")
            << u8("a;b\r\nc;d") << semi << Rows{{u8("a"), u8("b")}, {u8("c"), u8("d")}};
        QTest::newRow("empty lines are no rows")
            << u8("a\r\n\r\nb\r\n\r\n") << semi << Rows{{u8("a")}, {u8("b")}};
        QTest::newRow("other separators are text")
            << u8("a,b;c\td\r\n") << semi << Rows{{u8("a,b"), u8("c\td")}};
        QTest::newRow("comma") << u8("a,\"b,c\",d\r\n") << comma << Rows{{u8("a"), u8("b,c"), u8("d")}};
        QTest::newRow("tab") << u8("a\tb;c\r\n") << tab << Rows{{u8("a"), u8("b;c")}};
        QTest::newRow("a quote never closed is text")
            << u8("\"a;b\r\nc;d\r\n") << semi << Rows{{u8("\"a"), u8("b")}, {u8("c"), u8("d")}};
        QTest::newRow("doubled quote is one quote")
            << u8("\"a\"\"b\";c\r\n") << semi << Rows{{u8("a\"b"), u8("c")}};
        QTest::newRow("our own export") << u8("\"Pekárna \"\"U Kočky\"\"; s.r.o.\";\"777\"\r\n") << semi
                                        << Rows{{u8("Pekárna \"U Kočky\"; s.r.o."), u8("777")}};
        QTest::newRow("quote inside an unquoted cell kept")
            << u8("Pekárna \"U Kočky\";x\r\n") << semi << Rows{{u8("Pekárna \"U Kočky\""), u8("x")}};
        QTest::newRow("text after the closing quote")
            << u8("\"a\"b;c\r\n") << semi << Rows{{u8("ab"), u8("c")}};
        QTest::newRow("empty quoted cell") << u8("\"\";x\r\n") << semi << Rows{{QString(), u8("x")}};
        QTest::newRow("CR LF inside quotes, CR LF file")
            << u8("a;\"řádek 1\r\nřádek 2\";b\r\nc;d\r\n") << semi
            << Rows{{u8("a"), u8("řádek 1\nřádek 2"), u8("b")}, {u8("c"), u8("d")}};
        QTest::newRow("LF inside quotes, LF file")
            << u8("a;\"x\n\ny\";b\nc;d\n") << semi
            << Rows{{u8("a"), u8("x\n\ny"), u8("b")}, {u8("c"), u8("d")}};
        QTest::newRow("separator and quote inside quotes over lines")
            << u8("\"1;\r\n\"\"2\"\"\"\r\n") << semi << Rows{{u8("1;\n\"2\"")}};
        QTest::newRow("empty cells kept") << u8(";;x\r\n") << semi << Rows{{QString(), QString(), u8("x")}};
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
            << u8("a;b;c\r\nd;e;f\r\n") << false
            << QStringList{u8("Pole0"), u8("Pole1"), u8("Pole2"), u8("Pole3"), u8("Pole4"), u8("Pole5")} << 2;
        QTest::newRow("seven columns, no names")
            << u8("1;2;3;4;5;6;7\r\n") << false
            << QStringList{u8("Pole0"), u8("Pole1"), u8("Pole2"), u8("Pole3"),
                           u8("Pole4"), u8("Pole5"), u8("Pole6")}
            << 1;
        QTest::newRow("names padded to six")
            << u8("Jméno;Tel\r\nJan;1\r\n") << true
            << QStringList{u8("Jméno"), u8("Tel"), QString(), QString(), QString(), QString()} << 1;
        QTest::newRow("a wider data line adds unnamed columns")
            << u8("A;B\r\n1;2;3;4;5;6;7;8\r\n") << true
            << QStringList{u8("A"), u8("B"), QString(), QString(), QString(), QString(), QString(), QString()}
            << 1;
        QTest::newRow("only names") << u8("A;B") << true << QStringList{u8("A"),   u8("B"),   QString(),
                                                                        QString(), QString(), QString()}
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
        const QString name = u8("Řehoř");
        const QByteArray mark("\xEF\xBB\xBF");
        using Encoding = codepage::TextEncoding;
        QTest::newRow("UTF-8") << (name + u8(";Plzeň\r\n")).toUtf8() << int(Encoding::Utf8) << name;
        QTest::newRow("UTF-8 with the mark")
            << mark + (name + u8(";x\r\n")).toUtf8() << int(Encoding::Utf8) << name;
        QTest::newRow("mark on ASCII") << mark + QByteArray("abc;x\r\n") << int(Encoding::Utf8) << u8("abc");
        QTest::newRow("Windows-1250")
            << codepage::toWindows1250(name + u8(";Plzeň\r\n")) << int(Encoding::Windows1250) << name;
        QTest::newRow("ASCII") << QByteArray("Novak;1\r\n") << int(Encoding::Windows1250) << u8("Novak");
        // "Unicode text" as spreadsheets save it.
        QTest::newRow("UTF-16 LE with the mark")
            << "\xFF\xFE" + codepage::encode(name + u8(";Plzeň\r\n"), Encoding::Utf16LE)
            << int(Encoding::Utf16LE) << name;
        QTest::newRow("UTF-16 BE with the mark")
            << "\xFE\xFF" + codepage::encode(name + u8(";Plzeň\r\n"), Encoding::Utf16BE)
            << int(Encoding::Utf16BE) << name;
    }
    void encodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(QString, firstCell);
        QTemporaryDir dir;
        const ReadResult read =
            readImportFile(writeFile(dir, u8("a.csv"), bytes), Separator::Semicolon, false);
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
        const QString path = writeFile(dir, u8("b.csv"), bytes);
        const ReadResult read = readImportFile(path, Separator::Semicolon, true);
        QVERIFY(!read.table);
        QCOMPARE(read.error, notTextMessage(path));
    }

    // Adding fills an empty current row, else appends; removing the last row leaves an empty one.
    void mappingEdits() {
        ImportMapping m;
        QCOMPARE(m.size(), 1);
        QVERIFY(!m.isReady());
        QCOMPARE(m.add(0, {u8("Tel"), 1, 12}), 0);
        QVERIFY(m.isReady());
        QCOMPARE(m.add(0, {u8("Jméno"), 0, 1}), 1);
        QVERIFY(m.overwrite(1, {u8("Jméno"), 0, 2}));
        QCOMPARE(m.row(1).target, 2);
        QVERIFY(!m.overwrite(5, {}));
        QVERIFY(m.remove(0));
        QCOMPARE(m.row(0).source, u8("Jméno"));
        QVERIFY(m.remove(0));
        QCOMPARE(m.size(), 1);
        QVERIFY(m.row(0).isEmpty());
        QVERIFY(!m.remove(3));
    }

    // Each row keeps its own target, also when two rows take the same column;
    // names match without regard to case, and a column the preview lacks is named.
    void assignments() {
        ImportMapping m;
        m.add(0, {u8("TEL"), 1, 12});
        m.add(0, {u8("tel"), 1, 14});
        m.add(1, {u8("Fax"), 4, 16});
        m.add(2, {QString(), -1, 3}); // incomplete: skipped
        QStringList missing;
        const QStringList names{u8("Jméno"), u8("Tel"), QString(), QString(), QString(), QString()};
        const QList<Assignment> a = m.assignments(names, &missing);
        QCOMPARE(a, (QList<Assignment>{{1, 12}, {1, 14}}));
        QCOMPARE(missing, QStringList{u8("Fax")});
    }

    // Of two columns with one name, the one chosen stays chosen.
    void duplicateNames() {
        const QStringList names{u8("Tel"), u8("Tel"), QString(), QString(), QString(), QString()};
        QCOMPARE(ImportMapping::sourceColumn({u8("Tel"), 1, 12}, names), 1);
        QCOMPARE(ImportMapping::sourceColumn({u8("Tel"), 4, 12}, names), 0);
        QCOMPARE(ImportMapping::sourceColumn({u8("Fax"), 0, 12}, names), -1);
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
                platform::makeIniSettingsStore(dir.filePath(u8("user.ini")), dir.filePath(u8("machine.ini")));
        else
            store = std::make_unique<platform::MemorySettingsStore>();
        ImportSchemas schemas(*store);
        QCOMPARE(schemas.names(), QStringList());
        const QList<Assignment> rows{{3, 12}, {0, 2}, {7, 35}};
        QVERIFY(schemas.save(u8("Adresář/Firmy"), rows));
        QVERIFY(schemas.save(u8("Druhé"), {{1, 1}}));
        QCOMPARE(schemas.names(), (QStringList{u8("Adresář/Firmy"), u8("Druhé")}));
        QCOMPARE(schemas.load(u8("Adresář/Firmy")), rows);
        // The data is the target's position, the name the column's.
        auto key = store->open(platform::Root::CurrentUser, ImportSchemas::keyOf(u8("Druhé")),
                               platform::Access::Read);
        QVERIFY(key);
        QCOMPARE(key->readString(u8("1")), u8("1"));
        // Saving again replaces the rows.
        QVERIFY(schemas.save(u8("Adresář/Firmy"), {{5, 6}}));
        QCOMPARE(schemas.load(u8("Adresář/Firmy")), (QList<Assignment>{{5, 6}}));
        QVERIFY(schemas.exists(u8("druhé")));
        QVERIFY(schemas.remove(u8("Druhé")));
        QCOMPARE(schemas.names(), QStringList{u8("Adresář/Firmy")});
        QCOMPARE(schemas.load(u8("Druhé")), std::nullopt);
    }
};

QTEST_MAIN(TestImportFile)
#include "tst_importfile.moc"
