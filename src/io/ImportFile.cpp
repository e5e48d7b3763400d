#include "ImportFile.h"

#include "CodePage.h"

#include <QFile>
#include <QStringDecoder>

namespace io {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF", 3);

bool isAscii(const QByteArray& bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

} // namespace

QChar separatorChar(Separator separator) {
    switch (separator) {
    case Separator::Comma:
        return u',';
    case Separator::Tab:
        return u'\t';
    case Separator::Semicolon:
        break;
    }
    return u';';
}

ImportTable::ImportTable() {
    for (int i = 0; i < m_columns; ++i)
        m_names << QString();
}

QString ImportTable::cell(int row, int column) const {
    if (row < 0 || row >= m_rows.size()) return {};
    return m_rows[row].value(column);
}

// Builds a table line by line; a friend of ImportTable.
class ImportReader {
  public:
    explicit ImportReader(bool firstLineNames) : m_firstLineNames(firstLineNames) {}

    void addLine(QStringList cells) {
        if (m_firstLineNames && !m_namesRead) {
            m_namesRead = true;
            m_table.m_names = std::move(cells);
        } else {
            m_table.m_rows.append(std::move(cells));
        }
    }

    ImportTable finish() {
        ImportTable& t = m_table;
        qsizetype widest = t.m_names.size();
        for (const QStringList& row : t.m_rows)
            widest = std::max(widest, row.size());
        t.m_columns = int(std::max<qsizetype>(widest, ImportTable::kMinColumns));
        if (m_firstLineNames) {
            while (t.m_names.size() < t.m_columns)
                t.m_names << QString();
        } else {
            t.m_names.clear();
            for (int i = 0; i < t.m_columns; ++i)
                t.m_names << QStringLiteral("Pole") + QString::number(i);
        }
        for (QStringList& row : t.m_rows)
            while (row.size() < t.m_columns)
                row << QString();
        return std::move(m_table);
    }

  private:
    bool m_firstLineNames;
    bool m_namesRead = false;
    ImportTable m_table;
};

Encoding detectEncoding(const QByteArray& bytes) {
    if (bytes.startsWith(kUtf8Mark)) return Encoding::Utf8;
    if (isAscii(bytes)) return Encoding::Windows1250;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString probe = utf8.decode(bytes);
    Q_UNUSED(probe);
    return utf8.hasError() ? Encoding::Windows1250 : Encoding::Utf8;
}

QString decode(const QByteArray& bytes, Encoding encoding) {
    if (encoding == Encoding::Windows1250) return codepage::fromWindows1250(bytes);
    const QByteArrayView body =
        bytes.startsWith(kUtf8Mark) ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
    // The mark is gone already; a second one would be text of the first cell.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(body);
}

bool looksLikeText(const QByteArray& bytes) {
    return !bytes.contains('\0');
}

ImportTable splitText(QStringView text, QChar separator, bool firstLineNames) {
    ImportReader reader(firstLineNames);
    // A text with no carriage return at all has its lines ended by line feeds.
    const bool lineFeedEnds = !text.contains(u'\r');
    QStringList cells;
    QString cell;
    int quotes = 0;
    bool lineHasText = false; // any character of the current line, quotes and separators included
    const auto endCell = [&] {
        cells << cell;
        cell.clear();
    };
    const auto endLine = [&] {
        if (lineHasText) {
            endCell();
            reader.addLine(std::move(cells));
        }
        cells = QStringList();
        cell.clear();
        quotes = 0;
        lineHasText = false;
    };
    const QChar* p = text.data();
    const QChar* const end = p + text.size();
    // Plain characters are taken over in runs, not one by one.
    const QChar* run = p;
    const auto flush = [&](const QChar* upTo) {
        if (upTo > run) cell.append(run, upTo - run);
    };
    for (; p < end; ++p) {
        const char16_t c = p->unicode();
        if (c == u'\n') {
            flush(p);
            run = p + 1;
            if (lineFeedEnds) endLine();
        } else if (c == u'\r') {
            flush(p);
            run = p + 1;
            endLine();
        } else if (c == u'"') {
            flush(p);
            run = p + 1;
            ++quotes;
            lineHasText = true;
        } else if (c == separator.unicode() && quotes % 2 == 0) {
            flush(p);
            run = p + 1;
            endCell();
            lineHasText = true;
        } else {
            lineHasText = true;
        }
    }
    flush(end);
    endLine();
    return reader.finish();
}

QString notTextMessage(const QString& path) {
    return QStringLiteral("Soubor ") + path +
           QStringLiteral(" není textový soubor (obsahuje binární data), nelze z něj importovat.    ");
}

ReadResult readImportFile(const QString& path, Separator separator, bool firstLineNames) {
    ReadResult out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.error =
            QStringLiteral("Soubor ") + path + QStringLiteral(" nelze otevřít: ") + file.errorString();
        return out;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        out.error =
            QStringLiteral("Soubor ") + path + QStringLiteral(" nelze přečíst: ") + file.errorString();
        return out;
    }
    if (!looksLikeText(bytes)) {
        out.error = notTextMessage(path);
        return out;
    }
    out.encoding = detectEncoding(bytes);
    out.table = splitText(decode(bytes, out.encoding), separatorChar(separator), firstLineNames);
    return out;
}

} // namespace io
