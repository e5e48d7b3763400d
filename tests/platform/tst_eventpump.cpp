#include "EventPump.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTest>

// The pump a search calls at every row: events go through at its first call,
// then no more than once per interval.
class TestEventPump : public QObject {
    Q_OBJECT

    int m_delivered = 0;

  protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        ++m_delivered;
        return true;
    }

  private slots:
    void throttled_data() {
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<int>("calls");
        QTest::addColumn<int>("most"); // events let through at most
        QTest::newRow("long interval") << 60'000 << 1000 << 1;
        QTest::newRow("no interval") << 0 << 50 << 50;
    }
    void throttled() {
        QFETCH(int, intervalMs);
        QFETCH(int, calls);
        QFETCH(int, most);
        m_delivered = 0;
        const auto pump = platform::eventPump(std::chrono::milliseconds(intervalMs));
        int lettings = 0;
        for (int i = 0; i < calls; ++i) {
            QCoreApplication::postEvent(this, new QEvent(QEvent::User));
            const int before = m_delivered;
            pump();
            if (m_delivered > before) ++lettings;
            // The first call always lets the events through.
            if (i == 0) QCOMPARE(m_delivered, 1);
        }
        QCOMPARE(lettings, most);
        QCoreApplication::removePostedEvents(this);
    }
};

QTEST_MAIN(TestEventPump)
#include "tst_eventpump.moc"
