#include "Application.h"

#include <QStandardPaths>

Application::Application(platform::SettingsStore& settings, platform::Drives& drives, platform::Dialogs& dialogs,
                         platform::Shell& shell, const QString& programFolder)
    : m_settings(settings), m_drives(drives), m_dialogs(dialogs), m_shell(shell),
      m_programFolder(programFolder.endsWith(u'/') ? programFolder : programFolder + u'/') {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty()) m_personalFolder = data + QStringLiteral("/ordana/");
}
