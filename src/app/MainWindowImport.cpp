// Reading personal contacts from a text file: the Vlastní page's "I&mport"
// opens the import window, which posts the records through the page's
// personal cursor; the page then shows them with its counts.
#include "MainWindow.h"

#include "Application.h"

#include "ImportDialog.h"
#include "PersonalPage.h"

#include <QPushButton>

void MainWindow::connectImport(ImportDialog* dialog) {
    ImportDialog::Services services;
    services.dialogs = &m_app.dialogs();
    services.settings = &m_app.settings();
    services.personal = [this] { return m_personalPage->search(); };
    services.pageSize = [this] { return m_personalPage->pageSize(); };
    services.imported = [this](bool freshTable) { m_personalPage->editorChanged(freshTable); };
    dialog->attach(std::move(services));
    connect(m_personalPage->button(PersonalPage::Button::Import), &QPushButton::clicked, dialog,
            [dialog] { dialog->exec(); });
}
