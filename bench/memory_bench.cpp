// The program's memory on a full-size directory: its main window started as
// the program starts it, then one search of every kind run through its
// controls, with the resident size (VmRSS) and its peak so far (VmHWM) after
// each. Message boxes are answered without a screen; everything else is the
// program's own.
//
//   memory_bench DATA_DIR
//
// DATA_DIR holds ordat.mdb and ordat.mdw; it is only read. The settings, the
// personal database and the working files go where the program puts them
// (run it with a fresh HOME, see README.md).

#include "Application.h"
#include "Drives.h"
#include "InformationPage.h"
#include "MainWindow.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "Startup.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QWindow>

#include <cstdio>

namespace {

// A value of /proc/self/status in kB, -1 when missing.
long statusKb(const QByteArray& name) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The rows a grid shows, -1 without a grid.
int gridRows(QWidget& window, const char* grid) {
    auto* view = grid ? window.findChild<QAbstractItemView*>(QString::fromLatin1(grid)) : nullptr;
    return view && view->model() ? view->model()->rowCount() : -1;
}

void report(QWidget& window, const char* step, qint64 ms, const char* grid = nullptr) {
    std::printf("%s\t%.1f\t%.1f\t%lld\t%d\n", step, statusKb("VmRSS") / 1024.0, statusKb("VmHWM") / 1024.0,
                static_cast<long long>(ms), gridRows(window, grid));
    std::fflush(stdout);
}

template <typename T> T* control(QWidget& window, const char* name) {
    auto* c = window.findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s", name);
    return c;
}

// Clicks a search button and lets events through until the page is idle
// again (the button enabled).
void search(QWidget& window, const char* button) {
    QPushButton* b = control<QPushButton>(window, button);
    b->click();
    QElapsedTimer t;
    t.start();
    while (!b->isEnabled() && t.elapsed() < 600'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    if (argc != 2) qFatal("usage: memory_bench DATA_DIR");
    QApplication::setApplicationName(kMainCaption);
    QApplication::setOrganizationName(QStringLiteral("Kestrava s.r.o."));

    auto settings = platform::makeSystemSettingsStore();
    // The directory is found as a copy on the hard disk, through "Disk".
    if (auto key = settings->open(platform::Root::CurrentUser, platform::kProgramKey + QStringLiteral("Disk"),
                                  platform::Access::All, /*create*/ true))
        key->writeString(QStringLiteral("Path"), QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    auto drives = platform::makeSystemDrives();
    platform::ScriptedDialogs dialogs;
    // The telephone searches ask whether to go on.
    dialogs.defaultAnswer = platform::Dialogs::Answer::Yes;
    platform::DesktopShell shell(dialogs);
    Application app(*settings, *drives, dialogs, shell, QCoreApplication::applicationDirPath());
    if (locateDirectory(app) != StartupOutcome::Run) qFatal("the directory was not found");

    QElapsedTimer clock;
    clock.start();
    std::printf("# step\tVmRSS_MB\tVmHWM_MB\tms\trows\n");
    MainWindow window(app);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    while (!window.isReady() && window.startedOk())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!window.startedOk()) qFatal("the program did not start");
    report(window, "start", clock.restart());

    // The searches of the three result pages, each on a page reset first.
    const struct {
        const char* step;
        int tab;
        const char* reset;
        const char* field;
        const char* value;
        const char* search;
        const char* grid;
    } searches[] = {
        {"persons_by_name", 0, "Button3", "prijmeni", "Novák", "Button1", "DBGridPro1"},
        {"persons_by_phone", 0, "Button3", "tel", "604245324", "Button1", "DBGridPro1"},
        {"firms_by_name", 1, "Button5", "firma", "Auto", "Button6", "DBGridPro2"},
        {"firms_by_phone", 1, "Button5", "tel_f", "604545019", "Button6", "DBGridPro2"},
        {"personal", 2, "BitBtn5", "prijmeni_v", "N", "BitBtn3", "DBGridPro4"},
    };
    auto* tabs = control<QTabWidget>(window, "PageControl1");
    for (const auto& s : searches) {
        tabs->setCurrentIndex(s.tab);
        control<QPushButton>(window, s.reset)->click();
        control<QLineEdit>(window, s.field)->setText(QString::fromUtf8(s.value));
        search(window, s.search);
        report(window, s.step, clock.restart(), s.grid);
    }

    tabs->setCurrentIndex(3);
    auto* information = control<InformationPage>(window, "informace");
    using List = InformationPage::List;
    for (List list :
         {List::FreephoneLines, List::PostalCodes, List::InternationalPrefixes, List::InternetAddresses})
        information->chooseList(list);
    QCoreApplication::processEvents();
    report(window, "information_lists", clock.restart(), "DBGridPro3");

    for (const QString& text : dialogs.messageTexts())
        std::fprintf(stderr, "message: %s\n", qUtf8Printable(text));
    return 0;
}
