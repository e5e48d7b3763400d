#include "SearchCases.h"

#include "DirectoryPageDescription.h"

#include <QFile>
#include <QSet>

namespace search_cases {

namespace {

using search_criteria::Directory;
using search_criteria::SearchFields;

// The page's controls as the case file names them, with the search field
// each one fills; taken from the pages' own description.
struct Controls {
    std::vector<std::pair<QString, QString SearchFields::*>> boxes;
    std::vector<std::pair<QString, bool SearchFields::*>> switches;
    QString region;
    SearchFields atStart; // the switches as the program starts
};

Controls controlsOf(Directory directory) {
    const DirectoryPageDescription p = directory == Directory::Persons ? DirectoryPageDescription::persons()
                                                                       : DirectoryPageDescription::firms();
    Controls c;
    c.boxes = {{p.name.name, &SearchFields::name},         {p.secondName.name, &SearchFields::second},
               {p.street.name, &SearchFields::street},     {p.houseNumber.name, &SearchFields::houseNumber},
               {p.town.name, &SearchFields::municipality}, {p.postalCode.name, &SearchFields::postalCode},
               {p.phone.name, &SearchFields::telephone}};
    c.switches = {{p.nameSwitch.name, &SearchFields::nameWildcard},
                  {p.streetSwitch.name, &SearchFields::streetWildcard},
                  {p.townSwitch.name, &SearchFields::municipalityWildcard}};
    c.region = p.region.name;
    c.atStart.nameWildcard = p.nameSwitch.on;
    c.atStart.streetWildcard = p.streetSwitch.on;
    c.atStart.municipalityWildcard = p.townSwitch.on;
    c.atStart.regionText = DirectoryPageDescription::regions().value(0);
    return c;
}

[[noreturn]] void fail(int line, const QString& what) {
    throw CaseError(QStringLiteral("line %1: %2").arg(QString::number(line), what));
}

QString quote(const QString& text) {
    return u'"' + text + u'"';
}

SearchCase parseLine(int line, const QString& text) {
    const QStringList parts = text.split(u'\t');
    SearchCase c;
    c.line = line;
    c.text = text;
    const QString page = parts[0].trimmed();
    if (page == QLatin1String("persons"))
        c.directory = Directory::Persons;
    else if (page == QLatin1String("firms"))
        c.directory = Directory::Firms;
    else
        fail(line, QStringLiteral("the page is %1, not persons or firms").arg(quote(page)));

    const Controls controls = controlsOf(c.directory);
    SearchFields& f = c.fields;
    f = controls.atStart;
    QSet<QString> seen;
    for (const QString& pair : parts.mid(1)) {
        if (pair.trimmed().isEmpty()) continue;
        const qsizetype eq = pair.indexOf(u'=');
        if (eq <= 0) fail(line, QStringLiteral("%1 is not control=value").arg(quote(pair)));
        const QString name = pair.left(eq).trimmed();
        const QString value = pair.mid(eq + 1);
        if (seen.contains(name)) fail(line, QStringLiteral("%1 is given twice").arg(name));
        seen.insert(name);

        bool known = false;
        for (const auto& [control, member] : controls.boxes)
            if (control == name) {
                f.*member = value;
                known = true;
            }
        for (const auto& [control, member] : controls.switches)
            if (control == name) {
                if (value != QLatin1String("on") && value != QLatin1String("off"))
                    fail(line, QStringLiteral("the switch %1 is on or off, not %2").arg(name, quote(value)));
                f.*member = value == QLatin1String("on");
                known = true;
            }
        if (name == controls.region) {
            const qsizetype index = DirectoryPageDescription::regions().indexOf(value);
            if (index < 0) fail(line, QStringLiteral("%1 is not an item of %2").arg(quote(value), name));
            f.region = int(index);
            f.regionText = value;
            known = true;
        }
        if (!known) fail(line, QStringLiteral("the %1 page has no control %2").arg(page, quote(name)));
    }

    search_criteria::normalise(f);
    if (search_criteria::isEmptyRequest(f))
        fail(line, QStringLiteral("nothing to search for: the page refuses such a search"));
    return c;
}

} // namespace

std::vector<SearchCase> parse(const QString& text) {
    std::vector<SearchCase> cases;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) continue;
        cases.push_back(parseLine(int(i + 1), line));
    }
    return cases;
}

std::vector<SearchCase> readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CaseError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    try {
        return parse(QString::fromUtf8(file.readAll()));
    } catch (const CaseError& e) {
        throw CaseError(path + QStringLiteral(", ") + e.message());
    }
}

} // namespace search_cases
