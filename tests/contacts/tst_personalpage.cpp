#include "../grids/LayoutChecks.h"

#include "AlphabetBar.h"
#include "DataGrid.h"
#include "PageWidgets.h"
#include "PersonalPage.h"
#include "PersonalStatus.h"

#include <QTest>

using namespace layout_checks;

class TestPersonalPage : public QObject {
    Q_OBJECT
  private slots:
    void controls_data();
    void controls();
    void switches();
    void fitsDesignedSize_data();
    void fitsDesignedSize();
    void gridTakesExtraHeight();
    void markColumnKeepsItsWidth_data();
    void markColumnKeepsItsWidth();
};

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

void TestPersonalPage::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("enabled");

    auto row = [](const char* name, const char* type, const char* caption, const char* toolTip,
                  bool enabled = true) {
        QTest::newRow(name) << u8(name) << QByteArray(type) << u8(caption) << u8(toolTip) << enabled;
    };
    const char* star = "  * ";
    const char* starTip = "automaticky doplňovat zástupný znak *";
    // clang-format off
    row("vlastni", "QWidget", "", "");
    row("prijmeni_v", "QLineEdit", "Příjmení", "Ctrl + P");
    row("jmeno_v", "QLineEdit", "Jméno", "Ctrl + J");
    row("firma_v", "QLineEdit", "Firma", "Ctrl + F");
    row("ulice_v", "QLineEdit", "Ulice, ČP", "Ctrl + U");
    row("cp_v", "QLineEdit", "", "Ctrl + L");
    row("mesto_v", "QLineEdit", "Obec", "Ctrl + O");
    row("psc_v", "QLineEdit", "PSČ", "Ctrl + S");
    row("tel_v", "QLineEdit", "Telefon", "Ctrl + T");
    row("Label47", "QLabel", star, starTip);
    row("Label59", "QLabel", star, starTip);
    row("Label50", "QLabel", star, starTip);
    row("Label52", "QLabel", star, starTip);
    row("BitBtn3", "QPushButton", "&Hledej", "");
    row("BitBtn5", "QPushButton", "&Nuluj", "");
    row("BitBtn7", "QPushButton", "&Export", "");
    row("BitBtn4", "QPushButton", "&Tisk", "");
    row("BitBtn6", "QPushButton", "&STOP", "", false);
    row("Button4", "QPushButton", "<&<<", "", false);
    row("Button8", "QPushButton", ">&>>", "", false);
    row("BitBtn9", "QPushButton", "I&mport", "");
    row("BitBtn8", "QPushButton", "&Konec", "");
    row("Image17", "QLabel", "", "");
    row("Image18", "QLabel", "", "Všechny záznamy");
    row("Image13", "QLabel", "", "Upravit záznam");
    row("Image15", "QLabel", "", "Nový záznam");
    row("Image16", "QLabel", "", "Smazat záznam");
    row("Image14", "QLabel", "", "Smazat označené záznamy");
    row("Image10", "QLabel", "", "Kopíruj adresu do schránky");
    row("Image9", "QLabel", "", "Kopíruj číslo do schránky");
    row("Image11", "QLabel", "", "Kopíruj vše do schránky");
    row("Memo3", "QPlainTextEdit", "", "");
    row("DBGridPro4", "DataGrid", "+/-|Jméno|Příjmení|Firma|Telefon mobil|Telefon domů|Telefon firma", "");
    row("dones_v", "QLabel", "", "");
    row("status_v", "QLabel", "", "");
    row("Label57", "QLabel", "Celkový počet záznamů: 0  ", "");
    // clang-format on
}

void TestPersonalPage::controls() {
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(bool, enabled);

    PersonalPage p;
    QWidget* w = p.objectName() == name ? &p : nullptr;
    if (!w) {
        const auto found = p.findChildren<QWidget*>(name);
        QCOMPARE(found.size(), 1);
        w = found.first();
    }
    QVERIFY2(w->inherits(type), w->metaObject()->className());
    QCOMPARE(captionOf(w), caption);
    QCOMPARE(w->toolTip(), toolTip);
    QCOMPARE(w->isEnabled(), enabled);
}

// Only the town's switch starts on.
void TestPersonalPage::switches() {
    PersonalPage p;
    for (const char* name : {"Label47", "Label59", "Label50", "Label52"}) {
        auto* s = p.findChild<WildcardSwitch*>(QString::fromLatin1(name));
        QVERIFY(s);
        const bool on = qstrcmp(name, "Label52") == 0;
        QCOMPARE(s->isOn(), on);
        QCOMPARE(s->palette().color(QPalette::WindowText), on ? QColor(128, 0, 0) : QColor(192, 192, 192));
    }
}

void TestPersonalPage::fitsDesignedSize_data() {
    addFitRows();
}

// At the designed client size the page keeps that size and shows every
// control whole and without overlaps: the record label right of the boxes,
// the alphabet bar at its full width, the grid across the width under the rest
// and the status line at the foot.
void TestPersonalPage::fitsDesignedSize() {
    QFETCH(bool, inTabs);
    QFETCH(QString, font);
    useProgramFont(font);

    const QSize designed(752, 431);
    auto* p = new PersonalPage;
    // The program sets the limits summary before the page is first laid out.
    p->statusLine()->part(1)->setText(u8("10 zobrazovaných, 200 vyhledávaných"));
    Host host(p, inTabs, designed);
    QCOMPARE(host.window->size(), designed);
    QVERIFY(p->minimumSizeHint().boundedTo(p->size()) == p->minimumSizeHint());
    const QStringList problems = untidy(p);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

    QCOMPARE(p->recordLabel()->size(), kRecordLabelSize);
    QCOMPARE(p->alphabetBar()->width(), AlphabetBar::kWidth);
    const QRect record = rectIn(p->recordLabel(), p);
    QVERIFY(record.right() >= p->width() - 10);
    for (QLineEdit* box : p->findChildren<QLineEdit*>())
        QVERIFY(rectIn(box, p).right() < record.left());

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
    QVERIFY(showsWhole(p->statusLine()->part(0), personal_status::counts(1234, 567)));
}

void TestPersonalPage::gridTakesExtraHeight() {
    useProgramFont(programFontFamilies().value(0));
    auto* p = new PersonalPage;
    Host host(p, false, QSize(752, 431));
    const QSize grid = p->grid()->size();
    host.resize(QSize(1000, 700));
    QCOMPARE(p->grid()->size(), grid + QSize(248, 269));
    QCOMPARE(p->recordLabel()->size(), kRecordLabelSize);
    QVERIFY(untidy(p).isEmpty());
}

void TestPersonalPage::markColumnKeepsItsWidth_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("defaultColumns");
    for (bool defaults : {false, true}) {
        const char* set = defaults ? "default columns" : "start columns";
        QTest::addRow("designed, %s", set) << QSize(752, 431) << defaults;
        QTest::addRow("wide, %s", set) << QSize(1400, 700) << defaults;
    }
}

// The mark column of the grid stays 30 pixels wide at any size of the page,
// also in the default column set; the other columns fill the rest.
void TestPersonalPage::markColumnKeepsItsWidth() {
    QFETCH(QSize, size);
    QFETCH(bool, defaultColumns);
    useProgramFont(programFontFamilies().value(0));
    auto* p = new PersonalPage;
    Host host(p, false, QSize(752, 431));
    if (defaultColumns) p->restoreDefaultColumns();
    host.resize(size);
    DataGrid* grid = p->grid();
    QCOMPARE(grid->columnWidth(0), 30);
    int total = 0;
    for (int i = 0; i < grid->columns().size(); ++i)
        total += grid->columnWidth(i);
    QCOMPARE(total, grid->viewport()->width());
}

QTEST_MAIN(TestPersonalPage)
#include "tst_personalpage.moc"
