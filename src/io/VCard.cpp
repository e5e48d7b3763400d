#include "VCard.h"

#include "CodePage.h"

#include <QStringDecoder>

namespace vcard {

namespace {

constexpr int kLineOctets = 75;

// One logical line: the physical lines folded into it and where it began.
struct Line {
    QByteArray bytes;
    int number = 0;
};

bool isFoldBlank(char c) {
    return c == ' ' || c == '\t';
}

// The position of the colon that ends the name and parameters; -1 when none.
// A colon inside a quoted parameter value does not count.
qsizetype valueColon(const QByteArray& line) {
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

bool isQuotedPrintable(const QByteArray& line) {
    const qsizetype colon = valueColon(line);
    return colon > 0 && line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

// The physical lines joined into logical ones: a line that starts with a blank
// or a tab continues the one before it (without that one character), and a
// quoted-printable value ending in "=" continues on the next line.
QList<Line> unfold(const QByteArray& bytes) {
    // Some desktop programs write UTF-16 with its byte order mark; the values
    // are read from UTF-8 then. Without a mark each value is decoded on its own.
    QByteArray text = bytes;
    const code_page::TextEncoding encoding = code_page::detectEncoding(bytes);
    if (encoding == code_page::TextEncoding::Utf16LE || encoding == code_page::TextEncoding::Utf16BE)
        text = code_page::decode(bytes, encoding).toUtf8();
    else if (const QByteArray mark = code_page::byteOrderMark(encoding); text.startsWith(mark))
        text.remove(0, mark.size());
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    const QList<QByteArray> physical = text.split('\n');
    QList<Line> out;
    bool softBreak = false;
    for (int i = 0; i < physical.size(); ++i) {
        const QByteArray& p = physical[i];
        if (softBreak && !out.isEmpty()) {
            out.last().bytes.chop(1); // the "=" of the soft line break
            out.last().bytes += p;
        } else if (!p.isEmpty() && isFoldBlank(p[0]) && !out.isEmpty()) {
            out.last().bytes += p.mid(1);
        } else {
            out.append({p, i + 1});
        }
        const QByteArray& current = out.last().bytes;
        softBreak = current.endsWith('=') && isQuotedPrintable(current);
    }
    return out;
}

// The text split at every separator outside double quotes.
QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char separator) {
    QList<QByteArray> out;
    QByteArray part;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (c == separator && !quoted) {
            out.append(part);
            part.clear();
        } else {
            part += c;
        }
    }
    out.append(part);
    return out;
}

QByteArray unquoted(const QByteArray& text) {
    QByteArray t = text.trimmed();
    if (t.size() >= 2 && t.startsWith('"') && t.endsWith('"')) t = t.mid(1, t.size() - 2);
    return t;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

QByteArray fromQuotedPrintable(const QByteArray& text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
            hexDigit(text[i + 2]) >= 0) {
            out += char(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

QString decoded(const QByteArray& bytes, const QByteArray& charset) {
    if (!charset.isEmpty()) {
        QStringDecoder named(charset.constData());
        if (named.isValid()) {
            const QString text = named.decode(bytes);
            if (!named.hasError()) return text;
        }
    }
    return code_page::decodeText(bytes);
}

// The name, parameters and value of one content line; false when it has no colon or name.
bool readProperty(const QByteArray& line, Property* property) {
    const qsizetype colon = valueColon(line);
    if (colon <= 0) return false;
    const QList<QByteArray> head = splitOutsideQuotes(line.left(colon), ';');
    QByteArray name = head.first().trimmed();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0) name = name.mid(dot + 1);
    if (name.isEmpty()) return false;
    property->name = QString::fromLatin1(name).toUpper();

    QByteArray encoding, charset;
    for (qsizetype i = 1; i < head.size(); ++i) {
        const qsizetype eq = head[i].indexOf('=');
        const QByteArray key = (eq < 0 ? head[i] : head[i].left(eq)).trimmed().toUpper();
        if (eq < 0) {
            // 2.1 names a type or an encoding without the parameter's name.
            if (key == "QUOTED-PRINTABLE" || key == "BASE64" || key == "8BIT" || key == "7BIT")
                encoding = key;
            else if (key == "PREF")
                property->pref = 1;
            else if (!key.isEmpty())
                property->types << QString::fromLatin1(key).toLower();
            continue;
        }
        const QByteArray values = head[i].mid(eq + 1);
        if (key == "ENCODING") {
            encoding = unquoted(values).toUpper();
        } else if (key == "CHARSET") {
            charset = unquoted(values);
        } else if (key == "PREF") {
            property->pref = qMax(1, unquoted(values).toInt());
        } else if (key == "TYPE") {
            for (const QByteArray& v : splitOutsideQuotes(unquoted(values), ',')) {
                const QString type = QString::fromLatin1(unquoted(v)).toLower();
                if (type == u"pref")
                    property->pref = 1;
                else if (!type.isEmpty())
                    property->types << type;
            }
        }
    }
    QByteArray value = line.mid(colon + 1);
    if (encoding == "B" || encoding == "BASE64") {
        property->binary = true;
        value.clear();
    } else if (encoding == "QUOTED-PRINTABLE") {
        value = fromQuotedPrintable(value);
    }
    property->value = decoded(value, charset);
    return true;
}

bool isCardMark(const Property& p, const char* name) {
    return p.name == QLatin1String(name) && p.value.trimmed().compare(u"VCARD", Qt::CaseInsensitive) == 0;
}

} // namespace

QString Property::text() const {
    return unescaped(value);
}

QStringList Property::components() const {
    QStringList out;
    QString part;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            part += c;
            part += value[++i];
        } else if (c == u';') {
            out << unescaped(part);
            part.clear();
        } else {
            part += c;
        }
    }
    out << unescaped(part);
    return out;
}

Parsed parse(const QByteArray& bytes) {
    Parsed out;
    bool begun = false;
    int depth = 0, cardLine = 0;
    Card card;
    for (const Line& line : unfold(bytes)) {
        Property p;
        if (!readProperty(line.bytes, &p)) continue;
        if (isCardMark(p, "BEGIN")) {
            begun = true;
            if (depth++ == 0) {
                card = Card();
                cardLine = line.number;
            }
        } else if (isCardMark(p, "END")) {
            if (depth == 0) continue;
            if (--depth == 0) out.cards.append(card);
        } else if (depth == 1) {
            if (p.name == u"VERSION")
                card.version = p.value.trimmed();
            else
                card.properties.append(p);
        }
    }
    if (depth > 0) {
        out.cards.clear();
        out.failure = Parsed::Failure::Unterminated;
        out.failureLine = cardLine;
    } else if (!begun) {
        out.failure = Parsed::Failure::NoCard;
    }
    return out;
}

QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u',' || c == u';') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            out += QStringLiteral("\\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

QString unescaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[++i];
        if (next == u'n' || next == u'N') {
            out += u'\n';
        } else if (next == u'\\' || next == u',' || next == u';' || next == u':') {
            out += next;
        } else {
            out += c;
            out += next;
        }
    }
    return out;
}

QByteArray contentLine(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    QByteArray out;
    qsizetype pos = 0;
    int room = kLineOctets;
    while (bytes.size() - pos > room) {
        qsizetype cut = room;
        // Back off to the first byte of a character, so no character is split.
        while (cut > 0 && (static_cast<unsigned char>(bytes[pos + cut]) & 0xC0) == 0x80)
            --cut;
        out += bytes.mid(pos, cut);
        out += "\r\n ";
        pos += cut;
        room = kLineOctets - 1;
    }
    out += bytes.mid(pos);
    out += "\r\n";
    return out;
}

} // namespace vcard
