#pragma once

#include "ContactEditing.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class AlphabetBar;
class Application;
class ClickableLabel;
class PersonalPage;
class PersonalRecords;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The window with every detail of one personal contact ("Podrobnosti
// kontaktu"). Its widgets show the values ContactEditing holds for the page
// query's current row of the Vlastní page; every operation runs there, and
// this class shows its messages and questions, moves the focus and lets the
// page show what changed.
class ContactEditor : public QDialog {
    Q_OBJECT

  public:
    using Field = contact_editing::Field;
    using AddressKind = contact_editing::AddressKind;
    enum class Button { Save, Back, Next, Previous, New, Delete };

    explicit ContactEditor(QWidget* parent = nullptr);
    ~ContactEditor() override;

    // Connects the editor to the Vlastní page: the page's edit and new
    // pictures and a double click on its grid open the editor.
    void attach(Application& app, PersonalPage* page);

    // "upravit záznam": shows the page's current row, unless the editor is open.
    void editCurrent();
    // "přidat záznam": adds an empty record (refused at the record limit) and
    // shows it in new-record mode.
    void addRecord();
    // A record just taken over from the directory: the page shows its new row
    // (freshTable: the addition started a fresh working table) and the editor
    // opens on it in new-record mode with the kind preselected.
    void openTransferred(AddressKind kind, bool freshTable);

    QLineEdit* field(Field which) const; // null for the memo
    QPlainTextEdit* memo() const { return m_memo; }
    QPushButton* button(Button which) const { return m_buttons[int(which)]; }
    // The active (true) or inactive picture of an address kind.
    ClickableLabel* kindPicture(AddressKind kind, bool active) const;
    ContactEditing* editing() const { return m_editing.get(); }
    // The name assistive technology gives the field ("Telefon mobil 2").
    static QString spokenName(Field which);

  public slots:
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildLayout();
    void connectActions();
    void openOn(std::optional<AddressKind> preselected, bool newRecord);
    void showValues();
    void showKind();
    void showNavigation();
    void selectKind(AddressKind kind);
    void showField(Field which);
    void fieldEntered(Field which);
    void fieldLeft(Field which);
    void warnAboutEmail();
    void showPendingWarning();
    void beforeAction();
    void run(ContactEditing::Outcome (ContactEditing::*operation)());
    bool finish(const ContactEditing::Outcome& outcome);
    void removeShown();
    void listFromEditor(const std::function<void()>& listing);
    void closeEditor();
    void updateMemoScrollBar();
    std::optional<Field> fieldOf(QObject* widget) const;

    QLineEdit* m_fields[contact_editing::kFieldCount] = {}; // the memo's slot stays null
    QPlainTextEdit* m_memo = nullptr;
    QPushButton* m_buttons[6] = {};
    ClickableLabel* m_kindPictures[3][2] = {}; // [kind][active]
    AlphabetBar* m_alphabet = nullptr;
    ClickableLabel* m_allRecords = nullptr;

    Application* m_app = nullptr;
    PersonalPage* m_page = nullptr;
    std::unique_ptr<PersonalRecords> m_records;
    std::unique_ptr<ContactEditing> m_editing;
    bool m_showing = false; // the widgets are being filled from the model
    // The e-mail warning waits for the release of the mouse button that left the field.
    bool m_warningPending = false;
    QObject* m_releaseWatch = nullptr; // sees that release
};
