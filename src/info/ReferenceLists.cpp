#include "ReferenceLists.h"

#include "CzechText.h"
#include "TextHelpers.h"

#include <QUrl>

namespace reference_lists {

namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// Half of the designed window width: the two columns of a list share the grid equally.
constexpr int kHalf = 376;

const QString kGridHint = s("pro další funkce stiskněte pravé tlačítko myši...");

Description internetAddresses() {
    Description d;
    d.list = List::InternetAddresses;
    d.file = s("INET.mdb");
    d.table = s("INET");
    d.statement = s("SELECT firma, url FROM INET ORDER BY firma, url");
    d.columns = {{s("firma"), s("Společnost"), s("Společnost"), kHalf, CellStyle::Plain},
                 {s("url"), s("Adresa na internetu"), s("Adresa"), kHalf, CellStyle::Address}};
    d.searchButton = true;
    d.openButton = true;
    d.commands = {Command::SearchFirms, Command::OpenAddress};
    d.gridHint = kGridHint;
    return d;
}

Description freephoneLines() {
    Description d;
    d.list = List::FreephoneLines;
    d.file = s("ZELINKY.mdb");
    d.table = s("ZELINKY");
    d.statement = s("SELECT spolecnost, telefon FROM ZELINKY ORDER BY spolecnost, telefon");
    d.columns = {{s("spolecnost"), s("Společnost provozující zelenou linku"), s("Společnost"), kHalf,
                  CellStyle::Plain},
                 {s("telefon"), s("Zelená linka"), s("Zelená linka"), kHalf, CellStyle::PhoneGrouping}};
    d.searchButton = true;
    d.commands = {Command::SearchFirms};
    return d;
}

Description postalCodes() {
    Description d;
    d.list = List::PostalCodes;
    d.file = s("PSC.mdb");
    d.table = s("PSC");
    d.statement = s("SELECT kraj, obec, psc, posta FROM PSC ORDER BY obec, psc, posta, kraj");
    d.columns = {{s("obec"), s("Obec"), s("Obec"), 50, CellStyle::Plain},
                 {s("psc"), s("PSČ"), s("PSČ"), 30, CellStyle::Plain},
                 {s("posta"), s("Pošta"), s("Pošta"), 50, CellStyle::Plain},
                 {s("kraj"), s("Kraj"), s("Kraj"), 200, CellStyle::Plain}};
    d.commands = {Command::ToPersons, Command::ToFirms};
    d.gridHint = kGridHint;
    return d;
}

Description internationalPrefixes() {
    Description d;
    d.list = List::InternationalPrefixes;
    d.file = s("MP.mdb");
    d.table = s("MP");
    d.statement = s("SELECT nazev,cislo FROM MP ORDER BY nazev, cislo");
    d.columns = {{s("nazev"), s("Stát"), s("Stát"), kHalf, CellStyle::Plain},
                 {s("cislo"), s("Předvolba"), s("Předvolba"), kHalf, CellStyle::Plain}};
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
    return s("Přenášené údaje nemusí vždy korespondovat s hlavní celkovou databází.") + lineBreak +
           s("Pokud na základě přenesných údajů nebudou nalezeny žádné záznamy,") + lineBreak +
           s("zkuste upravit název obce a zopakovat hledání.");
}

} // namespace reference_lists
