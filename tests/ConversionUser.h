#pragma once

// A user facing the conversion window: counts the windows that show and, when
// asked to, gives the first one up as soon as it shows, by Storno, Esc or its
// close box. The window lets pending events through while it converts, which
// is when this acts.

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace test_support {

class ConversionUser : public QObject {
  public:
    enum class Act { Wait, Storno, Escape, CloseBox };

    explicit ConversionUser(Act act = Act::Wait) : m_act(act) {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, &ConversionUser::look);
        m_timer.start();
    }
    // The conversion windows seen so far.
    int windowsSeen() const { return m_seen; }

  private:
    void look() {
        QWidget* shown = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("conversionProgress") && w->isVisible()) shown = w;
        if (shown == m_current) return;
        m_current = shown;
        if (!shown) return;
        if (++m_seen > 1) return;
        if (m_act == Act::Storno)
            QTest::mouseClick(shown->findChild<QPushButton*>(QStringLiteral("conversionCancel")),
                              Qt::LeftButton);
        else if (m_act == Act::Escape)
            QTest::keyClick(shown, Qt::Key_Escape);
        else if (m_act == Act::CloseBox)
            shown->close();
    }

    Act m_act;
    QTimer m_timer;
    QPointer<QWidget> m_current;
    int m_seen = 0;
};

} // namespace test_support
