#include "CodePage.h"

#include <memory>
#include <stdexcept>

#include <QStringDecoder>
#include <QStringEncoder>

#include <unicode/ucnv.h>

namespace code_page {

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

const QByteArray kUtf8Mark("\xEF\xBB\xBF", 3);
const QByteArray kUtf16LEMark("\xFF\xFE", 2);
const QByteArray kUtf16BEMark("\xFE\xFF", 2);

bool isAscii(QByteArrayView bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool isUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString probe = utf8.decode(bytes);
    Q_UNUSED(probe);
    return !utf8.hasError();
}

QStringConverter::Encoding qtEncoding(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case TextEncoding::Utf16BE:
        return QStringConverter::Utf16BE;
    case TextEncoding::Utf8:
    case TextEncoding::Windows1250:
        break;
    }
    return QStringConverter::Utf8;
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

bool fitsWindows1250(const QString& text) {
    return fromWindows1250(toWindows1250(text)) == text.normalized(QString::NormalizationForm_C);
}

TextEncoding detectEncoding(QByteArrayView bytes) {
    if (bytes.startsWith(kUtf8Mark)) return TextEncoding::Utf8;
    if (bytes.startsWith(kUtf16LEMark)) return TextEncoding::Utf16LE;
    if (bytes.startsWith(kUtf16BEMark)) return TextEncoding::Utf16BE;
    if (isAscii(bytes) || !isUtf8(bytes)) return TextEncoding::Windows1250;
    return TextEncoding::Utf8;
}

QByteArray byteOrderMark(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return kUtf8Mark;
    case TextEncoding::Utf16LE:
        return kUtf16LEMark;
    case TextEncoding::Utf16BE:
        return kUtf16BEMark;
    case TextEncoding::Windows1250:
        break;
    }
    return {};
}

QString decode(QByteArrayView bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Windows1250) return fromWindows1250(bytes.toByteArray());
    const QByteArray mark = byteOrderMark(encoding);
    const QByteArrayView body = bytes.startsWith(mark) ? bytes.sliced(mark.size()) : bytes;
    // The mark is gone already; a second one would be text of the file.
    QStringDecoder decoder(qtEncoding(encoding), QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(body);
}

QString decodeText(QByteArrayView bytes, TextEncoding* encoding) {
    const TextEncoding found = detectEncoding(bytes);
    if (encoding) *encoding = found;
    return decode(bytes, found);
}

QByteArray encode(const QString& text, TextEncoding encoding) {
    if (encoding == TextEncoding::Windows1250) return toWindows1250(text);
    QStringEncoder encoder(qtEncoding(encoding), QStringEncoder::Flag::Stateless);
    return encoder.encode(text);
}

} // namespace code_page
