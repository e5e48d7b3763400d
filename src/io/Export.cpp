#include "Export.h"

#include "CodePage.h"
#include "DecimalSeparators.h"
#include "SchemaIniSection.h"
#include "SettingsStore.h"

#include "PersonalColumns.h"

#include "Database.h"
#include "Dataset.h"
#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

namespace io {

namespace {

QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The street column is the street, a blank and the house number; the
// municipality column the municipality, then " - " and its part when there is one.
const char* const kDirectorySelect = "(ulice & \" \" & cp) as Nazev_ulice, "
                                     "(obec & iif(isnull(Cast),\"\",\" - \" & Cast)) as Nazev_obce, PSC, ";

ExportDescription make(const char* fileName, const char* value, const char* table, QStringList columns,
                       std::function<QString(AddressChoice)> selectList, bool limited) {
    ExportDescription d;
    d.defaultFileName = s(fileName);
    d.settingsValue = s(value);
    d.workingTable = s(table);
    d.columns = std::move(columns);
    d.selectList = std::move(selectList);
    d.limitedBySearch = limited;
    return d;
}

std::function<QString(AddressChoice)> fixed(const QString& selectList) {
    return [selectList](AddressChoice) { return selectList; };
}

// A column of the personal file: the expression over the working table and
// the name the file gives it.
struct FileColumn {
    QString expression;
    QString name;
};

// The twelve columns of the personal file, the address from the group chosen
// or the record's own. The statement names the columns it combines in lower case.
QList<FileColumn> personalFile(AddressChoice address) {
    using namespace personal_columns;
    const std::optional<AddressKind> kind = addressKind(address);
    const auto column = [&](AddressPart part) {
        return kind ? addressColumn(*kind, part) : currentColumn(part);
    };
    const QString street = column(AddressPart::Street).toLower(),
                  number = column(AddressPart::HouseNumber).toLower(),
                  town = column(AddressPart::Town).toLower(),
                  townPart = column(AddressPart::TownPart).toLower();
    QList<FileColumn> out{
        {kSurname.toLower(), kSurname.toLower()},
        {u'(' + kFirstName.toLower() + s(" & \" \" & ") + kTitle.toLower() + u')', s("jmeno_titul")},
        {kFirm.toLower(), kFirm.toLower()},
        // The street, a blank and the house number; the municipality, then
        // " - " and its part when there is one.
        {u'(' + street + s(" & \" \" & ") + number + u')', s("nazev_ulice")},
        {u'(' + town + s(" & iif(isnull(") + townPart + s("),\"\",\" - \" & ") + townPart + s("))"),
         s("nazev_obce")},
        {column(AddressPart::PostalCode), s("PSC")},
    };
    const std::pair<PhoneKind, const char*> phones[] = {
        {PhoneKind::Mobile, "mobil"}, {PhoneKind::Home, "domu"}, {PhoneKind::Work, "firma"}};
    for (const auto& [phoneKind, word] : phones)
        for (int which = 1; which <= 2; ++which)
            out << FileColumn{phoneColumn(phoneKind, which),
                              s("tel_") + s(word) + u'_' + QString::number(which)};
    return out;
}

QString personalSelect(AddressChoice address) {
    QStringList items;
    for (const FileColumn& c : personalFile(address))
        items << (c.expression == c.name ? c.name : c.expression + s(" as ") + c.name);
    return items.join(s(", "));
}

QStringList personalColumns() {
    QStringList names;
    for (const FileColumn& c : personalFile(AddressChoice::RecordDefault))
        names << c.name;
    return names;
}

bool isBareName(const QString& name) {
    if (name.isEmpty() || !(name.front().isLetter() || name.front() == u'_')) return false;
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() || c == u'_' || c == u'#')) return false;
    return true;
}

// Moves an existing target out of the way for the driver, which writes only
// new files (the user agreed to replace it in the save dialog). The old file
// is deleted once the new one is written and comes back when the export fails.
class ReplacedTarget {
  public:
    explicit ReplacedTarget(const QString& target) : m_target(target) {
        if (!QFileInfo::exists(target)) return;
        QString aside = target + s(".old");
        for (int n = 1; QFileInfo::exists(aside); ++n)
            aside = target + s(".old") + QString::number(n);
        QFile f(target);
        if (!f.rename(aside)) {
            QString text = s("Soubor \"");
            text += QDir::toNativeSeparators(target);
            text += s("\" nelze přepsat: ");
            text += f.errorString();
            throw db::Error(text);
        }
        m_aside = aside;
    }
    ~ReplacedTarget() {
        if (m_aside.isEmpty()) return;
        if (m_replaced)
            QFile::remove(m_aside);
        else if (!QFileInfo::exists(m_target))
            QFile::rename(m_aside, m_target);
    }
    ReplacedTarget(const ReplacedTarget&) = delete;
    ReplacedTarget& operator=(const ReplacedTarget&) = delete;

    void replaced() { m_replaced = true; }

  private:
    QString m_target, m_aside;
    bool m_replaced = false;
};

int markedRows(db::Database& results, const ExportDescription& d) {
    db::Dataset count;
    count.setDatabase(&results);
    count.setSql(d.countStatement());
    count.open();
    const int marked = count.text(QStringLiteral("pocet")).toInt();
    count.close();
    return marked;
}

} // namespace

const FormatDescription& describe(ExportFormat format) {
    static const std::array<FormatDescription, kExportFormatCount> formats{{
        {s("TXT - středník jako oddělovač"), s("Delimited(;)"), s("txt"), 1},
        {s("CSV - čárka jako oddělovač"), s("Delimited(,)"), s("csv"), 2},
        {s("TXT - tabulátor jako oddělovač"), s("TabDelimited"), s("txt"), 1},
        {s("Fixní šířka              znaků  "), s("FixedLength"), s("txt"), 1},
    }};
    return formats[std::size_t(format)];
}

const ExportDescription& ExportDescription::of(ExportKind kind) {
    static const std::array<ExportDescription, 3> exports{{
        make("export_o", "Path_o", "Osoby",
             {s("Prijmeni"), s("Jmeno_titul"), s("Nazev_ulice"), s("Nazev_obce"), s("PSC"), s("Tel")},
             fixed(s("Prijmeni, (jmeno & \" \" & Titul) as Jmeno_titul, ") + s(kDirectorySelect) + s("Tel")),
             true),
        make("export_f", "Path_f", "Firmy",
             {s("Firma"), s("Poznamka"), s("Nazev_ulice"), s("Nazev_obce"), s("PSC"), s("Tel")},
             fixed(s("Firma, Poznamka, ") + s(kDirectorySelect) + s("tel")), true),
        make("export_v", "Path_v", "vlastni", personalColumns(), personalSelect, false),
    }};
    return exports[std::size_t(kind)];
}

QString ExportDescription::countStatement() const {
    return s("SELECT Count(*) as POCET FROM ") + workingTable + s(" WHERE Zn = True");
}

QString exportSettingsKey() {
    return platform::kProgramKey + s("Export");
}

QString saveFilter() {
    return s("txt soubory|*.txt|csv soubory|*.csv|všechny soubory|*.*");
}

QString targetFile(const QString& chosenPath, int filterIndex) {
    const QString extension = filterIndex == 2 ? s(".csv") : s(".txt");
    const QFileInfo info(chosenPath);
    QString name = info.fileName();
    // The extension is what follows the last dot; a leading dot begins the name.
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0) name.truncate(dot);
    return folderOf(chosenPath) + name + extension;
}

QString folderOf(const QString& file) {
    QString folder = QFileInfo(file).absolutePath();
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder;
}

QString tableNameFor(const QString& fileName) {
    QString name = fileName;
    name.replace(u'.', u'#');
    if (isBareName(name)) return name;
    name.replace(s("]"), s("]]"));
    return u'[' + name + u']';
}

QString connectString(const QString& folder) {
    QString quoted = folder;
    quoted.replace(s("\""), s("\"\""));
    return s("\"Text;DATABASE=") + quoted + s(";LANGID=0x0405;CP=1250;COUNTRY=0\"");
}

QString schemaSection(const QString& fileName, ExportFormat format, const QString& width,
                      const QStringList& columns) {
    const QString end = s("\r\n");
    QString text = u'[' + fileName + u']' + end;
    text += s("ColNameHeader=True") + end;
    text += s("CharacterSet=ANSI") + end;
    text += s("Format=") + describe(format).schemaFormat + end;
    for (qsizetype i = 0; i < columns.size(); ++i)
        text += s("Col") + QString::number(i + 1) + u'=' + columns[i] + s(" Char Width ") + width + end;
    return text;
}

namespace {

// The statement over the marked rows of the page; into: " INTO … IN …" or nothing.
QString markedRowsStatement(ExportKind kind, int searchLimit, AddressChoice address, const QString& into) {
    const ExportDescription& d = ExportDescription::of(kind);
    const QString select = d.selectList(address);
    QString sql = s("SELECT ");
    if (d.limitedBySearch) sql += s("TOP ") + QString::number(searchLimit) + u' ';
    sql += select + into + s(" FROM ") + d.workingTable + s(" WHERE Zn = True");
    return sql;
}

} // namespace

QString exportStatement(ExportKind kind, const QString& table, const QString& folder, int searchLimit,
                        AddressChoice address) {
    return markedRowsStatement(kind, searchLimit, address,
                               s(" INTO ") + table + s(" IN \"\" ") + connectString(folder));
}

int valuesOutsideCodePage(db::Database& results, const ExportRequest& request) {
    db::Dataset rows;
    rows.setDatabase(&results);
    rows.setSql(markedRowsStatement(request.kind, request.searchLimit, request.address, QString()));
    rows.open();
    int count = 0;
    for (; !rows.eof(); rows.next())
        for (int i = 0; i < rows.fieldCount(); ++i)
            if (!codepage::fitsWindows1250(rows.value(i).toString())) ++count;
    rows.close();
    return count;
}

int runExport(db::Database& results, const ExportRequest& request) {
    const ExportDescription& d = ExportDescription::of(request.kind);
    // The system ends a path at a NUL character: the files written beside the
    // export would be the ones the path names up to it.
    if (request.target.contains(QChar(u'\0')))
        throw db::Error(s("Cesta \"") + QString(request.target).remove(QChar(u'\0')) +
                        s("\" obsahuje neplatný znak (NUL)."));
    const QString fileName = QFileInfo(request.target).fileName();
    // The driver reads every "#" of a table name as a dot: such a file could
    // not be named.
    if (fileName.contains(u'#'))
        throw db::Error(s("Název souboru \"") + fileName + s("\" nesmí obsahovat znak #."));
    if (markedRows(results, d) == 0) return 0;

    const QString folder = folderOf(request.target);
    platform::DecimalSeparators separators;
    ReplacedTarget old(request.target);
    SchemaIniSection schema(folder, schemaSection(fileName, request.format, request.width, d.columns));
    const int written = results.execute(
        exportStatement(request.kind, tableNameFor(fileName), folder, request.searchLimit, request.address),
        db::Database::FailOnError);
    old.replaced();
    schema.restore();
    return written;
}

QString noMarksMessage() {
    return s("Není označen žádný záznam pro export.");
}

QString resultMessage(const QString& file, int count) {
    return s("Do souboru \"") + QDir::toNativeSeparators(file) + s("\" bylo exportováno ") +
           QString::number(count) + s(" záznamů.");
}

QString lostCharactersMessage(int values) {
    return s("Znaky, které kódování Windows-1250 nezná, jsou v souboru zapsány jako \"?\". Počet hodnot, "
             "kterých se to týká: ") +
           QString::number(values) + s(".");
}

QString replaceQuestion(const QString& file) {
    return s("Soubor \"") + QDir::toNativeSeparators(file) + s("\" již existuje. Chcete jej nahradit?");
}

} // namespace io
