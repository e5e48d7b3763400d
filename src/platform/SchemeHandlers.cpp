#include "SchemeHandlers.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>
#include <QStringList>

namespace platform {

namespace {

const QString kDefaults = QStringLiteral("Default Applications");
const QString kAdded = QStringLiteral("Added Associations");
const QString kRemoved = QStringLiteral("Removed Associations");
const QString kCache = QStringLiteral("MIME Cache");

// The values of the key in every group of a file of the desktop's INI form,
// by group, each value split at ";". Nothing when the file cannot be read.
QHash<QString, QStringList> entriesOf(const QString& path, const QString& key) {
    QHash<QString, QStringList> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return out;
    QString group;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (line.startsWith(u'#') || equals <= 0 || line.left(equals).trimmed() != key) continue;
        for (const QString& value : line.mid(equals + 1).split(u';', Qt::SkipEmptyParts))
            if (!value.trimmed().isEmpty()) out[group] << value.trimmed();
    }
    return out;
}

// The paths below an applications folder that a desktop file ID may stand
// for: "a-b.desktop" is "a-b.desktop" or "a/b.desktop".
QStringList relativePaths(const QString& id) {
    QStringList out{id};
    for (qsizetype dash = id.indexOf(u'-'); dash > 0; dash = id.indexOf(u'-', dash + 1))
        for (const QString& rest : relativePaths(id.mid(dash + 1)))
            out << id.left(dash) + u'/' + rest;
    return out;
}

// The applications folder (its index) that holds the desktop file of the ID:
// the first one that has it, -1 when none has it or that file is hidden (a
// file that says it was deleted).
int installedIn(const QString& id, const QStringList& applicationDirs) {
    if (!id.endsWith(QLatin1String(".desktop")) || id.contains(u'/')) return -1;
    const QStringList paths = relativePaths(id);
    for (int dir = 0; dir < applicationDirs.size(); ++dir) {
        for (const QString& path : paths) {
            const QString file = applicationDirs[dir] + u'/' + path;
            if (!QFileInfo(file).isFile()) continue;
            const QStringList hidden =
                entriesOf(file, QStringLiteral("Hidden")).value(QStringLiteral("Desktop Entry"));
            return hidden.value(0).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ? -1 : dir;
        }
    }
    return -1;
}

} // namespace

bool desktopHandlesScheme(const QString& scheme) {
    const QString type = QStringLiteral("x-scheme-handler/") + scheme.toLower();
    const QStringList configDirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    const QStringList applicationDirs =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    QStringList desktops;
    for (const QString& name : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts))
        desktops << name.toLower();

    // Removed by a list read before: it no longer counts in the lists and
    // caches of lower precedence.
    QSet<QString> removed;
    const auto anyInstalled = [&](const QStringList& ids) {
        for (const QString& id : ids)
            if (!removed.contains(id) && installedIn(id, applicationDirs) >= 0) return true;
        return false;
    };
    // The lists of one folder; true when one of them names an installed program.
    const auto listsName = [&](const QString& dir) {
        for (const QString& desktop : desktops)
            if (anyInstalled(entriesOf(dir + u'/' + desktop + QStringLiteral("-mimeapps.list"), type)
                                 .value(kDefaults)))
                return true;
        const auto lists = entriesOf(dir + QStringLiteral("/mimeapps.list"), type);
        if (anyInstalled(lists.value(kDefaults)) || anyInstalled(lists.value(kAdded))) return true;
        for (const QString& id : lists.value(kRemoved))
            removed.insert(id);
        return false;
    };

    for (const QString& dir : configDirs)
        if (listsName(dir)) return true;
    for (int dir = 0; dir < applicationDirs.size(); ++dir) {
        if (listsName(applicationDirs[dir])) return true;
        // The folder's own desktop files that name the type; a file of the
        // same ID in a folder of higher precedence stands in for it.
        const auto cached = entriesOf(applicationDirs[dir] + QStringLiteral("/mimeinfo.cache"), type);
        for (const QString& id : cached.value(kCache))
            if (!removed.contains(id) && installedIn(id, applicationDirs) == dir) return true;
    }
    return false;
}

} // namespace platform
