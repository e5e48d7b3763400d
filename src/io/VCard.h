#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The vCard file format: reading cards of versions 2.1, 3.0 and 4.0 into
// their properties, and writing the content lines of version 4.0 (UTF-8,
// CR LF, folded at 75 octets). Knows nothing of personal records.
namespace vcard {

// One property of a card, its value decoded to text.
struct Property {
    QString name;        // upper case, without a group ("item1.EMAIL" gives "EMAIL")
    QStringList types;   // lower case: the TYPE values and, in 2.1, the bare parameters
    int pref = 0;        // PREF=n, 1 for TYPE=pref or a bare PREF; 0 when not preferred
    bool binary = false; // inline binary data (base64): the value is left empty
    QString value;       // the value as text, its backslash escapes still in place

    bool hasType(const QString& type) const { return types.contains(type); }
    // The whole value with its escapes resolved.
    QString text() const;
    // The parts of a structured value (N, ADR, ORG), split at every unescaped
    // ";" and then unescaped.
    QStringList components() const;
};

struct Card {
    QString version; // as the card states it; empty when it states none
    QList<Property> properties;
};

struct Parsed {
    enum class Failure {
        None,
        NoCard,       // no BEGIN:VCARD anywhere: not a vCard file
        Unterminated, // a card begun on failureLine has no END:VCARD
    };
    QList<Card> cards;
    Failure failure = Failure::None;
    int failureLine = 0; // 1-based physical line
};

// Reads every card of a file, in UTF-8 or, after its byte order mark, in
// UTF-16. Line ends may be CR LF, LF or CR; folded lines
// are joined, and so are the soft line breaks of quoted-printable values.
// Values are decoded from quoted-printable and from their CHARSET; without
// one, from UTF-8, or from Windows-1250 when the bytes are not UTF-8. Lines
// outside a card, lines without a colon and the lines of a card nested in
// another (a 2.1 AGENT) are passed over. A broken file yields no cards.
Parsed parse(const QByteArray& bytes);

// A text value with "\" "," ";" and line breaks escaped.
QString escaped(const QString& text);
// The escapes of a value resolved: "\n" (or "\N") is a line break, "\\" "\,"
// "\;" "\:" are the character; any other backslash is kept as it is.
QString unescaped(const QString& value);

// One content line as written: UTF-8, folded so that no line is longer than
// 75 octets without its CR LF (a continuation line starts with a blank),
// never inside a character, each line ended by CR LF. line is the whole
// unfolded line, "NAME;PARAM=x:value", with its value already escaped.
QByteArray contentLine(const QString& line);

} // namespace vcard
