#include "DirectoryPage.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;

// What only the directory pages have; what all result pages share is tested
// over every page in tst_resultpages.
class TestDirectoryPage : public QObject {
    Q_OBJECT
  private slots:
    void regions_data();
    void regions();
};

void TestDirectoryPage::regions_data() {
    QTest::addColumn<bool>("firms");
    QTest::addColumn<QString>("box");
    QTest::newRow("persons") << false << u"ComboBox2"_s;
    QTest::newRow("firms") << true << u"ComboBox3"_s;
}

// The region drop-down's items, and the end indicator starting grey.
void TestDirectoryPage::regions() {
    QFETCH(bool, firms);
    QFETCH(QString, box);

    DirectoryPage p(firms ? DirectoryPageDescription::firms() : DirectoryPageDescription::persons());
    auto* combo = p.findChild<QComboBox*>(box);
    QVERIFY(combo);
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->maxVisibleItems(), 15);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    const QStringList expected{u"všechny kraje"_s, u"Hl.m. Praha"_s,     u"Jihočeský"_s, u"Jihomoravský"_s,
                               u"Karlovarský"_s,   u"Královéhradecký"_s, u"Liberecký"_s, u"Moravskoslezský"_s,
                               u"Olomoucký"_s,     u"Pardubický"_s,      u"Plzeňský"_s,  u"Středočeský"_s,
                               u"Ústecký"_s,       u"Vysočina"_s,        u"Zlínský"_s};
    QCOMPARE(items, expected);
    QCOMPARE(combo->currentIndex(), 0);

    auto* end = p.findChild<QLabel*>(p.description().endIndicator);
    QVERIFY(end);
    QCOMPARE(end->palette().color(QPalette::WindowText), QColor(192, 192, 192));
}

QTEST_MAIN(TestDirectoryPage)
#include "tst_directorypage.moc"
