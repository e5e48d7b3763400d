#include "PrivateFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

namespace {

// The folder, made when missing; usable only when it ends up private and writable.
bool privateAndWritable(const QString& path) {
    if (path.isEmpty() || !QDir().mkpath(path)) return false;
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QFileInfo info(path);
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    return info.isDir() && info.isWritable() && !(info.permissions() & others);
}

} // namespace

QString privateFolder() {
    // Qt makes the runtime folder private when it has to choose one itself.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (privateAndWritable(runtime)) return runtime;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) return {};
    const QString own = cache + QStringLiteral("/ordana");
    return privateAndWritable(own) ? own : QString();
}

} // namespace platform
