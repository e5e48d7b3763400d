#include "DirectoryPageDescription.h"

#include "Maker.h"

namespace {

constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

QString s(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

DirectoryPageDescription DirectoryPageDescription::persons() {
    DirectoryPageDescription p;
    p.pageName = s("osoby");
    p.searchCaption = maker::kBusyCaption;
    p.pageMoveCaption = maker::kBusyCaption;
    p.focusOnReset = true;
    p.popupMenu = s("PopupMenu2");
    p.transferItem = s("upravit_o");
    p.transferMarkedItem = s("oznacene_o");
    p.name = {s("prijmeni"), s("Příjmení"), s("Ctrl + P")};
    p.nameSwitch = {s("Label8"), false};
    p.secondName = {s("jmeno"), s("Jméno"), s("Ctrl + J")};
    p.street = {s("ulice"), s("Ulice, ČP"), s("Ctrl + U")};
    p.streetSwitch = {s("Label15"), false};
    p.houseNumber = {s("cp"), QString(), s("Ctrl + L")};
    p.town = {s("mesto"), s("Obec"), s("Ctrl + O")};
    p.townSwitch = {s("Label28"), true};
    p.postalCode = {s("psc"), s("PSČ"), s("Ctrl + S")};
    p.phone = {s("tel"), s("Telefon"), s("Ctrl + T")};
    p.region = {s("ComboBox2"), s("Kraj"), s("Ctrl + B")};
    p.searchButton = s("Button1");
    p.resetButton = s("Button3");
    p.exportButton = s("Button7");
    p.printButton = s("Button20");
    p.stopButton = s("Button16");
    p.previousButton = s("Button11");
    p.nextButton = s("Button12");
    p.closeButton = s("Button2");
    p.endIndicator = s("Label18");
    p.recordLabel = s("Memo1");
    p.copyAllImage = s("Image1");
    p.copyNumberImage = s("Image2");
    p.copyAddressImage = s("Image7");
    p.transferImage = s("Image5");
    p.gridName = s("DBGridPro1");
    p.columns = {
        {s("Zn"), s("+/-"), 30, kCentre},
        {s("ID2"), s("č."), 32, kCentre},
        {s("Titul"), s("Titul"), 41, Qt::AlignLeft},
        {s("Jmeno"), s("Jméno"), 85, Qt::AlignLeft},
        {s("Prijmeni"), s("Příjmení"), 101, Qt::AlignLeft},
        {s("Ulice"), s("Ulice"), 116, Qt::AlignLeft},
        {s("CP"), s("ČP"), 48, Qt::AlignLeft},
        {s("Obec"), s("Obec"), 111, Qt::AlignLeft},
        {s("Cast"), s("Část"), 59, Qt::AlignLeft},
        {s("PSC"), s("PSČ"), 48, Qt::AlignLeft},
        {s("tel"), s("Telefon"), 71, Qt::AlignLeft, false},
    };
    p.compactColumns = {s("Zn"), s("Jmeno"), s("Prijmeni"), s("Ulice"), s("Obec"), s("PSC"), s("tel")};
    p.fullSetWidths = {30, 30, 40, 90, 100, 115, 47, 107, 60, 47, 76};
    p.doneLabel = s("dones_o");
    p.limitsLabel = s("status_o");
    p.totalLabel = s("celkem_o");
    p.totalCaption = s("Celkový počet telefonů: 2 425 638 ");
    return p;
}

DirectoryPageDescription DirectoryPageDescription::firms() {
    DirectoryPageDescription p;
    p.pageName = s("firmy");
    p.forFirms = true;
    p.searchCaption = s("Ordana 2004 Velto hledám...");
    p.pageMoveCaption = maker::kBusyCaption;
    p.popupMenu = s("PopupMenu3");
    p.transferItem = s("upravit_f");
    p.transferMarkedItem = s("oznacene_f");
    p.name = {s("firma"), s("Firma"), s("Ctrl + F")};
    p.nameSwitch = {s("Label17"), true};
    p.secondName = {s("poznamka"), s("Poznámka"), s("Ctrl + J")};
    p.street = {s("ulice_f"), s("Ulice, ČP"), s("Ctrl + U")};
    p.streetSwitch = {s("Label31"), false};
    p.houseNumber = {s("cp_f"), QString(), s("Ctrl + L")};
    p.town = {s("mesto_f"), s("Obec"), s("Ctrl + O")};
    p.townSwitch = {s("Label29"), true};
    p.postalCode = {s("psc_f"), s("PSČ"), s("Ctrl + S")};
    p.phone = {s("tel_f"), s("Telefon"), s("Ctrl + T")};
    p.region = {s("ComboBox3"), s("Kraj"), s("Ctrl + B")};
    p.searchButton = s("Button6");
    p.resetButton = s("Button5");
    p.exportButton = s("Button9");
    p.printButton = s("Button21");
    p.stopButton = s("Button17");
    p.previousButton = s("Button13");
    p.nextButton = s("Button14");
    p.closeButton = s("Button15");
    p.endIndicator = s("Label19");
    p.recordLabel = s("Memo2");
    p.copyAllImage = s("Image3");
    p.copyNumberImage = s("Image4");
    p.copyAddressImage = s("Image8");
    p.transferImage = s("Image6");
    p.gridName = s("DBGridPro2");
    p.columns = {
        {s("Zn"), s("+/-"), 30, kCentre},
        {s("ID2"), s("č."), 34, kCentre},
        {s("Firma"), s("Firma"), 135, Qt::AlignLeft},
        {s("Poznamka"), s("Poznámka"), 91, Qt::AlignLeft},
        {s("Ulice"), s("Ulice"), 116, Qt::AlignLeft},
        {s("CP"), s("ČP"), 48, Qt::AlignLeft},
        {s("Obec"), s("Obec"), 109, Qt::AlignLeft},
        {s("Cast"), s("Část"), 59, Qt::AlignLeft},
        {s("PSC"), s("PSČ"), 48, Qt::AlignLeft},
        {s("Tel"), s("Telefon"), 72, Qt::AlignLeft},
    };
    p.compactColumns = {s("Zn"), s("Firma"), s("Ulice"), s("Obec"), s("PSC"), s("Tel")};
    p.fullSetWidths = {30, 30, 140, 90, 115, 47, 107, 60, 47, 76};
    p.doneLabel = s("dones_f");
    p.limitsLabel = s("status_f");
    p.totalLabel = s("celkem_f");
    p.totalCaption = s("Celkový počet telefonů: 780 397 ");
    return p;
}

QStringList DirectoryPageDescription::regions() {
    return {s("všechny kraje"),   s("Hl.m. Praha"), s("Jihočeský"),       s("Jihomoravský"), s("Karlovarský"),
            s("Královéhradecký"), s("Liberecký"),   s("Moravskoslezský"), s("Olomoucký"),    s("Pardubický"),
            s("Plzeňský"),        s("Středočeský"), s("Ústecký"),         s("Vysočina"),     s("Zlínský")};
}
