#pragma once

#include "ShortcutTable.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QKeyEvent;

// Runs the Ctrl shortcuts of the main window's pages. The page is the widget
// under the window whose objectName is the page name; the controls are found
// by name under it. Focus and button shortcuts, the columns of a grid and the
// status message need nothing else; the commands that only a page can run
// (counting, copying the label, marking, the column set) go to the hooks the
// page registered.
class ShortcutDispatcher {
  public:
    struct PageCommands {
        std::function<void()> countMatches;
        std::function<void()> copyLabel;
        std::function<void()> toggleMark;
        std::function<void()> switchColumnSet;
    };

    // window holds the pages; showStatus shows the status message (a box
    // without owner).
    ShortcutDispatcher(QWidget* window, std::function<void(const QString&)> showStatus);

    void setCommands(const QString& pageName, PageCommands commands);

    // Runs the shortcut of the key press on the named page. False when the
    // press is none there, when the page is not the one shown, or when the
    // target cannot take it (a disabled button, a control that cannot take the
    // focus, a column the grid does not have): the press then goes on to the
    // focused control as usual.
    bool dispatch(const QString& pageName, const QKeyEvent& event);

    // The text of the status message for a status text: "Bez záznamů" when it is empty.
    static QString statusMessage(const QString& statusText);

  private:
    bool run(QWidget* page, const QString& pageName, const shortcuts::Target& target);

    QPointer<QWidget> m_window;
    std::function<void(const QString&)> m_showStatus;
    QHash<QString, PageCommands> m_commands;
};
