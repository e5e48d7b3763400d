#include "SearchCases.h"

#include <QTest>

using search_cases::CaseError;
using search_cases::SearchCase;
using search_criteria::Directory;

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// The fields a case fills, in one line that QCOMPARE can show.
QString describe(const SearchCase& c) {
    const search_criteria::SearchFields& f = c.fields;
    return QStringList{c.directory == Directory::Persons ? s("persons") : s("firms"), f.name, f.second, f.street,
                       f.houseNumber, f.municipality, f.postalCode, f.telephone, QString::number(f.region),
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
        const QString none = s("0|všechny kraje");
        // The wildcard switches stay as the pages start: persons' surname and
        // street off, municipality on; firms' name on as well.
        QTest::newRow("persons surname, switch off") << s("persons\tprijmeni=Novák")
                                                     << s("persons|Novák||||||") + u'|' + none;
        QTest::newRow("persons municipality, switch on") << s("persons\tmesto=Brno")
                                                         << s("persons|||||Brno*||") + u'|' + none;
        QTest::newRow("persons every box") << s("persons\tprijmeni=Nov*\tjmeno=Jan\tulice=Polní\tcp=12\tmesto=Brno*"
                                                "\tpsc=602 00\ttel=604-245 324")
                                           << s("persons|Nov*|Jan|Polní|12|Brno*|60200|604245324|") + none;
        QTest::newRow("firms name and municipality, switches on")
            << s("firms\tfirma=Auto\tmesto_f=Olomouc") << s("firms|Auto*||||Olomouc*||") + u'|' + none;
        QTest::newRow("firms every box") << s("firms\tfirma=Auto*\tpoznamka=autoservis\tulice_f=Polní\tcp_f=3"
                                              "\tpsc_f=779 00\ttel_f=604545019")
                                         << s("firms|Auto*|autoservis|Polní|3||77900|604545019|") + none;
        QTest::newRow("switch turned on") << s("persons\tprijmeni=Nov\tLabel8=on")
                                          << s("persons|Nov*||||||") + u'|' + none;
        QTest::newRow("switch turned off") << s("firms\tfirma=Auto\tLabel17=off\tmesto_f=Zlín\tLabel29=off")
                                           << s("firms|Auto||||Zlín||") + u'|' + none;
        QTest::newRow("street switch") << s("persons\tulice=Polní\tLabel15=on")
                                       << s("persons|||Polní*||||") + u'|' + none;
        QTest::newRow("region alone") << s("persons\tComboBox2=Zlínský") << s("persons||||||||14|Zlínský");
        QTest::newRow("firms region") << s("firms\tComboBox3=Pardubický") << s("firms||||||||9|Pardubický");
        QTest::newRow("leading wildcard kept") << s("persons\tprijmeni=*ová") << s("persons|*ová||||||") + u'|' + none;
        QTest::newRow("lone star cleared, another box left")
            << s("persons\tprijmeni=*\tcp=131") << s("persons||||131|||") + u'|' + none;
        QTest::newRow("value with an equals sign") << s("firms\tpoznamka=a=b") << s("firms||a=b|||||") + u'|' + none;
        QTest::newRow("blank page name, empty pair, line end")
            << s(" persons \tprijmeni=Novák\t\t\r") << s("persons|Novák||||||") + u'|' + none;
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
        const std::vector<SearchCase> cases =
            search_cases::parse(s("# a comment\n\npersons\tprijmeni=Novák\r\n   \n#firms\tfirma=X\nfirms\tfirma=Auto\n"));
        QCOMPARE(cases.size(), size_t(2));
        QCOMPARE(cases[0].line, 3);
        QCOMPARE(cases[0].text, s("persons\tprijmeni=Novák"));
        QCOMPARE(cases[1].line, 6);
        QCOMPARE(cases[1].directory, Directory::Firms);
        QVERIFY(search_cases::parse(s("# nothing\n\n")).empty());
    }

    void errors_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown page") << s("people\tprijmeni=Novák")
                                      << s("line 1: the page is \"people\", not persons or firms");
        QTest::newRow("pair without equals") << s("persons\tprijmeni Novák")
                                             << s("line 1: \"prijmeni Novák\" is not control=value");
        QTest::newRow("pair without control") << s("persons\t=Novák") << s("line 1: \"=Novák\" is not control=value");
        QTest::newRow("control of the other page") << s("firms\tprijmeni=Novák")
                                                   << s("line 1: the firms page has no control \"prijmeni\"");
        QTest::newRow("persons have no firm box") << s("persons\tfirma=Auto")
                                                  << s("line 1: the persons page has no control \"firma\"");
        QTest::newRow("region list of the other page") << s("persons\tComboBox3=Zlínský")
                                                       << s("line 1: the persons page has no control \"ComboBox3\"");
        QTest::newRow("given twice") << s("persons\tprijmeni=Novák\tprijmeni=Dvořák")
                                     << s("line 1: prijmeni is given twice");
        QTest::newRow("region not in the list") << s("persons\tComboBox2=Zlín")
                                                << s("line 1: \"Zlín\" is not an item of ComboBox2");
        QTest::newRow("switch neither on nor off") << s("persons\tprijmeni=Nov\tLabel8=yes")
                                                   << s("line 1: the switch Label8 is on or off, not \"yes\"");
        QTest::newRow("page alone") << s("persons")
                                    << s("line 1: nothing to search for: the page refuses such a search");
        QTest::newRow("only a lone star") << s("persons\tprijmeni=*")
                                          << s("line 1: nothing to search for: the page refuses such a search");
        QTest::newRow("only the first region item") << s("firms\tComboBox3=všechny kraje")
                                                    << s("line 1: nothing to search for: the page refuses such a search");
        QTest::newRow("line counted past comments and good lines")
            << s("# head\n\npersons\tprijmeni=Novák\nfirms\tfirm=Auto")
            << s("line 4: the firms page has no control \"firm\"");
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
        const QString path = s("/nonexistent/cases.tsv");
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
