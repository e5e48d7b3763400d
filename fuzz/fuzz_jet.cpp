// Any bytes as a Jet file offered to the conversion (libmdb reads them). The
// conversion either makes the copy, which records its source and holds the
// rows it counts, or refuses the file with a message naming it; a refused
// file leaves nothing in the target's folder.

#include "FuzzSupport.h"

#include "Database.h"
#include "Error.h"
#include "JetConversion.h"
#include "JetFile.h"
#include "SqlTranslator.h"

namespace {

fuzz::Session* session = nullptr; // for the life of the process
db::Engine* engine = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    session = new fuzz::Session(argc, argv);
    engine = new db::Engine;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString source = session->path(QStringLiteral("zdroj.mdb"));
    fuzz::writeFile(source, fuzz::bytesOf(data, size));
    const QString folder = session->path(QStringLiteral("cil"));
    QDir().mkpath(folder);
    const QString target = folder + QStringLiteral("/kopie.mdb");
    try {
        const db::ConversionResult result =
            db::convertJetFile(engine->defaultWorkspace(), source, target, db::ConversionKind::Plain);
        fuzz::check(!result.cancelled, "cancelled without being asked");
        fuzz::check(fuzz::entriesBesides(folder, {QStringLiteral("kopie.mdb")}).isEmpty(), "stray file");
        fuzz::check(db::convertedSourceOf(target) == db::jet::sourceIdentity(source), "source not recorded");
        {
            auto copy = engine->defaultWorkspace().openDatabase(target);
            qint64 rows = 0;
            for (const QString& t : copy->tableNames())
                rows += copy->queryNative(QStringLiteral("SELECT count(*) FROM ") + db::quoteIdentifier(t))
                            .first()
                            .first()
                            .toLongLong();
            fuzz::check(rows == result.rows, "rows counted are not the rows kept");
        }
        fuzz::check(db::removeDatabaseFile(target), "cannot remove the copy");
    } catch (const db::Error& e) {
        const QString message = e.message();
        fuzz::check(message.startsWith(QStringLiteral("Soubor „") + source + u'“') ||
                        message.startsWith(QStringLiteral("Tabulku „")),
                    "message names no file", message);
        fuzz::check(fuzz::entriesBesides(folder, {}).isEmpty(), "file left behind", message);
    }
    return 0;
}
