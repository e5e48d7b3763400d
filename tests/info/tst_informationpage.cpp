#include "../grids/LayoutChecks.h"

#include "DataGrid.h"
#include "InformationPage.h"

#include <QTest>

using namespace layout_checks;

class TestInformationPage : public QObject {
    Q_OBJECT
  private slots:
    void controls_data();
    void controls();
    void fitsDesignedSize_data();
    void fitsDesignedSize();
    void gridTakesExtraHeight();
};

void TestInformationPage::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("checked");

    auto row = [](const char* name, const char* type, const char* caption, bool checked = false) {
        QTest::newRow(name) << QString::fromUtf8(name) << QByteArray(type) << QString::fromUtf8(caption)
                            << checked;
    };
    // clang-format off
    row("informace", "QWidget", "");
    row("Edit1", "QLineEdit", "Hledat");
    row("ComboBox1", "QComboBox", "Sloupec");
    row("RadioButton4", "QRadioButton", "INTERNETOVÉ &ADRESY", true);
    row("RadioButton1", "QRadioButton", "&ZELENÉ LINKY");
    row("RadioButton2", "QRadioButton", "P&SČ");
    row("RadioButton3", "QRadioButton", "&MEZINÁRODNÍ PŘEDVOLBY");
    row("button18", "QPushButton", "&Hledej");
    row("Button10", "QPushButton", "O&tevři");
    row("DBGridPro3", "DataGrid", "");
    row("zaznamu_i", "QLabel", "Celkový počet záznamů: 0");
    // clang-format on
}

void TestInformationPage::controls() {
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QFETCH(QString, caption);
    QFETCH(bool, checked);

    InformationPage p;
    QWidget* w = p.objectName() == name ? &p : nullptr;
    if (!w) {
        const auto found = p.findChildren<QWidget*>(name);
        QCOMPARE(found.size(), 1);
        w = found.first();
    }
    QVERIFY2(w->inherits(type), w->metaObject()->className());
    QCOMPARE(captionOf(w), caption);
    if (auto* radio = qobject_cast<QRadioButton*>(w)) QCOMPARE(radio->isChecked(), checked);
    if (auto* combo = qobject_cast<QComboBox*>(w)) QVERIFY(combo->isEditable());
}

void TestInformationPage::fitsDesignedSize_data() {
    addFitRows();
}

void TestInformationPage::fitsDesignedSize() {
    QFETCH(bool, inTabs);
    QFETCH(QString, font);
    useProgramFont(font);

    const QSize designed(752, 431);
    auto* p = new InformationPage;
    Host host(p, inTabs, designed);
    QCOMPARE(host.window->size(), designed);
    QVERIFY(p->minimumSizeHint().boundedTo(p->size()) == p->minimumSizeHint());
    const QStringList problems = untidy(p);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

    const QRect grid = rectIn(p->grid(), p);
    QVERIFY(grid.left() <= 8 && grid.right() >= p->width() - 9);
    QVERIFY2(grid.height() >= 150, qPrintable(QString::number(grid.height())));
    const QRect count = rectIn(p->recordCount(), p);
    QVERIFY(count.top() > grid.bottom());
    QVERIFY(count.bottom() >= p->height() - 4);
    for (QWidget* w : visibleControls(p))
        if (w != p->grid() && w != p->recordCount())
            QVERIFY2(rectIn(w, p).bottom() < grid.top(), qPrintable(describe(w)));
}

void TestInformationPage::gridTakesExtraHeight() {
    useProgramFont(programFontFamilies().value(0));
    auto* p = new InformationPage;
    Host host(p, false, QSize(752, 431));
    const QSize grid = p->grid()->size();
    host.resize(QSize(1000, 700));
    QCOMPARE(p->grid()->size(), grid + QSize(248, 269));
    QVERIFY(untidy(p).isEmpty());
}

QTEST_MAIN(TestInformationPage)
#include "tst_informationpage.moc"
