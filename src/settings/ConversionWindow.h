#pragma once

#include "JetConversion.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// The window shown while a Jet file is converted (objectName
// "conversionProgress"): what is being prepared ("conversionWhat"), the table
// being converted ("conversionTable"), a bar of the rows done ("conversionBar";
// busy while the indexes are built), the time left ("conversionTimeLeft") and
// "Storno" ("conversionCancel"; Esc and the close box do the same). The
// conversion runs on the calling thread; the window lets pending events
// through as it reports progress, so that it repaints and Storno is heard.
class ConversionWindow : public QDialog {
    Q_OBJECT
  public:
    enum class Outcome { Converted, Cancelled, Failed };
    // Converts, telling progress to the function it is given.
    using Conversion = std::function<db::ConversionResult(const db::ConversionProgress&)>;

    ConversionWindow(QWidget* owner, const QString& title, const QString& what);

    // Shows the window, runs the conversion and hides the window again. A
    // db::Error of the conversion gives Failed, its message in failureReason().
    Outcome run(const Conversion& conversion);
    const QString& failureReason() const { return m_failureReason; }

    // "Tabulka: Osoby (2 z 14)"; once the rows are in, the indexes.
    static QString tableText(const db::ConversionStep& step);
    // The time left, estimated from the time taken so far for the rows done.
    static QString timeLeftText(qint64 elapsedMs, qint64 rowsDone, qint64 rowsTotal);

  protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool progressed(const db::ConversionStep& step);

    QLabel* m_table = nullptr;
    QProgressBar* m_bar = nullptr;
    QLabel* m_timeLeft = nullptr;
    QPushButton* m_cancel = nullptr;
    QElapsedTimer m_started;
    QElapsedTimer m_shown;   // since the window last showed progress
    bool m_indexing = false; // the last report was of the indexes
    bool m_running = false;
    bool m_cancelled = false;
    QString m_failureReason;
};
