// Reading personal contacts from files: the Vlastní page's "I&mport" opens the
// import window for text files, which posts the records through the page's
// personal cursor; the "Soubor" menu imports vCard files and the personal
// database of the earlier installation the same way. The page then shows the
// new records with its counts.
#include "MainWindow.h"

#include "Application.h"
#include "Dialogs.h"

#include "ImportDialog.h"
#include "ImportProgressDialog.h"
#include "OldPersonalDatabase.h"
#include "PersonalPage.h"
#include "PersonalSearch.h"
#include "VCardFiles.h"

#include <QPushButton>
#include <QTabWidget>

void MainWindow::connectImport(ImportDialog* dialog) {
    ImportDialog::Services services;
    services.dialogs = &m_app.dialogs();
    services.settings = &m_app.settings();
    services.personal = [this] { return m_personalPage->search(); };
    services.pageSize = [this] { return m_personalPage->pageSize(); };
    services.imported = [this](bool freshTable) { m_personalPage->editorChanged(freshTable); };
    dialog->attach(std::move(services));
}

void MainWindow::importFromFile(const QString& title, const QString& filter, const QString& extension,
                                const FileImporter& import) {
    if (searchRunning()) return;
    platform::Dialogs& dialogs = m_app.dialogs();
    PersonalSearch* search = m_personalPage->search();
    if (!personalDatabase() || !search || !search->isReady())
        return dialogs.warn(this, io::personalNotReadyMessage());

    platform::Dialogs::FileOptions options;
    options.title = title;
    options.filter = filter;
    options.defaultExtension = extension;
    const auto chosen = dialogs.openFile(this, options);
    if (!chosen) return;

    // The progress window, modal over this one, takes the input while the
    // file is read and the records are posted; its Cancel stops after the record in hand.
    io::FileImport imported;
    {
        ImportProgressDialog progress(this, 0);
        imported = import(*search, chosen->path, m_personalPage->pageSize(), progress.progress());
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

void MainWindow::importOldDatabase() {
    importFromFile(
        QStringLiteral("Import ze starší vlastní databáze"),
        QStringLiteral("Vlastní databáze|*.mdb|Všechny soubory|*.*"), QStringLiteral("mdb"),
        [](PersonalSearch& search, const QString& path, int pageSize, const io::ImportProgress& progress) {
            return io::importOldDatabase(search, path, pageSize, progress);
        });
}
