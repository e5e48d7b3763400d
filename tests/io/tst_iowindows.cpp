#include "ExportDialog.h"
#include "ImportDialog.h"
#include "PersonalExportDialog.h"
#include "PrintParametersDialog.h"

#include <QTest>

#include <memory>

class TestIoWindows : public QObject {
    Q_OBJECT
  private slots:
    void names_data();
    void names();
};

using Make = QDialog* (*)();
Q_DECLARE_METATYPE(Make)

void TestIoWindows::names_data() {
    QTest::addColumn<Make>("make");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    // clang-format off
    QTest::newRow("export") << Make([]() -> QDialog* { return new ExportDialog; }) << QStringLiteral("Form7") << QStringLiteral("Export");
    QTest::newRow("personal export") << Make([]() -> QDialog* { return new PersonalExportDialog; }) << QStringLiteral("Form11") << QStringLiteral("Export");
    QTest::newRow("import") << Make([]() -> QDialog* { return new ImportDialog; }) << QStringLiteral("Form10") << QStringLiteral("Import dat");
    QTest::newRow("print parameters") << Make([]() -> QDialog* { return new PrintParametersDialog; }) << QStringLiteral("Form12") << QStringLiteral("Parametry tisku");
    // clang-format on
}

void TestIoWindows::names() {
    QFETCH(Make, make);
    QFETCH(QString, name);
    QFETCH(QString, title);
    std::unique_ptr<QDialog> dialog(make());
    QCOMPARE(dialog->objectName(), name);
    QCOMPARE(dialog->windowTitle(), title);
}

QTEST_MAIN(TestIoWindows)
#include "tst_iowindows.moc"
