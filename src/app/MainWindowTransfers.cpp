// Taking directory records over into the personal contacts: the persons and
// firms pages ask, the transfers store, the Vlastní page and the contact
// editor show the result.
#include "MainWindow.h"

#include "Application.h"
#include "Dialogs.h"
#include "Error.h"

#include "ContactEditing.h"
#include "ContactEditor.h"
#include "DirectoryPage.h"
#include "PersonalPage.h"
#include "Transfers.h"

#include <QTabWidget>

QString MainWindow::partialTransferMessage(int stored, const QString& error) {
    return QStringLiteral("Přenos byl přerušen, přeneseno záznamů: ") + QString::number(stored) +
           QStringLiteral(". ") + error;
}

void MainWindow::connectTransfers(DirectoryPage* page) {
    connect(page, &DirectoryPage::transferRequested, this, [this, page] { transferOne(page); });
    connect(page, &DirectoryPage::transferMarkedRequested, this, [this, page] { transferMarked(page); });
}

void MainWindow::transferOne(DirectoryPage* page) {
    PersonalSearch* personal = m_personalPage->search();
    if (!personal || !personal->isReady() || !page->search()->currentRecord()) {
        m_app.dialogs().inform(this, Transfers::noSelectionMessage());
        return;
    }
    Transfers::Single single;
    bool fresh = false;
    try {
        fresh = personal->needsFreshTable(PersonalSearch::FreshTableRule::Transfer);
        single = Transfers(*personal).transferOne(page->search()->directory(), page->search()->pageQuery(),
                                                  m_personalPage->pageSize());
    } catch (const db::Error& e) {
        // Nothing is stored; the page shows the working table as it is now.
        m_personalPage->editorChanged(fresh);
        m_app.dialogs().warn(this, e.message());
        return;
    }
    if (!single.transferred) {
        m_app.dialogs().inform(this, Transfers::singleLimitMessage());
        return;
    }
    const auto kind =
        contact_editing::kindFromName(single.addressKind).value_or(contact_editing::AddressKind::Home);
    contactEditor()->openTransferred(kind, single.freshTable);
}

void MainWindow::transferMarked(DirectoryPage* page) {
    PersonalSearch* personal = m_personalPage->search();
    DirectorySearch* directory = page->search();
    if (!personal || !personal->isReady() || !directory->isReady()) return;
    db::Database* results = directory->pageQuery().database();
    if (!results) return;
    Transfers::Bulk bulk;
    bool fresh = false;
    try {
        fresh = personal->needsFreshTable(PersonalSearch::FreshTableRule::Transfer);
        bulk = Transfers(*personal).transferMarked(directory->directory(), *results, page->markedCount(),
                                                   page->searchLimit(), m_personalPage->pageSize());
    } catch (const db::Error& e) {
        m_personalPage->editorChanged(fresh);
        m_app.dialogs().warn(this, e.message());
        return;
    }
    if (bulk.result == Transfers::BulkResult::Refused) {
        m_app.dialogs().inform(this, Transfers::bulkLimitMessage());
        return;
    }
    // The stored rows are shown also when a write failed part way.
    m_personalPage->editorChanged(fresh);
    m_tabs->setCurrentWidget(m_personalPage);
    if (bulk.result == Transfers::BulkResult::Failed)
        m_app.dialogs().warn(this, partialTransferMessage(bulk.stored, bulk.error));
}
