#pragma once

#include <QList>
#include <QString>

// The four reference lists of the information page as data: their files,
// statements, columns and captions, what the page offers for each, and the
// small text rules of the page (status line, the values handed over to the
// directory searches, the address given to the browser).
namespace reference_lists {

// The lists, in the order of their choices on the page; the first is the default.
enum class List { InternetAddresses, FreephoneLines, PostalCodes, InternationalPrefixes };

// What a cell of a column looks like beyond its stored text.
enum class CellStyle { Plain, PhoneGrouping, Address };

struct Column {
    QString field;  // the list's field the column shows
    QString title;  // the column title
    QString choice; // the item naming the column in the page's column box
    int width = 0;  // designed width; the grid keeps the proportions
    CellStyle style = CellStyle::Plain;
};

// The commands of the page's context menu.
enum class Command { ToPersons, ToFirms, SearchFirms, OpenAddress };

struct Description {
    List list = List::InternetAddresses;
    QString file;      // in the program's DATA folder
    QString table;     // the list's table in that file
    QString statement; // the list in its own order
    QList<Column> columns;
    bool searchButton = false; // "&Hledej" searches the current row's firm
    bool openButton = false;   // "O&tevři" opens the current row's address
    QList<Command> commands;   // the context menu's items, in menu order
    QString gridHint;          // empty: none
};

const Description& describe(List list);

// The items of the column box, in column order.
QStringList choices(const Description& d);
// The column a text of the column box names, compared without letter case; -1
// when it names none.
int columnNamed(const Description& d, const QString& text);

// The list's table as a statement names it when re-sorting: the table in its
// file in the data folder (ending in "/"). A folder the statement cannot
// quote leaves the bare table name, which the list's own connection resolves
// to the same file.
QString tableReference(const Description& d, const QString& dataFolder);
// The list ordered by one field, ascending or descending.
QString sortedStatement(const QString& tableReference, const QString& field, bool ascending);

// The status line under the list.
QString countText(int rows);

// The postal code as the directory searches take it: the stored "123 45" without its blank.
QString postalCodeForSearch(const QString& stored);
// The firms search for a firm of a list: its name as a prefix.
QString firmPattern(const QString& name);
// The address handed to the browser for an address of the internet list:
// texts without a scheme are web addresses ("www.firma.cz"); anything that
// is not an http or https address in the end gives an empty text, so that a
// value of the list never opens a local file or another program.
QString webAddress(const QString& stored);

// Shown when a postal code row is handed over to a directory search.
QString handOverNotice();

} // namespace reference_lists
