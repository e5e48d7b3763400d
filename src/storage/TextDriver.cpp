#include "TextDriver.h"

#include "CodePage.h"
#include "Error.h"
#include "JetValues.h"
#include "Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>

#include <optional>

namespace db {

namespace {

const QString kSchemaFileName = QStringLiteral("schema.ini");

// ---- Connect string and target ---------------------------------------------

// The folder named by a connect string "Text;DATABASE=folder;LANGID=…;CP=…".
// Keys are read without regard to case. A folder name may itself hold ";": a
// piece that is not "key=value" belongs to the value before it.
QString connectFolder(const QString& connect) {
    QStringList pieces = connect.split(u';');
    if (pieces.first().trimmed().compare(QLatin1String("Text"), Qt::CaseInsensitive) != 0)
        throw Error(QStringLiteral("Připojovací řetězec „%1“ nepatří textovému ovladači: má začínat „Text;“.")
                        .arg(connect));
    if (pieces.size() > 1 && pieces.last().isEmpty()) pieces.removeLast(); // a closing ";"
    static const QRegularExpression keyValue(QStringLiteral(R"(^\s*([A-Za-z]+)\s*=(.*)$)"),
                                             QRegularExpression::DotMatchesEverythingOption);
    QList<std::pair<QString, QString>> pairs;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QRegularExpressionMatch m = keyValue.match(pieces[i]);
        if (m.hasMatch())
            pairs.append({m.captured(1), m.captured(2)});
        else if (!pairs.isEmpty())
            pairs.last().second += u';' + pieces[i];
    }
    for (const auto& [key, value] : pairs) {
        if (key.compare(QLatin1String("DATABASE"), Qt::CaseInsensitive) == 0 && !value.trimmed().isEmpty())
            return value;
    }
    throw Error(QStringLiteral("Připojovací řetězec „%1“ neuvádí složku textového souboru (DATABASE=…).")
                    .arg(connect));
}

// The file a target table names: every "#" is a ".". The file must lie in the
// folder itself.
QString targetFileName(const QString& table) {
    QString name = table;
    name.replace(u'#', u'.');
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/') || name.contains(u'\\'))
        throw Error(QStringLiteral("Název tabulky „%1“ není platný název textového souboru.").arg(table));
    return name;
}

// ---- schema.ini --------------------------------------------------------------

enum class ValueKind { Undeclared, Text, Number };
enum class CharacterSet { Windows1250, Utf8 };

struct ColumnLayout {
    QString name;
    ValueKind kind = ValueKind::Undeclared;
    bool hasWidth = false; // "Width" given, even without a value
    QString width;         // the text after "Width"
};

struct FileLayout {
    bool header = true;
    CharacterSet characterSet = CharacterSet::Windows1250;
    bool fixedLength = false;
    QChar delimiter = u',';
    QHash<int, ColumnLayout> columns; // by 1-based column number
};

// schema.ini as text, in the encoding its bytes show (byte-order mark, UTF-8, else Windows-1250).
QString readSchemaFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(
            QStringLiteral("Popis textového souboru „%1“ nelze přečíst: %2").arg(path, f.errorString()));
    return code_page::decodeText(f.readAll());
}

// The key=value lines of the section [name], letter case ignored; nullopt when
// there is no such section. The first line of a key counts.
std::optional<QList<std::pair<QString, QString>>> sectionEntries(const QString& ini, const QString& name) {
    std::optional<QList<std::pair<QString, QString>>> entries;
    bool inside = false;
    for (const QString& raw : ini.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            if (entries) break;
            inside = line.mid(1, line.size() - 2).trimmed().compare(name, Qt::CaseInsensitive) == 0;
            if (inside) entries.emplace();
            continue;
        }
        if (!inside) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed();
        bool seen = false;
        for (const auto& e : *entries)
            seen = seen || e.first.compare(key, Qt::CaseInsensitive) == 0;
        if (!seen) entries->append({key, line.mid(eq + 1).trimmed()});
    }
    return entries;
}

bool isOneOf(const QString& word, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (word.compare(QLatin1String(w), Qt::CaseInsensitive) == 0) return true;
    return false;
}

// A Col line: name [type] [Width n]; a name holding blanks is in double quotes.
ColumnLayout columnLayout(const QString& key, const QString& value, const QString& sectionName) {
    ColumnLayout c;
    QString rest = value;
    if (rest.startsWith(u'"')) {
        const qsizetype close = rest.indexOf(u'"', 1);
        c.name = rest.mid(1, close < 0 ? -1 : close - 1);
        rest = close < 0 ? QString() : rest.mid(close + 1);
    } else {
        const qsizetype blank = rest.indexOf(QRegularExpression(QStringLiteral("\\s")));
        c.name = rest.left(blank);
        rest = blank < 0 ? QString() : rest.mid(blank);
    }
    static const QRegularExpression typeAndWidth(
        QStringLiteral(R"(^\s*(?:(?!width\b)(\S+))?\s*(?:\bwidth\b(.*))?$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = typeAndWidth.match(rest);
    if (!m.hasMatch())
        throw Error(QStringLiteral("Řádek %1=%2 v oddílu [%3] souboru schema.ini nelze přečíst.")
                        .arg(key, value, sectionName));
    const QString type = m.captured(1);
    if (type.isEmpty() || isOneOf(type, {"Bit", "Boolean", "Date", "DateTime"}))
        c.kind = ValueKind::Undeclared;
    else if (isOneOf(type, {"Char", "Text", "Memo", "LongChar"}))
        c.kind = ValueKind::Text;
    else if (isOneOf(type, {"Byte", "Short", "Integer", "Long", "Single", "Double", "Float", "Currency",
                            "Decimal", "Numeric"}))
        c.kind = ValueKind::Number;
    else
        throw Error(QStringLiteral("Sloupec „%1“ má v oddílu [%2] souboru schema.ini neznámý typ „%3“.")
                        .arg(c.name, sectionName, type));
    c.hasWidth = m.capturedStart(2) >= 0;
    c.width = m.captured(2).trimmed();
    return c;
}

FileLayout fileLayout(const QString& folder, const QString& fileName) {
    const QString schemaPath = QDir(folder).filePath(kSchemaFileName);
    if (!QFileInfo(schemaPath).isFile())
        throw Error(QStringLiteral("Ve složce „%1“ chybí popis textového souboru schema.ini.").arg(folder));
    const auto entries = sectionEntries(readSchemaFile(schemaPath), fileName);
    if (!entries)
        throw Error(QStringLiteral("Soubor „%1“ nepopisuje textový soubor „%2“: chybí oddíl [%2].")
                        .arg(schemaPath, fileName));
    FileLayout layout;
    static const QRegularExpression colKey(QStringLiteral("^Col(\\d+)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression delimited(QStringLiteral("^Delimited\\((.*)\\)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    for (const auto& [key, value] : *entries) {
        if (key.compare(QLatin1String("ColNameHeader"), Qt::CaseInsensitive) == 0) {
            if (!isOneOf(value, {"True", "False"}))
                throw Error(
                    QStringLiteral("Klíč ColNameHeader v oddílu [%1] souboru schema.ini má mít hodnotu "
                                   "True nebo False, ne „%2“.")
                        .arg(fileName, value));
            layout.header = isOneOf(value, {"True"});
        } else if (key.compare(QLatin1String("CharacterSet"), Qt::CaseInsensitive) == 0) {
            if (isOneOf(value, {"ANSI", "1250"}))
                layout.characterSet = CharacterSet::Windows1250;
            else if (isOneOf(value, {"UTF-8", "UTF8", "65001"}))
                layout.characterSet = CharacterSet::Utf8;
            else
                throw Error(
                    QStringLiteral("Znaková sada „%1“ v oddílu [%2] souboru schema.ini není podporována; "
                                   "použijte ANSI (Windows-1250) nebo UTF-8.")
                        .arg(value, fileName));
        } else if (key.compare(QLatin1String("Format"), Qt::CaseInsensitive) == 0) {
            const QRegularExpressionMatch d = delimited.match(value);
            if (isOneOf(value, {"TabDelimited"})) {
                layout.delimiter = u'\t';
            } else if (isOneOf(value, {"CSVDelimited"})) {
                layout.delimiter = u',';
            } else if (isOneOf(value, {"FixedLength"})) {
                layout.fixedLength = true;
            } else if (d.hasMatch() && d.captured(1).size() == 1 && d.captured(1) != u"\"") {
                layout.delimiter = d.captured(1).at(0);
            } else {
                throw Error(
                    QStringLiteral("Formát „%1“ v oddílu [%2] souboru schema.ini není podporován; použijte "
                                   "Delimited(x) s jedním znakem x jiným než uvozovky, TabDelimited, "
                                   "CSVDelimited nebo FixedLength.")
                        .arg(value, fileName));
            }
        } else if (const QRegularExpressionMatch c = colKey.match(key); c.hasMatch()) {
            bool ok = false;
            const int number = c.captured(1).toInt(&ok);
            if (ok && number > 0) layout.columns.insert(number, columnLayout(key, value, fileName));
        }
    }
    return layout;
}

// ---- Columns of the file ------------------------------------------------------

struct FileColumn {
    QString name;
    ValueKind kind = ValueKind::Undeclared;
    ColumnType type = ColumnType::Other; // the select's
    int width = 0;                       // fixed length only
};

// Widths past this are taken for a typing error rather than asked for.
constexpr int kMaxWidth = 65535;

// The select's columns with their layout; in a fixed-length file every one
// needs a width.
QList<FileColumn> fileColumns(const FileLayout& layout, const QStringList& selectNames,
                              const QList<ColumnType>& selectTypes, const QString& fileName) {
    QList<FileColumn> out;
    for (qsizetype i = 0; i < selectNames.size(); ++i) {
        FileColumn c;
        c.name = selectNames[i];
        c.type = selectTypes.value(i, ColumnType::Other);
        const auto it = layout.columns.constFind(int(i + 1));
        if (it != layout.columns.cend()) {
            if (!it->name.isEmpty()) c.name = it->name;
            c.kind = it->kind;
        }
        if (layout.fixedLength) {
            if (it == layout.columns.cend() || !it->hasWidth || it->width.isEmpty())
                throw Error(
                    QStringLiteral("Sloupec „%1“ nemá v oddílu [%2] souboru schema.ini šířku (Width), "
                                   "kterou formát FixedLength vyžaduje.")
                        .arg(c.name, fileName));
            static const QRegularExpression digits(QStringLiteral("^\\d{1,5}$"));
            c.width = digits.match(it->width).hasMatch() ? it->width.toInt() : 0;
            if (c.width < 1 || c.width > kMaxWidth)
                throw Error(
                    QStringLiteral("Šířka „%1“ sloupce „%2“ v oddílu [%3] souboru schema.ini není celé "
                                   "číslo od 1 do %4.")
                        .arg(it->width, c.name, fileName, QString::number(kMaxWidth)));
        }
        out << c;
    }
    return out;
}

// ---- Values --------------------------------------------------------------------

bool isNumberValue(const QVariant& v) {
    return v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Double;
}

// A number as the file shows it: no grouping, the default locale's decimal point.
QString numberText(const QVariant& v) {
    if (v.typeId() == QMetaType::LongLong) return QString::number(v.toLongLong());
    QString s = QString::number(v.toDouble(), 'f', QLocale::FloatingPointShortest);
    s.replace(u'.', QLocale().decimalPoint());
    return s;
}

// The number a field shows: in a column declared as a number a number value
// or a text that reads as one, in an undeclared column a number value.
std::optional<QVariant> numberOf(const QVariant& v, ValueKind kind) {
    if (kind == ValueKind::Text) return std::nullopt;
    if (isNumberValue(v)) return v;
    if (kind == ValueKind::Undeclared) return std::nullopt;
    const QString text = v.toString().trimmed();
    bool ok = false;
    const qint64 whole = text.toLongLong(&ok);
    if (ok) return QVariant(whole);
    const double real = text.toDouble(&ok);
    if (ok) return QVariant(real);
    return std::nullopt;
}

// A date or an amount as the file shows it, bare like a number: a date with
// its time in the Czech form ("1.3.2004 0:00:00"), an amount with four
// decimals and the default locale's decimal point ("1234.5000").
std::optional<QString> typedText(const QVariant& v, ColumnType type) {
    if (v.typeId() != QMetaType::LongLong && v.typeId() != QMetaType::Double) return std::nullopt;
    if (type == ColumnType::DateTime) return jet_values::dateTimeText(v.toDouble());
    if (type == ColumnType::Currency && v.typeId() == QMetaType::LongLong)
        return jet_values::currencyText(v.toLongLong()).replace(u'.', QLocale().decimalPoint());
    return std::nullopt;
}

// One field of a delimited line: a number, a date or an amount bare, text
// between double quotes with inner quotes doubled, Null as nothing.
QString delimitedField(const QVariant& v, ValueKind kind, ColumnType type, QChar delimiter) {
    if (v.isNull()) return {};
    if (const std::optional<QString> typed = typedText(v, type); typed && !typed->contains(delimiter))
        return *typed;
    const std::optional<QVariant> number = numberOf(v, kind);
    QString text = number ? numberText(*number) : v.toString();
    // A number whose decimal point is the delimiter keeps the line's fields apart in quotes.
    if (number && !text.contains(delimiter)) return text;
    text.replace(u'"', QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

// One field of a fixed-length line: padded with blanks to the width and cut
// there, counted in characters. A line break inside would split the record.
QString fixedField(const QVariant& v, ValueKind kind, ColumnType type, int width) {
    QString text;
    if (!v.isNull()) {
        const std::optional<QVariant> number = numberOf(v, kind);
        const std::optional<QString> typed = typedText(v, type);
        text = (typed    ? *typed
                : number ? numberText(*number)
                         : v.toString())
                   .normalized(QString::NormalizationForm_C);
        text.replace(u'\r', u' ').replace(u'\n', u' ');
    }
    QString out;
    int count = 0;
    for (qsizetype i = 0; i < text.size() && count < width; ++i, ++count) {
        out += text[i];
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            out += text[++i];
    }
    out += QString(width - count, u' ');
    return out;
}

// ---- Writing -------------------------------------------------------------------

// Lines of the file as bytes in its character set, each ending in CR LF.
class TextWriter {
  public:
    TextWriter(const FileLayout& layout, QList<FileColumn> columns)
        : m_layout(layout), m_columns(std::move(columns)) {
        for (const FileColumn& c : m_columns) {
            m_kinds << c.kind;
            m_types << c.type;
        }
    }

    // The column names, written as text.
    QByteArray header() const {
        QVariantList names;
        for (const FileColumn& c : m_columns)
            names << c.name;
        return line(names, QList<ValueKind>(m_columns.size(), ValueKind::Text),
                    QList<ColumnType>(m_columns.size(), ColumnType::Text));
    }

    QByteArray row(const QVariantList& values) const { return line(values, m_kinds, m_types); }

  private:
    QByteArray line(const QVariantList& values, const QList<ValueKind>& kinds,
                    const QList<ColumnType>& types) const {
        QString out;
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (m_layout.fixedLength) {
                out += fixedField(values[i], kinds[i], types[i], m_columns[i].width);
            } else {
                if (i > 0) out += m_layout.delimiter;
                out += delimitedField(values[i], kinds[i], types[i], m_layout.delimiter);
            }
        }
        QByteArray bytes =
            m_layout.characterSet == CharacterSet::Utf8 ? out.toUtf8() : code_page::toWindows1250(out);
        return bytes + "\r\n";
    }

    FileLayout m_layout;
    QList<FileColumn> m_columns;
    QList<ValueKind> m_kinds;
    QList<ColumnType> m_types;
};

[[noreturn]] void writeFailed(const QString& path, const QString& reason) {
    throw Error(QStringLiteral("Textový soubor „%1“ nelze zapsat: %2").arg(path, reason));
}

bool fileOrLinkExists(const QString& path) {
    const QFileInfo fi(path);
    return fi.exists() || fi.isSymLink();
}

} // namespace

int TextDriver::exportRows(sqlite3* handle, const Translation& t) {
    if (t.exportConnect.isEmpty())
        throw Error(QStringLiteral("SELECT … INTO umí zapsat jen textový soubor: chybí připojovací řetězec "
                                   "IN \"\" \"Text;DATABASE=…\"."));
    if (!t.exportDatabase.isEmpty())
        throw Error(
            QStringLiteral("Textový ovladač zapisuje do složky z připojovacího řetězce; databáze za IN "
                           "má být prázdná, ne „%1“.")
                .arg(t.exportDatabase));
    const QString folder = connectFolder(t.exportConnect);
    const QString fileName = targetFileName(t.exportTarget);
    if (!QFileInfo(folder).isDir()) throw Error(QStringLiteral("Složka „%1“ neexistuje.").arg(folder));
    const QString path = QDir(folder).filePath(fileName);
    const QString exists = QStringLiteral("Tabulka „%1“ již existuje: soubor „%2“ nelze vytvořit znovu.");
    if (fileOrLinkExists(path)) throw Error(exists.arg(t.exportTarget, path));

    const FileLayout layout = fileLayout(folder, fileName);
    const TextWriter writer(layout, fileColumns(layout, t.columnNames, t.columnTypes, fileName));
    sqlite::Statement rows(handle, t.statements.value(0));

    // Written beside the target and renamed into place only when whole; a
    // failure on the way removes the temporary file with the QSaveFile.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) writeFailed(path, file.errorString());
    auto write = [&](const QByteArray& bytes) {
        if (file.write(bytes) != bytes.size()) writeFailed(path, file.errorString());
    };
    if (layout.header) write(writer.header());
    int count = 0;
    QVariantList values;
    while (rows.step()) {
        values.clear();
        for (int i = 0; i < rows.columnCount(); ++i)
            values << rows.column(i);
        write(writer.row(values));
        ++count;
    }
    // The target may have appeared meanwhile; committing would replace it.
    if (fileOrLinkExists(path)) throw Error(exists.arg(t.exportTarget, path));
    if (!file.commit()) writeFailed(path, file.errorString());
    return count;
}

} // namespace db
