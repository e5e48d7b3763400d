// Every text of every window shows whole in the program's font at the
// windows' designed sizes, and the grid columns of fixed-format values hold
// the longest such value.

#include "MainWindowFixture.h"
#include "ProgramFont.h"
#include "ToolWindow.h"
#include "grids/LayoutChecks.h"

#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QWindow>

using namespace Qt::StringLiterals;

using namespace app_test;
using namespace layout_checks;

namespace {} // namespace

class TestTextsFit : public MainWindowTest {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyWindowIsWalked();
    void textsShowWhole_data();
    void textsShowWhole();
    void fixedFormatValuesFit_data();
    void fixedFormatValuesFit();
    void toolWindows_data();
    void toolWindows();

  private:
    std::unique_ptr<MainWindow> m_window;
};

void TestTextsFit::initTestCase() {
    const QString family = platform::designedFontFamily();
    QVERIFY2(QFontDatabase::hasFamily(family),
             qPrintable(u"The font family \"%1\" is not installed; scripts/lib.sh lists its package."_s.arg(
                 family)));
    useProgramFont();
    QVERIFY2(QFontInfo(QApplication::font()).family().startsWith(family),
             qPrintable(QFontInfo(QApplication::font()).family()));
    // The Czech letters and quotes come from the font itself, not from a
    // substitute of other widths.
    const QFontMetrics metrics(QApplication::font());
    for (const QChar ch : u"áčďéěíňóřšťúůýžÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ„“"_s)
        QVERIFY2(metrics.inFont(ch), qPrintable(QString(ch)));

    resetProgram();
    m_window = start();
    QVERIFY(m_window->startedOk());
    // The windows made when first needed are walked as well.
    m_window->shortcutList();
    m_window->importDialog();
    m_window->contactEditor();
    // Each result page shows a page of rows with its counts.
    listPage(*m_window, 0);
    listPage(*m_window, 1);
    listPage(
        *m_window, 2,
        {u"INSERT INTO Vlastni (Prijmeni, Jmeno_1, Tel_1) VALUES (\"Bílá\", \"Žofie\", \"602123456\")"_s});
}

void TestTextsFit::cleanupTestCase() {
    m_window.reset();
}

// The walk covers every window the main window owns.
void TestTextsFit::everyWindowIsWalked() {
    QStringList owned, walked;
    for (QDialog* d : m_window->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        owned << d->objectName();
    for (const ShownWindow& shown : everyWindow())
        if (qstrlen(shown.name) > 1) walked << QString::fromUtf8(shown.name);
    owned.sort();
    walked.sort();
    QCOMPARE(owned, walked);
}

void TestTextsFit::textsShowWhole_data() {
    addEveryWindowRows();
}

// Labels, buttons, box titles, tabs, list items, status parts and column
// titles show their texts whole, measured with each control's own font.
void TestTextsFit::textsShowWhole() {
    QFETCH(QString, name);
    QFETCH(QString, choice);
    QWidget* window = showWindow(*m_window, name, choice);
    QVERIFY(window);
    const QStringList cuts = cutTexts(window, QString::fromUtf8(QTest::currentDataTag()));
    QVERIFY2(cuts.isEmpty(),
             qPrintable(u"window / control / text / needed / available\n"_s + cuts.join(u'\n')));
}

void TestTextsFit::fixedFormatValuesFit_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    // The longest values of each kind: a grouped nine-digit number, a house
    // number with an orientation number, a split postal code.
    const auto phone = u"203 352 111"_s, house = u"1234/56"_s, postal = u"123 45"_s;
    QTest::newRow("persons, telefon") << 0 << u"tel"_s << phone;
    QTest::newRow("persons, ČP") << 0 << u"CP"_s << house;
    QTest::newRow("persons, PSČ") << 0 << u"PSC"_s << postal;
    QTest::newRow("firms, telefon") << 1 << u"Tel"_s << phone;
    QTest::newRow("firms, ČP") << 1 << u"CP"_s << house;
    QTest::newRow("firms, PSČ") << 1 << u"PSC"_s << postal;
    QTest::newRow("personal, mobil") << 2 << u"tel_1"_s << phone;
    QTest::newRow("personal, domů") << 2 << u"tel_3"_s << phone;
    QTest::newRow("personal, firma") << 2 << u"tel_5"_s << phone;
}

// At the designed size and the default column set, the columns of values of
// a fixed format hold the longest of them.
void TestTextsFit::fixedFormatValuesFit() {
    QFETCH(int, tab);
    QFETCH(QString, column);
    QFETCH(QString, value);
    showWindow(*m_window, QString::number(tab));
    DataGrid* grid = partsOf(*m_window, tab).grid;
    const int index = grid->columnOf(column);
    QVERIFY(grid->isColumnShown(index));
    const int needed = grid->fontMetrics().horizontalAdvance(value);
    const int available = cellTextRoom(grid, index);
    QVERIFY2(needed <= available, qPrintable(u"\"%1\" needs %2 pixels, the column gives %3"_s.arg(
                                      value, QString::number(needed), QString::number(available))));
}

void TestTextsFit::toolWindows_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"Form2", "Form3", "Form5", "Form6", "Form7", "Form9", "Form11", "Form12"})
        QTest::newRow(name) << QString::fromUtf8(name);
}

// The tool windows ask the window manager for a title bar with the close box
// only, and keep the size they are shown at, so that no manager offers to
// maximize or resize them.
void TestTextsFit::toolWindows() {
    QFETCH(QString, name);
    QWidget* window = showWindow(*m_window, name);
    QVERIFY(window);
    const Qt::WindowFlags flags = window->windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
    const Qt::WindowFlags asked = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    QCOMPARE(flags & asked, asked);
    // (Qt adds the system menu that goes with a close box.)
    const Qt::WindowFlags others =
        Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint;
    QCOMPARE(flags & others, Qt::WindowFlags());
    QCOMPARE(window->minimumSize(), window->size());
    QCOMPARE(window->maximumSize(), window->size());
    QVERIFY(window->windowHandle());
    QCOMPARE(window->windowHandle()->minimumSize(), window->windowHandle()->maximumSize());
    // Wide enough for the caption beside the title bar's buttons.
    QVERIFY2(window->width() >= platform::captionRoom(window->windowTitle()),
             qPrintable(QString::number(window->width())));
}

QTEST_MAIN(TestTextsFit)
#include "tst_textsfit.moc"
