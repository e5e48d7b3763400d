#include "ImportMapping.h"

#include "PersonalColumns.h"

using namespace Qt::StringLiterals;

namespace io {

namespace {} // namespace

// The positions are what a saved schema keeps: new targets go at the end.
const QList<ImportTarget>& importTargets() {
    using namespace personal_columns;
    static const QList<ImportTarget> targets = [] {
        QList<ImportTarget> t{
            {u"titul"_s, kTitle}, {u"jméno"_s, kFirstName},   {u"příjmení"_s, kSurname},
            {u"firma"_s, kFirm},  {u"funkce"_s, kFunction},   {u"IC"_s, kIco},
            {u"DIC"_s, kDic},     {u"internet"_s, kInternet},
        };
        for (int n = 1; n <= kEmailCount; ++n)
            t << ImportTarget{u"e-mail "_s + QString::number(n), emailColumn(n)};
        t << ImportTarget{u"poznámka"_s, kInfo};
        const std::pair<PhoneKind, const char*> phones[] = {
            {PhoneKind::Mobile, "mobil"}, {PhoneKind::Home, "domů"}, {PhoneKind::Work, "firma"}};
        for (const auto& [kind, word] : phones)
            for (int which = 1; which <= 2; ++which)
                t << ImportTarget{u"TEL "_s + QString::fromUtf8(word) + u' ' + QString::number(which),
                                  phoneColumn(kind, which)};
        const char* const kinds[] = {"domů", "firma", "jiné"}; // in the order of kAddressKinds
        const char* const parts[] = {"Ulice", "ČP", "Obec", "Část", "PSČ", "Stát"}; // of kAddressParts
        for (size_t k = 0; k < kAddressKinds.size(); ++k)
            for (size_t p = 0; p < kAddressParts.size(); ++p)
                t << ImportTarget{u"adresa "_s + QString::fromUtf8(kinds[k]) + u": "_s +
                                      QString::fromUtf8(parts[p]),
                                  addressColumn(kAddressKinds[k], kAddressParts[p])};
        return t;
    }();
    return targets;
}

QStringList importTargetCaptions() {
    QStringList out;
    for (const ImportTarget& t : importTargets())
        out << t.caption;
    return out;
}

ImportMapping::ImportMapping() : m_rows{MappingRow{}} {}

int ImportMapping::add(int current, const MappingRow& pair) {
    if (current >= 0 && current < size() && m_rows[current].isEmpty()) {
        m_rows[current] = pair;
        return current;
    }
    m_rows.append(pair);
    return size() - 1;
}

bool ImportMapping::overwrite(int row, const MappingRow& pair) {
    if (row < 0 || row >= size()) return false;
    m_rows[row] = pair;
    return true;
}

bool ImportMapping::remove(int row) {
    if (row < 0 || row >= size()) return false;
    m_rows.removeAt(row);
    if (m_rows.isEmpty()) m_rows.append(MappingRow{});
    return true;
}

void ImportMapping::clear() {
    m_rows = {MappingRow{}};
}

int ImportMapping::sourceColumn(const MappingRow& row, const QStringList& names) {
    if (row.source.isEmpty()) return -1;
    const auto same = [&](int i) { return names[i].compare(row.source, Qt::CaseInsensitive) == 0; };
    if (row.sourcePosition >= 0 && row.sourcePosition < names.size() && same(row.sourcePosition))
        return row.sourcePosition;
    for (int i = 0; i < names.size(); ++i)
        if (same(i)) return i;
    return -1;
}

QList<Assignment> ImportMapping::assignments(const QStringList& names, QStringList* missing) const {
    QList<Assignment> out;
    for (const MappingRow& row : m_rows) {
        if (!row.isComplete()) continue;
        const int column = sourceColumn(row, names);
        if (column < 0) {
            if (missing && !missing->contains(row.source)) missing->append(row.source);
            continue;
        }
        out.append({column, row.target});
    }
    return out;
}

QString missingColumnsMessage(const QStringList& missing) {
    return u"Ve zdrojovém souboru nejsou sloupce: "_s + missing.join(u", "_s) +
           u". Upravte přiřazení polí nebo načtěte ukázku jiného souboru.    "_s;
}

} // namespace io
