#include "LikePattern.h"

#include <QElapsedTimer>
#include <QTest>

class TestLikePattern : public QObject {
    Q_OBJECT
  private slots:
    void matching_data();
    void matching();
    void malformed_data();
    void malformed();
    void prefix_data();
    void prefix();
};

void TestLikePattern::matching_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("expected");

    const QString smile = QStringLiteral("\U0001F600");
    const QString as(20000, u'a');
    // clang-format off
    QTest::newRow("exact, case ignored") << "Novák" << "NOVÁK" << true;
    QTest::newRow("exact, accent differs") << "Novák" << "Novak" << false;
    QTest::newRow("empty pattern") << "" << "a" << false;
    QTest::newRow("empty pattern, empty value") << "" << "" << true;

    QTest::newRow("star prefix") << "nov*" << "Nováková" << true;
    QTest::newRow("star in middle, wrong end") << "n*k" << "Nováková" << false;
    QTest::newRow("needs backtracking") << "*ab*abc" << "ababxabcab abc" << true;
    QTest::newRow("backtracking fails") << "*ab*abc" << "ababxabcab ab" << false;
    QTest::newRow("č* matches Čech") << "č*" << "Čech" << true;
    QTest::newRow("c* does not match Čech") << "c*" << "Čech" << false;
    QTest::newRow("? is one character") << "novák?" << "Novák" << false;
    QTest::newRow("? takes a surrogate pair") << "a?b" << "a" + smile + "b" << true;
    // The star must not stop inside a surrogate pair and leave half of it to the class.
    QTest::newRow("star keeps pairs whole") << "*[!" + smile + "]" << smile << false;
    QTest::newRow("# digits") << "+420*###" << "+420 602 123" << true;
    QTest::newRow("# rejects superscript") << "#" << QStringLiteral("\u00b2") << false;

    QTest::newRow("set") << "[abc]x" << "Bx" << true;
    QTest::newRow("set takes one") << "[abc]" << "ab" << false;
    QTest::newRow("set, accent differs") << "[áé]" << "a" << false;
    QTest::newRow("range, upper in pattern") << "[A-C]" << "b" << true;
    QTest::newRow("range a-c excludes č") << "[a-c]" << "č" << false;
    QTest::newRow("range a-d includes č") << "[a-d]" << "Č" << true;
    QTest::newRow("range includes á") << "[a-c]" << "á" << true;
    QTest::newRow("range r-s includes ř") << "[r-s]" << "ř" << true;
    QTest::newRow("range a-z excludes ž") << "[a-z]" << "ž" << false;
    QTest::newRow("range and item") << "[a-cx]" << "x" << true;
    // Outside Latin the range is still decided by the sort order: "ё" sorts between "е" and "ж".
    QTest::newRow("cyrillic range") << QStringLiteral("[\u0435-\u0436]") << QStringLiteral("\u0401") << true;
    QTest::newRow("hyphen last is no range") << "[a-]" << "b" << false;
    QTest::newRow("negated") << "[!abc]" << "d" << true;
    QTest::newRow("negated range") << "[!a-d]" << "č" << false;
    QTest::newRow("negated needs a char") << "x[!a]" << "x" << false;
    QTest::newRow("class, pair miss") << "[" + smile + "x]" << QStringLiteral("\U0001F601") << false;

    QTest::newRow("literal star") << "a[*]" << "ab" << false;
    QTest::newRow("literal [") << "[[]x" << "[x" << true;
    QTest::newRow("] outside") << "a]" << "a]" << true;
    QTest::newRow("[] is empty") << "a[]b" << "ab" << true;
    QTest::newRow("[] takes nothing") << "a[]b" << "axb" << false;
    QTest::newRow("[]]") << "[]]" << "]" << true;

    // These run in microseconds without exponential backtracking, and never finish with it.
    QTest::newRow("stars, no match") << "*a*a*a*a*a*b" << as << false;
    QTest::newRow("stars, match") << "*a*a*a*a*a*b" << as + u'b' << true;
    QTest::newRow("stars and classes") << "*[a-c]*?*[!x]*#" << as << false;
    // clang-format on
}

void TestLikePattern::matching() {
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(bool, expected);

    const db::LikePattern p(pattern);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(p.matches(value), expected);
    QVERIFY2(timer.elapsed() < 2000, "matching is too slow");
}

void TestLikePattern::malformed_data() {
    QTest::addColumn<QString>("pattern");
    QTest::newRow("lone bracket") << "[";
    QTest::newRow("unterminated negation") << "abc[!de";
    QTest::newRow("second class unterminated") << "[a]x[b";
    QTest::newRow("descending range") << "[č-c]";
}

void TestLikePattern::malformed() {
    QFETCH(QString, pattern);
    try {
        db::LikePattern p(pattern);
        QFAIL("no exception");
    } catch (const db::PatternError& e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Neplatný vzor v operátoru LIKE")), e.what());
        QVERIFY2(e.message().contains(pattern), e.what());
    }
}

void TestLikePattern::prefix_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("wildcards");

    // clang-format off
    QTest::newRow("star") << "Nov*" << "nov" << true;
    QTest::newRow("question") << "ŘÍ?A" << "ří" << true;
    QTest::newRow("exact") << "Dvořák" << "dvořák" << false;
    QTest::newRow("leading star") << "*ová" << "" << true;
    QTest::newRow("hash") << "12#4" << "12" << true;
    QTest::newRow("empty class") << "ab[]cd" << "ab" << true;
    QTest::newRow("] and ! are literal") << "a]!b" << "a]!b" << false;
    // clang-format on
}

void TestLikePattern::prefix() {
    QFETCH(QString, pattern);
    QFETCH(QString, prefix);
    QFETCH(bool, wildcards);

    const db::LikePattern p(pattern);
    QCOMPARE(p.literalPrefix(), prefix);
    QCOMPARE(p.hasWildcards(), wildcards);
    if (!wildcards) QCOMPARE(p.foldedLiteral(), prefix);
}

QTEST_GUILESS_MAIN(TestLikePattern)
#include "tst_likepattern.moc"
