// Printing the marked records of a page as address labels: the persons and
// firms pages and the Vlastní page ask, the label job reads and draws.
#include "MainWindow.h"

#include "Application.h"
#include "Dialogs.h"
#include "Error.h"

#include "DirectoryPage.h"
#include "LabelJob.h"
#include "PersonalPage.h"
#include "PrintParametersDialog.h"

#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>

namespace {

const QString kNoMarks = QStringLiteral("Není označen žádný záznam pro tisk.    ");

// The label print of each page's records.
labels::Print printOf(Limits::List list) {
    switch (list) {
    case Limits::List::Persons:
        return labels::Print::Persons;
    case Limits::List::Firms:
        return labels::Print::Firms;
    case Limits::List::Personal:
        break;
    }
    return labels::Print::Personal;
}

} // namespace

void MainWindow::printLabels(ResultPage* page) {
    // The search button stays off for the whole print, however it ends.
    QPushButton* search = page->searchButton();
    search->setEnabled(false);
    const auto enableSearch = qScopeGuard([search] { search->setEnabled(true); });
    if (page->markedCount() == 0) {
        m_app.dialogs().warn(this, kNoMarks);
        return;
    }
    const labels::Print print = printOf(page->limitsList());
    io::AddressChoice choice = io::AddressChoice::RecordDefault;
    if (print == labels::Print::Personal) {
        if (m_printParameters->exec() != QDialog::Accepted) return;
        choice = m_printParameters->choice();
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!m_app.dialogs().print(this, printer)) return;
    QString failure;
    {
        const BusyCursor busy;
        try {
            db::Database* results = page->resultsDatabase();
            if (!results) return;
            const labels::PrintOutcome outcome =
                labels::printMarked(*results, print, choice, page->searchLimit(), printer);
            if (!outcome.complete) failure = labels::incompleteMessage(outcome.records, outcome.error);
        } catch (const db::Error& e) {
            failure = e.message();
        }
    }
    // The page's own query was never touched: its rows, its current row and
    // its marks are as they were.
    if (!failure.isEmpty()) m_app.dialogs().warn(this, failure);
}
