// The tables that name controls (the main window's own, the Ctrl shortcuts,
// the help contexts) against the window as built: a control renamed or moved
// to another page breaks this test instead of a key or a click in silence.

#include "Application.h"
#include "Drives.h"
#include "Help.h"
#include "MainWindow.h"
#include "PageTestSupport.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "ShortcutTable.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// What a named control has to be for the work done on it.
enum class Kind { Any, Focusable, Button, Label, Grid };

Kind kindOf(shortcuts::Action action) {
    switch (action) {
    case shortcuts::Action::Focus:
    case shortcuts::Action::CopyLabel:
        return Kind::Focusable;
    case shortcuts::Action::Click:
    case shortcuts::Action::CountMatches:
        return Kind::Button;
    case shortcuts::Action::ShowStatus:
        return Kind::Label;
    case shortcuts::Action::ToggleColumn:
    case shortcuts::Action::ToggleMark:
    case shortcuts::Action::SwitchColumnSet:
        return Kind::Grid;
    }
    return Kind::Any;
}

Kind kindOf(MainWindow::NamedControl::Kind kind) {
    switch (kind) {
    case MainWindow::NamedControl::Kind::Field:
        return Kind::Focusable;
    case MainWindow::NamedControl::Kind::Button:
        return Kind::Button;
    case MainWindow::NamedControl::Kind::Label:
        return Kind::Label;
    }
    return Kind::Any;
}

// Every key a Ctrl shortcut can be made of: the printable keys and Qt's
// special keys (Enter, arrows …).
QList<int> allKeys() {
    QList<int> keys;
    for (int k = Qt::Key_Space; k <= Qt::Key_ydiaeresis; ++k)
        keys << k;
    for (int k = Qt::Key_Escape; k <= Qt::Key_Direction_R; ++k)
        keys << k;
    return keys;
}

} // namespace

class TestControlNames : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    platform::MemorySettingsStore m_settings;
    platform::FixedDrives m_drives{{}};
    platform::ScriptedDialogs m_dialogs;
    test_support::NoShell m_shell;
    std::unique_ptr<Application> m_app;
    // Built, never shown: the controls exist from the window's creation on
    // (those of the windows made when first needed once they are asked for).
    std::unique_ptr<MainWindow> m_window;

  private slots:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_tmp.path() + QStringLiteral("/home")));
        m_app = std::make_unique<Application>(m_settings, m_drives, m_dialogs, m_shell, m_tmp.path());
        m_window = std::make_unique<MainWindow>(*m_app);
        // What is built after the first frame, and the windows made when
        // first needed, are asked for, as the first frame and their commands do.
        m_window->finishBuilding();
        m_window->shortcutList();
        m_window->importDialog();
        m_window->contactEditor();
    }
    void cleanupTestCase() { m_window.reset(); }

    // page: the objectName of the page the control lies on; empty for a
    // window, which may be the main window or any of its own windows.
    void controlFound_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("kind");
        for (const MainWindow::NamedControl& c : MainWindow::namedControls())
            QTest::addRow("main window: %s %s", qPrintable(c.page), qPrintable(c.control))
                << c.page << c.control << int(kindOf(c.kind));
        int shortcuts = 0;
        for (const QString& page : shortcuts::pageNames()) {
            for (const int key : allKeys()) {
                const auto target = shortcuts::lookUp(page, key);
                if (!target) continue;
                ++shortcuts;
                QTest::addRow("Ctrl+%s on %s: %s", qPrintable(QKeySequence(key).toString()), qPrintable(page),
                              qPrintable(target->control))
                    << page << target->control << int(kindOf(target->action));
            }
        }
        // Every page has its shortcuts, and the walk over the keys found them.
        QVERIFY2(shortcuts >= 3 * 23 + 6, qPrintable(QString::number(shortcuts)));
        for (const QString& window : Help::windowNames())
            QTest::addRow("help: %s", qPrintable(window)) << QString() << window << int(Kind::Any);
    }
    void controlFound() {
        QFETCH(QString, page);
        QFETCH(QString, control);
        QFETCH(int, kind);
        QWidget* under = m_window.get();
        if (!page.isEmpty()) {
            under = m_window->findChild<QWidget*>(page);
            QVERIFY2(under, qPrintable(QStringLiteral("no page ") + page));
        }
        QWidget* found = under->objectName() == control ? under : under->findChild<QWidget*>(control);
        QVERIFY2(found, qPrintable(QStringLiteral("no control ") + control));
        switch (Kind(kind)) {
        case Kind::Any:
            break;
        case Kind::Focusable:
            QVERIFY(found->focusPolicy() != Qt::NoFocus);
            break;
        case Kind::Button:
            QVERIFY(qobject_cast<QAbstractButton*>(found));
            break;
        case Kind::Label:
            QVERIFY(qobject_cast<QLabel*>(found));
            break;
        case Kind::Grid:
            QVERIFY(qobject_cast<QAbstractItemView*>(found));
            break;
        }
    }
};

QTEST_MAIN(TestControlNames)
#include "tst_controlnames.moc"
