#include "LikePattern.h"

#include "CzechText.h"

namespace db {

namespace {

// Reads one character at `i` and moves past it. A surrogate pair is one
// character; a lone surrogate is taken as it is.
char32_t nextChar(QStringView s, qsizetype& i) {
    const char16_t c = s[i++].unicode();
    if (QChar::isHighSurrogate(c) && i < s.size() && s[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, s[i++].unicode());
    return c;
}

// The UTF-16 form of one character, without allocating.
struct CharText {
    char16_t units[2];
    qsizetype size;
    explicit CharText(char32_t c) {
        if (QChar::requiresSurrogates(c)) {
            units[0] = QChar::highSurrogate(c);
            units[1] = QChar::lowSurrogate(c);
            size = 2;
        } else {
            units[0] = char16_t(c);
            size = 1;
        }
    }
    QStringView view() const { return QStringView(units, size); }
};

// Collators are not thread-safe and patterns may be matched from several
// threads, so every thread gets its own.
czech::Collator& threadCollator() {
    thread_local czech::Collator collator;
    return collator;
}

bool inRange(char32_t c, char32_t lo, char32_t hi) {
    const CharText ct(c);
    czech::Collator& coll = threadCollator();
    return coll.compareView(CharText(lo).view(), ct.view()) <= 0 &&
           coll.compareView(ct.view(), CharText(hi).view()) <= 0;
}

[[noreturn]] void fail(const QString& pattern, const QString& reason) {
    throw PatternError(QStringLiteral("Neplatný vzor v operátoru LIKE: %1 (vzor „%2“)").arg(reason, pattern));
}

} // namespace

bool LikePattern::CharClass::contains(char32_t c) const {
    bool in;
    if (c < TableLimit) {
        in = table.test(c);
    } else {
        in = false;
        for (char32_t s : singles) {
            if (s == c) {
                in = true;
                break;
            }
        }
        for (qsizetype k = 0; !in && k < qsizetype(ranges.size()); ++k)
            in = inRange(c, ranges[k].first, ranges[k].second);
    }
    return in != negated;
}

LikePattern::LikePattern(const QString& pattern) : m_folded(czech::fold(pattern)) {
    const QStringView p = m_folded;
    const qsizetype n = p.size();
    bool inPrefix = true;
    qsizetype i = 0;
    while (i < n) {
        const char16_t c = p[i].unicode();
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[') {
            m_hasWildcards = true;
            inPrefix = false;
        }
        if (c == u'*') {
            ++i;
            // Consecutive stars mean the same as one; keeping one keeps the
            // backtracking in matchesFolded() simple.
            if (m_tokens.empty() || m_tokens.back().kind != Token::Star) m_tokens.push_back({Token::Star});
        } else if (c == u'?') {
            ++i;
            m_tokens.push_back({Token::AnyChar});
        } else if (c == u'#') {
            ++i;
            m_tokens.push_back({Token::Digit});
        } else if (c == u'[') {
            ++i;
            CharClass cls;
            if (i < n && p[i] == u'!') {
                cls.negated = true;
                ++i;
            }
            bool empty = true;
            while (i < n && p[i] != u']') {
                empty = false;
                const char32_t lo = nextChar(p, i);
                // A hyphen between two characters makes a range; first or last
                // in the brackets it stands for itself.
                if (i + 1 < n && p[i] == u'-' && p[i + 1] != u']') {
                    ++i;
                    const char32_t hi = nextChar(p, i);
                    if (threadCollator().compareView(CharText(lo).view(), CharText(hi).view()) > 0)
                        fail(pattern,
                             QStringLiteral("rozsah „%1-%2“ musí začínat znakem, který se řadí dříve")
                                 .arg(CharText(lo).view(), CharText(hi).view()));
                    cls.ranges.emplace_back(lo, hi);
                } else {
                    cls.singles.push_back(lo);
                }
            }
            if (i >= n) fail(pattern, QStringLiteral("chybí uzavírací „]“"));
            ++i; // the ']'
            if (empty) {
                // "[]" stands for the empty text and consumes nothing; "[!]" is
                // one character outside the empty set, i.e. any character.
                if (cls.negated) m_tokens.push_back({Token::AnyChar});
                continue;
            }
            for (char32_t s : cls.singles) {
                if (s < TableLimit) cls.table.set(s);
            }
            for (const auto& [lo, hi] : cls.ranges) {
                for (char32_t k = 0; k < TableLimit; ++k) {
                    if (!cls.table.test(k) && inRange(k, lo, hi)) cls.table.set(k);
                }
            }
            Token t{Token::Class};
            t.classIndex = int(m_classes.size());
            m_tokens.push_back(t);
            m_classes.push_back(std::move(cls));
        } else {
            // Anything else, "]" and "!" included, is an ordinary character.
            const qsizetype start = i;
            Token t{Token::Literal};
            t.ch = nextChar(p, i);
            m_tokens.push_back(t);
            if (inPrefix) m_prefix.append(p.sliced(start, i - start));
        }
    }
}

bool LikePattern::tokenMatches(const Token& t, char32_t c) const {
    switch (t.kind) {
    case Token::Literal:
        return t.ch == c;
    case Token::AnyChar:
        return true;
    case Token::Digit:
        return c >= U'0' && c <= U'9';
    case Token::Class:
        return m_classes[t.classIndex].contains(c);
    case Token::Star:
        break;
    }
    return false;
}

bool LikePattern::matches(const QString& value) const {
    return matchesFolded(czech::fold(value));
}

bool LikePattern::matchesFolded(QStringView v) const {
    if (!m_hasWildcards) return v == QStringView(m_folded);
    if (!v.startsWith(m_prefix)) return false;

    // Every token but the star consumes exactly one character, so it is enough
    // to remember the last star: on a mismatch that star takes one more
    // character and matching resumes after it. Earlier stars never need to be
    // revisited, which keeps the work at O(pattern length * value length).
    const qsizetype n = v.size();
    const std::size_t count = m_tokens.size();
    qsizetype vi = 0;
    std::size_t ti = 0;
    bool haveStar = false;
    std::size_t starTi = 0;
    qsizetype starVi = 0;
    while (vi < n) {
        if (ti < count) {
            const Token& t = m_tokens[ti];
            if (t.kind == Token::Star) {
                haveStar = true;
                starTi = ti++;
                starVi = vi;
                continue;
            }
            qsizetype next = vi;
            if (tokenMatches(t, nextChar(v, next))) {
                vi = next;
                ++ti;
                continue;
            }
        }
        if (!haveStar) return false;
        nextChar(v, starVi);
        vi = starVi;
        ti = starTi + 1;
    }
    while (ti < count && m_tokens[ti].kind == Token::Star)
        ++ti;
    return ti == count;
}

} // namespace db
