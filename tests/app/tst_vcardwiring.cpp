// Personal contacts to and from vCard files through the "Soubor" menu: the
// export writes the marked records, or every record after a question; the
// import posts the cards and shows them on the Vlastní page.

#include "MainWindowFixture.h"

#include "VCard.h"

#include <QAction>
#include <QFile>

using namespace platform;

class TestVCardWiring : public app_test::MainWindowTest {
    Q_OBJECT

    static void trigger(MainWindow& w, const char* name) {
        auto* action = w.findChild<QAction*>(QString::fromLatin1(name));
        QVERIFY(action);
        action->trigger();
    }

    static QList<vcard::Card> cardsIn(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? vcard::parse(f.readAll()).cards : QList<vcard::Card>();
    }

  private slots:
    void init() { resetProgram(); }

    // Marked rows go out without a question; no marks ask first.
    void exportFromMenu_data() {
        QTest::addColumn<QList<int>>("marked");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("surnames");
        const QString all =
            QStringLiteral("Není označen žádný záznam. Exportovat všechny záznamy vlastní databáze (3)?    ");
        const QString result = QStringLiteral("Do souboru \"{file}\" bylo exportováno %1 záznamů.");
        QTest::newRow("two marked") << QList<int>{2, 0} << Dialogs::Answer::Yes << QStringList{result.arg(2)}
                                    << QStringList{QStringLiteral("Bílá"), QStringLiteral("Malá")};
        QTest::newRow("none marked, yes")
            << QList<int>{} << Dialogs::Answer::Yes << QStringList{all, result.arg(3)}
            << QStringList{QStringLiteral("Malá"), QStringLiteral("Bílá"), QStringLiteral("Černá")};
        QTest::newRow("none marked, no")
            << QList<int>{} << Dialogs::Answer::No << QStringList{all} << QStringList{};
    }
    void exportFromMenu() {
        QFETCH(QList<int>, marked);
        QFETCH(Dialogs::Answer, answer);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, surnames);
        auto w = start();
        app_test::tabsOf(*w)->setCurrentIndex(2);
        QStringList inserts;
        for (const char* name : {"Malá", "Bílá", "Černá"})
            inserts << QStringLiteral("INSERT INTO Vlastni (Prijmeni) VALUES (\"%1\")")
                           .arg(QString::fromUtf8(name));
        app_test::PageParts parts = app_test::listPage(*w, 2, inserts);
        for (int row : marked) {
            parts.grid->setCurrentIndex(parts.grid->model()->index(row, 2));
            parts.toggleMark();
        }
        const QString path = m_program + QStringLiteral("kontakty.vcf");
        m_dialogs.answerMessage(answer);
        m_dialogs.answerSave(Dialogs::FileResult{path, 1});
        trigger(*w, "vcardExport");
        for (QString& m : messages)
            m.replace(QStringLiteral("{file}"), path);
        QCOMPARE(m_dialogs.messageTexts(), messages);
        QStringList written;
        for (const vcard::Card& card : cardsIn(path))
            written << card.properties.value(1).components().value(0); // N after FN
        QCOMPARE(written, surnames);
    }

    // A file with folded lines and several addresses becomes records on the Vlastní page.
    void importFromMenu() {
        auto w = start();
        app_test::tabsOf(*w)->setCurrentIndex(0);
        const QString path = m_program + QStringLiteral("kontakty.vcf");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nov\xC3\xA1k;Jan;;;\r\nFN:Jan Nov\xC3\xA1k\r\n"
                "ADR;TYPE=HOME:;;Dlouh\xC3\xA1 12;Praha;;110 00;\r\n \xC4\x8C"
                "esko\r\n"
                "ADR;TYPE=WORK,PREF:;;Kr\xC3\xA1tk\xC3\xA1 5;Brno;;602 00;\r\nEND:VCARD\r\n"
                "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Stavby\\, s.r.o.\r\nORG:Stavby\\, s.r.o.\r\nEND:VCARD\r\n");
        f.close();
        m_dialogs.answerOpen(Dialogs::FileResult{path, 1});
        trigger(*w, "vcardImport");
        QCOMPARE(m_dialogs.messageTexts(), QStringList{QStringLiteral("Bylo importováno 2 záznamů.    ")});
        QCOMPARE(app_test::tabsOf(*w)->currentIndex(), 2);
        const app_test::PageParts parts = app_test::partsOf(*w, 2);
        QCOMPARE(parts.grid->model()->rowCount(), 2);
        parts.query->first();
        QCOMPARE(parts.query->text(QStringLiteral("Prijmeni")), QStringLiteral("Novák"));
        QCOMPARE(parts.query->text(QStringLiteral("domu_Stat")), QStringLiteral("Česko"));
        QCOMPARE(parts.query->text(QStringLiteral("zobraz_adr")), QStringLiteral("zam"));
        QCOMPARE(parts.query->text(QStringLiteral("Obec")), QStringLiteral("Brno"));
        parts.query->next();
        QCOMPARE(parts.query->text(QStringLiteral("Firma")), QStringLiteral("Stavby, s.r.o."));

        // A file that is no vCard imports nothing.
        m_dialogs.clear();
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("Jan;Novák\r\n");
        f.close();
        m_dialogs.answerOpen(Dialogs::FileResult{path, 1});
        trigger(*w, "vcardImport");
        QCOMPARE(
            m_dialogs.messageTexts(),
            QStringList{QStringLiteral("Soubor \"%1\" není ve formátu vCard. Nic nebylo importováno.    ")
                            .arg(QDir::toNativeSeparators(path))});
        QCOMPARE(parts.grid->model()->rowCount(), 2);
    }
};

QTEST_MAIN(TestVCardWiring)
#include "tst_vcardwiring.moc"
