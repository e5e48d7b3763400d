// Personal contacts to and from vCard files, through the "Soubor" menu: the
// export writes the marked records of the Vlastní page (or, after a question,
// every personal record) to one file; the import posts the cards of a file
// through the page's personal cursor, as the text import does, and shows the
// page with them.
#include "MainWindow.h"

#include "Application.h"
#include "Dialogs.h"
#include "Error.h"

#include "Export.h"
#include "ImportProgressDialog.h"
#include "PersonalPage.h"
#include "PersonalSearch.h"
#include "VCardFiles.h"

#include <QTabWidget>

namespace {

const QString kVCardFilter = QStringLiteral("vCard|*.vcf;*.vcard|Všechny soubory|*.*");

} // namespace

void MainWindow::exportVCard() {
    if (searchRunning()) return;
    platform::Dialogs& dialogs = m_app.dialogs();
    PersonalSearch* search = m_personalPage->search();
    if (!personalDatabase() || !search) return dialogs.warn(this, io::personalNotReadyMessage());

    // The marked rows of the page; without marks, every record after a question.
    std::optional<QList<int>> ids;
    try {
        if (search->isReady() && search->state().markedCount > 0) {
            ids = io::markedRecordIds(*search->pageQuery().database());
        } else {
            const std::optional<qint64> total = search->totalRecords();
            if (!total || *total == 0) return dialogs.warn(this, io::noPersonalRecordsMessage());
            if (!dialogs.ask(this, io::exportAllQuestion(*total))) return;
        }
    } catch (const db::Error& e) {
        return dialogs.warn(this, e.message());
    }

    platform::Dialogs::FileOptions options;
    options.title = QStringLiteral("Export do vCard");
    options.fileName = QStringLiteral("kontakty.vcf");
    options.filter = kVCardFilter;
    options.defaultExtension = QStringLiteral("vcf");
    options.confirmOverwrite = true;
    const auto chosen = dialogs.saveFile(this, options);
    if (!chosen) return;

    io::VCardExport written;
    try {
        written = io::exportVCards(*personalDatabase(), ids, chosen->path);
    } catch (const db::Error& e) {
        return dialogs.warn(this, e.message());
    }
    if (!written.error.isEmpty())
        return dialogs.warn(this, io::exportFailedMessage(chosen->path, written.error));
    dialogs.inform(this, io::resultMessage(chosen->path, written.written));
}

void MainWindow::importVCard() {
    if (searchRunning()) return;
    platform::Dialogs& dialogs = m_app.dialogs();
    PersonalSearch* search = m_personalPage->search();
    if (!personalDatabase() || !search || !search->isReady())
        return dialogs.warn(this, io::personalNotReadyMessage());

    platform::Dialogs::FileOptions options;
    options.title = QStringLiteral("Import z vCard");
    options.filter = kVCardFilter;
    options.defaultExtension = QStringLiteral("vcf");
    const auto chosen = dialogs.openFile(this, options);
    if (!chosen) return;

    // The progress window, modal over this one, takes the input while the
    // file is read and the records are posted; its Cancel stops after the record in hand.
    const bool fresh = search->needsFreshTable(PersonalSearch::FreshTableRule::Import);
    io::VCardImport imported;
    QString failure;
    {
        ImportProgressDialog progress(this, 0);
        try {
            imported =
                io::importVCards(*search, chosen->path, m_personalPage->pageSize(), progress.progress());
        } catch (const db::Error& e) {
            failure = e.message();
        }
    }
    if (!failure.isEmpty()) {
        m_personalPage->editorChanged(fresh);
        return dialogs.warn(this, failure);
    }
    if (!imported.refused.isEmpty()) return dialogs.warn(this, imported.refused);
    m_personalPage->editorChanged(imported.outcome.freshTable);
    // The Vlastní page shows the new records and the new total.
    if (m_tabs->currentIndex() == 2)
        pageChanged(2);
    else
        m_tabs->setCurrentIndex(2);
    io::reportOutcome(dialogs, this, imported.outcome);
}
