#include "DatabaseLogin.h"
#include "Error.h"
#include "OwnDatabases.h"
#include "PersonalSearch.h"
#include "PersonalSearchFixture.h"
#include "SearchCriteria.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <memory>
#include <optional>

Q_DECLARE_METATYPE(personal_criteria::Fields)

using personal_criteria::Field;
using personal_criteria::Fields;
using SearchResult = PersonalSearch::SearchResult;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

using Record = QList<std::pair<QString, QString>>;

// The search over a disposable personal database with the table given.
struct Harness : personaltest::SearchFiles {
    explicit Harness(const db::TableDef& personalTable = db::layouts::personal())
        : SearchFiles(false, personalTable) {}
};

// Keeps the working file from being written while it lives: the file, held
// exclusively, is let go of, and a reader holds it.
class WorkingFileReader {
  public:
    explicit WorkingFileReader(db::WorkingDatabase& results) {
        sqlite3* own = results.database()->handle();
        sqlite3_exec(own, "PRAGMA locking_mode=NORMAL; SELECT count(*) FROM vlastni", nullptr, nullptr,
                     nullptr);
        sqlite3_open_v2(results.path().toUtf8().constData(), &m_reader, SQLITE_OPEN_READONLY, nullptr);
        m_ok = sqlite3_exec(m_reader, "BEGIN; SELECT count(*) FROM vlastni", nullptr, nullptr, nullptr) ==
               SQLITE_OK;
    }
    ~WorkingFileReader() {
        sqlite3_exec(m_reader, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(m_reader);
    }
    WorkingFileReader(const WorkingFileReader&) = delete;
    WorkingFileReader& operator=(const WorkingFileReader&) = delete;
    bool holds() const { return m_ok; }

  private:
    sqlite3* m_reader = nullptr;
    bool m_ok = false;
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
        out << u8("Záznam%1").arg(i, 3, 10, QLatin1Char('0'));
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
    void markSortAndReset();
};

// 25 records, 10 a page: forward three times, then back without fetching.
void TestPersonalSearch::pagingThroughAllRecords() {
    Harness h;
    h.addSurnames(surnames(1, 25));
    PersonalSearch::Paging p = h.search.listAll(10);
    QCOMPARE(h.shown(u8("ID2")), numbered(1, 10));
    QCOMPARE(h.search.state().foundCount, 10);
    QVERIFY(!p.previousEnabled);
    QVERIFY(p.nextEnabled);
    QVERIFY(p.found);
    QVERIFY(h.search.state().listing);

    p = h.search.nextPage(10);
    QCOMPARE(h.shown(u8("ID2")), numbered(11, 20));
    QVERIFY(p.previousEnabled);
    QVERIFY(p.nextEnabled);

    p = h.search.nextPage(10);
    QCOMPARE(h.shown(u8("ID2")), numbered(21, 25));
    QCOMPARE(h.search.state().foundCount, 25);
    QVERIFY(!p.nextEnabled);
    QCOMPARE(h.working(u8("Prijmeni")), surnames(1, 25));

    const int steps = h.copySteps;
    const int cursorRow = h.search.personalCursor().recNo();
    p = h.search.previousPage(10);
    QCOMPARE(h.shown(u8("ID2")), numbered(11, 20));
    QCOMPARE(h.shown(u8("Prijmeni")), surnames(11, 20));
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
    QCOMPARE(h.shown(u8("ID2")), numbered(1, stopAt));
    QVERIFY(p.nextEnabled);

    p = h.search.nextPage(10);
    QCOMPARE(h.search.state().fillCounter, secondFill);
    QCOMPARE(h.search.state().foundCount, 20);
    QCOMPARE(h.search.state().first, 11);
    QCOMPARE(h.search.state().last, 20);
    // The rows this fill appended before the range stay in the page query
    // until it is reopened, as every row appended through it does.
    QCOMPARE(h.shown(u8("ID2")), numbered(20 - secondFill + 1, 20));
    h.search.previousPage(10);
    p = h.search.nextPage(10);
    QCOMPARE(h.shown(u8("ID2")), numbered(11, 20));
    QCOMPARE(h.working(u8("Prijmeni")), surnames(1, 20));
    QVERIFY(p.nextEnabled);
}

void TestPersonalSearch::letterGroups_data() {
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QStringList>("listed"); // surnames, in listing order
    QTest::newRow("r, ř: by surname, then firm")
        << QChar(u'r') << QStringList{u8("Novák"), u8("Rybář"), u8("Řezník")};
    // "ch" is a letter of its own that sorts after "h"; it begins with c.
    QTest::newRow("c, č, ch") << QChar(u'c') << QStringList{u8("Cibulka"), u8("Čech"), u8("Chalupa")};
    QTest::newRow("h without ch") << QChar(u'h') << QStringList{u8("Hora")};
    QTest::newRow("s, š") << QChar(u's') << QStringList{u8("Šimek")};
    QTest::newRow("nothing") << QChar(u'q') << QStringList{};
    // Not a letter of the bar: nothing is listed, the working table is left alone.
    QTest::newRow("not in the alphabet") << QChar(u'ř') << QStringList{u8("Kept")};
    QTest::newRow("digit") << QChar(u'1') << QStringList{u8("Kept")};
}

void TestPersonalSearch::letterGroups() {
    QFETCH(QChar, letter);
    QFETCH(QStringList, listed);
    Harness h;
    h.personal->beginTransaction();
    for (const char* name : {"Řezník", "Hora", "Chalupa", "Rybář", "Čech", "Šimek", "Cibulka"})
        h.add({{u8("Prijmeni"), u8(name)}});
    h.add({{u8("Prijmeni"), u8("Novák")}, {u8("Firma"), u8("Řemesla")}});
    h.personal->commit();
    h.add({{u8("Prijmeni"), u8("Kept")}});
    QVERIFY(h.search.listLetter(u'k', 10));
    const std::optional<PersonalSearch::Paging> p = h.search.listLetter(letter, 10);
    QCOMPARE(h.working(u8("Prijmeni")), listed);
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
        << withText(Field::Street, u8("Pracovní")) << int(SearchResult::Listed) << QString() << 0
        << QStringList{u8("Práce")};
    QTest::newRow("unknown street") << withText(Field::Street, u8("Neznámá")) << int(SearchResult::NotFound)
                                    << u8("Byla zadána neexistující ulice!") << int(Field::Street)
                                    << QStringList{};
    Fields both = withText(Field::HouseNumber, u8("99"));
    both[Field::Town] = u8("Nikde");
    QTest::newRow("house number is checked before town")
        << both << int(SearchResult::NotFound) << u8("Bylo zadáno neexistující popisné číslo!")
        << int(Field::HouseNumber) << QStringList{};
    Fields town = withText(Field::Town, u8("Br"));
    town.wildcardOf(Field::Town) = true;
    QTest::newRow("town of the other address, with the switch")
        << town << int(SearchResult::Listed) << QString() << 0 << QStringList{u8("Jiný")};
    QTest::newRow("postal code with a blank")
        << withText(Field::PostalCode, u8("602 00")) << int(SearchResult::Listed) << QString() << 0
        << QStringList{u8("Práce")};
    QTest::newRow("telephone is not checked")
        << withText(Field::Phone, u8("111")) << int(SearchResult::Listed) << QString() << 0 << QStringList{};
}

void TestPersonalSearch::probesOverAddressGroups() {
    QFETCH(Fields, fields);
    QFETCH(int, result);
    QFETCH(QString, message);
    QFETCH(int, failedField);
    QFETCH(QStringList, listed);
    Harness h;
    h.add({{u8("Prijmeni"), u8("Práce")},
           {u8("domu_Ulice"), u8("Domácí")},
           {u8("zam_Ulice"), u8("Pracovní")},
           {u8("zam_PSC"), u8("60200")}});
    h.add({{u8("Prijmeni"), u8("Jiný")}, {u8("domu_Ulice"), u8("Jiná")}, {u8("jine_Obec"), u8("Brno")}});
    const PersonalSearch::Search s = h.search.search(fields, 10, 200);
    QCOMPARE(int(s.result), result);
    QCOMPARE(h.working(u8("Prijmeni")), listed);
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
    QTest::newRow("empty") << QString() << u8("domu");
    QTest::newRow("domu") << u8("domu") << u8("domu");
    QTest::newRow("zam") << u8("zam") << u8("zam");
    QTest::newRow("jine") << u8("jine") << u8("jine");
    QTest::newRow("other letter case") << u8("ZAM") << u8("zam");
    QTest::newRow("unknown") << u8("xyz") << u8("domu");
}

void TestPersonalSearch::currentAddressGroup() {
    QFETCH(QString, kind);
    QFETCH(QString, expected);
    Harness h;
    const QString longNumber(45, u'7');
    Record r{{u8("Titul_1"), u8("Ing.")},    {u8("Jmeno_1"), u8("Jan")},
             {u8("Prijmeni"), u8("Adresa")}, {u8("Firma"), u8("Velto")},
             {u8("Tel_1"), u8("123456789")}, {u8("Tel_2"), longNumber},
             {u8("Tel_6"), u8("777000111")}, {u8("E-mail_1"), u8("jan@velto.cz")},
             {u8("Info"), u8("Poznámka")},   {u8("Internet"), u8("velto.cz")}};
    const struct {
        const char* group;
        const char* values[6]; // Ulice, CP, Obec, Cast, PSC, Stat
    } groups[] = {{"domu", {"Domovní", "1", "Doma", "Dolní", "11000", "CZ"}},
                  {"zam", {"Pracovní", "2", "Brno", "Střed", "60200", "SK"}},
                  {"jine", {"Jiná", "3", "Ostrava", "Poruba", "70800", "PL"}}};
    const char* parts[6] = {"Ulice", "CP", "Obec", "Cast", "PSC", "Stat"};
    for (const auto& g : groups)
        for (int i = 0; i < 6; ++i)
            r << std::pair{u8(g.group) + u'_' + u8(parts[i]), u8(g.values[i])};
    if (!kind.isEmpty()) r << std::pair{u8("zobraz_adr"), kind};
    h.add(r);

    h.search.listAll(10);
    QCOMPARE(h.working(u8("zobraz_adr")), QStringList{expected});
    const auto split = [](const QString& code) { return code.left(3) + u' ' + code.mid(3); };
    for (const auto& g : groups) {
        QCOMPARE(h.working(u8(g.group) + u8("_PSC")), QStringList{split(u8(g.values[4]))});
        QCOMPARE(h.working(u8(g.group) + u8("_Ulice")), QStringList{u8(g.values[0])});
        if (u8(g.group) != expected) continue;
        for (int i = 0; i < 6; ++i) {
            const QString value = u8(g.values[i]);
            QCOMPARE(h.working(u8(parts[i])), QStringList{i == 4 ? split(value) : value});
        }
    }
    QCOMPARE(h.working(u8("Tel_1")), QStringList{u8("123 456 789")});
    // Grouped, this one would not fit its column: it is shown as stored.
    QCOMPARE(h.working(u8("Tel_2")), QStringList{longNumber});
    QCOMPARE(h.working(u8("Tel_3")), QStringList{QString()});
    QCOMPARE(h.working(u8("Tel_6")), QStringList{u8("777 000 111")});
    // Copied as they are: the columns without a group prefix or a number format.
    for (const auto& [column, value] : r)
        if (!column.contains(u'_') || column.startsWith(u8("E-mail")) || column == u8("Titul_1") ||
            column == u8("Jmeno_1"))
            QCOMPARE(h.working(column), QStringList{value});
    QCOMPARE(h.working(u8("ID")), QStringList{u8("1")});
    QCOMPARE(h.working(u8("ID2")), QStringList{u8("1")});
    QCOMPARE(h.working(u8("Zn")), QStringList{u8("0")});
}

// Typed values stay literals: quotes, semicolons and long texts are searched
// for as they are, a "[" empties its box.
void TestPersonalSearch::hostileValues_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("found");
    const QString quoteName = u8("O\"Brien\"; DELETE * FROM Vlastni");
    QTest::newRow("quotes and semicolon, found")
        << int(Field::Surname) << quoteName << int(SearchResult::Listed) << 1;
    QTest::newRow("closing the literal")
        << int(Field::Street) << u8("x\" OR \"1\"=\"1") << int(SearchResult::NotFound) << 0;
    QTest::newRow("semicolon") << int(Field::Firm) << u8("a; DROP TABLE Vlastni")
                               << int(SearchResult::NotFound) << 0;
    QTest::newRow("bracket empties the box")
        << int(Field::Surname) << u8("[a-z]*") << int(SearchResult::EmptyRequest) << 0;
    QTest::newRow("300 characters") << int(Field::FirstName) << QString(300, u'x')
                                    << int(SearchResult::NotFound) << 0;
    // Only the digits count: the whole number 1 is compared.
    QTest::newRow("telephone with a quote")
        << int(Field::Phone) << u8("1\" OR Prijmeni LIKE \"*") << int(SearchResult::Listed) << 1;
}

void TestPersonalSearch::hostileValues() {
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(int, result);
    QFETCH(int, found);
    Harness h;
    h.add({{u8("Prijmeni"), u8("O\"Brien\"; DELETE * FROM Vlastni")}, {u8("Tel_1"), u8("1")}});
    h.add({{u8("Prijmeni"), u8("Obyčejný")}, {u8("Tel_1"), u8("2")}});
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
    Fields f = withText(Field::Surname, u8("Záznam"));
    f.wildcardOf(Field::Surname) = true;
    PersonalSearch::Search s = h.search.search(f, 10, 3);
    QCOMPARE(f[Field::Surname], u8("Záznam*"));
    QCOMPARE(int(s.result), int(SearchResult::Listed));
    QCOMPARE(h.search.state().foundCount, 3);
    QVERIFY(!s.paging.nextEnabled);

    // A star alone is emptied first; then nothing is asked, and nothing changes.
    Fields star = withText(Field::Surname, u8("*"));
    s = h.search.search(star, 10, 200);
    QCOMPARE(int(s.result), int(SearchResult::EmptyRequest));
    QCOMPARE(star[Field::Surname], QString());
    QCOMPARE(h.search.state().foundCount, 3);
    QCOMPARE(h.shown(u8("ID2")), numbered(1, 3));
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
    QCOMPARE(h.working(u8("Prijmeni")), surnames(1, 300));
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

    std::optional<WorkingFileReader> reader;
    if (lockedCommit) {
        reader.emplace(*h.results);
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
    QCOMPARE(h.working(u8("ID2")), numbered(1, 10));
    QVERIFY(h.page.isOpen());
    QCOMPARE(h.page.state(), db::Dataset::State::Browse);
    QCOMPARE(h.shown(u8("ID2")), QStringList{});
    QCOMPARE(h.search.personalCursor().recNo(), 9);
    const PersonalSearch::Paging p = h.search.paging();
    QVERIFY(p.previousEnabled);
    QVERIFY(p.nextEnabled);

    if (lockedCommit) {
        // Nothing left out, nothing twice.
        h.search.nextPage(10);
        QCOMPARE(h.shown(u8("Prijmeni")), surnames(11, 20));
        QCOMPARE(h.working(u8("Prijmeni")), surnames(1, 20));
    } else {
        // The same record fails again, and leaves the same state.
        QVERIFY_THROWS_EXCEPTION(db::Error, h.search.nextPage(10));
        QCOMPARE(h.working(u8("ID2")), numbered(1, 10));
        QCOMPARE(h.search.personalCursor().recNo(), 9);
    }
    h.search.previousPage(10);
    QCOMPARE(h.shown(u8("Prijmeni")), surnames(1, 10));
}

// The current row as the editor sees it, a sort that keeps it, and the reset
// of a listing, which zeroes the found count too and closes the cursor.
void TestPersonalSearch::markSortAndReset() {
    Harness h;
    h.addSurnames(surnames(1, 25));
    h.search.listAll(10);
    h.search.nextPage(10);
    QVERIFY(h.page.locate(u8("ID2"), 13));
    QVERIFY(h.search.page().toggleMark());
    QCOMPARE(h.search.currentRow()->marked, true);
    QCOMPARE(h.search.currentRow()->id2, 13);
    QCOMPARE(h.search.currentRow()->id, 13);
    h.search.page().sortPage(u8("Prijmeni"), paging::SortOrder::Descending);
    QCOMPARE(h.search.currentRow()->id2, 13);
    QStringList expected = surnames(11, 20);
    std::reverse(expected.begin(), expected.end());
    QCOMPARE(h.shown(u8("Prijmeni")), expected);

    h.search.nextPage(10);
    QCOMPARE(h.shown(u8("Prijmeni")), surnames(21, 25));
    QCOMPARE(h.search.state().markedCount, 1);

    h.search.reset(10);
    QCOMPARE(h.search.state().foundCount, 0);
    QCOMPARE(h.search.state().markedCount, 0);
    QVERIFY(!h.page.isOpen());
    QVERIFY(!h.search.personalCursor().isOpen());
    QVERIFY(!h.search.currentRow());
}

QTEST_GUILESS_MAIN(TestPersonalSearch)
#include "tst_personalsearch.moc"
