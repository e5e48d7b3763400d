#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The seed lists the directory is generated from (public facts: name
// frequencies, municipalities, postal codes, districts, dialling prefixes).
// They are compiled into the generator as resources under ":/seeds/".
struct Seeds {
    struct Weighted {
        QString text;
        double weight = 0;
    };
    struct Surname {
        QString male, female;
        double weight = 0;
    };
    struct Region {
        QString name;
        QStringList landlinePrefixes;
    };
    struct District {
        QString code, name, region;
    };
    struct Place {
        QString municipality, part, psc, postOffice, districtCode;
        double population = 0;
    };
    struct Business {
        QString note, head;
        double weight = 0;
    };
    struct Country {
        QString name, prefix;
    };

    std::vector<Weighted> maleNames, femaleNames;
    std::vector<Surname> surnames;
    std::vector<Weighted> titles;
    std::vector<Region> regions;
    std::vector<District> districts;
    std::vector<Place> places;
    std::vector<Weighted> streets;
    std::vector<Business> businesses;
    QStringList brandWords;
    std::vector<Weighted> legalForms;
    std::vector<Weighted> mobilePrefixes;
    std::vector<Country> countries;
    std::vector<Weighted> freephoneCompanies;

    // Reads every list; throws std::runtime_error naming the file and line of a
    // malformed record.
    static Seeds load(const QString& folder = QStringLiteral(":/seeds"));

    const District* district(const QString& code) const;
    const Region* region(const QString& name) const;
};
