#include "LayoutChecks.h"

#include "DataGrid.h"

#include <QHeaderView>
#include <QTest>

#include <numeric>

using namespace layout_checks;

class TestDataGrid : public QObject {
    Q_OBJECT
  private slots:
    void columnsFillWidth_data();
    void columnsFillWidth();
    void draggedColumnKeepsRightEdge();
    void columnOf();
};

namespace {

const QList<DataGrid::Column> kColumns{
    {QStringLiteral("Zn"), QStringLiteral("+/-"), 30, Qt::AlignHCenter},
    {QStringLiteral("Jmeno"), QStringLiteral("Jméno"), 90, Qt::AlignLeft},
    {QStringLiteral("Prijmeni"), QStringLiteral("Příjmení"), 120, Qt::AlignLeft},
    {QStringLiteral("tel"), QStringLiteral("Telefon"), 60, Qt::AlignLeft},
};

QList<int> sectionSizes(const DataGrid& grid) {
    QList<int> sizes;
    for (int i = 0; i < grid.horizontalHeader()->count(); ++i)
        sizes << grid.horizontalHeader()->sectionSize(i);
    return sizes;
}

int sum(const QList<int>& sizes) {
    return std::accumulate(sizes.begin(), sizes.end(), 0);
}

} // namespace

void TestDataGrid::columnsFillWidth_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("designed") << 320;
    QTest::newRow("narrow") << 150;
    QTest::newRow("wide") << 1200;
}

// Whatever the grid's width, the columns end exactly at the right edge of the
// rows, each in the proportion of its designed width.
void TestDataGrid::columnsFillWidth() {
    QFETCH(int, width);
    DataGrid grid;
    grid.setColumns(kColumns);
    grid.resize(width, 200);
    grid.show();
    QApplication::processEvents();

    const QList<int> sizes = sectionSizes(grid);
    const int available = grid.viewport()->width();
    QCOMPARE(sum(sizes), available);
    for (int i = 0; i < kColumns.size(); ++i) {
        const double share = double(kColumns[i].width) / 300.0 * available;
        QVERIFY2(qAbs(sizes[i] - share) <= 1.0,
                 qPrintable(QStringLiteral("column %1: %2 for %3").arg(i).arg(sizes[i]).arg(share)));
    }
    QCOMPARE(captionOf(&grid), QStringLiteral("+/-|Jméno|Příjmení|Telefon"));
}

// Dragging a column's edge leaves the columns before it alone and lets the
// ones after it share the rest; the new proportions stay when the grid grows.
void TestDataGrid::draggedColumnKeepsRightEdge() {
    DataGrid grid;
    grid.setColumns(kColumns);
    grid.resize(400, 200);
    grid.show();
    QApplication::processEvents();
    const QList<int> before = sectionSizes(grid);

    grid.horizontalHeader()->resizeSection(1, before[1] + 40);
    QList<int> after = sectionSizes(grid);
    QCOMPARE(after[0], before[0]);
    QCOMPARE(after[1], before[1] + 40);
    QCOMPARE(sum(after), grid.viewport()->width());
    QVERIFY(after[2] < before[2] && after[3] < before[3]);

    // The last column always reaches the edge.
    grid.horizontalHeader()->resizeSection(3, after[3] + 50);
    QCOMPARE(sectionSizes(grid), after);

    const double ratio = double(after[1]) / after[2];
    grid.resize(800, 200);
    QApplication::processEvents();
    const QList<int> wider = sectionSizes(grid);
    QCOMPARE(sum(wider), grid.viewport()->width());
    QVERIFY(qAbs(double(wider[1]) / wider[2] - ratio) < 0.05);
}

void TestDataGrid::columnOf() {
    DataGrid grid;
    grid.setColumns(kColumns);
    QCOMPARE(grid.columnOf(QStringLiteral("prijmeni")), 2);
    QCOMPARE(grid.columnOf(QStringLiteral("TEL")), 3);
    QCOMPARE(grid.columnOf(QStringLiteral("Obec")), -1);
}

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
