// The import window driven through its controls, with scripted dialogs, the
// settings in memory and a personal database of its own.

#include "ContactImport.h"
#include "ImportDialog.h"
#include "ImportSchemas.h"
#include "OwnDatabases.h"
#include "PersonalSearch.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Transfers.h"
#include "contacts/PersonalSearchFixture.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

using platform::Dialogs;

namespace {

struct Harness : personal_test::SearchFiles {
    platform::ScriptedDialogs dialogs;
    platform::MemorySettingsStore settings;
    ImportDialog window;
    QList<bool> imported; // the fresh-table flags the page was told

    Harness() {
        ImportDialog::Services s;
        s.dialogs = &dialogs;
        s.settings = &settings;
        s.personal = [this] { return &search; };
        s.pageSize = [] { return 10; };
        s.imported = [this](bool fresh) { imported << fresh; };
        window.attach(std::move(s));
        window.show();
    }
    QString file(const QByteArray& bytes) {
        const QString path = dir.filePath(u"kontakty.csv"_s);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }
    void click(ImportDialog::Button b) { QTest::mouseClick(window.button(b), Qt::LeftButton); }
    // Chooses the file through the open dialog and loads its preview.
    void load(const QByteArray& bytes) {
        dialogs.answerOpen(Dialogs::FileResult{file(bytes), 1});
        click(ImportDialog::Button::Source);
        click(ImportDialog::Button::Preview);
    }
    void pair(int source, int target) {
        window.sourceList()->setCurrentIndex(source);
        window.targetList()->setCurrentIndex(target);
        click(ImportDialog::Button::Add);
    }
    QStringList stored(const QString& column) {
        return personal_test::columnOf(personal.get(), u"SELECT * FROM Vlastni ORDER BY ID"_s, column);
    }
};

const QByteArray kFile = QString::fromUtf8("Jméno;Příjmení;Telefon\r\nJan;Novák;+420 (123) 456-789\r\n"
                                           "Eva;\"Malá; Nová\";777 111 222\r\n")
                             .toUtf8();

} // namespace

class TestImportDialog : public QObject {
    Q_OBJECT

  private slots:
    // The file, its preview, a mapping and the import, with the result message.
    void importsThroughTheWindow() {
        Harness h;
        h.load(kFile);
        QCOMPARE(h.window.fileLabel()->text(), h.dir.filePath(u"kontakty.csv"_s));
        QCOMPARE(h.dialogs.shown().first().file.title, u"Import CSV"_s);
        QCOMPARE(h.dialogs.shown().first().file.filter, u"CSV|*.csv;*.txt"_s);
        QCOMPARE(h.window.sourceList()->itemText(1), u"Příjmení"_s);
        QCOMPARE(h.window.preview()->model()->index(1, 1).data().toString(), u"Malá; Nová"_s);
        h.pair(1, 2);
        h.pair(2, 12);
        QCOMPARE(h.window.mappingEditor()->rowCount(), 2);
        QCOMPARE(h.window.mappingEditor()->currentRow(), 1);
        h.click(ImportDialog::Button::Import);
        QCOMPARE(h.dialogs.messageTexts(), QStringList{u"Bylo importováno 2 záznamů.    "_s});
        QCOMPARE(h.dialogs.shown().last().caption, Dialogs::kInformation);
        QCOMPARE(h.stored(u"Prijmeni"_s), (QStringList{u"Novák"_s, u"Malá; Nová"_s}));
        QCOMPARE(h.stored(u"Tel_1"_s), (QStringList{u"123456789"_s, u"777111222"_s}));
        QCOMPARE(h.imported, QList<bool>{true});
    }

    // While the records are posted a progress window over the import window
    // counts them; its Storno stops the import after the record in hand, and
    // the records stored before it stay and are counted in the result.
    void progressAndCancel() {
        Harness h;
        QByteArray file = "Příjmení\r\n";
        for (int i = 1; i <= 20; ++i)
            file += "Záznam " + QByteArray::number(i) + "\r\n";
        h.load(file);
        h.pair(0, 2);
        QStringList seen;
        bool importWindowEnabled = true;
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* progress = h.window.findChild<QProgressDialog*>(u"importProgress"_s);
            if (!progress || progress->wasCanceled()) return;
            seen << progress->labelText();
            importWindowEnabled = importWindowEnabled && h.window.isEnabled();
            QVERIFY(progress->isVisible());
            QCOMPARE(progress->windowModality(), Qt::WindowModal);
            if (progress->value() == 5) {
                auto* cancel = progress->findChild<QPushButton*>();
                QCOMPARE(cancel->text(), u"&Storno"_s);
                cancel->click();
            }
        });
        watch.start();
        h.click(ImportDialog::Button::Import);
        watch.stop();
        QVERIFY2(seen.contains(u"Importováno 5 z 20 záznamů"_s), qPrintable(seen.join(u'|')));
        QVERIFY(importWindowEnabled);
        QVERIFY(!h.window.findChild<QProgressDialog*>());
        QCOMPARE(h.dialogs.messageTexts(),
                 QStringList{u"Bylo importováno 5 záznamů.    \nImport byl zrušen, zbývajících 15 záznamů "
                             "nebylo importováno.    "_s});
        QCOMPARE(h.stored(u"Prijmeni"_s).size(), 5);
        QCOMPARE(h.stored(u"Prijmeni"_s).last(), u"Záznam 5"_s);
        QVERIFY(h.window.isVisible());
    }

    // A name that is empty or holds a backslash is asked for again: it would
    // not be a key of its own, and an empty one would be the list key itself.
    void invalidSchemaName() {
        Harness h;
        io::ImportSchemas(h.settings).save(u"Staré"_s, {{0, 0}});
        h.load(kFile);
        h.pair(0, 1);
        h.dialogs.clear();
        h.dialogs.answerInput(u" "_s);
        h.dialogs.answerInput(u"a\\b"_s);
        h.click(ImportDialog::Button::Save);
        QCOMPARE(h.dialogs.messageTexts(),
                 (QStringList{io::invalidSchemaNameMessage(), io::invalidSchemaNameMessage()}));
        QCOMPARE(io::ImportSchemas(h.settings).names(), QStringList{u"Staré"_s});
        QCOMPARE(io::ImportSchemas(h.settings).load(u"Staré"_s), (QList<io::Assignment>{{0, 0}}));
    }

    // A mapped column the preview does not have stops the import before anything is stored.
    void mappedColumnMissing() {
        Harness h;
        h.load(kFile);
        h.pair(2, 12);
        h.load("Jméno;Fax\r\nJan;1\r\n");
        h.click(ImportDialog::Button::Import);
        QCOMPARE(h.dialogs.messageTexts(), QStringList{io::missingColumnsMessage({u"Telefon"_s})});
        QCOMPARE(h.stored(u"ID"_s).size(), 0);
    }

    void importWithoutPreview_data() {
        QTest::addColumn<bool>("chosen");
        QTest::newRow("no file") << false;
        QTest::newRow("file chosen, not loaded") << true;
    }
    void importWithoutPreview() {
        QFETCH(bool, chosen);
        Harness h;
        if (chosen) {
            h.load(kFile);
            h.pair(0, 1);
            h.dialogs.answerOpen(Dialogs::FileResult{h.file("a;b\r\n"), 1});
            h.click(ImportDialog::Button::Source);
        }
        h.click(ImportDialog::Button::Import);
        QCOMPARE(h.dialogs.messageTexts(), QStringList{io::previewFirstMessage()});
        QCOMPARE(h.stored(u"ID"_s).size(), 0);
    }

    // Choosing a file and loading its preview, step by step: a schema opens
    // over the columns the preview shows (those of the previous file while
    // another one waits for its preview), and the names switch reloads only
    // a preview that is not waiting.
    void previewSteps_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("opened"); // the source of the schema's row; empty: refused
        QTest::addColumn<bool>("reloads");
        QTest::newRow("nothing chosen") << QStringList{} << QString() << false;
        QTest::newRow("chosen") << QStringList{u"A"_s} << QString() << false;
        QTest::newRow("loaded") << QStringList{u"A"_s, u"load"_s} << u"a"_s << true;
        QTest::newRow("another chosen") << QStringList{u"A"_s, u"load"_s, u"B"_s} << u"a"_s << false;
        QTest::newRow("two more chosen") << QStringList{u"A"_s, u"load"_s, u"B"_s, u"B"_s} << u"a"_s << false;
        QTest::newRow("another loaded")
            << QStringList{u"A"_s, u"load"_s, u"B"_s, u"load"_s} << u"x"_s << true;
        QTest::newRow("load failed") << QStringList{u"A"_s, u"load"_s, u"missing"_s, u"load"_s} << QString()
                                     << false;
    }
    void previewSteps() {
        QFETCH(QStringList, steps);
        QFETCH(QString, opened);
        QFETCH(bool, reloads);
        Harness h;
        io::ImportSchemas(h.settings).save(u"První"_s, {{0, 1}});
        h.window.hide();
        h.window.show();
        for (const QString& step : steps) {
            if (step == u"load"_s) {
                h.click(ImportDialog::Button::Preview);
                continue;
            }
            const QString path = h.dir.filePath(step + u".csv"_s);
            if (step != u"missing"_s) {
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(step == u"A"_s ? "a;b\r\n1;2\r\n" : "x;y\r\n3;4\r\n");
            }
            h.dialogs.answerOpen(Dialogs::FileResult{path, 1});
            h.click(ImportDialog::Button::Source);
        }
        h.dialogs.clear();
        h.window.schemaList()->setCurrentIndex(0);
        h.click(ImportDialog::Button::Open);
        if (opened.isEmpty()) {
            QCOMPARE(h.dialogs.messageTexts(), QStringList{io::schemaNotLoadedMessage(u"První"_s, 0)});
        } else {
            QCOMPARE(h.dialogs.messageTexts(), QStringList{});
            QCOMPARE(h.window.mapping().row(0).source, opened);
        }
        const QString before = h.window.sourceList()->itemText(0);
        h.window.namesCheck()->setChecked(false);
        QCOMPARE(h.window.sourceList()->itemText(0), reloads ? u"Pole0"_s : before);
    }

    void notTextRefused() {
        Harness h;
        h.load(QByteArray("Jan;Novák\0\r\n", 12));
        const QString path = h.dir.filePath(u"kontakty.csv"_s);
        QCOMPARE(h.dialogs.messageTexts(), QStringList{io::notTextMessage(path)});
        QCOMPARE(h.window.sourceList()->count(), 6);
        QCOMPARE(h.window.sourceList()->itemText(0), QString());
        h.dialogs.clear();
        h.click(ImportDialog::Button::Import);
        QCOMPARE(h.dialogs.messageTexts(), QStringList{io::previewFirstMessage()});
    }

    // Switching the names check box reloads the preview at once.
    void namesSwitchReloads() {
        Harness h;
        h.load("a;b;c\r\n1;2;3\r\n");
        QCOMPARE(h.window.sourceList()->itemText(0), u"a"_s);
        h.window.namesCheck()->setChecked(false);
        QStringList names;
        for (int i = 0; i < h.window.sourceList()->count(); ++i)
            names << h.window.sourceList()->itemText(i);
        QCOMPARE(names,
                 (QStringList{u"Pole0"_s, u"Pole1"_s, u"Pole2"_s, u"Pole3"_s, u"Pole4"_s, u"Pole5"_s}));
        QCOMPARE(h.window.preview()->model()->rowCount(), 2);
    }

    // Selecting a mapping row shows its pair; overwrite and remove act on the current row.
    void mappingEditor() {
        Harness h;
        h.load(kFile);
        h.pair(0, 1);
        h.pair(2, 12);
        h.window.mappingEditor()->setCurrentCell(0, 0);
        QCOMPARE(h.window.sourceList()->currentIndex(), 0);
        QCOMPARE(h.window.targetList()->currentIndex(), 1);
        h.window.sourceList()->setCurrentIndex(1);
        h.window.targetList()->setCurrentIndex(2);
        h.click(ImportDialog::Button::Overwrite);
        QCOMPARE(h.window.mappingEditor()->item(0, 0)->text(), u"Příjmení"_s);
        QCOMPARE(h.window.mappingEditor()->item(0, 1)->text(), u"příjmení"_s);
        h.click(ImportDialog::Button::Remove);
        QCOMPARE(h.window.mapping().size(), 1);
        QCOMPARE(h.window.mapping().row(0).target, 12);
        h.click(ImportDialog::Button::Remove);
        h.click(ImportDialog::Button::Remove); // nothing left to remove
        QCOMPARE(h.window.mapping().size(), 1);
        QVERIFY(h.window.mapping().row(0).isEmpty());
    }

    // Saving asks for a name; an existing one is replaced only on Yes, No asks again.
    void saveAndOpenSchema() {
        Harness h;
        io::ImportSchemas(h.settings).save(u"Staré"_s, {{0, 0}});
        h.load(kFile);
        h.pair(1, 2);
        h.pair(2, 14);
        h.dialogs.clear();
        h.dialogs.answerInput(u"Staré"_s);
        h.dialogs.answerMessage(Dialogs::Answer::No);
        h.dialogs.answerInput(u"Nové"_s);
        h.click(ImportDialog::Button::Save);
        QCOMPARE(h.dialogs.messageTexts(), QStringList{io::schemaExistsQuestion()});
        QCOMPARE(h.dialogs.shown().first().caption, io::schemaNameCaption());
        QCOMPARE(h.dialogs.shown().first().text, io::schemaNamePrompt());
        io::ImportSchemas schemas(h.settings);
        QCOMPARE(schemas.load(u"Staré"_s), (QList<io::Assignment>{{0, 0}}));
        QCOMPARE(schemas.load(u"Nové"_s), (QList<io::Assignment>{{1, 2}, {2, 14}}));
        QCOMPARE(h.window.schemaList()->currentText(), u"Nové"_s);

        // Opened over another file, the schema maps its columns by position.
        h.load("A;B;C\r\n1;2;3\r\n");
        h.window.schemaList()->setCurrentIndex(h.window.schemaList()->findText(u"Nové"_s));
        h.click(ImportDialog::Button::Open);
        QCOMPARE(h.window.mapping().size(), 2);
        QCOMPARE(h.window.mapping().row(0).source, u"B"_s);
        QCOMPARE(h.window.mapping().row(1).source, u"C"_s);
        QCOMPARE(h.window.mapping().row(1).target, 14);
    }

    // A schema naming columns the preview lacks is refused and the mapping stays.
    void schemaBeyondPreview() {
        Harness h;
        io::ImportSchemas(h.settings).save(u"Široké"_s, {{0, 1}, {9, 2}});
        h.window.hide();
        h.window.show();
        h.load("a;b\r\n");
        h.pair(0, 3);
        h.dialogs.clear();
        h.window.schemaList()->setCurrentIndex(0);
        h.click(ImportDialog::Button::Open);
        QCOMPARE(h.dialogs.messageTexts(), QStringList{io::schemaNotLoadedMessage(u"Široké"_s, 6)});
        QCOMPARE(h.window.mapping().row(0).target, 3);
    }

    void deleteSchema_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void deleteSchema() {
        QFETCH(bool, yes);
        Harness h;
        io::ImportSchemas(h.settings).save(u"Pryč"_s, {{0, 1}});
        h.window.hide();
        h.window.show();
        h.window.schemaList()->setCurrentIndex(0);
        h.dialogs.answerMessage(yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        h.click(ImportDialog::Button::Delete);
        QCOMPARE(h.dialogs.messageTexts(), QStringList{u"Přejete si smazat schéma \"Pryč\"?    "_s});
        QCOMPARE(io::ImportSchemas(h.settings).exists(u"Pryč"_s), !yes);
        QCOMPARE(h.window.schemaList()->count(), yes ? 0 : 1);
    }

    // At the limit the single-transfer message comes before the result.
    void limitMessages() {
        Harness h;
        h.personal->beginTransaction();
        for (int i = 0; i < 498; ++i)
            h.add({{u"Prijmeni"_s, u"X"_s}});
        h.personal->commit();
        h.window.namesCheck()->setChecked(false);
        h.load("a\r\nb\r\nc\r\nd\r\ne\r\n");
        h.pair(0, 2);
        h.click(ImportDialog::Button::Import);
        QCOMPARE(h.dialogs.messageTexts(),
                 (QStringList{Transfers::singleLimitMessage(), u"Bylo importováno 2 záznamů.    "_s}));
        const auto& limit = h.dialogs.shown().at(h.dialogs.shown().size() - 2);
        QCOMPARE(limit.caption, Dialogs::kInformation);
        QCOMPARE(limit.icon, Dialogs::Icon::Information);
    }

    // Closing clears the preview and the file; the mapping stays. Being hidden
    // (with a minimised main window) is no closing.
    void closingClears() {
        Harness h;
        h.load(kFile);
        h.pair(0, 1);
        h.window.hide();
        h.window.show();
        QCOMPARE(h.window.preview()->model()->rowCount(), 2);
        QCOMPARE(h.window.fileLabel()->text(), h.dir.filePath(u"kontakty.csv"_s));
        h.click(ImportDialog::Button::Back);
        QVERIFY(!h.window.isVisible());
        QCOMPARE(h.window.fileLabel()->text(), QString());
        QCOMPARE(h.window.preview()->model()->rowCount(), 1);
        QCOMPARE(h.window.preview()->model()->index(0, 0).data().toString(), QString());
        QCOMPARE(h.window.mapping().row(0).target, 1);
        QCOMPARE(h.window.targetList()->currentIndex(), -1);
    }

    void columnWidthFollowsWindow() {
        Harness h;
        h.window.resize(900, 500);
        QCOMPARE(h.window.preview()->horizontalHeader()->sectionSize(0), 150);
    }
};

QTEST_MAIN(TestImportDialog)
#include "tst_importdialog.moc"
