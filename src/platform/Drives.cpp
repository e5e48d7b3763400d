#include "Drives.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace platform {

namespace {

const QString kDbFile = QStringLiteral("ordat.mdb");
const QString kDbFolder = QStringLiteral("Ordat");

// File systems by the kind of drive they stand for.
const QSet<QString> kCdFileSystems = {QStringLiteral("iso9660"), QStringLiteral("udf"),
                                      QStringLiteral("cd9660")};
const QSet<QString> kNetworkFileSystems = {
    QStringLiteral("nfs"),       QStringLiteral("nfs4"),       QStringLiteral("cifs"),
    QStringLiteral("smb3"),      QStringLiteral("smbfs"),      QStringLiteral("ncpfs"),
    QStringLiteral("9p"),        QStringLiteral("afs"),        QStringLiteral("ceph"),
    QStringLiteral("glusterfs"), QStringLiteral("sshfs"),      QStringLiteral("fuse.sshfs"),
    QStringLiteral("davfs"),     QStringLiteral("fuse.davfs2")};
const QSet<QString> kRamFileSystems = {QStringLiteral("tmpfs"), QStringLiteral("ramfs")};
const QSet<QString> kDiskFileSystems = {
    QStringLiteral("ext2"),    QStringLiteral("ext3"),     QStringLiteral("ext4"),
    QStringLiteral("xfs"),     QStringLiteral("btrfs"),    QStringLiteral("f2fs"),
    QStringLiteral("zfs"),     QStringLiteral("ntfs"),     QStringLiteral("ntfs3"),
    QStringLiteral("fuseblk"), QStringLiteral("vfat"),     QStringLiteral("msdos"),
    QStringLiteral("exfat"),   QStringLiteral("hfs"),      QStringLiteral("hfsplus"),
    QStringLiteral("jfs"),     QStringLiteral("reiserfs"), QStringLiteral("bcachefs"),
    QStringLiteral("nilfs2")};

// The mount table writes blanks, tabs, newlines and backslashes as \ooo.
QString decodeField(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool octal = true;
            for (const char c : digits)
                octal = octal && c >= '0' && c <= '7';
            if (octal) {
                out += char(digits.toInt(nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return QFile::decodeName(out);
}

DriveType classify(const QString& type, const QString& device,
                   const std::function<bool(const QString&)>& isRemovable) {
    if (kCdFileSystems.contains(type)) return DriveType::CdRom;
    if (kNetworkFileSystems.contains(type)) return DriveType::Network;
    if (kRamFileSystems.contains(type)) return DriveType::Ram;
    if (kDiskFileSystems.contains(type)) {
        if (device.startsWith(QLatin1String("/dev/")) && isRemovable && isRemovable(device))
            return DriveType::Removable;
        return DriveType::Fixed;
    }
    return DriveType::Unknown;
}

// Whether the disk holding a block device is removable: the device's symbolic
// names (/dev/disk/by-uuid/…, /dev/mapper/…) are followed, and a partition
// (sdb1, nvme0n1p2) is looked up by its disk in sysfs.
bool systemRemovable(const QString& device) {
    QString path = QFileInfo(device).canonicalFilePath();
    if (path.isEmpty()) path = device;
    const QString sysEntry = QStringLiteral("/sys/class/block/") + QFileInfo(path).fileName();
    QString sysDevice = QFileInfo(sysEntry).canonicalFilePath();
    if (sysDevice.isEmpty()) return false;
    if (QFileInfo::exists(sysDevice + QStringLiteral("/partition"))) sysDevice = QFileInfo(sysDevice).path();
    QFile removable(sysDevice + QStringLiteral("/removable"));
    if (!removable.open(QIODevice::ReadOnly)) return false;
    return removable.readAll().trimmed() == "1";
}

class SystemDrives : public Drives {
  public:
    QList<Drive> list() const override {
        for (const char* name : {"/proc/self/mounts", "/proc/mounts"}) {
            QFile file(QString::fromLatin1(name));
            // Files in /proc report no size; read them to the end.
            if (file.open(QIODevice::ReadOnly)) return parseMountTable(file.readAll(), systemRemovable);
        }
        return {Drive{QStringLiteral("/"), DriveType::Fixed}};
    }
};

QString withSlash(QString folder) {
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder;
}

// An entry of a folder by name: the exact name first, then in any case, as a
// disc written elsewhere may carry "ORDAT.MDB" or "ORDAT".
QString findEntry(const QString& folder, const QString& name, bool wantFolder) {
    const QFileInfo exact(folder + name);
    if (wantFolder ? exact.isDir() : exact.isFile()) return exact.filePath();
    const QDir dir(folder);
    const QStringList found = dir.entryList({name}, (wantFolder ? QDir::Dirs : QDir::Files) | QDir::Hidden |
                                                        QDir::System | QDir::NoDotAndDotDot);
    return found.isEmpty() ? QString() : folder + found.first();
}

// The database of one drive. A root file decides the drive: it is taken when
// accepted, otherwise the drive is given up.
QString scanDrive(const QString& root, const std::function<bool(const QString&)>& accept) {
    const QString inRoot = findEntry(root, kDbFile, false);
    if (!inRoot.isEmpty()) return accept(inRoot) ? inRoot : QString();
    const QString folder = findEntry(root, kDbFolder, true);
    if (folder.isEmpty()) return {};
    const QString inFolder = findEntry(withSlash(folder), kDbFile, false);
    return !inFolder.isEmpty() && accept(inFolder) ? inFolder : QString();
}

QString scan(const Drives& drives, const std::function<bool(const QString&)>& accept) {
    for (const Drive& drive : drives.list()) {
        if (drive.type != DriveType::CdRom && drive.type != DriveType::Fixed) continue;
        if (drive.root.isEmpty()) continue;
        const QString found = scanDrive(withSlash(drive.root), accept);
        if (!found.isEmpty()) return found;
    }
    return {};
}

} // namespace

QList<Drive> parseMountTable(const QByteArray& table,
                             const std::function<bool(const QString&)>& isRemovable) {
    QList<Drive> drives;
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3) continue;
        const QString device = decodeField(fields[0]);
        const QString mountPoint = decodeField(fields[1]);
        const QString type = QString::fromLatin1(fields[2]);
        if (!mountPoint.startsWith(u'/')) continue;

        DriveType driveType = classify(type, device, isRemovable);
        if (mountPoint == QLatin1String("/") && driveType == DriveType::Unknown) driveType = DriveType::Fixed;
        if (driveType == DriveType::Unknown) continue;

        const QString root = withSlash(mountPoint);
        const auto same =
            std::find_if(drives.begin(), drives.end(), [&](const Drive& d) { return d.root == root; });
        if (same != drives.end())
            same->type = driveType;
        else
            drives.append(Drive{root, driveType});
    }
    return drives;
}

std::unique_ptr<Drives> makeSystemDrives() {
    return std::make_unique<SystemDrives>();
}

QString driveScan(const Drives& drives, const QString& fallback) {
    try {
        const QString found = scan(drives, [](const QString&) { return true; });
        return found.isEmpty() ? fallback : found;
    } catch (...) {
        return fallback;
    }
}

QString strictDriveScan(const Drives& drives, qint64 expectedSize) {
    try {
        return scan(drives,
                    [expectedSize](const QString& path) { return QFileInfo(path).size() == expectedSize; });
    } catch (...) {
        return {};
    }
}

} // namespace platform
