#include "DesktopLinks.h"
#include "TextHelpers.h"

#include <QTest>
#include <QUrl>

class TestTextHelpers : public QObject {
    Q_OBJECT
  private slots:
    void formats_data();
    void formats();
};

using Format = QString (*)(const QString&);
Q_DECLARE_METATYPE(Format)

void TestTextHelpers::formats_data() {
    QTest::addColumn<Format>("format");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    const Format phone = text::phoneGrouping;
    // clang-format off
    QTest::newRow("phone, too short") << phone << "12" << "12";
    // The last character closes the text: never a blank after it.
    QTest::newRow("phone, one group") << phone << "123" << "123";
    QTest::newRow("phone, nine") << phone << "123456789" << "123 456 789";
    QTest::newRow("phone, twelve") << phone << "123456789012" << "123 456 789 012";
    // A short tail is split off while the group ends at most at the 6th character...
    QTest::newRow("phone, five") << phone << "12345" << "123 45";
    QTest::newRow("phone, seven") << phone << "1234567" << "123 456 7";
    QTest::newRow("phone, eight") << phone << "12345678" << "123 456 78";
    // ...later it stays with the last group.
    QTest::newRow("phone, ten") << phone << "1234567890" << "123 456 7890";
    QTest::newRow("phone, eleven") << phone << "12345678901" << "123 456 78901";
    QTest::newRow("phone, international") << phone << "+420123456789" << "+420 123 456 789";
    // The position in the text, "+" included, decides the short tail.
    QTest::newRow("phone, plus shifts position") << phone << "+12345678" << "+123 45678";
    QTest::newRow("phone, parentheses") << phone << "(+420)123456789" << "(+420 ) 123 456 789";

    QTest::newRow("postal, five") << Format(text::postalCodeSplit) << "12345" << "123 45";
    QTest::newRow("postal, four") << Format(text::postalCodeSplit) << "1234" << "1234";
    QTest::newRow("postal, six") << Format(text::postalCodeSplit) << "123456" << "123456";

    // Only U+0020 is a blank; tabs and no-break spaces stay.
    QTest::newRow("blanks") << Format(text::removeBlanks) << QStringLiteral(" 1  2\t3\u00a04 ") << QStringLiteral("12\t3\u00a04");

    QTest::newRow("thousands, short") << Format(text::thousandsGrouping) << "12" << "12";
    QTest::newRow("thousands, three") << Format(text::thousandsGrouping) << "250" << " 250";
    QTest::newRow("thousands, four") << Format(text::thousandsGrouping) << "1250" << "1 250";
    QTest::newRow("thousands, six") << Format(text::thousandsGrouping) << "125000" << " 125 000";
    QTest::newRow("thousands, seven") << Format(text::thousandsGrouping) << "1250000" << "1 250 000";

    // A call: a Czech number of nine digits goes international, one given so stays.
    const Format tel = desktop_links::telUri;
    QTest::newRow("tel, grouped") << tel << "602 123 456" << "tel:+420602123456";
    QTest::newRow("tel, 00") << tel << "00420602123456" << "tel:+420602123456";
    QTest::newRow("tel, foreign") << tel << "0049 30 1234567" << "tel:+49301234567";
    QTest::newRow("tel, 420 without plus") << tel << "420602123456" << "tel:+420602123456";
    QTest::newRow("tel, marks") << tel << "(+420) 602-123/456" << "tel:+420602123456";
    QTest::newRow("tel, service") << tel << "1188" << "tel:1188";
    // What follows the number (an extension, a note) is not dialled.
    QTest::newRow("tel, extension") << tel << "541 210 100 kl. 25" << "tel:+420541210100";
    QTest::newRow("tel, plus inside") << tel << "602+123" << "tel:602";
    QTest::newRow("tel, no digits") << tel << "mobil" << "";

    // The map: Czech letters, blanks, commas and the URL's own marks encoded.
    const Format map = desktop_links::mapUri;
    QTest::newRow("map, Czech") << map << "Na Příkopě 12, Nové Město, 110 00 Praha"
        << "https://www.openstreetmap.org/search?query=Na%20P%C5%99%C3%ADkop%C4%9B%2012%2C%20Nov%C3%A9%20M%C4%9Bsto%2C%20110%2000%20Praha";
    QTest::newRow("map, & # ? + /") << map << "U Mlýna & Pily #3/5?+, Brno"
        << "https://www.openstreetmap.org/search?query=U%20Ml%C3%BDna%20%26%20Pily%20%233%2F5%3F%2B%2C%20Brno";
    QTest::newRow("map, nothing") << map << "  " << "";
    // clang-format on
}

void TestTextHelpers::formats() {
    QFETCH(Format, format);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(format(input), expected);
    // The desktop receives the address as it was built, marks still encoded.
    if (expected.startsWith(u"https:"))
        QCOMPARE(QUrl(expected, QUrl::TolerantMode).toEncoded(), expected.toLatin1());
}

QTEST_GUILESS_MAIN(TestTextHelpers)
#include "tst_texthelpers.moc"
