#include "ImportMapping.h"

namespace io {

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

const QList<ImportTarget>& importTargets() {
    static const QList<ImportTarget> targets{
        {s("titul"), s("titul_1")},
        {s("jméno"), s("jmeno_1")},
        {s("příjmení"), s("prijmeni")},
        {s("firma"), s("firma")},
        {s("funkce"), s("funkce")},
        {s("IC"), s("ICO")},
        {s("DIC"), s("DIC")},
        {s("internet"), s("internet")},
        {s("e-mail 1"), s("e-mail_1")},
        {s("e-mail 2"), s("e-mail_2")},
        {s("e-mail 3"), s("e-mail_3")},
        {s("poznámka"), s("info")},
        {s("TEL mobil 1"), s("Tel_1")},
        {s("TEL mobil 2"), s("Tel_2")},
        {s("TEL domů 1"), s("Tel_3")},
        {s("TEL domů 2"), s("Tel_4")},
        {s("TEL firma 1"), s("Tel_5")},
        {s("TEL firma 2"), s("Tel_6")},
        {s("adresa domů: Ulice"), s("domu_Ulice")},
        {s("adresa domů: ČP"), s("domu_CP")},
        {s("adresa domů: Obec"), s("domu_Obec")},
        {s("adresa domů: Část"), s("domu_Cast")},
        {s("adresa domů: PSČ"), s("domu_PSC")},
        {s("adresa domů: Stát"), s("domu_Stat")},
        {s("adresa firma: Ulice"), s("zam_Ulice")},
        {s("adresa firma: ČP"), s("zam_CP")},
        {s("adresa firma: Obec"), s("zam_Obec")},
        {s("adresa firma: Část"), s("zam_Cast")},
        {s("adresa firma: PSČ"), s("zam_PSC")},
        {s("adresa firma: Stát"), s("zam_Stat")},
        {s("adresa jiné: Ulice"), s("jine_Ulice")},
        {s("adresa jiné: ČP"), s("jine_CP")},
        {s("adresa jiné: Obec"), s("jine_Obec")},
        {s("adresa jiné: Část"), s("jine_Cast")},
        {s("adresa jiné: PSČ"), s("jine_PSC")},
        {s("adresa jiné: Stát"), s("jine_Stat")},
    };
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
    return s("Ve zdrojovém souboru nejsou sloupce: ") + missing.join(s(", ")) +
           s(". Upravte přiřazení polí nebo načtěte ukázku jiného souboru.    ");
}

} // namespace io
