#pragma once

#include "AddressChoice.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace db {
class Database;
}

// Writing the marked rows of a result page to a text file. The file itself is
// made by the engine's text driver from one SELECT … INTO statement over the
// page's working table; this side chooses the names, describes the layout in
// the folder's schema.ini and runs the statement. Widget-free: the main window
// asks the questions and shows the outcome.
namespace io {

// The four output formats, in the order the format dialog offers them.
enum class ExportFormat { Semicolon, Comma, Tab, FixedWidth };
inline constexpr int kExportFormatCount = 4;

// The three exports, one per result page.
enum class ExportKind { Persons, Firms, Personal };

// An output format: the option's caption, the "Format" value in schema.ini,
// and the extension and filter the save dialog starts with.
struct FormatDescription {
    QString caption;
    QString schemaFormat;
    QString defaultExtension; // without the dot
    int filterIndex = 1;      // 1-based, in saveFilter()
};
const FormatDescription& describe(ExportFormat format);

// What sets one page's export apart.
struct ExportDescription {
    QString defaultFileName; // the save dialog's file name
    QString settingsValue;   // the value under kExportSettingsKey holding the last folder
    QString workingTable;    // the table of the page's result database
    QStringList columns;     // the file's columns, as schema.ini names them
    // The select list; the personal one takes the address chosen.
    std::function<QString(AddressChoice)> selectList;
    bool limitedBySearch = false; // TOP with the page's searched-records limit

    static const ExportDescription& of(ExportKind kind);
    // The number of marked rows, in the column "pocet".
    QString countStatement() const;
};

// The settings key (current-user root) holding the last export folders.
QString exportSettingsKey();
// The save dialog's filter: text files, csv files, all files.
QString saveFilter();

// The file an export writes: the chosen path with the extension the filter
// selected in the save dialog forces (".txt", ".csv", and ".txt" for all
// files), whatever extension was typed.
QString targetFile(const QString& chosenPath, int filterIndex);
// The folder of a file, ending in "/".
QString folderOf(const QString& file);
// The table name the text driver takes for a file name: every "." becomes
// "#". A name that is not all letters, digits, "_" and "#", or that does not
// begin with a letter or "_", is put in brackets with every "]" doubled.
QString tableNameFor(const QString& fileName);
// The connect string of the text driver for a folder, in double quotes, every
// double quote of the folder doubled.
QString connectString(const QString& folder);
// The section of schema.ini describing a file: its name in brackets, then
// ColNameHeader, CharacterSet, Format and one Col line per column with the
// width as typed. Lines end in CR LF.
QString schemaSection(const QString& fileName, ExportFormat format, const QString& width,
                      const QStringList& columns);
// The statement that writes the marked rows of a page into table (a name
// from tableNameFor) in folder.
QString exportStatement(ExportKind kind, const QString& table, const QString& folder, int searchLimit,
                        AddressChoice address = AddressChoice::RecordDefault);

struct ExportRequest {
    ExportKind kind = ExportKind::Persons;
    ExportFormat format = ExportFormat::Semicolon;
    QString width = QStringLiteral("30");
    AddressChoice address = AddressChoice::RecordDefault; // the personal export only
    QString target;                                       // the full path of the file, from targetFile()
    int searchLimit = 200;
};

// Writes the marked rows of the page's working table on its result connection
// into the target file and returns how many were written. When no row is
// marked nothing is written and 0 is returned. An existing target is replaced.
// For the duration of the statement the folder's schema.ini carries the file's
// section and the program's numbers use "." as the decimal point; both are
// put back afterwards, also on failure. A failure raises db::Error and leaves
// no file of the export behind.
int runExport(db::Database& results, const ExportRequest& request);

// The number of values among the marked rows that runExport() writes with
// characters Windows-1250 lacks (they are written as "?"). Engine failures
// raise db::Error.
int valuesOutsideCodePage(db::Database& results, const ExportRequest& request);

// The messages of an export.
QString noMarksMessage();
QString resultMessage(const QString& file, int count);
// Shown after the result when values lost characters to the code page.
QString lostCharactersMessage(int values);
// Asked when the extension the filter forces names another file than the one
// the save dialog confirmed, and that file exists.
QString replaceQuestion(const QString& file);

} // namespace io
