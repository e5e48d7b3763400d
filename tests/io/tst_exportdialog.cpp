// The export format windows of the directory pages and of the Vlastní page.

#include "ExportDialog.h"
#include "PersonalExportDialog.h"

#include "platform/WhenModal.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(io::ExportFormat)

namespace {

std::unique_ptr<ExportDialog> make(bool personal) {
    if (personal) return std::make_unique<PersonalExportDialog>();
    return std::make_unique<ExportDialog>();
}

} // namespace

class TestExportDialog : public QObject {
    Q_OBJECT

  private slots:
    void layout_data() {
        QTest::addColumn<bool>("personal");
        QTest::addColumn<QString>("name");
        QTest::newRow("persons and firms") << false << "Form7";
        QTest::newRow("personal") << true << "Form11";
    }
    void layout() {
        QFETCH(bool, personal);
        QFETCH(QString, name);
        auto dialog = make(personal);
        QCOMPARE(dialog->objectName(), name);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Export"));
        QVERIFY(dialog->windowFlags().testFlag(Qt::Tool));

        auto* formats = dialog->findChild<QGroupBox*>(QStringLiteral("RadioGroup1"));
        QVERIFY(formats);
        QCOMPARE(formats->title(), QString::fromUtf8("    Formát výstupu     "));
        QStringList captions;
        for (auto* option : formats->findChildren<QRadioButton*>())
            captions << option->text();
        QCOMPARE(captions, (QStringList{QString::fromUtf8("TXT - středník jako oddělovač"),
                                        QString::fromUtf8("CSV - čárka jako oddělovač"),
                                        QString::fromUtf8("TXT - tabulátor jako oddělovač"),
                                        QString::fromUtf8("Fixní šířka              znaků  ")}));
        QCOMPARE(dialog->format(), io::ExportFormat::Semicolon);
        QVERIFY(dialog->formatOption(io::ExportFormat::Semicolon)->isChecked());

        auto* button = dialog->findChild<QPushButton*>(QStringLiteral("Button7"));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("&Export"));

        auto* address = dialog->findChild<QGroupBox*>(QStringLiteral("RadioGroup2"));
        QCOMPARE(address != nullptr, personal);
        if (personal) {
            QCOMPARE(address->title(), QString::fromUtf8("    Typ adresy pro export    "));
            QCOMPARE(dialog->address(), io::AddressChoice::RecordDefault);
        }
    }

    // The width field covers the blanks of the fixed-width caption: after
    // "Fixní šířka", before "znaků", within the option.
    void widthFieldInCaption() {
        ExportDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QLineEdit* width = dialog.findChild<QLineEdit*>(QStringLiteral("sirka_ex"));
        QVERIFY(width);
        QCOMPARE(width->text(), QStringLiteral("30"));
        QRadioButton* option = dialog.formatOption(io::ExportFormat::FixedWidth);
        QCOMPARE(width->parentWidget(), option);
        QVERIFY(width->isVisible());
        QVERIFY(option->rect().contains(width->geometry()));
        const QFontMetrics metrics(option->font());
        QVERIFY(width->x() >= metrics.horizontalAdvance(QString::fromUtf8("Fixní šířka")));
        const int textEnd = option->width() - metrics.horizontalAdvance(QString::fromUtf8("znaků  "));
        QVERIFY2(width->geometry().right() < textEnd, qPrintable(QString::number(width->geometry().right())));
    }

    // Enter presses "&Export" wherever the focus is; Escape closes without it.
    void keys_data() {
        QTest::addColumn<bool>("personal");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter") << false << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Escape") << false << int(Qt::Key_Escape) << int(QDialog::Rejected);
        QTest::newRow("personal, Enter") << true << int(Qt::Key_Enter) << int(QDialog::Accepted);
        QTest::newRow("personal, Escape") << true << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }
    void keys() {
        QFETCH(bool, personal);
        QFETCH(int, key);
        QFETCH(int, result);
        auto dialog = make(personal);
        platform_test::whenModal<ExportDialog>([key](ExportDialog* d) {
            d->widthField()->setFocus();
            d->widthField()->selectAll();
            QTest::keyClicks(d->widthField(), QStringLiteral("12"));
            QTest::keyClick(d->widthField(), Qt::Key(key));
        });
        QCOMPARE(dialog->exec(), result);
        QCOMPARE(dialog->width(), QStringLiteral("12"));
    }
};

QTEST_MAIN(TestExportDialog)
#include "tst_exportdialog.moc"
