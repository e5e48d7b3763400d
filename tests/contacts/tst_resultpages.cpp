#include "../grids/LayoutChecks.h"

#include "AlphabetBar.h"
#include "DataGrid.h"
#include "DirectoryPage.h"
#include "PageWidgets.h"
#include "PersonalPage.h"
#include "PersonalStatus.h"

#include <QTest>

#include <array>

using namespace layout_checks;
using namespace Qt::StringLiterals;

// What the three result pages (persons, firms, Vlastní) share, checked over
// each: the controls they all have, the wildcard switches, and the layout at
// the designed size and larger. What only one page has is in that page's test.
class TestResultPages : public QObject {
    Q_OBJECT
  private slots:
    void controls_data();
    void controls();
    void switches_data();
    void switches();
    void fitsDesignedSize_data();
    void fitsDesignedSize();
    void gridTakesExtraHeight_data();
    void gridTakesExtraHeight();
};

namespace {

const std::array<const char*, 3> kPages{"osoby", "firmy", "vlastni"};

ResultPage* makePage(const QString& page) {
    if (page == u"osoby") return new DirectoryPage(DirectoryPageDescription::persons());
    if (page == u"firmy") return new DirectoryPage(DirectoryPageDescription::firms());
    return new PersonalPage;
}

// The counts as the page's status line shows them.
QString countsText(const QString& page, int found, int marked) {
    return page == u"vlastni" ? personal_status::counts(found, marked)
                              : DirectoryPage::countsText(found, marked);
}

} // namespace

void TestResultPages::controls_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("enabled");

    auto row = [](const char* page, const char* name, const char* type, const char* caption,
                  const char* toolTip, bool enabled = true) {
        QTest::addRow("%s %s", page, name)
            << QString::fromLatin1(page) << QString::fromLatin1(name) << QByteArray(type)
            << QString::fromUtf8(caption) << QString::fromUtf8(toolTip) << enabled;
    };
    // A control by its name on persons, firms and Vlastní; null where a page has none.
    auto on = [&row](std::array<const char*, 3> names, const char* type, const char* caption,
                     const char* toolTip, bool enabled = true) {
        for (size_t i = 0; i < kPages.size(); ++i)
            if (names[i]) row(kPages[i], names[i], type, caption, toolTip, enabled);
    };
    // clang-format off
    on({"osoby", "firmy", "vlastni"}, "QWidget", "", "");
    on({"prijmeni", nullptr, "prijmeni_v"}, "QLineEdit", "Příjmení", "Ctrl + P");
    on({"jmeno", nullptr, "jmeno_v"}, "QLineEdit", "Jméno", "Ctrl + J");
    on({nullptr, "firma", "firma_v"}, "QLineEdit", "Firma", "Ctrl + F");
    on({nullptr, "poznamka", nullptr}, "QLineEdit", "Poznámka", "Ctrl + J");
    on({"ulice", "ulice_f", "ulice_v"}, "QLineEdit", "Ulice, ČP", "Ctrl + U");
    on({"cp", "cp_f", "cp_v"}, "QLineEdit", "", "Ctrl + L");
    on({"mesto", "mesto_f", "mesto_v"}, "QLineEdit", "Obec", "Ctrl + O");
    on({"psc", "psc_f", "psc_v"}, "QLineEdit", "PSČ", "Ctrl + S");
    on({"tel", "tel_f", "tel_v"}, "QLineEdit", "Telefon", "Ctrl + T");
    on({"ComboBox2", "ComboBox3", nullptr}, "QComboBox", "Kraj", "Ctrl + B");
    on({"Button1", "Button6", "BitBtn3"}, "QPushButton", "&Hledej", "");
    on({"Button3", "Button5", "BitBtn5"}, "QPushButton", "&Nuluj", "");
    on({"Button7", "Button9", "BitBtn7"}, "QPushButton", "&Export", "");
    on({"Button20", "Button21", "BitBtn4"}, "QPushButton", "&Tisk", "");
    on({"Button16", "Button17", "BitBtn6"}, "QPushButton", "&STOP", "", false);
    on({"Button11", "Button13", "Button4"}, "QPushButton", "<&<<", "", false);
    on({"Button12", "Button14", "Button8"}, "QPushButton", ">&>>", "", false);
    on({nullptr, nullptr, "BitBtn9"}, "QPushButton", "I&mport", "");
    on({"Button2", "Button15", "BitBtn8"}, "QPushButton", "&Konec", "");
    on({"Label18", "Label19", nullptr}, "QLabel", "oOo", "Indikátor stavu konce vyhledávání");
    on({"Memo1", "Memo2", "Memo3"}, "QPlainTextEdit", "", "");
    on({"Image1", "Image3", "Image11"}, "QLabel", "", "Kopíruj vše do schránky");
    on({"Image2", "Image4", "Image9"}, "QLabel", "", "Kopíruj číslo do schránky");
    on({"Image7", "Image8", "Image10"}, "QLabel", "", "Kopíruj adresu do schránky");
    on({"Image5", "Image6", nullptr}, "QLabel", "", "Přenes aktuální záznam do vlastní databáze");
    on({nullptr, nullptr, "Image17"}, "QLabel", "", "");
    on({nullptr, nullptr, "Image18"}, "QLabel", "", "Všechny záznamy");
    on({nullptr, nullptr, "Image13"}, "QLabel", "", "Upravit záznam");
    on({nullptr, nullptr, "Image15"}, "QLabel", "", "Nový záznam");
    on({nullptr, nullptr, "Image16"}, "QLabel", "", "Smazat záznam");
    on({nullptr, nullptr, "Image14"}, "QLabel", "", "Smazat označené záznamy");
    on({"DBGridPro1", nullptr, nullptr}, "DataGrid", "+/-|č.|Titul|Jméno|Příjmení|Ulice|ČP|Obec|Část|PSČ|Telefon", "");
    on({nullptr, "DBGridPro2", nullptr}, "DataGrid", "+/-|č.|Firma|Poznámka|Ulice|ČP|Obec|Část|PSČ|Telefon", "");
    on({nullptr, nullptr, "DBGridPro4"}, "DataGrid", "+/-|Jméno|Příjmení|Firma|Telefon mobil|Telefon domů|Telefon firma", "");
    on({"dones_o", "dones_f", "dones_v"}, "QLabel", "", "");
    on({"status_o", "status_f", "status_v"}, "QLabel", "", "");
    on({"celkem_o", nullptr, nullptr}, "QLabel", "Celkový počet telefonů: 2 425 638 ", "");
    on({nullptr, "celkem_f", nullptr}, "QLabel", "Celkový počet telefonů: 780 397 ", "");
    on({nullptr, nullptr, "Label57"}, "QLabel", "Celkový počet záznamů: 0  ", "");
    // clang-format on
    // The wildcard switches.
    const std::array<QList<const char*>, 3> switches{{{"Label8", "Label15", "Label28"},
                                                      {"Label17", "Label31", "Label29"},
                                                      {"Label47", "Label59", "Label50", "Label52"}}};
    for (size_t i = 0; i < kPages.size(); ++i)
        for (const char* name : switches[i])
            row(kPages[i], name, "QLabel", "  * ", "automaticky doplňovat zástupný znak *");
}

void TestResultPages::controls() {
    QFETCH(QString, page);
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(bool, enabled);

    std::unique_ptr<ResultPage> p(makePage(page));
    QWidget* w = p->objectName() == name ? p.get() : nullptr;
    if (!w) {
        const auto found = p->findChildren<QWidget*>(name);
        QCOMPARE(found.size(), 1);
        w = found.first();
    }
    QVERIFY2(w->inherits(type), w->metaObject()->className());
    QCOMPARE(captionOf(w), caption);
    QCOMPARE(w->toolTip(), toolTip);
    QCOMPARE(w->isEnabled(), enabled);
}

void TestResultPages::switches_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("on");
    QTest::addColumn<QStringList>("off");
    QTest::newRow("osoby") << u"osoby"_s << QStringList{u"Label28"_s}
                           << QStringList{u"Label8"_s, u"Label15"_s};
    QTest::newRow("firmy") << u"firmy"_s << QStringList{u"Label17"_s, u"Label29"_s}
                           << QStringList{u"Label31"_s};
    QTest::newRow("vlastni") << u"vlastni"_s << QStringList{u"Label52"_s}
                             << QStringList{u"Label47"_s, u"Label59"_s, u"Label50"_s};
}

// The wildcard switches' starting states, in their colours.
void TestResultPages::switches() {
    QFETCH(QString, page);
    QFETCH(QStringList, on);
    QFETCH(QStringList, off);

    std::unique_ptr<ResultPage> p(makePage(page));
    for (const bool isOn : {true, false})
        for (const QString& name : isOn ? on : off) {
            auto* s = p->findChild<WildcardSwitch*>(name);
            QVERIFY2(s, qPrintable(name));
            QCOMPARE(s->isOn(), isOn);
            QCOMPARE(s->palette().color(QPalette::WindowText),
                     isOn ? QColor(128, 0, 0) : QColor(192, 192, 192));
        }
}

void TestResultPages::fitsDesignedSize_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("inTabs");
    QTest::addColumn<QString>("font");
    for (const char* page : kPages)
        for (bool inTabs : {false, true})
            for (const QString& family : programFontFamilies())
                QTest::addRow("%s, %s, %s", page, inTabs ? "in tabs" : "alone", qPrintable(family))
                    << QString::fromLatin1(page) << inTabs << family;
}

// At the designed client size, alone or under the main window's tabs, the page
// keeps that size, shows every control whole and without overlaps, the record
// label at its designed size right of the boxes (Vlastní: the alphabet bar at
// its full width), the grid across the width under the rest and the status
// line at the foot.
void TestResultPages::fitsDesignedSize() {
    QFETCH(QString, page);
    QFETCH(bool, inTabs);
    QFETCH(QString, font);
    useProgramFont(font);

    const QSize designed(752, 431);
    ResultPage* p = makePage(page);
    // The program sets the limits summary before the page is first laid out.
    p->statusLine()->part(1)->setText(u"10 zobrazovaných, 200 vyhledávaných"_s);
    Host host(p, inTabs, designed);
    QCOMPARE(host.window->size(), designed);
    QVERIFY(p->minimumSizeHint().boundedTo(p->size()) == p->minimumSizeHint());
    const QStringList problems = untidy(p);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

    QCOMPARE(p->recordLabel()->size(), kRecordLabelSize);
    if (auto* personal = qobject_cast<PersonalPage*>(p))
        QCOMPARE(personal->alphabetBar()->width(), AlphabetBar::kWidth);
    const QRect record = rectIn(p->recordLabel(), p);
    QVERIFY(record.right() >= p->width() - 10);
    for (QLineEdit* box : p->findChildren<QLineEdit*>())
        if (!box->parentWidget()->inherits("QComboBox")) QVERIFY(rectIn(box, p).right() < record.left());

    const QRect grid = rectIn(p->grid(), p);
    QVERIFY(grid.left() <= 8 && grid.right() >= p->width() - 9);
    QVERIFY2(grid.height() >= 150, qPrintable(QString::number(grid.height())));
    const QRect status = rectIn(p->statusLine(), p);
    QVERIFY(status.top() > grid.bottom());
    QVERIFY(status.bottom() >= p->height() - 4);
    for (QWidget* w : visibleControls(p))
        if (w != p->grid() && !p->statusLine()->isAncestorOf(w))
            QVERIFY2(rectIn(w, p).bottom() < grid.top(), qPrintable(describe(w)));
    const QStringList statusProblems = statusLineProblems(p->statusLine());
    QVERIFY2(statusProblems.isEmpty(), qPrintable(statusProblems.join(u'\n')));
    // The counts fit their part, also after the limits summary was set before
    // the first layout.
    QVERIFY(showsWhole(p->statusLine()->part(0), countsText(page, 1234, 567)));
}

void TestResultPages::gridTakesExtraHeight_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("box"); // one that widens
    QTest::newRow("osoby") << u"osoby"_s << u"prijmeni"_s;
    QTest::newRow("firmy") << u"firmy"_s << u"firma"_s;
    QTest::newRow("vlastni") << u"vlastni"_s << u"prijmeni_v"_s;
}

// A larger window gives the extra height to the grid and the extra width to
// the boxes and the grid; the record label keeps its size.
void TestResultPages::gridTakesExtraHeight() {
    QFETCH(QString, page);
    QFETCH(QString, box);
    useProgramFont(programFontFamilies().value(0));
    ResultPage* p = makePage(page);
    Host host(p, false, QSize(752, 431));
    const QSize grid = p->grid()->size();
    auto* widening = p->findChild<QLineEdit*>(box);
    QVERIFY(widening);
    const int boxWidth = widening->width();
    host.resize(QSize(1000, 700));
    QCOMPARE(p->grid()->size(), grid + QSize(248, 269));
    QVERIFY(widening->width() > boxWidth);
    QCOMPARE(p->recordLabel()->size(), kRecordLabelSize);
    QVERIFY(untidy(p).isEmpty());
}

QTEST_MAIN(TestResultPages)
#include "tst_resultpages.moc"
