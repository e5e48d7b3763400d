#pragma once

// Helpers shared by the database engine tests.

#include "Database.h"
#include "Dataset.h"
#include "Error.h"

#include <QTest>
#include <memory>

// The statement must raise db::Error with a message that contains fragment.
#define VERIFY_DB_ERROR(statement, fragment)                                                                 \
    do {                                                                                                     \
        bool raised_ = false;                                                                                \
        QString message_;                                                                                    \
        try {                                                                                                \
            statement;                                                                                       \
        } catch (const db::Error& e_) {                                                                      \
            raised_ = true;                                                                                  \
            message_ = e_.message();                                                                         \
        }                                                                                                    \
        QVERIFY2(raised_, "no db::Error from: " #statement);                                                 \
        QVERIFY2(message_.contains(fragment, Qt::CaseInsensitive), qPrintable(message_));                    \
    } while (false)

namespace storage_test {

// A new Czech database from the default workspace, with the statements run on it.
// Disposable: the tests need no flushing to disk.
inline std::unique_ptr<db::Database> createDatabase(db::Engine& engine, const QString& path,
                                                    const QStringList& statements = {}) {
    db::OpenOptions options;
    options.disposable = true;
    auto d = engine.defaultWorkspace().createDatabase(path, db::kCzechLocale, options);
    for (const QString& s : statements)
        d->execute(s, db::Database::FailOnError);
    return d;
}

// The first field of the first row, read through a dataset of its own.
inline QVariant scalar(db::Database& d, const QString& sql) {
    db::Dataset ds;
    ds.setDatabase(&d);
    ds.setSql(sql);
    ds.open();
    return ds.eof() ? QVariant() : ds.value(0);
}

// Sets fields of the row being edited or appended, then posts it.
inline void postValues(db::Dataset& ds, std::initializer_list<std::pair<const char*, QVariant>> values) {
    for (const auto& [name, value] : values)
        ds.setValue(QString::fromUtf8(name), value);
    ds.post();
}

// Rows of "Table [WHERE …]".
inline int count(db::Database& d, const QString& from) {
    return scalar(d, QStringLiteral("SELECT Count(*) AS n FROM ") + from).toInt();
}

} // namespace storage_test
