// Any bytes as a file offered to the import: read and previewed with every
// separator, with and without a line of column names. The table must keep its
// shape (every row and the names as wide as the table, at least the minimum
// of columns); a file that is no text must be refused with a message.

#include "FuzzSupport.h"

#include "ImportFile.h"

namespace {

fuzz::Session* session = nullptr; // for the life of the process

void checkShape(const io::ImportTable& t) {
    const int columns = t.columnCount();
    fuzz::check(columns >= io::ImportTable::kMinColumns, "table narrower than the minimum");
    fuzz::check(t.names().size() == columns, "names not as wide as the table");
    for (const QStringList& row : t.rows())
        fuzz::check(row.size() == columns, "row not as wide as the table");
    fuzz::check(t.cell(-1, 0).isEmpty() && t.cell(0, columns).isEmpty() &&
                    t.cell(int(t.rows().size()), 0).isEmpty(),
                "cell outside the table not empty");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    session = new fuzz::Session(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = session->path(QStringLiteral("kontakty.txt"));
    fuzz::writeFile(path, bytes);
    const io::ReadResult read = io::readImportFile(path, io::Separator::Semicolon, true);
    const QString text = code_page::decodeText(bytes);
    if (!io::looksLikeText(text)) {
        fuzz::check(!read.table && !read.error.isEmpty(), "binary file taken");
        return 0;
    }
    fuzz::check(read.table.has_value() && read.error.isEmpty(), "text file refused", read.error);
    checkShape(*read.table);

    for (const io::Separator separator :
         {io::Separator::Semicolon, io::Separator::Comma, io::Separator::Tab}) {
        for (const bool names : {false, true}) {
            const io::ImportTable t = io::splitText(text, io::separatorChar(separator), names);
            checkShape(t);
            // Without names the first record is a row too. (Under another
            // separator quoted cells, and so the records, can fall otherwise.)
            if (!names && separator == io::Separator::Semicolon)
                fuzz::check(t.rows().size() >= (read.table->rows().size()), "rows lost without names");
        }
    }
    return 0;
}
