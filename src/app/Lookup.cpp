#include "Lookup.h"

#include "Application.h"
#include "Connections.h"
#include "Drives.h"
#include "Error.h"
#include "NumberLookup.h"
#include "PrivateFolder.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "Startup.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace lookup_command {

namespace {

constexpr int kFound = 0;
constexpr int kNotFound = 1;
constexpr int kFailed = 2;

const QString kNotANumber = u"„%1“ není telefonní číslo."_s;
const QString kNotPrepared =
    u"Databázi „%1“ je před prvním použitím třeba připravit: spusťte program bez parametrů."_s;
const QString kNoNumber = u"Chybí číslo: ordana --lookup ČÍSLO [--json]"_s;

void writeLine(FILE* stream, const QString& line) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

void error(const QString& message) {
    writeLine(stderr, message);
}

} // namespace

bool isRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (qstrcmp(argv[i], "--lookup") == 0 || qstrncmp(argv[i], "--lookup=", 9) == 0) return true;
    return false;
}

int run(int argc, char** argv) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(kMainCaption);
    QCoreApplication::setOrganizationName(maker::kCompany);

    QCommandLineParser parser;
    const QCommandLineOption lookup(u"lookup"_s, u"Najde majitele čísla."_s, u"číslo"_s);
    const QCommandLineOption json(u"json"_s, u"Vypíše každou shodu jako objekt JSON."_s);
    parser.addOptions({lookup, json});
    if (!parser.parse(QCoreApplication::arguments())) {
        error(parser.errorText());
        return kFailed;
    }
    const QString passed = parser.value(lookup);
    if (passed.trimmed().isEmpty()) {
        error(kNoNumber);
        return kFailed;
    }
    const std::optional<number_lookup::Number> number = desktop_links::readNumber(passed);
    if (!number) {
        error(kNotANumber.arg(passed));
        return kFailed;
    }

    auto settings = platform::makeSystemSettingsStore();
    auto drives = platform::makeSystemDrives();
    platform::ConsoleDialogs dialogs(error);
    platform::DesktopShell shell(dialogs);
    Application app(*settings, *drives, dialogs, shell, QCoreApplication::applicationDirPath());

    // Where the directory is, as the window finds it; a message goes to the
    // error output. The one question, whether to prepare the disc's directory
    // now, is answered No: that takes minutes and is the window's to do.
    const StartupOutcome outcome = locateDirectory(app);
    if (outcome == StartupOutcome::Convert ||
        (outcome == StartupOutcome::Cancelled && dialogs.questionsAnswered() > 0))
        error(kNotPrepared.arg(app.directoryDbPath));
    if (outcome != StartupOutcome::Run) return kFailed;

    QList<number_lookup::Match> matches;
    try {
        Connections connections(app);
        // The working files go to the user's private folder, named by this
        // process, and are removed with the connections.
        if (!connections.useScratchFolder(platform::privateFolder(), {})) {
            error(connections.failureReason());
            return kFailed;
        }
        if (!number->foreign)
            matches =
                number_lookup::findInDirectory(app.directoryDbPath, connections.paths(), number->digits);
        if (!connections.openPersonalForReading()) {
            error(connections.failureReason());
            return kFailed;
        }
        if (connections.personal())
            matches += number_lookup::findInPersonal(*connections.personal(), *number);
    } catch (const db::Error& e) {
        error(e.message());
        return kFailed;
    }

    for (const number_lookup::Match& m : matches)
        writeLine(stdout, parser.isSet(json) ? number_lookup::jsonLine(m) : number_lookup::tabLine(m));
    return matches.isEmpty() ? kNotFound : kFound;
}

} // namespace lookup_command
