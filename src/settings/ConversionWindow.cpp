#include "ConversionWindow.h"

#include "Error.h"
#include "ToolWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kBarSteps = 1000;
// The window is brought up to date at most this often (ms); a conversion
// reports after every batch of rows.
constexpr qint64 kRefreshMs = 100;
// An estimate from the first seconds swings too much to be worth showing.
constexpr qint64 kFirstEstimateMs = 2000;

const QString kTimeLeft = QStringLiteral("Zbývající čas: ");

} // namespace

ConversionWindow::ConversionWindow(QWidget* owner, const QString& title, const QString& what)
    : QDialog(owner) {
    setObjectName(QStringLiteral("conversionProgress"));
    setWindowTitle(title);
    // Nothing else of the program takes input while the conversion runs.
    setWindowModality(Qt::ApplicationModal);
    platform::makeToolWindow(this);

    auto* whatLabel = new QLabel(what, this);
    whatLabel->setObjectName(QStringLiteral("conversionWhat"));
    whatLabel->setWordWrap(true);
    m_table = new QLabel(this);
    m_table->setObjectName(QStringLiteral("conversionTable"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("conversionBar"));
    m_bar->setRange(0, kBarSteps);
    m_bar->setValue(0);
    m_timeLeft = new QLabel(timeLeftText(0, 0, 0), this);
    m_timeLeft->setObjectName(QStringLiteral("conversionTimeLeft"));
    m_cancel = new QPushButton(QStringLiteral("Storno"), this);
    m_cancel->setObjectName(QStringLiteral("conversionCancel"));
    connect(m_cancel, &QPushButton::clicked, this, &ConversionWindow::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(whatLabel);
    layout->addWidget(m_table);
    layout->addWidget(m_bar);
    layout->addWidget(m_timeLeft);
    layout->addLayout(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

ConversionWindow::Outcome ConversionWindow::run(const Conversion& conversion) {
    m_cancelled = false;
    m_failureReason.clear();
    m_cancel->setEnabled(true);
    m_bar->setRange(0, kBarSteps);
    m_bar->setValue(0);
    m_indexing = false;
    m_running = true;
    m_started.start();
    m_shown.invalidate();
    show();
    QCoreApplication::processEvents();

    Outcome outcome = Outcome::Failed;
    try {
        const db::ConversionResult result =
            conversion([this](const db::ConversionStep& step) { return progressed(step); });
        // A cancel heard after the last batch comes too late: the copy is complete.
        outcome = result.cancelled ? Outcome::Cancelled : Outcome::Converted;
    } catch (const db::Error& e) {
        m_failureReason = e.message();
    }
    m_running = false;
    hide();
    return outcome;
}

bool ConversionWindow::progressed(const db::ConversionStep& step) {
    // The last rows and the start of the indexes show at once, whatever the time.
    const bool lastRows = step.rowsTotal > 0 && step.rowsDone >= step.rowsTotal && !step.indexing;
    const bool indexesBegin = step.indexing && !m_indexing;
    m_indexing = step.indexing;
    if (!m_shown.isValid() || m_shown.hasExpired(kRefreshMs) || lastRows || indexesBegin) {
        m_table->setText(tableText(step));
        // How long the indexes take is not known: the bar only shows that work goes on.
        if (step.indexing)
            m_bar->setRange(0, 0);
        else
            m_bar->setValue(step.rowsTotal > 0
                                ? int(qMin<qint64>(kBarSteps, step.rowsDone * kBarSteps / step.rowsTotal))
                                : 0);
        if (!m_cancelled)
            m_timeLeft->setText(timeLeftText(m_started.elapsed(), step.rowsDone, step.rowsTotal));
        m_shown.start();
        QCoreApplication::processEvents();
    }
    return !m_cancelled;
}

void ConversionWindow::reject() {
    if (!m_running) return QDialog::reject();
    // The conversion hears it after its current batch and cleans up.
    m_cancelled = true;
    m_cancel->setEnabled(false);
    m_timeLeft->setText(QStringLiteral("Převod se ruší…"));
}

void ConversionWindow::closeEvent(QCloseEvent* event) {
    if (!m_running) return QDialog::closeEvent(event);
    event->ignore();
    reject();
}

QString ConversionWindow::tableText(const db::ConversionStep& step) {
    if (step.indexing) return QStringLiteral("Vytvářím indexy…");
    if (step.table.isEmpty()) return {};
    return QStringLiteral("Tabulka: %1 (%2 z %3)")
        .arg(step.table, QString::number(step.tableNumber), QString::number(step.tables));
}

QString ConversionWindow::timeLeftText(qint64 elapsedMs, qint64 rowsDone, qint64 rowsTotal) {
    if (rowsTotal > 0 && rowsDone >= rowsTotal) return kTimeLeft + QStringLiteral("dokončuji…");
    if (rowsTotal <= 0 || rowsDone <= 0 || elapsedMs < kFirstEstimateMs)
        return kTimeLeft + QStringLiteral("zjišťuji…");
    const qint64 seconds = (elapsedMs * (rowsTotal - rowsDone) / rowsDone + 999) / 1000;
    const auto n = [](qint64 value) { return QString::number(value); };
    QString left;
    if (seconds < 60)
        left = n(seconds) + QStringLiteral(" s");
    else if (seconds < 3600)
        left = n(seconds / 60) + QStringLiteral(" min") +
               (seconds % 60 ? u' ' + n(seconds % 60) + QStringLiteral(" s") : QString());
    else
        left = n(seconds / 3600) + QStringLiteral(" h ") + n(seconds % 3600 / 60) + QStringLiteral(" min");
    return kTimeLeft + QStringLiteral("asi ") + left;
}
