#pragma once

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

enum class Encoding { Utf8, Windows1250 };

// The encoding a file is read in: UTF-8 when the bytes begin with the UTF-8
// byte-order mark, or are valid UTF-8 and not pure ASCII; Windows-1250 otherwise.
Encoding detectEncoding(const QByteArray& bytes);
// The text of the bytes in that encoding; a leading byte-order mark is dropped.
QString decode(const QByteArray& bytes, Encoding encoding);
// Whether the bytes can be a text file: no NUL byte (images, UTF-16 files and
// other binary files hold them).
bool looksLikeText(const QByteArray& bytes);

// Cuts text into lines and cells. A double quote is counted and dropped; the
// separator ends a cell only while the count of quotes is even, so that a
// quoted separator stays in the cell. A carriage return ends a line (and
// resets the count) and a line feed is skipped; in a text without any
// carriage return a line feed ends the line. A last line without a line end
// is a row as well. firstLineNames: the first line holds the column names;
// otherwise the columns are named Pole0, Pole1 … by their position.
ImportTable splitText(QStringView text, QChar separator, bool firstLineNames);

struct ReadResult {
    std::optional<ImportTable> table; // empty when the file could not be used
    QString error;                    // then the message for the user
    Encoding encoding = Encoding::Windows1250;
};
// Reads the file and splits it as splitText does, in the encoding detectEncoding chooses.
ReadResult readImportFile(const QString& path, Separator separator, bool firstLineNames);

// Shown when a file holds data that no text file has.
QString notTextMessage(const QString& path);

} // namespace io
