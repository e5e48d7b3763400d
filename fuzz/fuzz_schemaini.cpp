// Any bytes as the schema.ini of an export folder: the text driver reads the
// section of the exported file and writes the rows by it, or refuses with an
// engine error. A refused export leaves no file behind; a written one is the
// only new file in the folder.

#include "FuzzSupport.h"

#include "Database.h"
#include "Error.h"

namespace {

struct Fixture {
    fuzz::Session session;
    db::Engine engine;
    std::unique_ptr<db::Database> database;
    QString folder;

    Fixture(int* argc, char*** argv) : session(argc, argv) {
        db::OpenOptions options;
        options.disposable = true;
        database = engine.defaultWorkspace().createDatabase(session.path(QStringLiteral("vlastni.mdb")),
                                                            db::kCzechLocale, options);
        for (const char* sql : {
                 "CREATE TABLE T (ID LONG, Prijmeni TEXT(30), Jmeno TEXT(30), PSC TEXT(6), Vaha DOUBLE, Zn "
                 "BIT)",
                 "INSERT INTO T VALUES (1, 'Dvořák', 'Jan \"Honza\"', '11000', 72.5, True)",
                 "INSERT INTO T VALUES (2, 'Novák', Null, '60200', Null, False)",
                 "INSERT INTO T VALUES (3, 'Li 中', 'Eva;Marie', Null, -0.125, True)",
                 "INSERT INTO T VALUES (Null, '', 'řádek\r\nnový', '1', 1e300, Null)",
             })
            database->execute(QString::fromUtf8(sql), db::Database::FailOnError);
        folder = session.path(QStringLiteral("export"));
        fuzz::check(QDir().mkpath(folder), "cannot make the export folder");
    }
};

Fixture* fixture = nullptr; // for the life of the process

// The names the seeds' sections describe.
const char* const kTargets[] = {"export#txt", "Export#CSV", "adresy"};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fixture = new Fixture(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString schema = QStringLiteral("schema.ini");
    fuzz::writeFile(fixture->folder + u'/' + schema, fuzz::bytesOf(data, size));
    QString connect = QStringLiteral("Text;DATABASE=") + fixture->folder +
                      QStringLiteral(";LANGID=0x0405;CP=1250;COUNTRY=0");
    connect.replace(u'"', QStringLiteral("\"\""));
    for (const char* target : kTargets) {
        const QString sql = QStringLiteral("SELECT ID, Prijmeni, Jmeno AS [Křestní jméno], PSC, Vaha, Zn, "
                                           "Prijmeni & ' ' & Jmeno INTO [") +
                            QLatin1String(target) + QStringLiteral("] IN \"\" \"") + connect +
                            QStringLiteral("\" FROM T ORDER BY ID");
        bool written = false;
        try {
            fuzz::check(fixture->database->execute(sql, db::Database::FailOnError) == 4,
                        "rows not all written");
            written = true;
        } catch (const db::Error& e) {
            fuzz::check(!e.message().trimmed().isEmpty(), "engine error without a message");
        }
        const QStringList files = fuzz::entriesBesides(fixture->folder, {schema});
        fuzz::check(files.size() == (written ? 1 : 0), "export left other files than its own",
                    files.join(u' '));
        for (const QString& name : files)
            QFile::remove(fixture->folder + u'/' + name);
    }
    return 0;
}
