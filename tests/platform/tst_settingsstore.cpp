#include "SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

using platform::Access;
using platform::Root;
using platform::SettingsStore;

namespace {
enum class Kind { Memory, Ini, IniReopened };
const QString kBase = QStringLiteral("\\Software\\Kestrava s.r.o.\\Ordana 2004");
// One write through a store; true when the store reports success.
using Write = std::function<bool(SettingsStore&)>;
} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void values_data() { addStoreRows(); }
    void values();
    void keys_data() { addStoreRows(); }
    void keys();
    void refusedWrites_data();
    void refusedWrites();
    void systemStore();
    void diskFull_data();
    void diskFull();

  private:
    static void addStoreRows() {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("memory") << Kind::Memory;
        QTest::newRow("ini") << Kind::Ini;
        QTest::newRow("ini, read back by a new store") << Kind::IniReopened;
    }
    std::unique_ptr<SettingsStore> make(Kind kind) {
        if (kind == Kind::Memory) return std::make_unique<platform::MemorySettingsStore>();
        return platform::makeIniSettingsStore(m_dir->filePath("user/o.ini"),
                                              m_dir->filePath("machine/o.ini"));
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettingsStore::values() {
    QFETCH(Kind, kind);
    // Names QSettings would take apart or mistake for our own escapes.
    const QStringList names = {"Path", "MAX_V_O", "0", "12",    "a/b",     "c\\d",
                               "%25",  "%order",  "",  " x.y ", "General", QStringLiteral("Žluťoučký kůň")};
    const auto text = [](const QString& name) { return QStringLiteral("\"%1\", a=b; @x\n").arg(name); };
    auto store = make(kind);
    {
        auto key = store->open(Root::CurrentUser, kBase + "\\Test", Access::All, true);
        QVERIFY(key);
        for (int i = 0; i < names.size(); ++i)
            QVERIFY(i % 2 ? key->writeInt(names[i], -1000 * i) : key->writeString(names[i], text(names[i])));
        // A rewritten value keeps its place and the case of its name; the type follows the last write.
        QVERIFY(key->writeInt("path", 7));
        QVERIFY(key->writeString("max_v_o", "12"));
        QVERIFY(key->writeString("Gone", "x"));
        QVERIFY(key->deleteValue("GONE"));
        QVERIFY(!key->deleteValue("Gone"));
    }
    if (kind == Kind::IniReopened) store = make(kind);

    auto key = store->open(Root::CurrentUser, kBase + "\\Test", Access::Read);
    QVERIFY(key);
    QCOMPARE(key->valueNames(), names);
    QCOMPARE(key->readInt("Path"), 7);
    QCOMPARE(key->readString("Path"), std::nullopt);
    QCOMPARE(key->readString("MAX_V_O"), "12");
    QCOMPARE(key->readInt("MAX_V_O"), std::nullopt);
    for (int i = 2; i < names.size(); ++i) {
        QCOMPARE(key->readString(names[i]), i % 2 ? std::nullopt : std::optional(text(names[i])));
        QCOMPARE(key->readInt(names[i]), i % 2 ? std::optional(-1000 * i) : std::nullopt);
    }
    QCOMPARE(key->readString("missing"), std::nullopt);
}

void TestSettingsStore::keys() {
    QFETCH(Kind, kind);
    auto store = make(kind);
    QVERIFY(!store->open(Root::CurrentUser, kBase + "\\Pozice", Access::All));
    // A trailing backslash, as kProgramKey has, names the same key.
    for (const char* sub : {"Pozice\\Okno 1.2\\", "Pozice\\a/b", "Pozice\\Barvy", "Source"})
        QVERIFY(store->open(Root::CurrentUser, platform::kProgramKey + sub, Access::Write, true));
    if (kind == Kind::IniReopened) store = make(kind);

    // Empty keys exist with their parents; names match in any case.
    auto pozice =
        store->open(Root::CurrentUser, "\\SOFTWARE\\kestrava S.R.O.\\ordana 2004\\pozice", Access::Read);
    QVERIFY(pozice);
    QCOMPARE(pozice->subkeyNames(), QStringList({"a/b", "Barvy", "Okno 1.2"}));
    QVERIFY(pozice->valueNames().isEmpty());
    QVERIFY(!store->open(Root::LocalMachine, kBase, Access::Read)); // the roots are separate trees

    // Deleting a key takes its subkeys and values, its parent stays, and a
    // handle still open on it takes no more values.
    auto open = store->open(Root::CurrentUser, kBase + "\\Pozice\\Barvy", Access::All);
    QVERIFY(open && open->writeInt("Pozadi", 1));
    QVERIFY(store->deleteKey(Root::CurrentUser, kBase + "\\POZICE"));
    QVERIFY(!store->deleteKey(Root::CurrentUser, kBase + "\\Pozice"));
    QVERIFY(!store->open(Root::CurrentUser, kBase + "\\Pozice\\Barvy", Access::Read));
    QVERIFY(!open->writeInt("Pozadi", 2));
    QCOMPARE(open->readInt("Pozadi"), std::nullopt);
    QCOMPARE(store->open(Root::CurrentUser, kBase, Access::Read)->subkeyNames(), QStringList{"Source"});
    QVERIFY(!store->deleteKey(Root::CurrentUser, "\\"));
}

void TestSettingsStore::refusedWrites_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("memory, read-only root") << "memory";
    QTest::newRow("ini, file that cannot be created") << "blocked";
    QTest::newRow("ini, read-only file and folder") << "read-only";
}

// The local-machine root refuses writing but not reading; the user's root is not affected.
void TestSettingsStore::refusedWrites() {
    QFETCH(QString, how);
    const QString key = platform::kProgramKey + "Source";
    std::unique_ptr<SettingsStore> store;
    if (how == "memory") {
        auto memory = std::make_unique<platform::MemorySettingsStore>();
        QVERIFY(memory->open(Root::LocalMachine, key, Access::Write, true)->writeString("Path", "/cd"));
        memory->setReadOnly(Root::LocalMachine, true);
        store = std::move(memory);
    } else if (how == "blocked") {
        // A plain file where the folder would have to be: not even root can create it.
        QFile blocker(m_dir->filePath("machine"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        if (::geteuid() == 0) QSKIP("root writes read-only files");
        QVERIFY(
            make(Kind::Ini)->open(Root::LocalMachine, key, Access::Write, true)->writeString("Path", "/cd"));
        QVERIFY(QFile::setPermissions(m_dir->filePath("machine/o.ini"), QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(m_dir->filePath("machine"), QFile::ReadOwner | QFile::ExeOwner));
    }
    if (!store) store = make(Kind::Ini);

    QVERIFY(!store->open(Root::LocalMachine, key, Access::Write));
    QVERIFY(!store->open(Root::LocalMachine, key + "\\New", Access::Read, true));
    QVERIFY(!store->deleteKey(Root::LocalMachine, key));
    auto read = store->open(Root::LocalMachine, key, Access::Read);
    QCOMPARE(bool(read), how != "blocked");
    if (read) {
        QVERIFY(!read->writeString("Path", "/x"));
        QVERIFY(!read->deleteValue("Path"));
        QCOMPARE(read->readString("Path"), "/cd");
    }
    // A key opened for reading refuses writes on a writable root too.
    QVERIFY(store->open(Root::CurrentUser, key, Access::Write, true));
    QVERIFY(!store->open(Root::CurrentUser, key, Access::Read)->writeString("Path", "/x"));
    QFile::setPermissions(m_dir->filePath("machine"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The system store keeps the roots in the two QSettings scopes and never reads one through the other.
void TestSettingsStore::systemStore() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir->filePath("xdg-user"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, m_dir->filePath("xdg-system"));
    auto store = platform::makeSystemSettingsStore();
    QVERIFY(store->open(Root::LocalMachine, kBase, Access::Write, true)->writeString("Path", "/opt"));
    QVERIFY(QFile::exists(m_dir->filePath("xdg-system/Kestrava s.r.o./Ordana 2004.ini")));
    QVERIFY(!store->open(Root::CurrentUser, kBase, Access::Read));
    QVERIFY(store->open(Root::CurrentUser, kBase, Access::Write, true)->writeInt("Path", 1));
    QVERIFY(QFile::exists(m_dir->filePath("xdg-user/Kestrava s.r.o./Ordana 2004.ini")));
}

void TestSettingsStore::diskFull_data() {
    QTest::addColumn<Write>("write");
    const auto key = [](SettingsStore& s) {
        return s.open(Root::CurrentUser, kBase + "\\Test", Access::All);
    };
    QTest::newRow("string") << Write([=](SettingsStore& s) { return key(s)->writeString("Path", "new"); });
    QTest::newRow("integer") << Write([=](SettingsStore& s) { return key(s)->writeInt("W", 5); });
    QTest::newRow("value deleted") << Write([=](SettingsStore& s) { return key(s)->deleteValue("Path"); });
    QTest::newRow("key created") << Write([](SettingsStore& s) {
        return s.open(Root::CurrentUser, kBase + "\\New", Access::All, true) != nullptr;
    });
    QTest::newRow("key deleted") << Write(
        [](SettingsStore& s) { return s.deleteKey(Root::CurrentUser, kBase + "\\Test"); });
}

// A write that does not reach the file is reported, and what is read
// afterwards is what the file holds.
void TestSettingsStore::diskFull() {
    QFETCH(Write, write);
    auto store = make(Kind::Ini);
    {
        auto key = store->open(Root::CurrentUser, kBase + "\\Test", Access::All, true);
        QVERIFY(key);
        QVERIFY(key->writeString("Path", QString(2000, u'x')));
    }
    const QByteArray before = [&] {
        QFile f(m_dir->filePath("user/o.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    QVERIFY(!before.isEmpty());

    // Files can no longer grow past a few bytes, as on a full disk.
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = old;
    tight.rlim_cur = 16;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = write(*store);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QFile f(m_dir->filePath("user/o.ini"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    const auto fresh = make(Kind::Ini);
    for (auto* s : {store.get(), fresh.get()}) {
        auto key = s->open(Root::CurrentUser, kBase + "\\Test", Access::Read);
        QVERIFY(key);
        QCOMPARE(key->readString("Path"), QString(2000, u'x'));
        QCOMPARE(key->readInt("W"), std::nullopt);
        QVERIFY(!s->open(Root::CurrentUser, kBase + "\\New", Access::Read));
    }
    // Once there is room again, writing works.
    QVERIFY(write(*store));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
