#include "SchemaIniSection.h"

#include "CodePage.h"
#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace io {

namespace {

// The encoding the section is written in, so that the driver reads the whole
// file in the encoding it reads the folder's own file in. A new or pure ASCII
// file gets UTF-8.
code_page::TextEncoding sectionEncoding(const QByteArray& original) {
    const code_page::TextEncoding found = code_page::detectEncoding(original);
    const bool ascii = std::all_of(original.cbegin(), original.cend(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return found == code_page::TextEncoding::Windows1250 && ascii ? code_page::TextEncoding::Utf8 : found;
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
    // The section goes after the file's byte-order mark, in the file's encoding.
    const code_page::TextEncoding encoding = sectionEncoding(m_original);
    const QByteArray mark = code_page::byteOrderMark(encoding);
    const qsizetype markSize = m_original.startsWith(mark) ? mark.size() : 0;
    QByteArray bytes = m_original.left(markSize);
    bytes += code_page::encode(section, encoding);
    bytes += m_original.sliced(markSize);
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
