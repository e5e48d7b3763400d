#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>

namespace platform {

enum class DriveType { Fixed, CdRom, Removable, Network, Ram, Unknown };

struct Drive {
    QString root; // mount point, ending in "/"
    DriveType type = DriveType::Unknown;
};

// The drives of the machine in the system's order: mount points with their
// device types (CD/DVD file systems count as CD-ROM, local disks as fixed).
class Drives {
  public:
    virtual ~Drives() = default;
    virtual QList<Drive> list() const = 0;
};

// Reads the mount table of the running system.
std::unique_ptr<Drives> makeSystemDrives();

// The drives of a mount table in the format of /proc/self/mounts, in its order.
// Pseudo file systems are left out ("/" always counts as a fixed drive); a
// mount point mounted again keeps its place and takes the later type.
// isRemovable tells whether a block device ("/dev/sdb1") sits on a removable medium.
QList<Drive> parseMountTable(const QByteArray& table,
                             const std::function<bool(const QString& device)>& isRemovable);

// A fixed list, for tests.
class FixedDrives : public Drives {
  public:
    explicit FixedDrives(QList<Drive> drives) : m_drives(std::move(drives)) {}
    QList<Drive> list() const override { return m_drives; }
    void setDrives(QList<Drive> drives) { m_drives = std::move(drives); }

  private:
    QList<Drive> m_drives;
};

// The first directory database on a CD-ROM or fixed drive: in the root of the
// drive ("ordat.mdb") or in its "Ordat" folder; the fallback when none is found.
QString driveScan(const Drives& drives, const QString& fallback);
// The same walk, but a candidate counts only with exactly the expected size
// (a root file of another size gives the drive up without trying "Ordat");
// empty when nothing is found.
QString strictDriveScan(const Drives& drives, qint64 expectedSize);

} // namespace platform
