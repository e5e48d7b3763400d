#pragma once

#include "DataGrid.h"

#include <QList>
#include <QString>
#include <QStringList>

// Everything in which the persons page and the firms page differ: the names
// and captions of their controls, the grid's columns and the fixed caption of
// the status line. Both pages are built from it by DirectoryPage.
struct DirectoryPageDescription {
    // A search box: its name, the caption above it and the tooltip naming its shortcut.
    struct Box {
        QString name;
        QString caption;
        QString shortcut;
    };
    // A wildcard switch beside a box and whether it starts on.
    struct Switch {
        QString name;
        bool on = false;
    };

    QString pageName;
    bool forFirms = false;
    // The window caption while a search starts, up to its first page fill, and
    // while a page move (forward with its fill, or backward) runs.
    QString searchCaption;
    QString pageMoveCaption;
    // The reset puts the focus into the first box (persons) or leaves it (firms).
    bool focusOnReset = false;
    // The grid's context menu, its two transfer items and its items that
    // call a number of the record and show its address on the map.
    QString popupMenu, transferItem, transferMarkedItem, callItem, mapItem;

    Box name; // surname, or firm name
    Switch nameSwitch;
    Box secondName; // first name, or note
    Box street;     // its caption covers the house number box too
    Switch streetSwitch;
    Box houseNumber;
    Box town;
    Switch townSwitch;
    Box postalCode;
    Box phone;
    Box region;

    QString searchButton, resetButton, exportButton, printButton, stopButton, previousButton, nextButton,
        closeButton;
    QString endIndicator;
    QString recordLabel;
    QString copyAllImage, copyNumberImage, copyAddressImage, transferImage;
    QString gridName;
    QList<DataGrid::Column> columns;
    // The grid's compact column set (the fields of the columns it keeps), and
    // the widths of all columns when the full set comes back.
    QStringList compactColumns;
    QList<int> fullSetWidths;
    QString doneLabel, limitsLabel, totalLabel;
    QString totalCaption;

    static DirectoryPageDescription persons();
    static DirectoryPageDescription firms();

    // The region drop-down's items; the first one selects no region.
    static QStringList regions();
};
