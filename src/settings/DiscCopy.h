#pragma once

#include <QString>

class Application;
class QWidget;

// Copying the directory database from the CD-ROM/DVD to the hard disk (the
// program's DATA folder, or the user's data folder; with the disc's workgroup
// file where the target has none), and switching the program to the copy. The
// messages go through Application::dialogs() with the given owner, the copy
// through Application::shell(). A disc in its own format (a Jet file) is
// converted instead of copied, in the conversion window, beside the program's
// own workgroup file.
class DiscCopy {
  public:
    enum class Outcome {
        NoDisc,      // no disc found and the user cancelled: the window closes
        NotFinished, // answered No, or the copy was declined, cancelled or failed
        Copied,      // copied, recorded in the settings, the program works with the copy
        NotRecorded, // copied, but the settings could not be written: the path is unchanged
    };

    // The exact size of the directory database.
    static constexpr qint64 kDatabaseSize = 456028160;

    static inline const QString kInsertDiscText =
        QStringLiteral("Vložte prosím CD-ROM/DVD Ordana 2004 Velto/Brevo do mechaniky.    ");
    static inline const QString kNotFinishedText = QStringLiteral("Kopírování nebylo dokončeno !   ");
    static inline const QString kDoneText = QStringLiteral(
        "Kopírování bylo úspěšně dokončeno. Od této chvíle program pracuje se zkopírovanou databází.    ");
    // The settings key (under the current user) whose value "Path" names the
    // folder of the copy.
    static QString settingsKey();

    explicit DiscCopy(Application& app) : m_app(app) {}

    // The folder the copy goes to (ending in "/"): the program's DATA folder,
    // or the user's data folder when the first cannot be written. And the copy.
    QString targetFolder() const;
    QString targetPath() const;
    // The question asked before copying.
    QString question() const;

    // The whole operation, messages included.
    Outcome run(QWidget* owner);

  private:
    bool record(QWidget* owner);
    // Converts the disc's Jet file into targetPath(); an older file there is
    // replaced only by a complete copy. False when cancelled (reason empty)
    // or failed (reason says why).
    bool convert(QWidget* owner, const QString& source, QString& reason);

    Application& m_app;
};
