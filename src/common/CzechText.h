#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <memory>

// Czech text rules shared by the database engine and the user interface:
// case folding (letter case ignored, diacritics kept) and the Czech sort order
// ("ch" after "h", "č" after "c", "ř" after "r"), letter case ignored.
namespace czech {

// Lower-cases a text under Czech rules. Two texts that differ only in letter
// case fold to the same text; "Č" folds to "č", never to "c".
QString fold(const QString& text);

// A Czech collator. Comparison ignores letter case but not diacritics.
// Not thread-safe: give every thread (every database connection) its own.
class Collator {
  public:
    Collator();
    ~Collator();
    Collator(const Collator&) = delete;
    Collator& operator=(const Collator&) = delete;

    // <0, 0, >0 like strcmp.
    int compare(const QString& a, const QString& b) const;
    int compareUtf8(QByteArrayView a, QByteArrayView b) const;
    // Same as compare() without needing a QString (no allocation for short pieces).
    int compareView(QStringView a, QStringView b) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace czech
