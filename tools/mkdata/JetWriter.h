#pragma once

#include <QFile>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

namespace jet {

// Column types of a Jet 3 table, by the type byte the table definition stores.
enum class Type : uint8_t {
    YesNo = 0x01,
    Byte = 0x02,
    Integer = 0x03, // 16 bits
    Long = 0x04,
    Currency = 0x05, // a count of ten-thousandths, 64 bits
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08, // days since 30 December 1899, as a double
    Binary = 0x09,   // up to 255 bytes
    Text = 0x0A,
    LongBinary = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
};

struct Column {
    QString name;
    Type type = Type::Long;
    int size = 0; // characters of a Text column, bytes of a Binary one
    bool required = false;
    bool primaryKey = false; // declared for our engine; no index is written here
};

inline constexpr int kPageSize = 2048;

// Writes a Jet 3 database file: the header page, the catalog, one definition
// page per table, data pages with the rows and long-value pages for long texts.
// Tables are declared first and may then take rows in any order, so that a
// generator can fill several tables at once; nothing is complete before
// finish(). Texts go in as Windows-1250. No indexes are written.
//
// Throws std::runtime_error on a failure to write and on a value its column
// cannot hold (the row is then not added). A writer destroyed before finish()
// has completed removes its file.
class Writer {
  public:
    explicit Writer(const QString& path);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Declares a user table (or a system one, flagged as such in the catalog)
    // and returns its number for addRow().
    int addTable(const QString& name, const std::vector<Column>& columns, bool system = false);
    // One row, a value per column; a null QVariant is Null. Currency comes as
    // its count of ten-thousandths, Date/Time as a QDateTime or a count of days,
    // Binary and long binary as bytes, GUID as a QUuid.
    void addRow(int table, const QVariantList& values);
    qint64 rowCount(int table) const;

    // Writes the catalog and the table definitions. With padToBytes, the file
    // is then extended with free pages to exactly that size (it throws when
    // the data needs more).
    void finish(qint64 padToBytes = 0);

  private:
    struct Table;
    struct PageBuilder;
    uint32_t allocatePage();
    void writePage(uint32_t page, const QByteArray& bytes);
    void flushDataPage(Table& t);
    QByteArray memoField(const QByteArray& value, bool inlineAllowed);
    QByteArray buildRow(const Table& t, const QVariantList& values);
    void writeCatalog();

    QFile m_file;
    uint32_t m_nextPage = 2; // 0 the header, 1 usage maps, 2 the catalog's definition
    std::vector<std::unique_ptr<Table>> m_tables;
    std::unique_ptr<PageBuilder> m_longValues; // the long-value page being filled
    bool m_closed = false;                     // the catalog is written: no more rows
    bool m_complete = false;                   // finish() has written everything
};

// The Jet 3 header's block at 0x18 is kept under RC4 with a fixed key; the
// same call hides and reveals it.
void rc4(const uint8_t* key, int keyLength, uint8_t* data, int length);

} // namespace jet
