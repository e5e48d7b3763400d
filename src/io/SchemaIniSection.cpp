#include "SchemaIniSection.h"

#include "CodePage.h"
#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace io {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// The section in the encoding the whole file will be read in: the driver reads
// schema.ini as UTF-8 when it is valid UTF-8, as Windows-1250 otherwise.
QByteArray encodeSection(const QString& section, const QByteArray& rest) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(rest);
    Q_UNUSED(decoded);
    return utf8.hasError() ? codepage::toWindows1250(section) : section.toUtf8();
}

bool writeAll(const QString& path, const QByteArray& bytes, QString* error) {
    QFile f(path);
    // Unbuffered, and a short write tried again for the rest: only a write
    // that stores nothing reports the system's reason (a full disk, a file
    // too large).
    bool ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    for (qsizetype done = 0; ok && done < bytes.size();) {
        const qint64 n = f.write(bytes.constData() + done, bytes.size() - done);
        ok = n > 0;
        done += n;
    }
    if (ok) f.close();
    if (!ok || f.error() != QFileDevice::NoError) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

db::Error fileError(const QString& what, const QString& path, const QString& reason) {
    QString text = what;
    text += QStringLiteral(" \"");
    text += QDir::toNativeSeparators(path);
    text += QStringLiteral("\": ");
    text += reason;
    return db::Error(text);
}

} // namespace

SchemaIniSection::SchemaIniSection(const QString& folder, const QString& section)
    : m_path(QDir(folder).filePath(fileName())) {
    const QFileInfo info(m_path);
    m_existed = info.exists();
    if (m_existed) {
        QFile f(m_path);
        if (!info.isFile() || !f.open(QIODevice::ReadOnly))
            throw fileError(QStringLiteral("Soubor nelze přečíst"), m_path, f.errorString());
        m_original = f.readAll();
        if (f.error() != QFileDevice::NoError)
            throw fileError(QStringLiteral("Soubor nelze přečíst"), m_path, f.errorString());
    }
    QByteArray bytes;
    QByteArray rest = m_original;
    if (rest.startsWith(kByteOrderMark)) {
        bytes = kByteOrderMark;
        rest.remove(0, kByteOrderMark.size());
    }
    bytes += encodeSection(section, rest);
    bytes += rest;
    m_pending = true;
    QString error;
    if (!writeAll(m_path, bytes, &error)) {
        putBack(nullptr);
        m_pending = false;
        throw fileError(QStringLiteral("Soubor nelze zapsat"), m_path, error);
    }
}

SchemaIniSection::~SchemaIniSection() {
    if (m_pending) putBack(nullptr);
}

void SchemaIniSection::restore() {
    if (!m_pending) return;
    m_pending = false;
    QString error;
    if (!putBack(&error))
        throw fileError(QStringLiteral("Soubor nelze vrátit do původního stavu"), m_path, error);
}

bool SchemaIniSection::putBack(QString* error) noexcept {
    if (m_existed) return writeAll(m_path, m_original, error);
    QFile f(m_path);
    if (!f.exists() || f.remove()) return true;
    if (error) *error = f.errorString();
    return false;
}

} // namespace io
