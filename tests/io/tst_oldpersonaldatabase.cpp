// The personal database of the earlier installation, a Jet file, imported into
// the personal database: values by column name, Nulls, texts cut to their
// column, columns the personal table lacks, the record limit, and files that
// hold no records to import.
#include "OldDatabaseFixture.h"
#include "OldPersonalDatabase.h"

#include "PersonalColumns.h"
#include "PersonalRecords.h"
#include "Transfers.h"
#include "contacts/PersonalSearchFixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace io;
using namespace old_database_test;
using jet::Column;
using jet::Type;

namespace {

// What the test writes: a Jet file with one table, or other bytes.
struct OldFile {
    QString table = u"Vlastni"_s;
    std::vector<Column> columns = oldColumns();
    QList<QVariantList> rows;
    QByteArray bytes; // written instead of a Jet file when not empty
    qint64 cutTo = 0; // the Jet file is cut to this many bytes
};

OldFile withRows(const std::vector<Column>& columns, const QList<QHash<QString, QVariant>>& values) {
    OldFile f;
    f.columns = columns;
    for (const auto& v : values)
        f.rows << oldRow(columns, v);
    return f;
}

// Every stored record with its values and address kind: "column=text|…" in table order.
QStringList records(db::Database* personal) {
    db::Dataset d;
    d.setDatabase(personal);
    d.setSql(u"SELECT * FROM Vlastni ORDER BY ID"_s);
    d.open();
    QStringList out;
    for (; !d.eof(); d.next()) {
        QStringList values;
        for (const QString& column : personal_columns::valueColumns() + QStringList{u"zobraz_adr"_s})
            if (const QString text = d.text(column); !text.isEmpty()) values << column + u'=' + text;
        out << values.join(u'|');
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(OldFile)

class TestOldPersonalDatabase : public QObject {
    Q_OBJECT

  private slots:
    void import_data() {
        QTest::addColumn<OldFile>("file");
        QTest::addColumn<int>("present");          // records in the personal database before
        QTest::addColumn<QStringList>("messages"); // refused, or the notices of the outcome; {file} the path
        QTest::addColumn<QStringList>("stored");   // the new records; empty: leave it unchecked
        QTest::addColumn<int>("count");            // records in the personal database after

        const QString result = u"Bylo importováno %1 záznamů.    "_s;
        const QString leftOut = u"\nVynechané údaje, pro které záznam nemá pole: %1.    "_s;
        const QString cut = u"\nHodnot delších než jejich pole, které byly zkráceny: %1.    "_s;

        // Czech texts by column name in any letter case, numbers stripped of
        // their blanks, a Memo keeping its lines; zobraz_adr kept when it
        // names a kind, else taken from the addresses; key, running number and
        // mark not copied; a date, a picture and a Yes/No in columns the
        // personal table lacks (a No holds nothing to lose), and a row of
        // Nulls passed over.
        {
            const std::vector<Column> columns = oldColumns({{u"Narozeniny"_s, Type::DateTime},
                                                            {u"Foto"_s, Type::LongBinary},
                                                            {u"Aktivni"_s, Type::YesNo}});
            OldFile f =
                withRows(columns, {{{u"ID"_s, 17},
                                    {u"ID2"_s, 3},
                                    {u"Zn"_s, true},
                                    {u"Titul_1"_s, u"Ing."_s},
                                    {u"Jmeno_1"_s, u"Jiří"_s},
                                    {u"Prijmeni"_s, u"Čermáková"_s},
                                    {u"domu_Ulice"_s, u"Žluťoučká"_s},
                                    {u"domu_CP"_s, u"12/3"_s},
                                    {u"domu_Obec"_s, u"Plzeň"_s},
                                    {u"domu_PSC"_s, u"301 00"_s},
                                    {u"zam_Obec"_s, u"Brno"_s},
                                    {u"tel_1"_s, u"+420 603 123 456"_s},
                                    {u"e-mail_1"_s, u"jiri@example.cz"_s},
                                    {u"Info"_s, u"První řádek\r\nDruhý řádek"_s},
                                    {u"zobraz_adr"_s, u"zam"_s},
                                    {u"Narozeniny"_s, QDateTime(QDate(1970, 5, 1), QTime(0, 0), Qt::UTC)},
                                    {u"Aktivni"_s, true}},
                                   {{u"ID"_s, 18}},
                                   {{u"ID"_s, 19},
                                    {u"jine_Obec"_s, u"Ostrava"_s},
                                    {u"zobraz_adr"_s, u"xyz"_s},
                                    {u"Foto"_s, QByteArray("\xFF\xD8\xFF\xE0", 4)}}});
            f.table = u"VLASTNI"_s;
            QTest::newRow("values")
                << f << 0 << QStringList{result.arg(2) + leftOut.arg(3)}
                << QStringList{u"Titul_1=Ing.|Jmeno_1=Jiří|Prijmeni=Čermáková|domu_ulice=Žluťoučká|domu_CP="
                               u"12/3|"
                               "domu_Obec=Plzeň|domu_PSC=30100|zam_Obec=Brno|E-mail_1=jiri@example.cz|"
                               "Tel_1=603123456|Info=První řádek\r\nDruhý řádek|zobraz_adr=zam"_s,
                               u"jine_Obec=Ostrava|zobraz_adr=jine"_s}
                << 2;
        }
        // Columns declared wider or of another type than the personal table's:
        // a long surname and a Memo title are cut to their columns (a title's
        // line break becoming a blank), numbers come as their text.
        {
            const std::vector<Column> columns = oldColumns({{u"Prijmeni"_s, Type::Text, 255},
                                                            {u"Titul_1"_s, Type::Memo},
                                                            {u"Tel_2"_s, Type::Long},
                                                            {u"ICO"_s, Type::Double}});
            const QString surname = u"Nováková-Švehlová-Dvořáková-Procházková-Kučerová-Veselá"_s;
            QTest::newRow("cut") << withRows(columns, {{{u"Prijmeni"_s, surname},
                                                        {u"Titul_1"_s, u"prof. Ing.\r\nDrSc."_s},
                                                        {u"Tel_2"_s, 603123456},
                                                        {u"ICO"_s, 25596641.0}}})
                                 << 0 << QStringList{result.arg(1) + cut.arg(1)}
                                 << QStringList{u"Titul_1=prof. Ing. DrSc.|Prijmeni="_s + surname.left(50) +
                                                u"|ICO=25596641|Tel_2=603123456|zobraz_adr=domu"_s}
                                 << 1;
        }
        // The limit stops the import: 2 of 5 records with 498 present, 500 of 600 with none.
        {
            QList<QHash<QString, QVariant>> five, sixHundred;
            for (int i = 0; i < 600; ++i)
                (i < 5 ? five : sixHundred) << QHash<QString, QVariant>{{u"Prijmeni"_s, u"Ř%1"_s.arg(i)}};
            sixHundred += five;
            QTest::newRow("limit") << withRows(oldColumns(), five) << 498
                                   << QStringList{Transfers::singleLimitMessage(), result.arg(2)}
                                   << QStringList{u"Prijmeni=Ř0|zobraz_adr=domu"_s,
                                                  u"Prijmeni=Ř1|zobraz_adr=domu"_s}
                                   << 500;
            QTest::newRow("limit of an empty database")
                << withRows(oldColumns(), sixHundred) << 0
                << QStringList{Transfers::singleLimitMessage(), result.arg(500)} << QStringList{} << 500;
        }
        // An empty table imports nothing and says so.
        QTest::newRow("empty table") << OldFile{} << 1 << QStringList{result.arg(0)} << QStringList{} << 1;
        // Files that hold no personal table import nothing and say why.
        {
            OldFile other = withRows(oldColumns(), {{{u"Prijmeni"_s, u"Malá"_s}}});
            other.table = u"Kontakty"_s;
            QTest::newRow("no personal table")
                << other << 1
                << QStringList{u"Soubor \"{file}\" neobsahuje tabulku vlastní databáze (Vlastni). "
                               "Nic nebylo importováno.    "_s}
                << QStringList{} << 1;
            OldFile text;
            text.bytes = "Jm\xC3\xA9no;P\xC5\x99\xC3\xADjmen\xC3\xAD\r\nJan;Nov\xC3\xA1k\r\n";
            // The reader's own message says what is wrong with the file.
            QTest::newRow("text file")
                << text << 1 << QStringList{u"Soubor {reader}\nNic nebylo importováno.    "_s}
                << QStringList{} << 1;
            OldFile cutShort = withRows(oldColumns(), {{{u"Prijmeni"_s, u"Malá"_s}}});
            cutShort.cutTo = 3 * jet::kPageSize;
            QTest::newRow("cut short")
                << cutShort << 1 << QStringList{u"Soubor {reader}\nNic nebylo importováno.    "_s}
                << QStringList{} << 1;
        }
    }

    void import() {
        QFETCH(OldFile, file);
        QFETCH(int, present);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, stored);
        QFETCH(int, count);

        personal_test::SearchFiles h(/*durable*/ true);
        h.addSurnames(QStringList(present, u"Stávající"_s));
        const QString path = h.dir.filePath(u"vlastni.mdb"_s);
        if (file.bytes.isEmpty()) {
            writeOldDatabase(path, file.table, file.columns, file.rows);
            if (file.cutTo > 0) QVERIFY(QFile::resize(path, file.cutTo));
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file.bytes);
        }

        const FileImport imported = importOldDatabase(h.search, path, 10);
        QStringList shown;
        if (!imported.refused.isEmpty()) shown << imported.refused;
        for (const Notice& n : outcomeNotices(imported.outcome))
            if (imported.refused.isEmpty()) shown << n.text;
        // {reader}: a message of the reader that names the file, on one line.
        const QString named = QRegularExpression::escape(QDir::toNativeSeparators(path));
        for (QString& m : messages) {
            m = QRegularExpression::escape(m.replace(u"{file}"_s, QDir::toNativeSeparators(path)));
            m.replace(QRegularExpression::escape(u"{reader}"_s), u"[„\"]"_s + named + u"[“\"] [^\n]+"_s);
        }
        QCOMPARE(shown.size(), messages.size());
        for (qsizetype i = 0; i < shown.size(); ++i)
            QVERIFY2(QRegularExpression(u'^' + messages[i] + u'$').match(shown[i]).hasMatch(),
                     qPrintable(shown[i]));
        QCOMPARE(PersonalRecords(h.search).count(), count);
        if (!stored.isEmpty()) QCOMPARE(records(h.personal.get()).mid(present), stored);
    }
};

QTEST_MAIN(TestOldPersonalDatabase)
#include "tst_oldpersonaldatabase.moc"
