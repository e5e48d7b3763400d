// Awkward values typed into every search box, the contact editor, the
// information page's search and the import and export files, through the
// real widgets of one main window: each ends in a literal search or a clear
// message, the page back at rest, and the personal records untouched unless
// the user saved them.

#include "HostileInputs.h"
#include "MainWindowFixture.h"

#include "ContactEditing.h"
#include "ContactEditor.h"
#include "ExportDialog.h"
#include "ImportDialog.h"
#include "InformationPage.h"
#include "PageWidgets.h"
#include "platform/WhenModal.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

using namespace platform;

namespace {

QString textOf(QWidget* box) {
    if (auto* memo = qobject_cast<QPlainTextEdit*>(box)) return memo->toPlainText();
    return static_cast<QLineEdit*>(box)->text();
}

} // namespace

class TestHostileInput : public app_test::MainWindowTest {
    Q_OBJECT

    std::unique_ptr<MainWindow> m_window;
    QStringList m_personalBefore;
    int m_lastId = 0;
    int m_exports = 0;

    // One data row per box of the page and hostile input.
    static void boxTable(const QStringList& boxes) {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matchesNothing");
        for (const QString& box : boxes)
            for (const hostile::Input& in : hostile::inputs())
                QTest::addRow("%s, %s", qPrintable(box), in.name) << box << in.text << in.matchesNothing;
    }

    // What the user saw: the messages, or the rows the grid shows.
    static QString outcome(const QStringList& messages, int rows) {
        return messages.isEmpty()
                   ? QString::number(rows) + QStringLiteral(" rows")
                   : QStringLiteral("message: ") + messages.join(QStringLiteral(" / ")).left(90);
    }

    // Every message shown was a warning or a question with a text.
    void verifyMessages() {
        for (const ScriptedDialogs::Shown& shown : m_dialogs.shown()) {
            if (shown.kind != QStringLiteral("message")) continue;
            QVERIFY(shown.caption == Dialogs::kWarning || shown.caption == Dialogs::kQuestion ||
                    shown.caption == Dialogs::kInformation);
            QVERIFY(!shown.text.trimmed().isEmpty());
        }
    }

    // Types text into the named box of a search page, searches and checks
    // that the search came to rest.
    template <typename Page>
    void searchOn(int tab, const QString& box, const QString& text, bool matchesNothing) {
        app_test::tabsOf(*m_window)->setCurrentIndex(tab);
        auto* page = static_cast<Page*>(app_test::tabsOf(*m_window)->widget(tab));
        test_support::click(page, tab == 0 ? "Button3" : tab == 1 ? "Button5" : "BitBtn5");
        m_dialogs.clear();
        auto* edit = test_support::child<QLineEdit>(page, qPrintable(box));
        edit->setFocus();
        hostile::enter(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);

        const int rows = page->grid()->model()->rowCount();
        qInfo().noquote() << "outcome:" << QTest::currentDataTag() << "->"
                          << outcome(m_dialogs.messageTexts(), rows);
        verifyMessages();
        QVERIFY(page->button(Page::Button::Search)->isEnabled());
        QVERIFY(!page->button(Page::Button::Stop)->isEnabled());
        QVERIFY(page->button(Page::Button::Reset)->isEnabled());
        if (matchesNothing) QCOMPARE(rows, 0);
        QCOMPARE(app_test::personalRows(*m_window), m_personalBefore);
    }

  private slots:
    void initTestCase() {
        resetProgram();
        m_window = start();
        for (const char* name : {"Adámek", "Nováková", "Černý"})
            m_window->personalDatabase()->execute(
                QStringLiteral("INSERT INTO Vlastni (Prijmeni, Jmeno_1, domu_Obec, Tel_1) VALUES (\"%1\", "
                               "\"Jan\", \"Brno\", \"602123456\")")
                    .arg(QString::fromUtf8(name)),
                db::Database::FailOnError);
        m_personalBefore = app_test::personalRows(*m_window);
        QCOMPARE(m_personalBefore.size(), 3);
        db::Dataset last;
        last.setDatabase(m_window->personalDatabase());
        last.setSql(QStringLiteral("SELECT TOP 1 ID FROM Vlastni ORDER BY ID DESC"));
        last.open();
        m_lastId = last.value(0).toInt();
    }
    void cleanupTestCase() { m_window.reset(); }

    // Back to the three records, the editor closed and all of them listed.
    void cleanup() {
        auto* editor = m_window->findChild<ContactEditor*>(QStringLiteral("Form4"));
        if (editor && editor->isVisible()) test_support::click(editor, "zpet");
        m_window->personalDatabase()->execute(QStringLiteral("DELETE * FROM Vlastni WHERE ID > ") +
                                                  QString::number(m_lastId),
                                              db::Database::FailOnError);
        auto* page = static_cast<PersonalPage*>(app_test::tabsOf(*m_window)->widget(2));
        if (page->isVisible()) test_support::click(page, "Image18");
        QCOMPARE(app_test::personalRows(*m_window), m_personalBefore);
    }

    void personsSearch_data() { boxTable({"prijmeni", "jmeno", "ulice", "cp", "mesto", "psc", "tel"}); }
    void personsSearch() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(bool, matchesNothing);
        searchOn<DirectoryPage>(0, box, text, matchesNothing);
    }

    void firmsSearch_data() {
        boxTable({"firma", "poznamka", "ulice_f", "cp_f", "mesto_f", "psc_f", "tel_f"});
    }
    void firmsSearch() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(bool, matchesNothing);
        searchOn<DirectoryPage>(1, box, text, matchesNothing);
    }

    void personalSearch_data() {
        boxTable({"prijmeni_v", "jmeno_v", "firma_v", "ulice_v", "cp_v", "mesto_v", "psc_v", "tel_v"});
    }
    void personalSearch() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(bool, matchesNothing);
        searchOn<PersonalPage>(2, box, text, matchesNothing);
    }

    // A new contact with the value in one field: saved and shown again as it
    // was shown before the save, or refused with a message and nothing stored.
    void contactEditor_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        for (int f = 0; f < contact_editing::kFieldCount; ++f)
            for (const hostile::Input& in : hostile::inputs())
                QTest::addRow("%s, %s", qPrintable(contact_editing::controlName(contact_editing::Field(f))),
                              in.name)
                    << f << in.text;
    }
    void contactEditor() {
        QFETCH(int, field);
        QFETCH(QString, text);
        app_test::tabsOf(*m_window)->setCurrentIndex(2);
        auto* page = static_cast<PersonalPage*>(app_test::tabsOf(*m_window)->widget(2));
        m_dialogs.clear();
        test_support::click(page, "Image15");
        auto* editor = m_window->findChild<ContactEditor*>(QStringLiteral("Form4"));
        QVERIFY(editor->isVisible());
        QApplication::setActiveWindow(editor);
        const QString name = contact_editing::controlName(contact_editing::Field(field));
        auto* box = test_support::child<QWidget>(editor, qPrintable(name));
        box->setFocus();
        if (auto* memo = qobject_cast<QPlainTextEdit*>(box))
            hostile::enter(memo, text);
        else
            hostile::enter(static_cast<QLineEdit*>(box), text);
        QTest::keyClick(box, Qt::Key_Tab);
        const QString shown = textOf(box);
        test_support::click(editor, "ulozit");
        verifyMessages();

        const QStringList after = app_test::personalRows(*m_window);
        QString result;
        if (editor->isVisible()) {
            // Refused: the typed value is still there to correct (a number
            // in its editing form, without the blanks of its grouping; a
            // grouped number too long for the box showed only its start).
            QVERIFY(!m_dialogs.messageTexts().isEmpty());
            QVERIFY(textOf(box).remove(u' ').startsWith(QString(shown).remove(u' ')));
            test_support::click(editor, "zpet");
            QVERIFY(!editor->isVisible());
            QCOMPARE(app_test::personalRows(*m_window), m_personalBefore);
            result =
                QStringLiteral("refused: ") + m_dialogs.messageTexts().join(QStringLiteral(" / ")).left(80);
        } else {
            QCOMPARE(after.mid(0, m_personalBefore.size()), m_personalBefore);
            QCOMPARE(after.size(), m_personalBefore.size() + (shown.isEmpty() ? 0 : 1));
            if (!shown.isEmpty()) {
                test_support::click(page, "Image13");
                QVERIFY(editor->isVisible());
                QCOMPARE(textOf(box), shown);
                test_support::click(editor, "zpet");
            }
            result = QStringLiteral("saved ") + QString::number(shown.size()) +
                     QStringLiteral(" characters") +
                     (m_dialogs.messageTexts().isEmpty()
                          ? QString()
                          : QStringLiteral(", warned: ") + m_dialogs.messageTexts().join(u'/'));
        }
        qInfo().noquote() << "outcome:" << QTest::currentDataTag() << "->" << result;
    }

    // A file whose column name and value are the input: the name is mapped to
    // the surname and saved as a schema of that name, and the import runs. At
    // most the file's one record is added; the old ones stay as they were.
    void importFile_data() { boxTable({"file"}); }
    void importFile() {
        QFETCH(QString, text);
        app_test::tabsOf(*m_window)->setCurrentIndex(2);
        auto* page = static_cast<PersonalPage*>(app_test::tabsOf(*m_window)->widget(2));
        const QString path = m_program + QStringLiteral("import.txt");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            const QByteArray value = text.toUtf8();
            f.write(value + "\tJmeno\r\n" + value + "\tJan\r\n");
        }
        m_dialogs.clear();
        m_dialogs.answerOpen(Dialogs::FileResult{path, 1});
        m_dialogs.answerInput(text);
        bool ran = false;
        platform_test::whenModal<ImportDialog>([&ran](ImportDialog* d) {
            // The mapping of the previous row goes first.
            for (int n = d->mappingEditor()->rowCount(); n > 0; --n) {
                d->mappingEditor()->setCurrentCell(0, 0);
                d->button(ImportDialog::Button::Remove)->click();
            }
            test_support::click(d, "Button1"); // the source file
            d->separators()->button(2)->click();
            d->button(ImportDialog::Button::Preview)->click();
            d->sourceList()->setCurrentIndex(0);
            d->targetList()->setCurrentIndex(2);
            d->button(ImportDialog::Button::Add)->click();
            d->button(ImportDialog::Button::Save)->click();
            d->button(ImportDialog::Button::Import)->click();
            d->button(ImportDialog::Button::Back)->click();
            ran = true;
        });
        QTest::mouseClick(page->button(PersonalPage::Button::Import), Qt::LeftButton);
        QVERIFY(ran);
        verifyMessages();
        const QStringList after = app_test::personalRows(*m_window);
        QCOMPARE(after.mid(0, m_personalBefore.size()), m_personalBefore);
        QVERIFY(after.size() <= m_personalBefore.size() + 1);
        qInfo().noquote() << "outcome:" << QTest::currentDataTag() << "->"
                          << QString::number(after.size() - m_personalBefore.size()) +
                                 QStringLiteral(" records; ") +
                                 m_dialogs.messageTexts().join(QStringLiteral(" / ")).left(90);
    }

    // The input in the name of the export's folder or of its file: the file
    // is written where the save dialog said, or a message says why not and
    // nothing is left behind.
    void exportTarget_data() {
        QTest::addColumn<bool>("inFolder");
        QTest::addColumn<QString>("text");
        for (bool inFolder : {true, false})
            for (const hostile::Input& in : hostile::inputs())
                QTest::addRow("%s, %s", inFolder ? "folder" : "file name", in.name) << inFolder << in.text;
    }
    void exportTarget() {
        QFETCH(bool, inFolder);
        QFETCH(QString, text);
        app_test::tabsOf(*m_window)->setCurrentIndex(2);
        auto* page = static_cast<PersonalPage*>(app_test::tabsOf(*m_window)->widget(2));
        test_support::click(page, "Image18");
        page->grid()->setCurrentIndex(page->grid()->model()->index(0, 2));
        if (page->search()->state().markedCount == 0) page->toggleMark();
        const QString root = m_program + QStringLiteral("export-") + QString::number(++m_exports) + u'/';
        QDir().mkpath(root);
        const QString folder = inFolder ? root + QStringLiteral("d") + text + u'/' : root;
        QDir().mkpath(folder);
        const QString target = folder + (inFolder ? QStringLiteral("vystup") : QStringLiteral("v") + text) +
                               QStringLiteral(".txt");
        // The system would end the path at a NUL: a file named by the path up
        // to it must come through untouched.
        const QString cutAtNul = target.left(target.indexOf(QChar(u'\0')));
        if (text.contains(QChar(u'\0'))) {
            QFile keep(cutAtNul);
            QVERIFY(keep.open(QIODevice::WriteOnly));
            keep.write("kept");
        }
        m_dialogs.clear();
        platform_test::whenModal<QDialog>([](QDialog* d) {
            auto* e = qobject_cast<ExportDialog*>(d);
            if (!e) return d->reject();
            e->formatOption(io::ExportFormat::Semicolon)->click();
            e->exportButton()->click();
        });
        m_dialogs.answerSave(Dialogs::FileResult{target, 1});
        QTest::mouseClick(page->button(PersonalPage::Button::Export), Qt::LeftButton);
        verifyMessages();
        QVERIFY(page->button(PersonalPage::Button::Search)->isEnabled());
        const QStringList messages = m_dialogs.messageTexts();
        QCOMPARE(messages.size(), 1);
        if (messages.first() == io::resultMessage(target, 1)) {
            QFile written(target);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readAll().count("\r\n"), 2);
        } else {
            // Nothing half-written anywhere under the export's folder.
            QStringList files;
            for (const QString& dir : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                files << QDir(root + dir).entryList(QDir::Files);
            files << QDir(root).entryList(QDir::Files);
            if (text.contains(QChar(u'\0'))) {
                QFile keep(cutAtNul);
                QVERIFY(keep.open(QIODevice::ReadOnly));
                QCOMPARE(keep.readAll(), QByteArray("kept"));
                files.removeOne(QFileInfo(cutAtNul).fileName());
            }
            QVERIFY2(files.isEmpty(), qPrintable(files.join(u',') + u'|' + messages.first()));
        }
        qInfo().noquote() << "outcome:" << QTest::currentDataTag() << "->" << messages.first().left(90);
        QCOMPARE(app_test::personalRows(*m_window), m_personalBefore);
    }

    // The information page locates as the user types: never a message, the
    // list stays open with its rows.
    void informationSearch_data() { boxTable({"Edit1"}); }
    void informationSearch() {
        QFETCH(QString, text);
        app_test::tabsOf(*m_window)->setCurrentIndex(3);
        auto* page = static_cast<InformationPage*>(app_test::tabsOf(*m_window)->widget(3));
        m_dialogs.clear();
        for (InformationPage::List list :
             {InformationPage::List::FreephoneLines, InformationPage::List::PostalCodes,
              InformationPage::List::InternationalPrefixes, InformationPage::List::InternetAddresses}) {
            page->chooseList(list);
            const int rows = page->listQuery()->rowCount();
            auto* edit = test_support::child<QLineEdit>(page, "Edit1");
            edit->clear();
            hostile::enter(edit, text);
            QCOMPARE(page->listQuery()->rowCount(), rows);
            QVERIFY(page->listQuery()->isOpen());
        }
        QCOMPARE(m_dialogs.messageTexts(), QStringList());
        QCOMPARE(app_test::personalRows(*m_window), m_personalBefore);
    }
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
