#include "QtTranslations.h"
#include "ScriptedDialogs.h"
#include "ToolWindow.h"
#include "WhenModal.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using platform::Dialogs;
using platform::QtDialogs;
using platform::ScriptedDialogs;
using platform_test::whenModal;
using Answer = Dialogs::Answer;
using Buttons = Dialogs::Buttons;
using Icon = Dialogs::Icon;

class TestDialogs : public QObject {
    Q_OBJECT
  private slots:
    void scriptedMessageAnswers_data();
    void scriptedMessageAnswers();
    void nameFilters_data();
    void nameFilters();
    void messageBox_data();
    void messageBox();
    void narrowBoxCaption();
    void lineBreaks_data();
    void lineBreaks();
    void fileDialog_data();
    void fileDialog();
    void czechQtTexts();
    void czechDatesAndSizes();
};

// A message box answers only with one of its buttons, whether the answer was scripted or is the default.
void TestDialogs::scriptedMessageAnswers_data() {
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Answer>("given");
    QTest::addColumn<bool>("scripted");
    QTest::addColumn<Answer>("expected");
    const std::pair<Buttons, const char*> boxes[] = {
        {Buttons::Ok, "Ok"}, {Buttons::OkCancel, "OkCancel"}, {Buttons::YesNo, "YesNo"}};
    const std::pair<Answer, const char*> answers[] = {
        {Answer::Ok, "Ok"}, {Answer::Cancel, "Cancel"}, {Answer::Yes, "Yes"}, {Answer::No, "No"}};
    for (const auto& [buttons, box] : boxes)
        for (const auto& [answer, name] : answers)
            for (const bool scripted : {false, true}) {
                const bool positive = answer == Answer::Ok || answer == Answer::Yes;
                const Answer expected = buttons == Buttons::Ok ? Answer::Ok
                                        : buttons == Buttons::OkCancel
                                            ? (positive ? Answer::Ok : Answer::Cancel)
                                            : (positive ? Answer::Yes : Answer::No);
                QTest::addRow("%s box, %s %s", box, scripted ? "scripted" : "default", name)
                    << buttons << answer << scripted << expected;
            }
}

void TestDialogs::scriptedMessageAnswers() {
    QFETCH(Buttons, buttons);
    QFETCH(Answer, given);
    QFETCH(bool, scripted);
    QFETCH(Answer, expected);
    ScriptedDialogs dialogs;
    dialogs.defaultAnswer = given;
    if (scripted) {
        dialogs.defaultAnswer = given == Answer::Ok || given == Answer::Yes ? Answer::No : Answer::Yes;
        dialogs.answerMessage(given);
    }
    QCOMPARE(dialogs.message(nullptr, "c", "t", Icon::None, buttons), expected);
}

void TestDialogs::nameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("pairs") << "Text|*.txt|Tabulky|*.csv;*.tab"
                           << QStringList{"Text (*.txt)", "Tabulky (*.csv *.tab)"};
    QTest::newRow("trailing bar") << "Text|*.txt|" << QStringList{"Text (*.txt)"};
    QTest::newRow("patterns already named") << "Text (*.txt)|*.txt" << QStringList{"Text (*.txt)"};
    QTest::newRow("other parentheses")
        << "Databáze (Access)|*.mdb" << QStringList{"Databáze (Access) (*.mdb)"};
    QTest::newRow("blanks, no description") << " Vše | *.* ; ||*.txt" << QStringList{"Vše (*.*)", "*.txt"};
    QTest::newRow("no patterns") << "A||B|*.b" << QStringList{"B (*.b)"};
}

void TestDialogs::nameFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(QtDialogs::nameFilters(filter), expected);
}

void TestDialogs::messageBox_data() {
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Icon>("icon");
    QTest::addColumn<QString>("click"); // empty: Escape
    QTest::addColumn<QString>("labels");
    QTest::addColumn<QMessageBox::Icon>("qtIcon");
    QTest::addColumn<Answer>("expected");
    QTest::newRow("ok") << Buttons::Ok << Icon::Information << "OK"
                        << "OK" << QMessageBox::Information << Answer::Ok;
    QTest::newRow("ok cancel, storno") << Buttons::OkCancel << Icon::Warning << "Storno"
                                       << "OK Storno" << QMessageBox::Warning << Answer::Cancel;
    QTest::newRow("ok cancel, escape") << Buttons::OkCancel << Icon::None << ""
                                       << "OK Storno" << QMessageBox::NoIcon << Answer::Cancel;
    QTest::newRow("yes no, ano") << Buttons::YesNo << Icon::Question << "Ano"
                                 << "Ano Ne" << QMessageBox::Question << Answer::Yes;
    QTest::newRow("yes no, ne") << Buttons::YesNo << Icon::Error << "Ne"
                                << "Ano Ne" << QMessageBox::Critical << Answer::No;
    QTest::newRow("yes no, escape") << Buttons::YesNo << Icon::Question << ""
                                    << "Ano Ne" << QMessageBox::Question << Answer::No;
}

void TestDialogs::messageBox() {
    QFETCH(Buttons, buttons);
    QFETCH(Icon, icon);
    QFETCH(QString, click);
    QFETCH(QString, labels);
    QFETCH(QMessageBox::Icon, qtIcon);
    QFETCH(Answer, expected);

    QWidget owner;
    QStringList seen; // title, text, parent, icon, labels
    whenModal<QMessageBox>([&](QMessageBox* box) {
        QStringList shownLabels;
        for (QAbstractButton* b : box->buttons())
            shownLabels << b->text();
        shownLabels.sort();
        seen << box->windowTitle() << box->text() << QString::number(box->parentWidget() == &owner)
             << QString::number(box->icon()) << shownLabels.join(' ');
        const auto chosen = box->buttons();
        const auto it =
            std::find_if(chosen.begin(), chosen.end(), [&](auto* b) { return b->text() == click; });
        if (it != chosen.end())
            (*it)->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    const Answer answer = QtDialogs().message(&owner, "Dotaz", "Smazat <b>vše</b>?", icon, buttons);
    QCOMPARE(seen, QStringList({"Dotaz", "Smazat <b>vše</b>?", "1", QString::number(qtIcon), labels}));
    QCOMPARE(answer, expected);
}

void TestDialogs::lineBreaks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("line feed, carriage return") << "a\n\rb\n\rc"
                                                << "a\nb\nc";
    QTest::newRow("carriage return, line feed") << "a\r\nb"
                                                << "a\nb";
    QTest::newRow("line feed") << "a\nb"
                               << "a\nb";
    QTest::newRow("carriage return") << "a\rb"
                                     << "a\nb";
    QTest::newRow("empty line between") << "a\r\n\r\nb"
                                        << "a\n\nb";
    QTest::newRow("two line feeds, carriage return") << "a\n\n\rb"
                                                     << "a\n\nb";
}

// A line feed and a carriage return side by side break the line once, as
// the program's messages expect.
void TestDialogs::lineBreaks() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QString seen;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        seen = box->text();
        box->accept();
    });
    QtDialogs().message(nullptr, "Upozornění", text, Icon::Information, Buttons::Ok);
    QCOMPARE(seen, shown);
}

// A box of a short message still leaves its caption room in the title bar.
void TestDialogs::narrowBoxCaption() {
    int width = 0;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        width = box->width();
        box->accept();
    });
    QtDialogs().message(nullptr, "Upozornění", "a", Icon::Information, Buttons::Ok);
    QVERIFY2(width >= platform::captionRoom("Upozornění"), qPrintable(QString::number(width)));
}

void TestDialogs::fileDialog_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<int>("pickFilter"); // 0: leave as it is
    QTest::addColumn<QString>("choose"); // empty: cancel
    QTest::addColumn<QString>("expectedFile");
    QTest::addColumn<int>("expectedIndex");
    QTest::newRow("open, another filter picked") << false << 2 << 1 << "a.txt"
                                                 << "a.txt" << 1;
    QTest::newRow("save, default suffix") << true << 2 << 0 << "export"
                                          << "export.csv" << 2;
    QTest::newRow("save, own suffix kept") << true << 2 << 1 << "export.txt"
                                           << "export.txt" << 1;
    QTest::newRow("cancelled") << true << 1 << 0 << ""
                               << "" << 0;
}

void TestDialogs::fileDialog() {
    QFETCH(bool, save);
    QFETCH(int, filterIndex);
    QFETCH(int, pickFilter);
    QFETCH(QString, choose);
    QFETCH(QString, expectedFile);
    QFETCH(int, expectedIndex);

    QTemporaryDir dir;
    QVERIFY(QFile(dir.filePath("a.txt")).open(QIODevice::WriteOnly));
    Dialogs::FileOptions options{"Soubor", dir.path(), {}, "Text|*.txt|CSV|*.csv", filterIndex, ".csv", save};

    QStringList seen; // title, filters, preselected filter, asks before overwriting
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        seen << dialog->windowTitle() << dialog->nameFilters().join('|') << dialog->selectedNameFilter()
             << QString::number(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        if (pickFilter > 0) dialog->selectNameFilter(dialog->nameFilters().value(pickFilter - 1));
        if (choose.isEmpty()) return dialog->reject();
        dialog->selectFile(choose);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own accept() is protected
    });
    QtDialogs dialogs;
    const auto result = save ? dialogs.saveFile(nullptr, options) : dialogs.openFile(nullptr, options);

    const QString preselected = filterIndex == 2 ? "CSV (*.csv)" : "Text (*.txt)";
    QCOMPARE(seen, QStringList({"Soubor", "Text (*.txt)|CSV (*.csv)", preselected, QString::number(save)}));
    QCOMPARE(bool(result), !expectedFile.isEmpty());
    if (result) {
        QCOMPARE(result->path, dir.filePath(expectedFile));
        QCOMPARE(result->filterIndex, expectedIndex);
    }
}

// Qt's own parts of the dialogs speak Czech like the rest of the program.
void TestDialogs::czechQtTexts() {
    QVERIFY2(platform::installCzechQtTexts(*qApp), "Qt's Czech translations are not installed");
    QStringList buttons;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        for (auto* box : dialog->findChildren<QDialogButtonBox*>())
            for (QAbstractButton* b : box->buttons())
                buttons << b->text().remove(u'&');
        dialog->reject();
    });
    QtDialogs dialogs;
    QTemporaryDir dir;
    dialogs.openFile(nullptr, {"Soubor", dir.path(), {}, "Text|*.txt", 1, ".txt", false});
    QVERIFY2(buttons.contains("Zrušit") && buttons.contains("Otevřít"), qPrintable(buttons.join(", ")));
}

// The file dialog writes the files' times and sizes in the program's Czech
// locale, whatever the system's is.
void TestDialogs::czechDatesAndSizes() {
    platform::useCzechLocale();
    const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
    const QLocale czech(QLocale::Czech, QLocale::CzechRepublic);
    QTemporaryDir dir;
    QFile file(dir.filePath("kontakty.vcf"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(123456, 'x')) == 123456);
    const QDateTime written(QDate(2004, 12, 9), QTime(14, 5));
    QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
    file.close();

    QStringList seen; // size, time
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        auto* view = dialog->findChild<QTreeView*>("treeView");
        QVERIFY(view);
        const auto row = [view] {
            const QAbstractItemModel* model = view->model();
            for (int r = 0; r < model->rowCount(view->rootIndex()); ++r)
                if (model->index(r, 0, view->rootIndex()).data().toString() == "kontakty.vcf") return r;
            return -1;
        };
        QTRY_VERIFY(row() >= 0);
        for (int column : {1, 3})
            seen << view->model()->index(row(), column, view->rootIndex()).data().toString();
        dialog->reject();
    });
    QtDialogs().openFile(nullptr, {"Soubor", dir.path(), {}, "vCard|*.vcf", 1, ".vcf", false});
    QCOMPARE(seen,
             QStringList({czech.formattedDataSize(123456), czech.toString(written, QLocale::ShortFormat)}));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
