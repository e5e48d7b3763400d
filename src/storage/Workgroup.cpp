#include "Workgroup.h"

#include "Error.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QUuid>

namespace db {
namespace {

const QByteArray kMagic = "ORDAT-WORKGROUP 1";

QByteArray passwordHash(const QByteArray& salt, const QString& password) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(salt);
    h.addData(password.toUtf8());
    return h.result();
}

} // namespace

Workgroup Workgroup::load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Soubor informací o pracovní skupině „%1“ nelze otevřít.").arg(path));
    const QList<QByteArray> lines = f.readAll().split('\n');
    if (lines.isEmpty() || lines[0].trimmed() != kMagic)
        throw Error(QStringLiteral("Soubor „%1“ není platný soubor informací o pracovní skupině.").arg(path));
    Workgroup w;
    for (const QByteArray& raw : lines.mid(1)) {
        const QList<QByteArray> parts = raw.trimmed().split(' ');
        if (parts.size() == 2 && parts[0] == "id") {
            w.m_id = QString::fromLatin1(parts[1]);
        } else if (parts.size() == 4 && parts[0] == "user") {
            w.m_accounts.append({QString::fromUtf8(QByteArray::fromHex(parts[1])),
                                 QByteArray::fromHex(parts[2]), QByteArray::fromHex(parts[3])});
        }
    }
    if (w.m_id.isEmpty())
        throw Error(QStringLiteral("Soubor „%1“ není platný soubor informací o pracovní skupině.").arg(path));
    return w;
}

void Workgroup::create(const QString& path, const QList<std::pair<QString, QString>>& accounts,
                       const QString& id) {
    QByteArray out = kMagic + '\n';
    out += "id " + (id.isEmpty() ? QUuid::createUuid().toString(QUuid::Id128) : id).toLatin1() + '\n';
    for (const auto& [user, password] : accounts) {
        QByteArray salt(16, Qt::Uninitialized);
        for (auto& c : salt)
            c = char(QRandomGenerator::system()->bounded(256));
        out += "user " + user.toUtf8().toHex() + ' ' + salt.toHex() + ' ' +
               passwordHash(salt, password).toHex() + '\n';
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(out) != out.size() || !f.commit())
        throw Error(QStringLiteral("Soubor informací o pracovní skupině „%1“ nelze zapsat.").arg(path));
}

bool Workgroup::verify(const QString& user, const QString& password) const {
    for (const auto& a : m_accounts)
        if (a.user.compare(user, Qt::CaseInsensitive) == 0) return passwordHash(a.salt, password) == a.hash;
    return false;
}

} // namespace db
