#include "PersonalCriteria.h"
#include "PersonalStatus.h"

#include <QTest>

Q_DECLARE_METATYPE(personal_criteria::Fields)

using personal_criteria::Field;
using personal_criteria::Fields;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

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
        QTest::newRow(name) << int(f) << u8(typed) << on << u8(expected);
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
        all.text[size_t(i)] = u8(values[i]);
    QTest::newRow("every box, town before house number")
        << all
        << QStringList{
               u8("SELECT TOP 200 * FROM vlastni WHERE "),
               u8("Prijmeni LIKE \"No*\""),
               u8(" AND (Jmeno_1 LIKE \"Jan\")"),
               u8(" AND (Firma LIKE \"Velto\")"),
               u8(" AND (domu_Ulice LIKE \"Dlouhá\" OR zam_Ulice LIKE \"Dlouhá\" OR jine_Ulice LIKE "
                  "\"Dlouhá\")"),
               u8(" AND (domu_Obec LIKE \"Praha\" OR zam_Obec LIKE \"Praha\" OR jine_Obec LIKE \"Praha\")"),
               u8(" AND (domu_CP LIKE \"12\" OR zam_CP LIKE \"12\" OR jine_CP LIKE \"12\")"),
               u8(" AND (domu_PSC LIKE \"11000\" OR zam_PSC LIKE \"11000\" OR jine_PSC LIKE \"11000\")"),
               u8(" AND (Tel_1 = \"123456789\" OR Tel_2 = \"123456789\" OR Tel_3 = \"123456789\" OR Tel_4 = "
                  "\"123456789\" OR Tel_5 = \"123456789\" OR Tel_6 = \"123456789\")"),
           };
    QTest::newRow("first filled box opens without AND")
        << withText(Field::Firm, u8("Velto"))
        << QStringList{u8("SELECT TOP 200 * FROM vlastni WHERE "), u8("(Firma LIKE \"Velto\")")};
    // Typed quotes are doubled, so the value stays one literal; a semicolon
    // and a long text stay inside it.
    QTest::newRow("quotes and semicolon")
        << withText(Field::Surname, u8("O\"Brien\"; DELETE * FROM Vlastni"))
        << QStringList{u8("SELECT TOP 200 * FROM vlastni WHERE "),
                       u8("Prijmeni LIKE \"O\"\"Brien\"\"; DELETE * FROM Vlastni\"")};
    const QString longText(300, u'x');
    QTest::newRow("300 characters") << withText(Field::FirstName, longText)
                                    << QStringList{u8("SELECT TOP 200 * FROM vlastni WHERE "),
                                                   u8("(Jmeno_1 LIKE \"") + longText + u8("\")")};
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
    QCOMPARE(probes[4].columns, (QStringList{u8("domu_CP"), u8("zam_CP"), u8("jine_CP")}));
    QCOMPARE(probes[4].message, u8("Bylo zadáno neexistující popisné číslo!"));
    QCOMPARE(probes[6].message, u8("Bylo zadáno neexistující PSČ!"));
    QCOMPARE(personal_criteria::probeStatement(u8("zam_Ulice"), u8("A\"B")),
             u8("SELECT TOP 1 * FROM vlastni WHERE zam_Ulice LIKE \"A\"\"B\""));
    QVERIFY(personal_criteria::probes(withText(Field::Phone, u8("123"))).isEmpty());
    QCOMPARE(personal_criteria::firstFilled(withText(Field::PostalCode, u8("1"))), Field::PostalCode);
}

void TestPersonalCriteria::letterGroups_data() {
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QString>("condition");
    const auto group = [](std::initializer_list<const char*> letters) {
        QStringList parts;
        for (const char* l : letters)
            parts << u8("Prijmeni LIKE \"%1*\" OR Firma LIKE \"%1*\"").arg(u8(l));
        return parts.join(u8(" OR "));
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
                 u8("SELECT * FROM vlastni WHERE ") + condition + u8(" ORDER BY Prijmeni, Firma"));
}

void TestPersonalCriteria::statusTexts() {
    QCOMPARE(personal_status::counts(25, 3), u8(" Počet záznamů: 25 nalezených,  3 označených"));
    QCOMPARE(personal_status::countsAfterMarking(1250, 0, QLocale(QLocale::English)),
             u8(" Počet záznamů: 1,250 nalezených,  0 označených"));
    QCOMPARE(personal_status::total(7), u8("Celkový počet záznamů: 7  "));
}

QTEST_GUILESS_MAIN(TestPersonalCriteria)
#include "tst_personalcriteria.moc"
