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

using namespace Qt::StringLiterals;

namespace io {

namespace {

// The street column is the street, a blank and the house number; the
// municipality column the municipality, then " - " and its part when there is one.
const char* const kDirectorySelect = "(ulice & \" \" & cp) as Nazev_ulice, "
                                     "(obec & iif(isnull(Cast),\"\",\" - \" & Cast)) as Nazev_obce, PSC, ";

ExportDescription make(const char* fileName, const char* value, const char* table, QStringList columns,
                       std::function<QString(AddressChoice)> selectList, bool limited) {
    ExportDescription d;
    d.defaultFileName = QString::fromUtf8(fileName);
    d.settingsValue = QString::fromUtf8(value);
    d.workingTable = QString::fromUtf8(table);
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
        {u'(' + kFirstName.toLower() + u" & \" \" & "_s + kTitle.toLower() + u')', u"jmeno_titul"_s},
        {kFirm.toLower(), kFirm.toLower()},
        // The street, a blank and the house number; the municipality, then
        // " - " and its part when there is one.
        {u'(' + street + u" & \" \" & "_s + number + u')', u"nazev_ulice"_s},
        {u'(' + town + u" & iif(isnull("_s + townPart + u"),\"\",\" - \" & "_s + townPart + u"))"_s,
         u"nazev_obce"_s},
        {column(AddressPart::PostalCode), u"PSC"_s},
    };
    const std::pair<PhoneKind, const char*> phones[] = {
        {PhoneKind::Mobile, "mobil"}, {PhoneKind::Home, "domu"}, {PhoneKind::Work, "firma"}};
    for (const auto& [phoneKind, word] : phones)
        for (int which = 1; which <= 2; ++which)
            out << FileColumn{phoneColumn(phoneKind, which),
                              u"tel_"_s + QString::fromUtf8(word) + u'_' + QString::number(which)};
    return out;
}

QString personalSelect(AddressChoice address) {
    QStringList items;
    for (const FileColumn& c : personalFile(address))
        items << (c.expression == c.name ? c.name : c.expression + u" as "_s + c.name);
    return items.join(u", "_s);
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
        QString aside = target + u".old"_s;
        for (int n = 1; QFileInfo::exists(aside); ++n)
            aside = target + u".old"_s + QString::number(n);
        QFile f(target);
        if (!f.rename(aside)) {
            QString text = u"Soubor \""_s;
            text += QDir::toNativeSeparators(target);
            text += u"\" nelze přepsat: "_s;
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
        {u"TXT - středník jako oddělovač"_s, u"Delimited(;)"_s, u"txt"_s, 1},
        {u"CSV - čárka jako oddělovač"_s, u"Delimited(,)"_s, u"csv"_s, 2},
        {u"TXT - tabulátor jako oddělovač"_s, u"TabDelimited"_s, u"txt"_s, 1},
        {u"Fixní šířka              znaků  "_s, u"FixedLength"_s, u"txt"_s, 1},
    }};
    return formats[std::size_t(format)];
}

const ExportDescription& ExportDescription::of(ExportKind kind) {
    static const std::array<ExportDescription, 3> exports{{
        make("export_o", "Path_o", "Osoby",
             {u"Prijmeni"_s, u"Jmeno_titul"_s, u"Nazev_ulice"_s, u"Nazev_obce"_s, u"PSC"_s, u"Tel"_s},
             fixed(u"Prijmeni, (jmeno & \" \" & Titul) as Jmeno_titul, "_s +
                   QString::fromUtf8(kDirectorySelect) + u"Tel"_s),
             true),
        make("export_f", "Path_f", "Firmy",
             {u"Firma"_s, u"Poznamka"_s, u"Nazev_ulice"_s, u"Nazev_obce"_s, u"PSC"_s, u"Tel"_s},
             fixed(u"Firma, Poznamka, "_s + QString::fromUtf8(kDirectorySelect) + u"tel"_s), true),
        make("export_v", "Path_v", "vlastni", personalColumns(), personalSelect, false),
    }};
    return exports[std::size_t(kind)];
}

QString ExportDescription::countStatement() const {
    return u"SELECT Count(*) as POCET FROM "_s + workingTable + u" WHERE Zn = True"_s;
}

QString exportSettingsKey() {
    return platform::kProgramKey + u"Export"_s;
}

QString saveFilter() {
    return u"txt soubory|*.txt|csv soubory|*.csv|všechny soubory|*.*"_s;
}

QString targetFile(const QString& chosenPath, int filterIndex) {
    const QString extension = filterIndex == 2 ? u".csv"_s : u".txt"_s;
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
    name.replace(u"]"_s, u"]]"_s);
    return u'[' + name + u']';
}

QString connectString(const QString& folder) {
    QString quoted = folder;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u"\"Text;DATABASE="_s + quoted + u";LANGID=0x0405;CP=1250;COUNTRY=0\""_s;
}

QString schemaSection(const QString& fileName, ExportFormat format, const QString& width,
                      const QStringList& columns) {
    const QString end = u"\r\n"_s;
    QString text = u'[' + fileName + u']' + end;
    text += u"ColNameHeader=True"_s + end;
    text += u"CharacterSet=ANSI"_s + end;
    text += u"Format="_s + describe(format).schemaFormat + end;
    for (qsizetype i = 0; i < columns.size(); ++i)
        text += u"Col"_s + QString::number(i + 1) + u'=' + columns[i] + u" Char Width "_s + width + end;
    return text;
}

namespace {

// The statement over the marked rows of the page; into: " INTO … IN …" or nothing.
QString markedRowsStatement(ExportKind kind, int searchLimit, AddressChoice address, const QString& into) {
    const ExportDescription& d = ExportDescription::of(kind);
    const QString select = d.selectList(address);
    QString sql = u"SELECT "_s;
    if (d.limitedBySearch) sql += u"TOP "_s + QString::number(searchLimit) + u' ';
    sql += select + into + u" FROM "_s + d.workingTable + u" WHERE Zn = True"_s;
    return sql;
}

} // namespace

QString exportStatement(ExportKind kind, const QString& table, const QString& folder, int searchLimit,
                        AddressChoice address) {
    return markedRowsStatement(kind, searchLimit, address,
                               u" INTO "_s + table + u" IN \"\" "_s + connectString(folder));
}

int valuesOutsideCodePage(db::Database& results, const ExportRequest& request) {
    db::Dataset rows;
    rows.setDatabase(&results);
    rows.setSql(markedRowsStatement(request.kind, request.searchLimit, request.address, QString()));
    rows.open();
    int count = 0;
    for (; !rows.eof(); rows.next())
        for (int i = 0; i < rows.fieldCount(); ++i)
            if (!code_page::fitsWindows1250(rows.value(i).toString())) ++count;
    rows.close();
    return count;
}

int runExport(db::Database& results, const ExportRequest& request) {
    const ExportDescription& d = ExportDescription::of(request.kind);
    // The system ends a path at a NUL character: the files written beside the
    // export would be the ones the path names up to it.
    if (request.target.contains(QChar(u'\0')))
        throw db::Error(u"Cesta \""_s + QString(request.target).remove(QChar(u'\0')) +
                        u"\" obsahuje neplatný znak (NUL)."_s);
    const QString fileName = QFileInfo(request.target).fileName();
    // The driver reads every "#" of a table name as a dot: such a file could
    // not be named.
    if (fileName.contains(u'#'))
        throw db::Error(u"Název souboru \""_s + fileName + u"\" nesmí obsahovat znak #."_s);
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
    return u"Není označen žádný záznam pro export."_s;
}

QString resultMessage(const QString& file, int count) {
    return u"Do souboru \""_s + QDir::toNativeSeparators(file) + u"\" bylo exportováno "_s +
           QString::number(count) + u" záznamů."_s;
}

QString lostCharactersMessage(int values) {
    return u"Znaky, které kódování Windows-1250 nezná, jsou v souboru zapsány jako \"?\". Počet hodnot, "
           "kterých se to týká: "_s +
           QString::number(values) + u"."_s;
}

QString replaceQuestion(const QString& file) {
    return u"Soubor \""_s + QDir::toNativeSeparators(file) + u"\" již existuje. Chcete jej nahradit?"_s;
}

} // namespace io
