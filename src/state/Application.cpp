#include "Application.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

Application::Application(platform::SettingsStore& settings, platform::Drives& drives,
                         platform::Dialogs& dialogs, platform::Shell& shell, const QString& programFolder)
    : m_settings(settings), m_drives(drives), m_dialogs(dialogs), m_shell(shell),
      m_programFolder(programFolder.endsWith(u'/') ? programFolder : programFolder + u'/'),
      m_dataFolder(findDataFolder(m_programFolder)) {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty()) m_personalFolder = data + QStringLiteral("/ordana/");
}

QString Application::findDataFolder(const QString& programFolder) {
    const QString program = programFolder.endsWith(u'/') ? programFolder : programFolder + u'/';
    const QString beside = program + QStringLiteral("DATA");
    const QString installed = QDir::cleanPath(program + QStringLiteral(ORDANA_DATA_FROM_BIN));
    for (const QString& folder : {beside, installed})
        if (QFileInfo(folder).isDir()) return folder + u'/';
    return beside + u'/';
}
