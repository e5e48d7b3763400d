// Writing the marked records of a result page to a text file: the page's
// "&Export" asks for the format and the file, the export logic writes it, the
// main window shows the outcome and remembers the folder.
#include "MainWindow.h"

#include "Application.h"
#include "Dialogs.h"
#include "Error.h"
#include "SettingsStore.h"

#include "DataGrid.h"
#include "Export.h"
#include "ExportDialog.h"
#include "ResultPage.h"

#include <QFileInfo>
#include <QPushButton>
#include <QScopeGuard>

using platform::Access;
using platform::Root;

namespace {

// What each page's export writes.
io::ExportKind exportOf(Limits::List list) {
    switch (list) {
    case Limits::List::Persons:
        return io::ExportKind::Persons;
    case Limits::List::Firms:
        return io::ExportKind::Firms;
    case Limits::List::Personal:
        break;
    }
    return io::ExportKind::Personal;
}

} // namespace

void MainWindow::exportMarked(ResultPage* page) {
    // The page's search stays off while the export runs; whichever way it
    // ends, the search comes back and the grid has the focus.
    QPushButton* search = page->searchButton();
    search->setEnabled(false);
    const auto finish = qScopeGuard([search, page] {
        search->setEnabled(true);
        page->grid()->setFocus();
    });
    const io::ExportKind kind = exportOf(page->limitsList());
    ExportDialog* dialog = kind == io::ExportKind::Personal ? m_personalExportDialog : m_exportDialog;
    db::Database* results = page->resultsDatabase();
    platform::Dialogs& dialogs = m_app.dialogs();
    if (page->markedCount() == 0 || !results) {
        dialogs.warn(this, io::noMarksMessage());
        return;
    }
    if (dialog->exec() != QDialog::Accepted) return;

    const io::ExportDescription& description = io::ExportDescription::of(kind);
    const io::FormatDescription& format = io::describe(dialog->format());
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
    request.kind = kind;
    request.format = dialog->format();
    request.width = dialog->width();
    request.address = dialog->address();
    request.target = io::targetFile(chosen->path, chosen->filterIndex);
    // The save dialog asked about the name as typed; a forced extension can
    // name another file, which must not be replaced unasked.
    if (request.target != chosen->path && QFileInfo::exists(request.target) &&
        !dialogs.ask(this, io::replaceQuestion(request.target)))
        return;
    request.searchLimit = page->searchLimit();
    int written = 0;
    int lost = 0;
    try {
        written = io::runExport(*results, request);
        if (written > 0) lost = io::valuesOutsideCodePage(*results, request);
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
