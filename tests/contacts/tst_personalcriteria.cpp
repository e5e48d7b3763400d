#include "PersonalCriteria.h"
#include "PersonalStatus.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(personal_criteria::Fields)

using personal_criteria::Field;
using personal_criteria::Fields;

namespace {

Fields withText(Field field, const QString& text) {
    Fields f;
    f[field] = text;
    return f;
}

} // namespace

class TestPersonalCriteria : public QObject {
    Q_OBJECT
  private slots:
    void normalise_data();
    void normalise();
    void statement_data();
    void statement();
    void probes();
    void letterGroups_data();
    void letterGroups();
    void statusTexts();
};

void TestPersonalCriteria::normalise_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("switchOn");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, Field f, const char* typed, bool on, const char* expected) {
        QTest::newRow(name) << int(f) << QString::fromUtf8(typed) << on << QString::fromUtf8(expected);
    };
    row("star alone", Field::Surname, "*", true, "");
    row("question mark alone", Field::FirstName, "?", false, "");
    row("bracket anywhere", Field::Street, "Dlouh[a]", true, "");
    row("star inside stays", Field::Surname, "No*k", false, "No*k");
    row("town with switch", Field::Town, "Pra", true, "Pra*");
    row("already ending in star", Field::Town, "Pra*", true, "Pra*");
    row("switch off", Field::Firm, "Velto", false, "Velto");
    row("firm with switch", Field::Firm, "Velto", true, "Velto*");
    row("empty box with switch", Field::Street, "", true, "");
    // Only the four boxes with a switch take a star.
    row("house number has no switch", Field::HouseNumber, "12", true, "12");
    row("postal code blanks", Field::PostalCode, "110 00", false, "11000");
    row("telephone blanks", Field::Phone, "123 456 789", false, "123456789");
    row("telephone keeps digits only", Field::Phone, "+420\"; 1", true, "4201");
}

void TestPersonalCriteria::normalise() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(bool, switchOn);
    QFETCH(QString, expected);
    Fields f = withText(Field(field), typed);
    f.wildcardOf(Field(field)) = switchOn;
    personal_criteria::normalise(f);
    QCOMPARE(f[Field(field)], expected);
    QCOMPARE(personal_criteria::isEmptyRequest(f), expected.isEmpty());
}

void TestPersonalCriteria::statement_data() {
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("lines");

    Fields all;
    const char* values[8] = {"No*", "Jan", "Velto", "Dlouhá", "12", "Praha", "11000", "123456789"};
    for (int i = 0; i < 8; ++i)
        all.text[size_t(i)] = QString::fromUtf8(values[i]);
    QTest::newRow("every box, town before house number")
        << all
        << QStringList{
               u"SELECT TOP 200 * FROM vlastni WHERE "_s,
               u"Prijmeni LIKE \"No*\""_s,
               u" AND (Jmeno_1 LIKE \"Jan\")"_s,
               u" AND (Firma LIKE \"Velto\")"_s,
               u" AND (domu_Ulice LIKE \"Dlouhá\" OR zam_Ulice LIKE \"Dlouhá\" OR jine_Ulice LIKE "
               "\"Dlouhá\")"_s,
               u" AND (domu_Obec LIKE \"Praha\" OR zam_Obec LIKE \"Praha\" OR jine_Obec LIKE \"Praha\")"_s,
               u" AND (domu_CP LIKE \"12\" OR zam_CP LIKE \"12\" OR jine_CP LIKE \"12\")"_s,
               u" AND (domu_PSC LIKE \"11000\" OR zam_PSC LIKE \"11000\" OR jine_PSC LIKE \"11000\")"_s,
               u" AND (Tel_1 = \"123456789\" OR Tel_2 = \"123456789\" OR Tel_3 = \"123456789\" OR Tel_4 = "
               "\"123456789\" OR Tel_5 = \"123456789\" OR Tel_6 = \"123456789\")"_s,
           };
    QTest::newRow("first filled box opens without AND")
        << withText(Field::Firm, u"Velto"_s)
        << QStringList{u"SELECT TOP 200 * FROM vlastni WHERE "_s, u"(Firma LIKE \"Velto\")"_s};
    // Typed quotes are doubled, so the value stays one literal; a semicolon
    // and a long text stay inside it.
    QTest::newRow("quotes and semicolon")
        << withText(Field::Surname, u"O\"Brien\"; DELETE * FROM Vlastni"_s)
        << QStringList{u"SELECT TOP 200 * FROM vlastni WHERE "_s,
                       u"Prijmeni LIKE \"O\"\"Brien\"\"; DELETE * FROM Vlastni\""_s};
    const QString longText(300, u'x');
    QTest::newRow("300 characters") << withText(Field::FirstName, longText)
                                    << QStringList{u"SELECT TOP 200 * FROM vlastni WHERE "_s,
                                                   u"(Jmeno_1 LIKE \""_s + longText + u"\")"_s};
}

void TestPersonalCriteria::statement() {
    QFETCH(Fields, fields);
    QFETCH(QStringList, lines);
    QCOMPARE(personal_criteria::statementLines(fields, 200), lines);
}

// Checks run in page order but with the house number before the town, over
// all three address groups; the telephone number is not checked.
void TestPersonalCriteria::probes() {
    Fields f;
    for (int i = 0; i < 8; ++i)
        f.text[size_t(i)] = QString::number(i);
    const QList<personal_criteria::Probe> probes = personal_criteria::probes(f);
    QList<int> order;
    for (const auto& p : probes)
        order << int(p.field);
    QCOMPARE(order,
             (QList<int>{int(Field::Surname), int(Field::FirstName), int(Field::Firm), int(Field::Street),
                         int(Field::HouseNumber), int(Field::Town), int(Field::PostalCode)}));
    QCOMPARE(probes[4].columns, (QStringList{u"domu_CP"_s, u"zam_CP"_s, u"jine_CP"_s}));
    QCOMPARE(probes[4].message, u"Bylo zadáno neexistující popisné číslo!"_s);
    QCOMPARE(probes[6].message, u"Bylo zadáno neexistující PSČ!"_s);
    QCOMPARE(personal_criteria::probeStatement(u"zam_Ulice"_s, u"A\"B"_s),
             u"SELECT TOP 1 * FROM vlastni WHERE zam_Ulice LIKE \"A\"\"B\""_s);
    QVERIFY(personal_criteria::probes(withText(Field::Phone, u"123"_s)).isEmpty());
    QCOMPARE(personal_criteria::firstFilled(withText(Field::PostalCode, u"1"_s)), Field::PostalCode);
}

void TestPersonalCriteria::letterGroups_data() {
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QString>("condition");
    const auto group = [](std::initializer_list<const char*> letters) {
        QStringList parts;
        for (const char* l : letters)
            parts << u"Prijmeni LIKE \"%1*\" OR Firma LIKE \"%1*\""_s.arg(QString::fromUtf8(l));
        return parts.join(u" OR "_s);
    };
    QTest::newRow("a") << QChar(u'a') << group({"a"});
    QTest::newRow("c") << QChar(u'c') << group({"c", "č"});
    QTest::newRow("e") << QChar(u'e') << group({"e", "é", "ě"});
    QTest::newRow("h, not ch") << QChar(u'h') << group({"h"});
    QTest::newRow("r") << QChar(u'r') << group({"r", "ř"});
    QTest::newRow("s") << QChar(u's') << group({"s", "š"});
    QTest::newRow("u") << QChar(u'u') << group({"u", "ú", "ů"});
    QTest::newRow("y") << QChar(u'y') << group({"y", "ý"});
    QTest::newRow("z") << QChar(u'z') << group({"z", "ž"});
    QTest::newRow("outside the bar") << QChar(u'1') << QString();
}

void TestPersonalCriteria::letterGroups() {
    QFETCH(QChar, letter);
    QFETCH(QString, condition);
    QCOMPARE(personal_criteria::letterCondition(letter), condition);
    if (!condition.isEmpty())
        QCOMPARE(personal_criteria::letterStatement(letter),
                 u"SELECT * FROM vlastni WHERE "_s + condition + u" ORDER BY Prijmeni, Firma"_s);
}

void TestPersonalCriteria::statusTexts() {
    QCOMPARE(personal_status::counts(25, 3), u" Počet záznamů: 25 nalezených,  3 označených"_s);
    QCOMPARE(personal_status::countsAfterMarking(1250, 0, QLocale(QLocale::English)),
             u" Počet záznamů: 1,250 nalezených,  0 označených"_s);
    QCOMPARE(personal_status::total(7), u"Celkový počet záznamů: 7  "_s);
}

QTEST_GUILESS_MAIN(TestPersonalCriteria)
#include "tst_personalcriteria.moc"
