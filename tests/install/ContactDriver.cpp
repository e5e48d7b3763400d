// Loaded into the installed program with LD_PRELOAD by tst_install: once the
// main window is up it shows the information page (a reference list opens),
// then adds one personal contact through the personal page and the contact
// editor, as a user would, and ends the program with SIGTERM.
// The surname comes from ORDANA_TEST_SURNAME; without it the driver does
// nothing. Any message box shown on the way is printed and ends the program
// with exit code 3.

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "contact driver: %s\n", qPrintable(why));
    std::fflush(stderr);
    ::_exit(3);
}

QWidget* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

template <typename T> T* control(QWidget* parent, const char* name) {
    auto* c = parent->findChild<T*>(QString::fromLatin1(name));
    if (!c) fail(QStringLiteral("no control %1").arg(QString::fromLatin1(name)));
    return c;
}

class Driver : public QObject {
  public:
    explicit Driver(QString surname) : QObject(qApp), m_surname(std::move(surname)) {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, &Driver::step);
        timer->start(50);
    }

  private:
    // One step per tick. The step's action runs apart from the tick, since it
    // may run a dialog's own event loop, in which the ticks must go on.
    void step() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) fail(box->text());
        switch (m_next) {
        case Next::Information:
            // The information page opens a reference list from the shipped files.
            m_main = topLevel(QStringLiteral("Form1"));
            if (!m_main || !m_main->isVisible()) return;
            m_next = Next::PersonalPage;
            act([this] { showPage(control<QWidget>(m_main, "informace")); });
            return;
        case Next::PersonalPage:
            m_next = Next::NewRecord;
            act([this] { showPage(control<QWidget>(m_main, "Image15")); });
            return;
        case Next::NewRecord:
            m_next = Next::Type;
            act([this] {
                QTest::mouseClick(control<QWidget>(m_main, "Image15"), Qt::LeftButton, {}, QPoint(4, 4));
            });
            return;
        case Next::Type: {
            m_editor = control<QWidget>(m_main, "Form4");
            if (!m_editor->isVisible()) return;
            m_next = Next::Saved;
            act([this] {
                auto* surname = control<QLineEdit>(m_editor, "DBEdit4");
                surname->setFocus();
                QTest::keyClicks(surname, m_surname);
                QTest::mouseClick(control<QWidget>(m_editor, "ulozit"), Qt::LeftButton, {}, QPoint(4, 4));
            });
            return;
        }
        case Next::Saved:
            if (m_editor->isVisible()) return;
            m_next = Next::Done;
            std::fprintf(stderr, "contact driver: saved\n");
            std::raise(SIGTERM);
            return;
        case Next::Done:
            return;
        }
    }

    template <typename F> void act(F action) { QTimer::singleShot(0, this, action); }

    // Makes the page holding the widget the current one.
    void showPage(QWidget* inPage) {
        auto* tabs = control<QTabWidget>(m_main, "PageControl1");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i) == inPage || tabs->widget(i)->isAncestorOf(inPage)) tabs->setCurrentIndex(i);
    }

    enum class Next { Information, PersonalPage, NewRecord, Type, Saved, Done };
    Next m_next = Next::Information;
    QString m_surname;
    QWidget* m_main = nullptr;
    QWidget* m_editor = nullptr;
};

void startDriver() {
    const QString surname = qEnvironmentVariable("ORDANA_TEST_SURNAME");
    if (surname.isEmpty()) return;
    // Runs while the application object is being made: the driver starts with
    // the event loop.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [surname] { new Driver(surname); }, Qt::QueuedConnection);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriver)
