#pragma once

#include <QList>
#include <QString>
#include <utility>

namespace db {

// A workgroup file: the accounts that may open secured databases. The file
// holds an identity and, per account, a salted hash of the password; user
// names ignore letter case, passwords do not.
class Workgroup {
  public:
    // Reads a workgroup file; throws db::Error when it is missing or damaged.
    static Workgroup load(const QString& path);
    // Writes a new workgroup file with the given accounts (user, password). Files
    // written with the same id are one workgroup: each opens the databases
    // secured by the others. Without an id a new one is made.
    static void create(const QString& path, const QList<std::pair<QString, QString>>& accounts,
                       const QString& id = {});

    const QString& id() const { return m_id; }
    bool verify(const QString& user, const QString& password) const;

  private:
    struct Account {
        QString user;
        QByteArray salt;
        QByteArray hash;
    };
    QString m_id;
    QList<Account> m_accounts;
};

} // namespace db
