#include "PersonalFile.h"

#include <QFile>
#include <QFileInfo>

namespace personal_file {

namespace {

const QString kJournal = QStringLiteral("-journal");

bool writableEntry(const QFileInfo& info) {
    return info.exists() && info.isWritable() && (info.permissions() & QFileDevice::WriteOwner);
}

} // namespace

bool adoptEarlier(const QString& earlier, const QString& target) {
    if (QFileInfo::exists(target) || !QFileInfo(earlier).isFile()) return true;
    const QString partial = target + QStringLiteral(".copy");
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile::remove(partial);
    if (!QFile::copy(earlier, partial) || !QFile::setPermissions(partial, ownerOnly)) {
        QFile::remove(partial);
        return false;
    }
    // A journal beside the earlier file holds the undo of an unfinished change;
    // the copy needs it to come back to a consistent state.
    const bool withJournal = QFileInfo(earlier + kJournal).isFile();
    if (withJournal) {
        QFile::remove(target + kJournal);
        if (!QFile::copy(earlier + kJournal, target + kJournal) ||
            !QFile::setPermissions(target + kJournal, ownerOnly)) {
            QFile::remove(target + kJournal);
            QFile::remove(partial);
            return false;
        }
    }
    // Renaming never replaces an existing file.
    if (!QFile::rename(partial, target)) {
        if (withJournal) QFile::remove(target + kJournal);
        QFile::remove(partial);
        return false;
    }
    return true;
}

bool writableFolder(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && writableEntry(info);
}

bool writable(const QString& path) {
    const QFileInfo file(path);
    return file.isFile() && writableEntry(file) && writableEntry(QFileInfo(file.absolutePath()));
}

} // namespace personal_file
