#include "WorkingTable.h"

#include "DatasetModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

class TestDatasetModel : public QObject {
    Q_OBJECT
  private slots:
    void followsDataset_data();
    void followsDataset();
    void cells_data();
    void cells();
    void disabledLink();
    void lazyDatasetGrows();
};

namespace {

// The Jmeno texts of the model's rows.
QStringList names(const DatasetModel& model) {
    QStringList list;
    for (int r = 0; r < model.rowCount(); ++r)
        list << model.index(r, 2).data().toString();
    return list;
}

// Runs changes written as words: append:NAME, edit:NAME (the current row),
// remove, first, last, close, open.
void run(WorkingTable& t, const QString& steps) {
    for (const QString& s : steps.split(u' ', Qt::SkipEmptyParts)) {
        const QString arg = s.section(u':', 1);
        if (s.startsWith(u"append:")) {
            t.append(arg);
        } else if (s.startsWith(u"edit:")) {
            t.dataset.edit();
            t.dataset.setValue(QStringLiteral("Jmeno"), arg);
            t.dataset.post();
        } else if (s == u"remove") {
            t.dataset.remove();
        } else if (s == u"first") {
            t.dataset.first();
        } else if (s == u"last") {
            t.dataset.last();
        } else if (s == u"close") {
            t.dataset.close();
        } else if (s == u"open") {
            t.dataset.open();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + s));
        }
    }
}

} // namespace

void TestDatasetModel::followsDataset_data() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("resets");

    const QStringList three{"Jan", "Petr", "Eva"};
    QTest::newRow("open") << "" << three << 0;
    QTest::newRow("append") << "append:Ota append:Iva" << QStringList{"Jan", "Petr", "Eva", "Ota", "Iva"}
                            << 0;
    QTest::newRow("edit") << "first edit:Pavel" << QStringList{"Pavel", "Petr", "Eva"} << 0;
    QTest::newRow("remove first") << "first remove" << QStringList{"Petr", "Eva"} << 0;
    QTest::newRow("remove last") << "last remove" << QStringList{"Jan", "Petr"} << 0;
    QTest::newRow("remove all, append") << "remove remove remove append:Ota" << QStringList{"Ota"} << 0;
    QTest::newRow("close") << "close" << QStringList{} << 1;
    QTest::newRow("reopen") << "append:Ota close open" << QStringList{"Jan", "Petr", "Eva", "Ota"} << 2;
}

// Rows are inserted, refreshed and removed one at a time; only opening and
// closing reset the model.
void TestDatasetModel::followsDataset() {
    QFETCH(QString, steps);
    QFETCH(QStringList, rows);
    QFETCH(int, resets);

    WorkingTable t({"Jan", "Petr", "Eva"});
    DatasetModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setColumns(kWorkingColumns);
    model.setDataset(&t.dataset);
    t.dataset.open();
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    run(t, steps);
    QCOMPARE(names(model), rows);
    QCOMPARE(reset.count(), resets);
    // Views learn of every row that comes or goes (one row each time).
    if (resets == 0) QCOMPARE(model.rowCount(), 3 + inserted.count() - removed.count());
}

void TestDatasetModel::cells_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("marked");   // display text of the marked row
    QTest::addColumn<QString>("unmarked"); // of the row with Nulls
    QTest::addColumn<QVariant>("mark");    // MarkRole of the marked row
    QTest::addColumn<int>("alignment");

    const int centre = Qt::AlignHCenter | Qt::AlignVCenter;
    QTest::newRow("mark") << 0 << ""
                          << "" << QVariant(true) << centre;
    QTest::newRow("number") << 1 << "1"
                            << "2" << QVariant() << centre;
    QTest::newRow("text") << 2 << "Jan"
                          << "" << QVariant() << int(Qt::AlignLeft | Qt::AlignVCenter);
    QTest::newRow("right aligned") << 4 << "123 456"
                                   << "" << QVariant() << int(Qt::AlignRight | Qt::AlignVCenter);
    QTest::newRow("missing field") << 5 << ""
                                   << "" << QVariant() << int(Qt::AlignLeft | Qt::AlignVCenter);
}

void TestDatasetModel::cells() {
    QFETCH(int, column);
    QFETCH(QString, marked);
    QFETCH(QString, unmarked);
    QFETCH(QVariant, mark);
    QFETCH(int, alignment);

    WorkingTable t;
    t.database->execute(QStringLiteral("INSERT INTO W (Zn, Jmeno, tel) VALUES (-1, 'Jan', '123 456')"));
    t.database->execute(QStringLiteral("INSERT INTO W (Zn) VALUES (Null)"));
    DatasetModel model;
    auto columns = kWorkingColumns;
    columns << DataGrid::Column{QStringLiteral("Obec"), QStringLiteral("Obec"), 50, Qt::AlignLeft};
    model.setColumns(columns);
    model.setDataset(&t.dataset);
    t.dataset.open();

    QCOMPARE(model.index(0, column).data().toString(), marked);
    QCOMPARE(model.index(1, column).data().toString(), unmarked);
    QCOMPARE(model.index(0, column).data(DatasetModel::MarkRole), mark);
    if (mark.isValid()) QCOMPARE(model.index(1, column).data(DatasetModel::MarkRole), QVariant(false));
    QCOMPARE(model.index(0, column).data(Qt::TextAlignmentRole).toInt(), alignment);
    QCOMPARE(model.headerData(column, Qt::Horizontal).toString(), columns[column].title);
    // Assistive technology hears the mark as a word and a check state, and
    // the mark column's title as a word; the other cells and titles by their text.
    const QVariant spoken = model.index(0, column).data(Qt::AccessibleTextRole);
    const QVariant spokenTitle = model.headerData(column, Qt::Horizontal, Qt::AccessibleTextRole);
    if (mark.isValid()) {
        QCOMPARE(spoken.toString(), u"označeno"_s);
        QCOMPARE(model.index(1, column).data(Qt::AccessibleTextRole).toString(), u"neoznačeno"_s);
        QCOMPARE(model.index(0, column).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(model.index(1, column).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(spokenTitle.toString(), u"Označení"_s);
    } else {
        QVERIFY(!spoken.isValid());
        QVERIFY(!model.index(0, column).data(Qt::CheckStateRole).isValid());
        QVERIFY(!spokenTitle.isValid());
    }
    QCOMPARE(t.dataset.recNo(), 0); // reading rows does not move the dataset
}

// While the link is disabled the model announces nothing; enabling it shows
// the dataset as it is then.
void TestDatasetModel::disabledLink() {
    WorkingTable t({"Jan", "Petr"});
    DatasetModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setColumns(kWorkingColumns);
    model.setDataset(&t.dataset);
    t.dataset.open();

    model.setLinkEnabled(false);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    run(t, "append:Ota first remove close open append:Iva");
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(reset.count(), 0);
    // Rows the model still shows from before are not read from a reopened dataset.
    QCOMPARE(names(model), (QStringList{"", ""}));

    model.setLinkEnabled(true);
    QCOMPARE(names(model), (QStringList{"Petr", "Ota", "Iva"}));
}

// A dataset that is read lazily makes its rows known as it moves on.
void TestDatasetModel::lazyDatasetGrows() {
    WorkingTable t({"Jan", "Petr", "Eva", "Ota"});
    t.dataset.setSql(QStringLiteral("SELECT DISTINCT ID2, Zn, Jmeno FROM W ORDER BY ID2"));
    DatasetModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setColumns(kWorkingColumns);
    model.setDataset(&t.dataset);
    t.dataset.open();
    QVERIFY(!t.dataset.isUpdatable());
    QCOMPARE(model.rowCount(), 1);
    t.dataset.moveBy(2);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.index(2, 2).data().toString(), QStringLiteral("Eva"));
    t.dataset.last();
    QCOMPARE(model.rowCount(), 4);
}

QTEST_MAIN(TestDatasetModel)
#include "tst_datasetmodel.moc"
