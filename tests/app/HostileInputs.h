#pragma once

// Awkward values a user can type or paste into any box: the characters the
// statements and patterns treat specially, very long text, a NUL, text
// outside Windows-1250, right-to-left text and surrounding blanks.

#include <QChar>
#include <QList>
#include <QString>
#include <QTest>

namespace hostile {

struct Input {
    const char* name;
    QString text;
    // Nothing in any stored table can match it as a literal value.
    bool matchesNothing;
};

inline QList<Input> inputs() {
    return {
        {"double quote", QStringLiteral("\""), true},
        {"apostrophe", QStringLiteral("'"), true},
        {"opening bracket", QStringLiteral("["), true},
        {"closing bracket", QStringLiteral("]"), true},
        {"semicolon", QStringLiteral(";"), true},
        {"star", QStringLiteral("*"), false},
        {"question mark", QStringLiteral("?"), false},
        {"10000 characters", QString(10000, u'x'), true},
        {"NUL", QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b"), true},
        {"emoji", QString::fromUtf8("😀"), true},
        {"Polish and Hungarian", QString::fromUtf8("łő"), true},
        {"Cyrillic", QString::fromUtf8("Ж"), true},
        {"CJK", QString::fromUtf8("漢"), true},
        {"right to left", QString::fromUtf8("שלום"), true},
        {"surrounding blanks", QStringLiteral("  A  "), false},
    };
}

// Puts text into a box as the user would: short text typed key by key, long
// text and control characters pasted.
template <typename Box> void enter(Box* box, const QString& text) {
    const bool paste = text.size() > 100 || text.contains(QChar(u'\0'));
    if (!paste) {
        // One key event per character; a surrogate pair is one character.
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
            i += n - 1;
        }
        return;
    }
    if constexpr (requires { box->insertPlainText(text); })
        box->insertPlainText(text);
    else
        box->insert(text);
}

} // namespace hostile
