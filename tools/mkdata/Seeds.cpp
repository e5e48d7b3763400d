#include "Seeds.h"

#include <QFile>
#include <functional>
#include <stdexcept>

namespace {

// Calls handle(fields, line) for every record of a TAB-separated list.
void readList(const QString& path, int fields, const std::function<void(const QStringList&)>& handle,
              int optionalFrom = -1) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(("cannot read seed list " + path).toStdString());
    int lineNo = 0;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        ++lineNo;
        QString line = QString::fromUtf8(raw);
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) continue;
        const QStringList parts = line.split(u'\t');
        bool ok = parts.size() == fields;
        for (int i = 0; ok && i < parts.size(); ++i)
            if (parts[i].trimmed().isEmpty() && i != optionalFrom) ok = false;
        if (!ok)
            throw std::runtime_error(QStringLiteral("%1:%2: expected %3 fields")
                                         .arg(path, QString::number(lineNo), QString::number(fields))
                                         .toStdString());
        handle(parts);
    }
}

double number(const QString& s, const QString& where) {
    bool ok = false;
    const double v = s.trimmed().toDouble(&ok);
    if (!ok || v < 0) throw std::runtime_error(("not a weight: " + s + " in " + where).toStdString());
    return v;
}

} // namespace

Seeds Seeds::load(const QString& folder) {
    Seeds s;
    auto file = [&](const char* name) { return folder + u'/' + QString::fromLatin1(name); };
    readList(file("first_names.tsv"), 3, [&](const QStringList& p) {
        Weighted w{p[0], number(p[2], p[0])};
        if (p[1] == u"M")
            s.maleNames.push_back(w);
        else if (p[1] == u"F")
            s.femaleNames.push_back(w);
        else
            throw std::runtime_error(("sex must be M or F: " + p[0]).toStdString());
    });
    readList(file("surnames.tsv"), 3, [&](const QStringList& p) {
        s.surnames.push_back({p[0], p[1], number(p[2], p[0])});
    });
    readList(file("titles.tsv"), 2, [&](const QStringList& p) {
        s.titles.push_back({p[0], number(p[1], p[0])});
    });
    readList(file("regions.tsv"), 2, [&](const QStringList& p) {
        s.regions.push_back({p[0], p[1].split(u',', Qt::SkipEmptyParts)});
    });
    readList(file("districts.tsv"), 3, [&](const QStringList& p) {
        s.districts.push_back({p[0], p[1], p[2]});
    });
    readList(
        file("municipalities.tsv"), 6,
        [&](const QStringList& p) {
            s.places.push_back({p[0], p[1], p[2], p[3], p[4], number(p[5], p[0])});
        },
        /*part may be empty*/ 1);
    readList(file("streets.tsv"), 2, [&](const QStringList& p) {
        s.streets.push_back({p[0], number(p[1], p[0])});
    });
    readList(file("businesses.tsv"), 3, [&](const QStringList& p) {
        s.businesses.push_back({p[0], p[1], number(p[2], p[0])});
    });
    readList(file("brand_words.tsv"), 1, [&](const QStringList& p) { s.brandWords << p[0]; });
    readList(file("legal_forms.tsv"), 2, [&](const QStringList& p) {
        s.legalForms.push_back({p[0], number(p[1], p[0])});
    });
    readList(file("mobile_prefixes.tsv"), 2, [&](const QStringList& p) {
        s.mobilePrefixes.push_back({p[0], number(p[1], p[0])});
    });
    readList(file("countries.tsv"), 2, [&](const QStringList& p) { s.countries.push_back({p[0], p[1]}); });
    readList(file("freephone_companies.tsv"), 2, [&](const QStringList& p) {
        s.freephoneCompanies.push_back({p[0], number(p[1], p[0])});
    });

    for (const Place& p : s.places)
        if (!s.district(p.districtCode))
            throw std::runtime_error(
                ("unknown district code " + p.districtCode + " of " + p.municipality).toStdString());
    for (const District& d : s.districts)
        if (!s.region(d.region)) throw std::runtime_error(("unknown region " + d.region).toStdString());
    if (s.regions.size() != 14) throw std::runtime_error("the region list must name the 14 regions");
    return s;
}

const Seeds::District* Seeds::district(const QString& code) const {
    for (const auto& d : districts)
        if (d.code == code) return &d;
    return nullptr;
}

const Seeds::Region* Seeds::region(const QString& name) const {
    for (const auto& r : regions)
        if (r.name == name) return &r;
    return nullptr;
}
