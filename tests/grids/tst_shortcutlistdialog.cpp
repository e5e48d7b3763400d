#include "LayoutChecks.h"

#include "ShortcutListDialog.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace layout_checks;

class TestShortcutListDialog : public QObject {
    Q_OBJECT
  private slots:
    void controls_data();
    void controls();
    void fitsDesignedSize_data();
    void fitsDesignedSize();
    void closes_data();
    void closes();
};

void TestShortcutListDialog::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Memo1") << QStringLiteral("Memo1") << QByteArray("QPlainTextEdit") << QString();
    QTest::newRow("Button1") << QStringLiteral("Button1") << QByteArray("QPushButton")
                             << QStringLiteral("&Zpět");
}

void TestShortcutListDialog::controls() {
    QFETCH(QString, name);
    QFETCH(QByteArray, type);
    QFETCH(QString, caption);
    ShortcutListDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("Form6"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Seznam klávesových zkratek"));
    const auto found = dialog.findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QVERIFY(found.first()->inherits(type));
    QCOMPARE(captionOf(found.first()), caption);
}

void TestShortcutListDialog::fitsDesignedSize_data() {
    QTest::addColumn<QString>("font");
    addFontRows();
}

// Inside the 20-pixel border the text has its designed size, read-only with a
// vertical scroll bar, and the button sits whole under it.
void TestShortcutListDialog::fitsDesignedSize() {
    QFETCH(QString, font);
    useProgramFont(font);
    ShortcutListDialog dialog;
    dialog.show();
    QApplication::processEvents();
    QCOMPARE(dialog.size(), ShortcutListDialog::kInnerSize + QSize(40, 40));
    QCOMPARE(dialog.text()->geometry(), QRect(QPoint(20, 20), ShortcutListDialog::kTextSize));
    QVERIFY(dialog.text()->isReadOnly());
    QVERIFY(dialog.text()->verticalScrollBar()->isVisible());
    const QStringList problems = untidy(&dialog);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    auto* back = dialog.findChild<QPushButton*>(QStringLiteral("Button1"));
    QVERIFY(QRect(QPoint(20, 20), ShortcutListDialog::kInnerSize).contains(rectIn(back, &dialog)));
}

void TestShortcutListDialog::closes_data() {
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("Zpět") << false;
    QTest::newRow("Esc") << true;
}

void TestShortcutListDialog::closes() {
    QFETCH(bool, byEscape);
    ShortcutListDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    if (byEscape)
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestShortcutListDialog)
#include "tst_shortcutlistdialog.moc"
