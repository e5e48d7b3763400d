#include "../grids/LayoutChecks.h"

#include "NumberPicker.h"
#include "ToolWindow.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace layout_checks;

class TestNumberPicker : public QObject {
    Q_OBJECT
  private slots:
    void controls_data();
    void controls();
    void fitsDesignedSize_data();
    void fitsDesignedSize();
};

void TestNumberPicker::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("caption");
    QTest::newRow("CheckListBox1") << QStringLiteral("CheckListBox1") << QByteArray("QListWidget")
                                   << QString();
    QTest::newRow("BitBtn2") << QStringLiteral("BitBtn2") << QByteArray("QPushButton")
                             << QStringLiteral("&Vše");
    QTest::newRow("BitBtn1") << QStringLiteral("BitBtn1") << QByteArray("QPushButton")
                             << QStringLiteral("&Kopíruj");
}

void TestNumberPicker::controls() {
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QFETCH(QString, caption);
    NumberPicker picker;
    QCOMPARE(picker.objectName(), QStringLiteral("Form9"));
    QCOMPARE(picker.windowTitle(), QStringLiteral("Vyber číslo"));
    QVERIFY(picker.windowFlags().testFlag(Qt::Tool));
    const auto found = picker.findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QVERIFY(found.first()->inherits(type));
    QCOMPARE(captionOf(found.first()), caption);
}

void TestNumberPicker::fitsDesignedSize_data() {
    QTest::addColumn<QString>("font");
    addFontRows();
}

// At its designed client size, widened where the title bar needs it for the
// caption, the list has its designed height across the width and both
// buttons show their captions whole under it.
void TestNumberPicker::fitsDesignedSize() {
    QFETCH(QString, font);
    useProgramFont(font);
    NumberPicker picker;
    picker.show();
    QApplication::processEvents();
    const int width =
        std::max(NumberPicker::kClientSize.width(), platform::captionRoom(picker.windowTitle()));
    QCOMPARE(picker.size(), QSize(width, NumberPicker::kClientSize.height()));
    QCOMPARE(picker.list()->size(), QSize(width, NumberPicker::kListSize.height()));
    const QStringList problems = untidy(&picker);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

QTEST_MAIN(TestNumberPicker)
#include "tst_numberpicker.moc"
