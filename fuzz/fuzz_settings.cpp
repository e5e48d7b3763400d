// Any bytes as a hand-edited settings file of both roots: every key is
// listed, opened and read, then a value is written and must read back as
// written, whatever else the file holds.

#include "FuzzSupport.h"

#include "SettingsStore.h"

#include <QDateTime>

namespace {

fuzz::Session* session = nullptr; // for the life of the process

using platform::Access;
using platform::Root;

// Keys visited per input: a file can nest groups deeply.
constexpr int kMaxKeys = 200;
constexpr int kMaxDepth = 8;

void visit(platform::SettingsStore& store, Root root, const QString& path, int depth, int& keys) {
    if (++keys > kMaxKeys) return;
    const auto key = store.open(root, path, Access::Read);
    if (!key) return;
    for (const QString& name : key->valueNames()) {
        (void)key->readString(name);
        (void)key->readInt(name);
    }
    if (depth >= kMaxDepth) return;
    for (const QString& sub : key->subkeyNames())
        visit(store, root, path + u'\\' + sub, depth + 1, keys);
}

// The program's own values: a write that reports success reads back as written.
void writeAndRead(platform::SettingsStore& store, const QString& path) {
    const auto key = store.open(Root::CurrentUser, path, Access::All, true);
    if (!key) return;
    const QString text = QStringLiteral("C:\\Ordana; \"a, b\" = %1 [x]");
    if (key->writeString(QStringLiteral("Path"), text)) {
        fuzz::check(key->readString(QStringLiteral("Path")) == text, "written string reads back otherwise",
                    key->readString(QStringLiteral("Path")).value_or(QStringLiteral("<none>")));
        fuzz::check(!key->readInt(QStringLiteral("Path")), "written string reads as a number");
    }
    if (key->writeInt(QStringLiteral("W"), -1234)) {
        fuzz::check(key->readInt(QStringLiteral("W")) == -1234, "written number reads back otherwise");
        fuzz::check(!key->readString(QStringLiteral("W")), "written number reads as a string");
    }
    const QStringList names = key->valueNames();
    fuzz::check(names.contains(QStringLiteral("W"), Qt::CaseInsensitive), "written value not listed",
                names.join(u'|'));
}

void setTime(const QString& path, const QDateTime& time) {
    QFile file(path);
    fuzz::check(file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime),
                "cannot set the time of", path);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    session = new fuzz::Session(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // QSettings keeps a file it has read and reads it again only when its size
    // or time differ: every input gets a time of its own.
    static qint64 serial = 0;
    const QDateTime time = QDateTime::fromSecsSinceEpoch(946684800 + ++serial, Qt::UTC);
    const QString user = session->path(QStringLiteral("user.ini"));
    const QString machine = session->path(QStringLiteral("machine.ini"));
    const QByteArray bytes = fuzz::bytesOf(data, size);
    for (const QString& path : {user, machine}) {
        fuzz::writeFile(path, bytes);
        setTime(path, time);
    }
    const QString position = platform::kProgramKey + QStringLiteral("Pozice");
    {
        const auto store = platform::makeIniSettingsStore(user, machine);
        int keys = 0;
        visit(*store, Root::CurrentUser, QString(), 0, keys);
        keys = 0;
        visit(*store, Root::LocalMachine, QString(), 0, keys);
        writeAndRead(*store, position);
        writeAndRead(*store, platform::kImportSchemaKey);
    }
    // What was written is in the file: a store reading it anew finds it.
    const auto kept =
        platform::makeIniSettingsStore(user, machine)->open(Root::CurrentUser, position, Access::Read);
    if (!kept) return 0; // the key could not be made
    const std::optional<QString> before = kept->readString(QStringLiteral("Path"));
    setTime(user, time.addMSecs(500));
    const auto again =
        platform::makeIniSettingsStore(user, machine)->open(Root::CurrentUser, position, Access::Read);
    fuzz::check(again != nullptr, "written key gone from the file");
    fuzz::check(again->readString(QStringLiteral("Path")) == before, "written string not in the file");
    fuzz::check(!again->readInt(QStringLiteral("W")) || again->readInt(QStringLiteral("W")) == -1234,
                "written number changed in the file");
    return 0;
}
