#include "Limits.h"
#include "LimitsDialog.h"
#include "SettingsFixture.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using List = Limits::List;
using Kind = Limits::Kind;
Q_DECLARE_METATYPE(Limits::List)
Q_DECLARE_METATYPE(Limits::Kind)

class TestLimits : public QObject {
    Q_OBJECT
  private slots:
    void validation_data();
    void validation();
    void changedOnlyWhenTextChanges();
    void searchLimitAsReadersTakeIt_data();
    void searchLimitAsReadersTakeIt();

    void typingIsCorrectedAtOnce_data();
    void typingIsCorrectedAtOnce();
    void backRestoresDisplayedTexts();
    void saveFillsEmptyFields();
    void keys_data();
    void keys();
    void groupCaptionClickFocusesFirstField();

  private:
    // A dialog shown and active, so that keys and focus behave as for a user.
    static void showActive(LimitsDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
    static void click(LimitsDialog& dialog, const char* button) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
};

void TestLimits::validation_data() {
    QTest::addColumn<List>("list");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    // The page size before is 25; -1 means it must stay so.
    QTest::addColumn<int>("pageSize");

    // clang-format off
    QTest::newRow("displayed above the largest") << List::Persons << Kind::Displayed << "51" << "50" << 50;
    QTest::newRow("displayed too long for 64 bits")
        << List::Persons << Kind::Displayed << "123456789012345678901234" << "50" << 50;
    QTest::newRow("displayed zero") << List::Firms << Kind::Displayed << "0" << "1" << 1;
    QTest::newRow("displayed negative") << List::Firms << Kind::Displayed << "-3" << "1" << 1;
    QTest::newRow("displayed letter") << List::Personal << Kind::Displayed << "x" << "10" << 10;
    QTest::newRow("displayed digits and letters") << List::Personal << Kind::Displayed << "7a" << "10" << 10;
    QTest::newRow("displayed valid") << List::Firms << Kind::Displayed << "7" << "7" << 7;
    QTest::newRow("displayed empty") << List::Firms << Kind::Displayed << "" << "" << -1;
    QTest::newRow("searched above the largest") << List::Firms << Kind::Searched << "250" << "200" << -1;
    QTest::newRow("searched between the two largest") << List::Persons << Kind::Searched << "120" << "120" << -1;
    QTest::newRow("searched zero") << List::Persons << Kind::Searched << "0" << "1" << -1;
    QTest::newRow("searched letter") << List::Personal << Kind::Searched << "abc" << "10" << -1;
    QTest::newRow("searched empty") << List::Personal << Kind::Searched << "" << "" << -1;
    // clang-format on
}

void TestLimits::validation() {
    QFETCH(List, list);
    QFETCH(Kind, kind);
    QFETCH(QString, input);
    QFETCH(QString, text);
    QFETCH(int, pageSize);

    Limits limits;
    limits.setText(list, Kind::Displayed, QStringLiteral("25"));
    QCOMPARE(limits.setText(list, kind, input), text);
    QCOMPARE(limits.text(list, kind), text);
    QCOMPARE(limits.pageSize(list), pageSize < 0 ? 25 : pageSize);
    // The hints follow the displayed text, an empty one included.
    const QString displayed = limits.text(list, Kind::Displayed);
    QCOMPARE(limits.previousHint(list), QStringLiteral("Předchozích ") + displayed);
    QCOMPARE(limits.nextHint(list), QStringLiteral("Dalších ") + displayed);
    // The other lists keep their first values.
    for (List other : {List::Persons, List::Firms, List::Personal}) {
        if (other == list) continue;
        QCOMPARE(limits.pageSize(other), 10);
        QCOMPARE(limits.text(other, Kind::Searched), QStringLiteral("200"));
    }
}

void TestLimits::changedOnlyWhenTextChanges() {
    Limits limits;
    QSignalSpy spy(&limits, &Limits::changed);
    limits.setText(List::Firms, Kind::Displayed, QStringLiteral("10"));
    QCOMPARE(spy.count(), 0);
    // "99" becomes "50", a change; "77" becomes "50" again, none.
    limits.setText(List::Firms, Kind::Displayed, QStringLiteral("99"));
    limits.setText(List::Firms, Kind::Displayed, QStringLiteral("77"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<List>(), List::Firms);
    QCOMPARE(spy.at(0).at(1).value<Kind>(), Kind::Displayed);
}

// The number every reader of a searched-records field gets; an empty field
// (kept when the dialog is closed with Esc) counts as 200.
void TestLimits::searchLimitAsReadersTakeIt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::newRow("empty") << "" << 200;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("as typed with blanks") << " 120 " << 120;
    QTest::newRow("with a sign") << "+7" << 7;
    QTest::newRow("clamped") << "999" << 200;
}

void TestLimits::searchLimitAsReadersTakeIt() {
    QFETCH(QString, text);
    QFETCH(int, limit);
    for (List list : {List::Persons, List::Firms, List::Personal}) {
        Limits limits;
        limits.setText(list, Kind::Searched, text);
        QCOMPARE(limits.searchLimit(list), limit);
    }
}

void TestLimits::typingIsCorrectedAtOnce_data() {
    QTest::addColumn<List>("list");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("51 into Maxim_o") << List::Persons << Kind::Displayed << "51"
                                     << "50";
    QTest::newRow("0 into Maxim_o") << List::Persons << Kind::Displayed << "0"
                                    << "1";
    QTest::newRow("letter into Maxim_f") << List::Firms << Kind::Displayed << "a"
                                         << "10";
    // "500" validates to the "50" the model already holds: the field must still be corrected.
    QTest::newRow("500 into maxim_v") << List::Personal << Kind::Displayed << "500"
                                      << "50";
    QTest::newRow("250 into vyhled_f") << List::Firms << Kind::Searched << "250"
                                       << "200";
    // "-" alone is not a number and becomes "10"; the "5" then makes "105".
    QTest::newRow("minus into vyhled_o") << List::Persons << Kind::Searched << "-5"
                                         << "105";
}

void TestLimits::typingIsCorrectedAtOnce() {
    QFETCH(List, list);
    QFETCH(Kind, kind);
    QFETCH(QString, typed);
    QFETCH(QString, text);

    settings_test::Fixture f;
    LimitsDialog dialog(*f.app);
    showActive(dialog);
    auto* edit = dialog.findChild<QLineEdit*>(Limits::fieldName(list, kind));
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), text);
    QCOMPARE(f.app->limits().text(list, kind), text);
}

void TestLimits::backRestoresDisplayedTexts() {
    settings_test::Fixture f;
    Limits& limits = f.app->limits();
    LimitsDialog dialog(*f.app);
    showActive(dialog);

    auto* persons = dialog.findChild<QLineEdit*>("Maxim_o");
    persons->setFocus();
    persons->selectAll();
    QTest::keyClicks(persons, QStringLiteral("30"));
    QCOMPARE(limits.pageSize(List::Persons), 30);
    dialog.findChild<QLineEdit*>("maxim_v")->clear();
    dialog.findChild<QLineEdit*>("vyhled_o")->setText(QStringLiteral("150"));

    click(dialog, "BitBtn2");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(persons->text(), QStringLiteral("10"));
    QCOMPARE(limits.pageSize(List::Persons), 10);
    QCOMPARE(limits.previousHint(List::Persons), QStringLiteral("Předchozích 10"));
    QCOMPARE(limits.text(List::Personal, Kind::Displayed), QStringLiteral("10"));
    // The searched-records fields keep their edited texts.
    QCOMPARE(limits.text(List::Persons, Kind::Searched), QStringLiteral("150"));

    // A change made while the dialog is closed shows in it, and the next
    // opening records the texts anew.
    limits.setText(List::Firms, Kind::Displayed, QStringLiteral("20"));
    QCOMPARE(dialog.findChild<QLineEdit*>("Maxim_f")->text(), QStringLiteral("20"));
    showActive(dialog);
    dialog.findChild<QLineEdit*>("Maxim_f")->setText(QStringLiteral("5"));
    click(dialog, "BitBtn2");
    QCOMPARE(limits.pageSize(List::Firms), 20);
}

void TestLimits::saveFillsEmptyFields() {
    settings_test::Fixture f;
    Limits& limits = f.app->limits();
    LimitsDialog dialog(*f.app);
    QStringList summaries;
    connect(&dialog, &LimitsDialog::saved, this,
            [&] { summaries << limits.summary(List::Personal) << limits.summary(List::Firms); });
    showActive(dialog);
    dialog.findChild<QLineEdit*>("vyhled_v")->clear();
    dialog.findChild<QLineEdit*>("Maxim_f")->clear();

    click(dialog, "BitBtn1");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.findChild<QLineEdit*>("vyhled_v")->text(), QStringLiteral("200"));
    QCOMPARE(dialog.findChild<QLineEdit*>("Maxim_f")->text(), QStringLiteral("50"));
    QCOMPARE(limits.pageSize(List::Firms), 50);
    // Taken when the signal came: the summaries already see the filled values.
    QCOMPARE(summaries, (QStringList{QStringLiteral("10 zobrazovaných, 200 vyhledávaných"),
                                     QStringLiteral("50 zobrazovaných, 200 vyhledávaných")}));
}

void TestLimits::keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("text");
    QTest::newRow("Enter saves") << int(Qt::Key_Return) << true << "50";
    QTest::newRow("Esc keeps the empty field") << int(Qt::Key_Escape) << false << "";
}

void TestLimits::keys() {
    QFETCH(int, key);
    QFETCH(bool, saved);
    QFETCH(QString, text);

    settings_test::Fixture f;
    LimitsDialog dialog(*f.app);
    QSignalSpy spy(&dialog, &LimitsDialog::saved);
    showActive(dialog);
    auto* edit = dialog.findChild<QLineEdit*>("Maxim_f");
    edit->setFocus();
    edit->setText(QStringLiteral("7"));
    edit->clear();
    QTest::keyClick(edit, Qt::Key(key));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(spy.count(), saved ? 1 : 0);
    QCOMPARE(f.app->limits().text(List::Firms, Kind::Displayed), text);
    QCOMPARE(f.app->limits().pageSize(List::Firms), saved ? 50 : 7);
}

void TestLimits::groupCaptionClickFocusesFirstField() {
    settings_test::Fixture f;
    LimitsDialog dialog(*f.app);
    showActive(dialog);
    auto* first = dialog.findChild<QLineEdit*>("Maxim_o");
    auto* last = dialog.findChild<QLineEdit*>("vyhled_v");
    const auto boxes = dialog.findChildren<QGroupBox*>();
    QCOMPARE(boxes.size(), 2);
    for (QGroupBox* box : boxes) {
        last->setFocus();
        QTRY_VERIFY(last->hasFocus());
        // Into the caption: a little right of the box's left edge, at the title's height.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->fontMetrics().averageCharWidth() * 3, 3));
        QTRY_VERIFY2(first->hasFocus(), qPrintable(box->title()));
    }
}

QTEST_MAIN(TestLimits)
#include "tst_limits.moc"
