#include "MainWindow.h"
#include "WindowPlacement.h"

#include "Application.h"
#include "Dialogs.h"
#include "Error.h"
#include "SettingsStore.h"
#include "Shell.h"
#include "ShownReport.h"
#include "Startup.h"

#include "DiscCopyDialog.h"
#include "Help.h"
#include "LimitsDialog.h"
#include "ProductInfoDialog.h"

#include "PointingHandCursor.h"
#include "ShortcutDispatcher.h"
#include "ShortcutListDialog.h"

#include "DirectoryPage.h"
#include "NumberPicker.h"

#include "ColumnsDialog.h"
#include "ContactEditor.h"
#include "PersonalPage.h"
#include "PrivateFolder.h"

#include "ExportDialog.h"
#include "ImportDialog.h"
#include "PersonalExportDialog.h"
#include "PrintParametersDialog.h"

#include "InformationPage.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {

using platform::Access;
using platform::Root;

const QString kPozice = platform::kProgramKey + QStringLiteral("Pozice");
const QString kCloseQuestion = QStringLiteral("Opravdu chcete program Ordana 2004 Velto ukončit?     ");
const QString& kStoppingCaption = maker::kStoppingCaption;
const QString kDirectoryFailed = QStringLiteral("Databázi nelze otevřít. Zkontrolujte, zda máte nastavena "
                                                "síťová práva pro zápis do souborů ordat.mdb, ordat.ldb a "
                                                "ordat.mdw a že jejich atribut není nastaven pouze pro "
                                                "čtení. Případně proveďte novou instalaci sdílené databáze.");
const QString kPersonalFailed = QStringLiteral(
    "Vlastní databázi nelze otevřít. Zkontrolujte, zda máte nastavena síťová práva pro zápis do souboru "
    "vlastni.mdb a "
    "že jejich atribut není nastaven pouze pro čtení. Případně proveďte novou instalaci programu.");
const QString kSettingsNotStored = QStringLiteral("Nastavení programu nelze uložit do klíče registru „%1“.");
const QString kScratchTitle = QStringLiteral("Vyberte disk a adresář pro odkládací soubor");
const QString kNoScratch = QStringLiteral("Bez adresáře pro odkládací soubory nelze program spustit.");
// The fifth tab opens the maker's page of this edition.
const QString kWebTabCaption = QStringLiteral("    Na &webu    ");
const QString kWebAddress = QStringLiteral("https://www.kestrava.cz/ordana2004/velto");

// The controls the window names on each page, by tab index: the page's name
// kept in the application state (also the page's objectName), the field that
// gets the focus when the page is entered and, on the three result pages (in
// the order of the limits' lists), the search button (a page change is
// refused while one is disabled), the exit button, the limits summary and the
// paging buttons whose hints follow the limits.
const struct PageControls {
    const char* name;
    const char* firstField;
    const char* search = nullptr;
    const char* exit = nullptr;
    const char* limits = nullptr;
    const char* previous = nullptr;
    const char* next = nullptr;
} kPages[] = {
    {"osoby", "prijmeni", "Button1", "Button2", "status_o", "Button11", "Button12"},
    {"firmy", "firma", "Button6", "Button15", "status_f", "Button13", "Button14"},
    {"vlastni", "prijmeni_v", "BitBtn3", "BitBtn8", "status_v", "Button4", "Button8"},
    {"informace", "Edit1"},
};
constexpr int kResultPages = 3;
// The personal page's count of records.
const char* const kRecordCount = "Label57";

QString latin1(const char* name) {
    return QString::fromLatin1(name);
}

// The tab index of a page name; -1 for none.
int pageIndex(const QString& pageName) {
    for (int i = 0; i < int(std::size(kPages)); ++i)
        if (pageName == QLatin1String(kPages[i].name)) return i;
    return -1;
}

} // namespace

MainWindow::MainWindow(Application& app, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_connections(std::make_unique<Connections>(app)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kMainCaption);
    buildMenus();
    // The designed client area lies below the menu bar, so the bar is measured
    // once it holds its menus.
    resize(752, 431 + menuBar()->sizeHint().height());
    setMinimumSize(760 - 8, 485 - 54);
    buildTabs();
    // The number picker serves every page; the other windows are made once
    // the first frame is on the screen.
    m_picker = new NumberPicker(this);
    m_picker->hide();
    m_help = std::make_unique<Help>(m_app);
    connectShortcuts();
    // The page shown first is built now, the others once the first frame is
    // on the screen (or when asked for).
    buildPage(storedPage().value_or(m_tabs->currentIndex()));
    new PointingHandCursor(this);

    // The paging hints follow every change of the limits; the summaries are
    // rewritten when the limits dialog is saved.
    connect(&m_app.limits(), &Limits::changed, this, [this] { updatePagingHints(); });
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    // Removing the pages below must not count as the user changing pages.
    disconnect(m_tabs, nullptr, this, nullptr);
    // The pages hold datasets on the connections below: they go first.
    delete m_persons;
    delete m_firms;
    delete m_personalPage;
    // Datasets close with their connections; the working files go with the run.
    m_connections.reset();
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("So&ubor"));
    file->addAction(QStringLiteral("&Databáze z CD na disk"), this, [this] {
        m_discCopy->exec();
        // A new copy may have mended a path that failed before.
        m_connections->forgetFailedDirectory();
        reopenDirectoryIfMoved();
    });
    file->addAction(QStringLiteral("&Export do vCard…"), this, &MainWindow::exportVCard)
        ->setObjectName(QStringLiteral("vcardExport"));
    file->addAction(QStringLiteral("&Import z vCard…"), this, &MainWindow::importVCard)
        ->setObjectName(QStringLiteral("vcardImport"));
    file->addAction(QStringLiteral("Import ze &starší vlastní databáze…"), this,
                    &MainWindow::importOldDatabase)
        ->setObjectName(QStringLiteral("oldDatabaseImport"));
    file->addAction(QStringLiteral("&Konec"), this, &QWidget::close);
    QMenu* settings = menuBar()->addMenu(QStringLiteral("N&astavení"));
    settings->addAction(QStringLiteral("&Parametry prostředí"), this, [this] { m_limitsDialog->exec(); });
    QMenu* help = menuBar()->addMenu(QStringLiteral("Nápově&da"));
    help->addAction(QStringLiteral("Obsah &nápovědy"), this, [this] { m_help->openContents(); });
    help->addAction(QStringLiteral("&Klávesové zkratky"), this, [this] { shortcutList()->exec(); });
    help->addAction(QStringLiteral("&Otázky a odpovědi"), this, [this] { m_help->openQuestions(); });
    help->addAction(QStringLiteral("O &produktu"), this, [this] { m_productInfo->exec(); });
}

void MainWindow::buildTabs() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    // The pages are the program's "listy", as the shortcut list calls them.
    m_tabs->setAccessibleName(QStringLiteral("Listy"));
    m_tabs->setDocumentMode(true);
    // A stand-in holds each page's tab until the page is built.
    for (const QString& caption : {QStringLiteral("    &Osoby    "), QStringLiteral("    &Firmy    "),
                                   QStringLiteral("    &Vlastní    "), QStringLiteral("    &Informace    ")})
        m_tabs->addTab(new QWidget(m_tabs), caption);
    m_webTab = new QWidget(m_tabs);
    m_webTab->setObjectName(QStringLiteral("web"));
    m_tabs->addTab(m_webTab, kWebTabCaption);
    m_tabs->setCurrentIndex(1); // the firms page is the designed active page
    m_lastTab = m_tabs->currentIndex();
    setCentralWidget(m_tabs);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::pageChanged);
}

void MainWindow::finishBuilding() {
    for (int i = 0; i < int(std::size(kPages)); ++i)
        buildPage(i);
    createWindows();
}

void MainWindow::buildPage(int index) {
    QWidget* page = nullptr;
    switch (index) {
    case 0:
    case 1: {
        DirectoryPage*& directory = index == 0 ? m_persons : m_firms;
        if (directory) return;
        directory = new DirectoryPage(
            index == 0 ? DirectoryPageDescription::persons() : DirectoryPageDescription::firms(), m_tabs);
        page = directory;
        // The directory pages search on the directory connection, re-opened
        // first when the database has moved (after a copy to the hard disk).
        DirectorySearch::Services services;
        services.directory = [this] {
            reopenDirectoryIfMoved();
            return m_connections->directory();
        };
        directory->attach(m_app, services, m_picker);
        connectTransfers(directory);
        connectPageCommands(directory);
        break;
    }
    case 2:
        if (m_personalPage) return;
        m_personalPage = new PersonalPage(m_tabs);
        page = m_personalPage;
        connectPersonalPage();
        break;
    case 3:
        if (m_information) return;
        m_information = new InformationPage(m_tabs);
        page = m_information;
        connectInformation();
        break;
    default:
        return;
    }
    // The page takes its stand-in's place; that is no change of page.
    {
        QSignalBlocker block(m_tabs);
        const int current = m_tabs->currentIndex();
        const QString caption = m_tabs->tabText(index);
        QWidget* standIn = m_tabs->widget(index);
        m_tabs->removeTab(index);
        m_tabs->insertTab(index, page, caption);
        m_tabs->setCurrentIndex(current);
        delete standIn;
    }
    PointingHandCursor::applyToTree(page);
    if (index < kResultPages) {
        auto* resultPage = static_cast<ResultPage*>(page);
        connect(resultPage->printButton(), &QPushButton::clicked, this,
                [this, resultPage] { printLabels(resultPage); });
        connect(resultPage->exportButton(), &QPushButton::clicked, this,
                [this, resultPage] { exportMarked(resultPage); });
        // The exit button closes the window, with the closing question.
        if (auto* b = page->findChild<QPushButton*>(latin1(kPages[index].exit)))
            connect(b, &QPushButton::clicked, this, &QWidget::close);
        // A click on the limits summary opens the limits dialog.
        if (auto* l = page->findChild<QLabel*>(latin1(kPages[index].limits))) l->installEventFilter(this);
        setWorkingDatabases(index);
        if (m_shownOnce) updateLimitLabels();
    }
}

void MainWindow::createWindows() {
    if (m_discCopy) return;
    // The other windows, created hidden in their fixed order; the shortcut
    // list, the import window and the contact editor when first needed.
    m_discCopy = new DiscCopyDialog(m_app, this);
    m_productInfo = new ProductInfoDialog(m_app, this);
    m_limitsDialog = new LimitsDialog(m_app, this);
    m_exportDialog = new ExportDialog(this);
    auto* columns = new ColumnsDialog(this);
    m_personalExportDialog = new PersonalExportDialog(this);
    m_printParameters = new PrintParametersDialog(this);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_discCopy, m_productInfo, m_limitsDialog, m_exportDialog, columns,
                                         m_personalExportDialog, m_printParameters}) {
        w->hide();
        PointingHandCursor::applyToTree(w);
    }
    if (m_app.directoryDbOnDisk) m_discCopy->markDone();
    // The summaries are rewritten when the limits dialog is saved.
    connect(m_limitsDialog, &LimitsDialog::saved, this, [this] { updateLimitLabels(); });
}

void MainWindow::connectPersonalPage() {
    // The personal page lists the records of the personal database.
    PersonalSearch::Services services;
    services.personal = [this] { return m_connections->personal(); };
    m_personalPage->attach(m_app, services, m_picker);
    // The contact editor is made at the first edit, addition or transfer; the
    // request that makes it is passed on to it.
    connect(m_personalPage, &PersonalPage::editRequested, this, [this] {
        if (!m_contactEditor) contactEditor()->editCurrent();
    });
    connect(m_personalPage, &PersonalPage::addRequested, this, [this] {
        if (!m_contactEditor) contactEditor()->addRecord();
    });
    connect(m_personalPage->button(PersonalPage::Button::Import), &QPushButton::clicked, this,
            [this] { importDialog()->exec(); });
    PersonalPage* personal = m_personalPage;
    ShortcutDispatcher::PageCommands commands;
    commands.copyLabel = [personal] { personal->guarded([personal] { personal->copyAll(); }); };
    commands.toggleMark = [personal] { personal->guarded([personal] { personal->toggleMark(); }); };
    // Every column shown again, in the default set.
    commands.switchColumnSet = [personal] {
        personal->guarded([personal] { personal->restoreDefaultColumns(); });
    };
    m_shortcutKeys->setCommands(personal->objectName(), commands);
}

void MainWindow::connectPageCommands(DirectoryPage* page) {
    ShortcutDispatcher::PageCommands commands;
    commands.countMatches = [page] { page->countMatches(); };
    commands.copyLabel = [page] { page->guarded([page] { page->copyAll(); }); };
    commands.toggleMark = [page] { page->guarded([page] { page->toggleMark(); }); };
    commands.switchColumnSet = [page] { page->guarded([page] { page->switchColumnSet(); }); };
    m_shortcutKeys->setCommands(page->objectName(), commands);
}

void MainWindow::setWorkingDatabases(int index) {
    const auto working = [this](db::WorkingKind kind) { return m_connections->working(kind); };
    // None exist until the scratch folder is chosen.
    if (!working(db::WorkingKind::PersonsResult)) return;
    if (index == 0 && m_persons)
        m_persons->setWorkingDatabases(working(db::WorkingKind::PersonsResult),
                                       working(db::WorkingKind::PersonsBuffer));
    if (index == 1 && m_firms)
        m_firms->setWorkingDatabases(working(db::WorkingKind::FirmsResult),
                                     working(db::WorkingKind::FirmsBuffer));
    if (index == 2 && m_personalPage)
        m_personalPage->setWorkingDatabase(working(db::WorkingKind::PersonalResult));
}

std::optional<int> MainWindow::storedPage() const {
    auto key = m_app.settings().open(Root::CurrentUser, kPozice, Access::Read);
    if (!key) return std::nullopt;
    bool ok = false;
    const int tab = key->readString(QStringLiteral("TABS")).value_or(QString()).toInt(&ok);
    return ok && tab >= 0 && tab < 4 ? std::optional<int>(tab) : std::nullopt;
}

ShortcutListDialog* MainWindow::shortcutList() {
    if (!m_shortcuts) {
        m_shortcuts = new ShortcutListDialog(this);
        m_shortcuts->hide();
    }
    return m_shortcuts;
}

ContactEditor* MainWindow::contactEditor() {
    if (!m_contactEditor) {
        finishBuilding();
        // Its own connections to the page's requests serve the later ones.
        m_contactEditor = new ContactEditor(this);
        m_contactEditor->hide();
        m_contactEditor->attach(m_app, m_personalPage);
    }
    return m_contactEditor;
}

ImportDialog* MainWindow::importDialog() {
    if (!m_importDialog) {
        m_importDialog = new ImportDialog(this);
        m_importDialog->hide();
        connectImport(m_importDialog);
    }
    return m_importDialog;
}

// ---- first show -------------------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shownOnce) return;
    m_shownOnce = true;
    firstShow();
}

void MainWindow::firstShow() {
    setWindowTitle(kMainCaption);
    applyStoredPlacement();
    m_app.limits().fillEmpty();
    updateLimitLabels();
    if (auto* f =
            m_tabs->currentWidget()->findChild<QWidget*>(latin1(kPages[m_tabs->currentIndex()].firstField)))
        f->setFocus();
    // The databases open once the window is on the screen: the user sees the
    // window while they open, and any question or message has it behind.
    platform::whenFirstExposed(*this, [this] { openDatabases(); });
}

void MainWindow::openDatabases() {
    // Ended before its first frame was painted: nothing is opened any more.
    if (m_closing) return;
    finishBuilding();
    const auto failed = m_connections->start(
        platform::privateFolder(), [this] { return m_app.dialogs().selectFolder(this, kScratchTitle); });
    // The working databases exist once the scratch folder is chosen.
    for (int i = 0; i < kResultPages; ++i)
        setWorkingDatabases(i);
    if (failed == Connections::Step::ScratchFolder) return endProgram(kNoScratch);
    if (failed == Connections::Step::Directory) return endProgram(kDirectoryFailed);
    if (failed == Connections::Step::Personal) return endProgram(kPersonalFailed);
    pageChanged(m_tabs->currentIndex());
    m_ready = true;
    emit ready();
}

void MainWindow::applyStoredPlacement() {
    auto key = m_app.settings().open(Root::CurrentUser, kPozice, Access::Read);
    if (!key) {
        // First start: the designed size, centred.
        if (const QScreen* s = screen())
            setGeometry(
                QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), s->availableGeometry()));
        settings::keepNormalFrame(this);
        return;
    }
    const QRect screenRect = screen() ? screen()->geometry() : QRect(0, 0, 1024, 768);
    // The stored values are the outer frame; a value out of range keeps the designed one.
    const auto within = [](std::optional<int> v, int low, int high) {
        return v && *v >= low && *v <= high ? v : std::nullopt;
    };
    const std::optional<int> w = key->readInt(QStringLiteral("W"));
    const std::optional<int> h = key->readInt(QStringLiteral("H"));
    settings::FramePlacement placement;
    placement.x = within(key->readInt(QStringLiteral("X")), 0, screenRect.width() - 1);
    placement.y = within(key->readInt(QStringLiteral("Y")), 0, screenRect.height() - 1);
    if (w == 0 || h == 0) {
        placement.maximized = true;
    } else {
        placement.width = within(w, 760, screenRect.width());
        placement.height = within(h, 400, screenRect.height());
    }
    settings::restoreFrame(this, placement);

    Limits& limits = m_app.limits();
    const struct {
        const char* value;
        Limits::List list;
        Limits::Kind kind;
    } fields[] = {{"MAX_O", Limits::List::Persons, Limits::Kind::Displayed},
                  {"MAX_F", Limits::List::Firms, Limits::Kind::Displayed},
                  {"MAX_V", Limits::List::Personal, Limits::Kind::Displayed},
                  {"MAX_V_O", Limits::List::Persons, Limits::Kind::Searched},
                  {"MAX_V_F", Limits::List::Firms, Limits::Kind::Searched},
                  {"MAX_V_V", Limits::List::Personal, Limits::Kind::Searched}};
    for (const auto& f : fields)
        limits.setText(f.list, f.kind, key->readString(QString::fromLatin1(f.value)).value_or(QString()));
    if (const std::optional<int> tab = storedPage()) {
        QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(*tab);
        m_lastTab = *tab;
    }
}

void MainWindow::reopenDirectoryIfMoved() {
    const QString failure = m_connections->reopenDirectoryIfMoved();
    if (!failure.isEmpty()) m_app.dialogs().warn(this, failure);
}

void MainWindow::endProgram(const QString& message) {
    m_startedOk = false;
    m_app.dialogs().warn(this, message);
    m_closing = true;
    emit startFailed();
    QTimer::singleShot(0, this, [this] {
        close();
        QCoreApplication::exit(1);
    });
}

void MainWindow::updateLimitLabels() {
    const Limits& limits = m_app.limits();
    for (int i = 0; i < kResultPages; ++i)
        if (auto* label = findChild<QLabel*>(latin1(kPages[i].limits)))
            label->setText(limits.summary(Limits::List(i)));
    updatePagingHints();
}

void MainWindow::updatePagingHints() {
    const Limits& limits = m_app.limits();
    for (int i = 0; i < kResultPages; ++i) {
        const auto list = Limits::List(i);
        if (auto* b = findChild<QPushButton*>(latin1(kPages[i].previous)))
            b->setToolTip(limits.previousHint(list));
        if (auto* b = findChild<QPushButton*>(latin1(kPages[i].next))) b->setToolTip(limits.nextHint(list));
    }
}

QList<MainWindow::NamedControl> MainWindow::namedControls() {
    using Kind = NamedControl::Kind;
    QList<NamedControl> controls;
    for (int i = 0; i < int(std::size(kPages)); ++i) {
        const PageControls& p = kPages[i];
        const QString page = latin1(p.name);
        controls << NamedControl{page, latin1(p.firstField), Kind::Field};
        if (i >= kResultPages) continue;
        for (const char* button : {p.search, p.exit, p.previous, p.next})
            controls << NamedControl{page, latin1(button), Kind::Button};
        controls << NamedControl{page, latin1(p.limits), Kind::Label};
    }
    controls << NamedControl{latin1(kPages[2].name), latin1(kRecordCount), Kind::Label};
    return controls;
}

// ---- pages ---------------------------------------------------------------------

bool MainWindow::searchRunning() const {
    for (int i = 0; i < kResultPages; ++i)
        if (auto* b = findChild<QPushButton*>(latin1(kPages[i].search)); b && !b->isEnabled()) return true;
    return false;
}

void MainWindow::pageChanged(int index) {
    if (index != m_lastTab && searchRunning()) {
        // No page change while a search runs.
        QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(m_lastTab);
        return;
    }
    if (index == 4) {
        m_app.shell().open(kWebAddress);
        const int back = pageIndex(m_app.currentPageName);
        if (back >= 0) {
            QSignalBlocker block(m_tabs);
            m_tabs->setCurrentIndex(back);
            m_lastTab = back;
            if (auto* f = m_tabs->widget(back)->findChild<QWidget*>(latin1(kPages[back].firstField)))
                f->setFocus();
        } else {
            m_lastTab = index;
        }
        return;
    }
    m_lastTab = index;
    if (index < 0 || index >= 4) return;
    buildPage(index);
    m_app.currentPageName = latin1(kPages[index].name);
    if (index == 3) m_information->enter();
    if (index == 2 && m_connections->personal()) {
        // The personal page shows how many records the personal table holds.
        try {
            m_app.personalRecordCount = m_connections->countPersonalRecords();
        } catch (const db::Error& e) {
            m_app.dialogs().warn(this, e.message());
        }
        if (auto* l = findChild<QLabel*>(latin1(kRecordCount)))
            l->setText(QStringLiteral("Celkový počet záznamů: ") + m_app.personalRecordCount +
                       QStringLiteral("  "));
    }
    if (auto* f = m_tabs->widget(index)->findChild<QWidget*>(latin1(kPages[index].firstField))) f->setFocus();
}

void MainWindow::connectInformation() {
    // The lists open read-only in the directory's workspace.
    m_information->attach(m_app,
                          [this](const QString& path) { return m_connections->openReferenceList(path); });
    connect(
        m_information, &InformationPage::placeHandedOver, this,
        [this](InformationPage::SearchPage target, const QString& postalCode, const QString& municipality) {
            finishBuilding();
            DirectoryPage* page = target == InformationPage::SearchPage::Persons ? m_persons : m_firms;
            page->field(DirectoryPage::Field::PostalCode)->setText(postalCode);
            page->field(DirectoryPage::Field::Town)->setText(municipality);
            m_tabs->setCurrentWidget(page);
        });
    connect(m_information, &InformationPage::firmSearchRequested, this,
            [this](const QString& pattern, bool reset) {
                finishBuilding();
                if (reset) m_firms->button(DirectoryPage::Button::Reset)->click();
                m_firms->field(DirectoryPage::Field::Name)->setText(pattern);
                m_tabs->setCurrentWidget(m_firms);
                m_firms->button(DirectoryPage::Button::Search)->click();
            });
}

// ---- closing -------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    if (!m_app.dialogs().ask(this, kCloseQuestion)) {
        event->ignore();
        return;
    }
    setWindowTitle(kStoppingCaption);
    m_app.stopRequested = true;
    if (!storeSettings()) m_app.dialogs().warn(this, kSettingsNotStored.arg(kPozice));
    m_closing = true;
    event->accept();
}

void MainWindow::endWithoutQuestion() {
    if (m_closing) return;
    setWindowTitle(kStoppingCaption);
    m_app.stopRequested = true;
    // Nobody may be there to answer a message box: the failure goes to the error output.
    if (!storeSettings()) qWarning("%s", qUtf8Printable(kSettingsNotStored.arg(kPozice)));
    m_closing = true;
    close();
}

bool MainWindow::storeSettings() {
    auto key = m_app.settings().open(Root::CurrentUser, kPozice, Access::All, /*create*/ true);
    if (!key) return false;
    // A maximized window keeps the place it returns to.
    const QRect frame = settings::normalFrame(this);
    const bool maximized = isMaximized();
    // Every value is tried; one that fails makes the whole store fail.
    bool ok = key->writeInt(QStringLiteral("X"), std::max(0, frame.x()));
    ok &= key->writeInt(QStringLiteral("Y"), std::max(0, frame.y()));
    ok &= key->writeInt(QStringLiteral("W"), maximized ? 0 : frame.width());
    ok &= key->writeInt(QStringLiteral("H"), maximized ? 0 : frame.height());
    const Limits& l = m_app.limits();
    ok &= key->writeString(QStringLiteral("MAX_O"), l.text(Limits::List::Persons, Limits::Kind::Displayed));
    ok &= key->writeString(QStringLiteral("MAX_F"), l.text(Limits::List::Firms, Limits::Kind::Displayed));
    ok &= key->writeString(QStringLiteral("MAX_V"), l.text(Limits::List::Personal, Limits::Kind::Displayed));
    ok &= key->writeString(QStringLiteral("MAX_V_O"), l.text(Limits::List::Persons, Limits::Kind::Searched));
    ok &= key->writeString(QStringLiteral("MAX_V_F"), l.text(Limits::List::Firms, Limits::Kind::Searched));
    ok &= key->writeString(QStringLiteral("MAX_V_V"), l.text(Limits::List::Personal, Limits::Kind::Searched));
    ok &= key->writeString(QStringLiteral("TABS"), QString::number(std::clamp(m_tabs->currentIndex(), 0, 3)));
    return ok;
}

// ---- keys and clicks -------------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType()) {
        const QString name = watched->objectName();
        for (int i = 0; i < kResultPages; ++i) {
            if (name == QLatin1String(kPages[i].limits)) {
                m_limitsDialog->exec();
                return true;
            }
        }
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        handleKey(static_cast<QWidget*>(watched), *static_cast<QKeyEvent*>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    QMainWindow::keyPressEvent(event);
}

namespace {

// Esc leaves the menu bar's keyboard mode and ends the editing of a grid cell
// before it can close the window.
bool keepsEscape(QWidget* receiver) {
    if (qobject_cast<QMenuBar*>(receiver)) return true;
    for (QWidget* w = receiver->parentWidget(); w; w = w->parentWidget())
        if (auto* view = qobject_cast<QAbstractItemView*>(w)) return receiver != view->viewport();
    return false;
}

} // namespace

// F1, F4 and Esc whatever the modifiers, then the Ctrl shortcuts of the
// current page. Other windows (the modal dialogs) keep their keys; F1 there
// opens their own help.
bool MainWindow::handleKey(QWidget* receiver, const QKeyEvent& key) {
    const bool here = receiver->window() == this;
    switch (key.key()) {
    case Qt::Key_F1:
        if (here)
            m_help->openContents();
        else
            openHelpForFocus();
        return true;
    case Qt::Key_F4:
    case Qt::Key_Escape:
        if (!here || (key.key() == Qt::Key_Escape && keepsEscape(receiver))) return false;
        close();
        return true;
    default:
        return here && m_shortcutKeys->dispatch(m_app.currentPageName, key);
    }
}

void MainWindow::connectShortcuts() {
    // The status message has no owner window. Each page gives its commands
    // when it is built.
    m_shortcutKeys = std::make_unique<ShortcutDispatcher>(
        this, [this](const QString& text) { m_app.dialogs().inform(nullptr, text); });
}

void MainWindow::openHelpForFocus() {
    QWidget* w = QApplication::focusWidget();
    if (!w) w = m_tabs->currentWidget();
    m_help->openForWidget(w);
}
