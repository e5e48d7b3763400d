#pragma once

#include "AddressChoice.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

#include <array>
#include <functional>

// Address labels of marked records, three columns by eight rows on a sheet,
// laid out without any painting: which lines a label holds and where. All
// distances are in 0.1 mm; a line's offset is its distance below the top of
// its label row, measured to the top of its text.
namespace labels {

// The three prints: the persons page, the firms page and the personal contacts.
enum class Print { Persons, Firms, Personal };

// Reads one column of the record being printed as text; a missing or null
// column reads as empty.
using Fields = std::function<QString(const QString& column)>;

struct Line {
    int offset = 0;
    QString text;
    bool operator==(const Line&) const = default;
};

// ---- the sheet ----
inline constexpr std::array<int, 3> kColumnLefts{100, 800, 1500};
inline constexpr int kRowHeight = 370;
inline constexpr int kRowsPerSheet = 8;
// The first label of every sheet holds the information block, the other 23 records.
inline constexpr int kRecordsPerSheet = kRowsPerSheet * int(kColumnLefts.size()) - 1;
// The height of a text line, which is also the step between lines.
inline constexpr int kLineHeight = 35;
// The labels stand side by side from the sheet's left edge, as wide as the
// step between the columns; a label's text keeps this far from its right edge.
inline constexpr int kLabelWidth = kColumnLefts[1] - kColumnLefts[0];
inline constexpr int kRightMargin = 20;

struct Placement {
    int sheet = 0;  // 0-based
    int row = 0;    // 0 to 7
    int column = 0; // 0 to 2
    int left = 0;   // left edge of the text
    int top = 0;    // top of the label row
    int right = 0;  // no text reaches past this
    bool operator==(const Placement&) const = default;
};

// Where the record printed as the index-th (0-based) goes.
Placement recordPlacement(int index);
// Where the information block of a sheet goes: its first label.
Placement informationPlacement(int sheet);

// ---- the lines ----
// The information block: the product, the date and time of printing (the
// locale's short date and long time), the maker's name, web and e-mail.
QList<Line> informationBlock(const QDateTime& now, const QLocale& locale);
// The locale's long time format without a time zone, which a label has no room for.
QString longTimeFormat(const QLocale& locale);

// The lines of one record's label. choice selects the address and telephone
// of a personal record; the persons and firms prints ignore it. Lines with
// nothing to print are left out; the others keep their offsets.
QList<Line> recordLines(Print print, const Fields& record,
                        io::AddressChoice choice = io::AddressChoice::RecordDefault);

// A firm name that does not fit one line, split: a name shorter than window
// characters stays whole; a longer one is split at the last blank among its
// first window characters (the blank itself is dropped). Without such a blank
// the first line takes window - 1 characters, no longer than any line split
// at a blank, and the rest goes to the second.
struct NameLines {
    QString first, second;
    bool twoLines = false;
    bool operator==(const NameLines&) const = default;
};
NameLines splitName(const QString& name, int window);

// The street and municipality lines of an address; an empty text is no line.
struct AddressLines {
    QString street, municipality;
    bool operator==(const AddressLines&) const = default;
};
AddressLines addressLines(const QString& street, const QString& houseNumber, const QString& part,
                          const QString& municipality);

// The prefix of a telephone line.
inline const QString kPhonePrefix = QStringLiteral("Telefon:   ");

} // namespace labels
