#include "SearchCases.h"

#include <QTest>

using namespace Qt::StringLiterals;

using search_cases::CaseError;
using search_cases::SearchCase;
using search_criteria::Directory;

namespace {

// The fields a case fills, in one line that QCOMPARE can show.
QString describe(const SearchCase& c) {
    const search_criteria::SearchFields& f = c.fields;
    return QStringList{c.directory == Directory::Persons ? u"persons"_s : u"firms"_s,
                       f.name,
                       f.second,
                       f.street,
                       f.houseNumber,
                       f.municipality,
                       f.postalCode,
                       f.telephone,
                       QString::number(f.region),
                       f.regionText}
        .join(u'|');
}

} // namespace

class TestSearchCases : public QObject {
    Q_OBJECT

  private slots:
    void fields_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("fields");
        const QString none = u"0|všechny kraje"_s;
        // The wildcard switches stay as the pages start: persons' surname and
        // street off, municipality on; firms' name on as well.
        QTest::newRow("persons surname, switch off")
            << u"persons\tprijmeni=Novák"_s << u"persons|Novák||||||"_s + u'|' + none;
        QTest::newRow("persons municipality, switch on")
            << u"persons\tmesto=Brno"_s << u"persons|||||Brno*||"_s + u'|' + none;
        QTest::newRow("persons every box")
            << u"persons\tprijmeni=Nov*\tjmeno=Jan\tulice=Polní\tcp=12\tmesto=Brno*"
               "\tpsc=602 00\ttel=604-245 324"_s
            << u"persons|Nov*|Jan|Polní|12|Brno*|60200|604245324|"_s + none;
        QTest::newRow("firms name and municipality, switches on")
            << u"firms\tfirma=Auto\tmesto_f=Olomouc"_s << u"firms|Auto*||||Olomouc*||"_s + u'|' + none;
        QTest::newRow("firms every box") << u"firms\tfirma=Auto*\tpoznamka=autoservis\tulice_f=Polní\tcp_f=3"
                                            "\tpsc_f=779 00\ttel_f=604545019"_s
                                         << u"firms|Auto*|autoservis|Polní|3||77900|604545019|"_s + none;
        QTest::newRow("switch turned on")
            << u"persons\tprijmeni=Nov\tLabel8=on"_s << u"persons|Nov*||||||"_s + u'|' + none;
        QTest::newRow("switch turned off") << u"firms\tfirma=Auto\tLabel17=off\tmesto_f=Zlín\tLabel29=off"_s
                                           << u"firms|Auto||||Zlín||"_s + u'|' + none;
        QTest::newRow("street switch")
            << u"persons\tulice=Polní\tLabel15=on"_s << u"persons|||Polní*||||"_s + u'|' + none;
        QTest::newRow("region alone") << u"persons\tComboBox2=Zlínský"_s << u"persons||||||||14|Zlínský"_s;
        QTest::newRow("firms region") << u"firms\tComboBox3=Pardubický"_s << u"firms||||||||9|Pardubický"_s;
        QTest::newRow("leading wildcard kept")
            << u"persons\tprijmeni=*ová"_s << u"persons|*ová||||||"_s + u'|' + none;
        QTest::newRow("lone star cleared, another box left")
            << u"persons\tprijmeni=*\tcp=131"_s << u"persons||||131|||"_s + u'|' + none;
        QTest::newRow("value with an equals sign")
            << u"firms\tpoznamka=a=b"_s << u"firms||a=b|||||"_s + u'|' + none;
        QTest::newRow("blank page name, empty pair, line end")
            << u" persons \tprijmeni=Novák\t\t\r"_s << u"persons|Novák||||||"_s + u'|' + none;
    }

    void fields() {
        QFETCH(QString, line);
        QFETCH(QString, fields);
        const std::vector<SearchCase> cases = search_cases::parse(line);
        QCOMPARE(cases.size(), size_t(1));
        QCOMPARE(describe(cases[0]), fields);
        QCOMPARE(cases[0].line, 1);
    }

    void skipsCommentsAndEmptyLines() {
        const std::vector<SearchCase> cases = search_cases::parse(
            u"# a comment\n\npersons\tprijmeni=Novák\r\n   \n#firms\tfirma=X\nfirms\tfirma=Auto\n"_s);
        QCOMPARE(cases.size(), size_t(2));
        QCOMPARE(cases[0].line, 3);
        QCOMPARE(cases[0].text, u"persons\tprijmeni=Novák"_s);
        QCOMPARE(cases[1].line, 6);
        QCOMPARE(cases[1].directory, Directory::Firms);
        QVERIFY(search_cases::parse(u"# nothing\n\n"_s).empty());
    }

    void errors_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown page")
            << u"people\tprijmeni=Novák"_s << u"line 1: the page is \"people\", not persons or firms"_s;
        QTest::newRow("pair without equals")
            << u"persons\tprijmeni Novák"_s << u"line 1: \"prijmeni Novák\" is not control=value"_s;
        QTest::newRow("pair without control")
            << u"persons\t=Novák"_s << u"line 1: \"=Novák\" is not control=value"_s;
        QTest::newRow("control of the other page")
            << u"firms\tprijmeni=Novák"_s << u"line 1: the firms page has no control \"prijmeni\""_s;
        QTest::newRow("persons have no firm box")
            << u"persons\tfirma=Auto"_s << u"line 1: the persons page has no control \"firma\""_s;
        QTest::newRow("region list of the other page")
            << u"persons\tComboBox3=Zlínský"_s << u"line 1: the persons page has no control \"ComboBox3\""_s;
        QTest::newRow("given twice") << u"persons\tprijmeni=Novák\tprijmeni=Dvořák"_s
                                     << u"line 1: prijmeni is given twice"_s;
        QTest::newRow("region not in the list")
            << u"persons\tComboBox2=Zlín"_s << u"line 1: \"Zlín\" is not an item of ComboBox2"_s;
        QTest::newRow("switch neither on nor off")
            << u"persons\tprijmeni=Nov\tLabel8=yes"_s
            << u"line 1: the switch Label8 is on or off, not \"yes\""_s;
        QTest::newRow("page alone") << u"persons"_s
                                    << u"line 1: nothing to search for: the page refuses such a search"_s;
        QTest::newRow("only a lone star")
            << u"persons\tprijmeni=*"_s << u"line 1: nothing to search for: the page refuses such a search"_s;
        QTest::newRow("only the first region item")
            << u"firms\tComboBox3=všechny kraje"_s
            << u"line 1: nothing to search for: the page refuses such a search"_s;
        QTest::newRow("line counted past comments and good lines")
            << u"# head\n\npersons\tprijmeni=Novák\nfirms\tfirm=Auto"_s
            << u"line 4: the firms page has no control \"firm\""_s;
    }

    void errors() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        try {
            search_cases::parse(text);
            QFAIL("no error");
        } catch (const CaseError& e) {
            QCOMPARE(e.message(), message);
        }
    }

    void unreadableFileIsNamed() {
        const QString path = u"/nonexistent/cases.tsv"_s;
        try {
            search_cases::readFile(path);
            QFAIL("no error");
        } catch (const CaseError& e) {
            QVERIFY2(e.message().startsWith(path + u':'), qPrintable(e.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestSearchCases)
#include "tst_search_cases.moc"
