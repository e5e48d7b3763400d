// The Jet 3 writer of the generator: what it writes, libmdb reads back.

#include "JetReadBack.h"
#include "JetWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include <stdexcept>

using jet::Column;
using jet::Type;
using jet_read_back::Mdb;
using jet_read_back::Read;

struct Case {
    std::vector<Column> columns;
    QList<QVariantList> rows;
};
Q_DECLARE_METATYPE(Case)
Q_DECLARE_METATYPE(Column)

namespace {

// What libmdb gives for a value written into a column of that type.
QVariant expected(const Column& c, const QVariant& v) {
    if (c.type == Type::YesNo) return QString::fromLatin1(v.toBool() ? "1" : "0");
    if (!v.isValid()) return QVariant();
    switch (c.type) {
    case Type::Byte:
    case Type::Integer:
    case Type::Long:
        return QString::number(v.toLongLong());
    case Type::Double:
    case Type::Single:
        return QString::number(v.toDouble(), 'f', QLocale::FloatingPointShortest);
    case Type::Currency:
        return QString::number(v.toLongLong() / 10000.0, 'f', 4);
    case Type::Guid: // libmdb leaves out the hyphen before the last group
        return v.toUuid().toString(QUuid::WithBraces).toUpper().remove(24, 1);
    case Type::Binary:
        return QString::fromLatin1(v.toByteArray().toHex());
    case Type::DateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return v.toString();
    }
}

QString czech(int length, int seed) {
    static const QString letters = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy. ŘÍŠE ŤŮŇ ĎÁBLŮ, "
                                                  "čtyři sta sedmdesát jedna; ");
    QString s;
    for (int i = 0; s.size() < length; ++i)
        s += letters[(i * 7 + seed) % letters.size()];
    return s;
}

Case fourColumns() {
    return {{{QStringLiteral("Jméno"), Type::Text, 50},
             {QStringLiteral("Číslo"), Type::Long},
             {QStringLiteral("Poznámka"), Type::Memo},
             {QStringLiteral("Aktivní"), Type::YesNo}},
            {}};
}

} // namespace

class TestJetWriter : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& file, const QString& table, const Case& c, qint64 pad = 0) {
        const QString path = m_dir.filePath(file);
        jet::Writer w(path);
        const int t = w.addTable(table, c.columns);
        for (const QVariantList& row : c.rows)
            w.addRow(t, row);
        w.finish(pad);
        return path;
    }

    static void compare(const Read& r, const Case& c) {
        QVERIFY(r.found);
        QStringList names;
        for (const Column& col : c.columns)
            names << col.name;
        QCOMPARE(r.columns, names);
        QCOMPARE(r.rows.size(), c.rows.size());
        for (int i = 0; i < c.rows.size(); ++i)
            for (size_t k = 0; k < c.columns.size(); ++k) {
                const QVariant want = expected(c.columns[k], c.rows[i][int(k)]);
                const QVariant got = r.rows[i][int(k)];
                if (got != want)
                    QFAIL(qPrintable(
                        QStringLiteral("row %1, column %2: got %3 (%4 chars), want %5 (%6 chars)")
                            .arg(i)
                            .arg(c.columns[k].name,
                                 got.isValid() ? got.toString().left(40) : QStringLiteral("Null"))
                            .arg(got.toString().size())
                            .arg(want.isValid() ? want.toString().left(40) : QStringLiteral("Null"))
                            .arg(want.toString().size())));
            }
    }

  private slots:
    void initTestCase() {
        jet_read_back::useWindows1250();
        QVERIFY(m_dir.isValid());
    }

    void readsBack_data() {
        QTest::addColumn<Case>("table");

        QTest::newRow("empty table") << fourColumns();

        Case nulls = fourColumns();
        nulls.rows = {
            {QVariant(), QVariant(), QVariant(), QVariant()},
            {QStringLiteral("a"), 1, QStringLiteral("b"), true},
            {QString(QLatin1String("")), 0, QString(QLatin1String("")), false},
            {QVariant(), std::numeric_limits<int32_t>::min(), QVariant(), true},
            {QStringLiteral("z"), std::numeric_limits<int32_t>::max(), QStringLiteral("y"), QVariant()}};
        QTest::newRow("Null in every column, empty texts, extreme numbers") << nulls;

        Case letters = fourColumns();
        letters.rows = {{QStringLiteral("Řehoř Šťastný"), 1, QStringLiteral("Příliš žluťoučký kůň"), true},
                        {QStringLiteral("ĚŠČŘŽÝÁÍÉÚŮĎŤŇ"), 2, QStringLiteral("ěščřžýáíéúůďťň"), false},
                        {QStringLiteral("„uvozovky“ – pomlčka"), 3, QStringLiteral("§ ° ×"), true}};
        QTest::newRow("Czech letters in Windows-1250") << letters;

        // Memos inline, on one long-value page and chained over several;
        // texts making rows longer than 256 and 768 bytes need jump tables.
        Case longs = {{{QStringLiteral("A"), Type::Text, 255},
                       {QStringLiteral("B"), Type::Text, 255},
                       {QStringLiteral("N"), Type::Long},
                       {QStringLiteral("M"), Type::Memo},
                       {QStringLiteral("C"), Type::Text, 255},
                       {QStringLiteral("D"), Type::Text, 255}},
                      {}};
        int n = 0;
        for (int memo : {0, 255, 256, 257, 2000, 2024, 2025, 2036, 2037, 4064, 4065, 9000, 30000})
            longs.rows << QVariantList{czech(255, n),  czech(255, n + 1), ++n,
                                       czech(memo, n), czech(255, n + 2), czech(255, n + 3)};
        for (int a = 225; a <= 255; ++a) // offsets about a jump's boundary
            longs.rows << QVariantList{czech(a, a),  czech(a - 224, a), a,
                                       czech(10, a), QVariant(),        czech(a % 5, a)};
        for (int a = 0; a <= 255; a += 15)
            longs.rows << QVariantList{czech(a, a), czech(255 - a, a), a,
                                       QVariant(),  czech(a, 1),       czech(255, a)};
        QTest::newRow("long texts and long values") << longs;

        Case many = fourColumns();
        for (int i = 0; i < 3000; ++i)
            many.rows << QVariantList{
                QStringLiteral("Řádek %1").arg(i), i * 7,
                i % 13 == 0 ? QVariant(czech(300 + i % 700, i)) : QVariant(czech(i % 40, i)), i % 3 == 0};
        QTest::newRow("rows over many data pages") << many;

        Case numbers = {{{QStringLiteral("B"), Type::Byte},
                         {QStringLiteral("I"), Type::Integer},
                         {QStringLiteral("D"), Type::Double},
                         {QStringLiteral("T"), Type::DateTime},
                         {QStringLiteral("X"), Type::Text, 5}},
                        {}};
        numbers.rows = {{0, -32768, 0.5, QDateTime(QDate(1899, 12, 30), QTime(0, 0)), QStringLiteral("a")},
                        {255, 32767, -1234.25, QDateTime(QDate(2004, 3, 1), QTime(10, 20, 30)), QVariant()},
                        {QVariant(), QVariant(), QVariant(), QVariant(), QStringLiteral("b")},
                        {7, 1, 1e6, QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)), QStringLiteral("c")}};
        QTest::newRow("bytes, integers, doubles and dates") << numbers;

        Case others = {{{QStringLiteral("C"), Type::Currency},
                        {QStringLiteral("S"), Type::Single},
                        {QStringLiteral("G"), Type::Guid},
                        {QStringLiteral("R"), Type::Binary, 8},
                        {QStringLiteral("N"), Type::Long}},
                       {}};
        others.rows = {{qint64(123456), 0.25, QUuid(QStringLiteral("{01234567-89ab-cdef-0123-456789abcdef}")),
                        QByteArray("\x01\x02\xff", 3), 1},
                       {qint64(-922337203685477), -1.5, QUuid(), QByteArray(), 2},
                       {QVariant(), QVariant(), QVariant(), QVariant(), 3}};
        QTest::newRow("currency, singles, GUIDs and binary") << others;

        Case fixedOnly = {{{QStringLiteral("N"), Type::Long}, {QStringLiteral("B"), Type::YesNo}}, {}};
        for (int i = 0; i < 700; ++i)
            fixedOnly.rows << QVariantList{i % 5 == 0 ? QVariant() : QVariant(i), i % 2 == 1};
        QTest::newRow("no variable columns") << fixedOnly;
    }

    void readsBack() {
        QFETCH(Case, table);
        const QString path = write(QStringLiteral("%1.mdb").arg(QTest::currentDataTag()).replace(u' ', u'_'),
                                   QStringLiteral("Účastníci"), table);
        Mdb mdb(path);
        QVERIFY(mdb.handle);
        QCOMPARE(mdb.catalog(), QStringList({QStringLiteral("*MSysObjects"), QStringLiteral("Účastníci")}));
        compare(mdb.table(QStringLiteral("Účastníci")), table);
    }

    // The generator fills several tables at once; each reads back in its order.
    void interleavedTables() {
        Case a = fourColumns(),
             b = {{{QStringLiteral("ID"), Type::Long}, {QStringLiteral("T"), Type::Text, 12}}, {}};
        const QString path = m_dir.filePath(QStringLiteral("interleaved.mdb"));
        {
            jet::Writer w(path);
            const int ta = w.addTable(QStringLiteral("Osoby"), a.columns);
            const int tb = w.addTable(QStringLiteral("Navic"), b.columns);
            for (int i = 0; i < 2500; ++i) {
                a.rows << QVariantList{czech(i % 50, i), i, i % 11 == 0 ? czech(600, i) : QString(),
                                       i % 2 == 0};
                w.addRow(ta, a.rows.back());
                for (int k = 0; k < i % 3; ++k) {
                    b.rows << QVariantList{i * 10 + k, QString::number(i * 10 + k)};
                    w.addRow(tb, b.rows.back());
                }
            }
            QCOMPARE(w.rowCount(ta), qint64(a.rows.size()));
            w.finish();
        }
        Mdb mdb(path);
        QVERIFY(mdb.handle);
        QCOMPARE(mdb.catalog(), QStringList({QStringLiteral("*MSysObjects"), QStringLiteral("Osoby"),
                                             QStringLiteral("Navic")}));
        compare(mdb.table(QStringLiteral("Osoby")), a);
        compare(mdb.table(QStringLiteral("Navic")), b);
    }

    // A table whose pages spread over more of the file than a map kept in its
    // row covers, across the stretch that one map page covers, reads whole.
    void tableSpreadOverTheFile() {
        Case wide = {{{QStringLiteral("N"), Type::Long}}, {}};
        for (char c = 'A'; c <= 'G'; ++c)
            wide.columns.push_back({QString(QLatin1Char(c)), Type::Text, 255});
        const QString path = m_dir.filePath(QStringLiteral("spread.mdb"));
        {
            jet::Writer w(path);
            const int t = w.addTable(QStringLiteral("Wide"), wide.columns);
            const int blobs = w.addTable(QStringLiteral("Blobs"), {{QStringLiteral("B"), Type::LongBinary}});
            for (int i = 0; i < 1200; ++i) {
                QVariantList row{i};
                for (int k = 0; k < 7; ++k)
                    row << czech(250, i + k);
                wide.rows << row;
                w.addRow(t, row); // a row per page
                if (i == 600)     // long values chained over some 20 000 pages
                    for (int k = 0; k < 4; ++k)
                        w.addRow(blobs, {QByteArray(10'000'000, char('a' + k))});
            }
            w.finish();
        }
        QVERIFY(QFileInfo(path).size() > 16352LL * jet::kPageSize);
        Mdb mdb(path);
        QVERIFY(mdb.handle);
        compare(mdb.table(QStringLiteral("Wide")), wide);
    }

    // A Jet file is known by its header; the disc's file has an exact size.
    void headerAndPadding() {
        Case c = fourColumns();
        c.rows << QVariantList{QStringLiteral("x"), 1, QStringLiteral("y"), true};
        const qint64 size = 4000 * qint64(jet::kPageSize);
        const QString path = write(QStringLiteral("padded.mdb"), QStringLiteral("T"), c, size);
        QFile f(path);
        QCOMPARE(f.size(), size);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(0x18);
        QCOMPARE(head.mid(4, 16), QByteArray("Standard Jet DB\0", 16));
        QCOMPARE(head.mid(0x14, 4), QByteArray(4, '\0')); // Jet 3
        Mdb mdb(path);
        QVERIFY(mdb.handle);
        compare(mdb.table(QStringLiteral("T")), c);
    }

    // A file that could not be completed is not left behind looking like a
    // database, and a second finish() does not pass it off as complete.
    void noFileLeftUnfinished() {
        const QString small = m_dir.filePath(QStringLiteral("small.mdb"));
        {
            jet::Writer w(small);
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, w.finish(2 * jet::kPageSize));
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, w.finish());
        }
        QVERIFY(!QFile::exists(small));
        const QString abandoned = m_dir.filePath(QStringLiteral("abandoned.mdb"));
        {
            jet::Writer w(abandoned);
            const int t = w.addTable(QStringLiteral("T"), {{QStringLiteral("N"), Type::Long}});
            w.addRow(t, {1});
        }
        QVERIFY(!QFile::exists(abandoned));
    }

    void rejectsWhatTheColumnCannotHold_data() {
        QTest::addColumn<Column>("column");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("text too long")
            << Column{QStringLiteral("T"), Type::Text, 3} << QVariant(QStringLiteral("abcd"));
        QTest::newRow("Long too large")
            << Column{QStringLiteral("N"), Type::Long} << QVariant(qint64(1) << 31);
        QTest::newRow("not a number")
            << Column{QStringLiteral("N"), Type::Long} << QVariant(QStringLiteral("x"));
        QTest::newRow("not a date") << Column{QStringLiteral("D"), Type::DateTime}
                                    << QVariant(QStringLiteral("x"));
        QTest::newRow("binary too long")
            << Column{QStringLiteral("R"), Type::Binary, 2} << QVariant(QByteArray("abc"));
        QTest::newRow("Null where required")
            << Column{QStringLiteral("N"), Type::Long, 0, true} << QVariant();
    }

    void rejectsWhatTheColumnCannotHold() {
        QFETCH(Column, column);
        QFETCH(QVariant, value);
        jet::Writer w(m_dir.filePath(QStringLiteral("bad.mdb")));
        const int t = w.addTable(QStringLiteral("T"), {column});
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, w.addRow(t, {value}));
        QCOMPARE(w.rowCount(t), 0);
    }
};

QTEST_GUILESS_MAIN(TestJetWriter)
#include "tst_jetwriter.moc"
