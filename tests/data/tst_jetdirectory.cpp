// The generator's Jet form of the directory and lists: the disc's files, with
// the same rows as the databases it writes for our engine.

#include "JetReadBack.h"

#include <QDir>
#include <QtTest>

#include <sqlite3.h>

using jet_read_back::Mdb;
using jet_read_back::Read;

namespace {

const QStringList kDirectoryTables = {QStringLiteral("Osoby"),
                                      QStringLiteral("Firmy"),
                                      QStringLiteral("Osoby_TEL_Navic"),
                                      QStringLiteral("Firmy_TEL_Navic"),
                                      QStringLiteral("KRAJE"),
                                      QStringLiteral("Titul"),
                                      QStringLiteral("Jmeno"),
                                      QStringLiteral("Prijmeni"),
                                      QStringLiteral("Firma"),
                                      QStringLiteral("Ulice"),
                                      QStringLiteral("CP"),
                                      QStringLiteral("Obec"),
                                      QStringLiteral("Cast"),
                                      QStringLiteral("PSC"),
                                      QStringLiteral("Poznamka"),
                                      QStringLiteral("URL"),
                                      QStringLiteral("UTO")};

// A table of our engine's database in the order its rows went in, read with
// SQLite itself: column names, and values as libmdb shows them.
Read readNative(const QString& path, const QString& table) {
    Read r;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return r;
    }
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table).toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr) == SQLITE_OK) {
        r.found = true;
        for (int i = 0; i < sqlite3_column_count(st); ++i)
            r.columns << QString::fromUtf8(sqlite3_column_name(st, i));
        while (sqlite3_step(st) == SQLITE_ROW) {
            QVariantList row;
            for (int i = 0; i < sqlite3_column_count(st); ++i)
                row << (sqlite3_column_type(st, i) == SQLITE_NULL
                            ? QVariant()
                            : QVariant(QString::fromUtf8(
                                  reinterpret_cast<const char*>(sqlite3_column_text(st, i)))));
            r.rows << row;
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return r;
}

} // namespace

class TestJetDirectory : public QObject {
    Q_OBJECT

    const QDir m_native{QStringLiteral(ORDANA_TEST_DATA)};
    const QDir m_jet{QStringLiteral(ORDANA_TEST_JET_DATA)};

  private slots:
    void initTestCase() { jet_read_back::useWindows1250(); }

    // The directory's file has the size the program checks; every file is a
    // Jet 3 file by its header.
    void theDiscsFiles() {
        QCOMPARE(QFileInfo(m_jet.filePath(QStringLiteral("ordat.mdb"))).size(), qint64(456028160));
        for (const char* name : {"ordat.mdb", "ordat.mdw", "ZELINKY.mdb", "PSC.mdb", "MP.mdb", "INET.mdb"}) {
            QFile f(m_jet.filePath(QString::fromLatin1(name)));
            QVERIFY2(f.open(QIODevice::ReadOnly), name);
            const QByteArray head = f.read(0x18);
            QCOMPARE(head.mid(4, 16), QByteArray("Standard Jet DB\0", 16));
            QCOMPARE(head.mid(0x14, 4), QByteArray(4, '\0'));
        }
        Mdb directory(m_jet.filePath(QStringLiteral("ordat.mdb")));
        QVERIFY(directory.handle);
        QCOMPARE(directory.catalog(), QStringList(QStringLiteral("*MSysObjects")) + kDirectoryTables);
        Mdb workgroup(m_jet.filePath(QStringLiteral("ordat.mdw")));
        QVERIFY(workgroup.handle);
        QCOMPARE(workgroup.catalog(),
                 QStringList({QStringLiteral("*MSysObjects"), QStringLiteral("*MSysAccounts")}));
    }

    void sameRowsAsOurEngine_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("table");
        for (const QString& t : kDirectoryTables)
            QTest::newRow(qPrintable(t)) << QStringLiteral("ordat.mdb") << t;
        for (const char* list : {"ZELINKY", "PSC", "MP", "INET"})
            QTest::newRow(list) << QString::fromLatin1(list) + QStringLiteral(".mdb")
                                << QString::fromLatin1(list);
    }

    void sameRowsAsOurEngine() {
        QFETCH(QString, file);
        QFETCH(QString, table);
        const Read native = readNative(m_native.filePath(file), table);
        QVERIFY(native.found);
        QVERIFY(!native.rows.isEmpty());
        Mdb mdb(m_jet.filePath(file));
        QVERIFY(mdb.handle);
        const Read jet = mdb.table(table);
        QVERIFY(jet.found);
        QCOMPARE(jet.columns, native.columns);
        QCOMPARE(jet.rows.size(), native.rows.size());
        for (int i = 0; i < native.rows.size(); ++i)
            if (jet.rows[i] != native.rows[i])
                QFAIL(qPrintable(QStringLiteral("row %1 differs: %2 / %3")
                                     .arg(i)
                                     .arg(QVariant(jet.rows[i]).toStringList().join(u'|'),
                                          QVariant(native.rows[i]).toStringList().join(u'|'))));
    }
};

QTEST_GUILESS_MAIN(TestJetDirectory)
#include "tst_jetdirectory.moc"
