#include "Help.h"
#include "Maker.h"
#include "ProductInfoDialog.h"
#include "SettingsFixture.h"

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

class TestHelp : public QObject {
    Q_OBJECT
  private slots:
    void contexts_data();
    void contexts();
    void contextOfFocusedWidget_data();
    void contextOfFocusedWidget();
    void opensContext();
    void questionsPreferTheLocalPage();
    void helpFileHasEveryContext();

    void productInfo();
    void productLinks_data();
    void productLinks();
};

void TestHelp::contexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("context");
    // clang-format off
    QTest::newRow("persons page") << "osoby" << 7;
    QTest::newRow("firms page") << "firmy" << 7;
    QTest::newRow("personal page") << "vlastni" << 10;
    QTest::newRow("information page") << "informace" << 91;
    QTest::newRow("disc copy") << "Form2" << 12;
    QTest::newRow("product information") << "Form3" << 82;
    QTest::newRow("contact details") << "Form4" << 11;
    QTest::newRow("limits") << "Form5" << 12;
    QTest::newRow("keyboard shortcuts") << "Form6" << 96;
    QTest::newRow("export") << "Form7" << 7;
    QTest::newRow("columns") << "Form8" << 10;
    QTest::newRow("choice of a number") << "Form9" << 8;
    QTest::newRow("import") << "Form10" << 137;
    QTest::newRow("personal export") << "Form11" << 7;
    QTest::newRow("print parameters") << "Form12" << 7;
    QTest::newRow("main window") << "Form1" << 0;
    QTest::newRow("no name") << "" << 0;
    QTest::newRow("names are exact") << "form5" << 0;
    // clang-format on
}

void TestHelp::contexts() {
    QFETCH(QString, name);
    QFETCH(int, context);
    settings_test::Fixture f;
    QCOMPARE(Help(*f.app).contextOf(name), context);
}

void TestHelp::contextOfFocusedWidget_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("inDialog");
    QTest::addColumn<int>("context");
    QTest::newRow("field on the personal page") << "vlastni" << false << 10;
    QTest::newRow("field on the information page") << "informace" << false << 91;
    // The nearest window wins over the page it was opened from.
    QTest::newRow("field in the limits dialog") << "osoby" << true << 12;
    QTest::newRow("field on an unknown page") << "jinde" << false << 0;
}

void TestHelp::contextOfFocusedWidget() {
    QFETCH(QString, page);
    QFETCH(bool, inDialog);
    QFETCH(int, context);

    settings_test::Fixture f;
    QWidget mainWindow;
    mainWindow.setObjectName(QStringLiteral("Form1"));
    auto* tabs = new QTabWidget(&mainWindow);
    auto* pageWidget = new QWidget;
    pageWidget->setObjectName(page);
    tabs->addTab(pageWidget, page);
    auto* container = new QWidget(pageWidget);
    QWidget* focused = new QLineEdit(container);
    if (inDialog) {
        auto* dialog = new QDialog(pageWidget);
        dialog->setObjectName(QStringLiteral("Form5"));
        focused = new QLineEdit(dialog);
    }

    Help help(*f.app);
    QCOMPARE(help.contextFor(focused), context);
    QVERIFY(help.openForWidget(focused));
    QCOMPARE(f.shell.opened.size(), 1);
    if (context == 0)
        QCOMPARE(f.shell.opened.first(), help.contentsPath());
    else
        QCOMPARE(f.shell.opened.first(), help.contextAddress(context));
}

void TestHelp::opensContext() {
    settings_test::Fixture f;
    Help help(*f.app);
    QVERIFY(help.openContext(137));
    QCOMPARE(f.shell.opened.size(), 1);
    const QUrl url(f.shell.opened.first());
    QVERIFY(url.isLocalFile());
    QCOMPARE(url.toLocalFile(), f.app->programFolder() + QStringLiteral("DATA/napoveda.html"));
    QCOMPARE(url.fragment(), QStringLiteral("context-137"));
}

void TestHelp::questionsPreferTheLocalPage() {
    settings_test::Fixture f;
    Help help(*f.app);
    QVERIFY(help.openQuestions());
    QCOMPARE(f.shell.opened, QStringList{maker::kQuestionsUrl});
    QVERIFY(maker::kQuestionsUrl.startsWith(QStringLiteral("https://")));

    const QString local = f.app->programFolder() + QStringLiteral("Dotazy/index.htm");
    QVERIFY(QDir().mkpath(f.app->programFolder() + QStringLiteral("Dotazy")));
    QFile file(local);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    f.shell.opened.clear();
    QVERIFY(help.openQuestions());
    QCOMPARE(f.shell.opened, QStringList{local});
}

void TestHelp::helpFileHasEveryContext() {
    QFile file(QStringLiteral(ORDANA_HELP_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly), ORDANA_HELP_FILE);
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.contains(QStringLiteral("charset=\"utf-8\""), Qt::CaseInsensitive));

    settings_test::Fixture f;
    Help help(*f.app);
    const QStringList names{"osoby", "firmy", "vlastni", "informace", "Form2",  "Form3",  "Form4", "Form5",
                            "Form6", "Form7", "Form8",   "Form9",     "Form10", "Form11", "Form12"};
    for (const QString& name : names) {
        const QString anchor = QStringLiteral("id=\"context-%1\"").arg(help.contextOf(name));
        QVERIFY2(html.count(anchor) == 1, qPrintable(name + u' ' + anchor));
    }
    // Every link inside the page leads to an anchor that exists.
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        QVERIFY2(html.contains(QStringLiteral("id=\"%1\"").arg(target)), qPrintable(target));
    }
}

void TestHelp::productInfo() {
    settings_test::Fixture f;
    QWidget mainWindow;
    mainWindow.setGeometry(100, 100, 760, 485);
    mainWindow.show();
    ProductInfoDialog dialog(*f.app, &mainWindow);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.findChild<QLabel*>("Label1")->text(), QStringLiteral("ORDANA 2004 Velto"));
    QVERIFY(qAbs(dialog.geometry().center().x() - mainWindow.geometry().center().x()) <= 20);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QVERIFY(f.shell.opened.isEmpty());
}

void TestHelp::productLinks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::newRow("product page") << "LinkInfo" << maker::kProductUrl;
    QTest::newRow("orders and comments") << "LinkMail" << QStringLiteral("mailto:") + maker::kOrdersMail;
    QTest::newRow("questions and answers") << "LinkQuestions" << maker::kQuestionsUrl;
}

void TestHelp::productLinks() {
    QFETCH(QString, name);
    QFETCH(QString, address);
    settings_test::Fixture f;
    ProductInfoDialog dialog(*f.app);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* link = dialog.findChild<QLabel*>(name);
    QVERIFY(link);
    // A right click opens nothing.
    QTest::mouseClick(link, Qt::RightButton);
    QVERIFY(f.shell.opened.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(f.shell.opened, QStringList{address});
    QVERIFY(dialog.isVisible());
    // Tab reaches the link and Enter or Space opens it, as a click does.
    QVERIFY(link->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(link, Qt::Key_Return);
    QTest::keyClick(link, Qt::Key_Space);
    QCOMPARE(f.shell.opened, (QStringList{address, address, address}));
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
