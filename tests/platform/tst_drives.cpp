#include "Drives.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::Drive;
using platform::DriveType;

namespace {
const QMap<QString, DriveType> kTypes = {
    {"Fixed", DriveType::Fixed},     {"CdRom", DriveType::CdRom}, {"Removable", DriveType::Removable},
    {"Network", DriveType::Network}, {"Ram", DriveType::Ram},     {"Unknown", DriveType::Unknown}};
} // namespace

class TestDrives : public QObject {
    Q_OBJECT
  private slots:
    void mountTable_data();
    void mountTable();
    void scan_data();
    void scan();
};

void TestDrives::mountTable_data() {
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QStringList>("expected"); // devices sdb* are on a removable disk

    QTest::newRow("desktop") << QByteArray("sysfs /sys sysfs rw,nosuid 0 0\n"
                                           "udev /dev devtmpfs rw 0 0\n"
                                           "/dev/nvme0n1p2 / ext4 rw,relatime 0 0\n"
                                           "tmpfs /run tmpfs rw 0 0\n"
                                           "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                                           "/dev/sr0 /media/jan/ORDANA\\0402004 iso9660 ro 0 0\n"
                                           "/dev/sdb1 /media/jan/USB vfat rw 0 0\n"
                                           "/dev/sdb2 /media/jan/USB2 ext4 rw 0 0\n"
                                           "/dev/sdc1 /mnt/windows fuseblk rw 0 0\n"
                                           "rpool/home /home zfs rw 0 0\n"
                                           "server:/export /mnt/nfs nfs4 rw 0 0\n"
                                           "jan@host:/ /mnt/ssh fuse.sshfs rw 0 0\n"
                                           "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw 0 0\n"
                                           "/dev/loop3 /snap/core/1 squashfs ro 0 0\n")
                             << QStringList{"/=Fixed",
                                            "/run/=Ram",
                                            "/media/jan/ORDANA 2004/=CdRom",
                                            "/media/jan/USB/=Removable",
                                            "/media/jan/USB2/=Removable",
                                            "/mnt/windows/=Fixed",
                                            "/home/=Fixed",
                                            "/mnt/nfs/=Network",
                                            "/mnt/ssh/=Network"};
    // In a container the root is an overlay and counts as the fixed disk.
    QTest::newRow("container") << QByteArray("overlay / overlay rw,lowerdir=/a:/b 0 0\n"
                                             "proc /proc proc rw 0 0\n"
                                             "shm /dev/shm tmpfs rw 0 0\n")
                               << QStringList{"/=Fixed", "/dev/shm/=Ram"};
    QTest::newRow("escapes") << QByteArray("/dev/sda1 /mnt/a\\040b\\011c\\134d ext4 rw 0 0\n"
                                           "/dev/sda2 /mnt/\xc5\xbelu\xc5\xa5 xfs rw 0 0\n"
                                           "/dev/sda3 /mnt/not\\8escape btrfs rw 0 0\n")
                             << QStringList{"/mnt/a b\tc\\d/=Fixed", QStringLiteral("/mnt/žluť/=Fixed"),
                                            "/mnt/not\\8escape/=Fixed"};
    QTest::newRow("mounted again, odd lines") << QByteArray("/dev/sda1 /mnt/x ext4 rw 0 0\n\nshort line\n"
                                                            "none none ext4 rw 0 0\n"
                                                            "/dev/sda2   /mnt/y   ext4 rw 0 0\n"
                                                            "/dev/sr0 /mnt/x iso9660 ro 0 0")
                                              << QStringList{"/mnt/x/=CdRom", "/mnt/y/=Fixed"};
}

void TestDrives::mountTable() {
    QFETCH(QByteArray, table);
    QFETCH(QStringList, expected);
    const auto drives =
        platform::parseMountTable(table, [](const QString& device) { return device.startsWith("/dev/sdb"); });
    QStringList described;
    for (const Drive& d : drives)
        described << d.root + "=" + kTypes.key(d.type);
    QCOMPARE(described, expected);
}

void TestDrives::scan_data() {
    // Each drive: its type, then its files as "path=size" ("path/" for a folder);
    // "missing" leaves the drive's folder out. Results name the drive by index.
    QTest::addColumn<QStringList>("drives");
    QTest::addColumn<QString>("loose");
    QTest::addColumn<QString>("strict"); // with an expected size of 10

    QTest::newRow("disk listed before cd")
        << QStringList{"Fixed ordat.mdb=10", "CdRom ordat.mdb=10"} << "0:ordat.mdb"
        << "0:ordat.mdb";
    QTest::newRow("other drive types skipped")
        << QStringList{"Removable ordat.mdb=10", "Network ordat.mdb=10", "Ram ordat.mdb=10",
                       "Unknown ordat.mdb=10", "CdRom Ordat/ordat.mdb=10"}
        << "4:Ordat/ordat.mdb"
        << "4:Ordat/ordat.mdb";
    QTest::newRow("root before folder")
        << QStringList{"Fixed Ordat/ordat.mdb=10 ordat.mdb=10"} << "0:ordat.mdb"
        << "0:ordat.mdb";
    QTest::newRow("wrong size in root gives the drive up")
        << QStringList{"Fixed ordat.mdb=3 Ordat/ordat.mdb=10", "CdRom ordat.mdb=10"} << "0:ordat.mdb"
        << "1:ordat.mdb";
    QTest::newRow("wrong size in folder")
        << QStringList{"Fixed Ordat/ordat.mdb=3", "CdRom Ordat/ordat.mdb=10"} << "0:Ordat/ordat.mdb"
        << "1:Ordat/ordat.mdb";
    QTest::newRow("upper-case names on a disc")
        << QStringList{"CdRom ORDAT/ORDAT.MDB=10"} << "0:ORDAT/ORDAT.MDB"
        << "0:ORDAT/ORDAT.MDB";
    QTest::newRow("folder named like the file")
        << QStringList{"Fixed ordat.mdb/ Ordat/ordat.mdb=10"} << "0:Ordat/ordat.mdb"
        << "0:Ordat/ordat.mdb";
    QTest::newRow("missing drive folder")
        << QStringList{"CdRom missing", "Fixed ordat.mdb=10"} << "1:ordat.mdb"
        << "1:ordat.mdb";
    QTest::newRow("only a wrong size")
        << QStringList{"Fixed other.mdb=10", "CdRom Ordat/ordat.mdb=0"} << "1:Ordat/ordat.mdb"
        << "";
    QTest::newRow("no drives") << QStringList{} << ""
                               << "";
}

void TestDrives::scan() {
    QFETCH(QStringList, drives);
    QFETCH(QString, loose);
    QFETCH(QString, strict);

    QTemporaryDir dir;
    const auto root = [&](const QString& index) { return dir.filePath("drive" + index + "/"); };
    QList<Drive> list;
    for (int i = 0; i < drives.size(); ++i) {
        QStringList parts = drives[i].split(' ');
        list.append(Drive{root(QString::number(i)), kTypes.value(parts.takeFirst())});
        if (parts.contains("missing")) continue;
        QVERIFY(QDir().mkpath(list.last().root));
        for (const QString& entry : parts) {
            const QString path = list.last().root + entry.section('=', 0, 0);
            QVERIFY(QDir().mkpath(path.endsWith('/') ? path : QFileInfo(path).path()));
            if (path.endsWith('/')) continue;
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(entry.section('=', 1).toInt(), 'x'));
        }
    }
    const auto expand = [&](const QString& r) {
        return r.isEmpty() ? r : root(r.section(':', 0, 0)) + r.section(':', 1);
    };

    const platform::FixedDrives fixed(list);
    QCOMPARE(platform::driveScan(fixed, "/nowhere/ordat.mdb"),
             loose.isEmpty() ? "/nowhere/ordat.mdb" : expand(loose));
    QCOMPARE(platform::strictDriveScan(fixed, 10), expand(strict));
}

QTEST_GUILESS_MAIN(TestDrives)
#include "tst_drives.moc"
