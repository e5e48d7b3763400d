#include "CodePage.h"

#include <memory>
#include <stdexcept>

#include <unicode/ucnv.h>

namespace codepage {

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openWindows1250() {
    UErrorCode status = U_ZERO_ERROR;
    Converter c(ucnv_open("windows-1250", &status));
    if (U_FAILURE(status)) throw std::runtime_error("ICU has no Windows-1250 converter");
    // Only exact mappings: a character without its own byte is replaced, never
    // approximated by a look-alike.
    ucnv_setFallback(c.get(), false);
    ucnv_setSubstChars(c.get(), "?", 1, &status);
    if (U_FAILURE(status)) throw std::runtime_error("ICU refuses \"?\" as the substitute of Windows-1250");
    return c;
}

} // namespace

QByteArray toWindows1250(const QString& text) {
    if (text.isEmpty()) return {};
    const QString composed = text.normalized(QString::NormalizationForm_C);
    const Converter c = openWindows1250();
    // One byte per code point at most: the length in UTF-16 units is enough.
    QByteArray out(composed.size(), Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n =
        ucnv_fromUChars(c.get(), out.data(), int32_t(out.size()),
                        reinterpret_cast<const UChar*>(composed.utf16()), int32_t(composed.size()), &status);
    if (U_FAILURE(status)) throw std::runtime_error("Windows-1250 conversion failed");
    out.truncate(n);
    return out;
}

QString fromWindows1250(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    const Converter c = openWindows1250();
    // Every byte gives one UTF-16 unit.
    QString out(bytes.size(), Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(c.get(), reinterpret_cast<UChar*>(out.data()), int32_t(out.size()),
                                    bytes.constData(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status)) throw std::runtime_error("Windows-1250 conversion failed");
    out.truncate(n);
    return out;
}

} // namespace codepage
