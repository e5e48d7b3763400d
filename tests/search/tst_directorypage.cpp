#include "../grids/LayoutChecks.h"

#include "DataGrid.h"
#include "DirectoryPage.h"
#include "PageWidgets.h"

#include <QComboBox>
#include <QTest>

using namespace layout_checks;

class TestDirectoryPage : public QObject {
    Q_OBJECT
  private slots:
    void controls_data();
    void controls();
    void regions_data();
    void regions();
    void fitsDesignedSize_data();
    void fitsDesignedSize();
    void gridTakesExtraHeight_data();
    void gridTakesExtraHeight();
};

namespace {

DirectoryPageDescription descriptionFor(const QString& page) {
    return page == u"osoby" ? DirectoryPageDescription::persons() : DirectoryPageDescription::firms();
}

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

void TestDirectoryPage::controls_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("enabled");

    auto row = [](const char* page, const char* name, const char* type, const char* caption,
                  const char* toolTip, bool enabled = true) {
        QTest::addRow("%s %s", page, name)
            << u8(page) << u8(name) << QByteArray(type) << u8(caption) << u8(toolTip) << enabled;
    };
    const char* star = "  * ";
    const char* starTip = "automaticky doplňovat zástupný znak *";
    const char* endTip = "Indikátor stavu konce vyhledávání";
    // clang-format off
    row("osoby", "osoby", "QWidget", "", "");
    row("osoby", "prijmeni", "QLineEdit", "Příjmení", "Ctrl + P");
    row("osoby", "jmeno", "QLineEdit", "Jméno", "Ctrl + J");
    row("osoby", "ulice", "QLineEdit", "Ulice, ČP", "Ctrl + U");
    row("osoby", "cp", "QLineEdit", "", "Ctrl + L");
    row("osoby", "mesto", "QLineEdit", "Obec", "Ctrl + O");
    row("osoby", "psc", "QLineEdit", "PSČ", "Ctrl + S");
    row("osoby", "tel", "QLineEdit", "Telefon", "Ctrl + T");
    row("osoby", "ComboBox2", "QComboBox", "Kraj", "Ctrl + B");
    row("osoby", "Label8", "QLabel", star, starTip);
    row("osoby", "Label15", "QLabel", star, starTip);
    row("osoby", "Label28", "QLabel", star, starTip);
    row("osoby", "Button1", "QPushButton", "&Hledej", "");
    row("osoby", "Button3", "QPushButton", "&Nuluj", "");
    row("osoby", "Button7", "QPushButton", "&Export", "");
    row("osoby", "Button20", "QPushButton", "&Tisk", "");
    row("osoby", "Button16", "QPushButton", "&STOP", "", false);
    row("osoby", "Button11", "QPushButton", "<&<<", "", false);
    row("osoby", "Button12", "QPushButton", ">&>>", "", false);
    row("osoby", "Button2", "QPushButton", "&Konec", "");
    row("osoby", "Label18", "QLabel", "oOo", endTip);
    row("osoby", "Memo1", "QPlainTextEdit", "", "");
    row("osoby", "Image1", "QLabel", "", "Kopíruj vše do schránky");
    row("osoby", "Image2", "QLabel", "", "Kopíruj číslo do schránky");
    row("osoby", "Image7", "QLabel", "", "Kopíruj adresu do schránky");
    row("osoby", "Image5", "QLabel", "", "Přenes aktuální záznam do vlastní databáze");
    row("osoby", "DBGridPro1", "DataGrid", "+/-|č.|Titul|Jméno|Příjmení|Ulice|ČP|Obec|Část|PSČ|Telefon", "");
    row("osoby", "dones_o", "QLabel", "", "");
    row("osoby", "status_o", "QLabel", "", "");
    row("osoby", "celkem_o", "QLabel", "Celkový počet telefonů: 2 425 638 ", "");

    row("firmy", "firmy", "QWidget", "", "");
    row("firmy", "firma", "QLineEdit", "Firma", "Ctrl + F");
    row("firmy", "poznamka", "QLineEdit", "Poznámka", "Ctrl + J");
    row("firmy", "ulice_f", "QLineEdit", "Ulice, ČP", "Ctrl + U");
    row("firmy", "cp_f", "QLineEdit", "", "Ctrl + L");
    row("firmy", "mesto_f", "QLineEdit", "Obec", "Ctrl + O");
    row("firmy", "psc_f", "QLineEdit", "PSČ", "Ctrl + S");
    row("firmy", "tel_f", "QLineEdit", "Telefon", "Ctrl + T");
    row("firmy", "ComboBox3", "QComboBox", "Kraj", "Ctrl + B");
    row("firmy", "Label17", "QLabel", star, starTip);
    row("firmy", "Label31", "QLabel", star, starTip);
    row("firmy", "Label29", "QLabel", star, starTip);
    row("firmy", "Button6", "QPushButton", "&Hledej", "");
    row("firmy", "Button5", "QPushButton", "&Nuluj", "");
    row("firmy", "Button9", "QPushButton", "&Export", "");
    row("firmy", "Button21", "QPushButton", "&Tisk", "");
    row("firmy", "Button17", "QPushButton", "&STOP", "", false);
    row("firmy", "Button13", "QPushButton", "<&<<", "", false);
    row("firmy", "Button14", "QPushButton", ">&>>", "", false);
    row("firmy", "Button15", "QPushButton", "&Konec", "");
    row("firmy", "Label19", "QLabel", "oOo", endTip);
    row("firmy", "Memo2", "QPlainTextEdit", "", "");
    row("firmy", "Image3", "QLabel", "", "Kopíruj vše do schránky");
    row("firmy", "Image4", "QLabel", "", "Kopíruj číslo do schránky");
    row("firmy", "Image8", "QLabel", "", "Kopíruj adresu do schránky");
    row("firmy", "Image6", "QLabel", "", "Přenes aktuální záznam do vlastní databáze");
    row("firmy", "DBGridPro2", "DataGrid", "+/-|č.|Firma|Poznámka|Ulice|ČP|Obec|Část|PSČ|Telefon", "");
    row("firmy", "dones_f", "QLabel", "", "");
    row("firmy", "status_f", "QLabel", "", "");
    row("firmy", "celkem_f", "QLabel", "Celkový počet telefonů: 780 397 ", "");
    // clang-format on
}

void TestDirectoryPage::controls() {
    QFETCH(QString, page);
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(bool, enabled);

    DirectoryPage p(descriptionFor(page));
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

void TestDirectoryPage::regions_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("switchesOn");
    QTest::addColumn<QStringList>("switchesOff");
    QTest::newRow("persons") << u8("osoby") << u8("ComboBox2") << QStringList{u8("Label28")}
                             << QStringList{u8("Label8"), u8("Label15")};
    QTest::newRow("firms") << u8("firmy") << u8("ComboBox3") << QStringList{u8("Label17"), u8("Label29")}
                           << QStringList{u8("Label31")};
}

// The region drop-down's items and the switches' starting states.
void TestDirectoryPage::regions() {
    QFETCH(QString, page);
    QFETCH(QString, box);
    QFETCH(QStringList, switchesOn);
    QFETCH(QStringList, switchesOff);

    DirectoryPage p(descriptionFor(page));
    auto* combo = p.findChild<QComboBox*>(box);
    QVERIFY(combo);
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->maxVisibleItems(), 15);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    const QStringList expected{u8("všechny kraje"), u8("Hl.m. Praha"),     u8("Jihočeský"),
                               u8("Jihomoravský"),  u8("Karlovarský"),     u8("Královéhradecký"),
                               u8("Liberecký"),     u8("Moravskoslezský"), u8("Olomoucký"),
                               u8("Pardubický"),    u8("Plzeňský"),        u8("Středočeský"),
                               u8("Ústecký"),       u8("Vysočina"),        u8("Zlínský")};
    QCOMPARE(items, expected);
    QCOMPARE(combo->currentIndex(), 0);

    auto colour = [&p](const QString& name) {
        auto* s = p.findChild<QLabel*>(name);
        return s ? s->palette().color(QPalette::WindowText) : QColor();
    };
    for (const QString& name : switchesOn)
        QCOMPARE(colour(name), QColor(128, 0, 0));
    for (const QString& name : switchesOff)
        QCOMPARE(colour(name), QColor(192, 192, 192));
    QCOMPARE(colour(p.description().endIndicator), QColor(192, 192, 192));
}

void TestDirectoryPage::fitsDesignedSize_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("inTabs");
    QTest::addColumn<QString>("font");
    for (const char* page : {"osoby", "firmy"})
        for (bool inTabs : {false, true})
            for (const QString& family : programFontFamilies())
                QTest::addRow("%s, %s, %s", page, inTabs ? "in tabs" : "alone", qPrintable(family))
                    << u8(page) << inTabs << family;
}

// At the designed client size, alone or under the main window's tabs, the page
// keeps that size, shows every control whole and without overlaps, the record
// label at its designed size right of the boxes, the grid across the width
// under the rest and the status line at the foot.
void TestDirectoryPage::fitsDesignedSize() {
    QFETCH(QString, page);
    QFETCH(bool, inTabs);
    QFETCH(QString, font);
    useProgramFont(font);

    const QSize designed(752, 431);
    auto* p = new DirectoryPage(descriptionFor(page));
    // The program sets the limits summary before the page is first laid out.
    p->statusLine()->part(1)->setText(u8("10 zobrazovaných, 200 vyhledávaných"));
    Host host(p, inTabs, designed);
    QCOMPARE(host.window->size(), designed);
    QVERIFY(p->minimumSizeHint().boundedTo(p->size()) == p->minimumSizeHint());
    const QStringList problems = untidy(p);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

    QCOMPARE(p->recordLabel()->size(), kRecordLabelSize);
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
    QVERIFY(showsWhole(p->statusLine()->part(0), DirectoryPage::countsText(1234, 567)));
}

void TestDirectoryPage::gridTakesExtraHeight_data() {
    QTest::addColumn<QString>("page");
    QTest::newRow("persons") << u8("osoby");
    QTest::newRow("firms") << u8("firmy");
}

// A larger window gives the extra height to the grid and the extra width to
// the boxes and the grid; the record label keeps its size.
void TestDirectoryPage::gridTakesExtraHeight() {
    QFETCH(QString, page);
    useProgramFont(programFontFamilies().value(0));
    auto* p = new DirectoryPage(descriptionFor(page));
    Host host(p, false, QSize(752, 431));
    const QSize grid = p->grid()->size();
    const int name = p->field(DirectoryPage::Field::Name)->width();
    host.resize(QSize(1000, 700));
    QCOMPARE(p->grid()->size(), grid + QSize(248, 269));
    QVERIFY(p->field(DirectoryPage::Field::Name)->width() > name);
    QCOMPARE(p->recordLabel()->size(), kRecordLabelSize);
    QVERIFY(untidy(p).isEmpty());
}

QTEST_MAIN(TestDirectoryPage)
#include "tst_directorypage.moc"
