#include "ImportFile.h"

#include "CodePage.h"

#include <QFile>

namespace io {

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

bool looksLikeText(QStringView text) {
    return !text.contains(QChar(u'\0'));
}

namespace {

// The length of the line end at position i of the text (CR LF, CR or LF); 0 when there is none.
qsizetype lineEndAt(QStringView text, qsizetype i) {
    const char16_t c = text[i].unicode();
    if (c == u'\r') return i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
    return c == u'\n' ? 1 : 0;
}

// A quoted cell whose opening quote is at position open: its text, and the
// position after its closing quote; nullopt when no closing quote follows.
std::optional<std::pair<QString, qsizetype>> quotedCell(QStringView text, qsizetype open) {
    QString cell;
    qsizetype i = open + 1;
    const qsizetype n = text.size();
    while (i < n) {
        // Plain characters are taken over in runs, not one by one.
        qsizetype run = i;
        while (run < n && text[run] != u'"' && text[run] != u'\r' && text[run] != u'\n')
            ++run;
        cell.append(text.sliced(i, run - i));
        i = run;
        if (i == n) break;
        if (text[i] == u'"') {
            if (i + 1 < n && text[i + 1] == u'"') {
                cell += u'"';
                i += 2;
                continue;
            }
            return std::pair{cell, i + 1};
        }
        cell += u'\n';
        i += lineEndAt(text, i);
    }
    return std::nullopt;
}

} // namespace

ImportTable splitText(QStringView text, QChar separator, bool firstLineNames) {
    ImportReader reader(firstLineNames);
    QStringList cells;
    QString cell;
    bool lineHasText = false; // any character of the current line, quotes and separators included
    bool atCellStart = true;
    qsizetype literalQuote = -1; // an opening quote without a closing one: read as text
    const auto endLine = [&] {
        if (lineHasText) {
            cells << cell;
            reader.addLine(std::move(cells));
        }
        cells = QStringList();
        cell.clear();
        lineHasText = false;
    };
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (atCellStart && c == u'"' && i != literalQuote) {
            auto quoted = quotedCell(text, i);
            if (!quoted) {
                // Read again from the quote, now as the text of a plain cell.
                literalQuote = i;
                continue;
            }
            // What follows the closing quote up to the separator is text of the cell too.
            cell += quoted->first;
            i = quoted->second;
            atCellStart = false;
            lineHasText = true;
        } else if (c == separator) {
            cells << cell;
            cell.clear();
            atCellStart = true;
            lineHasText = true;
            ++i;
        } else if (const qsizetype end = lineEndAt(text, i)) {
            endLine();
            atCellStart = true;
            i += end;
        } else {
            qsizetype run = i + 1;
            while (run < n && text[run] != separator && text[run] != u'\r' && text[run] != u'\n')
                ++run;
            cell.append(text.sliced(i, run - i));
            i = run;
            atCellStart = false;
            lineHasText = true;
        }
    }
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
    const QString text = code_page::decodeText(bytes, &out.encoding);
    if (!looksLikeText(text)) {
        out.error = notTextMessage(path);
        return out;
    }
    out.table = splitText(text, separatorChar(separator), firstLineNames);
    return out;
}

} // namespace io
