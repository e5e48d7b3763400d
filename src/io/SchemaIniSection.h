#pragma once

#include <QByteArray>
#include <QString>

namespace io {

// Puts a section at the head of a folder's schema.ini for as long as it
// lives, so that the text driver, which reads the first section of a file's
// name, takes it. Whatever the folder held before is kept: the section goes in
// front of the file's own bytes (after a byte-order mark), and restore() puts
// the file back byte for byte, or removes it when there was none. The section
// is written in the encoding the file is read in: the one its byte-order mark
// names, else UTF-8, or Windows-1250 when the file's own bytes are not UTF-8.
class SchemaIniSection {
  public:
    // Writes the section; db::Error when schema.ini cannot be read or written,
    // and then the folder is as it was.
    SchemaIniSection(const QString& folder, const QString& section);
    // Restores the file when restore() has not run (a failure is being
    // reported already, so a failure here goes unreported).
    ~SchemaIniSection();
    SchemaIniSection(const SchemaIniSection&) = delete;
    SchemaIniSection& operator=(const SchemaIniSection&) = delete;

    // Puts the folder's schema.ini back as it was; db::Error when it cannot.
    void restore();

    static QString fileName() { return QStringLiteral("schema.ini"); }

  private:
    // False, with the reason in error, when the file could not be put back.
    bool putBack(QString* error) noexcept;

    QString m_path;
    bool m_existed = false;
    QByteArray m_original;
    bool m_pending = false;
};

} // namespace io
