// Personal contacts to and from vCard files, through the "Soubor" menu: the
// export writes the marked records of the Vlastní page (or, after a question,
// every personal record) to one file; the import posts the cards of a file
// through the page's personal cursor, as the text import does, and shows the
// page with them.
#include "MainWindow.h"

#include "Application.h"
#include "Dialogs.h"

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
    const io::VCardSelection selection = io::vcardSelection(*search);
    if (!selection.refusal.isEmpty()) return dialogs.warn(this, selection.refusal);
    if (!selection.question.isEmpty() && !dialogs.ask(this, selection.question)) return;

    platform::Dialogs::FileOptions options;
    options.title = QStringLiteral("Export do vCard");
    options.fileName = QStringLiteral("kontakty.vcf");
    options.filter = kVCardFilter;
    options.defaultExtension = QStringLiteral("vcf");
    options.confirmOverwrite = true;
    const auto chosen = dialogs.saveFile(this, options);
    if (!chosen) return;

    const io::VCardExport written = io::exportVCards(*personalDatabase(), selection.ids, chosen->path);
    if (!written.error.isEmpty()) return dialogs.warn(this, written.error);
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
    io::VCardImport imported;
    {
        ImportProgressDialog progress(this, 0);
        imported = io::importVCards(*search, chosen->path, m_personalPage->pageSize(), progress.progress());
    }
    if (!imported.refused.isEmpty()) return dialogs.warn(this, imported.refused);
    m_personalPage->editorChanged(imported.outcome.freshTable);
    // The Vlastní page shows the new records and the new total.
    if (imported.outcome.failure.isEmpty()) {
        if (m_tabs->currentWidget() == m_personalPage)
            pageChanged(m_tabs->currentIndex());
        else
            m_tabs->setCurrentWidget(m_personalPage);
    }
    showNotices(dialogs, this, io::outcomeNotices(imported.outcome));
}
