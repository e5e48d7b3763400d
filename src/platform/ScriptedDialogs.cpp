#include "ScriptedDialogs.h"

namespace platform {

namespace {

// The next scripted answer, or the fallback when the script has run out.
template <typename T> T takeFirst(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = queue.front();
    queue.pop_front();
    return value;
}

// The same for answers that may be "cancelled"; empty when the script has run out.
// (Built in place: GCC 12 warns wrongly about copying such optionals at -O2.)
template <typename T> std::optional<T> takeFirst(std::deque<std::optional<T>>& queue) {
    std::optional<T> value;
    if (!queue.empty()) {
        if (queue.front()) value.emplace(*queue.front());
        queue.pop_front();
    }
    return value;
}

// The button of the box that stands for an answer.
Dialogs::Answer fitToButtons(Dialogs::Answer answer, Dialogs::Buttons buttons) {
    using A = Dialogs::Answer;
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return A::Ok;
    case Dialogs::Buttons::OkCancel:
        return answer == A::Ok || answer == A::Yes ? A::Ok : A::Cancel;
    case Dialogs::Buttons::YesNo:
        return answer == A::Ok || answer == A::Yes ? A::Yes : A::No;
    }
    return answer;
}

} // namespace

QStringList ScriptedDialogs::messageTexts() const {
    QStringList texts;
    for (const Shown& s : m_shown)
        if (s.kind == QLatin1String("message")) texts << s.text;
    return texts;
}

void ScriptedDialogs::clear() {
    m_shown.clear();
    m_messages.clear();
    m_folders.clear();
    m_opens.clear();
    m_saves.clear();
    m_prints.clear();
    m_inputs.clear();
    printerSetup = nullptr;
}

Dialogs::Answer ScriptedDialogs::message(QWidget* owner, const QString& caption, const QString& text,
                                         Icon icon, Buttons buttons) {
    Shown& s = record(QStringLiteral("message"), owner);
    s.caption = caption;
    s.text = text;
    s.icon = icon;
    s.buttons = buttons;
    return fitToButtons(takeFirst(m_messages, defaultAnswer), buttons);
}

QString ScriptedDialogs::selectFolder(QWidget* owner, const QString& title) {
    Shown& s = record(QStringLiteral("folder"), owner);
    s.caption = title;
    return takeFirst(m_folders, QString());
}

std::optional<Dialogs::FileResult> ScriptedDialogs::openFile(QWidget* owner, const FileOptions& options) {
    Shown& s = record(QStringLiteral("open"), owner);
    s.caption = options.title;
    s.file = options;
    return takeFirst(m_opens);
}

std::optional<Dialogs::FileResult> ScriptedDialogs::saveFile(QWidget* owner, const FileOptions& options) {
    Shown& s = record(QStringLiteral("save"), owner);
    s.caption = options.title;
    s.file = options;
    return takeFirst(m_saves);
}

bool ScriptedDialogs::print(QWidget* owner, QPrinter& printer) {
    record(QStringLiteral("print"), owner);
    const bool ok = takeFirst(m_prints, false);
    if (ok && printerSetup) printerSetup(printer);
    return ok;
}

std::optional<QString> ScriptedDialogs::input(QWidget* owner, const QString& caption, const QString& prompt,
                                              const QString& text) {
    Shown& s = record(QStringLiteral("input"), owner);
    s.caption = caption;
    s.text = prompt;
    s.initialText = text;
    return takeFirst(m_inputs);
}

} // namespace platform
