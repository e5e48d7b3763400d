#include "ContactEditing.h"

#include "Dataset.h"
#include "Error.h"
#include "OwnDatabases.h"
#include "PersonalRowCopy.h"
#include "PersonalSearch.h"
#include "TextHelpers.h"

#include <QStringList>

#include <array>

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

namespace contact_editing {

namespace {

struct FieldInfo {
    const char* control;
    const char* label;
    const char* column; // for an address field the part after the kind's prefix
};

// In the order of Field.
constexpr std::array<FieldInfo, kFieldCount> kFields{{
    {"DBEdit4", "Příjmení", "Prijmeni"},
    {"DBEdit2", "Jméno", "Jmeno_1"},
    {"DBEdit1", "Titul", "Titul_1"},
    {"DBEdit16", "Funkce", "Funkce"},
    {"DBEdit17", "Firma", "Firma"},
    {"DBEdit14", "Telefon mobil", "Tel_1"},
    {"DBEdit15", "Telefon mobil", "Tel_2"},
    {"DBEdit20", "Telefon domů", "Tel_3"},
    {"DBEdit13", "Telefon domů", "Tel_4"},
    {"DBEdit19", "Telefon firma", "Tel_5"},
    {"DBEdit21", "Telefon firma", "Tel_6"},
    {"DBEdit18", "Ulice", "ulice"},
    {"DBEdit6", "ČP", "CP"},
    {"DBEdit7", "Obec", "Obec"},
    {"DBEdit8", "Část", "Cast"},
    {"DBEdit9", "PSČ", "PSC"},
    {"DBEdit10", "Stát", "Stat"},
    {"DBEdit11", "URL", "Internet"},
    {"DBEdit12", "E-mail", "E-mail_1"},
    {"DBEdit3", "E-mail", "E-mail_2"},
    {"DBEdit5", "E-mail", "E-mail_3"},
    {"DBMemo1", "Další informace", "Info"},
}};

const FieldInfo& info(Field field) {
    return kFields[size_t(field)];
}

} // namespace

QString kindName(AddressKind kind) {
    switch (kind) {
    case AddressKind::Work:
        return s("zam");
    case AddressKind::Other:
        return s("jine");
    case AddressKind::Home:
        break;
    }
    return s("domu");
}

std::optional<AddressKind> kindFromName(const QString& name) {
    const QString kind = name.trimmed().toLower();
    if (kind == u"domu") return AddressKind::Home;
    if (kind == u"zam") return AddressKind::Work;
    if (kind == u"jine") return AddressKind::Other;
    return std::nullopt;
}

QString kindHint(AddressKind kind) {
    switch (kind) {
    case AddressKind::Work:
        return s("firma");
    case AddressKind::Other:
        return s("jiná");
    case AddressKind::Home:
        break;
    }
    return s("domů");
}

QString controlName(Field field) {
    return s(info(field).control);
}

QString label(Field field) {
    return s(info(field).label);
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
    if (isAddressField(field)) return kindName(kind) + u'_' + s(info(field).column);
    return s(info(field).column);
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
    return s("Zadali jste nesprávný formát e-mail adresy. E-mail adresa musí obsahovat znak @    ");
}

QString deleteQuestion() {
    return s("Opravdu si přejete smazat aktuální záznam?      ");
}

QString closeQuestion() {
    return s("Uložit provedené změny v záznamu?      ");
}

} // namespace contact_editing

using namespace contact_editing;

namespace {

constexpr AddressKind kKinds[] = {AddressKind::Home, AddressKind::Work, AddressKind::Other};

// Every column the editor holds a value of: the fields, with the address
// fields once for each kind.
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
                for (AddressKind k : kKinds)
                    out << EditedColumn{column(f, k), f, k};
            } else {
                out << EditedColumn{column(f, AddressKind::Home), f, AddressKind::Home};
            }
        }
        return out;
    }();
    return columns;
}

int columnSize(const QString& name) {
    for (const db::FieldDef& def : db::layouts::personal().fields)
        if (def.name.compare(name, Qt::CaseInsensitive) == 0) return def.size;
    return 0;
}

bool isNumberField(Field field) {
    return isPhoneField(field) || field == Field::PostalCode;
}

// The form the personal record keeps: numbers without blanks.
QString storedForm(Field field, const QString& text) {
    return isNumberField(field) ? text::removeBlanks(text) : text;
}

// The form the working row shows: numbers grouped, postal codes split. A
// number whose grouping would not fit its column is shown as stored.
QString shownForm(Field field, const QString& text) {
    const QString stored = storedForm(field, text);
    if (field == Field::PostalCode) return text::postalCodeSplit(stored);
    if (isPhoneField(field)) {
        const QString grouped = text::phoneGrouping(stored);
        return grouped.size() <= columnSize(column(field, AddressKind::Home)) ? grouped : stored;
    }
    return text;
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

// The current-address group of the working row, in the order of the address fields.
constexpr const char* kCurrentGroup[] = {"Ulice", "CP", "Obec", "Cast", "PSC", "Stat"};

const QString kNoRecord = s("Záznam již ve vlastní databázi není; změny nelze uložit.");
const QString kRowGone = s("Zobrazený záznam již v pracovní tabulce není.");

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
    m_ico.clear();
    m_dic.clear();
    m_rowKind.clear();
    const db::Dataset* page = m_search.isReady() ? &m_search.pageQuery() : nullptr;
    const bool onRow = page && page->isOpen() && page->recNo() >= 0;
    for (const EditedColumn& c : editedColumns())
        m_values.insert(c.name, onRow ? page->text(c.name) : QString());
    if (onRow) {
        m_id2 = page->value(s("ID2")).toInt();
        m_id = page->value(s("ID")).toInt();
        m_ico = page->text(s("ICO"));
        m_dic = page->text(s("DIC"));
        m_rowKind = page->text(s("zobraz_adr"));
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
    if (page.recNo() >= 0 && page.value(s("ID2")).toInt() == *m_id2) return true;
    return page.locate(s("ID2"), *m_id2);
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
    return columnSize(contact_editing::column(field, AddressKind::Home));
}

QString ContactEditing::enterField(Field field) {
    const QString now = text(field);
    if (isNumberField(field) && !now.isEmpty()) setText(field, enteringNumber(now));
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
    for (const EditedColumn& c : editedColumns())
        if (!storedForm(c.field, m_values.value(c.name)).isEmpty()) return false;
    return m_ico.isEmpty() && m_dic.isEmpty();
}

std::optional<ContactEditing::Outcome> ContactEditing::tooLong() const {
    for (const EditedColumn& c : editedColumns()) {
        const int size = columnSize(c.name);
        if (size <= 0 || characters(storedForm(c.field, m_values.value(c.name))) <= size) continue;
        QString name = label(c.field);
        if (isAddressField(c.field)) name += s(" (adresa ") + kindHint(c.kind) + u')';
        Outcome out;
        out.result = Result::Failed;
        out.message = s("Text v poli „") + name + s("“ je příliš dlouhý: pole pojme nejvýše ") +
                      QString::number(size) + s(" znaků.");
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
        for (const EditedColumn& c : editedColumns())
            page.setValue(c.name, orNull(shownForm(c.field, m_values.value(c.name))));
        page.setValue(s("zobraz_adr"), kind);
        const AddressKind current = kindFromName(kind).value_or(AddressKind::Home);
        for (int i = 0; i < 6; ++i) {
            const Field f = Field(int(Field::Street) + i);
            page.setValue(s(kCurrentGroup[i]),
                          orNull(shownForm(f, m_values.value(contact_editing::column(f, current)))));
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
        const QString kind = m_kind ? kindName(*m_kind) : personal_copy::addressKind(m_rowKind);
        // Nothing typed and the kind the row shows already: nothing to write.
        if (!isModified() && kind == personal_copy::addressKind(m_rowKind)) return saved;
        PersonalRecords::Values values;
        for (const EditedColumn& c : editedColumns())
            values.append(std::pair{c.name, orNull(storedForm(c.field, m_values.value(c.name)))});
        values.append(std::pair{s("ICO"), orNull(m_ico)});
        values.append(std::pair{s("DIC"), orNull(m_dic)});
        values.append(std::pair{s("zobraz_adr"), kind});
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
