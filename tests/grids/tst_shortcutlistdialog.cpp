#include "LayoutChecks.h"

#include "ShortcutListDialog.h"

#include <QAbstractTextDocumentLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

using namespace layout_checks;

class TestShortcutListDialog : public QObject {
    Q_OBJECT
  private slots:
    void controls_data();
    void controls();
    void fitsDesignedSize_data();
    void fitsDesignedSize();
    void columnsLineUp_data();
    void columnsLineUp();
    void closes_data();
    void closes();
    void listText();
};

void TestShortcutListDialog::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Memo1") << QStringLiteral("Memo1") << QByteArray("QTextEdit") << QString();
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

// Inside the 20-pixel border the text has its designed height and at least
// its designed width (more where the font's lines need it), read-only with a
// vertical scroll bar, and the button sits whole under it.
void TestShortcutListDialog::fitsDesignedSize() {
    QFETCH(QString, font);
    useProgramFont(font);
    ShortcutListDialog dialog;
    dialog.show();
    QApplication::processEvents();
    const QRect text = dialog.text()->geometry();
    QCOMPARE(text.topLeft(), QPoint(20, 20));
    QCOMPARE(text.height(), ShortcutListDialog::kTextSize.height());
    QVERIFY2(text.width() >= ShortcutListDialog::kTextSize.width() && text.width() <= 620,
             qPrintable(QString::number(text.width())));
    QCOMPARE(dialog.size(), text.size() + QSize(40, 78));
    QVERIFY(dialog.text()->isReadOnly());
    QVERIFY(dialog.text()->verticalScrollBar()->isVisible());
    const QStringList problems = untidy(&dialog);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    auto* back = dialog.findChild<QPushButton*>(QStringLiteral("Button1"));
    QVERIFY(QRect(QPoint(20, 20), dialog.size() - QSize(40, 40)).contains(rectIn(back, &dialog)));
}

namespace {

// Where the description of an entry line starts, and where each of the
// line's visual lines starts, in the text's document.
struct EntryPlaces {
    qreal description = 0;
    QList<qreal> lineStarts;
};

EntryPlaces placesOf(const QTextBlock& block) {
    EntryPlaces places;
    const QTextLayout* layout = block.layout();
    const QRectF blockRect = block.document()->documentLayout()->blockBoundingRect(block);
    const int at = int(block.text().lastIndexOf(u'\t')) + 1;
    const QTextLine first = layout->lineForTextPosition(at);
    places.description = blockRect.left() + first.cursorToX(at);
    for (int i = 0; i < layout->lineCount(); ++i)
        places.lineStarts << blockRect.left() + layout->lineAt(i).x();
    return places;
}

} // namespace

void TestShortcutListDialog::columnsLineUp_data() {
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("width");  // of the text; 0: the designed one
    QTest::addColumn<bool>("whole"); // every line of the list is one line
    for (const QString& family : programFontFamilies()) {
        QTest::newRow(qPrintable(family + QStringLiteral(", designed size"))) << family << 0 << true;
        QTest::newRow(qPrintable(family + QStringLiteral(", narrow"))) << family << 300 << false;
    }
    QTest::newRow("a wider font") << QStringLiteral("DejaVu Sans") << 0 << true;
}

// Every description starts in one column, the arrow keys' ones included; an
// entry too long for the width goes on under its own description; at the
// designed size every line of the list is one line, as laid out.
void TestShortcutListDialog::columnsLineUp() {
    QFETCH(QString, font);
    QFETCH(int, width);
    QFETCH(bool, whole);
    useProgramFont(font);
    ShortcutListDialog dialog;
    if (width > 0) dialog.resize(width + 40, dialog.height());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTextDocument* document = dialog.text()->document();
    QList<qreal> descriptions;
    int wrapped = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (!block.text().contains(u'\t')) {
            if (whole) QVERIFY2(block.layout()->lineCount() <= 1, qPrintable(block.text()));
            continue;
        }
        const EntryPlaces places = placesOf(block);
        descriptions << places.description;
        QVERIFY2(places.description > places.lineStarts.first(), qPrintable(block.text()));
        for (qsizetype i = 1; i < places.lineStarts.size(); ++i)
            QCOMPARE(places.lineStarts[i], places.description);
        wrapped += places.lineStarts.size() > 1;
    }
    QCOMPARE(descriptions.size(), 38);
    for (qreal x : descriptions)
        QCOMPARE(x, descriptions.first());
    if (whole) QCOMPARE(wrapped, 0);
    if (width > 0) QVERIFY(wrapped > 0);
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
