// The conversion of Jet files into databases of our engine: the generator's
// Jet files of every column type, bad files, cancel, an existing target, the
// copy's record of its source, the directory, and files the real engine wrote.

#include "Database.h"
#include "DatabaseLogin.h"
#include "Error.h"
#include "JetConversion.h"
#include "JetFile.h"
#include "JetReadBack.h"
#include "JetValues.h"
#include "JetWriter.h"
#include "SqlTranslator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>
#include <QtEndian>
#include <QtTest>

using jet::Column;
using jet::Type;

struct Case {
    std::vector<Column> columns;
    QList<QVariantList> rows;
};
Q_DECLARE_METATYPE(Case)

namespace {

QString czech(int length, int seed) {
    static const QString letters = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy. ŘÍŠE ŤŮŇ ĎÁBLŮ; ");
    QString s;
    for (int i = 0; s.size() < length; ++i)
        s += letters[(i * 7 + seed) % letters.size()];
    return s;
}

QByteArray bytes(int length, int seed) {
    QByteArray b(length, '\0');
    for (int i = 0; i < length; ++i)
        b[i] = char((i * 31 + seed) & 0xff);
    return b;
}

// The value our engine keeps for a value the generator wrote into a column.
QVariant stored(const Column& c, const QVariant& v) {
    if (c.type == Type::YesNo) return qint64(v.toBool() ? -1 : 0);
    if (!v.isValid()) return QVariant();
    switch (c.type) {
    case Type::Byte:
    case Type::Integer:
    case Type::Long:
    case Type::Currency:
        return v.toLongLong();
    case Type::Single:
        return double(float(v.toDouble()));
    case Type::Double:
        return v.toDouble();
    case Type::DateTime:
        return v.typeId() == QMetaType::QDateTime ? db::jet_values::serialFromDateTime(v.toDateTime())
                                                  : v.toDouble();
    case Type::Guid:
        return v.toUuid().toString(QUuid::WithBraces).toUpper();
    case Type::Binary:
    case Type::LongBinary:
        return v.toByteArray();
    default:
        return v.toString();
    }
}

db::ColumnType engineType(Type t) {
    switch (t) {
    case Type::YesNo:
        return db::ColumnType::Boolean;
    case Type::Byte:
        return db::ColumnType::Byte;
    case Type::Integer:
        return db::ColumnType::Short;
    case Type::Long:
        return db::ColumnType::Long;
    case Type::Currency:
        return db::ColumnType::Currency;
    case Type::Single:
        return db::ColumnType::Single;
    case Type::Double:
        return db::ColumnType::Double;
    case Type::DateTime:
        return db::ColumnType::DateTime;
    case Type::Binary:
        return db::ColumnType::Binary;
    case Type::Text:
        return db::ColumnType::Text;
    case Type::LongBinary:
        return db::ColumnType::LongBinary;
    case Type::Memo:
        return db::ColumnType::Memo;
    case Type::Guid:
        return db::ColumnType::Guid;
    }
    return db::ColumnType::Other;
}

// The file as Jet encrypts it: the key in the header's hidden block, every
// page after the header under RC4 with the key and the page's number. With
// pagesToo false only the header says so, and the pages do not fit it.
QByteArray encrypted(QByteArray file, quint32 key, bool pagesToo = true) {
    static const uint8_t headerKey[] = {0xC7, 0xDA, 0x39, 0x6B};
    auto* bytes = reinterpret_cast<uint8_t*>(file.data());
    jet::rc4(headerKey, 4, bytes + 0x18, 126);
    qToLittleEndian<quint32>(key, bytes + 0x3e);
    jet::rc4(headerKey, 4, bytes + 0x18, 126);
    for (int page = 1; pagesToo && page * jet::kPageSize < file.size(); ++page) {
        uint8_t pageKey[4];
        qToLittleEndian<quint32>(key ^ quint32(page), pageKey);
        jet::rc4(pageKey, 4, bytes + page * jet::kPageSize, jet::kPageSize);
    }
    return file;
}

Case allTypes() {
    Case c{{{QStringLiteral("Jméno a příjmení"), Type::Text, 50},
            {QStringLiteral("Select"), Type::Long},
            {QStringLiteral("Cast"), Type::Memo},
            {QStringLiteral("Order"), Type::YesNo},
            {QStringLiteral("B"), Type::Byte},
            {QStringLiteral("I"), Type::Integer},
            {QStringLiteral("Částka"), Type::Currency},
            {QStringLiteral("S"), Type::Single},
            {QStringLiteral("D"), Type::Double},
            {QStringLiteral("Datum \"od\""), Type::DateTime},
            {QStringLiteral("R"), Type::Binary, 8},
            {QStringLiteral("O"), Type::LongBinary},
            {QStringLiteral("G"), Type::Guid}},
           {}};
    c.rows << QVariantList{QStringLiteral("Řehoř Šťastný"),
                           std::numeric_limits<int32_t>::min(),
                           QStringLiteral("Příliš žluťoučký kůň"),
                           true,
                           255,
                           -32768,
                           qint64(-922337203685477),
                           0.1,
                           1.0 / 3,
                           QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC),
                           QByteArray("\x00\x01\xff", 3),
                           QByteArray("\x00OLE", 4),
                           QUuid(QStringLiteral("{01234567-89ab-cdef-0123-456789abcdef}"))};
    c.rows << QVariantList{QString(QLatin1String("")),
                           std::numeric_limits<int32_t>::max(),
                           QString(QLatin1String("")),
                           false,
                           0,
                           32767,
                           qint64(922337203685477) * 10000 + 5807,
                           -3.4e38,
                           -1e300,
                           QDateTime(QDate(2004, 3, 1), QTime(10, 20, 30), Qt::UTC),
                           QByteArray(),
                           QByteArray(),
                           QUuid(QStringLiteral("{ffffffff-0000-1111-2222-333333333333}"))};
    QVariantList nulls(int(c.columns.size()));
    nulls[3] = false; // Yes/No is never Null
    c.rows << nulls;
    return c;
}

} // namespace

class TestJetConversion : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    db::Engine m_engine;
    int m_files = 0;

    QString folder(const QString& name) {
        const QString path = m_dir.filePath(name + QString::number(++m_files));
        QDir().mkpath(path);
        return path;
    }

    // A plain conversion that keeps every progress step it was told.
    db::ConversionResult convertPlain(const QString& path, const QString& target,
                                      QList<db::ConversionStep>& steps) {
        return db::convertJetFile(m_engine.defaultWorkspace(), path, target, db::ConversionKind::Plain,
                                  [&](const db::ConversionStep& s) {
                                      steps << s;
                                      return true;
                                  });
    }

    QString write(const QString& table, const Case& c) {
        const QString path = folder(QStringLiteral("source")) + QStringLiteral("/zdroj.mdb");
        jet::Writer w(path);
        const int t = w.addTable(table, c.columns);
        for (const QVariantList& row : c.rows)
            w.addRow(t, row);
        w.finish();
        return path;
    }

    static QStringList listing(const QString& path) {
        return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QList<QVariantList> rowsOf(const QString& path, const QString& table) {
        auto d = m_engine.defaultWorkspace().openDatabase(path);
        return d->queryNative(QStringLiteral("SELECT * FROM ") + db::quoteIdentifier(table));
    }

  private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Every column type, Null in each, long values, no rows and many, Czech
    // names with blanks and reserved words: the rows in the file's order with
    // the values our engine keeps.
    void convertsTables_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<Case>("source");

        QTest::newRow("every column type") << QStringLiteral("Účastníci a \"čísla\"") << allTypes();

        Case empty = allTypes();
        empty.rows.clear();
        QTest::newRow("no rows") << QStringLiteral("Prázdná") << empty;

        Case longs{{{QStringLiteral("N"), Type::Long},
                    {QStringLiteral("Memo"), Type::Memo},
                    {QStringLiteral("OLE"), Type::LongBinary},
                    {QStringLiteral("T"), Type::Text, 255}},
                   {}};
        int n = 0;
        for (int size : {0, 1, 255, 256, 2000, 2037, 4065, 9000, 70000})
            longs.rows << QVariantList{++n, czech(size, n), bytes(size, n), czech(255, n)};
        QTest::newRow("long values inline, on one page and over many") << QStringLiteral("Dlouhé") << longs;

        Case many{{{QStringLiteral("N"), Type::Long}, {QStringLiteral("Text"), Type::Text, 40}}, {}};
        for (int i = 0; i < 10000; ++i)
            many.rows << QVariantList{(i * 7919) % 10007,
                                      i % 17 == 0 ? QVariant() : QVariant(czech(i % 40, i))};
        QTest::newRow("rows over many pages and batches, in the file's order")
            << QStringLiteral("Order") << many;
    }

    void convertsTables() {
        QFETCH(QString, table);
        QFETCH(Case, source);
        const QString path = write(table, source);
        const QString target = folder(QStringLiteral("target")) + QStringLiteral("/kopie.mdb");

        QList<db::ConversionStep> steps;
        const db::ConversionResult result = convertPlain(path, target, steps);
        QVERIFY(!result.cancelled);
        QCOMPARE(result.tables, 1);
        QCOMPARE(result.rows, qint64(source.rows.size()));
        QVERIFY(result.leftOutColumns.isEmpty());
        QCOMPARE(listing(QFileInfo(target).absolutePath()), QStringList{QStringLiteral("kopie.mdb")});

        // Progress: the table by name, rows counting up to all, then the indexes.
        QVERIFY(!steps.isEmpty());
        QCOMPARE(steps.first().table, table);
        QCOMPARE(steps.first().tableNumber, 1);
        QCOMPARE(steps.first().tables, 1);
        QCOMPARE(steps.first().rowsDone, 0);
        QCOMPARE(steps.last().rowsDone, qint64(source.rows.size()));
        QCOMPARE(steps.last().rowsTotal, qint64(source.rows.size()));
        QVERIFY(steps.last().indexing);
        for (int i = 1; i < steps.size(); ++i)
            QVERIFY(steps[i].rowsDone >= steps[i - 1].rowsDone);

        auto d = m_engine.defaultWorkspace().openDatabase(target);
        QCOMPARE(d->tableNames(), QStringList{table});
        const std::optional<db::TableRef> info = d->findTable(table, QString());
        QVERIFY(info);
        QCOMPARE(info->info.columns.size(), qsizetype(source.columns.size()));
        for (size_t k = 0; k < source.columns.size(); ++k) {
            const db::ColumnInfo& c = info->info.columns[qsizetype(k)];
            QCOMPARE(c.name, source.columns[k].name);
            QCOMPARE(c.type, engineType(source.columns[k].type));
            if (c.type == db::ColumnType::Text || c.type == db::ColumnType::Binary)
                QCOMPARE(c.size, source.columns[k].size);
        }
        const QList<QVariantList> rows =
            d->queryNative(QStringLiteral("SELECT * FROM ") + db::quoteIdentifier(table));
        QCOMPARE(rows.size(), source.rows.size());
        for (int i = 0; i < rows.size(); ++i)
            for (size_t k = 0; k < source.columns.size(); ++k) {
                const QVariant want = stored(source.columns[k], source.rows[i][int(k)]);
                const QVariant got = rows[i][int(k)];
                if (got != want || got.isValid() != want.isValid())
                    QFAIL(qPrintable(
                        QStringLiteral("row %1, column %2: got %3, want %4")
                            .arg(QString::number(i), source.columns[k].name,
                                 got.isValid() ? got.toString().left(40) : QStringLiteral("Null"),
                                 want.isValid() ? want.toString().left(40) : QStringLiteral("Null"))));
            }
    }

    // The reader on its own, as the import of an old personal database uses
    // it: the table found whatever the letter case, its columns, and values
    // of the types the engine's columns take.
    void readsRowsInTheEngineForm() {
        const Case c = allTypes();
        const QString path = write(QStringLiteral("Účastníci"), c);
        const db::jet::File file(path);
        QCOMPARE(file.tables().size(), 1);
        const db::jet::SourceTable* t = file.table(QStringLiteral("ÚČASTNÍCI"));
        QVERIFY(t);
        QCOMPARE(t->name, QStringLiteral("Účastníci"));
        QCOMPARE(t->rows, qint64(c.rows.size()));
        QCOMPARE(t->columns.size(), qsizetype(c.columns.size()));
        for (size_t k = 0; k < c.columns.size(); ++k) {
            QCOMPARE(t->columns[qsizetype(k)].name, c.columns[k].name);
            QCOMPARE(t->columns[qsizetype(k)].type, engineType(c.columns[k].type));
        }
        QCOMPARE(t->columns[0].size, 50);
        QVERIFY(t->columns[3].required); // Yes/No is never Null
        QVERIFY(!file.table(QStringLiteral("Jiná")));

        const auto rows = file.rows(QStringLiteral("účastníci"));
        QVariantList row;
        QVERIFY(rows->next(row));
        const QList<QMetaType::Type> types{QMetaType::QString,  QMetaType::LongLong,   QMetaType::QString,
                                           QMetaType::Bool,     QMetaType::LongLong,   QMetaType::LongLong,
                                           QMetaType::LongLong, QMetaType::Double,     QMetaType::Double,
                                           QMetaType::Double,   QMetaType::QByteArray, QMetaType::QByteArray,
                                           QMetaType::QString};
        for (int k = 0; k < types.size(); ++k)
            QCOMPARE(row[k].typeId(), int(types[k]));
        QCOMPARE(row[12], QVariant(QStringLiteral("{01234567-89AB-CDEF-0123-456789ABCDEF}")));
        QVERIFY(rows->next(row));
        QVERIFY(rows->next(row));
        QCOMPARE(row[3], QVariant(false));
        QVERIFY(!row[0].isValid() && !row[1].isValid() && !row[12].isValid());
        QVERIFY(!rows->next(row));

        try {
            file.rows(QStringLiteral("Jiná"));
            QFAIL("read");
        } catch (const db::Error& e) {
            QCOMPARE(e.message(), QStringLiteral("Soubor „%1“ neobsahuje tabulku „Jiná“.").arg(path));
        }
    }

    // What the program asks before opening a copy: which source it came from.
    void recordsItsSource() {
        const QString path = write(QStringLiteral("T"), allTypes());
        const QString target = folder(QStringLiteral("target")) + QStringLiteral("/kopie.mdb");
        db::convertJetFile(m_engine.defaultWorkspace(), path, target, db::ConversionKind::Plain);
        const QString identity = db::jet::sourceIdentity(path);
        QVERIFY(identity.startsWith(QString::number(QFileInfo(path).size()) + u'-'));
        QCOMPARE(db::convertedSourceOf(target), identity);
        // Read while the program holds the copy open exclusively.
        db::OpenOptions exclusive;
        exclusive.exclusive = true;
        auto held = m_engine.defaultWorkspace().openDatabase(target, exclusive);
        QCOMPARE(db::convertedSourceOf(target), identity);
        held.reset();

        QCOMPARE(db::convertedSourceOf(path), QString());
        QCOMPARE(db::convertedSourceOf(path + QStringLiteral(".none")), QString());
        const QString own = folder(QStringLiteral("own")) + QStringLiteral("/vlastni.mdb");
        m_engine.defaultWorkspace().createDatabase(own, db::kCzechLocale);
        QCOMPARE(db::convertedSourceOf(own), QString());

        // Another file of the same size is another source.
        Case other = allTypes();
        other.rows[0][0] = QStringLiteral("Řehoř Šťastnš");
        const QString changed = write(QStringLiteral("T"), other);
        QCOMPARE(QFileInfo(changed).size(), QFileInfo(path).size());
        QVERIFY(db::jet::sourceIdentity(changed) != identity);
        QCOMPARE(db::jet::sourceIdentity(path + QStringLiteral(".none")), QString());
    }

    // Files that are no Jet database or are damaged: a message naming the
    // file, and no file left in the target's folder.
    void refusesBadFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");

        QFile f(write(QStringLiteral("PSC"), [] {
            Case c{{{QStringLiteral("PSC"), Type::Text, 5},
                    {QStringLiteral("Obec"), Type::Text, 50},
                    {QStringLiteral("Poznámka"), Type::Memo}},
                   {}};
            for (int i = 0; i < 800; ++i)
                c.rows << QVariantList{QString::number(10000 + i), czech(30, i),
                                       czech(i % 5 == 0 ? 5000 : 10, i)};
            return c;
        }()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray good = f.readAll();
        const int page = jet::kPageSize;

        QTest::newRow("a text file") << QByteArray("PSC;Obec\n11000;Praha\n")
                                     << QStringLiteral("není databáze Jet");
        QTest::newRow("an empty file") << QByteArray() << QStringLiteral("není databáze Jet");
        QByteArray version = good;
        version[0x14] = 5;
        QTest::newRow("an unknown version") << version << QStringLiteral("není databáze Jet");
        QTest::newRow("cut inside a page") << good.left(good.size() - 100) << QStringLiteral("je zkrácený");
        QTest::newRow("only the header") << good.left(page) << QStringLiteral("je zkrácený");
        QTest::newRow("cut at a page") << good.left(good.size() - 2 * page) << QStringLiteral("je poškozený");
        // The writer puts the table's definition on page 3 and its rows after.
        auto zeroed = [&](int number) {
            QByteArray bytes = good;
            bytes.replace(number * page, page, QByteArray(page, '\0'));
            return bytes;
        };
        QTest::newRow("a damaged table definition")
            << zeroed(3) << QStringLiteral("je poškozený: tabulku „PSC“ nelze přečíst");
        // Rows on the table's own data pages, long values on pages marked LVAL.
        auto firstPage = [&](const QByteArray& owner) {
            for (int p = 3; p * page < good.size(); ++p)
                if (good[p * page] == 0x01 && good.mid(p * page + 4, 4) == owner) return p;
            return -1;
        };
        const int dataPage = firstPage(QByteArray("\x03\x00\x00\x00", 4));
        const int longPage = firstPage(QByteArrayLiteral("LVAL"));
        QVERIFY(dataPage > 0 && longPage > 0);
        QTest::newRow("a damaged data page")
            << zeroed(dataPage)
            << QStringLiteral(
                   "je poškozený: tabulku „PSC“ nelze celou přečíst: z 800 řádků se podařilo přečíst");
        QTest::newRow("a damaged long value")
            << zeroed(longPage)
            << QStringLiteral(
                   "je poškozený: tabulku „PSC“ nelze celou přečíst: dlouhá hodnota pole „Poznámka“");
        // The map of a table's pages (a row its definition points to at 35)
        // made empty: its start moved to where the row before it starts.
        auto withoutMap = [&](int definitionPage) {
            QByteArray bytes = good;
            const quint32 row = qFromLittleEndian<quint32>(good.constData() + definitionPage * page + 35);
            const int at = int(row >> 8) * page, index = int(row & 0xff);
            const quint16 before =
                index == 0 ? quint16(page)
                           : qFromLittleEndian<quint16>(good.constData() + at + 10 + 2 * (index - 1));
            qToLittleEndian<quint16>(before & 0x1fff, bytes.data() + at + 10 + 2 * index);
            return bytes;
        };
        QTest::newRow("a table without its map of pages")
            << withoutMap(3) << QStringLiteral("je poškozený: tabulku „PSC“ nelze přečíst.");
        // The catalog's map is the first row of its page, which has no row
        // before it: the catalog is pointed to the table's emptied map instead.
        QByteArray catalogWithoutMap = withoutMap(3);
        catalogWithoutMap.replace(2 * page + 35, 4, good.mid(3 * page + 35, 4));
        QTest::newRow("a catalog without its map of pages")
            << catalogWithoutMap << QStringLiteral("seznam jeho tabulek");
        QTest::newRow("encrypted with another key")
            << encrypted(good, 0x2f3e4d5c, false) << QStringLiteral("je zašifrovaný a nelze jej přečíst.");
        QTest::newRow("a damaged catalog") << zeroed(2) << QStringLiteral("seznam jeho tabulek");
    }

    void refusesBadFiles() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString source = folder(QStringLiteral("bad")) + QStringLiteral("/ordat.mdb");
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        const QString targetFolder = folder(QStringLiteral("target"));
        try {
            db::convertJetFile(m_engine.defaultWorkspace(), source,
                               targetFolder + QStringLiteral("/kopie.mdb"), db::ConversionKind::Plain);
            QFAIL("converted");
        } catch (const db::Error& e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
            QVERIFY2(e.message().startsWith(QStringLiteral("Soubor „") + source + u'“'),
                     qPrintable(e.message()));
        }
        QCOMPARE(listing(targetFolder), QStringList());
    }

    // Names beginning with MSys are the system's, whatever the catalog's flags
    // say: such a table stays out, as our engine keeps its own tables so.
    void leavesOutSystemNames() {
        const QString path = folder(QStringLiteral("source")) + QStringLiteral("/zdroj.mdb");
        {
            jet::Writer w(path);
            const int system =
                w.addTable(QStringLiteral("MSysUživatelé"), {{QStringLiteral("N"), Type::Long}});
            const int user = w.addTable(QStringLiteral("Uživatelé"), {{QStringLiteral("N"), Type::Long}});
            w.addRow(system, {1});
            w.addRow(user, {2});
            w.finish();
        }
        const QString target = folder(QStringLiteral("target")) + QStringLiteral("/kopie.mdb");
        const db::ConversionResult result =
            db::convertJetFile(m_engine.defaultWorkspace(), path, target, db::ConversionKind::Plain);
        QCOMPARE(result.tables, 1);
        QCOMPARE(result.rows, 1);
        QCOMPARE(db::jet::File(path).tables().size(), 1);
        auto d = m_engine.defaultWorkspace().openDatabase(target);
        QCOMPARE(d->queryNative(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name LIKE 'MSysU%'"))
                     .first()
                     .first()
                     .toInt(),
                 0);
    }

    // A column of a type our engine cannot hold (here a Decimal, made from a
    // Double by its type byte: 18 bytes a column after the definition's 43)
    // is left out and named; the rest of the table converts.
    void leavesOutColumnsItCannotHold() {
        // Two tables (definitions on pages 3 and 4); the second has only the
        // column left out, so it is left out whole and not counted.
        const QString path = folder(QStringLiteral("source")) + QStringLiteral("/zdroj.mdb");
        {
            jet::Writer w(path);
            const int goods = w.addTable(QStringLiteral("Zboží"), {{QStringLiteral("N"), Type::Long},
                                                                   {QStringLiteral("Cena"), Type::Double},
                                                                   {QStringLiteral("T"), Type::Text, 10}});
            const int prices = w.addTable(QStringLiteral("Ceník"), {{QStringLiteral("Cena"), Type::Double}});
            w.addRow(goods, {1, 1.5, QStringLiteral("a")});
            w.addRow(goods, {2, QVariant(), QStringLiteral("b")});
            w.addRow(prices, {2.5});
            w.finish();
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        for (const qint64 at : {3 * jet::kPageSize + 43 + 18, 4 * jet::kPageSize + 43}) {
            QVERIFY(f.seek(at));
            QCOMPARE(f.read(1), QByteArray(1, char(Type::Double)));
            QVERIFY(f.seek(at));
            f.write(QByteArray(1, '\x10'));
        }
        f.close();
        const QString target = folder(QStringLiteral("target")) + QStringLiteral("/kopie.mdb");
        QList<db::ConversionStep> steps;
        const db::ConversionResult result = convertPlain(path, target, steps);
        QCOMPARE(result.leftOutColumns, (QStringList{QStringLiteral("Zboží.Cena (Decimal)"),
                                                     QStringLiteral("Ceník.Cena (Decimal)")}));
        QCOMPARE(result.tables, 1);
        QCOMPARE(result.rows, 2);
        QCOMPARE(steps.last().tables, 1);
        QCOMPARE(steps.last().rowsTotal, 2);
        QCOMPARE(rowsOf(target, QStringLiteral("Zboží")),
                 (QList<QVariantList>{{1, QStringLiteral("a")}, {2, QStringLiteral("b")}}));
        auto d = m_engine.defaultWorkspace().openDatabase(target);
        QCOMPARE(d->tableNames(), QStringList{QStringLiteral("Zboží")});
    }

    // An encrypted file reads as the plain one.
    void readsAnEncryptedFile() {
        const QString plain = write(QStringLiteral("Šifra"), allTypes());
        QFile f(plain);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString source = folder(QStringLiteral("encrypted")) + QStringLiteral("/zdroj.mdb");
        QFile e(source);
        QVERIFY(e.open(QIODevice::WriteOnly));
        e.write(encrypted(f.readAll(), 0x12345678));
        e.close();
        const QString targets = folder(QStringLiteral("target"));
        db::convertJetFile(m_engine.defaultWorkspace(), plain, targets + QStringLiteral("/plain.mdb"),
                           db::ConversionKind::Plain);
        db::convertJetFile(m_engine.defaultWorkspace(), source, targets + QStringLiteral("/encrypted.mdb"),
                           db::ConversionKind::Plain);
        QCOMPARE(rowsOf(targets + QStringLiteral("/encrypted.mdb"), QStringLiteral("Šifra")),
                 rowsOf(targets + QStringLiteral("/plain.mdb"), QStringLiteral("Šifra")));
    }

    // Cancel between batches of rows and while the indexes are built: nothing
    // is left behind.
    void cancels_data() {
        QTest::addColumn<bool>("whileIndexing");
        QTest::newRow("between batches") << false;
        QTest::newRow("while building indexes") << true;
    }

    void cancels() {
        QFETCH(bool, whileIndexing);
        Case c{{{QStringLiteral("N"), Type::Long}, {QStringLiteral("T"), Type::Text, 20}}, {}};
        for (int i = 0; i < 20000; ++i)
            c.rows << QVariantList{i, czech(20, i)};
        const QString source = write(QStringLiteral("Velká"), c);
        const QString targetFolder = folder(QStringLiteral("target"));
        int calls = 0;
        const db::ConversionResult result = db::convertJetFile(
            m_engine.defaultWorkspace(), source, targetFolder + QStringLiteral("/kopie.mdb"),
            db::ConversionKind::Plain, [&](const db::ConversionStep& s) {
                ++calls;
                return whileIndexing ? !s.indexing : s.rowsDone < 8000;
            });
        QVERIFY(result.cancelled);
        QVERIFY(calls > 2);
        QCOMPARE(listing(targetFolder), QStringList());
    }

    // An existing target is never replaced; a folder that is missing is named.
    void leavesAnExistingTarget() {
        const QString source = write(QStringLiteral("T"), allTypes());
        const QString targetFolder = folder(QStringLiteral("target"));
        const QString target = targetFolder + QStringLiteral("/kopie.mdb");
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("data of the user");
        f.close();
        QVERIFY_THROWS_EXCEPTION(db::Error, db::convertJetFile(m_engine.defaultWorkspace(), source, target,
                                                               db::ConversionKind::Plain));
        try {
            db::convertJetFile(m_engine.defaultWorkspace(), source, target, db::ConversionKind::Plain);
        } catch (const db::Error& e) {
            QCOMPARE(e.message(),
                     QStringLiteral("Soubor „%1“ již existuje; převod jej nenahradí.").arg(target));
        }
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("data of the user"));
        QCOMPARE(listing(targetFolder), QStringList{QStringLiteral("kopie.mdb")});

        try {
            db::convertJetFile(m_engine.defaultWorkspace(), source, target + QStringLiteral("/x/kopie.mdb"),
                               db::ConversionKind::Plain);
            QFAIL("converted");
        } catch (const db::Error& e) {
            QCOMPARE(e.message(), QStringLiteral("Složka „%1/x“ neexistuje.").arg(target));
        }
    }

    // The directory as the disc has it: the same tables, rows, keys and search
    // indexes as the generator writes for our engine, secured to the workgroup.
    void convertsTheDirectory() {
        const QString targetFolder = folder(QStringLiteral("directory"));
        const QString mdw = targetFolder + QStringLiteral("/ordat.mdw");
        db::createLoginWorkgroup(mdw);
        db::Engine engine;
        engine.setWorkgroupFile(mdw);
        const db::Login login = db::databaseLogin();
        auto ws = engine.openWorkspace(login.user, login.password);
        const QString target = targetFolder + QStringLiteral("/ordat.mdb");
        const db::ConversionResult result = db::convertJetFile(
            *ws, QStringLiteral(ORDANA_TEST_JET_DATA "/ordat.mdb"), target, db::ConversionKind::Directory);
        QCOMPARE(result.tables, 17);

        auto converted = ws->openDatabase(target);
        auto generated = ws->openDatabase(QStringLiteral(ORDANA_TEST_DATA "/ordat.mdb"));
        const QString schema = QStringLiteral(
            "SELECT type, name, tbl_name, sql FROM sqlite_schema WHERE name <> 'sqlite_stat1' ORDER BY name");
        QCOMPARE(converted->queryNative(schema), generated->queryNative(schema));
        for (const QString& t : generated->tableNames()) {
            const QString all = QStringLiteral("SELECT * FROM ") + db::quoteIdentifier(t);
            QCOMPARE(converted->queryNative(all), generated->queryNative(all));
        }
        QVERIFY(!converted->queryNative(QStringLiteral("SELECT * FROM sqlite_stat1")).isEmpty());
        converted.reset();
        QVERIFY_THROWS_EXCEPTION(db::Error, m_engine.defaultWorkspace().openDatabase(target));
    }

    // The directory is secured to the workgroup: a workspace without one is
    // refused before any row is read, and nothing is left.
    void refusesTheDirectoryWithoutAWorkgroup() {
        const QString targetFolder = folder(QStringLiteral("directory"));
        int steps = 0;
        try {
            db::convertJetFile(m_engine.defaultWorkspace(), QStringLiteral(ORDANA_TEST_JET_DATA "/ordat.mdb"),
                               targetFolder + QStringLiteral("/ordat.mdb"), db::ConversionKind::Directory,
                               [&](const db::ConversionStep&) { return ++steps > 0; });
            QFAIL("converted");
        } catch (const db::Error& e) {
            QVERIFY2(e.message().contains(QStringLiteral("pracovní skupině")), qPrintable(e.message()));
        }
        QCOMPARE(steps, 0);
        QCOMPARE(listing(targetFolder), QStringList());
    }

    // Files the real engine wrote: every table, row by row, as libmdb reads it.
    void convertsRealFiles_data() {
        QTest::addColumn<QString>("path");
        const QDir shared(QStringLiteral(ORDANA_SHARED_JET));
        const QStringList files = shared.entryList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Name);
        if (files.isEmpty()) QSKIP("No Jet files written by the real engine in " ORDANA_SHARED_JET);
        for (const QString& f : files)
            QTest::newRow(qPrintable(f)) << shared.filePath(f);
    }

    void convertsRealFiles() {
        QFETCH(QString, path);
        jet_read_back::useWindows1250();
        const QString target = folder(QStringLiteral("real")) + QStringLiteral("/kopie.mdb");
        const db::ConversionResult result =
            db::convertJetFile(m_engine.defaultWorkspace(), path, target, db::ConversionKind::Plain);
        const db::jet::File source(path);
        auto d = m_engine.defaultWorkspace().openDatabase(target);
        jet_read_back::Mdb mdb(path);
        QVERIFY(mdb.handle);
        QStringList userTables;
        for (const QString& t : mdb.catalog())
            if (!t.startsWith(u'*')) userTables << t;
        QCOMPARE(d->tableNames(), userTables);
        QCOMPARE(result.tables, userTables.size());
        for (const QString& table : userTables) {
            const jet_read_back::Read read = mdb.table(table);
            QVERIFY(read.found);
            const db::jet::SourceTable* t = source.table(table);
            QVERIFY(t);
            QStringList kept;
            QList<int> places;
            for (int i = 0; i < t->columns.size(); ++i)
                if (t->columns[i].type != db::ColumnType::Other) {
                    kept << t->columns[i].name;
                    places << i;
                }
            QCOMPARE(t->columns.size(), read.columns.size());
            const QList<QVariantList> rows = rowsOf(target, table);
            QCOMPARE(rows.size(), read.rows.size());
            for (int r = 0; r < rows.size(); ++r)
                for (int k = 0; k < kept.size(); ++k) {
                    const db::ColumnType type = t->columns[places[k]].type;
                    const QVariant got = libmdbText(type, rows[r][k]);
                    const QVariant want = read.rows[r][places[k]];
                    if (got != want || got.isValid() != want.isValid())
                        QFAIL(qPrintable(
                            QStringLiteral("%1, row %2, column %3: got %4, libmdb reads %5")
                                .arg(table, QString::number(r), kept[k],
                                     got.isValid() ? got.toString().left(60) : QStringLiteral("Null"),
                                     want.isValid() ? want.toString().left(60) : QStringLiteral("Null"))));
                }
            // Every index the file declares, the key in the table's definition.
            qsizetype indexes = 0;
            for (const db::jet::SourceIndex& index : t->indexes)
                if (!index.primary) ++indexes;
            const QList<QVariantList> made = d->queryNative(
                QStringLiteral(
                    "SELECT count(*) FROM sqlite_schema WHERE type = 'index' AND tbl_name = ?1 AND "
                    "name NOT LIKE 'sqlite_autoindex%'"),
                {table});
            QCOMPARE(made.first().first().toLongLong(), qint64(indexes));
        }
    }

  private:
    // A kept value as libmdb writes it as text.
    static QVariant libmdbText(db::ColumnType type, const QVariant& v) {
        using namespace db::jet_values;
        if (type == db::ColumnType::Boolean) return QString::fromLatin1(v.toLongLong() ? "1" : "0");
        if (!v.isValid()) return QVariant();
        switch (type) {
        case db::ColumnType::Single:
            return QString::asprintf("%.8g", double(float(v.toDouble())));
        case db::ColumnType::Double:
            return QString::asprintf("%.16g", v.toDouble());
        case db::ColumnType::Currency:
            return currencyText(v.toLongLong());
        case db::ColumnType::DateTime:
            return isoDateText(v.toDouble());
        case db::ColumnType::Binary:
        case db::ColumnType::LongBinary:
            return QString::fromLatin1(v.toByteArray().toHex());
        case db::ColumnType::Guid: // libmdb leaves out the hyphen before the last group
            return v.toString().remove(24, 1);
        default:
            return v.toString();
        }
    }
};

QTEST_GUILESS_MAIN(TestJetConversion)
#include "tst_jetconversion.moc"
