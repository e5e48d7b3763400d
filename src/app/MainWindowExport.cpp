// Writing the marked records of a result page to a text file: the page's
// "&Export" asks for the format and the file, the export logic writes it, the
// main window shows the outcome and remembers the folder.
#include "MainWindow.h"

#include "Application.h"
#include "Dialogs.h"
#include "Error.h"
#include "SettingsStore.h"

#include "DataGrid.h"
#include "DirectoryPage.h"
#include "Export.h"
#include "ExportDialog.h"
#include "PersonalPage.h"

#include <QFileInfo>
#include <QPushButton>
#include <QScopeGuard>

using platform::Access;
using platform::Root;

// One page's export: what it writes and the page's parts it uses.
struct MainWindow::ExportSite {
    io::ExportKind kind = io::ExportKind::Persons;
    ExportDialog* dialog = nullptr;
    QPushButton* searchButton = nullptr;
    QWidget* grid = nullptr;
    // The page's result connection and marked count; null and 0 before the
    // page has listed anything.
    db::Database* results = nullptr;
    int markedCount = 0;
    Limits::List limits = Limits::List::Persons;
};

void MainWindow::connectExports() {
    for (DirectoryPage* page : {m_persons, m_firms}) {
        connect(page->button(DirectoryPage::Button::Export), &QPushButton::clicked, this, [this, page] {
            DirectorySearch* search = page->search();
            const bool firms = page->description().forFirms;
            ExportSite site;
            site.kind = firms ? io::ExportKind::Firms : io::ExportKind::Persons;
            site.dialog = m_exportDialog;
            site.searchButton = page->button(DirectoryPage::Button::Search);
            site.grid = page->grid();
            site.results = search->isReady() ? search->pageQuery().database() : nullptr;
            site.markedCount = search->state().markedCount;
            site.limits = firms ? Limits::List::Firms : Limits::List::Persons;
            exportMarked(site);
        });
    }
    connect(m_personalPage->button(PersonalPage::Button::Export), &QPushButton::clicked, this, [this] {
        PersonalSearch* search = m_personalPage->search();
        ExportSite site;
        site.kind = io::ExportKind::Personal;
        site.dialog = m_personalExportDialog;
        site.searchButton = m_personalPage->button(PersonalPage::Button::Search);
        site.grid = m_personalPage->grid();
        site.results = search && search->isReady() ? search->pageQuery().database() : nullptr;
        site.markedCount = search ? search->state().markedCount : 0;
        site.limits = Limits::List::Personal;
        exportMarked(site);
    });
}

void MainWindow::exportMarked(const ExportSite& site) {
    // The page's search stays off while the export runs; whichever way it
    // ends, the search comes back and the grid has the focus.
    site.searchButton->setEnabled(false);
    const auto finish = qScopeGuard([&site] {
        site.searchButton->setEnabled(true);
        site.grid->setFocus();
    });
    platform::Dialogs& dialogs = m_app.dialogs();
    if (site.markedCount == 0 || !site.results) {
        dialogs.warn(this, io::noMarksMessage());
        return;
    }
    if (site.dialog->exec() != QDialog::Accepted) return;

    const io::ExportDescription& description = io::ExportDescription::of(site.kind);
    const io::FormatDescription& format = io::describe(site.dialog->format());
    platform::Dialogs::FileOptions options;
    if (auto key = m_app.settings().open(Root::CurrentUser, io::exportSettingsKey(), Access::Read))
        options.folder = key->readString(description.settingsValue).value_or(QString());
    options.fileName = description.defaultFileName;
    options.filter = io::saveFilter();
    options.filterIndex = format.filterIndex;
    options.defaultExtension = format.defaultExtension;
    options.confirmOverwrite = true;
    const auto chosen = dialogs.saveFile(this, options);
    if (!chosen) return;

    io::ExportRequest request;
    request.kind = site.kind;
    request.format = site.dialog->format();
    request.width = site.dialog->width();
    request.address = site.dialog->address();
    request.target = io::targetFile(chosen->path, chosen->filterIndex);
    // The save dialog asked about the name as typed; a forced extension can
    // name another file, which must not be replaced unasked.
    if (request.target != chosen->path && QFileInfo::exists(request.target) &&
        !dialogs.ask(this, io::replaceQuestion(request.target)))
        return;
    request.searchLimit = m_app.limits().searchLimit(site.limits);
    int written = 0;
    int lost = 0;
    try {
        written = io::runExport(*site.results, request);
        if (written > 0) lost = io::valuesOutsideCodePage(*site.results, request);
    } catch (const db::Error& e) {
        dialogs.warn(this, e.message());
        return;
    }
    dialogs.warn(this, io::resultMessage(request.target, written));
    if (lost > 0) dialogs.warn(this, io::lostCharactersMessage(lost));
    if (auto key =
            m_app.settings().open(Root::CurrentUser, io::exportSettingsKey(), Access::All, /*create*/ true))
        key->writeString(description.settingsValue, io::folderOf(request.target));
}
