#pragma once

// Stand-ins shared by the settings tests: a shell that records what it is
// asked, and an Application over in-memory services and a temporary program folder.

#include "Application.h"
#include "Drives.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Shell.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace settings_test {

class FakeShell : public platform::Shell {
  public:
    struct Copy {
        QWidget* owner = nullptr;
        QString source;
        QString target;
    };

    bool open(const QString& fileOrUrl) override {
        opened << fileOrUrl;
        return openResult;
    }
    CopyResult copyFile(QWidget* owner, const QString& source, const QString& target,
                        QString* errorText) override {
        copies << Copy{owner, source, target};
        if (errorText && copyResult == CopyResult::Failed) *errorText = QStringLiteral("disk full");
        return copyResult;
    }

    QStringList opened;
    QList<Copy> copies;
    bool openResult = true;
    CopyResult copyResult = CopyResult::Copied;
};

// The services of an Application, with the program in a fresh temporary folder
// and the user's data folder ("home/ordana/") beside it.
struct Fixture {
    Fixture() : drives(QList<platform::Drive>{}) {
        QDir(dir.path()).mkpath(QStringLiteral("DATA"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("home"))));
        app = std::make_unique<Application>(store, drives, dialogs, shell, dir.path());
    }

    QTemporaryDir dir;
    platform::MemorySettingsStore store;
    platform::FixedDrives drives;
    platform::ScriptedDialogs dialogs;
    FakeShell shell;
    std::unique_ptr<Application> app;
};

} // namespace settings_test
