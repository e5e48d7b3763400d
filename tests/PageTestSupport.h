#pragma once

// Shared by the tests that drive windows through their widgets.

#include "Shell.h"

#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace test_support {

// A shell that opens nothing and copies nothing; it notes what it was asked to open.
class NoShell : public platform::Shell {
  public:
    QStringList opened;
    bool open(const QString& fileOrUrl) override {
        opened << fileOrUrl;
        return true;
    }
    CopyResult copyFile(QWidget*, const QString&, const QString&, QString*) override {
        return CopyResult::Failed;
    }
};

// QTest::keyClicks refuses letters outside ASCII: each character goes as a key event of its own.
inline void typeText(QWidget* w, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// The control of that name under w; the test ends at once when there is none.
template <typename T> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s", name);
    return c;
}

// A left click near the top left corner of the named control.
inline void click(QWidget* w, const char* name) {
    QTest::mouseClick(child<QWidget>(w, name), Qt::LeftButton, {}, QPoint(4, 4));
}

} // namespace test_support
