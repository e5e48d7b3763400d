#include "JetWriter.h"

#include "CodePage.h"

#include <QDate>
#include <QDateTime>
#include <QUuid>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace jet {

namespace {

// Layout of a Jet 3 file.
constexpr int kDataHeader = 10;                      // type, 1, free space, owner, row count
constexpr int kMaxRow = kPageSize - kDataHeader - 2; // one row alone on a page
constexpr int kMaxRowsPerPage = 255;                 // a row pointer keeps the row in one byte
constexpr int kMemoField = 12;                       // length and flags, where, unused
constexpr int kInlineMemo = 256;                     // longer values go to long-value pages
constexpr int kChunk = kMaxRow - 4;                  // a chained long value's part per page
constexpr int kMapBits = (kPageSize - 4) * 8;        // pages one usage-map page covers
constexpr int kInlineMapBytes = 128;                 // bitmap of a map kept in its row
constexpr uint32_t kCatalogPage = 2;
constexpr uint32_t kMapPage = 1;
constexpr uint16_t kSortGeneral = 0x0409;
constexpr uint16_t kCodePage = 1250;

// Catalog: the container of tables and the flag of system objects.
constexpr int32_t kTablesContainer = 0x0F000001;
constexpr int32_t kRootContainer = 0x0F000000;
constexpr int32_t kSystemObject = int32_t(0x80000000);

void put16(QByteArray& b, int at, uint16_t v) {
    qToLittleEndian(v, b.data() + at);
}
void put32(QByteArray& b, int at, uint32_t v) {
    qToLittleEndian(v, b.data() + at);
}
void append16(QByteArray& b, uint16_t v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

bool isLong(Type t) {
    return t == Type::Memo || t == Type::LongBinary;
}
bool isVariable(Type t) {
    return t == Type::Text || t == Type::Binary || isLong(t);
}

// Bytes a fixed column takes in the row; Yes/No lives in the Null mask.
int fixedSize(Type t) {
    switch (t) {
    case Type::Byte:
        return 1;
    case Type::Integer:
        return 2;
    case Type::Long:
    case Type::Single:
        return 4;
    case Type::Currency:
    case Type::Double:
    case Type::DateTime:
        return 8;
    case Type::Guid:
        return 16;
    default:
        return 0;
    }
}

// Size the definition gives a column: the text's length, a fixed value's bytes.
int definedSize(const Column& c) {
    if (c.type == Type::Text || c.type == Type::Binary) return c.size;
    if (c.type == Type::YesNo) return 1;
    return fixedSize(c.type);
}

// Days since 30 December 1899, the date Jet counts from.
double jetDate(const QVariant& v, bool* ok) {
    static const QDate epoch(1899, 12, 30);
    *ok = true;
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime t = v.toDateTime();
        return double(epoch.daysTo(t.date())) + t.time().msecsSinceStartOfDay() / 86400000.0;
    }
    if (v.typeId() == QMetaType::QDate) return double(epoch.daysTo(v.toDate()));
    return v.toDouble(ok);
}

[[noreturn]] void fail(const QString& what) {
    throw std::runtime_error(what.toStdString());
}

} // namespace

void rc4(const uint8_t* key, int keyLength, uint8_t* data, int length) {
    uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = uint8_t(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLength]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xFF];
    }
}

// A data page being filled: rows from the end of the page towards its header,
// their offsets after the header.
struct Writer::PageBuilder {
    QByteArray page;
    int rows = 0;
    int top = kPageSize;
    uint32_t number = 0; // where it goes, for pages whose rows are pointed at

    explicit PageBuilder(const QByteArray& owner) : page(kPageSize, '\0') {
        page[0] = 0x01;
        page[1] = 0x01;
        std::memcpy(page.data() + 4, owner.constData(), 4);
    }
    static QByteArray owner(uint32_t tdef) {
        QByteArray o(4, '\0');
        put32(o, 0, tdef);
        return o;
    }
    int freeSpace() const { return top - (kDataHeader + 2 * rows); }
    bool fits(int length) const { return rows < kMaxRowsPerPage && length + 2 <= freeSpace(); }
    int add(const QByteArray& row) {
        top -= int(row.size());
        std::memcpy(page.data() + top, row.constData(), size_t(row.size()));
        put16(page, kDataHeader + 2 * rows, uint16_t(top));
        return rows++;
    }
    const QByteArray& bytes() {
        put16(page, 2, uint16_t(freeSpace()));
        put16(page, 8, uint16_t(rows));
        return page;
    }
};

struct Writer::Table {
    QString name;
    std::vector<Column> columns;
    bool system = false;
    uint32_t tdefPage = 0;
    qint64 rows = 0;
    std::vector<uint32_t> dataPages;
    std::unique_ptr<PageBuilder> current;
    // Per column: offset in the fixed part, or number among the variable ones.
    std::vector<int> fixedOffset, varIndex;
    int fixedBytes = 0, varCount = 0;
};

Writer::Writer(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("cannot write %1: %2").arg(path, m_file.errorString()));
    // The catalog's definition always sits on page 2.
    addTable(QStringLiteral("MSysObjects"),
             {{QStringLiteral("Id"), Type::Long, 0, true},
              {QStringLiteral("ParentId"), Type::Long, 0, true},
              {QStringLiteral("Name"), Type::Text, 255, false},
              {QStringLiteral("Type"), Type::Integer, 0, true},
              {QStringLiteral("DateCreate"), Type::DateTime, 0, true},
              {QStringLiteral("DateUpdate"), Type::DateTime, 0, true},
              {QStringLiteral("Flags"), Type::Long, 0, true},
              {QStringLiteral("LvProp"), Type::LongBinary, 0, false}},
             true);
}

// A file left unfinished, by an error or by the caller giving up, holds no
// catalog and is of no use to anyone: it goes.
Writer::~Writer() {
    if (m_complete) return;
    m_file.close();
    m_file.remove();
}

uint32_t Writer::allocatePage() {
    return m_nextPage++;
}

void Writer::writePage(uint32_t page, const QByteArray& bytes) {
    if (!m_file.seek(qint64(page) * kPageSize) || m_file.write(bytes) != kPageSize)
        fail(QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString()));
}

int Writer::addTable(const QString& name, const std::vector<Column>& columns, bool system) {
    if (columns.empty() || columns.size() > 255) fail(QStringLiteral("table %1: 1 to 255 columns").arg(name));
    auto t = std::make_unique<Table>();
    t->name = name;
    t->columns = columns;
    t->system = system;
    t->tdefPage = allocatePage();
    for (const Column& c : columns) {
        if ((c.type == Type::Text || c.type == Type::Binary) && (c.size < 1 || c.size > 255))
            fail(QStringLiteral("table %1, column %2: 1 to 255 characters or bytes").arg(name, c.name));
        if (isVariable(c.type)) {
            t->fixedOffset.push_back(0);
            t->varIndex.push_back(t->varCount++);
        } else {
            t->fixedOffset.push_back(t->fixedBytes);
            t->varIndex.push_back(-1);
            t->fixedBytes += fixedSize(c.type);
        }
    }
    m_tables.push_back(std::move(t));
    return int(m_tables.size()) - 1;
}

qint64 Writer::rowCount(int table) const {
    return m_tables.at(size_t(table))->rows;
}

// The 12 bytes a long value leaves in its row, followed by the value itself
// when it is short: longer ones go to long-value pages, on one page's row when
// they fit there and as a chain of whole pages otherwise.
QByteArray Writer::memoField(const QByteArray& value, bool inlineAllowed) {
    const uint32_t length = uint32_t(value.size());
    if (length >= 0x00FFFFFF) fail(QStringLiteral("a long value of %1 bytes is too long").arg(length));
    QByteArray field(kMemoField, '\0');
    if (inlineAllowed) {
        put32(field, 0, length | 0x80000000u);
        return field + value;
    }
    if (int(length) <= kMaxRow) {
        if (!m_longValues || !m_longValues->fits(int(length))) {
            if (m_longValues) writePage(m_longValues->number, m_longValues->bytes());
            m_longValues = std::make_unique<PageBuilder>(QByteArrayLiteral("LVAL"));
            m_longValues->number = allocatePage();
        }
        const int row = m_longValues->add(value);
        put32(field, 0, length | 0x40000000u);
        put32(field, 4, (m_longValues->number << 8) | uint32_t(row));
        return field;
    }
    const int chunks = (int(length) + kChunk - 1) / kChunk;
    const uint32_t first = m_nextPage;
    m_nextPage += uint32_t(chunks);
    for (int k = 0; k < chunks; ++k) {
        PageBuilder p(QByteArrayLiteral("LVAL"));
        QByteArray row(4, '\0');
        if (k + 1 < chunks) put32(row, 0, (first + uint32_t(k) + 1) << 8);
        row += value.mid(qsizetype(k) * kChunk, kChunk);
        p.add(row);
        writePage(first + uint32_t(k), p.bytes());
    }
    put32(field, 0, length);
    put32(field, 4, first << 8);
    return field;
}

// A row: the column count, the fixed columns, the variable ones, then from the
// end backwards the Null mask, the count of variable columns, the jump table
// and the variable columns' offsets (one byte each; every jump adds 256).
QByteArray Writer::buildRow(const Table& t, const QVariantList& values) {
    const int columns = int(t.columns.size());
    if (values.size() != columns)
        fail(
            QStringLiteral("table %1: %2 values for %3 columns").arg(t.name).arg(values.size()).arg(columns));
    const int maskBytes = (columns + 7) / 8;
    QByteArray fixed(t.fixedBytes, '\0');
    QByteArray mask(maskBytes, '\0');
    std::vector<QByteArray> var(size_t(t.varCount));
    std::vector<int> longColumns;
    int size = 1 + t.fixedBytes + t.varCount + 3 + maskBytes;

    for (int i = 0; i < columns; ++i) {
        const Column& c = t.columns[size_t(i)];
        const QVariant& v = values[i];
        const bool null = !v.isValid() || v.isNull();
        auto present = [&] { mask[i / 8] = char(uchar(mask[i / 8]) | (1 << (i % 8))); };
        auto cell = [&](const char* what) {
            return QStringLiteral("table %1, column %2: %3").arg(t.name, c.name, QLatin1String(what));
        };
        if (c.type == Type::YesNo) {
            if (!null && v.toBool()) present();
            continue;
        }
        if (null) {
            if (c.required) fail(cell("Null in a required column"));
            continue;
        }
        present();
        char* at = fixed.data() + t.fixedOffset[size_t(i)];
        bool ok = true;
        switch (c.type) {
        case Type::Byte: {
            const qlonglong n = v.toLongLong(&ok);
            if (!ok || n < 0 || n > 255) fail(cell("not a byte"));
            *at = char(n);
            break;
        }
        case Type::Integer: {
            const qlonglong n = v.toLongLong(&ok);
            if (!ok || n < std::numeric_limits<int16_t>::min() || n > std::numeric_limits<int16_t>::max())
                fail(cell("not a 16-bit integer"));
            qToLittleEndian(int16_t(n), at);
            break;
        }
        case Type::Long: {
            const qlonglong n = v.toLongLong(&ok);
            if (!ok || n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
                fail(cell("not a 32-bit integer"));
            qToLittleEndian(int32_t(n), at);
            break;
        }
        case Type::Currency: {
            const qlonglong n = v.toLongLong(&ok);
            if (!ok) fail(cell("not a count of ten-thousandths"));
            qToLittleEndian(qint64(n), at);
            break;
        }
        case Type::Single: {
            const float f = v.toFloat(&ok);
            if (!ok) fail(cell("not a number"));
            qToLittleEndian(f, at);
            break;
        }
        case Type::Double: {
            const double d = v.toDouble(&ok);
            if (!ok) fail(cell("not a number"));
            qToLittleEndian(d, at);
            break;
        }
        case Type::DateTime: {
            const double d = jetDate(v, &ok);
            if (!ok) fail(cell("not a date"));
            qToLittleEndian(d, at);
            break;
        }
        case Type::Guid: {
            // Stored as Windows keeps a GUID: its first three fields little-endian.
            if (v.typeId() != QMetaType::QUuid) fail(cell("not a GUID"));
            QByteArray b = v.toUuid().toRfc4122();
            std::reverse(b.begin(), b.begin() + 4);
            std::reverse(b.begin() + 4, b.begin() + 6);
            std::reverse(b.begin() + 6, b.begin() + 8);
            std::memcpy(at, b.constData(), 16);
            break;
        }
        case Type::Binary: {
            const QByteArray bytes = v.toByteArray();
            if (bytes.size() > c.size) fail(cell("more bytes than the column holds"));
            var[size_t(t.varIndex[size_t(i)])] = bytes;
            size += int(bytes.size());
            break;
        }
        case Type::Text: {
            const QByteArray bytes = code_page::toWindows1250(v.toString());
            if (bytes.size() > c.size) fail(cell("text longer than the column"));
            var[size_t(t.varIndex[size_t(i)])] = bytes;
            size += int(bytes.size());
            break;
        }
        case Type::Memo:
        case Type::LongBinary:
            var[size_t(t.varIndex[size_t(i)])] =
                c.type == Type::Memo ? code_page::toWindows1250(v.toString()) : v.toByteArray();
            longColumns.push_back(i);
            size += kMemoField;
            break;
        case Type::YesNo:
            break;
        }
    }
    // Short long values stay in the row while the row stays well within a page.
    for (int i : longColumns) {
        QByteArray& value = var[size_t(t.varIndex[size_t(i)])];
        const bool keep = value.size() <= kInlineMemo && size + value.size() + 8 <= kMaxRow;
        if (keep) size += int(value.size());
        value = memoField(value, keep);
    }

    QByteArray row;
    row.reserve(size + 8);
    row.append(char(columns));
    row.append(fixed);
    std::vector<int> offsets;
    for (const QByteArray& v : var) {
        offsets.push_back(int(row.size()));
        row.append(v);
    }
    if (t.varCount > 0) {
        offsets.push_back(int(row.size())); // the end of the data
        const int tail = int(row.size()) + 1 + t.varCount + 1 + maskBytes;
        int jumps = 0;
        for (;;) {
            const int needed = (tail + jumps - 1) / 256;
            if (needed == jumps) break;
            jumps = needed;
        }
        for (int k = t.varCount; k >= 0; --k)
            row.append(char(offsets[size_t(k)] & 0xFF));
        // Entry k names the first offset at or past 256·(k+1); 0xFF where none is.
        for (int k = jumps - 1; k >= 0; --k) {
            int first = 0xFF;
            for (int j = 0; j <= t.varCount; ++j)
                if (offsets[size_t(j)] >= 256 * (k + 1)) {
                    first = j;
                    break;
                }
            row.append(char(first));
        }
        row.append(char(t.varCount));
    }
    row.append(mask);
    if (row.size() > kMaxRow) fail(QStringLiteral("table %1: a row of %2 bytes").arg(t.name).arg(row.size()));
    return row;
}

void Writer::flushDataPage(Table& t) {
    if (!t.current) return;
    const uint32_t page = allocatePage();
    writePage(page, t.current->bytes());
    t.dataPages.push_back(page);
    t.current.reset();
}

void Writer::addRow(int table, const QVariantList& values) {
    if (m_closed) fail(QStringLiteral("rows after the end of the file"));
    Table& t = *m_tables.at(size_t(table));
    const QByteArray row = buildRow(t, values);
    if (t.current && !t.current->fits(int(row.size()))) flushDataPage(t);
    if (!t.current) t.current = std::make_unique<PageBuilder>(PageBuilder::owner(t.tdefPage));
    t.current->add(row);
    ++t.rows;
}

void Writer::writeCatalog() {
    const double created = double(QDate(1899, 12, 30).daysTo(QDate(2004, 3, 1)));
    addRow(0, {kTablesContainer, kRootContainer, QStringLiteral("Tables"), 3, created, created, kSystemObject,
               QVariant()});
    for (const auto& t : m_tables)
        addRow(0, {int(t->tdefPage), kTablesContainer, t->name, 1, created, created,
                   t->system ? kSystemObject : 0, QVariant()});
}

void Writer::finish(qint64 padToBytes) {
    if (m_complete) return;
    if (m_closed) fail(QStringLiteral("%1 could not be completed").arg(m_file.fileName()));
    writeCatalog();
    m_closed = true;
    for (auto& t : m_tables)
        flushDataPage(*t);
    if (m_longValues) writePage(m_longValues->number, m_longValues->bytes());

    // Usage maps: which pages hold a table's rows. A map keeps its bitmap in its
    // own row while the table's pages lie close together, and otherwise points
    // to map pages that each cover a stretch of the file.
    std::vector<QByteArray> maps;
    for (const auto& t : m_tables) {
        QByteArray used;
        const auto& pages = t->dataPages;
        if (pages.empty()) {
            used = QByteArray(5, '\0');
        } else if (pages.back() - pages.front() < uint32_t(kInlineMapBytes) * 8) {
            used = QByteArray(5 + kInlineMapBytes, '\0');
            put32(used, 1, pages.front());
            for (uint32_t p : pages) {
                const uint32_t bit = p - pages.front();
                used[int(5 + bit / 8)] = char(uchar(used[int(5 + bit / 8)]) | (1 << (bit % 8)));
            }
        } else {
            const uint32_t stretches = pages.back() / kMapBits + 1;
            used = QByteArray(int(1 + 4 * stretches), '\0');
            used[0] = 0x01;
            std::vector<QByteArray> bitmaps(stretches);
            for (uint32_t p : pages) {
                QByteArray& b = bitmaps[p / kMapBits];
                if (b.isEmpty()) {
                    b = QByteArray(kPageSize, '\0');
                    b[0] = 0x05;
                    b[1] = 0x01;
                }
                const uint32_t bit = p % kMapBits;
                b[int(4 + bit / 8)] = char(uchar(b[int(4 + bit / 8)]) | (1 << (bit % 8)));
            }
            for (uint32_t s = 0; s < stretches; ++s) {
                if (bitmaps[s].isEmpty()) continue;
                const uint32_t page = allocatePage();
                writePage(page, bitmaps[s]);
                put32(used, int(1 + 4 * s), page);
            }
        }
        if (used.size() > kMaxRow) fail(QStringLiteral("table %1: usage map too large").arg(t->name));
        maps.push_back(used);
        maps.push_back(QByteArray(5, '\0')); // pages with free space: none
    }
    std::vector<uint32_t> mapRows;
    auto mapPage = std::make_unique<PageBuilder>(PageBuilder::owner(0));
    mapPage->number = kMapPage;
    for (const QByteArray& m : maps) {
        if (!mapPage->fits(int(m.size()))) {
            writePage(mapPage->number, mapPage->bytes());
            mapPage = std::make_unique<PageBuilder>(PageBuilder::owner(0));
            mapPage->number = allocatePage();
        }
        mapRows.push_back((mapPage->number << 8) | uint32_t(mapPage->add(m)));
    }
    writePage(mapPage->number, mapPage->bytes());

    // Table definitions.
    for (size_t n = 0; n < m_tables.size(); ++n) {
        const Table& t = *m_tables[n];
        QByteArray d(43, '\0');
        d[0] = 0x02;
        d[1] = 0x01;
        d[2] = 'V';
        d[3] = 'C';
        put32(d, 12, uint32_t(t.rows));
        d[20] = char(t.system ? 0x53 : 0x4E);
        const uint16_t columns = uint16_t(t.columns.size());
        put16(d, 21, columns);
        put16(d, 23, uint16_t(t.varCount));
        put16(d, 25, columns);
        put32(d, 35, mapRows[2 * n]);
        put32(d, 39, mapRows[2 * n + 1]);
        for (size_t i = 0; i < t.columns.size(); ++i) {
            const Column& c = t.columns[i];
            const bool variable = isVariable(c.type);
            d.append(char(c.type));
            append16(d, uint16_t(i));
            append16(d, uint16_t(variable ? t.varIndex[i] : 0));
            append16(d, uint16_t(i));
            append16(d, 1);
            append16(d, kSortGeneral);
            append16(d, kCodePage);
            d.append(char((variable ? 0 : 0x01) | (c.required ? 0 : 0x02)));
            append16(d, uint16_t(variable ? 0 : t.fixedOffset[i]));
            append16(d, uint16_t(definedSize(c)));
        }
        for (const Column& c : t.columns) {
            const QByteArray name = code_page::toWindows1250(c.name);
            if (name.isEmpty() || name.size() > 64) fail(QStringLiteral("bad column name %1").arg(c.name));
            d.append(char(name.size()));
            d.append(name);
        }
        append16(d, 0xFFFF); // no variable columns with maps of their own
        if (d.size() > kPageSize)
            fail(QStringLiteral("table %1: the definition needs more than a page").arg(t.name));
        put32(d, 8, uint32_t(d.size()));
        d.resize(kPageSize, '\0');
        writePage(t.tdefPage, d);
    }

    // The header: signature, version, and the block kept under RC4.
    QByteArray h(kPageSize, '\0');
    h[1] = 0x01;
    std::memcpy(h.data() + 4, "Standard Jet DB", 15);
    put32(h, 0x14, 0); // Jet 3
    put16(h, 0x3A, kSortGeneral);
    put16(h, 0x3C, kCodePage);
    put32(h, 0x3E, 0); // no key: pages are not encrypted
    static const uint8_t key[] = {0xC7, 0xDA, 0x39, 0x6B};
    rc4(key, 4, reinterpret_cast<uint8_t*>(h.data()) + 0x18, 126);
    writePage(0, h);

    const qint64 size = qint64(m_nextPage) * kPageSize;
    if (padToBytes > 0) {
        if (size > padToBytes || padToBytes % kPageSize != 0)
            fail(QStringLiteral("the database needs %1 bytes, more than the %2 it must fit in")
                     .arg(size)
                     .arg(padToBytes));
        if (!m_file.resize(padToBytes)) fail(QStringLiteral("cannot pad %1").arg(m_file.fileName()));
    } else if (m_file.size() < size && !m_file.resize(size)) {
        fail(QStringLiteral("cannot write %1").arg(m_file.fileName()));
    }
    m_file.close();
    m_complete = true;
}

} // namespace jet
