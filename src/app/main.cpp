// The program entry: one running copy per desktop, the directory database
// located and checked, then the windows and the message loop; or, asked for
// on the command line, a number looked up without any window.

#include "Application.h"
#include "Drives.h"
#include "Lookup.h"
#include "MainWindow.h"
#include "ProgramFont.h"
#include "QtTranslations.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "ShownReport.h"
#include "SingleInstance.h"
#include "Startup.h"
#include "StartupConversion.h"
#include "TerminationSignals.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Who is calling: answered without a window.
    if (lookup_command::isRequested(argc, argv)) return lookup_command::run(argc, argv);
    platform::FontConfigurationReader fontConfiguration;
    QApplication qapp(argc, argv);
    fontConfiguration.wait();
    QApplication::setApplicationName(kMainCaption);
    QApplication::setOrganizationName(maker::kCompany);
    QApplication::setFont(platform::programFont());
    // Without the system's Qt translations the common dialogs stay in English.
    platform::installCzechQtTexts(qapp);
    platform::useCzechLocale();

    platform::SingleInstance instance;
    if (instance.raiseRunningCopy(kMainCaption)) return 0;
    // A second start finds this copy from now on, also while the directory is
    // looked for or prepared (which may take minutes): it brings forward the
    // window shown then, and ends.
    instance.listen([] { return kMainCaption; });
    const auto raiseEarly = QObject::connect(&instance, &platform::SingleInstance::raiseRequested, [] {
        QWidget* shown = QApplication::activeModalWidget();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!shown && w->isVisible()) shown = w;
        if (shown) platform::SingleInstance::bringToFront(*shown);
    });

    auto settings = platform::makeSystemSettingsStore();
    auto drives = platform::makeSystemDrives();
    platform::QtDialogs dialogs;
    platform::DesktopShell shell(dialogs);
    Application app(*settings, *drives, dialogs, shell, QCoreApplication::applicationDirPath());

    StartupOutcome outcome = locateDirectory(app);
    // The disc's own format is converted once, before any other window exists.
    if (outcome == StartupOutcome::Convert) outcome = prepareDirectory(app);
    if (outcome != StartupOutcome::Run) return 1;

    MainWindow window(app);
    QObject::disconnect(raiseEarly);
    instance.listen([&window] { return window.windowTitle(); });
    QObject::connect(&instance, &platform::SingleInstance::raiseRequested, &window,
                     [&window] { platform::SingleInstance::bringToFront(window); });
    // Ending from outside closes in order: settings stored, working files
    // removed when the window goes at the end of main.
    platform::TerminationSignals endSignals;
    QObject::connect(&endSignals, &platform::TerminationSignals::received, &window, [&window] {
        window.endWithoutQuestion();
        QCoreApplication::quit();
    });
    window.show();
    platform::reportFirstShown(window);
    return QApplication::exec();
}
