#include "SearchCriteria.h"

namespace search_criteria {

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

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
    static const TextField f{Field::Street, &SearchFields::street, s("Ulice"), s("Ulice.Ulice"),
                             s("Byla zadána neexistující ulice!")};
    return f;
}
const TextField& houseNumber() {
    static const TextField f{Field::HouseNumber, &SearchFields::houseNumber, s("CP"), s("CP.CP"),
                             s("Bylo zadáno neexistující popisné číslo!")};
    return f;
}
const TextField& municipality() {
    static const TextField f{Field::Municipality, &SearchFields::municipality, s("Obec"), s("Obec.Obec"),
                             s("Byla zadána neexistující obec!")};
    return f;
}
const TextField& postalCode() {
    static const TextField f{Field::PostalCode, &SearchFields::postalCode, s("PSC"), s("PSC.PSC"),
                             s("Bylo zadáno neexistující PSČ!")};
    return f;
}

Description personsDescription() {
    Description d;
    d.body = s(
        "Osoby.ID as ID, Titul, Jmeno, Prijmeni, Ulice, CP, Obec, Cast, PSC, UTO, Poznamka.Poznamka, "
        "Osoby.euroISDN, Osoby.Tel_a, Osoby.TelExt_a FROM UTO INNER JOIN (Ulice INNER JOIN (Titul INNER JOIN "
        "(PSC INNER JOIN (Prijmeni INNER JOIN (Poznamka INNER JOIN (Obec INNER JOIN (Jmeno INNER JOIN (CP "
        "INNER JOIN (Cast INNER JOIN OSOBY ON Cast.ID = OSOBY.ID_Cast) ON CP.ID = OSOBY.ID_CP) ON Jmeno.ID = "
        "OSOBY.ID_Jmeno) ON Obec.ID = OSOBY.ID_Obec) ON Poznamka.ID = OSOBY.ID_Poznamka) ON Prijmeni.ID = "
        "OSOBY.ID_Prijmeni) ON PSC.ID = OSOBY.ID_PSC) ON Titul.ID = OSOBY.ID_Titul) ON Ulice.ID = "
        "OSOBY.ID_Ulice) ON UTO.ID = OSOBY.ID_UTO ");
    d.phoneBody =
        s("Osoby.ID as ID, Osoby_TEL_Navic.ID as nID, Titul, Jmeno, Prijmeni, Ulice, CP, Obec, Cast, PSC, "
          "UTO, Poznamka.Poznamka, Osoby.euroISDN, Osoby.Tel_a, Osoby.TelExt_a, Osoby_TEL_Navic.Tel_a as "
          "nTel_a, Osoby_TEL_Navic.TelExt_a as nTelExt_a FROM Osoby_TEL_Navic RIGHT JOIN (UTO INNER JOIN "
          "(Ulice INNER JOIN (Titul INNER JOIN (PSC INNER JOIN (Prijmeni INNER JOIN (Poznamka INNER JOIN "
          "(Obec INNER JOIN (Jmeno INNER JOIN (CP INNER JOIN (Cast INNER JOIN OSOBY ON Cast.ID = "
          "OSOBY.ID_Cast) ON CP.ID = OSOBY.ID_CP) ON Jmeno.ID = OSOBY.ID_Jmeno) ON Obec.ID = "
          "OSOBY.ID_Obec) ON Poznamka.ID = OSOBY.ID_Poznamka) ON Prijmeni.ID = OSOBY.ID_Prijmeni) ON "
          "PSC.ID = OSOBY.ID_PSC) ON Titul.ID = OSOBY.ID_Titul) ON Ulice.ID = OSOBY.ID_Ulice) ON UTO.ID = "
          "OSOBY.ID_UTO) ON Osoby_TEL_Navic.EuroISDN=Osoby.EuroISDN ");
    d.whereLine = s("WHERE");
    d.leading = {
        {Field::Name, &SearchFields::name, s("Prijmeni"), s("Prijmeni.Prijmeni"),
         s("Bylo zadáno neexistující příjmení!")},
        {Field::Second, &SearchFields::second, s("Jmeno"), s("Jmeno.Jmeno"),
         s("Bylo zadáno neexistující jméno!")},
    };
    d.validationOrder = {Field::Name,        Field::Second,       Field::Street,
                         Field::HouseNumber, Field::Municipality, Field::PostalCode};
    d.telephonePrefix = s("(Osoby.Tel_a =");
    d.mainNumberColumn = s("Osoby.Tel_a");
    d.extraNumberColumn = s("Osoby_TEL_Navic.Tel_a");
    return d;
}

Description firmsDescription() {
    Description d;
    d.body =
        s("Firmy.ID as ID, Firma, Ulice, CP, Obec, Cast, PSC, Poznamka, URL.URL, UTO, euroISDN, Tel_a, "
          "TelExt_a "
          "FROM UTO INNER JOIN (URL INNER JOIN (ULICE INNER JOIN (PSC INNER JOIN (POZNAMKA INNER JOIN (OBEC "
          "INNER JOIN (FIRMA INNER JOIN (CP INNER JOIN (CAST INNER JOIN Firmy ON CAST.ID = Firmy.id_cast) ON "
          "CP.ID = Firmy.id_cp) ON FIRMA.ID = Firmy.id_firma) ON OBEC.ID = Firmy.id_obec) ON POZNAMKA.ID = "
          "Firmy.id_poznamka) ON PSC.ID = Firmy.id_psc) ON ULICE.ID = Firmy.id_ulice) ON URL.ID = "
          "Firmy.id_url) ON UTO.ID = Firmy.id_uto");
    d.phoneBody =
        s("Firmy.ID as ID, Firmy_TEL_Navic.ID as nID, Firma, Ulice, CP, Obec, Cast, PSC, "
          "Poznamka.Poznamka, URL.URL, UTO, Firmy.euroISDN, Firmy.Tel_a, Firmy.TelExt_a, "
          "Firmy_TEL_Navic.Tel_a as nTel_a, Firmy_TEL_Navic.TelExt_a as nTelExt_a FROM Firmy_TEL_Navic "
          "RIGHT JOIN (UTO INNER JOIN (URL INNER JOIN (ULICE INNER JOIN (PSC INNER JOIN (POZNAMKA INNER "
          "JOIN (OBEC INNER JOIN (FIRMA INNER JOIN (CP INNER JOIN (CAST INNER JOIN Firmy ON CAST.ID = "
          "Firmy.id_cast) ON CP.ID = Firmy.id_cp) ON FIRMA.ID = Firmy.id_firma) ON OBEC.ID = "
          "Firmy.id_obec) ON POZNAMKA.ID = Firmy.id_poznamka) ON PSC.ID = Firmy.id_psc) ON ULICE.ID = "
          "Firmy.id_ulice) ON URL.ID = Firmy.id_url) ON UTO.ID = Firmy.id_uto) ON "
          "Firmy_TEL_Navic.EuroISDN=Firmy.EuroISDN");
    d.whereLine = s("WHERE ");
    d.leading = {
        {Field::Second, &SearchFields::second, s("Poznamka"), s("Poznamka.poznamka"),
         s("Byla zadána neexistující poznámka!")},
        {Field::Name, &SearchFields::name, s("Firma"), s("Firma.Firma"),
         s("Byl zadán neexistující název firmy!")},
    };
    d.validationOrder = {Field::Name,        Field::Second,       Field::Street,
                         Field::HouseNumber, Field::Municipality, Field::PostalCode};
    d.telephonePrefix = s("(Firmy.Tel_a LIKE ");
    d.mainNumberColumn = s("Firmy.Tel_a");
    d.extraNumberColumn = s("Firmy_TEL_Navic.Tel_a");
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
        m_lines << (m_any ? s("AND ") : QString()) + condition;
        m_any = true;
    }
    void addLike(const QString& column, const QString& value) {
        if (!value.isEmpty()) add(column + s(" LIKE ") + quoted(value));
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
    if (m.contains(s("štramberk")))
        conditions.add(s("(Obec.Obec LIKE \"Štenberk\" OR Obec.Obec LIKE \"Štramberk\")"));
    else if (m.contains(s("šternberk")))
        conditions.add(s("(Obec.Obec LIKE \"Štenberk\" OR Obec.Obec LIKE \"Šternberk\")"));
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
    if (m.contains(s("štramberk")))
        conditions.add(s("(PSC.PSC LIKE \"74266\")"));
    else if (m.contains(s("šternberk")) || m.contains(s("štenberk")))
        conditions.add(s("(PSC.PSC LIKE \"78501\")"));
}

void addRegion(Conditions& conditions, const Description& d, const SearchFields& f) {
    if (f.region == 0) return;
    if (!d.firmSpecialCases) {
        conditions.add(s("UTO.UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE ") + quoted(f.regionText) +
                       s(")"));
        return;
    }
    conditions.add(s("(UTO IN (SELECT UTO FROM KRAJE WHERE Kraj LIKE ") + quoted(f.regionText) + s(")"));
    conditions.continueWith(f.regionText == s("Pardubický") ? s(" OR UTO = \"4\")") : s(")"));
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
    inner.replace(u'"', s("\"\""));
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
            (value.contains(s("šternberk")) || value.contains(s("štramberk"))))
            continue;
        // Each lookup table keeps its values in a column of its own name.
        out << Probe{field, t.table, t.table, value, t.message};
    }
    return out;
}

QString probeStatement(const QString& table, const QString& column, const QString& value) {
    return s("SELECT TOP 1 * FROM ") + table + s(" WHERE ") + column + s(" LIKE ") + quoted(value);
}

QStringList statementLines(Directory directory, const SearchFields& f, int searchLimit) {
    const Description& d = describe(directory);
    const bool byTelephone = !f.telephone.isEmpty();

    QStringList lines;
    if (byTelephone) {
        // No row limit: the limit is kept while the candidates are compared.
        lines << s("SELECT  ") << d.phoneBody;
    } else {
        lines << s("SELECT TOP ") + QString::number(searchLimit + 1) + u' ' << d.body;
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
    if (byTelephone) conditions.add(d.telephonePrefix + digitsOnly(f.telephone).left(4) + s(")"));
    return lines;
}

QString countStatement(const QStringList& lines, int searchLimit) {
    QStringList out = lines;
    if (!out.isEmpty())
        out.first().remove(s("TOP ") + QString::number(searchLimit + 1) + u' ', Qt::CaseInsensitive);
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
