#include "ShortcutDispatcher.h"

#include "DataGrid.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>

ShortcutDispatcher::ShortcutDispatcher(QWidget* window, std::function<void(const QString&)> showStatus)
    : m_window(window), m_showStatus(std::move(showStatus)) {}

void ShortcutDispatcher::setCommands(const QString& pageName, PageCommands commands) {
    m_commands.insert(pageName, std::move(commands));
}

QString ShortcutDispatcher::statusMessage(const QString& statusText) {
    return statusText.isEmpty() ? QStringLiteral("Bez záznamů") : statusText;
}

bool ShortcutDispatcher::dispatch(const QString& pageName, const QKeyEvent& event) {
    const int key = shortcuts::ctrlShortcutKey(event);
    if (key == 0 || !m_window) return false;
    const auto target = shortcuts::lookUp(pageName, key);
    if (!target) return false;
    // Only the page the user sees answers.
    QWidget* page = m_window->findChild<QWidget*>(pageName);
    if (!page || !page->isVisible()) return false;
    return run(page, pageName, *target);
}

bool ShortcutDispatcher::run(QWidget* page, const QString& pageName, const shortcuts::Target& target) {
    using shortcuts::Action;
    QWidget* control = page->findChild<QWidget*>(target.control);
    auto command = [&](const std::function<void()> PageCommands::*hook) {
        const auto commands = m_commands.constFind(pageName);
        if (commands == m_commands.constEnd() || !((*commands).*hook)) return false;
        // The hook may change the pages: it runs on a copy.
        const std::function<void()> run = (*commands).*hook;
        run();
        return true;
    };
    switch (target.action) {
    case Action::Focus:
        if (!control || !control->isEnabled() || !control->isVisible() ||
            control->focusPolicy() == Qt::NoFocus)
            return false;
        control->setFocus(Qt::ShortcutFocusReason);
        return true;
    case Action::Click: {
        auto* button = qobject_cast<QAbstractButton*>(control);
        if (!button || !button->isEnabled()) return false;
        button->click();
        return true;
    }
    case Action::ToggleColumn: {
        auto* grid = qobject_cast<DataGrid*>(control);
        if (!grid || target.column >= grid->columns().size()) return false;
        grid->setColumnShown(target.column, !grid->isColumnShown(target.column));
        return true;
    }
    case Action::ShowStatus: {
        auto* label = qobject_cast<QLabel*>(control);
        if (!label || !m_showStatus) return false;
        m_showStatus(statusMessage(label->text()));
        return true;
    }
    case Action::CountMatches:
        return command(&PageCommands::countMatches);
    case Action::CopyLabel:
        return command(&PageCommands::copyLabel);
    case Action::ToggleMark:
        return command(&PageCommands::toggleMark);
    case Action::SwitchColumnSet:
        return command(&PageCommands::switchColumnSet);
    }
    return false;
}
