#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;
class QPrinter;

namespace platform {

// Every message box, file and folder dialog, print dialog and input box of the
// program goes through this seam, so that tests can answer them.
class Dialogs {
  public:
    enum class Icon { None, Information, Question, Warning, Error };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileOptions {
        QString title;
        QString folder;           // initial folder
        QString fileName;         // initial file name
        QString filter;           // "txt soubory|*.txt|csv soubory|*.csv|…" (description|patterns pairs)
        int filterIndex = 1;      // 1-based, as preselected
        QString defaultExtension; // without the dot
        bool confirmOverwrite = false;
    };
    struct FileResult {
        QString path;
        int filterIndex = 1; // 1-based filter selected when the dialog closed
    };

    virtual ~Dialogs() = default;

    // A modal message box; owner may be null (a box without owner).
    virtual Answer message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                           Buttons buttons) = 0;
    // Empty when cancelled.
    virtual QString selectFolder(QWidget* owner, const QString& title) = 0;
    virtual std::optional<FileResult> openFile(QWidget* owner, const FileOptions& options) = 0;
    virtual std::optional<FileResult> saveFile(QWidget* owner, const FileOptions& options) = 0;
    // The print dialog for printer; false when cancelled.
    virtual bool print(QWidget* owner, QPrinter& printer) = 0;
    // An input box; empty optional when cancelled.
    virtual std::optional<QString> input(QWidget* owner, const QString& caption, const QString& prompt,
                                         const QString& text = {}) = 0;

    // The three kinds of the program's messages.
    // "Upozornění" with the information icon: warnings and failures.
    void warn(QWidget* owner, const QString& text) {
        message(owner, kWarning, text, Icon::Information, Buttons::Ok);
    }
    // "Dotaz" with the question icon, Yes and No: true for Yes.
    bool ask(QWidget* owner, const QString& text) {
        return message(owner, kQuestion, text, Icon::Question, Buttons::YesNo) == Answer::Yes;
    }
    // "Informace" with the information icon: outcomes.
    void inform(QWidget* owner, const QString& text) {
        message(owner, kInformation, text, Icon::Information, Buttons::Ok);
    }

    static inline const QString kWarning = QStringLiteral("Upozornění");
    static inline const QString kQuestion = QStringLiteral("Dotaz");
    static inline const QString kInformation = QStringLiteral("Informace");
};

} // namespace platform
