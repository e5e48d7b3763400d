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

#include <QApplication>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>

namespace {

const QString kNoMarks = QStringLiteral("Není označen žádný záznam pro tisk.    ");

} // namespace

void MainWindow::connectPrints() {
    for (DirectoryPage* page : {m_persons, m_firms})
        connect(page->button(DirectoryPage::Button::Print), &QPushButton::clicked, this,
                [this, page] { printDirectory(page); });
    connect(m_personalPage->button(PersonalPage::Button::Print), &QPushButton::clicked, this,
            [this] { printPersonal(); });
}

void MainWindow::printDirectory(DirectoryPage* page) {
    const bool firms = page->description().forFirms;
    DirectorySearch* search = page->search();
    PrintRequest request;
    request.print = firms ? labels::Print::Firms : labels::Print::Persons;
    request.searchButton = page->button(DirectoryPage::Button::Search);
    request.marked = search->state().markedCount;
    request.results = [search] { return search->pageQuery().database(); };
    request.searchLimit = m_app.limits().searchLimit(firms ? Limits::List::Firms : Limits::List::Persons);
    printLabels(request);
}

void MainWindow::printPersonal() {
    PersonalSearch* search = m_personalPage->search();
    PrintRequest request;
    request.print = labels::Print::Personal;
    request.searchButton = m_personalPage->button(PersonalPage::Button::Search);
    request.marked = search ? search->state().markedCount : 0;
    request.results = [search] { return search->pageQuery().database(); };
    request.searchLimit = m_app.limits().searchLimit(Limits::List::Personal);
    printLabels(request);
}

void MainWindow::printLabels(const PrintRequest& request) {
    // The search button stays off for the whole print, however it ends.
    request.searchButton->setEnabled(false);
    const auto enableSearch = qScopeGuard([&request] { request.searchButton->setEnabled(true); });
    if (request.marked == 0) {
        m_app.dialogs().warn(this, kNoMarks);
        return;
    }
    io::AddressChoice choice = io::AddressChoice::RecordDefault;
    if (request.print == labels::Print::Personal) {
        if (m_printParameters->exec() != QDialog::Accepted) return;
        choice = m_printParameters->choice();
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!m_app.dialogs().print(this, printer)) return;
    QString failure;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        try {
            db::Database* results = request.results();
            if (!results) return;
            const labels::PrintOutcome outcome =
                labels::printMarked(*results, request.print, choice, request.searchLimit, printer);
            if (!outcome.complete) failure = labels::incompleteMessage(outcome.records, outcome.error);
        } catch (const db::Error& e) {
            failure = e.message();
        }
    }
    // The page's own query was never touched: its rows, its current row and
    // its marks are as they were.
    if (!failure.isEmpty()) m_app.dialogs().warn(this, failure);
}
