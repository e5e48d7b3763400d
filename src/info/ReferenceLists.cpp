#include "ReferenceLists.h"

#include "CzechText.h"
#include "TextHelpers.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace reference_lists {

namespace {

// Half of the designed window width: the two columns of a list share the grid equally.
constexpr int kHalf = 376;

const QString kGridHint = u"pro další funkce stiskněte pravé tlačítko myši..."_s;

Description internetAddresses() {
    Description d;
    d.list = List::InternetAddresses;
    d.file = u"INET.mdb"_s;
    d.table = u"INET"_s;
    d.statement = u"SELECT firma, url FROM INET ORDER BY firma, url"_s;
    d.columns = {{u"firma"_s, u"Společnost"_s, u"Společnost"_s, kHalf, CellStyle::Plain},
                 {u"url"_s, u"Adresa na internetu"_s, u"Adresa"_s, kHalf, CellStyle::Address}};
    d.searchButton = true;
    d.openButton = true;
    d.commands = {Command::SearchFirms, Command::OpenAddress};
    d.gridHint = kGridHint;
    return d;
}

Description freephoneLines() {
    Description d;
    d.list = List::FreephoneLines;
    d.file = u"ZELINKY.mdb"_s;
    d.table = u"ZELINKY"_s;
    d.statement = u"SELECT spolecnost, telefon FROM ZELINKY ORDER BY spolecnost, telefon"_s;
    d.columns = {{u"spolecnost"_s, u"Společnost provozující zelenou linku"_s, u"Společnost"_s, kHalf,
                  CellStyle::Plain},
                 {u"telefon"_s, u"Zelená linka"_s, u"Zelená linka"_s, kHalf, CellStyle::PhoneGrouping}};
    d.searchButton = true;
    d.commands = {Command::SearchFirms};
    return d;
}

Description postalCodes() {
    Description d;
    d.list = List::PostalCodes;
    d.file = u"PSC.mdb"_s;
    d.table = u"PSC"_s;
    d.statement = u"SELECT kraj, obec, psc, posta FROM PSC ORDER BY obec, psc, posta, kraj"_s;
    d.columns = {{u"obec"_s, u"Obec"_s, u"Obec"_s, 50, CellStyle::Plain},
                 {u"psc"_s, u"PSČ"_s, u"PSČ"_s, 30, CellStyle::Plain},
                 {u"posta"_s, u"Pošta"_s, u"Pošta"_s, 50, CellStyle::Plain},
                 {u"kraj"_s, u"Kraj"_s, u"Kraj"_s, 200, CellStyle::Plain}};
    d.commands = {Command::ToPersons, Command::ToFirms};
    d.gridHint = kGridHint;
    return d;
}

Description internationalPrefixes() {
    Description d;
    d.list = List::InternationalPrefixes;
    d.file = u"MP.mdb"_s;
    d.table = u"MP"_s;
    d.statement = u"SELECT nazev,cislo FROM MP ORDER BY nazev, cislo"_s;
    d.columns = {{u"nazev"_s, u"Stát"_s, u"Stát"_s, kHalf, CellStyle::Plain},
                 {u"cislo"_s, u"Předvolba"_s, u"Předvolba"_s, kHalf, CellStyle::Plain}};
    return d;
}

} // namespace

const Description& describe(List list) {
    static const Description lists[4] = {internetAddresses(), freephoneLines(), postalCodes(),
                                         internationalPrefixes()};
    return lists[int(list)];
}

QStringList choices(const Description& d) {
    QStringList out;
    for (const Column& c : d.columns)
        out << c.choice;
    return out;
}

int columnNamed(const Description& d, const QString& text) {
    const QString wanted = czech::fold(text);
    for (int i = 0; i < d.columns.size(); ++i)
        if (czech::fold(d.columns[i].choice) == wanted) return i;
    return -1;
}

QString tableReference(const Description& d, const QString& dataFolder) {
    const QString path = dataFolder + d.file;
    if (path.contains(u'"')) return d.table;
    return d.table + QStringLiteral(" IN \"") + path + u'"';
}

QString sortedStatement(const QString& tableReference, const QString& field, bool ascending) {
    return QStringLiteral("SELECT * FROM ") + tableReference + QStringLiteral(" ORDER BY ") + field +
           (ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"));
}

QString countText(int rows) {
    return QString::asprintf("Celkový počet záznamů: %s",
                             text::thousandsGrouping(QString::number(rows)).toUtf8().constData());
}

QString postalCodeForSearch(const QString& stored) {
    return text::removeBlanks(stored.trimmed());
}

QString firmPattern(const QString& name) {
    return name + u'*';
}

QString webAddress(const QString& stored) {
    const QString text = stored.trimmed();
    if (text.isEmpty()) return {};
    const QUrl url = QUrl::fromUserInput(text);
    if (!url.isValid() || url.host().isEmpty()) return {};
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https") return {};
    return url.toString();
}

QString handOverNotice() {
    // Each line ends in a line feed and a carriage return.
    const QString lineBreak = QStringLiteral("\n\r");
    return u"Přenášené údaje nemusí vždy korespondovat s hlavní celkovou databází."_s + lineBreak +
           u"Pokud na základě přenesných údajů nebudou nalezeny žádné záznamy,"_s + lineBreak +
           u"zkuste upravit název obce a zopakovat hledání."_s;
}

} // namespace reference_lists
