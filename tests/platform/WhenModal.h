#pragma once

#include <QApplication>
#include <QTimer>
#include <QtDebug>

#include <functional>

namespace platform_test {

// Runs action on the modal dialog of type T as soon as the event loop runs with
// it shown: a dialog's exec() shows it before it starts its loop, so the first
// turn normally finds it. Gives up after a bounded number of turns.
template <typename T> void whenModal(std::function<void(T*)> action, int turns = 1000) {
    QTimer::singleShot(0, qApp, [action = std::move(action), turns] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()))
            action(dialog);
        else if (turns > 0)
            whenModal<T>(action, turns - 1);
        else
            qWarning("no modal %s appeared", T::staticMetaObject.className());
    });
}

} // namespace platform_test
