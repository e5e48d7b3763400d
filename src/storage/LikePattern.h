#pragma once

#include "Error.h"

#include <QString>
#include <QStringView>

#include <bitset>
#include <utility>
#include <vector>

namespace db {

// A LIKE pattern that cannot be compiled (e.g. a "[" without its "]").
// The message is meant for the user and is in Czech. Being a db::Error, it
// reaches the caller like every other failure of the engine.
class PatternError : public Error {
  public:
    using Error::Error;
};

// The matcher behind LIKE, with Access-style wildcards:
//   *       any run of characters, also none
//   ?       exactly one character
//   #       exactly one digit 0-9
//   [abc]   one character of the set; ranges [a-z] follow the Czech sort order;
//           [!...] one character not in the set; inside brackets * ? # [ are
//           ordinary characters; [] matches the empty text.
// Letter case is ignored (pattern and value are folded with czech::fold),
// diacritics are not. A surrogate pair counts as one character.
//
// A compiled pattern is immutable; matching from several threads is safe.
class LikePattern {
  public:
    explicit LikePattern(const QString& pattern);

    // Folds the value, then matches it.
    bool matches(const QString& value) const;
    // Matches a value that has already been folded with czech::fold.
    bool matchesFolded(QStringView foldedValue) const;

    // The folded literal characters before the first wildcard or "[" ("nov" for
    // "Nov*"); usable for an index range scan.
    const QString& literalPrefix() const { return m_prefix; }
    // The pattern contains any of * ? # [.
    bool hasWildcards() const { return m_hasWildcards; }
    bool isExact() const { return !hasWildcards(); }
    // When isExact(): the whole folded pattern, to be compared for equality.
    const QString& foldedLiteral() const { return m_folded; }

  private:
    // Code points below this limit have their class membership decided once,
    // when the pattern is compiled; this covers every Czech letter.
    static constexpr char32_t TableLimit = 0x250;

    struct CharClass {
        bool negated = false;
        std::vector<char32_t> singles;
        std::vector<std::pair<char32_t, char32_t>> ranges;
        std::bitset<TableLimit> table; // membership before negation
        bool contains(char32_t c) const;
    };

    struct Token {
        enum Kind { Literal, AnyChar, Digit, Class, Star } kind;
        char32_t ch = 0;     // Literal
        int classIndex = -1; // Class
    };

    bool tokenMatches(const Token& t, char32_t c) const;

    QString m_folded;
    QString m_prefix;
    bool m_hasWildcards = false;
    std::vector<Token> m_tokens;
    std::vector<CharClass> m_classes;
};

} // namespace db
