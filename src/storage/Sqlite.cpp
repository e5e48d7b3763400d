#include "Sqlite.h"

#include "ColumnTypes.h"
#include "Error.h"

#include <QRegularExpression>
#include <QStringList>

namespace db::sqlite {

QString readableMessage(const QString& msg) {
    static const QRegularExpression lenRe(QStringLiteral(R"(CHECK constraint failed: len:(.+):(\d+)$)"));
    static const QRegularExpression typeRe(QStringLiteral(R"(CHECK constraint failed: type:(.+)$)"));
    static const QRegularExpression rangeRe(QStringLiteral(R"(CHECK constraint failed: range:(.+)$)"));
    static const QRegularExpression boolRe(QStringLiteral(R"(CHECK constraint failed: bool:(.+)$)"));
    // The dialect's own functions (division, LIKE) word their errors for the user.
    if (msg.startsWith(QLatin1String("jet: "))) return msg.mid(5);
    if (auto m = lenRe.match(msg); m.hasMatch())
        return QStringLiteral("Pole „%1“ je příliš malé pro zadaná data: hodnota je delší než %2 znaků.")
            .arg(m.captured(1), m.captured(2));
    if (auto m = typeRe.match(msg); m.hasMatch())
        return QStringLiteral("Nesoulad datových typů: do pole „%1“ lze uložit jen celé číslo.")
            .arg(m.captured(1));
    if (auto m = rangeRe.match(msg); m.hasMatch())
        return QStringLiteral(
                   "Přetečení číselného pole „%1“: celé číslo musí ležet mezi -2147483648 a 2147483647.")
            .arg(m.captured(1));
    if (auto m = boolRe.match(msg); m.hasMatch())
        return QStringLiteral("Nesoulad datových typů: do pole „%1“ typu Ano/Ne lze uložit jen číslo nebo "
                              "True, False, Yes, No, On, Off.")
            .arg(m.captured(1));
    static const QRegularExpression checkRe(QStringLiteral(R"(CHECK constraint failed: (.+)$)"));
    if (auto m = checkRe.match(msg); m.hasMatch())
        if (const std::optional<QString> text = checkFailureMessage(m.captured(1))) return *text;
    // SQLite's own limits on a statement's nesting.
    if (msg.contains(QLatin1String("parser stack overflow")) ||
        msg.contains(QLatin1String("Expression tree is too large")) ||
        msg.contains(QLatin1String("too many arguments on function")))
        return QStringLiteral("Příkaz SQL je příliš složitý: výrazy jsou vnořeny příliš hluboko.");
    if (msg.contains(QLatin1String("readonly database")))
        return QStringLiteral("Databáze je otevřena jen pro čtení; nelze do ní zapisovat.");
    if (msg.contains(QLatin1String("database is locked")))
        return QStringLiteral("Databáze je uzamčena jiným procesem.");
    if (msg.contains(QLatin1String("file is not a database")))
        return QStringLiteral("Soubor není databáze nebo je poškozen.");
    if (msg.contains(QLatin1String("database disk image is malformed")))
        return QStringLiteral("Databázový soubor je poškozen.");
    if (msg.contains(QLatin1String("unable to open database file")))
        return QStringLiteral("Databázový soubor nelze otevřít.");
    // A progress check asked for the statement to stop.
    if (msg == QLatin1String("interrupted")) return QStringLiteral("Příkaz byl přerušen.");
    if (msg.contains(QLatin1String("disk I/O error")) ||
        msg.contains(QLatin1String("database or disk is full")))
        return QStringLiteral("Chyba při zápisu na disk: %1").arg(msg);
    return QStringLiteral("Chyba databázového stroje: %1").arg(msg);
}

namespace {

// The files of the connection's databases: the main one and any attached.
QStringList databaseFiles(sqlite3* handle) {
    QStringList files;
    for (int i = 0; const char* schema = sqlite3_db_name(handle, i); ++i) {
        const char* file = sqlite3_db_filename(handle, schema);
        if (file && *file && !files.contains(QString::fromUtf8(file))) files << QString::fromUtf8(file);
    }
    return files;
}

QString quotedList(const QStringList& files) {
    QStringList quoted;
    for (const QString& file : files)
        quoted << QStringLiteral("„") + file + QStringLiteral("“");
    return quoted.join(QStringLiteral(", "));
}

// A damaged file or one that is no database is named, as the user has to
// replace it; SQLite cannot say which of several attached files it was.
QString damagedMessage(sqlite3* handle, int rc) {
    const QStringList files = databaseFiles(handle);
    const bool notDatabase = (rc & 0xff) == SQLITE_NOTADB;
    if (files.size() == 1)
        return (notDatabase ? QStringLiteral("Soubor %1 není databáze nebo je poškozen.")
                            : QStringLiteral("Databázový soubor %1 je poškozen."))
            .arg(quotedList(files));
    return QStringLiteral("Některý z databázových souborů %1 je poškozen.").arg(quotedList(files));
}

[[noreturn]] void raise(sqlite3* handle, int rc, const QString& msg) {
    const int primary = rc & 0xff;
    if (handle && (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) && !databaseFiles(handle).isEmpty())
        throw Error(damagedMessage(handle, rc));
    throw Error(readableMessage(msg));
}

} // namespace

void fail(sqlite3* handle, int rc) {
    raise(handle, rc,
          handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QString::fromUtf8(sqlite3_errstr(rc)));
}

void exec(sqlite3* handle, const QString& sql) {
    char* err = nullptr;
    int rc = sqlite3_exec(handle, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        QString msg = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(err);
        raise(handle, rc, msg);
    }
}

Statement::Statement(sqlite3* handle, const QString& sql) : Statement(handle, QByteArrayView(sql.toUtf8())) {}

Statement::Statement(sqlite3* handle, QByteArrayView utf8Sql) : m_db(handle) {
    int rc = sqlite3_prepare_v2(handle, utf8Sql.data(), int(utf8Sql.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        fail(handle, rc);
    }
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement&& o) noexcept : m_db(o.m_db), m_stmt(o.m_stmt) {
    o.m_stmt = nullptr;
}

Statement& Statement::operator=(Statement&& o) noexcept {
    if (this != &o) {
        sqlite3_finalize(m_stmt);
        m_db = o.m_db;
        m_stmt = o.m_stmt;
        o.m_stmt = nullptr;
    }
    return *this;
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void Statement::bind(int index, const QVariant& v) {
    int rc;
    if (v.isNull() || !v.isValid()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_stmt, index, v.toBool() ? -1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
            rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob(m_stmt, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK) fail(m_db, rc);
}

bool Statement::step() {
    int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(m_stmt);
    fail(m_db, rc);
}

QVariant Statement::column(int i, bool boolean) const {
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return boolean ? QVariant(false) : QVariant();
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_column_int64(m_stmt, i);
        if (boolean) return QVariant(v != 0);
        return QVariant(v);
    }
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, i));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, i)),
                                   sqlite3_column_bytes(m_stmt, i)));
    default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
        return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, i)));
    }
    }
}

QString Statement::declaredType(int i) const {
    const char* t = sqlite3_column_decltype(m_stmt, i);
    return t ? QString::fromUtf8(t) : QString();
}

} // namespace db::sqlite
