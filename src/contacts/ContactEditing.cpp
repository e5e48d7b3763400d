#include "ContactEditing.h"

#include "Dataset.h"
#include "Error.h"
#include "PersonalSearch.h"
#include "TextHelpers.h"

#include <QStringList>

#include <array>

using namespace Qt::StringLiterals;

namespace {} // namespace

namespace contact_editing {

namespace {

struct FieldInfo {
    const char* control;
    const char* label;
};

// In the order of Field.
constexpr std::array<FieldInfo, kFieldCount> kFields{{
    {"DBEdit4", "Příjmení"},
    {"DBEdit2", "Jméno"},
    {"DBEdit1", "Titul"},
    {"DBEdit16", "Funkce"},
    {"DBEdit17", "Firma"},
    {"DBEdit14", "Telefon mobil"},
    {"DBEdit15", "Telefon mobil"},
    {"DBEdit20", "Telefon domů"},
    {"DBEdit13", "Telefon domů"},
    {"DBEdit19", "Telefon firma"},
    {"DBEdit21", "Telefon firma"},
    {"DBEdit18", "Ulice"},
    {"DBEdit6", "ČP"},
    {"DBEdit7", "Obec"},
    {"DBEdit8", "Část"},
    {"DBEdit9", "PSČ"},
    {"DBEdit10", "Stát"},
    {"DBEdit11", "URL"},
    {"DBEdit12", "E-mail"},
    {"DBEdit3", "E-mail"},
    {"DBEdit5", "E-mail"},
    {"DBMemo1", "Další informace"},
}};

const FieldInfo& info(Field field) {
    return kFields[size_t(field)];
}

} // namespace

QString kindHint(AddressKind kind) {
    switch (kind) {
    case AddressKind::Work:
        return u"firma"_s;
    case AddressKind::Other:
        return u"jiná"_s;
    case AddressKind::Home:
        break;
    }
    return u"domů"_s;
}

QString controlName(Field field) {
    return QString::fromUtf8(info(field).control);
}

QString label(Field field) {
    return QString::fromUtf8(info(field).label);
}

bool isAddressField(Field field) {
    return field >= Field::Street && field <= Field::Country;
}

bool isPhoneField(Field field) {
    return field >= Field::Mobile1 && field <= Field::Work2;
}

bool isEmailField(Field field) {
    return field >= Field::Email1 && field <= Field::Email3;
}

QString column(Field field, AddressKind kind) {
    namespace pc = personal_columns;
    switch (field) {
    case Field::Surname:
        return pc::kSurname;
    case Field::FirstName:
        return pc::kFirstName;
    case Field::Title:
        return pc::kTitle;
    case Field::Function:
        return pc::kFunction;
    case Field::Firm:
        return pc::kFirm;
    case Field::Internet:
        return pc::kInternet;
    case Field::Info:
        return pc::kInfo;
    default:
        break;
    }
    if (isPhoneField(field)) return pc::phoneColumn(int(field) - int(Field::Mobile1) + 1);
    if (isEmailField(field)) return pc::emailColumn(int(field) - int(Field::Email1) + 1);
    return pc::addressColumn(kind, pc::AddressPart(int(field) - int(Field::Street)));
}

QString enteringNumber(const QString& text) {
    return text::removeBlanks(text);
}

QString leavingPhone(const QString& text) {
    return text::phoneGrouping(text::removeBlanks(text));
}

QString leavingPostalCode(const QString& text) {
    return text::postalCodeSplit(text::removeBlanks(text));
}

bool emailNeedsWarning(const QString& text) {
    return !text.isEmpty() && !text.contains(u'@');
}

QString emailWarning() {
    return u"Zadali jste nesprávný formát e-mail adresy. E-mail adresa musí obsahovat znak @    "_s;
}

QString deleteQuestion() {
    return u"Opravdu si přejete smazat aktuální záznam?      "_s;
}

QString closeQuestion() {
    return u"Uložit provedené změny v záznamu?      "_s;
}

} // namespace contact_editing

using namespace contact_editing;

namespace {

// Every column the editor shows: the fields, with the address fields once for
// each kind.
struct EditedColumn {
    QString name;
    Field field;
    AddressKind kind;
};

const QList<EditedColumn>& editedColumns() {
    static const QList<EditedColumn> columns = [] {
        QList<EditedColumn> out;
        for (int i = 0; i < kFieldCount; ++i) {
            const Field f = Field(i);
            if (isAddressField(f)) {
                for (AddressKind k : personal_columns::kAddressKinds)
                    out << EditedColumn{column(f, k), f, k};
            } else {
                out << EditedColumn{column(f, AddressKind::Home), f, AddressKind::Home};
            }
        }
        return out;
    }();
    return columns;
}

using personal_columns::storedForm;

// The form the working row shows: numbers grouped, postal codes split.
QString shownForm(const QString& column, const QString& text) {
    return personal_columns::shownForm(column, storedForm(column, text));
}

QVariant orNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

qsizetype characters(const QString& text) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!text.at(i).isLowSurrogate()) ++n;
    return n;
}

const QString kNoRecord = u"Záznam již ve vlastní databázi není; změny nelze uložit."_s;
const QString kRowGone = u"Zobrazený záznam již v pracovní tabulce není."_s;

} // namespace

ContactEditing::ContactEditing(PersonalSearch& search, PersonalRecords& records)
    : m_search(search), m_records(records) {}

// ---- opening and closing ----------------------------------------------------------

void ContactEditing::open(std::optional<AddressKind> preselected, bool newRecord) {
    m_closingHandled = false;
    m_kind = preselected;
    m_newRecord = newRecord;
    load();
    selectRowKind();
}

void ContactEditing::closed() {
    m_kind.reset();
    m_newRecord = false;
}

void ContactEditing::load() {
    m_values.clear();
    m_id2.reset();
    m_id = 0;
    m_rowKind.clear();
    const db::Dataset* page = m_search.isReady() ? &m_search.pageQuery() : nullptr;
    const bool onRow = page && page->isOpen() && page->recNo() >= 0;
    for (const QString& c : personal_columns::valueColumns())
        m_values.insert(c, onRow ? page->text(c) : QString());
    if (onRow) {
        m_id2 = page->value(personal_columns::kRunningNumber).toInt();
        m_id = page->value(personal_columns::kId).toInt();
        m_rowKind = page->text(personal_columns::kAddressKind);
    }
    m_loaded = m_values;
}

void ContactEditing::selectRowKind() {
    if (const std::optional<AddressKind> kind = kindFromName(m_rowKind)) m_kind = kind;
}

// Whether the page query stands on the row shown, moving it there if need be.
bool ContactEditing::onShownRow() {
    if (!m_id2) return false;
    db::Dataset& page = m_search.pageQuery();
    if (!page.isOpen()) return false;
    if (page.recNo() >= 0 && page.value(personal_columns::kRunningNumber).toInt() == *m_id2) return true;
    return page.locate(personal_columns::kRunningNumber, *m_id2);
}

// ---- fields -----------------------------------------------------------------------

QString ContactEditing::column(Field field) const {
    return contact_editing::column(field, m_kind.value_or(AddressKind::Home));
}

QString ContactEditing::text(Field field) const {
    return m_values.value(column(field));
}

void ContactEditing::setText(Field field, const QString& text) {
    m_values.insert(column(field), text);
}

int ContactEditing::maxLength(Field field) {
    return personal_columns::size(contact_editing::column(field, AddressKind::Home));
}

QString ContactEditing::enterField(Field field) {
    const QString now = text(field);
    if (personal_columns::formOf(column(field)) != personal_columns::Form::Plain && !now.isEmpty())
        setText(field, enteringNumber(now));
    return text(field);
}

QString ContactEditing::leaveField(Field field) {
    const QString now = text(field);
    if (!now.isEmpty()) {
        if (isPhoneField(field))
            setText(field, leavingPhone(now));
        else if (field == Field::PostalCode)
            setText(field, leavingPostalCode(now));
    }
    return text(field);
}

bool ContactEditing::isModified() const {
    return m_values != m_loaded;
}

// ---- saving -----------------------------------------------------------------------

ContactEditing::Outcome ContactEditing::failed(const QString& message) {
    Outcome out;
    out.result = Result::Failed;
    out.message = message;
    return out;
}

bool ContactEditing::recordHoldsNothing() const {
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
        if (!storedForm(it.key(), it.value()).isEmpty()) return false;
    return true;
}

std::optional<ContactEditing::Outcome> ContactEditing::tooLong() const {
    for (const EditedColumn& c : editedColumns()) {
        const int size = personal_columns::size(c.name);
        if (size <= 0 || characters(storedForm(c.name, m_values.value(c.name))) <= size) continue;
        QString name = label(c.field);
        if (isAddressField(c.field)) name += u" (adresa "_s + kindHint(c.kind) + u')';
        Outcome out;
        out.result = Result::Failed;
        out.message = u"Text v poli „"_s + name + u"“ je příliš dlouhý: pole pojme nejvýše "_s +
                      QString::number(size) + u" znaků."_s;
        out.field = c.field;
        if (isAddressField(c.field)) out.fieldKind = c.kind;
        return out;
    }
    return std::nullopt;
}

void ContactEditing::writeWorkingRow(const QString& kind) {
    db::Dataset& page = m_search.pageQuery();
    page.edit();
    try {
        for (const QString& c : personal_columns::valueColumns())
            page.setValue(c, orNull(shownForm(c, m_values.value(c))));
        page.setValue(personal_columns::kAddressKind, kind);
        const AddressKind current = personal_columns::shownKind(kind);
        for (personal_columns::AddressPart part : personal_columns::kAddressParts) {
            const QString column = personal_columns::addressColumn(current, part);
            page.setValue(personal_columns::currentColumn(part),
                          orNull(shownForm(column, m_values.value(column))));
        }
        page.post();
    } catch (const db::Error&) {
        page.cancel();
        throw;
    }
}

ContactEditing::Saved ContactEditing::saveShown() {
    Saved saved;
    if (!hasRecord()) return saved;
    try {
        if (!onShownRow()) {
            saved.outcome = failed(kRowGone);
            return saved;
        }
        db::Dataset& page = m_search.pageQuery();
        if (recordHoldsNothing()) {
            // Only this record's ID is deleted; when no record has it, the
            // working row alone goes.
            const int position = page.recNo();
            m_records.removeCurrent();
            saved.removedAt = position;
            load();
            return saved;
        }
        if (std::optional<Outcome> refused = tooLong()) {
            saved.outcome = *refused;
            return saved;
        }
        const QString kind = m_kind ? kindName(*m_kind) : kindName(personal_columns::shownKind(m_rowKind));
        // Nothing typed and the kind the row shows already: nothing to write.
        if (!isModified() && kind == kindName(personal_columns::shownKind(m_rowKind))) return saved;
        PersonalRecords::Values values;
        for (const QString& c : personal_columns::valueColumns())
            values.append(std::pair{c, orNull(storedForm(c, m_values.value(c)))});
        values.append(std::pair{personal_columns::kAddressKind, kind});
        if (!m_records.update(m_id, values)) {
            saved.outcome = failed(kNoRecord);
            return saved;
        }
        writeWorkingRow(kind);
    } catch (const db::Error& e) {
        saved.outcome = failed(e.message());
        return saved;
    }
    // The values as the working row now shows them.
    const std::optional<AddressKind> kind = m_kind;
    load();
    m_kind = kind;
    return saved;
}

ContactEditing::Outcome ContactEditing::save() {
    Saved saved = saveShown();
    if (saved.outcome) {
        saved.outcome.close = true;
        m_closingHandled = true;
    }
    return saved.outcome;
}

// ---- the other operations ---------------------------------------------------------

ContactEditing::Outcome ContactEditing::back() {
    Outcome out;
    if (hasRecord() && m_newRecord) {
        try {
            m_records.remove(m_id);
            if (onShownRow()) m_search.pageQuery().remove();
        } catch (const db::Error& e) {
            return failed(e.message());
        }
        m_search.forgetLastRow();
        m_newRecord = false;
        load();
    } else {
        m_values = m_loaded;
    }
    m_closingHandled = true;
    out.close = true;
    return out;
}

ContactEditing::Outcome ContactEditing::closeUnchanged() {
    if (m_newRecord && hasRecord() && recordHoldsNothing()) return back();
    return Outcome{};
}

ContactEditing::Outcome ContactEditing::newRecord() {
    if (hasRecord()) {
        Saved saved = saveShown();
        if (!saved.outcome) return saved.outcome;
    }
    Outcome out;
    PersonalRecords::Addition added;
    try {
        added = m_records.add(m_search.state().pageSize);
    } catch (const db::Error& e) {
        load();
        return failed(e.message());
    }
    if (!added.added) {
        out.result = Result::LimitReached;
        out.message = PersonalRecords::limitMessage();
        return out;
    }
    out.pageRestarted = added.freshTable;
    load();
    m_kind = AddressKind::Home;
    m_newRecord = true;
    return out;
}

ContactEditing::Outcome ContactEditing::remove() {
    Outcome out;
    if (hasRecord()) {
        try {
            if (!onShownRow()) return failed(kRowGone);
            m_records.removeCurrent();
        } catch (const db::Error& e) {
            return failed(e.message());
        }
        m_newRecord = false;
        load();
        selectRowKind();
    }
    if (!hasRecord()) {
        m_closingHandled = true;
        out.close = true;
    }
    return out;
}

ContactEditing::Outcome ContactEditing::next() {
    return move(Direction::Forward);
}

ContactEditing::Outcome ContactEditing::previous() {
    return move(Direction::Backward);
}

ContactEditing::Outcome ContactEditing::move(Direction direction) {
    Saved saved = saveShown();
    if (!saved.outcome) return saved.outcome;
    m_newRecord = false;
    Outcome out;
    const int pageSize = m_search.state().pageSize;
    try {
        db::Dataset& page = m_search.pageQuery();
        if (!page.isOpen()) return failed(kRowGone);
        // Where the page stands: on the next row in the direction of the move,
        // or past its end.
        bool past = false;
        if (saved.removedAt) {
            // The row taken out leaves the page on the row after it.
            const int target = direction == Direction::Forward ? *saved.removedAt : *saved.removedAt - 1;
            past = target < 0 || target >= page.recordCount();
            if (!past) {
                page.first();
                page.moveBy(target);
            }
        } else if (direction == Direction::Forward) {
            page.next();
            past = page.eof();
        } else {
            page.prior();
            past = page.bof();
        }
        if (past) {
            const PersonalSearch::Paging paging = m_search.paging();
            if (direction == Direction::Forward && paging.nextEnabled) {
                try {
                    m_search.nextPage(pageSize);
                } catch (const db::Error& e) {
                    // Back to the page the move started from, on its last row.
                    out = failed(e.message());
                    m_search.previousPage(pageSize);
                    page.last();
                }
            } else if (direction == Direction::Backward && paging.previousEnabled) {
                m_search.previousPage(pageSize);
                page.last();
            } else if (direction == Direction::Forward) {
                page.last();
            } else {
                page.first();
            }
        }
    } catch (const db::Error& e) {
        out = failed(e.message());
    }
    load();
    selectRowKind();
    if (!hasRecord() && out) {
        m_closingHandled = true;
        out.close = true;
    }
    return out;
}

ContactEditing::Outcome ContactEditing::storeBeforeListing() {
    Saved saved = saveShown();
    if (saved.outcome) m_newRecord = false;
    return saved.outcome;
}

void ContactEditing::listingReplaced() {
    m_newRecord = false;
    load();
    selectRowKind();
}

ContactEditing::Navigation ContactEditing::navigation() {
    Navigation n;
    if (!m_search.isReady()) return n;
    const db::Dataset& page = m_search.pageQuery();
    if (!page.isOpen() || page.recNo() < 0) return n;
    const PersonalSearch::Paging paging = m_search.paging();
    n.previousEnabled = page.recNo() > 0 || paging.previousEnabled;
    n.nextEnabled = page.recNo() < page.recordCount() - 1 || paging.nextEnabled;
    return n;
}
