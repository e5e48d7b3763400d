#include "LayoutChecks.h"
#include "WorkingTable.h"

#include "DataGrid.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <numeric>

using namespace layout_checks;

class TestDataGrid : public QObject {
    Q_OBJECT
  private slots:
    void columnsFillWidth_data();
    void columnsFillWidth();
    void draggedColumnKeepsRightEdge();
    void fixedColumnKeepsItsWidth_data();
    void fixedColumnKeepsItsWidth();
    void hiddenColumns_data();
    void hiddenColumns();
    void columnOf();
    void rowsAppearAsAppended();
    void clicks_data();
    void clicks();
    void contextMenu();
    void followsDataset_data();
    void followsDataset();
    void titleClicksCycleSortState_data();
    void titleClicksCycleSortState();
    void sortStatesByCode();
    void sortArrows();
    void markImages();
    void doubleClickAndPointer();
    void disabledDataLink();
    void failedMoveKeepsRow();
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

// A shown grid bound to a working table.
struct BoundGrid {
    WorkingTable table;
    DataGrid grid;

    explicit BoundGrid(const QStringList& names) : table(names) {
        grid.setColumns(kWorkingColumns);
        grid.resize(400, 300);
        grid.setDataset(&table.dataset);
        table.dataset.open();
        grid.show();
        QApplication::processEvents();
    }

    QPoint cell(int row, int column) const {
        return grid.visualRect(grid.model()->index(row, column)).center();
    }
    QString text(int row, int column) const { return grid.model()->index(row, column).data().toString(); }
    // The one selected row, -1 when none is (or more are).
    int selectedRow() const {
        const QModelIndexList rows = grid.selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    }
    QImage cellImage(int row, int column) const {
        return grid.viewport()->grab(grid.visualRect(grid.model()->index(row, column))).toImage();
    }
    void clickTitle(int column) {
        QHeaderView* header = grid.horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    QImage titleImage(int column) const {
        QHeaderView* header = grid.horizontalHeader();
        return header->viewport()
            ->grab(QRect(header->sectionViewportPosition(column), 0, header->sectionSize(column),
                         header->height()))
            .toImage();
    }
};

const QStringList kFour{"Jan", "Petr", "Eva", "Ota"};

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

void TestDataGrid::fixedColumnKeepsItsWidth_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("then");
    for (int width : {150, 1200})
        for (const char* then : {"", "drag", "hide", "new widths"})
            QTest::addRow("%d %s", width, then) << width << QString::fromLatin1(then);
}

// A column of fixed width keeps it at every width of the grid, whatever the
// user drags or the program hides; the others fill the rest in their proportions.
void TestDataGrid::fixedColumnKeepsItsWidth() {
    QFETCH(int, width);
    QFETCH(QString, then);
    QList<DataGrid::Column> columns = kColumns;
    columns[0].fixedWidth = true;
    DataGrid grid;
    grid.setColumns(columns);
    grid.resize(width, 200);
    grid.show();
    QApplication::processEvents();
    QHeaderView* header = grid.horizontalHeader();
    QList<int> shares{90, 120, 60};
    if (then == u"drag") {
        header->resizeSection(0, 80); // a column of fixed width cannot be dragged
        header->resizeSection(1, header->sectionSize(1) + 10);
        shares = {header->sectionSize(1), header->sectionSize(2), header->sectionSize(3)};
    } else if (then == u"hide") {
        grid.setColumnShown(2, false);
        shares = {90, 0, 60};
    } else if (then == u"new widths") {
        grid.setColumnWidths({60, 30, 30, 30});
        shares = {30, 30, 30};
    }
    const QList<int> sizes = sectionSizes(grid);
    const int available = grid.viewport()->width();
    QCOMPARE(sizes[0], 30);
    QCOMPARE(header->sectionResizeMode(0), QHeaderView::Fixed);
    QCOMPARE(sum(sizes), available);
    for (int i = 1; i < sizes.size(); ++i) {
        const double share = double(shares[i - 1]) / sum(shares) * (available - 30);
        QVERIFY2(qAbs(sizes[i] - share) <= 1.0,
                 qPrintable(QStringLiteral("column %1: %2 for %3").arg(i).arg(sizes[i]).arg(share)));
    }
}

void TestDataGrid::hiddenColumns_data() {
    QTest::addColumn<QString>("then");
    for (const char* then : {"show again", "new widths", "reopen", "new columns", "drag"})
        QTest::newRow(then) << QString::fromLatin1(then);
}

// Hidden columns give their width to the shown ones, which keep their
// proportions; the hidden state stays while the dataset is reopened and goes
// with new columns.
void TestDataGrid::hiddenColumns() {
    QFETCH(QString, then);
    BoundGrid g(kFour);
    DataGrid& grid = g.grid;
    grid.setColumnShown(2, false);
    grid.setColumnShown(9, false); // no such column
    QVERIFY(!grid.isColumnShown(2));
    QVERIFY(!grid.isColumnShown(9));
    const int available = grid.viewport()->width();
    auto checkShares = [&](const QList<int>& widths, const QList<int>& hidden) {
        const QList<int> sizes = sectionSizes(grid);
        QCOMPARE(sum(sizes), available);
        double total = 0;
        for (int i = 0; i < widths.size(); ++i)
            if (!hidden.contains(i)) total += widths[i];
        for (int i = 0; i < widths.size(); ++i) {
            const double share = hidden.contains(i) ? 0.0 : widths[i] / total * available;
            QVERIFY2(qAbs(sizes[i] - share) <= 1.0,
                     qPrintable(QStringLiteral("column %1: %2 for %3").arg(i).arg(sizes[i]).arg(share)));
        }
    };
    const QList<int> designed{30, 32, 85, 101, 71};
    checkShares(designed, {2});

    if (then == u"show again") {
        grid.setColumnShown(2, true);
        checkShares(designed, {});
    } else if (then == u"new widths") {
        grid.setColumnWidths({30, 30, 40, 90, 100});
        checkShares({30, 30, 40, 90, 100}, {2});
        grid.setColumnShown(2, true);
        checkShares({30, 30, 40, 90, 100}, {});
    } else if (then == u"reopen") {
        g.table.dataset.close();
        g.table.dataset.open();
        QApplication::processEvents();
        QVERIFY(!grid.isColumnShown(2));
        checkShares(designed, {2});
    } else if (then == u"new columns") {
        grid.setColumns(kWorkingColumns);
        QVERIFY(grid.isColumnShown(2));
        checkShares(designed, {});
    } else if (then == u"drag") {
        // Dragging the column before the hidden one: the shown ones after it share the rest.
        const QList<int> before = sectionSizes(grid);
        grid.horizontalHeader()->resizeSection(1, before[1] + 20);
        const QList<int> after = sectionSizes(grid);
        QCOMPARE(sum(after), available);
        QCOMPARE(after[1], before[1] + 20);
        QCOMPARE(after[2], 0);
        QVERIFY(after[3] < before[3] && after[4] < before[4]);
    }
}

void TestDataGrid::columnOf() {
    DataGrid grid;
    grid.setColumns(kColumns);
    QCOMPARE(grid.columnOf(QStringLiteral("prijmeni")), 2);
    QCOMPARE(grid.columnOf(QStringLiteral("TEL")), 3);
    QCOMPARE(grid.columnOf(QStringLiteral("Obec")), -1);
}

// Rows show up one by one while a fill appends them; the selection follows the
// dataset's new row without reporting a move of the user's.
void TestDataGrid::rowsAppearAsAppended() {
    BoundGrid g({});
    QSignalSpy moved(&g.grid, &DataGrid::currentRowChanged);
    QCOMPARE(g.grid.model()->rowCount(), 0);
    for (int i = 0; i < kFour.size(); ++i) {
        g.table.append(kFour[i], i % 2 == 0);
        QApplication::processEvents();
        QCOMPARE(g.grid.model()->rowCount(), i + 1);
        QCOMPARE(g.text(i, 2), kFour[i]);
        QCOMPARE(g.text(i, 1), QString::number(i + 1));
        QCOMPARE(g.selectedRow(), i);
    }
    QCOMPARE(moved.count(), 0);
}

void TestDataGrid::clicks_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("row"); // -1: below the last row
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("recNo");
    QTest::addColumn<int>("moves");
    QTest::addColumn<bool>("mark");

    QTest::newRow("mark column") << Qt::LeftButton << Qt::KeyboardModifiers() << 2 << 0 << 2 << 1 << true;
    QTest::newRow("mark column of the current row")
        << Qt::LeftButton << Qt::KeyboardModifiers() << 0 << 0 << 0 << 0 << true;
    QTest::newRow("name column") << Qt::LeftButton << Qt::KeyboardModifiers() << 2 << 2 << 2 << 1 << false;
    QTest::newRow("last column") << Qt::LeftButton << Qt::KeyboardModifiers() << 3 << 4 << 3 << 1 << false;
    QTest::newRow("right button in the mark column")
        << Qt::RightButton << Qt::KeyboardModifiers() << 1 << 0 << 1 << 1 << false;
    QTest::newRow("control with the current row")
        << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier) << 0 << 2 << 0 << 0 << false;
    QTest::newRow("mark column below the rows")
        << Qt::LeftButton << Qt::KeyboardModifiers() << -1 << 0 << 0 << 0 << false;
}

// A click moves the dataset to the clicked row; in the mark column the grid
// says so once the row is the dataset's current one.
void TestDataGrid::clicks() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, recNo);
    QFETCH(int, moves);
    QFETCH(bool, mark);

    BoundGrid g(kFour);
    QSignalSpy moved(&g.grid, &DataGrid::currentRowChanged);
    QList<int> markedAt; // the dataset's row when the mark click is reported
    connect(&g.grid, &DataGrid::markColumnClicked, &g.grid, [&] { markedAt << g.table.dataset.recNo(); });
    const QPoint at =
        row >= 0 ? g.cell(row, column) : QPoint(g.cell(3, column).x(), g.grid.viewport()->height() - 3);
    QTest::mouseClick(g.grid.viewport(), button, modifiers, at);
    QCOMPARE(g.table.dataset.recNo(), recNo);
    QCOMPARE(g.selectedRow(), recNo);
    QCOMPARE(moved.count(), moves);
    QCOMPARE(markedAt, mark ? QList<int>{recNo} : QList<int>{});
}

// The owner opens its own menu; the right button has selected the row by then.
void TestDataGrid::contextMenu() {
    BoundGrid g(kFour);
    QCOMPARE(g.grid.contextMenuPolicy(), Qt::CustomContextMenu);
    QList<int> rowsAt;
    connect(&g.grid, &QWidget::customContextMenuRequested, &g.grid,
            [&](const QPoint& pos) { rowsAt << g.grid.indexAt(pos).row() << g.table.dataset.recNo(); });
    const QPoint at = g.cell(2, 3);
    QTest::mousePress(g.grid.viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, g.grid.viewport()->mapToGlobal(at));
    QApplication::sendEvent(g.grid.viewport(), &menu);
    QTest::mouseRelease(g.grid.viewport(), Qt::RightButton, {}, at);
    QCOMPARE(rowsAt, (QList<int>{2, 2}));
}

void TestDataGrid::followsDataset_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("selected"); // -1: none
    QTest::addColumn<QString>("name"); // of the selected row

    QTest::newRow("open") << "" << 0 << "Jan";
    QTest::newRow("last") << "last" << 3 << "Ota";
    QTest::newRow("first after last") << "last first" << 0 << "Jan";
    QTest::newRow("locate") << "locate:Eva" << 2 << "Eva";
    QTest::newRow("move by") << "+1 +2" << 3 << "Ota";
    QTest::newRow("remove") << "+1 remove" << 1 << "Eva";
    QTest::newRow("remove the last row") << "last remove" << 2 << "Eva";
    QTest::newRow("past the end") << "last next" << -1 << "";
    QTest::newRow("close") << "close" << -1 << "";
    QTest::newRow("reopen") << "last close open" << 0 << "Jan";
}

// Moving the dataset by code selects its row, and the grid does not report it
// as a move of the user's.
void TestDataGrid::followsDataset() {
    QFETCH(QString, steps);
    QFETCH(int, selected);
    QFETCH(QString, name);

    BoundGrid g(kFour);
    QSignalSpy moved(&g.grid, &DataGrid::currentRowChanged);
    db::Dataset& ds = g.table.dataset;
    for (const QString& s : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (s == u"first")
            ds.first();
        else if (s == u"last")
            ds.last();
        else if (s == u"next")
            ds.next();
        else if (s == u"remove")
            ds.remove();
        else if (s == u"close")
            ds.close();
        else if (s == u"open")
            ds.open();
        else if (s.startsWith(u"locate:"))
            QVERIFY(ds.locate(QStringLiteral("Jmeno"), s.section(u':', 1)));
        else
            ds.moveBy(s.toInt());
        QApplication::processEvents();
    }
    QCOMPARE(g.selectedRow(), selected);
    QCOMPARE(g.grid.currentIndex().row(), selected);
    if (selected >= 0) QCOMPARE(g.text(selected, 2), name);
    QCOMPARE(g.grid.model()->rowCount(), ds.isOpen() ? ds.recordCount() : 0);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(sum(sectionSizes(g.grid)), g.grid.viewport()->width()); // still filling the width
}

void TestDataGrid::titleClicksCycleSortState_data() {
    QTest::addColumn<int>("clicks");
    QTest::addColumn<DataGrid::SortState>("state");
    QTest::newRow("once") << 1 << DataGrid::SortState::Ascending;
    QTest::newRow("twice") << 2 << DataGrid::SortState::Descending;
    QTest::newRow("three times") << 3 << DataGrid::SortState::None;
    QTest::newRow("four times") << 4 << DataGrid::SortState::Ascending;
}

// Title clicks cycle that column's state and report it; the rows stay in the
// dataset's order and the dataset stays where it was.
void TestDataGrid::titleClicksCycleSortState() {
    QFETCH(int, clicks);
    QFETCH(DataGrid::SortState, state);

    BoundGrid g(kFour);
    g.grid.setSortState(2, DataGrid::SortState::Descending);
    QSignalSpy changed(&g.grid, &DataGrid::sortStateChanged);
    for (int i = 0; i < clicks; ++i)
        g.clickTitle(3);
    QCOMPARE(changed.count(), clicks);
    QCOMPARE(changed.last().at(0).toInt(), 3);
    QCOMPARE(changed.last().at(1).value<DataGrid::SortState>(), state);
    QCOMPARE(g.grid.sortState(3), state);
    QCOMPARE(g.grid.sortState(2), DataGrid::SortState::Descending); // each column keeps its own
    QVERIFY(!g.grid.isSortingEnabled());
    QCOMPARE(g.text(0, 2), QStringLiteral("Jan"));
    QCOMPARE(g.table.dataset.recNo(), 0);
}

void TestDataGrid::sortStatesByCode() {
    DataGrid grid;
    grid.setColumns(kColumns);
    QSignalSpy changed(&grid, &DataGrid::sortStateChanged);
    grid.setSortState(1, DataGrid::SortState::Ascending);
    grid.setSortState(2, DataGrid::SortState::Descending);
    grid.setSortState(9, DataGrid::SortState::Ascending); // no such column
    QCOMPARE(grid.sortState(1), DataGrid::SortState::Ascending);
    QCOMPARE(grid.sortState(2), DataGrid::SortState::Descending);
    QCOMPARE(grid.sortState(9), DataGrid::SortState::None);
    grid.clearSortStates();
    QCOMPARE(grid.sortState(1), DataGrid::SortState::None);
    QCOMPARE(grid.sortState(2), DataGrid::SortState::None);
    grid.setSortState(3, DataGrid::SortState::Ascending);
    grid.setColumns(kColumns); // new columns start unsorted
    QCOMPARE(grid.sortState(3), DataGrid::SortState::None);
    QCOMPARE(changed.count(), 0);
}

// Each state draws its own title, on any number of columns at once.
void TestDataGrid::sortArrows() {
    BoundGrid g(kFour);
    const QImage none = g.titleImage(2);
    g.grid.setSortState(2, DataGrid::SortState::Ascending);
    g.grid.setSortState(3, DataGrid::SortState::Descending);
    const QImage ascending = g.titleImage(2);
    const QImage descending = g.titleImage(3);
    g.grid.setSortState(3, DataGrid::SortState::Ascending);
    const QImage otherAscending = g.titleImage(3);
    g.grid.clearSortStates();
    const QImage cleared = g.titleImage(2);

    QVERIFY(ascending != none);
    QVERIFY(cleared == none);
    // Same state, same arrow; the other state, another one (the titles differ,
    // so compare the right ends of the sections, where the arrows are drawn).
    auto arrowPart = [](const QImage& image) {
        return image.copy(image.width() / 2, 0, image.width() / 2, image.height());
    };
    QVERIFY(arrowPart(ascending) != arrowPart(descending));
    QVERIFY(arrowPart(ascending) != arrowPart(none));
    QVERIFY(arrowPart(descending) != arrowPart(otherAscending));
}

// The mark column shows one image for marked rows and another for unmarked ones.
void TestDataGrid::markImages() {
    BoundGrid g({"+Jan", "Petr", "+Eva", "Ota", "Iva"});
    g.table.dataset.last(); // the compared rows are not highlighted
    QApplication::processEvents();
    QVERIFY(g.cellImage(0, 0) == g.cellImage(2, 0));
    QVERIFY(g.cellImage(1, 0) == g.cellImage(3, 0));
    QVERIFY(g.cellImage(0, 0) != g.cellImage(1, 0));
    QVERIFY(g.cellImage(1, 0) != g.cellImage(4, 0)); // the selected row is highlighted

    // Changing a mark redraws the row.
    g.table.dataset.first();
    g.table.dataset.edit();
    g.table.dataset.setValue(QStringLiteral("Zn"), false);
    g.table.dataset.post();
    g.table.dataset.last();
    QApplication::processEvents();
    QVERIFY(g.cellImage(0, 0) == g.cellImage(1, 0));
}

void TestDataGrid::doubleClickAndPointer() {
    BoundGrid g(kFour);
    QSignalSpy doubleClicked(&g.grid, &DataGrid::rowDoubleClicked);
    QSignalSpy entered(&g.grid, &DataGrid::pointerEntered);
    QSignalSpy left(&g.grid, &DataGrid::pointerLeft);

    QTest::mouseDClick(g.grid.viewport(), Qt::LeftButton, {}, g.cell(2, 2));
    QCOMPARE(doubleClicked.count(), 1);
    QCOMPARE(g.table.dataset.recNo(), 2);
    QTest::mouseDClick(g.grid.viewport(), Qt::LeftButton, {}, QPoint(10, g.grid.viewport()->height() - 3));
    QCOMPARE(doubleClicked.count(), 1); // not on a row

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), g.grid.mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(&g.grid, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&g.grid, &leave);
    QCOMPARE(entered.count(), 1);
    QCOMPARE(left.count(), 1);
}

// While the link is disabled the grid neither shows new rows nor moves the
// dataset; enabling it shows the dataset as it is.
void TestDataGrid::disabledDataLink() {
    BoundGrid g({"Jan", "Petr"});
    QSignalSpy moved(&g.grid, &DataGrid::currentRowChanged);
    QSignalSpy marked(&g.grid, &DataGrid::markColumnClicked);
    g.grid.setDataLinkEnabled(false);
    g.table.append(QStringLiteral("Eva"));
    g.table.append(QStringLiteral("Ota"));
    QApplication::processEvents();
    QCOMPARE(g.grid.model()->rowCount(), 2);
    QCOMPARE(g.selectedRow(), 0);

    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, g.cell(1, 0));
    QCOMPARE(g.table.dataset.recNo(), 3);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(marked.count(), 0);

    g.grid.setDataLinkEnabled(true);
    QCOMPARE(g.grid.model()->rowCount(), 4);
    QCOMPARE(g.text(3, 2), QStringLiteral("Ota"));
    QCOMPARE(g.selectedRow(), 3);
}

// When the dataset cannot leave its row (a pending edit does not post), the
// grid reports the error and keeps the selection on the dataset's row.
void TestDataGrid::failedMoveKeepsRow() {
    BoundGrid g(kFour);
    QSignalSpy moved(&g.grid, &DataGrid::currentRowChanged);
    QSignalSpy marked(&g.grid, &DataGrid::markColumnClicked);
    QSignalSpy failed(&g.grid, &DataGrid::datasetError);
    g.table.dataset.edit();
    g.table.dataset.setValue(QStringLiteral("Prijmeni"), QStringLiteral("Příliš dlouhé příjmení"));

    QTest::mouseClick(g.grid.viewport(), Qt::LeftButton, {}, g.cell(2, 0));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(g.table.dataset.recNo(), 0);
    QCOMPARE(g.table.dataset.state(), db::Dataset::State::Edit);
    QCOMPARE(g.selectedRow(), 0);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(marked.count(), 0);
}

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
