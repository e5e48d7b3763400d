#pragma once

#include "Limits.h"

#include "Database.h"

#include <QString>

namespace platform {
class SettingsStore;
class Drives;
class Dialogs;
class Shell;
} // namespace platform

// The process-wide state of the program and the services it works through.
// Created once by the program entry and handed to every window and page;
// nothing reads globals.
class Application {
  public:
    Application(platform::SettingsStore& settings, platform::Drives& drives, platform::Dialogs& dialogs,
                platform::Shell& shell, const QString& programFolder);

    platform::SettingsStore& settings() { return m_settings; }
    platform::Drives& drives() { return m_drives; }
    platform::Dialogs& dialogs() { return m_dialogs; }
    platform::Shell& shell() { return m_shell; }
    db::Engine& engine() { return m_engine; }
    Limits& limits() { return m_limits; }

    // The folder of the program's executable, ending in "/".
    const QString& programFolder() const { return m_programFolder; }
    // The folder of the files shipped with the program (the reference lists,
    // the help), ending in "/"; see findDataFolder. It may be read-only.
    const QString& dataFolder() const { return m_dataFolder; }
    // The shipped files of a program whose executable lies in programFolder:
    // its DATA folder when there is one (the build tree, or a program folder
    // copied as a whole), else the installed layout's DATA folder (under
    // share/ordana, reached from the executable's bin folder), else DATA beside
    // the program, as it would be made. Ends in "/".
    static QString findDataFolder(const QString& programFolder);
    // The user's own folder for the personal database, ending in "/": "ordana"
    // in the user's data folder ($XDG_DATA_HOME, else ~/.local/share). Empty
    // when the system names no data folder.
    const QString& personalFolder() const { return m_personalFolder; }

    // Where the directory database is: the file the program works with, the one
    // on the disc as far as known, and whether the first lies on a hard disk.
    QString directoryDbPath;
    QString sourceDbPath;
    bool directoryDbOnDisk = false;

    // The page last entered: "osoby", "firmy", "vlastni" or "informace"; empty at first.
    QString currentPageName;
    // Rows of the personal table, as text, counted when the personal page is entered.
    QString personalRecordCount;
    // Set by the pages' STOP buttons and by the closing question; read and
    // cleared by a running page fill.
    bool stopRequested = false;

  private:
    platform::SettingsStore& m_settings;
    platform::Drives& m_drives;
    platform::Dialogs& m_dialogs;
    platform::Shell& m_shell;
    QString m_programFolder;
    QString m_dataFolder;
    QString m_personalFolder;
    db::Engine m_engine;
    Limits m_limits;
};
