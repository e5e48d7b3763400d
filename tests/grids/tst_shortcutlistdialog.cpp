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
    void listText();
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

// The whole text, line by line: an entry is a tab, the key, three tabs (two
// after the arrow keys) and the description; a section's heading leads its
// first entry.
void TestShortcutListDialog::listText() {
    const QStringList expected{
        QStringLiteral("\tF1\t\t\tnápověda"),
        QStringLiteral("\tF4\t\t\tkonec"),
        QString(),
        QStringLiteral("CTRL +\tJ\t\t\tjméno / poznámka"),
        QStringLiteral("\tP\t\t\tpříjmení"),
        QStringLiteral("\tF\t\t\tfirma"),
        QStringLiteral("\tU\t\t\tulice"),
        QStringLiteral("\tO\t\t\tobec"),
        QStringLiteral("\tL\t\t\tčíslo popisné"),
        QStringLiteral("\tS\t\t\tPSČ"),
        QStringLiteral("\tT\t\t\ttelefon"),
        QStringLiteral("\tB\t\t\tkraj"),
        QStringLiteral("\tM\t\t\tinformační štítek"),
        QStringLiteral("\tQ\t\t\ttabulka nalezených záznamů"),
        QStringLiteral("\tENTER\t\t\tHledej"),
        QStringLiteral("\tN\t\t\tNuluj"),
        QStringLiteral("\tE\t\t\tExport"),
        QStringLiteral("\tK\t\t\tTisk"),
        QStringLiteral("\tX\t\t\tStop"),
        QStringLiteral("\tŠipka vpravo\t\tdalší záznamy"),
        QStringLiteral("\tŠipka vlevo\t\tpředešlé záznamy"),
        QStringLiteral("\tI\t\t\tcelkový počet záznamů, které odpovídají zadaným podmínkám"),
        QStringLiteral("\tW\t\t\tpočet nalezených / označených záznamů"),
        QStringLiteral("\tC\t\t\tkopíruj informace ze štítku do schránky"),
        QStringLiteral("\tMEZERA\t\t\toznač / odznač záznam"),
        QStringLiteral("\t1 - 9\t\t\tzobrazení / skrytí příslušného sloupce"),
        QStringLiteral("\t0\t\t\tzobrazit jen základní sloupce / zobrazit všechny sloupce"),
        QString(),
        QStringLiteral("ALT +\tO\t\t\tzobraz list Osoby"),
        QStringLiteral("\tF\t\t\tzobraz list Firmy"),
        QStringLiteral("\tV\t\t\tzobraz list Vlastní"),
        QStringLiteral("\tI\t\t\tzobraz list Informace"),
        QStringLiteral("\tH\t\t\tHledej"),
        QStringLiteral("\tT\t\t\tTisk"),
        QStringLiteral("\tN\t\t\tNuluj"),
        QStringLiteral("\tE\t\t\tExport"),
        QStringLiteral("\tS\t\t\tStop"),
        QStringLiteral("\tK\t\t\tKonec"),
        QStringLiteral("\tZ\t\t\tZobraz"),
        QStringLiteral("\tt\t\t\tOtevři (v listu Informace)"),
        QString(),
        QStringLiteral("Další alternativní klávesové zkratky jsou vyznačeny v programu podtrženým písmenem v "
                       "názvu vyvolané funkce "),
        QStringLiteral(
            "(tlačítka apod.). Tyto klávesové zkratky se vyvolávají v kombinaci s  klávesovou ALT."),
        QString(),
        QStringLiteral(
            "Menu aplikace se vyvolá samostatným stiskem klávesy ALT popřípadě s písmenem, které je "
            "u položky menu "),
        QStringLiteral("podtržené."),
        QString(),
        QStringLiteral("Dále se lze v prostředí pohybovat pomocí kláves TAB, SHIFT+TAB pro pohyb mezi "
                       "jednotlivými poli. "),
        QStringLiteral("Pomocí CTRL+TAB, CTRL+SHIFT+TAB pro pohyb po jednotlivých listech."),
    };
    ShortcutListDialog dialog;
    const QStringList shown = dialog.text()->toPlainText().split(u'\n');
    for (int i = 0; i < std::min(shown.size(), expected.size()); ++i)
        QCOMPARE(shown[i], expected[i]);
    QCOMPARE(shown.size(), expected.size());
}

QTEST_MAIN(TestShortcutListDialog)
#include "tst_shortcutlistdialog.moc"
