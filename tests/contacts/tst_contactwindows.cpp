#include "ColumnsDialog.h"
#include "ContactEditor.h"

#include <QTest>

#include <memory>

class TestContactWindows : public QObject {
    Q_OBJECT
  private slots:
    void names_data();
    void names();
};

using Make = QDialog* (*)();
Q_DECLARE_METATYPE(Make)

void TestContactWindows::names_data() {
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::newRow("contact editor") << Make([]() -> QDialog* { return new ContactEditor; })
                                    << QStringLiteral("Form4") << QStringLiteral("Podrobnosti kontaktu");
    QTest::newRow("columns") << Make([]() -> QDialog* { return new ColumnsDialog; })
                             << QStringLiteral("Form8") << QStringLiteral("Sloupce");
}

void TestContactWindows::names() {
    QFETCH(Make, make);
    QFETCH(QString, name);
    QFETCH(QString, title);
    std::unique_ptr<QDialog> dialog(make());
    QCOMPARE(dialog->objectName(), name);
    QCOMPARE(dialog->windowTitle(), title);
}

QTEST_MAIN(TestContactWindows)
#include "tst_contactwindows.moc"
