#pragma once

#include "PersonalColumns.h"
#include "PersonalRecords.h"

#include <QHash>
#include <QString>

#include <optional>

class PersonalSearch;

// The pure rules of the contact editor's fields.
namespace contact_editing {

// The fields of the editor, in tab order.
enum class Field {
    Surname,
    FirstName,
    Title,
    Function,
    Firm,
    Mobile1, // Tel_1 … Tel_6: mobile, home, work
    Mobile2,
    Home1,
    Home2,
    Work1,
    Work2,
    Street, // the address fields show the columns of the selected kind
    HouseNumber,
    Town,
    TownPart,
    PostalCode,
    Country,
    Internet,
    Email1,
    Email2,
    Email3,
    Info, // the memo "Další informace"
};
constexpr int kFieldCount = 22;

// The address groups: "domu", "zam", "jine".
using personal_columns::AddressKind;
using personal_columns::kindFromName;
using personal_columns::kindName;

// The hint of the kind's pictures: "domů", "firma", "jiná".
QString kindHint(AddressKind kind);
// The control the field is drawn by (DBEdit1 … DBEdit21, DBMemo1).
QString controlName(Field field);
// The field as messages name it.
QString label(Field field);
// The column the field shows: the address fields the columns of the kind.
QString column(Field field, AddressKind kind);
bool isAddressField(Field field);
bool isPhoneField(Field field);
bool isEmailField(Field field);

// A phone or postal-code field getting the focus: the text without blanks.
QString enteringNumber(const QString& text);
// A phone field losing the focus: without blanks, then in the phone grouping.
QString leavingPhone(const QString& text);
// The postal-code field losing the focus: without blanks, then split.
QString leavingPostalCode(const QString& text);
// Leaving an e-mail field whose text is not empty and has no "@" warns (the
// text stays as typed, and saving is not blocked).
bool emailNeedsWarning(const QString& text);
QString emailWarning(); // caption "Upozornění", information icon

// The questions the editor asks (caption "Dotaz", question icon, Yes and No).
QString deleteQuestion();
QString closeQuestion();

} // namespace contact_editing

// The contact editor without its widgets: one working row (the page query's
// current row of the Vlastní page) with its personal record. The editor's
// fields show and change the values held here; nothing reaches either table
// until a save. Phone numbers and postal codes are held as shown (grouped,
// split); the personal record gets them without blanks.
//
// Decisions where the design leaves a choice or would lose the user's data:
// - A failed save (a value too long for its column, a refused write) reports
//   the message, keeps every typed value and neither closes the editor nor
//   moves to another record; the record stays as it was stored. A value too
//   long is refused before anything is written, with a message that names
//   the field (and its address kind).
// - Save deletes the record only when it holds nothing at all: every shown
//   field, every address group, Info, ICO and DIC empty. A record empty only in
//   the shown fields is saved with those fields empty.
// - Save and delete reach only the record whose ID the working row carries.
//   When no personal record has it, save reports so and keeps the values; delete
//   (and the empty-record save) takes the working row out and touches nothing else.
// - A failed delete reports the message; both rows stay. So does back in
//   new-record mode, whose record then stays in new-record mode.
// - The close question: Yes runs save, and the editor closes only when the
//   save did (Outcome::close); No runs back.
// - Next whose page fill fails reports the error and shows again the page and
//   the record the move started from (already saved).
// - Delete ends new-record mode: the record shown afterwards is an older one,
//   which back must not remove. Next and previous end it only once the save
//   has succeeded.
// - After an empty-record save by next or previous, the record shown is the one
//   next to the removed row in the direction of the move (none is skipped).
// - Selecting another address kind alone is not a change the close question
//   asks about; typed values are, once they differ from those shown at loading.
// - Values left empty are stored as Null.
// - Moves and additions use the page size of the listing shown
//   (PersonalSearch::state()).
// - A save with nothing typed and the row's own kind selected writes nothing
//   (an empty record is still removed).
// - A listing started from the editor stores the shown record first, as a move
//   does, and shows the first row of the listing with its own kind.
// - A record added for this editing and closed empty without the question is
//   taken out again, so that no blank record stays.
class ContactEditing {
  public:
    using Field = contact_editing::Field;
    using AddressKind = contact_editing::AddressKind;

    enum class Result {
        Done,
        Failed,       // message: the error to show (the general error display)
        LimitReached, // message: the limit message (caption "Informace", information icon)
    };
    struct Outcome {
        Result result = Result::Done;
        QString message;
        // With a value too long: the field, and the address kind it is in.
        std::optional<Field> field;
        std::optional<AddressKind> fieldKind;
        // The editor closes (its closing is handled: no close question).
        bool close = false;
        // An addition started a fresh working table: the page empties its boxes.
        bool pageRestarted = false;
        explicit operator bool() const { return result == Result::Done; }
    };

    struct Navigation {
        bool previousEnabled = false;
        bool nextEnabled = false;
    };

    ContactEditing(PersonalSearch& search, PersonalRecords& records);

    // ---- opening and closing ----
    // Shows the page query's current row: a preselected kind and new-record
    // mode as the caller sets them, then the kind the row names (no change
    // when it names none). The closing is not handled yet.
    void open(std::optional<AddressKind> preselected = std::nullopt, bool newRecord = false);
    // Whether a working row is shown.
    bool hasRecord() const { return m_id2.has_value(); }
    // The close question is asked: the closing is not handled and values changed.
    bool asksBeforeClosing() const { return !m_closingHandled && isModified(); }
    // The editor closes without the question: a record added for this editing
    // and left empty is taken out again, as back takes it out.
    Outcome closeUnchanged();
    // The editor closed: the selected kind and new-record mode are cleared.
    void closed();

    // ---- fields ----
    QString column(Field field) const;
    QString text(Field field) const;
    void setText(Field field, const QString& text);
    // The longest text the field's column holds; 0 for the memo (no limit).
    static int maxLength(Field field);
    // Focus rules of the phone and postal-code fields; both return the
    // field's new text. leaveField on an e-mail field changes nothing.
    QString enterField(Field field);
    QString leaveField(Field field);
    bool isModified() const;
    bool isNewRecord() const { return m_newRecord; }

    // ---- address kind ----
    std::optional<AddressKind> selectedKind() const { return m_kind; }
    // The address fields show the kind's columns; typed values stay in their group.
    void selectKind(AddressKind kind) { m_kind = kind; }

    // ---- operations ----
    Outcome save();
    Outcome back();
    // Saves the shown record, then adds a record (limit, fresh working table)
    // and shows it in new-record mode with the kind "domu".
    Outcome newRecord();
    // Deletes the shown record from both tables (the editor has asked);
    // closes when the page has no row left.
    Outcome remove();
    Outcome next();
    Outcome previous();
    // A listing started from the editor (alphabet bar, all records) is to
    // replace the page: the shown record is stored first, as next and previous
    // store it, and new-record mode ends. When the store fails nothing else
    // changes, and the listing is not to run.
    Outcome storeBeforeListing();
    // The listing replaced the page: its first row is shown with the kind it names.
    void listingReplaced();
    // Previous is on when the page query's row is not its first or an earlier
    // page exists; next when it is not its last or a further page can be filled.
    Navigation navigation();

  private:
    enum class Direction { None, Forward, Backward };
    struct Saved {
        Outcome outcome;
        std::optional<int> removedAt; // the working row was removed at this position
    };
    Saved saveShown();
    Outcome failed(const QString& message);
    void load();
    void selectRowKind();
    Outcome move(Direction direction);
    bool recordHoldsNothing() const;
    std::optional<Outcome> tooLong() const;
    bool onShownRow();
    void writeWorkingRow(const QString& kind);

    PersonalSearch& m_search;
    PersonalRecords& m_records;
    std::optional<int> m_id2; // ID2 of the working row shown
    int m_id = 0;             // its personal record's ID
    // Every value of the record by column, as shown; those without a field
    // (ICO, DIC) pass through.
    QHash<QString, QString> m_values;
    QHash<QString, QString> m_loaded; // the values when the row was shown
    QString m_rowKind;                // zobraz_adr of the working row
    std::optional<AddressKind> m_kind;
    bool m_newRecord = false;
    bool m_closingHandled = false;
};
