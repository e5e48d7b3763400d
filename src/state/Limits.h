#pragma once

#include <QObject>
#include <QString>
#include <array>

// The six limits: rows shown per page and rows searched, for persons, firms and
// personal records. Every change of a field's text is validated at once:
// out-of-range values are clamped and text that is not a number becomes "10",
// silently. The dialog's edit fields show these texts.
//
// A field may be empty (the dialog closed with Esc keeps it so until the next
// saving). Every reader of a searched-records limit takes it through
// searchLimit(), which counts an empty field as its empty-field value: the
// directory searches do, and the personal search, the bulk transfers, the
// export and the print are to do the same. An empty displayed field is filled
// with "10" by the pages at a search or page move.
class Limits : public QObject {
    Q_OBJECT
  public:
    enum class List { Persons = 0, Firms = 1, Personal = 2 };
    enum class Kind { Displayed, Searched };

    static constexpr int kMaxDisplayed = 50;
    static constexpr int kMaxSearched = 200;
    static constexpr int kFirstDisplayed = 10;
    static constexpr int kFirstSearched = 200;

    explicit Limits(QObject* parent = nullptr);

    // The field texts ("Maxim_o", "vyhled_o" …).
    QString text(List list, Kind kind) const { return m_text[index(list, kind)]; }
    // Puts text into a field and validates it; returns the text the field ends with.
    QString setText(List list, Kind kind, const QString& text);
    // The page size of a list: the last valid displayed-records value.
    int pageSize(List list) const { return m_pageSize[int(list)]; }
    // The searched-records limit as a number; an empty field counts as 200.
    int searchLimit(List list) const;

    // Hints of the list's paging buttons: "Předchozích " / "Dalších " + the displayed text.
    QString previousHint(List list) const {
        return QStringLiteral("Předchozích ") + text(list, Kind::Displayed);
    }
    QString nextHint(List list) const { return QStringLiteral("Dalších ") + text(list, Kind::Displayed); }
    // "%d zobrazovaných, %d vyhledávaných" with the list's two values.
    QString summary(List list) const;

    // Puts the empty-field values into the empty fields: "50" into displayed
    // fields and "200" into searched fields.
    void fillEmpty();
    static int emptyFieldValue(Kind kind) { return kind == Kind::Displayed ? kMaxDisplayed : kMaxSearched; }

    // The validation of one field's text: the text it becomes.
    static QString validated(const QString& text, Kind kind);

    static QString fieldName(List list, Kind kind); // "Maxim_o", "vyhled_v" …

  signals:
    void changed(Limits::List list, Limits::Kind kind);

  private:
    static int index(List list, Kind kind) { return int(list) * 2 + (kind == Kind::Searched ? 1 : 0); }
    std::array<QString, 6> m_text;
    std::array<int, 3> m_pageSize{kFirstDisplayed, kFirstDisplayed, kFirstDisplayed};
};
