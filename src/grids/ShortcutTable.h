#pragma once

#include <QKeyEvent>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The main window's Ctrl shortcuts as data: per page name ("osoby", "firmy",
// "vlastni", "informace") and key, what the shortcut does and the name
// (objectName) of the control it works on under that page. Nothing here knows
// a page; the dispatcher finds the controls by name.
namespace shortcuts {

enum class Action {
    Focus,           // the control gets the focus
    Click,           // the button is pressed, unless it is disabled
    ToggleColumn,    // the grid's column shows or hides
    ShowStatus,      // the label's text (the page's status) is shown in a message
    CountMatches,    // the page counts the matches of its search
    CopyLabel,       // the page copies its whole record label
    ToggleMark,      // the page marks or unmarks its current row
    SwitchColumnSet, // the page switches its grid's column set
};

struct Target {
    Action action = Action::Focus;
    QString control;
    int column = 0; // ToggleColumn: the column, 0 being the mark column

    bool operator==(const Target&) const = default;
};

// The key a press means as a Ctrl shortcut, or 0 when it is none: Ctrl must be
// the only modifier held (the keypad's flag does not count). Enter of the
// keypad is Return, and the number row of the Czech keyboard (+ ě š č ř ž ý á
// í é) gives its digits, as it does with Ctrl on Windows.
int ctrlShortcutKey(int key, Qt::KeyboardModifiers modifiers);
inline int ctrlShortcutKey(const QKeyEvent& event) {
    return ctrlShortcutKey(event.key(), event.modifiers());
}

// The shortcut of a page for a key from ctrlShortcutKey, if it has one.
std::optional<Target> lookUp(const QString& pageName, int key);

// Every page name the table knows.
QStringList pageNames();

// The lines of the shortcut list window.
QStringList listLines();

// Where the columns of those lines stand for a font that measures a text's
// width with width: the tab stops (the first is the keys' column) and the
// descriptions' column. An entry has as many tabs after its key as its key is
// short, so the stops between the keys' and the descriptions' columns lie
// between the ends of the keys of the kinds: every description then starts
// at the same place. gap is the least room after the headings and the keys.
struct ListColumns {
    QList<qreal> tabStops;
    qreal description = 0;
};
ListColumns listColumns(const QStringList& lines, const std::function<qreal(const QString&)>& width,
                        qreal gap);

} // namespace shortcuts
