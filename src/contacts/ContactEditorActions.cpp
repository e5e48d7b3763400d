// What the contact editor does: it shows the values of ContactEditing, writes
// typed text back, applies the focus rules, runs save, back, new, delete,
// next and previous with their messages, and asks before closing.

#include "ContactEditor.h"

#include "AlphabetBar.h"
#include "Application.h"
#include "Dialogs.h"
#include "Error.h"
#include "PageWidgets.h"
#include "PersonalPage.h"
#include "PersonalRecords.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include <utility>

namespace {

using contact_editing::AddressKind;
using contact_editing::Field;

// Where the editor opens, from the main window's top-left corner.
constexpr QPoint kOffset(45, 120);
// The memo shows its scroll bar from this many lines on.
constexpr int kMemoScrollLines = 7;

} // namespace

void ContactEditor::attach(Application& app, PersonalPage* page) {
    m_app = &app;
    m_page = page;
    m_records = std::make_unique<PersonalRecords>(*page->search());
    m_editing = std::make_unique<ContactEditing>(*page->search(), *m_records);
    connect(page, &PersonalPage::editRequested, this, &ContactEditor::editCurrent);
    connect(page, &PersonalPage::addRequested, this, &ContactEditor::addRecord);
}

void ContactEditor::connectActions() {
    for (int i = 0; i < contact_editing::kFieldCount; ++i) {
        QLineEdit* edit = m_fields[i];
        if (!edit) continue;
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (m_editing) m_editing->setText(Field(i), text);
        });
    }
    connect(m_memo, &QPlainTextEdit::textChanged, this, [this] {
        updateMemoScrollBar();
        if (m_editing && !m_showing) m_editing->setText(Field::Info, m_memo->toPlainText());
    });
    for (int k = 0; k < 3; ++k)
        for (ClickableLabel* picture : m_kindPictures[k])
            connect(picture, &ClickableLabel::clicked, this, [this, k] { selectKind(AddressKind(k)); });

    connect(button(Button::Save), &QPushButton::clicked, this, [this] { run(&ContactEditing::save); });
    connect(button(Button::Back), &QPushButton::clicked, this, [this] { run(&ContactEditing::back); });
    connect(button(Button::New), &QPushButton::clicked, this, [this] { run(&ContactEditing::newRecord); });
    connect(button(Button::Next), &QPushButton::clicked, this, [this] { run(&ContactEditing::next); });
    connect(button(Button::Previous), &QPushButton::clicked, this,
            [this] { run(&ContactEditing::previous); });
    connect(button(Button::Delete), &QPushButton::clicked, this, &ContactEditor::removeShown);
    connect(m_alphabet, &AlphabetBar::letterClicked, this,
            [this](QChar letter) { listFromEditor([this, letter] { m_page->listLetter(letter); }); });
    connect(m_allRecords, &ClickableLabel::clicked, this,
            [this] { listFromEditor([this] { m_page->listAll(); }); });
}

// ---- opening ------------------------------------------------------------------------

void ContactEditor::editCurrent() {
    if (!m_editing || isVisible()) return;
    openOn(std::nullopt, false);
}

void ContactEditor::addRecord() {
    if (!m_editing || isVisible()) return;
    PersonalRecords::Addition added;
    try {
        added = m_records->add(m_page->search()->state().pageSize);
    } catch (const db::Error& e) {
        m_page->editorChanged(false);
        m_app->dialogs().warn(window(), e.message());
        return;
    }
    if (!added.added) {
        m_app->dialogs().inform(parentWidget(), PersonalRecords::limitMessage());
        return;
    }
    m_page->editorChanged(added.freshTable);
    openOn(AddressKind::Home, true);
}

void ContactEditor::openTransferred(AddressKind kind, bool freshTable) {
    if (!m_editing) return;
    m_page->editorChanged(freshTable);
    openOn(kind, true);
}

void ContactEditor::openOn(std::optional<AddressKind> preselected, bool newRecord) {
    m_warningPending = false;
    if (m_releaseWatch) qApp->removeEventFilter(m_releaseWatch);
    m_editing->open(preselected, newRecord);
    showValues();
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr)
        move(main->geometry().topLeft() + kOffset);
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    field(Field::Surname)->setFocus();
}

// ---- showing the model --------------------------------------------------------------

void ContactEditor::showValues() {
    m_showing = true;
    for (int i = 0; i < contact_editing::kFieldCount; ++i) {
        const Field f = Field(i);
        const QString text = m_editing ? m_editing->text(f) : QString();
        if (f == Field::Info) {
            if (m_memo->toPlainText() != text) m_memo->setPlainText(text);
        } else if (m_fields[i]->text() != text) {
            m_fields[i]->setText(text);
            m_fields[i]->setCursorPosition(0);
        }
    }
    m_showing = false;
    updateMemoScrollBar();
    showKind();
    showNavigation();
}

void ContactEditor::showKind() {
    const std::optional<AddressKind> kind = m_editing ? m_editing->selectedKind() : std::nullopt;
    for (int k = 0; k < 3; ++k) {
        const bool selected = kind && int(*kind) == k;
        ClickableLabel* shown = m_kindPictures[k][selected ? 1 : 0];
        ClickableLabel* hidden = m_kindPictures[k][selected ? 0 : 1];
        shown->setVisible(true);
        // A picture chosen from the keyboard hands the focus to the one
        // that takes its place, before it hides.
        if (hidden->hasFocus()) shown->setFocus(Qt::OtherFocusReason);
        hidden->setVisible(false);
    }
}

void ContactEditor::showNavigation() {
    const ContactEditing::Navigation n = m_editing ? m_editing->navigation() : ContactEditing::Navigation{};
    button(Button::Previous)->setEnabled(n.previousEnabled);
    button(Button::Next)->setEnabled(n.nextEnabled);
}

void ContactEditor::updateMemoScrollBar() {
    const bool many = m_memo->document()->blockCount() >= kMemoScrollLines;
    m_memo->setVerticalScrollBarPolicy(many ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

// ---- fields -----------------------------------------------------------------------------

std::optional<Field> ContactEditor::fieldOf(QObject* widget) const {
    for (int i = 0; i < contact_editing::kFieldCount; ++i)
        if (m_fields[i] && m_fields[i] == widget) return Field(i);
    return std::nullopt;
}

namespace {

// Whether the focus moved because of the user: the Tab keys, a click or a
// shortcut. A window shown again, activated, or covered by a message box
// moves the focus too, and so does the program itself; none of that is the
// user entering or leaving a field. A dialog shown again also tells the field
// that last had its focus that it got it back (with the Tab reason) before the
// field really has it.
bool movedByUser(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) return false;
    switch (static_cast<QFocusEvent*>(event)->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::ShortcutFocusReason:
        break;
    default:
        return false;
    }
    return event->type() == QEvent::FocusOut || static_cast<QWidget*>(watched)->hasFocus();
}

// Calls back when a mouse button is released anywhere in the program, while
// it is installed on the application.
class ReleaseWatch : public QObject {
  public:
    ReleaseWatch(std::function<void()> released, QObject* parent)
        : QObject(parent), m_released(std::move(released)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            qApp->removeEventFilter(this);
            m_released();
        }
        return false;
    }

  private:
    std::function<void()> m_released;
};

} // namespace

bool ContactEditor::eventFilter(QObject* watched, QEvent* event) {
    if (movedByUser(watched, event)) {
        if (const std::optional<Field> f = fieldOf(watched); f && m_editing && isVisible()) {
            if (event->type() == QEvent::FocusIn)
                fieldEntered(*f);
            else
                fieldLeft(*f);
        }
    }
    return QDialog::eventFilter(watched, event);
}

// The field's box shows what the model holds; the model is the one copy of
// the values, the box only mirrors it.
void ContactEditor::showField(Field which) {
    QLineEdit* edit = field(which);
    const QString text = m_editing->text(which);
    if (edit->text() != text) edit->setText(text);
}

void ContactEditor::fieldEntered(Field which) {
    m_editing->enterField(which);
    showField(which);
}

void ContactEditor::fieldLeft(Field which) {
    m_editing->leaveField(which);
    showField(which);
    if (contact_editing::isEmailField(which) && contact_editing::emailNeedsWarning(m_editing->text(which)))
        warnAboutEmail();
}

// A message box that comes up while a mouse button is down takes its release,
// and the click that moved the focus (on "Uložit", ">" …) would be lost: the
// warning waits until the button is up.
void ContactEditor::warnAboutEmail() {
    m_warningPending = true;
    if (QGuiApplication::mouseButtons() == Qt::NoButton) {
        showPendingWarning();
        return;
    }
    // After the release the warning comes before the action the click set off
    // (each action shows it first), or on its own.
    if (!m_releaseWatch)
        m_releaseWatch = new ReleaseWatch(
            [this] {
                QMetaObject::invokeMethod(this, &ContactEditor::showPendingWarning, Qt::QueuedConnection);
            },
            this);
    qApp->installEventFilter(m_releaseWatch);
}

void ContactEditor::showPendingWarning() {
    if (!std::exchange(m_warningPending, false)) return;
    if (m_releaseWatch) qApp->removeEventFilter(m_releaseWatch);
    m_app->dialogs().warn(this, contact_editing::emailWarning());
}

// What every action of the editor starts with: a pending warning is shown,
// and the field being typed in gets its leave rules before the values are used.
void ContactEditor::beforeAction() {
    showPendingWarning();
    if (const std::optional<Field> f = fieldOf(focusWidget())) {
        m_editing->leaveField(*f);
        showField(*f);
    }
}

void ContactEditor::selectKind(AddressKind kind) {
    if (!m_editing) return;
    // The address field being typed in keeps its text in its own kind.
    if (const std::optional<Field> f = fieldOf(focusWidget()); f && contact_editing::isAddressField(*f))
        fieldLeft(*f);
    m_editing->selectKind(kind);
    showValues();
}

// ---- operations -------------------------------------------------------------------------

void ContactEditor::run(ContactEditing::Outcome (ContactEditing::*operation)()) {
    if (!m_editing) return;
    beforeAction();
    finish(((*m_editing).*operation)());
}

// Shows what an operation left: the page's rows and label, the editor's
// values; then its message, or the closing it asks for. False when the
// operation failed.
bool ContactEditor::finish(const ContactEditing::Outcome& outcome) {
    m_page->editorChanged(outcome.pageRestarted);
    if (!outcome && outcome.fieldKind) m_editing->selectKind(*outcome.fieldKind);
    showValues();
    if (!outcome) {
        if (outcome.result == ContactEditing::Result::LimitReached)
            m_app->dialogs().inform(this, outcome.message);
        else
            m_app->dialogs().warn(this, outcome.message);
        if (outcome.field) {
            QWidget* target =
                *outcome.field == Field::Info ? static_cast<QWidget*>(m_memo) : field(*outcome.field);
            target->setFocus();
        }
        return false;
    }
    if (outcome.close) closeEditor();
    return true;
}

void ContactEditor::removeShown() {
    if (!m_editing || !m_editing->hasRecord()) return;
    showPendingWarning();
    if (!m_app->dialogs().ask(this, contact_editing::deleteQuestion())) return;
    finish(m_editing->remove());
}

// A listing started from the editor replaces the page. The shown record is
// stored first, as next and previous store it; when that fails the editor
// stays as it is, with the message, and nothing is listed.
void ContactEditor::listFromEditor(const std::function<void()>& listing) {
    if (!m_editing) return;
    beforeAction();
    if (!finish(m_editing->storeBeforeListing())) return;
    m_page->guarded(listing);
    m_editing->listingReplaced();
    showValues();
}

// ---- closing ------------------------------------------------------------------------------

// Escape and the close box: asks about changed values; Yes saves (the editor
// stays open when the save fails), No takes the changes back. Without changes
// a record added for this editing and left empty goes again.
void ContactEditor::reject() {
    if (!m_editing) {
        closeEditor();
        return;
    }
    showPendingWarning();
    ContactEditing::Outcome outcome;
    if (m_editing->asksBeforeClosing()) {
        if (const std::optional<Field> f = fieldOf(focusWidget())) fieldLeft(*f);
        const bool yes = m_app->dialogs().ask(this, contact_editing::closeQuestion());
        outcome = yes ? m_editing->save() : m_editing->back();
    } else {
        outcome = m_editing->closeUnchanged();
    }
    if (!finish(outcome) || outcome.close) return;
    closeEditor();
}

void ContactEditor::closeEditor() {
    if (m_editing) m_editing->closed();
    QDialog::reject();
    if (m_page) m_page->editorChanged(false);
}
