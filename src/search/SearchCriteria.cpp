#include "SearchCriteria.h"

using namespace Qt::StringLiterals;

namespace search_criteria {

namespace {

// A text field and the lookup column that both its check and its condition use.
struct TextField {
    Field field;
    QString SearchFields::*member;
    QString table;   // lookup table checked by the probe
    QString column;  // column in the search condition
    QString message; // shown when the probe finds nothing
};

// Everything in which the persons and the firms statements differ.
struct Description {
    QString body;      // select list and joins of a search without telephone number
    QString phoneBody; // the same joined with the subscribers' additional numbers
    QString whereLine;
    // The two fields that open the conditions, in statement order.
    QList<TextField> leading;
    // The order in which filled fields are checked against their lookup tables.
    QList<Field> validationOrder;
    QString telephonePrefix;   // condition on the leading digits, closed by ")"
    QString mainNumberColumn;  // qualified Tel_a of the directory table
    QString extraNumberColumn; // the same column of the additional numbers
    // Firms only: Šternberk and Štramberk are searched under their known
    // spellings and postal codes, and the Pardubický region takes district "4"
    // as well.
    bool firmSpecialCases = false;
};

const TextField& street() {
    static const TextField f{Field::Street, &SearchFields::street, u"Ulice"_s, u"Ulice.Ulice"_s,
                             u"Byla zadána neexistující ulice!"_s};
    return f;
}
const TextField& houseNumber() {
    static const TextField f{Field::HouseNumber, &SearchFields::houseNumber, u"CP"_s, u"CP.CP"_s,
                             u"Bylo zadáno neexistující popisné číslo!"_s};
    return f;
}
const TextField& municipality() {
    static const TextField f{Field::Municipality, &SearchFields::municipality, u"Obec"_s, u"Obec.Obec"_s,
                             u"Byla zadána neexistující obec!"_s};
    return f;
}
const TextField& postalCode() {
    static const TextField f{Field::PostalCode, &SearchFields::postalCode, u"PSC"_s, u"PSC.PSC"_s,
                             u"Bylo zadáno neexistující PSČ!"_s};
    return f;
}

Description personsDescription() {
    Description d;
    d.body =
        u"Osoby.ID as ID, Titul, Jmeno, Prijmeni, Ulice, CP, Obec, Cast, PSC, UTO, Poznamka.Poznamka, "
        "Osoby.euroISDN, Osoby.Tel_a, Osoby.TelExt_a FROM UTO INNER JOIN (Ulice INNER JOIN (Titul INNER JOIN "
        "(PSC INNER JOIN (Prijmeni INNER JOIN (Poznamka INNER JOIN (Obec INNER JOIN (Jmeno INNER JOIN (CP "
        "INNER JOIN (Cast INNER JOIN OSOBY ON Cast.ID = OSOBY.ID_Cast) ON CP.ID = OSOBY.ID_CP) ON Jmeno.ID = "
        "OSOBY.ID_Jmeno) ON Obec.ID = OSOBY.ID_Obec) ON Poznamka.ID = OSOBY.ID_Poznamka) ON Prijmeni.ID = "
        "OSOBY.ID_Prijmeni) ON PSC.ID = OSOBY.ID_PSC) ON Titul.ID = OSOBY.ID_Titul) ON Ulice.ID = "
        "OSOBY.ID_Ulice) ON UTO.ID = OSOBY.ID_UTO "_s;
    d.phoneBody =
        u"Osoby.ID as ID, Osoby_TEL_Navic.ID as nID, Titul, Jmeno, Prijmeni, Ulice, CP, Obec, Cast, PSC, "
        "UTO, Poznamka.Poznamka, Osoby.euroISDN, Osoby.Tel_a, Osoby.TelExt_a, Osoby_TEL_Navic.Tel_a as "
        "nTel_a, Osoby_TEL_Navic.TelExt_a as nTelExt_a FROM Osoby_TEL_Navic RIGHT JOIN (UTO INNER JOIN "
        "(Ulice INNER JOIN (Titul INNER JOIN (PSC INNER JOIN (Prijmeni INNER JOIN (Poznamka INNER JOIN "
        "(Obec INNER JOIN (Jmeno INNER JOIN (CP INNER JOIN (Cast INNER JOIN OSOBY ON Cast.ID = "
        "OSOBY.ID_Cast) ON CP.ID = OSOBY.ID_CP) ON Jmeno.ID = OSOBY.ID_Jmeno) ON Obec.ID = "
        "OSOBY.ID_Obec) ON Poznamka.ID = OSOBY.ID_Poznamka) ON Prijmeni.ID = OSOBY.ID_Prijmeni) ON "
        "PSC.ID = OSOBY.ID_PSC) ON Titul.ID = OSOBY.ID_Titul) ON Ulice.ID = OSOBY.ID_Ulice) ON UTO.ID = "
        "OSOBY.ID_UTO) ON Osoby_TEL_Navic.EuroISDN=Osoby.EuroISDN "_s;
    d.whereLine = u"WHERE"_s;
    d.leading = {
        {Field::Name, &SearchFields::name, u"Prijmeni"_s, u"Prijmeni.Prijmeni"_s,
         u"Bylo zadáno neexistující příjmení!"_s},
        {Field::Second, &SearchFields::second, u"Jmeno"_s, u"Jmeno.Jmeno"_s,
         u"Bylo zadáno neexistující jméno!"_s},
    };
    d.validationOrder = {Field::Name,        Field::Second,       Field::Street,
                         Field::HouseNumber, Field::Municipality, Field::PostalCode};
    d.telephonePrefix = u"(Osoby.Tel_a ="_s;
    d.mainNumberColumn = u"Osoby.Tel_a"_s;
    d.extraNumberColumn = u"Osoby_TEL_Navic.Tel_a"_s;
    return d;
}

Description firmsDescription() {
    Description d;
    d.body =
        u"Firmy.ID as ID, Firma, Ulice, CP, Obec, Cast, PSC, Poznamka, URL.URL, UTO, euroISDN, Tel_a, "
        "TelExt_a "
        "FROM UTO INNER JOIN (URL INNER JOIN (ULICE INNER JOIN (PSC INNER JOIN (POZNAMKA INNER JOIN (OBEC "
        "INNER JOIN (FIRMA INNER JOIN (CP INNER JOIN (CAST INNER JOIN Firmy ON CAST.ID = Firmy.id_cast) ON "
        "CP.ID = Firmy.id_cp) ON FIRMA.ID = Firmy.id_firma) ON OBEC.ID = Firmy.id_obec) ON POZNAMKA.ID = "
        "Firmy.id_poznamka) ON PSC.ID = Firmy.id_psc) ON ULICE.ID = Firmy.id_ulice) ON URL.ID = "
        "Firmy.id_url) ON UTO.ID = Firmy.id_uto"_s;
    d.phoneBody =
        u"Firmy.ID as ID, Firmy_TEL_Navic.ID as nID, Firma, Ulice, CP, Obec, Cast, PSC, "
        "Poznamka.Poznamka, URL.URL, UTO, Firmy.euroISDN, Firmy.Tel_a, Firmy.TelExt_a, "
        "Firmy_TEL_Navic.Tel_a as nTel_a, Firmy_TEL_Navic.TelExt_a as nTelExt_a FROM Firmy_TEL_Navic "
        "RIGHT JOIN (UTO INNER JOIN (URL INNER JOIN (ULICE INNER JOIN (PSC INNER JOIN (POZNAMKA INNER "
        "JOIN (OBEC INNER JOIN (FIRMA INNER JOIN (CP INNER JOIN (CAST INNER JOIN Firmy ON CAST.ID = "
        "Firmy.id_cast) ON CP.ID = Firmy.id_cp) ON FIRMA.ID = Firmy.id_firma) ON OBEC.ID = "
        "Firmy.id_obec) ON POZNAMKA.ID = Firmy.id_poznamka) ON PSC.ID = Firmy.id_psc) ON ULICE.ID = "
        "Firmy.id_ulice) ON URL.ID = Firmy.id_url) ON UTO.ID = Firmy.id_uto) ON "
        "Firmy_TEL_Navic.EuroISDN=Firmy.EuroISDN"_s;
    d.whereLine = u"WHERE "_s;
    d.leading = {
        {Field::Second, &SearchFields::second, u"Poznamka"_s, u"Poznamka.poznamka"_s,
         u"Byla zadána neexistující poznámka!"_s},
        {Field::Name, &SearchFields::name, u"Firma"_s, u"Firma.Firma"_s,
         u"Byl zadán neexistující název firmy!"_s},
    };
    d.validationOrder = {Field::Name,        Field::Second,       Field::Street,
                         Field::HouseNumber, Field::Municipality, Field::PostalCode};
    d.telephonePrefix = u"(Firmy.Tel_a LIKE "_s;
    d.mainNumberColumn = u"Firmy.Tel_a"_s;
    d.extraNumberColumn = u"Firmy_TEL_Navic.Tel_a"_s;
    d.firmSpecialCases = true;
    return d;
}

const Description& describe(Directory directory) {
    static const Description persons = personsDescription();
    static const Description firms = firmsDescription();
    return directory == Directory::Persons ? persons : firms;
}

const TextField& textField(const Description& d, Field field) {
    for (const TextField& f : d.leading)
        if (f.field == field) return f;
    switch (field) {
    case Field::Street:
        return street();
    case Field::HouseNumber:
        return houseNumber();
    case Field::Municipality:
        return municipality();
    default:
        return postalCode();
    }
}

// Only A–Z are folded: the special municipalities are recognised in lower
// case only, a capital "Š" leaves them ordinary.
QString foldAsciiLetters(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    return out;
}

// Collects condition lines, each after the first opened by "AND ".
class Conditions {
  public:
    explicit Conditions(QStringList& lines) : m_lines(lines) {}
    void add(const QString& condition) {
        m_lines << (m_any ? u"AND "_s : QString()) + condition;
        m_any = true;
    }
    void addLike(const QString& column, const QString& value) {
        if (!value.isEmpty()) add(column + u" LIKE "_s + quoted(value));
    }
    // A line that continues the previous condition, without connector.
    void continueWith(const QString& text) { m_lines << text; }

  private:
    QStringList& m_lines;
    bool m_any = false;
};

void addFirmMunicipality(Conditions& conditions, const SearchFields& f) {
    if (f.municipality.isEmpty()) return;
    const QString m = foldAsciiLetters(f.municipality);
    if (m.contains(u"štramberk"_s))
        conditions.add(u"(Obec.Obec LIKE \"Štenberk\" OR Obec.Obec LIKE \"Štramberk\")"_s);
    else if (m.contains(u"šternberk"_s))
        conditions.add(u"(Obec.Obec LIKE \"Štenberk\" OR Obec.Obec LIKE \"Šternberk\")"_s);
    else
        conditions.addLike(municipality().column, f.municipality);
}

// Without a postal code, the special municipalities bring their own.
void addFirmPostalCode(Conditions& conditions, const SearchFields& f) {
    if (!f.postalCode.isEmpty() || f.municipality.isEmpty()) {
        conditions.addLike(postalCode().column, f.postalCode);
        return;
    }
    const QString m = foldAsciiLetters(f.municipality);
    if (m.contains(u"štramberk"_s))
        conditions.add(u"(PSC.PSC LIKE \"74266\")"_s);
    else if (m.contains(u"šternberk"_s) || m.contains(u"štenberk"_s))
        conditions.add(u"(PSC.PSC LIKE \"78501\")"_s);
}

void addRegion(Conditions& conditions, const Description& d, const SearchFields& f) {
    if (f.region == 0) return;
    if (!d.firmSpecialCases) {
        conditions.add(u"UTO.UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE "_s + quoted(f.regionText) +
                       u")"_s);
        return;
    }
    conditions.add(u"(UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE "_s + quoted(f.regionText) + u")"_s);
    conditions.continueWith(f.regionText == u"Pardubický"_s ? u" OR UTO = \"4\")"_s : u")"_s);
}

} // namespace

QString valueFilter(const QString& value) {
    if (value == u"*" || value == u"?" || value.contains(u'[')) return QString();
    return value;
}

void normalise(SearchFields& f) {
    for (QString* text :
         {&f.name, &f.second, &f.street, &f.houseNumber, &f.municipality, &f.postalCode, &f.telephone})
        *text = valueFilter(*text);

    f.postalCode.remove(u' ');
    // The page's telephone box already keeps nothing but digits; doing the same
    // here keeps anything else out of the unquoted telephone condition.
    f.telephone = digitsOnly(f.telephone);

    const auto appendWildcard = [](bool on, QString& text) {
        if (on && !text.isEmpty() && !text.endsWith(u'*')) text += u'*';
    };
    appendWildcard(f.nameWildcard, f.name);
    appendWildcard(f.streetWildcard, f.street);
    appendWildcard(f.municipalityWildcard, f.municipality);
}

bool isEmptyRequest(const SearchFields& f) {
    return f.name.isEmpty() && f.second.isEmpty() && f.street.isEmpty() && f.houseNumber.isEmpty() &&
           f.municipality.isEmpty() && f.postalCode.isEmpty() && f.telephone.isEmpty() && f.region == 0;
}

QString quoted(const QString& value) {
    QString inner = value;
    inner.replace(u'"', u"\"\""_s);
    return u'"' + inner + u'"';
}

QList<Probe> probes(Directory directory, const SearchFields& f) {
    const Description& d = describe(directory);
    QList<Probe> out;
    for (Field field : d.validationOrder) {
        const TextField& t = textField(d, field);
        const QString& value = f.*(t.member);
        if (value.isEmpty()) continue; // an empty field counts as found
        // These two are searched under every spelling the directory uses, so
        // not finding the typed form is no reason to refuse the search.
        if (d.firmSpecialCases && field == Field::Municipality &&
            (value.contains(u"šternberk"_s) || value.contains(u"štramberk"_s)))
            continue;
        // Each lookup table keeps its values in a column of its own name.
        out << Probe{field, t.table, t.table, value, t.message};
    }
    return out;
}

QString probeStatement(const QString& table, const QString& column, const QString& value) {
    return u"SELECT TOP 1 * FROM "_s + table + u" WHERE "_s + column + u" LIKE "_s + quoted(value);
}

QStringList statementLines(Directory directory, const SearchFields& f, int searchLimit) {
    const Description& d = describe(directory);
    const bool byTelephone = !f.telephone.isEmpty();

    QStringList lines;
    if (byTelephone) {
        // No row limit: the limit is kept while the candidates are compared.
        lines << u"SELECT  "_s << d.phoneBody;
    } else {
        lines << u"SELECT TOP "_s + QString::number(searchLimit + 1) + u' ' << d.body;
    }
    lines << d.whereLine;

    Conditions conditions(lines);
    for (const TextField& t : d.leading)
        conditions.addLike(t.column, f.*(t.member));
    conditions.addLike(street().column, f.street);
    if (d.firmSpecialCases) {
        addFirmMunicipality(conditions, f);
        conditions.addLike(houseNumber().column, f.houseNumber);
        addFirmPostalCode(conditions, f);
    } else {
        conditions.addLike(municipality().column, f.municipality);
        conditions.addLike(houseNumber().column, f.houseNumber);
        conditions.addLike(postalCode().column, f.postalCode);
    }
    addRegion(conditions, d, f);
    // Only the four plain leading digits are stored searchable; the whole
    // number is compared after unscrambling.
    if (byTelephone) conditions.add(d.telephonePrefix + digitsOnly(f.telephone).left(4) + u")"_s);
    return lines;
}

QString countStatement(const QStringList& lines, int searchLimit) {
    QStringList out = lines;
    if (!out.isEmpty())
        out.first().remove(u"TOP "_s + QString::number(searchLimit + 1) + u' ', Qt::CaseInsensitive);
    return out.join(u'\n');
}

QStringList extraNumbersLines(Directory directory, const QStringList& lines) {
    const Description& d = describe(directory);
    QStringList out = lines;
    // Only the conditions, after the head, the body and the WHERE line: the
    // selected columns stay those of the main number, which the row shows.
    for (int i = 3; i < out.size(); ++i)
        out[i].replace(d.mainNumberColumn, d.extraNumberColumn, Qt::CaseInsensitive);
    return out;
}

} // namespace search_criteria
