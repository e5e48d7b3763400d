#include "DatabaseLogin.h"
#include "Error.h"
#include "OwnDatabases.h"
#include "PersonalSearch.h"
#include "PersonalSearchFixture.h"
#include "SearchCriteria.h"
#include "WorkingFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

Q_DECLARE_METATYPE(personal_criteria::Fields)

using personal_criteria::Field;
using personal_criteria::Fields;
using SearchResult = PersonalSearch::SearchResult;
using namespace Qt::StringLiterals;

namespace {

using Record = QList<std::pair<QString, QString>>;

// The search over a disposable personal database with the table given.
struct Harness : personal_test::SearchFiles {
    explicit Harness(const db::TableDef& personalTable = db::layouts::personal())
        : SearchFiles(false, personalTable) {}
};

QStringList numbered(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::number(i);
    return out;
}

QStringList surnames(int from, int to) {
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << u"Záznam%1"_s.arg(i, 3, 10, QLatin1Char('0'));
    return out;
}

Fields withText(Field field, const QString& text) {
    Fields f;
    f[field] = text;
    return f;
}

} // namespace

class TestPersonalSearch : public QObject {
    Q_OBJECT
  private slots:
    void pagingThroughAllRecords();
    void stop_data();
    void stop();
    void letterGroups_data();
    void letterGroups();
    void probesOverAddressGroups_data();
    void probesOverAddressGroups();
    void currentAddressGroup_data();
    void currentAddressGroup();
    void hostileValues_data();
    void hostileValues();
    void searchLimitAndEmptyRequest();
    void fillCap();
    void failedFill_data();
    void failedFill();
    void markAndReset();
};

// 25 records, 10 a page: forward three times, then back without fetching.
void TestPersonalSearch::pagingThroughAllRecords() {
    Harness h;
    h.addSurnames(surnames(1, 25));
    PersonalSearch::Paging p = h.search.listAll(10);
    QCOMPARE(h.shown(u"ID2"_s), numbered(1, 10));
    QCOMPARE(h.search.state().foundCount, 10);
    QVERIFY(!p.previousEnabled);
    QVERIFY(p.nextEnabled);
    QVERIFY(p.found);
    QVERIFY(h.search.state().listing);

    p = h.search.nextPage(10);
    QCOMPARE(h.shown(u"ID2"_s), numbered(11, 20));
    QVERIFY(p.previousEnabled);
    QVERIFY(p.nextEnabled);

    p = h.search.nextPage(10);
    QCOMPARE(h.shown(u"ID2"_s), numbered(21, 25));
    QCOMPARE(h.search.state().foundCount, 25);
    QVERIFY(!p.nextEnabled);
    QCOMPARE(h.working(u"Prijmeni"_s), surnames(1, 25));

    const int steps = h.copySteps;
    const int cursorRow = h.search.personalCursor().recNo();
    p = h.search.previousPage(10);
    QCOMPARE(h.shown(u"ID2"_s), numbered(11, 20));
    QCOMPARE(h.shown(u"Prijmeni"_s), surnames(11, 20));
    QVERIFY(p.previousEnabled);
    QVERIFY(p.nextEnabled);
    QCOMPARE(h.copySteps, steps);
    QCOMPARE(h.search.personalCursor().recNo(), cursorRow);
    QCOMPARE(h.search.state().foundCount, 25);
}

// STOP ends the fill but not the paging anchor: the next fill copies the rows
// left out as well. STOP pressed while the last row of a page is copied is
// used up by that move.
void TestPersonalSearch::stop_data() {
    QTest::addColumn<int>("stopAt");     // found count at which STOP is pressed
    QTest::addColumn<int>("secondFill"); // rows fetched by the next fill
    QTest::newRow("after 4 rows") << 4 << 16;
    QTest::newRow("during the last row") << 10 << 10;
}

void TestPersonalSearch::stop() {
    QFETCH(int, stopAt);
    QFETCH(int, secondFill);
    Harness h;
    h.addSurnames(surnames(1, 25));
    bool pressed = false;
    h.onRow = [&] {
        if (!pressed && h.search.state().foundCount == stopAt) h.stop = pressed = true;
    };
    PersonalSearch::Paging p = h.search.listAll(10);
    QVERIFY(pressed);
    QVERIFY(!h.stop);
    QCOMPARE(h.search.state().foundCount, stopAt);
    QCOMPARE(h.search.state().lastShown, 10);
    QCOMPARE(h.shown(u"ID2"_s), numbered(1, stopAt));
    QVERIFY(p.nextEnabled);

    p = h.search.nextPage(10);
    QCOMPARE(h.search.state().fillCounter, secondFill);
    QCOMPARE(h.search.state().foundCount, 20);
    QCOMPARE(h.search.state().first, 11);
    QCOMPARE(h.search.state().last, 20);
    // The rows this fill appended before the range stay in the page query
    // until it is reopened, as every row appended through it does.
    QCOMPARE(h.shown(u"ID2"_s), numbered(20 - secondFill + 1, 20));
    h.search.previousPage(10);
    p = h.search.nextPage(10);
    QCOMPARE(h.shown(u"ID2"_s), numbered(11, 20));
    QCOMPARE(h.working(u"Prijmeni"_s), surnames(1, 20));
    QVERIFY(p.nextEnabled);
}

void TestPersonalSearch::letterGroups_data() {
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QStringList>("listed"); // surnames, in listing order
    QTest::newRow("r, ř: by surname, then firm")
        << QChar(u'r') << QStringList{u"Novák"_s, u"Rybář"_s, u"Řezník"_s};
    // "ch" is a letter of its own that sorts after "h"; it begins with c.
    QTest::newRow("c, č, ch") << QChar(u'c') << QStringList{u"Cibulka"_s, u"Čech"_s, u"Chalupa"_s};
    QTest::newRow("h without ch") << QChar(u'h') << QStringList{u"Hora"_s};
    QTest::newRow("s, š") << QChar(u's') << QStringList{u"Šimek"_s};
    QTest::newRow("nothing") << QChar(u'q') << QStringList{};
    // Not a letter of the bar: nothing is listed, the working table is left alone.
    QTest::newRow("not in the alphabet") << QChar(u'ř') << QStringList{u"Kept"_s};
    QTest::newRow("digit") << QChar(u'1') << QStringList{u"Kept"_s};
}

void TestPersonalSearch::letterGroups() {
    QFETCH(QChar, letter);
    QFETCH(QStringList, listed);
    Harness h;
    h.personal->beginTransaction();
    for (const char* name : {"Řezník", "Hora", "Chalupa", "Rybář", "Čech", "Šimek", "Cibulka"})
        h.add({{u"Prijmeni"_s, QString::fromUtf8(name)}});
    h.add({{u"Prijmeni"_s, u"Novák"_s}, {u"Firma"_s, u"Řemesla"_s}});
    h.personal->commit();
    h.add({{u"Prijmeni"_s, u"Kept"_s}});
    QVERIFY(h.search.listLetter(u'k', 10));
    const std::optional<PersonalSearch::Paging> p = h.search.listLetter(letter, 10);
    QCOMPARE(h.working(u"Prijmeni"_s), listed);
    if (!p) {
        QVERIFY(h.search.state().foundCount == 1);
        return;
    }
    QCOMPARE(p->found, !listed.isEmpty());
    QVERIFY(!p->nextEnabled);
}

void TestPersonalSearch::probesOverAddressGroups_data() {
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message"); // of the failed check
    QTest::addColumn<int>("failedField");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("street only in a work address")
        << withText(Field::Street, u"Pracovní"_s) << int(SearchResult::Listed) << QString() << 0
        << QStringList{u"Práce"_s};
    QTest::newRow("unknown street") << withText(Field::Street, u"Neznámá"_s) << int(SearchResult::NotFound)
                                    << u"Byla zadána neexistující ulice!"_s << int(Field::Street)
                                    << QStringList{};
    Fields both = withText(Field::HouseNumber, u"99"_s);
    both[Field::Town] = u"Nikde"_s;
    QTest::newRow("house number is checked before town")
        << both << int(SearchResult::NotFound) << u"Bylo zadáno neexistující popisné číslo!"_s
        << int(Field::HouseNumber) << QStringList{};
    Fields town = withText(Field::Town, u"Br"_s);
    town.wildcardOf(Field::Town) = true;
    QTest::newRow("town of the other address, with the switch")
        << town << int(SearchResult::Listed) << QString() << 0 << QStringList{u"Jiný"_s};
    QTest::newRow("postal code with a blank")
        << withText(Field::PostalCode, u"602 00"_s) << int(SearchResult::Listed) << QString() << 0
        << QStringList{u"Práce"_s};
    QTest::newRow("telephone is not checked")
        << withText(Field::Phone, u"111"_s) << int(SearchResult::Listed) << QString() << 0 << QStringList{};
}

void TestPersonalSearch::probesOverAddressGroups() {
    QFETCH(Fields, fields);
    QFETCH(int, result);
    QFETCH(QString, message);
    QFETCH(int, failedField);
    QFETCH(QStringList, listed);
    Harness h;
    h.add({{u"Prijmeni"_s, u"Práce"_s},
           {u"domu_Ulice"_s, u"Domácí"_s},
           {u"zam_Ulice"_s, u"Pracovní"_s},
           {u"zam_PSC"_s, u"60200"_s}});
    h.add({{u"Prijmeni"_s, u"Jiný"_s}, {u"domu_Ulice"_s, u"Jiná"_s}, {u"jine_Obec"_s, u"Brno"_s}});
    const PersonalSearch::Search s = h.search.search(fields, 10, 200);
    QCOMPARE(int(s.result), result);
    QCOMPARE(h.working(u"Prijmeni"_s), listed);
    if (s.result == SearchResult::NotFound) {
        QCOMPARE(s.failed->message, message);
        QCOMPARE(int(s.failed->field), failedField);
        const PersonalSearch::Paging p = h.search.paging();
        QVERIFY(!p.previousEnabled);
        QVERIFY(!p.nextEnabled);
        QVERIFY(!h.search.personalCursor().isOpen());
        // A forward move anyway lists nothing.
        QVERIFY(!h.search.nextPage(10).nextEnabled);
        QCOMPARE(h.search.state().foundCount, 0);
    } else {
        QCOMPARE(s.paging.found, !listed.isEmpty());
    }
}

// The current-address group comes from the group the record names; postal
// codes are split and numbers grouped in every column.
void TestPersonalSearch::currentAddressGroup_data() {
    QTest::addColumn<QString>("kind");     // zobraz_adr as stored
    QTest::addColumn<QString>("expected"); // the group shown, and zobraz_adr of the working row
    QTest::newRow("empty") << QString() << u"domu"_s;
    QTest::newRow("domu") << u"domu"_s << u"domu"_s;
    QTest::newRow("zam") << u"zam"_s << u"zam"_s;
    QTest::newRow("jine") << u"jine"_s << u"jine"_s;
    QTest::newRow("other letter case") << u"ZAM"_s << u"zam"_s;
    QTest::newRow("unknown") << u"xyz"_s << u"domu"_s;
}

void TestPersonalSearch::currentAddressGroup() {
    QFETCH(QString, kind);
    QFETCH(QString, expected);
    Harness h;
    const QString longNumber(45, u'7');
    Record r{{u"Titul_1"_s, u"Ing."_s},     {u"Jmeno_1"_s, u"Jan"_s},           {u"Prijmeni"_s, u"Adresa"_s},
             {u"Firma"_s, u"Velto"_s},      {u"Tel_1"_s, u"123456789"_s},       {u"Tel_2"_s, longNumber},
             {u"Tel_6"_s, u"777000111"_s},  {u"E-mail_1"_s, u"jan@velto.cz"_s}, {u"Info"_s, u"Poznámka"_s},
             {u"Internet"_s, u"velto.cz"_s}};
    const struct {
        const char* group;
        const char* values[6]; // Ulice, CP, Obec, Cast, PSC, Stat
    } groups[] = {{"domu", {"Domovní", "1", "Doma", "Dolní", "11000", "CZ"}},
                  {"zam", {"Pracovní", "2", "Brno", "Střed", "60200", "SK"}},
                  {"jine", {"Jiná", "3", "Ostrava", "Poruba", "70800", "PL"}}};
    const char* parts[6] = {"Ulice", "CP", "Obec", "Cast", "PSC", "Stat"};
    for (const auto& g : groups)
        for (int i = 0; i < 6; ++i)
            r << std::pair{QString::fromUtf8(g.group) + u'_' + QString::fromUtf8(parts[i]),
                           QString::fromUtf8(g.values[i])};
    if (!kind.isEmpty()) r << std::pair{u"zobraz_adr"_s, kind};
    h.add(r);

    h.search.listAll(10);
    QCOMPARE(h.working(u"zobraz_adr"_s), QStringList{expected});
    const auto split = [](const QString& code) { return code.left(3) + u' ' + code.mid(3); };
    for (const auto& g : groups) {
        QCOMPARE(h.working(QString::fromUtf8(g.group) + u"_PSC"_s),
                 QStringList{split(QString::fromUtf8(g.values[4]))});
        QCOMPARE(h.working(QString::fromUtf8(g.group) + u"_Ulice"_s),
                 QStringList{QString::fromUtf8(g.values[0])});
        if (QString::fromUtf8(g.group) != expected) continue;
        for (int i = 0; i < 6; ++i) {
            const QString value = QString::fromUtf8(g.values[i]);
            QCOMPARE(h.working(QString::fromUtf8(parts[i])), QStringList{i == 4 ? split(value) : value});
        }
    }
    QCOMPARE(h.working(u"Tel_1"_s), QStringList{u"123 456 789"_s});
    // Grouped, this one would not fit its column: it is shown as stored.
    QCOMPARE(h.working(u"Tel_2"_s), QStringList{longNumber});
    QCOMPARE(h.working(u"Tel_3"_s), QStringList{QString()});
    QCOMPARE(h.working(u"Tel_6"_s), QStringList{u"777 000 111"_s});
    // Copied as they are: the columns without a group prefix or a number format.
    for (const auto& [column, value] : r)
        if (!column.contains(u'_') || column.startsWith(u"E-mail"_s) || column == u"Titul_1"_s ||
            column == u"Jmeno_1"_s)
            QCOMPARE(h.working(column), QStringList{value});
    QCOMPARE(h.working(u"ID"_s), QStringList{u"1"_s});
    QCOMPARE(h.working(u"ID2"_s), QStringList{u"1"_s});
    QCOMPARE(h.working(u"Zn"_s), QStringList{u"0"_s});
}

// Typed values stay literals: quotes, semicolons and long texts are searched
// for as they are, a "[" empties its box.
void TestPersonalSearch::hostileValues_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("found");
    const QString quoteName = u"O\"Brien\"; DELETE * FROM Vlastni"_s;
    QTest::newRow("quotes and semicolon, found")
        << int(Field::Surname) << quoteName << int(SearchResult::Listed) << 1;
    QTest::newRow("closing the literal")
        << int(Field::Street) << u"x\" OR \"1\"=\"1"_s << int(SearchResult::NotFound) << 0;
    QTest::newRow("semicolon") << int(Field::Firm) << u"a; DROP TABLE Vlastni"_s
                               << int(SearchResult::NotFound) << 0;
    QTest::newRow("bracket empties the box")
        << int(Field::Surname) << u"[a-z]*"_s << int(SearchResult::EmptyRequest) << 0;
    QTest::newRow("300 characters") << int(Field::FirstName) << QString(300, u'x')
                                    << int(SearchResult::NotFound) << 0;
    // Only the digits count: the whole number 1 is compared.
    QTest::newRow("telephone with a quote")
        << int(Field::Phone) << u"1\" OR Prijmeni LIKE \"*"_s << int(SearchResult::Listed) << 1;
}

void TestPersonalSearch::hostileValues() {
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(int, result);
    QFETCH(int, found);
    Harness h;
    h.add({{u"Prijmeni"_s, u"O\"Brien\"; DELETE * FROM Vlastni"_s}, {u"Tel_1"_s, u"1"_s}});
    h.add({{u"Prijmeni"_s, u"Obyčejný"_s}, {u"Tel_1"_s, u"2"_s}});
    Fields f = withText(Field(field), value);
    const PersonalSearch::Search s = h.search.search(f, 10, 200);
    QCOMPARE(int(s.result), result);
    QCOMPARE(h.search.state().foundCount, found);
    QVERIFY(h.search.totalRecords().has_value());
    QCOMPARE(*h.search.totalRecords(), qint64(2));
}

void TestPersonalSearch::searchLimitAndEmptyRequest() {
    Harness h;
    h.addSurnames(surnames(1, 25));
    Fields f = withText(Field::Surname, u"Záznam"_s);
    f.wildcardOf(Field::Surname) = true;
    PersonalSearch::Search s = h.search.search(f, 10, 3);
    QCOMPARE(f[Field::Surname], u"Záznam*"_s);
    QCOMPARE(int(s.result), int(SearchResult::Listed));
    QCOMPARE(h.search.state().foundCount, 3);
    QVERIFY(!s.paging.nextEnabled);

    // A star alone is emptied first; then nothing is asked, and nothing changes.
    Fields star = withText(Field::Surname, u"*"_s);
    s = h.search.search(star, 10, 200);
    QCOMPARE(int(s.result), int(SearchResult::EmptyRequest));
    QCOMPARE(star[Field::Surname], QString());
    QCOMPARE(h.search.state().foundCount, 3);
    QCOMPARE(h.shown(u"ID2"_s), numbered(1, 3));
}

// One fill fetches at most 200 rows, whatever the page needs.
void TestPersonalSearch::fillCap() {
    Harness h;
    h.addSurnames(surnames(1, 300));
    PersonalSearch::Paging p = h.search.listAll(250);
    QCOMPARE(h.search.state().fillCounter, PersonalSearch::kFillCap);
    QCOMPARE(h.search.state().foundCount, 200);
    QVERIFY(p.nextEnabled);
    p = h.search.nextPage(250);
    QCOMPARE(h.search.state().foundCount, 300);
    QVERIFY(!p.nextEnabled);
    QCOMPARE(h.working(u"Prijmeni"_s), surnames(1, 300));
}

// An engine error during a fill: the fill's rows are rolled back, the counts
// and the anchor are those before the move, the personal cursor stands where
// it stood, and the next move copies the same records again.
void TestPersonalSearch::failedFill_data() {
    QTest::addColumn<bool>("lockedCommit"); // else a row the working table refuses
    QTest::newRow("row refused") << false;
    QTest::newRow("commit refused") << true;
}

void TestPersonalSearch::failedFill() {
    QFETCH(bool, lockedCommit);
    // A personal table whose surname is wider than the working table's.
    db::TableDef wide = db::layouts::personal();
    for (db::FieldDef& f : wide.fields)
        if (f.name == u"Prijmeni") f.size = 100;
    Harness h(wide);
    QStringList names = surnames(1, 25);
    if (!lockedCommit) names[14] += QString(60, u'x');
    h.addSurnames(names);
    h.search.listAll(10);
    QCOMPARE(h.search.state().foundCount, 10);

    std::optional<test_support::FileHold> reader;
    if (lockedCommit) {
        reader.emplace(*h.results->database(), u"vlastni"_s, test_support::FileHold::Reading);
        QVERIFY(reader->holds());
    }
    bool raised = false;
    try {
        h.search.nextPage(10);
    } catch (const db::Error&) {
        raised = true;
    }
    reader.reset();
    QVERIFY(raised);

    const PersonalSearch::PageState& st = h.search.state();
    QCOMPARE(st.foundCount, 10);
    QCOMPARE(st.lastShown, 10);
    QCOMPARE(st.first, 11);
    QVERIFY(!st.endOfResults);
    QVERIFY(!h.stop);
    QCOMPARE(h.results->database()->transactionDepth(), 0);
    QCOMPARE(h.working(u"ID2"_s), numbered(1, 10));
    QVERIFY(h.page.isOpen());
    QCOMPARE(h.page.state(), db::Dataset::State::Browse);
    QCOMPARE(h.shown(u"ID2"_s), QStringList{});
    QCOMPARE(h.search.personalCursor().recNo(), 9);
    const PersonalSearch::Paging p = h.search.paging();
    QVERIFY(p.previousEnabled);
    QVERIFY(p.nextEnabled);

    if (lockedCommit) {
        // Nothing left out, nothing twice.
        h.search.nextPage(10);
        QCOMPARE(h.shown(u"Prijmeni"_s), surnames(11, 20));
        QCOMPARE(h.working(u"Prijmeni"_s), surnames(1, 20));
    } else {
        // The same record fails again, and leaves the same state.
        QVERIFY_THROWS_EXCEPTION(db::Error, h.search.nextPage(10));
        QCOMPARE(h.working(u"ID2"_s), numbered(1, 10));
        QCOMPARE(h.search.personalCursor().recNo(), 9);
    }
    h.search.previousPage(10);
    QCOMPARE(h.shown(u"Prijmeni"_s), surnames(1, 10));
}

// The current row as the editor sees it, and the reset of a listing, which
// zeroes the found count too and closes the cursor. (Marking and sorting
// themselves are the page query's, tested over every working table.)
void TestPersonalSearch::markAndReset() {
    Harness h;
    h.addSurnames(surnames(1, 25));
    h.search.listAll(10);
    h.search.nextPage(10);
    QVERIFY(h.page.locate(u"ID2"_s, 13));
    QVERIFY(h.search.page().toggleMark());
    QCOMPARE(h.search.currentRow()->marked, true);
    QCOMPARE(h.search.currentRow()->id2, 13);
    QCOMPARE(h.search.currentRow()->id, 13);

    h.search.reset(10);
    QCOMPARE(h.search.state().foundCount, 0);
    QCOMPARE(h.search.state().markedCount, 0);
    QVERIFY(!h.page.isOpen());
    QVERIFY(!h.search.personalCursor().isOpen());
    QVERIFY(!h.search.currentRow());
}

QTEST_GUILESS_MAIN(TestPersonalSearch)
#include "tst_personalsearch.moc"
