#pragma once

#include "Dialogs.h"

#include <QList>
#include <deque>
#include <functional>
#include <variant>

namespace platform {

// Dialogs for tests: records what was shown and answers from a script. A
// dialog with no scripted answer gets the default one and is recorded all the
// same: defaultAnswer for message boxes, cancelled for the other dialogs. A
// message box answers only with one of its buttons, as a real one does: Ok and
// Yes, Cancel and No stand for each other, and an Ok box always answers Ok.
class ScriptedDialogs : public Dialogs {
  public:
    struct Shown {
        QString kind; // "message", "folder", "open", "save", "print", "input"
        QWidget* owner = nullptr;
        QString caption;     // the title of file, folder and input dialogs
        QString text;        // the prompt of an input box
        QString initialText; // the text an input box starts with
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        FileOptions file;
    };

    // Answers, used in order by the dialogs of the matching kind.
    void answerMessage(Answer a) { m_messages.push_back(a); }
    void answerFolder(const QString& path) { m_folders.push_back(path); }
    void answerOpen(std::optional<FileResult> r) { m_opens.push_back(r); }
    void answerSave(std::optional<FileResult> r) { m_saves.push_back(r); }
    void answerPrint(bool ok) { m_prints.push_back(ok); }
    void answerInput(std::optional<QString> text) { m_inputs.push_back(text); }
    // Runs on the printer of a print dialog answered with true, as the user's
    // choices in a real one would set it up (e.g. printing to a file).
    std::function<void(QPrinter&)> printerSetup;
    // Answer given to a message box when the script has none.
    Answer defaultAnswer = Answer::Ok;

    const QList<Shown>& shown() const { return m_shown; }
    // The texts of the message boxes shown, in order.
    QStringList messageTexts() const;
    // Forgets what was shown and the answers not yet used.
    void clear();

    Answer message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                   Buttons buttons) override;
    QString selectFolder(QWidget* owner, const QString& title) override;
    std::optional<FileResult> openFile(QWidget* owner, const FileOptions& options) override;
    std::optional<FileResult> saveFile(QWidget* owner, const FileOptions& options) override;
    bool print(QWidget* owner, QPrinter& printer) override;
    std::optional<QString> input(QWidget* owner, const QString& caption, const QString& prompt,
                                 const QString& text) override;

  private:
    // Notes a dialog as shown and returns its record for the details.
    Shown& record(const QString& kind, QWidget* owner) {
        m_shown.append(Shown{});
        m_shown.last().kind = kind;
        m_shown.last().owner = owner;
        return m_shown.last();
    }
    QList<Shown> m_shown;
    std::deque<Answer> m_messages;
    std::deque<QString> m_folders;
    std::deque<std::optional<FileResult>> m_opens, m_saves;
    std::deque<bool> m_prints;
    std::deque<std::optional<QString>> m_inputs;
};

// The dialogs of the running program, built on Qt's.
class QtDialogs : public Dialogs {
  public:
    // Qt name filters ("txt soubory (*.txt)") from a filter of description and
    // pattern pairs ("txt soubory|*.txt|tabulky|*.csv;*.tab").
    static QStringList nameFilters(const QString& filter);
    // A message's text as the box shows it: a line feed and a carriage return
    // next to each other, in either order, make one line break, as on Windows.
    static QString shownText(const QString& text);

    Answer message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                   Buttons buttons) override;
    QString selectFolder(QWidget* owner, const QString& title) override;
    std::optional<FileResult> openFile(QWidget* owner, const FileOptions& options) override;
    std::optional<FileResult> saveFile(QWidget* owner, const FileOptions& options) override;
    bool print(QWidget* owner, QPrinter& printer) override;
    std::optional<QString> input(QWidget* owner, const QString& caption, const QString& prompt,
                                 const QString& text) override;
};

// The dialogs of a run without windows: a message's text goes to write and
// the box is answered Cancel (Ok when that is its only button); a question
// (Yes and No) is answered No without being written, and counted; the other
// dialogs count as cancelled.
class ConsoleDialogs : public Dialogs {
  public:
    explicit ConsoleDialogs(std::function<void(const QString&)> write) : m_write(std::move(write)) {}

    int questionsAnswered() const { return m_questions; }

    Answer message(QWidget* owner, const QString& caption, const QString& text, Icon icon,
                   Buttons buttons) override;
    QString selectFolder(QWidget*, const QString&) override { return {}; }
    std::optional<FileResult> openFile(QWidget*, const FileOptions&) override { return std::nullopt; }
    std::optional<FileResult> saveFile(QWidget*, const FileOptions&) override { return std::nullopt; }
    bool print(QWidget*, QPrinter&) override { return false; }
    std::optional<QString> input(QWidget*, const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }

  private:
    std::function<void(const QString&)> m_write;
    int m_questions = 0;
};

} // namespace platform
