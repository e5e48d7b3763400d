#include "Generator.h"

#include "Database.h"
#include "DatabaseLogin.h"
#include "DirectoryIndexes.h"
#include "Error.h"
#include "Random.h"
#include "Scramble.h"
#include "TableOutput.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// ---- sizes ----------------------------------------------------------------------

constexpr int kMaxExtras = 12;

// ---- lookup tables ---------------------------------------------------------------

// A lookup table: distinct values numbered from 2 in order of first use; row 1
// holds no value (Null) for records that have none.
class Lookup {
  public:
    Lookup(QString table, int size) : m_table(std::move(table)), m_size(size) {}
    int id(const QString& value) {
        if (value.isEmpty()) return 1;
        const QString v = value.left(m_size);
        auto it = m_ids.constFind(v);
        if (it != m_ids.constEnd()) return *it;
        m_values.push_back(v);
        const int id = int(m_values.size()) + 1;
        m_ids.insert(v, id);
        return id;
    }
    const QString& table() const { return m_table; }
    void write(TableOutput& out) const {
        const int t = out.addTable(m_table, {{db::kDirectoryKey, jet::Type::Long, 0, true, true},
                                             {m_table, jet::Type::Text, m_size}});
        out.addRow(t, {1, QVariant()});
        for (size_t i = 0; i < m_values.size(); ++i)
            out.addRow(t, {int(i) + 2, m_values[i]});
    }
    qint64 rows() const { return qint64(m_values.size()) + 1; }

  private:
    QString m_table;
    int m_size;
    QHash<QString, int> m_ids;
    std::vector<QString> m_values;
};

// ---- numbers ---------------------------------------------------------------------

// Every nine-digit number handed out, so that no two entries share one.
class NumberPool {
  public:
    NumberPool() : m_used(1000000000ULL / 64 + 1, 0) {}
    bool take(uint64_t n) {
        uint64_t& word = m_used[n / 64];
        const uint64_t bit = 1ULL << (n % 64);
        if (word & bit) return false;
        word |= bit;
        return true;
    }

  private:
    std::vector<uint64_t> m_used;
};

uint64_t randomDigits(Random& r, int count) {
    uint64_t v = 0;
    for (int i = 0; i < count; ++i)
        v = v * 10 + r.below(10);
    return v;
}

uint64_t pow10(int n) {
    uint64_t v = 1;
    while (n-- > 0)
        v *= 10;
    return v;
}

// The stored form of a number: its first four digits plain, the rest scrambled
// with the record number.
struct StoredNumber {
    int telA = 0;
    QString telExtA;
};

StoredNumber store(uint64_t number, qint64 id) {
    const QString digits = QString::number(number);
    const QString scrambled = phone::unscramble(digits, QString::number(id));
    return {digits.left(4).toInt(), scrambled.mid(4)};
}

// ---- text helpers ------------------------------------------------------------------

// A web-safe form of a name: ASCII letters and digits, lower case.
QString slug(const QString& name, int maxLength) {
    const QString d = name.normalized(QString::NormalizationForm_D);
    QString out;
    for (QChar c : d) {
        if (c.unicode() < 128 && c.isLetterOrNumber()) out += c.toLower();
        if (out.size() >= maxLength) break;
    }
    return out.isEmpty() ? QStringLiteral("firma") : out;
}

// Splits a total over weights so that the parts add up to it exactly.
std::vector<int> apportion(int total, const std::vector<double>& weights) {
    std::vector<int> out(weights.size(), 0);
    double sum = 0;
    for (double w : weights)
        sum += w;
    if (sum <= 0 || total <= 0) return out;
    std::vector<std::pair<double, size_t>> rest;
    int given = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        const double exact = total * weights[i] / sum;
        out[i] = int(std::floor(exact));
        given += out[i];
        rest.emplace_back(exact - out[i], i);
    }
    std::stable_sort(rest.begin(), rest.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t k = 0; given < total && k < rest.size(); ++k, ++given)
        ++out[rest[k].second];
    return out;
}

// How many additional numbers each subscriber has, so that rows plus additional
// numbers come to the total exactly.
std::vector<uint8_t> planExtras(Random& r, int totalNumbers, double shareWithExtras) {
    // Shares of subscribers with 1, 2, 3 … 12 additional numbers among those that have any.
    static const double dist[kMaxExtras] = {50, 20, 10, 6, 4, 3, 2, 1.5, 1.2, 1, 0.8, 0.5};
    std::vector<double> weights(std::begin(dist), std::end(dist));
    WeightedPicker picker(weights);
    double mean = 0, wsum = 0;
    for (int i = 0; i < kMaxExtras; ++i) {
        mean += (i + 1) * dist[i];
        wsum += dist[i];
    }
    mean = shareWithExtras * mean / wsum;
    const int rows = std::max(1, int(std::lround(totalNumbers / (1.0 + mean))));
    std::vector<uint8_t> extras(size_t(rows), 0);
    qint64 sum = 0;
    for (auto& e : extras) {
        if (r.chance(shareWithExtras)) e = uint8_t(picker.pick(r) + 1);
        sum += e;
    }
    const qint64 wanted = qint64(totalNumbers) - rows;
    while (sum > wanted) {
        auto& e = extras[r.below(extras.size())];
        if (e > 0) {
            --e;
            --sum;
        }
    }
    while (sum < wanted) {
        auto& e = extras[r.below(extras.size())];
        if (e > 0 && e < kMaxExtras) {
            ++e;
            ++sum;
        } else if (e == 0 && r.chance(0.05)) {
            e = 1;
            ++sum;
        }
    }
    return extras;
}

} // namespace

DataSize DataSize::byName(const QString& name) {
    if (name == u"test") return {name, 3000, 1500};
    if (name == u"demo") return {name, 108500, 46000};
    if (name == u"full") return {name, 2425638, 780397};
    throw std::runtime_error(("unknown size " + name + " (test, demo or full)").toStdString());
}

Generator::Generator(const Seeds& seeds, const DataSize& size, uint64_t seed)
    : m_seeds(seeds), m_size(size), m_seed(seed) {}

// ---- the directory ---------------------------------------------------------------

struct Generator::Impl {
    const Seeds& s;
    Random rng;
    NumberPool numbers;
    Lookup titul{QStringLiteral("Titul"), 30}, jmeno{QStringLiteral("Jmeno"), 30},
        prijmeni{QStringLiteral("Prijmeni"), 50}, firma{QStringLiteral("Firma"), 100},
        ulice{QStringLiteral("Ulice"), 50}, cp{QStringLiteral("CP"), 50}, obec{QStringLiteral("Obec"), 50},
        cast{QStringLiteral("Cast"), 50}, psc{QStringLiteral("PSC"), 5},
        poznamka{QStringLiteral("Poznamka"), 250}, url{QStringLiteral("URL"), 250},
        uto{QStringLiteral("UTO"), 5};
    WeightedPicker maleNames, femaleNames, surnames, titles, streets, businesses, legalForms, mobiles;
    std::vector<double> municipalityPopulation; // per place: population of its whole municipality

    explicit Impl(const Seeds& seeds, uint64_t seed) : s(seeds), rng(seed) {
        auto weights = [](const auto& list) {
            std::vector<double> w;
            for (const auto& x : list)
                w.push_back(x.weight);
            return w;
        };
        maleNames = WeightedPicker(weights(s.maleNames));
        femaleNames = WeightedPicker(weights(s.femaleNames));
        surnames = WeightedPicker(weights(s.surnames));
        titles = WeightedPicker(weights(s.titles));
        streets = WeightedPicker(weights(s.streets));
        businesses = WeightedPicker(weights(s.businesses));
        legalForms = WeightedPicker(weights(s.legalForms));
        mobiles = WeightedPicker(weights(s.mobilePrefixes));
        QHash<QString, double> total;
        for (const auto& p : s.places)
            total[p.municipality] += p.population;
        for (const auto& p : s.places)
            municipalityPopulation.push_back(total.value(p.municipality));
    }

    // A new nine-digit number: a fixed line of the place's region or a mobile.
    uint64_t newNumber(Random& r, const Seeds::Region& region, double mobileShare) {
        for (;;) {
            QString prefix;
            if (r.chance(mobileShare) || region.landlinePrefixes.isEmpty())
                prefix = s.mobilePrefixes[mobiles.pick(r)].text;
            else
                prefix = region.landlinePrefixes[int(r.below(uint64_t(region.landlinePrefixes.size())))];
            const int rest = 9 - int(prefix.size());
            const uint64_t n = prefix.toULongLong() * pow10(rest) + randomDigits(r, rest);
            if (n >= 100000000ULL && numbers.take(n)) return n;
        }
    }

    // Additional numbers follow the main one where they are free, as lines of
    // one connection usually do.
    uint64_t nextNumber(Random& r, uint64_t after, const Seeds::Region& region) {
        for (uint64_t n = after + 1; n < after + 20 && n < 1000000000ULL; ++n)
            if (numbers.take(n)) return n;
        return newNumber(r, region, 0.1);
    }

    // A house number as the directory writes it: the building's number within
    // the place, and in cities often its number within the street after a
    // slash ("1520/12"). A place numbers its buildings, not its people: a
    // family house holds a few, a city's block of flats some twenty, and even
    // the largest parts of towns stay below four thousand buildings.
    QString houseNumber(Random& r, double population, bool city) {
        const int buildings = std::clamp(int(population / (city ? 20 : 4)), 20, 3000);
        const int number = 1 + int(r.below(uint64_t(buildings)));
        if (city && r.chance(0.6)) return QStringLiteral("%1/%2").arg(number).arg(1 + r.below(60));
        return QString::number(number);
    }

    // The streets of one place, chosen once so that its entries share them.
    std::vector<int> placeStreets(Random& r, double population, double municipality) {
        std::vector<int> ids;
        if (municipality < 400) return ids; // villages give house numbers only
        const int count = std::clamp(int(population / 150), 3, 400);
        QSet<int> seen;
        for (int i = 0; i < count * 3 && int(ids.size()) < count; ++i) {
            const int id = ulice.id(s.streets[streets.pick(r)].text);
            if (!seen.contains(id)) {
                seen.insert(id);
                ids.push_back(id);
            }
        }
        return ids;
    }

    QString firmName(Random& r, const Seeds::Business& business, const Seeds::Place& place) {
        Impl& g = *this;
        const QString surname = s.surnames[g.surnames.pick(r)].male;
        const QString brand = s.brandWords.isEmpty()
                                  ? QStringLiteral("Servis")
                                  : s.brandWords[int(r.below(uint64_t(s.brandWords.size())))];
        const QString form = s.legalForms.empty() ? QString() : s.legalForms[g.legalForms.pick(r)].text;
        QString name;
        switch (r.below(10)) {
        case 0:
        case 1:
        case 2:
            name = business.head + u' ' + surname;
            break;
        case 3:
        case 4:
            name = brand + (r.chance(0.5) ? u' ' + place.municipality : QString());
            break;
        case 5:
            name = surname + u' ' + s.maleNames[g.maleNames.pick(r)].text + QStringLiteral(" - ") +
                   business.head;
            break;
        case 6:
        case 7:
            name = business.head + u' ' + brand;
            break;
        case 8:
            name = business.head + u' ' + place.municipality;
            break;
        default:
            // Some names are long: the labels and exports must cope with them.
            name = brand + u' ' + place.municipality + u' ' + business.head.toLower();
            break;
        }
        if (!form.isEmpty() && r.chance(0.45))
            name += (r.chance(0.5) ? QStringLiteral(", ") : QStringLiteral(" ")) + form;
        return name.left(100);
    }
};

// The directory's tables and rows, the same for either output.
std::vector<TableCount> Generator::fillDirectory(TableOutput& out) {
    Impl g(m_seeds, m_seed);
    const Seeds& s = m_seeds;
    using jet::Type;
    auto idColumn = [] { return jet::Column{db::kDirectoryKey, Type::Long, 0, true, true}; };
    auto longColumn = [](const char* name) { return jet::Column{QString::fromLatin1(name), Type::Long}; };
    auto textColumn = [](const char* name, int size) {
        return jet::Column{QString::fromLatin1(name), Type::Text, size};
    };
    std::vector<jet::Column> personColumns{idColumn()};
    for (const char* c : {"ID_Titul", "ID_Jmeno", "ID_Prijmeni", "ID_Ulice", "ID_CP", "ID_Obec", "ID_Cast",
                          "ID_PSC", "ID_Poznamka", "ID_UTO", "euroISDN", "Tel_a"})
        personColumns.push_back(longColumn(c));
    personColumns.push_back(textColumn("TelExt_a", 12));
    std::vector<jet::Column> firmColumns{idColumn()};
    for (const char* c : {"id_firma", "id_poznamka", "id_ulice", "id_cp", "id_obec", "id_cast", "id_psc",
                          "id_url", "id_uto", "euroISDN", "Tel_a"})
        firmColumns.push_back(longColumn(c));
    firmColumns.push_back(textColumn("TelExt_a", 12));
    const std::vector<jet::Column> extraColumns{idColumn(), longColumn("EuroISDN"), longColumn("Tel_a"),
                                                textColumn("TelExt_a", 12), textColumn("Poznamka", 20)};
    const int osobyTable = out.addTable(QStringLiteral("Osoby"), personColumns);
    const int firmyTable = out.addTable(QStringLiteral("Firmy"), firmColumns);
    const int osobyExtraTable = out.addTable(QStringLiteral("Osoby_TEL_Navic"), extraColumns);
    const int firmyExtraTable = out.addTable(QStringLiteral("Firmy_TEL_Navic"), extraColumns);
    const int krajeTable =
        out.addTable(QStringLiteral("KRAJE"), {textColumn("UTO", 5), textColumn("Kraj", 50)});
    auto osoby = [&](const QVariantList& row) { out.addRow(osobyTable, row); };
    auto firmy = [&](const QVariantList& row) { out.addRow(firmyTable, row); };
    auto osobyExtra = [&](const QVariantList& row) { out.addRow(osobyExtraTable, row); };
    auto firmyExtra = [&](const QVariantList& row) { out.addRow(firmyExtraTable, row); };

    // Subscribers per place follow the population; the two towns whose names the
    // firms search treats specially always have some.
    std::vector<double> weights;
    for (const auto& p : s.places)
        weights.push_back(p.population);
    auto isSpecial = [](const Seeds::Place& p) {
        return p.municipality == u"Štramberk" || p.municipality == u"Šternberk";
    };

    Random plan = g.rng.fork(1);
    const std::vector<uint8_t> personExtras = planExtras(plan, m_size.personNumbers, 0.035);
    const std::vector<uint8_t> firmExtras = planExtras(plan, m_size.firmNumbers, 0.22);
    std::vector<int> personRows = apportion(int(personExtras.size()), weights);
    std::vector<double> firmWeights;
    for (size_t i = 0; i < s.places.size(); ++i)
        firmWeights.push_back(std::pow(weights[i], 1.1)); // towns hold the firms
    std::vector<int> firmRows = apportion(int(firmExtras.size()), firmWeights);
    // Keep the totals: move rows from the largest place to the special towns.
    auto ensure = [&](std::vector<int>& rows, int minimum) {
        for (size_t i = 0; i < s.places.size(); ++i) {
            while (isSpecial(s.places[i]) && rows[i] < minimum) {
                const size_t largest = size_t(std::max_element(rows.begin(), rows.end()) - rows.begin());
                if (rows[largest] <= minimum) break;
                --rows[largest];
                ++rows[i];
            }
        }
    };
    ensure(personRows, 6);
    ensure(firmRows, 6);

    qint64 personId = 0, firmId = 0, personExtraId = 0, firmExtraId = 0;
    size_t personPlan = 0, firmPlan = 0;
    const int emptyNote = g.poznamka.id(QString());
    const int euroNote = g.poznamka.id(QStringLiteral("EuroISDN"));
    static const char* personNotes[] = {"fax", "záznamník", "i fax", "lékař", "ordinace"};
    static const char* extraNotes[] = {"fax", "ústředna", "záznamník", "modem", "sekretariát", "mobil"};

    for (size_t pi = 0; pi < s.places.size(); ++pi) {
        const Seeds::Place& place = s.places[pi];
        const Seeds::District* district = s.district(place.districtCode);
        const Seeds::Region* region = s.region(district->region);
        Random r = g.rng.fork(pi + 100);
        const double townPopulation = g.municipalityPopulation[pi];
        const bool city = townPopulation >= 20000;
        const std::vector<int> streetIds = g.placeStreets(r, place.population, townPopulation);
        const int obecId = g.obec.id(place.municipality), castId = g.cast.id(place.part),
                  pscId = g.psc.id(place.psc);
        const int utoId = g.uto.id(place.districtCode);
        auto street = [&]() { return streetIds.empty() ? 1 : streetIds[r.below(streetIds.size())]; };

        for (int k = 0; k < personRows[pi] && personPlan < personExtras.size(); ++k) {
            const qint64 id = ++personId;
            const bool female = r.chance(0.5);
            const QString first =
                female ? s.femaleNames[g.femaleNames.pick(r)].text : s.maleNames[g.maleNames.pick(r)].text;
            const auto& sn = s.surnames[g.surnames.pick(r)];
            const QString title = r.chance(female ? 0.06 : 0.1) ? s.titles[g.titles.pick(r)].text : QString();
            int note = emptyNote;
            if (r.chance(0.02))
                note = euroNote;
            else if (r.chance(0.006))
                note = g.poznamka.id(QString::fromUtf8(personNotes[r.below(std::size(personNotes))]));
            const uint64_t main = g.newNumber(r, *region, 0.25);
            const StoredNumber stored = store(main, id);
            const qint64 euro = 10000000 + id;
            osoby({id, g.titul.id(title), g.jmeno.id(first), g.prijmeni.id(female ? sn.female : sn.male),
                   street(), g.cp.id(g.houseNumber(r, place.population, city)), obecId, castId, pscId, note,
                   utoId, euro, stored.telA, stored.telExtA});
            uint64_t last = main;
            for (int e = 0; e < personExtras[personPlan]; ++e) {
                last = g.nextNumber(r, last, *region);
                const qint64 xid = ++personExtraId;
                const StoredNumber x = store(last, xid);
                QString xnote;
                if (note == euroNote)
                    xnote = QStringLiteral("EuroISDN");
                else if (r.chance(0.3))
                    xnote = QString::fromUtf8(extraNotes[r.below(std::size(extraNotes))]);
                osobyExtra({xid, euro, x.telA, x.telExtA, xnote.isEmpty() ? QVariant() : QVariant(xnote)});
            }
            ++personPlan;
        }

        const bool pardubicky = district->region == u"Pardubický";
        for (int k = 0; k < firmRows[pi] && firmPlan < firmExtras.size(); ++k) {
            const qint64 id = ++firmId;
            const auto& business = s.businesses[g.businesses.pick(r)];
            const QString name = g.firmName(r, business, place);
            QString urlText;
            const QString web = slug(name, 18);
            const double u = double(r.below(100)) / 100.0;
            if (u < 0.3)
                urlText = QStringLiteral("URL: www.%1.cz E-mail: info@%1.cz").arg(web);
            else if (u < 0.4)
                urlText = QStringLiteral("URL: www.%1.cz").arg(web);
            else if (u < 0.5)
                urlText = QStringLiteral("E-mail: %1@%2.cz")
                              .arg(slug(s.surnames[g.surnames.pick(r)].male, 12), web);
            if (urlText.contains(QLatin1String("URL: ")))
                m_firmUrls.emplace_back(name, QStringLiteral("http://www.%1.cz").arg(web));
            if (m_firmNames.size() < 5000) m_firmNames.push_back(name);
            // Data as the directory really carries it: a misspelt town name, and an
            // old district code in one region.
            int firmObec = obecId;
            if (place.municipality == u"Šternberk" && k % 4 == 1)
                firmObec = g.obec.id(QStringLiteral("Štenberk"));
            const int firmUto = pardubicky && r.chance(0.2) ? g.uto.id(QStringLiteral("4")) : utoId;
            const uint64_t main = g.newNumber(r, *region, 0.15);
            const StoredNumber stored = store(main, id);
            const qint64 euro = 50000000 + id;
            firmy({id, g.firma.id(name), g.poznamka.id(business.note), street(),
                   g.cp.id(g.houseNumber(r, place.population, city)), firmObec, castId, pscId,
                   g.url.id(urlText), firmUto, euro, stored.telA, stored.telExtA});
            uint64_t last = main;
            const bool euroLines = r.chance(0.05);
            for (int e = 0; e < firmExtras[firmPlan]; ++e) {
                last = g.nextNumber(r, last, *region);
                const qint64 xid = ++firmExtraId;
                const StoredNumber x = store(last, xid);
                QString xnote =
                    euroLines ? QStringLiteral("EuroISDN")
                              : (r.chance(0.4) ? QString::fromUtf8(extraNotes[r.below(std::size(extraNotes))])
                                               : QString());
                firmyExtra({xid, euro, x.telA, x.telExtA, xnote.isEmpty() ? QVariant() : QVariant(xnote)});
            }
            ++firmPlan;
        }
    }

    const Lookup* lookups[] = {&g.titul, &g.jmeno, &g.prijmeni, &g.firma,    &g.ulice, &g.cp,
                               &g.obec,  &g.cast,  &g.psc,      &g.poznamka, &g.url,   &g.uto};
    for (const Lookup* l : lookups)
        l->write(out);
    for (const auto& dist : s.districts)
        out.addRow(krajeTable, {dist.code, dist.region});

    std::vector<TableCount> counts;
    const std::pair<const char*, int> big[] = {{"Osoby", osobyTable},
                                               {"Firmy", firmyTable},
                                               {"Osoby_TEL_Navic", osobyExtraTable},
                                               {"Firmy_TEL_Navic", firmyExtraTable},
                                               {"KRAJE", krajeTable}};
    for (const auto& [name, table] : big)
        counts.push_back({QString::fromLatin1(name), out.rowCount(table)});
    for (const Lookup* l : lookups)
        counts.push_back({l->table(), l->rows()});
    return counts;
}

namespace {

// The workgroup file beside a Jet directory, as the disc has it: a Jet 3 file
// whose system table names the accounts. The program itself does not read it.
void writeJetWorkgroup(const QString& path) {
    jet::Writer w(path);
    const int accounts = w.addTable(
        QStringLiteral("MSysAccounts"),
        {{QStringLiteral("Name"), jet::Type::Text, 20, true}, {QStringLiteral("Group"), jet::Type::YesNo}},
        true);
    w.addRow(accounts, {QStringLiteral("Admins"), true});
    w.addRow(accounts, {QStringLiteral("Users"), true});
    w.addRow(accounts, {QStringLiteral("Admin"), false});
    w.addRow(accounts, {db::databaseLogin().user, false});
    w.finish();
}

} // namespace

std::vector<TableCount> Generator::writeDirectory(const QString& folder, OutputFormat format) {
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("ordat.mdb"));
    const QString mdw = QDir(folder).filePath(QStringLiteral("ordat.mdw"));
    QFile::remove(path);
    QFile::remove(mdw);
    if (format == OutputFormat::Jet3) {
        std::vector<TableCount> counts;
        {
            jet::Writer writer(path);
            JetOutput out(writer);
            counts = fillDirectory(out);
            writer.finish(kDirectoryFileSize);
        }
        writeJetWorkgroup(mdw);
        return counts;
    }
    db::createLoginWorkgroup(mdw);
    db::Engine engine;
    engine.setWorkgroupFile(mdw);
    const db::Login login = db::databaseLogin();
    auto ws = engine.openWorkspace(login.user, login.password);
    db::OpenOptions o;
    o.exclusive = true;
    o.disposable = true;
    auto d = ws->createDatabase(path, db::kCzechLocale, o);
    d->executeNative(
        QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-262144;"));

    d->beginTransaction();
    std::vector<TableCount> counts;
    {
        EngineOutput out(*d);
        counts = fillDirectory(out);
    }
    d->commit();

    db::createDirectoryIndexes(*d);
    d->restrictToWorkgroup();

    d->close();

    // The program checks the file's exact size; SQLite ignores the padding.
    QFile f(path);
    if (f.size() > kDirectoryFileSize)
        throw std::runtime_error(
            QStringLiteral("the directory needs %1 bytes, more than the %2 it must fit in")
                .arg(f.size())
                .arg(kDirectoryFileSize)
                .toStdString());
    if (!f.resize(kDirectoryFileSize)) throw std::runtime_error("cannot pad the directory file");
    return counts;
}

// ---- the reference lists ------------------------------------------------------------

namespace {

// One reference list: a file holding one table.
class ListFile {
  public:
    ListFile(db::Engine& engine, const QString& path, OutputFormat format, const QString& table,
             const std::vector<jet::Column>& columns)
        : m_name(table) {
        QFile::remove(path);
        if (format == OutputFormat::Jet3) {
            m_jet = std::make_unique<jet::Writer>(path);
            m_out = std::make_unique<JetOutput>(*m_jet);
        } else {
            m_database = engine.defaultWorkspace().createDatabase(path, db::kCzechLocale);
            m_database->beginTransaction();
            m_out = std::make_unique<EngineOutput>(*m_database);
        }
        m_table = m_out->addTable(table, columns);
    }
    void row(const QVariantList& values) { m_out->addRow(m_table, values); }
    TableCount finish() {
        const TableCount count{m_name, m_out->rowCount(m_table)};
        m_out.reset();
        if (m_jet) {
            m_jet->finish();
        } else {
            m_database->commit();
            m_database->close();
        }
        return count;
    }

  private:
    QString m_name;
    std::unique_ptr<jet::Writer> m_jet;
    std::unique_ptr<db::Database> m_database;
    std::unique_ptr<TableOutput> m_out;
    int m_table = 0;
};

std::vector<jet::Column> textColumns(std::initializer_list<std::pair<const char*, int>> columns) {
    std::vector<jet::Column> out;
    for (const auto& [name, size] : columns)
        out.push_back({QString::fromLatin1(name), jet::Type::Text, size});
    return out;
}

} // namespace

std::vector<TableCount> Generator::writeReferenceLists(const QString& folder, OutputFormat format) {
    QDir().mkpath(folder);
    db::Engine engine;
    std::vector<TableCount> counts;
    Random r(m_seed ^ 0x5EED);
    auto create = [&](const char* file, const char* table,
                      std::initializer_list<std::pair<const char*, int>> columns) {
        return ListFile(engine, QDir(folder).filePath(QString::fromLatin1(file)), format,
                        QString::fromLatin1(table), textColumns(columns));
    };
    { // Free-phone lines: the companies of the seed list and some of the directory's firms.
        ListFile ins = create("ZELINKY.mdb", "ZELINKY", {{"spolecnost", 100}, {"telefon", 20}});
        QSet<QString> used;
        auto line = [&]() {
            for (;;) {
                const QString n = QStringLiteral("800%1").arg(randomDigits(r, 6), 6, 10, QChar(u'0'));
                if (!used.contains(n)) {
                    used.insert(n);
                    return n;
                }
            }
        };
        for (const auto& c : m_seeds.freephoneCompanies) {
            const int lines = 1 + int(r.below(3));
            for (int i = 0; i < lines; ++i)
                ins.row({c.text, line()});
        }
        const size_t firms = std::min<size_t>(m_firmNames.size(), 120);
        for (size_t i = 0; i < firms; ++i)
            ins.row({m_firmNames[(i * 37) % m_firmNames.size()], line()});
        counts.push_back(ins.finish());
    }
    { // Postal codes with their post offices, from the municipality list.
        ListFile ins = create("PSC.mdb", "PSC", {{"kraj", 50}, {"obec", 50}, {"psc", 6}, {"posta", 50}});
        QSet<QString> seen;
        for (const auto& p : m_seeds.places) {
            const QString key = p.municipality + u'\n' + p.psc + u'\n' + p.postOffice;
            if (seen.contains(key)) continue;
            seen.insert(key);
            const QString region = m_seeds.district(p.districtCode)->region;
            ins.row({region, p.municipality, p.psc.left(3) + u' ' + p.psc.mid(3), p.postOffice});
        }
        counts.push_back(ins.finish());
    }
    { // International dialling prefixes.
        ListFile ins = create("MP.mdb", "MP", {{"nazev", 60}, {"cislo", 10}});
        for (const auto& c : m_seeds.countries)
            ins.row({c.name, c.prefix});
        counts.push_back(ins.finish());
    }
    { // Internet addresses of firms.
        ListFile ins = create("INET.mdb", "INET", {{"firma", 100}, {"url", 250}});
        const size_t limit = 3000;
        const size_t step = std::max<size_t>(1, m_firmUrls.size() / limit);
        for (size_t i = 0; i < m_firmUrls.size(); i += step)
            ins.row({m_firmUrls[i].first, m_firmUrls[i].second});
        counts.push_back(ins.finish());
    }
    return counts;
}
