#include "DirectoryPageDescription.h"

#include "Maker.h"

using namespace Qt::StringLiterals;

namespace {

constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

} // namespace

DirectoryPageDescription DirectoryPageDescription::persons() {
    DirectoryPageDescription p;
    p.pageName = u"osoby"_s;
    p.searchCaption = maker::kBusyCaption;
    p.pageMoveCaption = maker::kBusyCaption;
    p.focusOnReset = true;
    p.popupMenu = u"PopupMenu2"_s;
    p.transferItem = u"upravit_o"_s;
    p.transferMarkedItem = u"oznacene_o"_s;
    p.callItem = u"volat_o"_s;
    p.mapItem = u"mapa_o"_s;
    p.name = {u"prijmeni"_s, u"Příjmení"_s, u"Ctrl + P"_s};
    p.nameSwitch = {u"Label8"_s, false};
    p.secondName = {u"jmeno"_s, u"Jméno"_s, u"Ctrl + J"_s};
    p.street = {u"ulice"_s, u"Ulice, ČP"_s, u"Ctrl + U"_s};
    p.streetSwitch = {u"Label15"_s, false};
    p.houseNumber = {u"cp"_s, QString(), u"Ctrl + L"_s};
    p.town = {u"mesto"_s, u"Obec"_s, u"Ctrl + O"_s};
    p.townSwitch = {u"Label28"_s, true};
    p.postalCode = {u"psc"_s, u"PSČ"_s, u"Ctrl + S"_s};
    p.phone = {u"tel"_s, u"Telefon"_s, u"Ctrl + T"_s};
    p.region = {u"ComboBox2"_s, u"Kraj"_s, u"Ctrl + B"_s};
    p.searchButton = u"Button1"_s;
    p.resetButton = u"Button3"_s;
    p.exportButton = u"Button7"_s;
    p.printButton = u"Button20"_s;
    p.stopButton = u"Button16"_s;
    p.previousButton = u"Button11"_s;
    p.nextButton = u"Button12"_s;
    p.closeButton = u"Button2"_s;
    p.endIndicator = u"Label18"_s;
    p.recordLabel = u"Memo1"_s;
    p.copyAllImage = u"Image1"_s;
    p.copyNumberImage = u"Image2"_s;
    p.copyAddressImage = u"Image7"_s;
    p.transferImage = u"Image5"_s;
    p.gridName = u"DBGridPro1"_s;
    p.columns = {
        {u"Zn"_s, u"+/-"_s, 30, kCentre},
        {u"ID2"_s, u"č."_s, 32, kCentre},
        {u"Titul"_s, u"Titul"_s, 41, Qt::AlignLeft},
        {u"Jmeno"_s, u"Jméno"_s, 85, Qt::AlignLeft},
        {u"Prijmeni"_s, u"Příjmení"_s, 101, Qt::AlignLeft},
        {u"Ulice"_s, u"Ulice"_s, 116, Qt::AlignLeft},
        {u"CP"_s, u"ČP"_s, 48, Qt::AlignLeft},
        {u"Obec"_s, u"Obec"_s, 111, Qt::AlignLeft},
        {u"Cast"_s, u"Část"_s, 59, Qt::AlignLeft},
        {u"PSC"_s, u"PSČ"_s, 48, Qt::AlignLeft},
        {u"tel"_s, u"Telefon"_s, 71, Qt::AlignLeft, false},
    };
    p.compactColumns = {u"Zn"_s, u"Jmeno"_s, u"Prijmeni"_s, u"Ulice"_s, u"Obec"_s, u"PSC"_s, u"tel"_s};
    p.fullSetWidths = {30, 30, 40, 90, 100, 115, 47, 107, 60, 47, 76};
    p.doneLabel = u"dones_o"_s;
    p.limitsLabel = u"status_o"_s;
    p.totalLabel = u"celkem_o"_s;
    p.totalCaption = u"Celkový počet telefonů: 2 425 638 "_s;
    return p;
}

DirectoryPageDescription DirectoryPageDescription::firms() {
    DirectoryPageDescription p;
    p.pageName = u"firmy"_s;
    p.forFirms = true;
    p.searchCaption = u"Ordana 2004 Velto hledám..."_s;
    p.pageMoveCaption = maker::kBusyCaption;
    p.popupMenu = u"PopupMenu3"_s;
    p.transferItem = u"upravit_f"_s;
    p.transferMarkedItem = u"oznacene_f"_s;
    p.callItem = u"volat_f"_s;
    p.mapItem = u"mapa_f"_s;
    p.name = {u"firma"_s, u"Firma"_s, u"Ctrl + F"_s};
    p.nameSwitch = {u"Label17"_s, true};
    p.secondName = {u"poznamka"_s, u"Poznámka"_s, u"Ctrl + J"_s};
    p.street = {u"ulice_f"_s, u"Ulice, ČP"_s, u"Ctrl + U"_s};
    p.streetSwitch = {u"Label31"_s, false};
    p.houseNumber = {u"cp_f"_s, QString(), u"Ctrl + L"_s};
    p.town = {u"mesto_f"_s, u"Obec"_s, u"Ctrl + O"_s};
    p.townSwitch = {u"Label29"_s, true};
    p.postalCode = {u"psc_f"_s, u"PSČ"_s, u"Ctrl + S"_s};
    p.phone = {u"tel_f"_s, u"Telefon"_s, u"Ctrl + T"_s};
    p.region = {u"ComboBox3"_s, u"Kraj"_s, u"Ctrl + B"_s};
    p.searchButton = u"Button6"_s;
    p.resetButton = u"Button5"_s;
    p.exportButton = u"Button9"_s;
    p.printButton = u"Button21"_s;
    p.stopButton = u"Button17"_s;
    p.previousButton = u"Button13"_s;
    p.nextButton = u"Button14"_s;
    p.closeButton = u"Button15"_s;
    p.endIndicator = u"Label19"_s;
    p.recordLabel = u"Memo2"_s;
    p.copyAllImage = u"Image3"_s;
    p.copyNumberImage = u"Image4"_s;
    p.copyAddressImage = u"Image8"_s;
    p.transferImage = u"Image6"_s;
    p.gridName = u"DBGridPro2"_s;
    p.columns = {
        {u"Zn"_s, u"+/-"_s, 30, kCentre},
        {u"ID2"_s, u"č."_s, 34, kCentre},
        {u"Firma"_s, u"Firma"_s, 135, Qt::AlignLeft},
        {u"Poznamka"_s, u"Poznámka"_s, 91, Qt::AlignLeft},
        {u"Ulice"_s, u"Ulice"_s, 116, Qt::AlignLeft},
        {u"CP"_s, u"ČP"_s, 48, Qt::AlignLeft},
        {u"Obec"_s, u"Obec"_s, 109, Qt::AlignLeft},
        {u"Cast"_s, u"Část"_s, 59, Qt::AlignLeft},
        {u"PSC"_s, u"PSČ"_s, 48, Qt::AlignLeft},
        {u"Tel"_s, u"Telefon"_s, 72, Qt::AlignLeft},
    };
    p.compactColumns = {u"Zn"_s, u"Firma"_s, u"Ulice"_s, u"Obec"_s, u"PSC"_s, u"Tel"_s};
    p.fullSetWidths = {30, 30, 140, 90, 115, 47, 107, 60, 47, 76};
    p.doneLabel = u"dones_f"_s;
    p.limitsLabel = u"status_f"_s;
    p.totalLabel = u"celkem_f"_s;
    p.totalCaption = u"Celkový počet telefonů: 780 397 "_s;
    return p;
}

QStringList DirectoryPageDescription::regions() {
    return {u"všechny kraje"_s,   u"Hl.m. Praha"_s, u"Jihočeský"_s,       u"Jihomoravský"_s, u"Karlovarský"_s,
            u"Královéhradecký"_s, u"Liberecký"_s,   u"Moravskoslezský"_s, u"Olomoucký"_s,    u"Pardubický"_s,
            u"Plzeňský"_s,        u"Středočeský"_s, u"Ústecký"_s,         u"Vysočina"_s,     u"Zlínský"_s};
}
