#pragma once

#include <QLocale>

namespace platform {

// For as long as it lives, the program's default locale writes numbers with
// "." as the decimal point (the C locale takes over when the default one uses
// another point); the default locale in force before comes back when it ends,
// also when an error ends the work early. The default locale is the program's
// own setting: other programs and the desktop keep theirs. Qt has no monetary
// point of its own, so this one setting covers both.
class DecimalSeparators {
  public:
    DecimalSeparators() : m_saved(QLocale()) {
        if (m_saved.decimalPoint() == QStringLiteral(".")) return;
        QLocale::setDefault(QLocale::c());
        m_switched = true;
    }
    ~DecimalSeparators() {
        if (m_switched) QLocale::setDefault(m_saved);
    }
    DecimalSeparators(const DecimalSeparators&) = delete;
    DecimalSeparators& operator=(const DecimalSeparators&) = delete;

    // Whether the default locale was switched.
    bool switched() const { return m_switched; }

  private:
    QLocale m_saved;
    bool m_switched = false;
};

} // namespace platform
