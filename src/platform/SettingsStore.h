#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace platform {

// The two roots of the settings tree, as the registry has them.
enum class Root { CurrentUser, LocalMachine };
enum class Access { Read, Write, All };

// The key path under which the program keeps its settings; subkeys are
// appended to it ("…\\Pozice").
inline const QString kProgramKey = QStringLiteral("\\Software\\Kestrava s.r.o.\\Ordana 2004\\");
inline const QString kImportSchemaKey =
    QStringLiteral("\\Software\\Kestrava s.r.o.\\Ordana 2004 Tasvo\\Schema");

// One opened key: string and integer values, its value names and subkeys.
class SettingsKey {
  public:
    virtual ~SettingsKey() = default;
    // Empty when the value is missing or of the other type.
    virtual std::optional<QString> readString(const QString& name) const = 0;
    virtual std::optional<int> readInt(const QString& name) const = 0;
    // False when the key was opened for reading only or the store cannot be written.
    virtual bool writeString(const QString& name, const QString& value) = 0;
    virtual bool writeInt(const QString& name, int value) = 0;
    virtual bool deleteValue(const QString& name) = 0;
    virtual QStringList valueNames() const = 0; // in the order they were written
    virtual QStringList subkeyNames() const = 0;
};

// A tree of keys with string and integer values under two roots, keyed by
// backslash-separated paths such as kProgramKey + "Pozice".
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // Opens a key; nullptr when it does not exist (and create is false) or when
    // the access asked for is refused (writing to the local-machine root as an
    // ordinary user).
    virtual std::unique_ptr<SettingsKey> open(Root root, const QString& path, Access access,
                                              bool create = false) = 0;
    // Deletes a key with its values and subkeys; false when it is missing or refused.
    virtual bool deleteKey(Root root, const QString& path) = 0;
};

// The program's store: QSettings INI files under the XDG configuration folders
// on Linux (the local-machine root read-only unless the files are writable),
// the registry on Windows.
std::unique_ptr<SettingsStore> makeSystemSettingsStore();
// The same store on two given INI files, one per root. A root is writable while
// its file (or, before it exists, the nearest existing folder above it) is.
std::unique_ptr<SettingsStore> makeIniSettingsStore(const QString& currentUserFile,
                                                    const QString& localMachineFile);

// A store in memory, for tests. A root can be made read-only.
class MemorySettingsStore : public SettingsStore {
  public:
    MemorySettingsStore();
    ~MemorySettingsStore() override;
    std::unique_ptr<SettingsKey> open(Root root, const QString& path, Access access,
                                      bool create = false) override;
    bool deleteKey(Root root, const QString& path) override;
    void setReadOnly(Root root, bool readOnly);

  private:
    struct Data;
    std::shared_ptr<Data> d;
};

} // namespace platform
