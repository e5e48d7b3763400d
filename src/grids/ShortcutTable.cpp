#include "ShortcutTable.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace shortcuts {

namespace {

const char* const kPersons = "osoby";
const char* const kFirms = "firmy";
const char* const kPersonal = "vlastni";
const char* const kInformation = "informace";

// The three result pages side by side; null where a page has no such shortcut.
const struct {
    int key;
    Action action;
    const char* persons;
    const char* firms;
    const char* personal;
} kResultPages[] = {
    {Qt::Key_J, Action::Focus, "jmeno", "poznamka", "jmeno_v"},
    {Qt::Key_P, Action::Focus, "prijmeni", nullptr, "prijmeni_v"},
    // The personal page's firm box carries the hint "Ctrl + F" as well.
    {Qt::Key_F, Action::Focus, nullptr, "firma", "firma_v"},
    {Qt::Key_U, Action::Focus, "ulice", "ulice_f", "ulice_v"},
    {Qt::Key_O, Action::Focus, "mesto", "mesto_f", "mesto_v"},
    {Qt::Key_L, Action::Focus, "cp", "cp_f", "cp_v"},
    {Qt::Key_S, Action::Focus, "psc", "psc_f", "psc_v"},
    {Qt::Key_T, Action::Focus, "tel", "tel_f", "tel_v"},
    {Qt::Key_B, Action::Focus, "ComboBox2", "ComboBox3", nullptr},
    {Qt::Key_M, Action::Focus, "Memo1", "Memo2", "Memo3"},
    {Qt::Key_Q, Action::Focus, "DBGridPro1", "DBGridPro2", "DBGridPro4"},
    {Qt::Key_Return, Action::Click, "Button1", "Button6", "BitBtn3"},
    {Qt::Key_N, Action::Click, "Button3", "Button5", "BitBtn5"},
    {Qt::Key_E, Action::Click, "Button7", "Button9", "BitBtn7"},
    {Qt::Key_K, Action::Click, "Button20", "Button21", "BitBtn4"},
    {Qt::Key_X, Action::Click, "Button16", "Button17", "BitBtn6"},
    {Qt::Key_Right, Action::Click, "Button12", "Button14", "Button8"},
    {Qt::Key_Left, Action::Click, "Button11", "Button13", "Button4"},
    {Qt::Key_I, Action::CountMatches, "Button1", "Button6", nullptr},
    {Qt::Key_W, Action::ShowStatus, "dones_o", "dones_f", "dones_v"},
    {Qt::Key_C, Action::CopyLabel, "Memo1", "Memo2", "Memo3"},
    {Qt::Key_Space, Action::ToggleMark, "DBGridPro1", "DBGridPro2", "DBGridPro4"},
    {Qt::Key_0, Action::SwitchColumnSet, "DBGridPro1", "DBGridPro2", "DBGridPro4"},
};

const struct {
    int key;
    const char* control;
} kInformationPage[] = {
    {Qt::Key_H, "Edit1"},        {Qt::Key_L, "ComboBox1"},    {Qt::Key_A, "RadioButton4"},
    {Qt::Key_Z, "RadioButton1"}, {Qt::Key_S, "RadioButton2"}, {Qt::Key_M, "RadioButton3"},
};

using Table = QHash<QString, QHash<int, Target>>;

Table buildTable() {
    Table table;
    for (const auto& row : kResultPages) {
        const std::pair<const char*, const char*> pages[] = {
            {kPersons, row.persons}, {kFirms, row.firms}, {kPersonal, row.personal}};
        for (const auto& [page, control] : pages)
            if (control)
                table[QString::fromUtf8(page)].insert(row.key, {row.action, QString::fromUtf8(control)});
    }
    // Ctrl+1 to Ctrl+9 show or hide the grid's columns after the mark column.
    for (const auto& [page, grid] : {std::pair{kPersons, "DBGridPro1"}, std::pair{kFirms, "DBGridPro2"},
                                     std::pair{kPersonal, "DBGridPro4"}})
        for (int n = 1; n <= 9; ++n)
            table[QString::fromUtf8(page)].insert(Qt::Key_0 + n,
                                                  {Action::ToggleColumn, QString::fromUtf8(grid), n});
    for (const auto& row : kInformationPage)
        table[QString::fromUtf8(kInformation)].insert(row.key,
                                                      {Action::Focus, QString::fromUtf8(row.control)});
    return table;
}

const Table& table() {
    static const Table t = buildTable();
    return t;
}

// The keys of the Czech number row without Shift, from the key of 1 to the key of 0.
const QString kCzechNumberRow = u"+ěščřžýáíé"_s;

} // namespace

int ctrlShortcutKey(int key, Qt::KeyboardModifiers modifiers) {
    if ((modifiers & ~Qt::KeypadModifier) != Qt::ControlModifier) return 0;
    if (key == Qt::Key_Enter) return Qt::Key_Return;
    if (key > 0 && key <= 0xffff) {
        const int digit = int(kCzechNumberRow.indexOf(QChar(key).toLower()));
        if (digit >= 0) return Qt::Key_0 + (digit + 1) % 10;
    }
    return key;
}

std::optional<Target> lookUp(const QString& pageName, int key) {
    const auto page = table().constFind(pageName);
    if (page == table().constEnd()) return std::nullopt;
    const auto target = page->constFind(key);
    if (target == page->constEnd()) return std::nullopt;
    return *target;
}

QStringList pageNames() {
    return {QString::fromUtf8(kPersons), QString::fromUtf8(kFirms), QString::fromUtf8(kPersonal),
            QString::fromUtf8(kInformation)};
}

QStringList listLines() {
    // An entry: the section's heading on its first entry, a tab, the key,
    // tabs up to the description's column (one less after the longer names of
    // the arrow keys) and the description.
    struct Entry {
        const char* key;
        const char* description;
    };
    auto section = [](const char* heading, std::initializer_list<Entry> entries) {
        QStringList lines;
        QString lead = QString::fromUtf8(heading);
        for (const Entry& e : entries) {
            const QString key = QString::fromUtf8(e.key);
            const QString gap = key.startsWith(u"Šipka"_s) ? u"\t\t"_s : u"\t\t\t"_s;
            lines << lead + u'\t' + key + gap + QString::fromUtf8(e.description);
            lead.clear();
        }
        return lines;
    };
    QStringList lines;
    lines << section("", {{"F1", "nápověda"}, {"F4", "konec"}});
    lines << QString();
    lines << section("CTRL +", {
                                   {"J", "jméno / poznámka"},
                                   {"P", "příjmení"},
                                   {"F", "firma"},
                                   {"U", "ulice"},
                                   {"O", "obec"},
                                   {"L", "číslo popisné"},
                                   {"S", "PSČ"},
                                   {"T", "telefon"},
                                   {"B", "kraj"},
                                   {"M", "informační štítek"},
                                   {"Q", "tabulka nalezených záznamů"},
                                   {"ENTER", "Hledej"},
                                   {"N", "Nuluj"},
                                   {"E", "Export"},
                                   {"K", "Tisk"},
                                   {"X", "Stop"},
                                   {"Šipka vpravo", "další záznamy"},
                                   {"Šipka vlevo", "předešlé záznamy"},
                                   {"I", "celkový počet záznamů, které odpovídají zadaným podmínkám"},
                                   {"W", "počet nalezených / označených záznamů"},
                                   {"C", "kopíruj informace ze štítku do schránky"},
                                   {"MEZERA", "označ / odznač záznam"},
                                   {"1 - 9", "zobrazení / skrytí příslušného sloupce"},
                                   {"0", "zobrazit jen základní sloupce / zobrazit všechny sloupce"},
                               });
    lines << QString();
    lines << section("ALT +", {
                                  {"O", "zobraz list Osoby"},
                                  {"F", "zobraz list Firmy"},
                                  {"V", "zobraz list Vlastní"},
                                  {"I", "zobraz list Informace"},
                                  {"H", "Hledej"},
                                  {"T", "Tisk"},
                                  {"N", "Nuluj"},
                                  {"E", "Export"},
                                  {"S", "Stop"},
                                  {"K", "Konec"},
                                  {"Z", "Zobraz"},
                                  {"t", "Otevři (v listu Informace)"},
                              });
    const char* const paragraphs[][2] = {
        {"Další alternativní klávesové zkratky jsou vyznačeny v programu podtrženým písmenem v názvu "
         "vyvolané "
         "funkce ",
         "(tlačítka apod.). Tyto klávesové zkratky se vyvolávají v kombinaci s  klávesovou ALT."},
        {"Menu aplikace se vyvolá samostatným stiskem klávesy ALT popřípadě s písmenem, které je u položky "
         "menu ",
         "podtržené."},
        {"Dále se lze v prostředí pohybovat pomocí kláves TAB, SHIFT+TAB pro pohyb mezi jednotlivými poli. ",
         "Pomocí CTRL+TAB, CTRL+SHIFT+TAB pro pohyb po jednotlivých listech."},
    };
    for (const auto& paragraph : paragraphs)
        lines << QString() << QString::fromUtf8(paragraph[0]) << QString::fromUtf8(paragraph[1]);
    return lines;
}

ListColumns listColumns(const QStringList& lines, const std::function<qreal(const QString&)>& width,
                        qreal gap) {
    // An entry is "heading<tab>key<tabs>description".
    struct Keys {
        qreal shortest = std::numeric_limits<qreal>::max();
        qreal longest = 0;
    };
    QMap<int, Keys> byTabs; // by the number of tabs after the key
    qreal headings = 0;
    for (const QString& line : lines) {
        const QStringList parts = line.split(u'\t');
        if (parts.size() < 3) continue;
        headings = std::max(headings, width(parts[0]));
        Keys& keys = byTabs[int(parts.size()) - 2];
        const qreal key = width(parts[1]);
        keys.shortest = std::min(keys.shortest, key);
        keys.longest = std::max(keys.longest, key);
    }
    if (byTabs.isEmpty()) return {};

    ListColumns columns;
    const qreal keyColumn = headings + gap;
    columns.tabStops << keyColumn;
    const int most = byTabs.lastKey();
    qreal longest = 0; // of the keys that end before the next stop
    for (int stop = 1; stop < most; ++stop) {
        // Keys followed by more than most - stop tabs end before this stop, the others after it.
        qreal after = std::numeric_limits<qreal>::max();
        for (auto it = byTabs.cbegin(); it != byTabs.cend(); ++it) {
            if (it.key() > most - stop)
                longest = std::max(longest, it->longest);
            else
                after = std::min(after, it->shortest);
        }
        const qreal at = after > longest && after < std::numeric_limits<qreal>::max() ? (longest + after) / 2
                                                                                      : longest + gap / 2;
        columns.tabStops << std::max(keyColumn + at, columns.tabStops.last() + 1);
    }
    for (const Keys& keys : byTabs)
        longest = std::max(longest, keys.longest);
    columns.description = std::max(keyColumn + longest + gap, columns.tabStops.last() + 1);
    columns.tabStops << columns.description;
    return columns;
}

} // namespace shortcuts
