#include "SchemeHandlers.h"
#include "ScriptedDialogs.h"
#include "Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using platform::DesktopShell;
using platform::Dialogs;
using platform::ScriptedDialogs;
using CopyResult = platform::Shell::CopyResult;

Q_DECLARE_METATYPE(platform::Shell::CopyResult)

namespace {

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(42);
    for (auto& b : bytes)
        b = char(generator.bounded(256));
    return bytes;
}

// Receives the addresses of a scheme that QDesktopServices hands to it.
class UrlHandler : public QObject {
    Q_OBJECT
  public slots:
    void open(const QUrl& url) { opened << url; }

  public:
    QList<QUrl> opened;
};

// Environment variables set for as long as it lives, then put back as they were.
class EnvironmentGuard {
  public:
    void set(const char* name, const QByteArray& value) {
        save(name);
        qputenv(name, value);
    }
    void unset(const char* name) {
        save(name);
        qunsetenv(name);
    }
    ~EnvironmentGuard() {
        for (const auto& [name, value, set] : m_saved)
            set ? qputenv(name, value) : qunsetenv(name);
    }

  private:
    void save(const char* name) { m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)}); }
    struct Saved {
        const char* name;
        QByteArray value;
        bool set;
    };
    QList<Saved> m_saved;
};

// Until it ends, the desktop has no program that opens files or addresses:
// an empty PATH and no browser named in the environment.
class NoOpener {
  public:
    NoOpener() {
        for (const char* name : {"BROWSER", "DEFAULT_BROWSER"})
            m_environment.unset(name);
        m_environment.set("PATH", QFile::encodeName(m_empty.path()));
    }

  private:
    QTemporaryDir m_empty;
    EnvironmentGuard m_environment;
};

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

using Files = QMap<QString, QByteArray>;

// Until it ends, the XDG folders are the temporary "config", "sysconfig",
// "data" and "sysdata", holding the files ("folder/path" = content).
class XdgFolders {
  public:
    explicit XdgFolders(const Files& files, const QByteArray& desktop = {}) {
        const char* names[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"};
        const char* folders[] = {"config", "sysconfig", "data", "sysdata"};
        for (int i = 0; i < 4; ++i)
            m_environment.set(names[i], QFile::encodeName(m_root.filePath(folders[i])));
        m_environment.set("XDG_CURRENT_DESKTOP", desktop);
        for (auto it = files.begin(); it != files.end(); ++it)
            if (!QDir(m_root.path()).mkpath(QFileInfo(it.key()).path()) ||
                !writeFile(m_root.filePath(it.key()), it.value()))
                qFatal("cannot write %s", qPrintable(it.key()));
    }

  private:
    QTemporaryDir m_root;
    EnvironmentGuard m_environment;
};

} // namespace

class TestShell : public QObject {
    Q_OBJECT
  private slots:
    void urlFor_data();
    void urlFor();
    void copy_data();
    void copy();
    void open_data();
    void open();
    void callHandler_data();
    void callHandler();
};

void TestShell::urlFor_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QUrl>("expected");
    QTest::newRow("https") << "https://www.example.cz/a?b=c" << QUrl("https://www.example.cz/a?b=c");
    QTest::newRow("mailto") << "mailto:novak@example.cz" << QUrl("mailto:novak@example.cz");
    QTest::newRow("file url") << "file:///tmp/a%20b.txt" << QUrl::fromLocalFile("/tmp/a b.txt");
    QTest::newRow("www") << "www.example.cz" << QUrl("http://www.example.cz");
    QTest::newRow("blanks around") << "  http://example.cz  " << QUrl("http://example.cz");
    QTest::newRow("absolute path") << "/tmp/návod 1.pdf" << QUrl::fromLocalFile("/tmp/návod 1.pdf");
    QTest::newRow("path with colon") << "/tmp/a:b.txt" << QUrl::fromLocalFile("/tmp/a:b.txt");
    QTest::newRow("relative path with colon")
        << "a:b.txt" << QUrl::fromLocalFile(QDir::current().filePath("a:b.txt"));
    QTest::newRow("empty") << "  " << QUrl();
}

void TestShell::urlFor() {
    QFETCH(QString, text);
    QFETCH(QUrl, expected);
    QCOMPARE(DesktopShell::urlFor(text), expected);
}

void TestShell::copy_data() {
    QTest::addColumn<QByteArray>("source");    // null: no source file
    QTest::addColumn<QByteArray>("oldTarget"); // null: no target file
    QTest::addColumn<bool>("targetFolder");    // whether the target's folder exists
    QTest::addColumn<bool>("replace");         // the answer to the replace question
    QTest::addColumn<bool>("cancel");          // cancel the progress window
    QTest::addColumn<CopyResult>("expected");

    const QByteArray big = randomBytes(3 * 1024 * 1024 + 123);
    const QByteArray old("old content");
    QTest::newRow("new target, several chunks")
        << big << QByteArray() << true << false << false << CopyResult::Copied;
    QTest::newRow("empty source") << QByteArray("") << QByteArray() << true << false << false
                                  << CopyResult::Copied;
    QTest::newRow("replace, yes") << big << old << true << true << false << CopyResult::Copied;
    QTest::newRow("replace, no") << big << old << true << false << false << CopyResult::Declined;
    QTest::newRow("missing source") << QByteArray() << QByteArray() << true << true << false
                                    << CopyResult::Failed;
    QTest::newRow("missing source, target kept")
        << QByteArray() << old << true << true << false << CopyResult::Failed;
    QTest::newRow("missing target folder")
        << big << QByteArray() << false << true << false << CopyResult::Failed;
    QTest::newRow("cancelled, new target")
        << big << QByteArray() << true << true << true << CopyResult::Cancelled;
    QTest::newRow("cancelled, target kept") << big << old << true << true << true << CopyResult::Cancelled;
}

void TestShell::copy() {
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, oldTarget);
    QFETCH(bool, targetFolder);
    QFETCH(bool, replace);
    QFETCH(bool, cancel);
    QFETCH(CopyResult, expected);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("from"));
    if (targetFolder) QVERIFY(QDir(dir.path()).mkdir("to"));
    const QString sourcePath = dir.filePath("from/ordat.mdb");
    const QString targetPath = dir.filePath("to/ordat.mdb");
    if (!source.isNull()) {
        QFile file(sourcePath);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(source) == source.size() && file.flush());
        // An old time, so that a copy that does not keep it shows.
        QVERIFY(file.setFileTime(QDateTime(QDate(2004, 5, 1), QTime(12, 30, 15)),
                                 QFileDevice::FileModificationTime));
    }
    if (!oldTarget.isNull()) QVERIFY(writeFile(targetPath, oldTarget));

    ScriptedDialogs dialogs;
    dialogs.answerMessage(replace ? Dialogs::Answer::Yes : Dialogs::Answer::No);
    DesktopShell shell(dialogs);
    QWidget owner;
    QString progressTitle;
    if (cancel) {
        // Runs at the first turn of the event loop inside the copy, after the first chunk.
        QTimer::singleShot(0, &owner, [&] {
            if (auto* progress = owner.findChild<QProgressDialog*>()) {
                progressTitle = progress->windowTitle();
                progress->cancel();
            }
        });
    }
    QString error = "stale";
    const CopyResult result = shell.copyFile(&owner, sourcePath, targetPath, &error);

    QCOMPARE(result, expected);
    QCOMPARE(error.isEmpty(), result != CopyResult::Failed);
    if (cancel) QCOMPARE(progressTitle, "Kopírování");

    // The replace question comes only when there is a source to copy over the target.
    const bool asked = !oldTarget.isNull() && !source.isNull();
    QCOMPARE(dialogs.shown().size(), asked ? 1 : 0);
    if (asked) {
        const auto& question = dialogs.shown().first();
        QCOMPARE(question.caption, "Potvrzení nahrazení souboru");
        QCOMPARE(question.buttons, Dialogs::Buttons::YesNo);
        QVERIFY2(question.text.contains(QDir::toNativeSeparators(targetPath)), qPrintable(question.text));
    }

    // Only the target is left in its folder, with the new or the old content.
    const QByteArray left = result == CopyResult::Copied ? source : oldTarget;
    QCOMPARE(QDir(dir.filePath("to")).entryList(QDir::Files | QDir::Hidden),
             left.isNull() ? QStringList{} : QStringList{"ordat.mdb"});
    QFile target(targetPath);
    QVERIFY(left.isNull() || (target.open(QIODevice::ReadOnly) && target.readAll() == left));
    if (result == CopyResult::Copied)
        QCOMPARE(QFileInfo(targetPath).lastModified(), QFileInfo(sourcePath).lastModified());
}

void TestShell::open_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("handled");  // a program takes the address's scheme
    QTest::addColumn<QString>("named"); // what the warning names; empty: no warning
    QTest::newRow("web page") << "https://www.example.cz/dotazy" << false << "https://www.example.cz/dotazy";
    QTest::newRow("mail") << "mailto:info@example.cz" << false << "mailto:info@example.cz";
    QTest::newRow("help page at an anchor")
        << "file:///opt/ordana/DATA/napoveda.html#context-7" << false << "/opt/ordana/DATA/napoveda.html";
    QTest::newRow("web page opened") << "https://www.example.cz/dotazy" << true << "";
}

// With nothing on the desktop to open an address, the shell says so, naming
// it, in a warning owned by the window the user works in; an address that a
// program takes opens without a word.
void TestShell::open() {
    QFETCH(QString, text);
    QFETCH(bool, handled);
    QFETCH(QString, named);
    NoOpener noOpener;
    UrlHandler handler;
    if (handled) QDesktopServices::setUrlHandler("https", &handler, "open");
    const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("https"); });
    QWidget window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    ScriptedDialogs dialogs;
    DesktopShell shell(dialogs);

    QCOMPARE(shell.open(text), handled);
    QCOMPARE(handler.opened, handled ? QList<QUrl>{QUrl(text)} : QList<QUrl>{});
    if (handled) {
        QCOMPARE(dialogs.shown().size(), 0);
        return;
    }
    QCOMPARE(dialogs.shown().size(), 1);
    const auto& shown = dialogs.shown().first();
    QCOMPARE(shown.caption, Dialogs::kWarning);
    QCOMPARE(shown.owner, &window);
    QCOMPARE(shown.text,
             QString("„" + named + "“ nelze otevřít: v systému není program, který by jej otevřel."));
}

void TestShell::callHandler_data() {
    QTest::addColumn<Files>("files");
    QTest::addColumn<QByteArray>("desktop"); // XDG_CURRENT_DESKTOP
    QTest::addColumn<bool>("handled");
    const QByteArray program("[Desktop Entry]\nExec=phone %u\n");
    const QByteArray defaults("[Default Applications]\nx-scheme-handler/tel=phone.desktop;\n");
    const QByteArray removed("[Removed Associations]\nx-scheme-handler/tel=phone.desktop;\n");
    const QByteArray cached("[MIME Cache]\nx-scheme-handler/tel=phone.desktop;\n");
    const QString installed = "sysdata/applications/phone.desktop",
                  cache = "sysdata/applications/mimeinfo.cache";
    // clang-format off
    QTest::newRow("nothing") << Files{} << QByteArray() << false;
    QTest::newRow("user's default") << Files{{"config/mimeapps.list", defaults}, {installed, program}} << QByteArray() << true;
    QTest::newRow("default not installed") << Files{{"config/mimeapps.list", defaults}} << QByteArray() << false;
    QTest::newRow("added by the system")
        << Files{{"sysconfig/mimeapps.list", "[Added Associations]\nx-scheme-handler/tel=phone.desktop\n"}, {installed, program}}
        << QByteArray() << true;
    QTest::newRow("cache") << Files{{cache, cached}, {installed, program}} << QByteArray() << true;
    QTest::newRow("cache, removed by the user")
        << Files{{"config/mimeapps.list", removed}, {cache, cached}, {installed, program}} << QByteArray() << false;
    QTest::newRow("user's default, removed below")
        << Files{{"config/mimeapps.list", defaults}, {"sysdata/applications/mimeapps.list", removed}, {installed, program}}
        << QByteArray() << true;
    QTest::newRow("cache, program hidden by the user")
        << Files{{cache, cached}, {installed, program}, {"data/applications/phone.desktop", "[Desktop Entry]\nHidden=true\n"}}
        << QByteArray() << false;
    QTest::newRow("desktop's own default")
        << Files{{"config/xfce-mimeapps.list", defaults}, {installed, program}} << QByteArray("X-Generic:XFCE") << true;
    QTest::newRow("another desktop's default")
        << Files{{"config/xfce-mimeapps.list", defaults}, {installed, program}} << QByteArray("GNOME") << false;
    QTest::newRow("program in a subfolder")
        << Files{{"config/mimeapps.list", "[Default Applications]\nx-scheme-handler/tel=kde-phone.desktop\n"},
                 {"sysdata/applications/kde/phone.desktop", program}}
        << QByteArray() << true;
    // clang-format on
}

// A number goes to the desktop only when its XDG folders name a program for
// calling; else a warning says so and nothing is started.
void TestShell::callHandler() {
    QFETCH(Files, files);
    QFETCH(QByteArray, desktop);
    QFETCH(bool, handled);
    const XdgFolders xdg(files, desktop);
    QCOMPARE(platform::desktopHandlesScheme("tel"), handled);
    UrlHandler handler;
    QDesktopServices::setUrlHandler("tel", &handler, "open");
    const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("tel"); });
    ScriptedDialogs dialogs;
    QCOMPARE(DesktopShell(dialogs).open("tel:+420602123456"), handled);
    QCOMPARE(handler.opened, handled ? QList<QUrl>{QUrl("tel:+420602123456")} : QList<QUrl>{});
    QCOMPARE(dialogs.messageTexts(),
             handled ? QStringList{}
                     : QStringList{"Na číslo „+420602123456“ nelze zavolat: v systému není nastaven žádný "
                                   "program pro volání."});
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
