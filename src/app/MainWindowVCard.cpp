// Personal contacts to and from vCard files, through the "Soubor" menu: the
// export writes the marked records of the Vlastní page (or, after a question,
// every personal record) to one file; the import posts the cards of a file
// through the page's personal cursor, as the text import does
// (MainWindowImport.cpp), and shows the page with them.
#include "MainWindow.h"

#include "Application.h"
#include "Dialogs.h"

#include "Export.h"
#include "PersonalPage.h"
#include "VCardFiles.h"

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
    importFromFile(
        QStringLiteral("Import z vCard"), kVCardFilter, QStringLiteral("vcf"),
        [](PersonalSearch& search, const QString& path, int pageSize, const io::ImportProgress& progress) {
            return io::importVCards(search, path, pageSize, progress);
        });
}
