#pragma once

#include "CodePage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Reading a delimited text file of contacts into rows of cells, as the import
// window previews it and the import takes it. Widget-free.
namespace io {

// The three separators the import window offers, in its order.
enum class Separator { Semicolon, Comma, Tab };
QChar separatorChar(Separator separator);

// The preview of a file: the column names and the data lines, each cut into
// cells. Every row and the names have exactly columnCount() entries (missing
// cells are empty); there are at least kMinColumns columns.
class ImportTable {
  public:
    static constexpr int kMinColumns = 6;

    ImportTable();

    int columnCount() const { return m_columns; }
    // The source column list: the names of every column in order, empty ones
    // included (a header line shorter than the widest line), or Pole0, Pole1 …
    const QStringList& names() const { return m_names; }
    // The data lines; a line the file holds without any character is no row.
    const QList<QStringList>& rows() const { return m_rows; }
    bool isEmpty() const { return m_rows.isEmpty(); }
    // The cell of a data row in a column; empty outside the table.
    QString cell(int row, int column) const;

  private:
    friend class ImportReader;
    int m_columns = kMinColumns;
    QStringList m_names;
    QList<QStringList> m_rows;
};

// Whether decoded text can come from a text file: no NUL character (images
// and other binary files hold them).
bool looksLikeText(QStringView text);

// Cuts text into lines and cells as spreadsheets write delimited files. A
// cell that begins with a double quote is quoted: it ends at a quote that is
// not followed by another, a doubled quote inside it is one quote, and the
// separator and line ends inside it are its text (each line end becomes one
// line feed). A quote inside a cell that does not begin with one is kept, as
// is an opening quote that no closing quote follows up to the end of the
// text. Outside quotes a line ends at CR LF, CR or LF; a line without any
// character is no row, and a last line without a line end is a row as well.
// firstLineNames: the first line holds the column names; otherwise the
// columns are named Pole0, Pole1 … by their position.
ImportTable splitText(QStringView text, QChar separator, bool firstLineNames);

struct ReadResult {
    std::optional<ImportTable> table; // empty when the file could not be used
    QString error;                    // then the message for the user
    code_page::TextEncoding encoding = code_page::TextEncoding::Windows1250;
};
// Reads the file and splits it as splitText does, in the encoding code_page::detectEncoding() finds.
ReadResult readImportFile(const QString& path, Separator separator, bool firstLineNames);

// Shown when a file holds data that no text file has.
QString notTextMessage(const QString& path);

} // namespace io
