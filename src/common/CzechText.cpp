#include "CzechText.h"

#include <stdexcept>
#include <string>

#include <unicode/ucol.h>
#include <unicode/ustring.h>

namespace czech {

namespace {

// Lower-cases pure ASCII text without going through ICU. Returns false (and
// leaves `out` alone) as soon as a non-ASCII code unit is seen. When the text
// has no upper-case letter `out` shares the input's data: no allocation.
bool foldAscii(const QString& text, QString& out) {
    const char16_t* p = QStringView(text).utf16();
    const qsizetype n = text.size();
    qsizetype firstUpper = -1;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (c >= 0x80) return false;
        if (firstUpper < 0 && c >= u'A' && c <= u'Z') firstUpper = i;
    }
    if (firstUpper < 0) {
        out = text;
        return true;
    }
    out = text;
    char16_t* q = reinterpret_cast<char16_t*>(out.data()); // detaches once
    for (qsizetype i = firstUpper; i < n; ++i) {
        if (q[i] >= u'A' && q[i] <= u'Z') q[i] = char16_t(q[i] + (u'a' - u'A'));
    }
    return true;
}

int toResult(UCollationResult r) {
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

} // namespace

QString fold(const QString& text) {
    QString out;
    if (foldAscii(text, out)) return out;

    // Lower-casing can lengthen a text (e.g. "İ" becomes "i" + combining dot),
    // so retry once with the length ICU reports.
    const char16_t* src = QStringView(text).utf16();
    const auto srcLen = static_cast<int32_t>(text.size());
    out.resize(text.size());
    UErrorCode status = U_ZERO_ERROR;
    int32_t len = u_strToLower(reinterpret_cast<char16_t*>(out.data()), static_cast<int32_t>(out.size()), src,
                               srcLen, "cs", &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(len);
        status = U_ZERO_ERROR;
        len = u_strToLower(reinterpret_cast<char16_t*>(out.data()), static_cast<int32_t>(out.size()), src,
                           srcLen, "cs", &status);
    }
    if (U_FAILURE(status))
        return text.toLower(); // ICU is unusable; Qt's default lower-casing is the closest fallback
    out.resize(len);
    return out;
}

struct Collator::Impl {
    UCollator* coll = nullptr;
};

Collator::Collator() : d(std::make_unique<Impl>()) {
    UErrorCode status = U_ZERO_ERROR;
    d->coll = ucol_open("cs", &status);
    if (U_FAILURE(status) || !d->coll)
        throw std::runtime_error(std::string("Nelze vytvořit české řazení (ICU): ") + u_errorName(status));
    // Secondary strength: letter case is ignored, diacritics are not.
    ucol_setStrength(d->coll, UCOL_SECONDARY);
}

Collator::~Collator() {
    if (d && d->coll) ucol_close(d->coll);
}

int Collator::compare(const QString& a, const QString& b) const {
    return compareView(a, b);
}

int Collator::compareView(QStringView a, QStringView b) const {
    return toResult(ucol_strcoll(d->coll, a.utf16(), static_cast<int32_t>(a.size()), b.utf16(),
                                 static_cast<int32_t>(b.size())));
}

int Collator::compareUtf8(QByteArrayView a, QByteArrayView b) const {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(d->coll, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                                static_cast<int32_t>(b.size()), &status);
    if (U_FAILURE(status)) {
        // Keep the order total and deterministic even for bytes ICU rejects.
        const int c = a.compare(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return toResult(r);
}

} // namespace czech
