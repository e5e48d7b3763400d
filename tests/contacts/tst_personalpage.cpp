#include "../grids/LayoutChecks.h"

#include "DataGrid.h"
#include "PersonalPage.h"

#include <QTest>

using namespace layout_checks;

// What only the Vlastní page has; what all result pages share is tested over
// every page in tst_resultpages.
class TestPersonalPage : public QObject {
    Q_OBJECT
  private slots:
    void markColumnKeepsItsWidth_data();
    void markColumnKeepsItsWidth();
};

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
