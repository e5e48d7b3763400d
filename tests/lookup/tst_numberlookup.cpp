// Who a number belongs to: the forms callers pass a number in, the lines a
// lookup prints, and the personal contacts a number finds.

#include "NumberLookup.h"
#include "WorkingFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;
using number_lookup::Kind;
using number_lookup::Match;

class TestNumberLookup : public QObject {
    Q_OBJECT

  private slots:
    void readNumber_data() {
        QTest::addColumn<QString>("passed");
        QTest::addColumn<QString>("digits"); // empty: not a number
        QTest::addColumn<bool>("foreign");
        QTest::newRow("national") << u"604245324"_s << u"604245324"_s << false;
        QTest::newRow("grouped") << u" 604 245 324 "_s << u"604245324"_s << false;
        QTest::newRow("plus") << u"+420 604 245 324"_s << u"604245324"_s << false;
        QTest::newRow("double zero") << u"00420604245324"_s << u"604245324"_s << false;
        QTest::newRow("bare country code") << u"420604245324"_s << u"604245324"_s << false;
        QTest::newRow("separators") << u"(+420) 604-245.324/"_s << u"604245324"_s << false;
        QTest::newRow("tel uri") << u"tel:+420-604-245-324"_s << u"604245324"_s << false;
        QTest::newRow("tel uri with context")
            << u"TEL:604245324;phone-context=+420"_s << u"604245324"_s << false;
        QTest::newRow("sip uri") << u"sip:+420604245324@pbx.example.cz;user=phone"_s << u"604245324"_s
                                 << false;
        QTest::newRow("sip encoded plus") << u"sips:%2B420604245324@pbx"_s << u"604245324"_s << false;
        QTest::newRow("sip with name")
            << u"\"Jan Novák\" <sip:604245324@10.0.0.1>"_s << u"604245324"_s << false;
        QTest::newRow("callto") << u"callto://+420604245324"_s << u"604245324"_s << false;
        QTest::newRow("foreign plus") << u"+49 30 1234567"_s << u"0049301234567"_s << true;
        QTest::newRow("foreign double zero") << u"0049301234567"_s << u"0049301234567"_s << true;
        QTest::newRow("short service number") << u"1188"_s << u"1188"_s << false;
        QTest::newRow("sip name") << u"sip:alice@example.cz"_s << QString() << false;
        QTest::newRow("letters") << u"604 245 32a"_s << QString() << false;
        QTest::newRow("no digits") << u"+-()"_s << QString() << false;
        QTest::newRow("country code alone") << u"+420"_s << QString() << false;
        QTest::newRow("plus inside") << u"604+245324"_s << QString() << false;
        QTest::newRow("sql") << u"1\" OR \"1\"=\"1"_s << QString() << false;
    }
    void readNumber() {
        QFETCH(QString, passed);
        QFETCH(QString, digits);
        QFETCH(bool, foreign);
        const auto number = desktop_links::readNumber(passed);
        QCOMPARE(number.has_value(), !digits.isEmpty());
        if (!number) return;
        QCOMPARE(number->digits, digits);
        QCOMPARE(number->foreign, foreign);
    }

    // Every match is one line whatever its values hold.
    void lines() {
        const Match m{Kind::Personal, u"Nový\tJan"_s, u"Dlouhá 1,\n110 00 Praha"_s, u"604 245 324"_s};
        QCOMPARE(number_lookup::tabLine(m), u"vlastní\tNový Jan\tDlouhá 1, 110 00 Praha\t604 245 324"_s);
        const QString json = number_lookup::jsonLine(m);
        QVERIFY(!json.contains(u'\n'));
        const QJsonObject o = QJsonDocument::fromJson(json.toUtf8()).object();
        QCOMPARE(o.value(u"kind"_s).toString(), u"vlastní"_s);
        QCOMPARE(o.value(u"name"_s).toString(), m.name);
        QCOMPARE(o.value(u"address"_s).toString(), m.address);
        QCOMPARE(o.value(u"number"_s).toString(), m.number);
        QCOMPARE(number_lookup::kindName(Kind::Person), u"osoba"_s);
        QCOMPARE(number_lookup::kindName(Kind::Firm), u"firma"_s);
    }

    // A stored number in any form finds the contact; the name, the address of
    // the kind the contact shows and the number as the page shows it.
    void personalContacts() {
        test_support::WorkingFiles files;
        db::createOwnDatabase(files.engine, files.paths.personal, files.paths);
        auto personal = files.engine.defaultWorkspace().openDatabase(files.paths.personal, {});
        const QStringList rows{
            u"(Prijmeni, Jmeno_1, Tel_1, domu_ulice, domu_CP, domu_Obec, domu_PSC) VALUES "
            "(\"Nováková\", \"Eva\", \"604245324\", \"Hrdinů\", \"2\", \"Praha\", \"11000\")"_s,
            u"(Prijmeni, Jmeno_1, Titul_1, Firma, Tel_2, Tel_5, domu_Obec, zam_ulice, zam_CP, zam_Cast, "
            u"zam_Obec, "
            "zam_PSC, zobraz_adr) VALUES (\"Beneš\", \"Petr\", \"Ing.\", \"Alfa s.r.o.\", \"777000111\", "
            "\"+420604245324\", \"Brno\", \"Dlouhá\", \"5\", \"Nové Město\", \"Praha\", \"11000\", \"zam\")"_s,
            u"(Firma, Tel_6, jine_Obec, zobraz_adr) VALUES (\"Gama a.s.\", \"00420604245324\", \"Kolín\", "
            "\"jine\")"_s,
            u"(Prijmeni, Tel_1) VALUES (\"Jiný\", \"604245325\")"_s,
            u"(Prijmeni, Tel_3) VALUES (\"Müller\", \"+49301234567\")"_s,
        };
        for (const QString& values : rows)
            personal->execute(u"INSERT INTO Vlastni "_s + values, db::Database::FailOnError);

        const auto found = [&](const QString& passed) {
            QStringList lines;
            for (const Match& m :
                 number_lookup::findInPersonal(*personal, *desktop_links::readNumber(passed)))
                lines << number_lookup::tabLine(m);
            return lines;
        };
        QCOMPARE(found(u"tel:+420604245324"_s),
                 QStringList({u"vlastní\tGama a.s.\tKolín\t604 245 324"_s,
                              u"vlastní\tBeneš Petr, Ing. (Alfa s.r.o.)\tDlouhá 5, Nové Město, 110 00 Praha\t"
                              "604 245 324"_s,
                              u"vlastní\tNováková Eva\tHrdinů 2, 110 00 Praha\t604 245 324"_s}));
        QCOMPARE(found(u"0049 30 1234567"_s), QStringList({u"vlastní\tMüller\t\t+49301234567"_s}));
        QCOMPARE(found(u"604245320"_s), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestNumberLookup)
#include "tst_numberlookup.moc"
